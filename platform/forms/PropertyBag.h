#pragma once

#include <QStringList>
#include <QVariant>
#include <QVariantMap>

namespace q7::forms {

// The container's store of a user control's persisted properties.
class PropertyBag {
public:
    QVariant ReadProperty(const QString& name, const QVariant& defaultValue = QVariant());
    void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue = QVariant());

    QVariantMap values;  // what is stored (a value equal to its default is not stored)
    QStringList written; // names in the order they were written
    QStringList read;    // names in the order they were read
};

} // namespace q7::forms
