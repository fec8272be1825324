#include "host/process/ops/Transaction.h"

#include "host/db/procedures/BomPack.h"
#include "platform/AutomationError.h"

#include <QSqlError>
#include <QSqlQuery>

namespace q7::host::process {

Transaction::Transaction(QSqlDatabase& db) : db_(db)
{
    if (!db_.transaction())
        throw AutomationError(3709, QStringLiteral("Cannot begin a transaction: %1").arg(db_.lastError().text()));
    open_ = true;
    if (db_.driverName() == QLatin1String("QSQLITE"))
        return; // the file has one writer at a time, and a writer reads what it writes over
    // On the server every statement of the run reads one snapshot, and a row another client changed
    // since is never written over: the run fails instead (could not serialize access), writing nothing.
    QSqlQuery isolation(db_);
    if (!isolation.exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ")))
        throw AutomationError(3709, QStringLiteral("Cannot begin a transaction: %1").arg(isolation.lastError().text()));
}

Transaction::~Transaction()
{
    if (open_)
        db_.rollback();
}

void Transaction::commit()
{
    procedures::packs::refresh(db_); // the packed BOMs the changes dropped
    if (!db_.commit())
        throw AutomationError(3709, QStringLiteral("Cannot commit: %1").arg(db_.lastError().text()));
    open_ = false;
}

} // namespace q7::host::process
