#include "host/db/BomChanges.h"

#include "platform/data/Ado.h"

#include <QSqlDriver>
#include <QSqlQuery>

namespace q7::host::db {

namespace {

// Made by the first change that needs it, inside that change's transaction:
// opening or reading an account never writes to it.
void ensureTable(QSqlDatabase& db)
{
    data::runBound(db, QStringLiteral("CREATE TABLE IF NOT EXISTS q7_bom_change (BomId INTEGER PRIMARY KEY, ChangeCount INTEGER NOT NULL)"));
}

bool hasTable(QSqlDatabase& db)
{
    const bool embedded = qstrcmp(db.driver()->handle().typeName(), "sqlite3*") == 0;
    QSqlQuery query = data::runBound(db, embedded ? QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'q7_bom_change'")
                                                 : QStringLiteral("SELECT count(*) FROM pg_class WHERE oid = to_regclass('q7_bom_change')"));
    return query.next() && query.value(0).toInt() > 0;
}

} // namespace

qint64 changeCountOf(QSqlDatabase& db, int bomId)
{
    if (!hasTable(db))
        return 0;
    QSqlQuery query = data::runBound(db, QStringLiteral("SELECT ChangeCount FROM q7_bom_change WHERE BomId = ?"), {bomId});
    return query.next() ? query.value(0).toLongLong() : 0;
}

bool claimChange(QSqlDatabase& db, int bomId, qint64 loaded)
{
    ensureTable(db);
    // The row first (a concurrent claimer on the server waits here for the other's transaction), then
    // one compare-and-move that only one of several claimers of the same count can win.
    data::runBound(db, QStringLiteral("INSERT INTO q7_bom_change (BomId, ChangeCount) VALUES (?, 0) ON CONFLICT (BomId) DO NOTHING"), {bomId});
    const QSqlQuery query = data::runBound(
        db, QStringLiteral("UPDATE q7_bom_change SET ChangeCount = ChangeCount + 1 WHERE BomId = ? AND ChangeCount = ?"), {bomId, loaded});
    return query.numRowsAffected() == 1;
}

void noteChange(QSqlDatabase& db, int bomId)
{
    ensureTable(db);
    data::runBound(db, QStringLiteral("INSERT INTO q7_bom_change (BomId, ChangeCount) VALUES (?, 1) "
                                     "ON CONFLICT (BomId) DO UPDATE SET ChangeCount = q7_bom_change.ChangeCount + 1"),
                  {bomId});
}

} // namespace q7::host::db
