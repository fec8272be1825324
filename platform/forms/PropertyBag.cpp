#include "platform/forms/PropertyBag.h"

namespace q7::forms {

QVariant PropertyBag::ReadProperty(const QString& name, const QVariant& defaultValue)
{
    read.append(name);
    return values.contains(name) ? values.value(name) : defaultValue;
}

void PropertyBag::WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue)
{
    written.append(name);
    if (defaultValue.isValid() && value == defaultValue)
        values.remove(name);
    else
        values.insert(name, value);
}

} // namespace q7::forms
