#include "host/process/ProcessManager.h"

#include "host/process/ops/Journal.h"
#include "platform/AutomationError.h"
#include "platform/LateBinding.h"
#include "platform/values/Values.h"
#include "platform/data/Ado.h"
#include "platform/data/DatabaseError.h"

#include <QSqlError>
#include <QSqlQuery>

namespace q7::host::process {

namespace {
void fail(const QSqlQuery& query) { q7::data::throwProviderError(query.lastError()); }
} // namespace

void ProcessManager::GetConditionData(const QVariant& processInfo, const QVariant& keys, QVariant& values)
{
    const QString menuKey = values::toTextOrEmpty(getProperty(toObject(processInfo), QStringLiteral("MenuKey")));
    QVariantList answer;
    for (const QVariant& key : keys.toList())
        answer.append(storedValue(menuKey, values::toText(key)));
    values = answer;
}

QVariant ProcessManager::storedValue(const QString& menuKey, const QString& key) const
{
    ops::ensureMaintenanceTables(connection_);
    QSqlQuery query(connection_.database());
    query.prepare(QStringLiteral("SELECT Value FROM q7_process_condition WHERE MenuKey = ? AND Name = ?"));
    query.addBindValue(menuKey);
    query.addBindValue(key);
    if (!query.exec())
        fail(query);
    return query.next() ? query.value(0) : QVariant();
}

void ProcessManager::store(const QString& menuKey, const QString& key, const QString& value)
{
    ops::ensureMaintenanceTables(connection_);
    QSqlQuery query(connection_.database());
    // one statement for the embedded file and the server
    query.prepare(QStringLiteral("INSERT INTO q7_process_condition (MenuKey, Name, Value) VALUES (?, ?, ?) "
                                 "ON CONFLICT (MenuKey, Name) DO UPDATE SET Value = excluded.Value"));
    query.addBindValue(menuKey);
    query.addBindValue(key);
    query.addBindValue(value.isNull() ? QString("") : value);
    if (!query.exec())
        fail(query);
}

} // namespace q7::host::process
