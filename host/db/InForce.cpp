#include "host/db/InForce.h"

#include "platform/AutomationError.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace q7::host::account {

namespace {

// from <= date < until over two columns that may be NULL (open).
QByteArray datesHold(const char* alias, const char* from, const char* until, const char* date)
{
    const QByteArray a(alias);
    return "coalesce(" + a + '.' + from + ", '') <= " + date + " AND coalesce(" + a + '.' + until + ", '9999-12-31') > " + date;
}

} // namespace

QByteArray bomInForce(const char* alias, const char* date) { return datesHold(alias, "VersionEffDate", "VersionEndDate", date); }

QByteArray lineInForce(const char* alias, const char* date)
{
    // A line's dates are never NULL (the schema gives them defaults): compared bare, the
    // statements that read lines by date keep the plans they were tuned with.
    const QByteArray a(alias);
    return a + ".EffBegDate <= " + date + " AND " + a + ".EffEndDate > " + date;
}

QByteArray substituteInForce(const char* alias, const char* date) { return datesHold(alias, "EffBegDate", "EffEndDate", date); }

int closeOpenVersions(QSqlDatabase& db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT 1 FROM bom_bom WHERE BomType = 1 AND VersionEndDate IS NULL LIMIT 1")))
        throw AutomationError(3709, query.lastError().text());
    if (!query.next())
        return 0;
    query.finish();
    query.prepare(QStringLiteral("UPDATE bom_bom SET VersionEndDate = ? WHERE BomType = 1 AND VersionEndDate IS NULL"));
    query.addBindValue(QString::fromLatin1(OpenEnd));
    if (!query.exec())
        throw AutomationError(3709, query.lastError().text());
    return query.numRowsAffected();
}

} // namespace q7::host::account
