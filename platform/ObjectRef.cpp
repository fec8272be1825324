#include "platform/ObjectRef.h"

#include "platform/AutomationError.h"

namespace q7 {

QVariant emptyValue() { return {}; }
QVariant nullValue() { return QVariant::fromValue(NullValue{}); }
QVariant missingValue() { return QVariant::fromValue(MissingArgument{}); }
QVariant fromObject(const Object& object) { return QVariant::fromValue(object); }
QVariant nothing() { return QVariant::fromValue(Object()); }

bool isEmpty(const QVariant& v) { return !v.isValid(); }
bool isNull(const QVariant& v)
{
    return v.metaType() == QMetaType::fromType<NullValue>();
}
bool isMissing(const QVariant& v) { return v.metaType() == QMetaType::fromType<MissingArgument>(); }
bool isObject(const QVariant& v) { return v.metaType() == QMetaType::fromType<Object>(); }
bool isNothing(const QVariant& v) { return isObject(v) && v.value<Object>().isNull(); }

Object toObject(const QVariant& v)
{
    if (isObject(v))
        return v.value<Object>();
    if (isEmpty(v))
        return {};
    throw AutomationError(ErrTypeMismatch);
}

} // namespace q7
