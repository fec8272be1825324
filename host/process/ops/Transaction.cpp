#include "host/process/ops/Transaction.h"

#include "host/db/BomChanges.h"
#include "host/db/procedures/packs/PackUpkeep.h"
#include "platform/AutomationError.h"
#include "platform/data/DatabaseError.h"

#include <QSqlError>
#include <QSqlQuery>

namespace q7::host::process::ops {

Transaction::Transaction(QSqlDatabase& db) : db_(db)
{
    // On the file the run takes the write lock before it reads what it changes: another writer
    // waits for it (or it for them) instead of one of them failing half-way. On the server every
    // statement of the run reads one snapshot, and a row another client changed since is never
    // written over: the run fails instead (could not serialize access), writing nothing.
    // On the server the run first waits for its turn among the writers of BOM lines, before its
    // snapshot is taken, so that it reads what the writer before it committed.
    const bool embedded = db_.driverName() == QLatin1String("QSQLITE");
    QSqlQuery begin(db_);
    if (!embedded) {
        if (!begin.exec(QStringLiteral("SELECT pg_advisory_lock(%1)").arg(db::LineWritersLock)))
            q7::data::throwProviderError(QStringLiteral("Cannot begin a transaction: %1").arg(q7::data::errorText(begin.lastError())));
        turn_ = true;
    }
    if (!begin.exec(embedded ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ"))) {
        const QString reason = q7::data::errorText(begin.lastError());
        endTurn();
        q7::data::throwProviderError(QStringLiteral("Cannot begin a transaction: %1").arg(reason));
    }
    open_ = true;
}

Transaction::~Transaction()
{
    if (open_)
        db_.rollback();
    endTurn();
}

void Transaction::endTurn()
{
    if (turn_)
        QSqlQuery(db_).exec(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(db::LineWritersLock));
    turn_ = false;
}

void Transaction::commit()
{
    db::procedures::packs::refresh(db_); // the packed BOMs the changes dropped
    if (!db_.commit())
        q7::data::throwProviderError(QStringLiteral("Cannot commit: %1").arg(q7::data::errorText(db_.lastError())));
    open_ = false;
    endTurn();
}

} // namespace q7::host::process::ops
