#include "host/db/InForce.h"

#include "platform/data/Ado.h"

#include <QSqlDatabase>
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

QList<int> settleVersions(QSqlDatabase& db, int bomId)
{
    const auto run = [&](const QString& sql, const QVariantList& bound) { return ado::runBound(db, sql, bound); };
    const QString open = QString::fromLatin1(OpenEnd);
    const QString versions = QStringLiteral("SELECT b.BomId, t.ParentId, b.VersionEffDate, coalesce(b.VersionEndDate, ?) FROM bom_bom b "
                                            "JOIN bom_parent t ON t.BomId = b.BomId AND t.SharingPartId IS NULL WHERE b.BomType = 1 AND ");
    QSqlQuery own = run(versions + QStringLiteral("b.BomId = ?"), {open, bomId});
    if (!own.next() || own.value(2).isNull())
        return {};
    const int parent = own.value(1).toInt();
    const QString from = own.value(2).toString();
    QString until = own.value(3).toString();
    QList<int> ended;
    QSqlQuery others = run(versions + QStringLiteral("t.ParentId = ? AND b.BomId <> ?"), {open, parent, bomId});
    QList<std::pair<int, QString>> cut;
    while (others.next()) {
        const QString otherFrom = others.value(2).toString();
        if (others.value(2).isNull())
            continue;
        if (holdsOn(otherFrom, others.value(3).toString(), from))
            cut.append({others.value(0).toInt(), from});
        else if (from < otherFrom && otherFrom < until)
            until = otherFrom;
    }
    for (const auto& [other, end] : cut) {
        run(QStringLiteral("UPDATE bom_bom SET VersionEndDate = ? WHERE BomId = ?"), {end, other});
        ended.append(other);
    }
    run(QStringLiteral("UPDATE bom_bom SET VersionEndDate = ? WHERE BomId = ?"), {until, bomId});
    return ended;
}

int closeOpenVersions(QSqlDatabase& db)
{
    if (!ado::runBound(db, QStringLiteral("SELECT 1 FROM bom_bom WHERE BomType = 1 AND VersionEndDate IS NULL LIMIT 1")).next())
        return 0;
    return ado::runBound(db, QStringLiteral("UPDATE bom_bom SET VersionEndDate = ? WHERE BomType = 1 AND VersionEndDate IS NULL"),
                         {QString::fromLatin1(OpenEnd)})
        .numRowsAffected();
}

} // namespace q7::host::account
