#include "host/script/ScriptValues.h"

#include "host/script/ObjectHandle.h"
#include "platform/ObjectRef.h"

#include <QDate>
#include <QDateTime>
#include <QJSValueIterator>
#include <QTime>

#include <cmath>
#include <limits>

namespace q7::host::script {

namespace {

QJSValue callSupport(const QJSValue& support, const char* name, const QJSValueList& args)
{
    return support.property(QString::fromLatin1(name)).call(args);
}

int part(const QJSValue& date, const char* getter)
{
    return date.property(QString::fromLatin1(getter)).callWithInstance(date).toInt();
}

QJSValue scriptDate(const QJSValue& support, const QDate& date, const QTime& time)
{
    return callSupport(support, "makeDate",
                       {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second(), time.msec()});
}

} // namespace

QJSValue ValueBridge::toScript(const QVariant& value) const
{
    if (isEmpty(value))
        return QJSValue(QJSValue::UndefinedValue);
    if (q7::isNull(value))
        return QJSValue(QJSValue::NullValue);
    if (isMissing(value))
        return support_.property(QStringLiteral("Missing"));
    if (isObject(value)) {
        const Object object = value.value<Object>();
        if (!object)
            return support_.property(QStringLiteral("Nothing"));
        return callSupport(support_, "wrap", {engine_.newQObject(new ObjectHandle(object))});
    }
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return QJSValue(value.toBool());
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return QJSValue(value.toInt());
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return QJSValue(value.toDouble());
    case QMetaType::QString:
    case QMetaType::QChar:
    case QMetaType::QByteArray:
        return QJSValue(value.toString());
    case QMetaType::QDate:
        return scriptDate(support_, value.toDate(), QTime(0, 0));
    case QMetaType::QDateTime: {
        const QDateTime at = value.toDateTime().toLocalTime();
        return scriptDate(support_, at.date(), at.time());
    }
    case QMetaType::QStringList:
    case QMetaType::QVariantList:
        return toScriptList(value.toList());
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash: {
        QJSValue object = engine_.newObject();
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            object.setProperty(it.key(), toScript(it.value()));
        return object;
    }
    default:
        break;
    }
    if (value.metaType().flags().testFlag(QMetaType::IsEnumeration))
        return QJSValue(value.toInt());
    throw AutomationError(ErrTypeMismatch,
                          QStringLiteral("A value of type %1 cannot be passed to a script").arg(QString::fromLatin1(value.typeName())));
}

QJSValue ValueBridge::toScriptList(const QVariantList& values) const
{
    QJSValue array = engine_.newArray(static_cast<uint>(values.size()));
    for (qsizetype i = 0; i < values.size(); ++i)
        array.setProperty(static_cast<quint32>(i), toScript(values[i]));
    return array;
}

QVariant ValueBridge::toVariant(const QJSValue& value) const
{
    if (value.isUndefined())
        return emptyValue();
    if (value.isNull())
        return nullValue();
    if (value.isBool())
        return QVariant(value.toBool());
    if (value.isNumber()) {
        const double number = value.toNumber();
        if (std::isfinite(number) && std::trunc(number) == number && number >= std::numeric_limits<int>::min() &&
            number <= std::numeric_limits<int>::max())
            return QVariant(static_cast<int>(number));
        return QVariant(number);
    }
    if (value.isString())
        return QVariant(value.toString());
    if (value.isDate()) {
        const QDate date(part(value, "getFullYear"), part(value, "getMonth") + 1, part(value, "getDate"));
        const QTime time(part(value, "getHours"), part(value, "getMinutes"), part(value, "getSeconds"), part(value, "getMilliseconds"));
        if (time == QTime(0, 0))
            return QVariant(date);
        return QVariant(QDateTime(date, time));
    }
    if (value.strictlyEquals(support_.property(QStringLiteral("Missing"))))
        return missingValue();
    if (value.strictlyEquals(support_.property(QStringLiteral("Nothing"))))
        return nothing();
    if (value.isArray())
        return toVariantList(value);
    if (value.isQObject()) {
        if (const auto* handle = qobject_cast<ObjectHandle*>(value.toQObject()))
            return fromObject(handle->object());
        throw AutomationError(ErrTypeMismatch);
    }
    if (value.isCallable() && value.property(QStringLiteral("__q7error")).isError())
        throw fromScriptError(value.property(QStringLiteral("__q7error")));
    if (value.isCallable())
        throw AutomationError(ErrTypeMismatch, QStringLiteral("A function cannot be passed to an object"));
    if (value.isObject()) {
        if (const auto* handle = qobject_cast<ObjectHandle*>(callSupport(support_, "handleOf", {value}).toQObject()))
            return fromObject(handle->object());
        if (callSupport(support_, "isRef", {value}).toBool())
            return toVariant(value.property(QStringLiteral("value")));
        QVariantMap map;
        QJSValueIterator it(value);
        while (it.hasNext()) {
            it.next();
            map.insert(it.name(), toVariant(it.value()));
        }
        return map;
    }
    throw AutomationError(ErrTypeMismatch);
}

QVariantList ValueBridge::toVariantList(const QJSValue& array) const
{
    QVariantList list;
    if (array.isUndefined() || array.isNull())
        return list;
    if (!array.isArray())
        throw AutomationError(ErrTypeMismatch, QStringLiteral("The arguments must be an array"));
    const quint32 length = array.property(QStringLiteral("length")).toUInt();
    list.reserve(length);
    for (quint32 i = 0; i < length; ++i)
        list.append(toVariant(array.property(i)));
    return list;
}

QJSValue ValueBridge::error(const AutomationError& error) const
{
    return callSupport(support_, "makeError", {error.number(), error.description()});
}

AutomationError ValueBridge::fromScriptError(const QJSValue& thrown)
{
    const QJSValue number = thrown.isObject() ? thrown.property(QStringLiteral("number")) : QJSValue();
    const QJSValue description = thrown.isObject() ? thrown.property(QStringLiteral("description")) : QJSValue();
    if (number.isNumber()) {
        const QString text = description.isString() ? description.toString() : thrown.property(QStringLiteral("message")).toString();
        return AutomationError(number.toInt(), text);
    }
    return AutomationError(ErrBadCallOrArgument, thrown.toString());
}

} // namespace q7::host::script
