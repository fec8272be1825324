#pragma once

#include "platform/ObjectRef.h"
#include "platform/values/Values.h"

#include <QString>
#include <QVariant>

namespace q7::host::voucher {

// A field's or cell's value as the voucher reads it: its text without the
// blanks around it; a value of no text (Null, Empty, a list) reads as "",
// never as a null string (which would be written as NULL).
inline QString cellText(const QVariant& value)
{
    if (value.metaType().id() == QMetaType::QString) { // what cells mostly hold: read as is, without the general conversion
        const QString text = values::trim(*static_cast<const QString*>(value.constData()));
        return text.isNull() ? QStringLiteral("") : text;
    }
    if (isNull(value) || value.metaType().id() == QMetaType::QVariantList || value.metaType().id() == QMetaType::QStringList)
        return QStringLiteral("");
    const QString text = values::trim(values::toTextOrEmpty(value));
    return text.isNull() ? QStringLiteral("") : text;
}

} // namespace q7::host::voucher
