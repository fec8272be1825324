#include "host/process/ProcessInfo.h"

#include "platform/AutomationError.h"
#include "platform/values/Values.h"

namespace q7::host::process {

ProcessInfo::ProcessInfo(QString key, Object login)
    : menuKey(std::move(key)), login_(std::move(login)), loginInformation_(makeObject<LoginInformation>(login_))
{
}

QVariant ProcessInfo::SetConditionColumn(const QVariant& names, const QVariant& values)
{
    const QVariantList n = names.toList();
    const QVariantList v = values.toList();
    if (n.size() != v.size())
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("SetConditionColumn: %1 names, %2 values").arg(n.size()).arg(v.size()));
    for (qsizetype i = 0; i < n.size(); ++i)
        conditions.insert(values::toText(n[i]), v[i]);
    return true;
}

} // namespace q7::host::process
