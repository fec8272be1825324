#include "host/process/ops/Transaction.h"

#include "host/db/procedures/BomPack.h"
#include "platform/AutomationError.h"

#include <QSqlError>

namespace q7::host::process {

Transaction::Transaction(QSqlDatabase& db) : db_(db)
{
    if (!db_.transaction())
        throw AutomationError(3709, QStringLiteral("Cannot begin a transaction: %1").arg(db_.lastError().text()));
    open_ = true;
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
