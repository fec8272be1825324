#include "platform/LateBinding.h"

#include "platform/AutomationError.h"
#include "platform/values/Values.h"

#include <QMetaMethod>
#include <QMetaProperty>

#include <vector>

namespace q7 {

namespace {

DynamicDispatch* dynamicPart(QObject* object) { return dynamic_cast<DynamicDispatch*>(object); }

QObject* checked(QObject* object)
{
    if (!object)
        throw AutomationError(ErrObjectNotSet);
    return object;
}

int findProperty(const QMetaObject* meta, const QString& name)
{
    const QByteArray exact = name.toUtf8();
    const int index = meta->indexOfProperty(exact.constData());
    if (index >= 0)
        return index;
    for (int i = 0; i < meta->propertyCount(); ++i)
        if (values::textEquals(QString::fromLatin1(meta->property(i).name()), name))
            return i;
    return -1;
}

bool isCallable(const QMetaMethod& method)
{
    return method.methodType() != QMetaMethod::Constructor && method.access() == QMetaMethod::Public;
}

// Finds a method by name ignoring case, preferring the exact spelling and the
// given argument count. Returns -1 with `nameFound` telling whether any
// method of that name exists.
int findMethod(const QMetaObject* meta, const QString& name, qsizetype argc, bool& nameFound)
{
    int best = -1;
    nameFound = false;
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (!isCallable(method) || !values::textEquals(QString::fromLatin1(method.name()), name))
            continue;
        nameFound = true;
        if (method.parameterCount() != argc)
            continue;
        if (QString::fromLatin1(method.name()) == name)
            return i;
        if (best < 0)
            best = i;
    }
    return best;
}

QByteArray baseTypeName(QByteArray typeName, bool& byRef)
{
    byRef = typeName.endsWith('&');
    if (byRef)
        typeName.chop(1);
    if (typeName.startsWith("const ")) {
        typeName.remove(0, 6);
        byRef = false;
    }
    return typeName;
}

// Converts a value to a parameter's declared type with the platform's rules.
QVariant coerce(const QVariant& value, QMetaType type)
{
    if (value.metaType() == type)
        return value;
    switch (type.id()) {
    case QMetaType::QString:
        return values::toText(value);
    case QMetaType::Int:
        return QVariant(int(values::toLong(value)));
    case QMetaType::Short:
        return QVariant::fromValue(short(values::toInteger(value)));
    case QMetaType::Bool:
        return QVariant(values::toBoolean(value));
    case QMetaType::Double:
        return QVariant(values::toDouble(value));
    default:
        break;
    }
    if (type == QMetaType::fromType<Object>())
        return fromObject(toObject(value));
    QVariant converted = value;
    if (!converted.convert(type))
        throw AutomationError(ErrTypeMismatch);
    return converted;
}

QVariant invoke(QObject* object, const QMetaMethod& method, QVariantList& args)
{
    const int argc = method.parameterCount();
    std::vector<void*> argv(static_cast<size_t>(argc) + 1, nullptr);
    std::vector<QVariant> converted(static_cast<size_t>(argc));
    std::vector<bool> writeBack(static_cast<size_t>(argc), false);

    for (int i = 0; i < argc; ++i) {
        bool byRef = false;
        const QByteArray base = baseTypeName(method.parameterTypeName(i), byRef);
        if (base == "QVariant") {
            argv[i + 1] = &args[i];
            continue;
        }
        const QMetaType type = QMetaType::fromName(base);
        if (!type.isValid())
            throw AutomationError(ErrTypeMismatch);
        converted[i] = coerce(args[i], type);
        argv[i + 1] = converted[i].data();
        writeBack[i] = byRef;
    }

    QVariant result;
    const QMetaType returnType = method.returnMetaType();
    if (returnType == QMetaType::fromType<QVariant>()) {
        argv[0] = &result;
    } else if (returnType.isValid() && returnType.id() != QMetaType::Void) {
        result = QVariant(returnType);
        argv[0] = result.data();
    }

    QMetaObject::metacall(object, QMetaObject::InvokeMetaMethod, method.methodIndex(), argv.data());

    for (int i = 0; i < argc; ++i)
        if (writeBack[i])
            args[i] = converted[i];
    return result;
}

} // namespace

QVariant callByName(QObject* object, const QString& name, QVariantList& args)
{
    checked(object);
    QVariant result;
    if (DynamicDispatch* dynamic = dynamicPart(object))
        if (dynamic->dispatch(DynamicDispatch::Access::Call, name, args, result))
            return result;

    const QMetaObject* meta = object->metaObject();
    bool nameFound = false;
    const int index = findMethod(meta, name, args.size(), nameFound);
    if (index >= 0)
        return invoke(object, meta->method(index), args);
    if (nameFound)
        throw AutomationError(ErrWrongArgumentCount);
    if (args.isEmpty()) {
        const int property = findProperty(meta, name);
        if (property >= 0)
            return meta->property(property).read(object);
    }
    throw AutomationError(ErrNoSuchMember);
}

QVariant callByName(const Object& object, const QString& name, QVariantList& args)
{
    return callByName(object.data(), name, args);
}

QVariant call(const Object& object, const QString& name, QVariantList args) { return callByName(object.data(), name, args); }
QVariant call(QObject* object, const QString& name, QVariantList args) { return callByName(object, name, args); }

QVariant getProperty(QObject* object, const QString& name, QVariantList args)
{
    checked(object);
    QVariant result;
    if (DynamicDispatch* dynamic = dynamicPart(object))
        if (dynamic->dispatch(DynamicDispatch::Access::Get, name, args, result))
            return result;
    const QMetaObject* meta = object->metaObject();
    if (args.isEmpty()) {
        const int property = findProperty(meta, name);
        if (property >= 0)
            return meta->property(property).read(object);
    }
    bool nameFound = false;
    const int index = findMethod(meta, name, args.size(), nameFound);
    if (index >= 0)
        return invoke(object, meta->method(index), args);
    throw AutomationError(nameFound ? ErrWrongArgumentCount : ErrNoSuchMember);
}

QVariant getProperty(const Object& object, const QString& name, QVariantList args)
{
    return getProperty(object.data(), name, std::move(args));
}

void letProperty(QObject* object, const QString& name, const QVariant& value)
{
    checked(object);
    QVariantList args{value};
    QVariant ignored;
    if (DynamicDispatch* dynamic = dynamicPart(object))
        if (dynamic->dispatch(DynamicDispatch::Access::Let, name, args, ignored))
            return;
    const QMetaObject* meta = object->metaObject();
    const int index = findProperty(meta, name);
    if (index < 0)
        throw AutomationError(ErrNoSuchMember);
    const QMetaProperty property = meta->property(index);
    if (!property.isWritable())
        throw AutomationError(ErrNoSuchMember);
    const QVariant converted = property.metaType() == QMetaType::fromType<QVariant>() ? value : coerce(value, property.metaType());
    if (!property.write(object, converted))
        throw AutomationError(ErrInvalidPropertyValue);
}

void letProperty(const Object& object, const QString& name, const QVariant& value)
{
    letProperty(object.data(), name, value);
}

void letProperty(const Object& object, const QString& name, const QVariantList& index, const QVariant& value)
{
    if (index.isEmpty()) {
        letProperty(object, name, value);
        return;
    }
    QVariantList args = index;
    args.append(value);
    QVariant ignored;
    if (DynamicDispatch* dynamic = dynamicPart(checked(object.data())))
        if (dynamic->dispatch(DynamicDispatch::Access::Let, name, args, ignored))
            return;
    throw AutomationError(ErrNoSuchMember);
}

bool hasDeclaredMember(const QObject* object, const QString& name)
{
    if (!object)
        return false;
    const QMetaObject* meta = object->metaObject();
    if (findProperty(meta, name) >= 0)
        return true;
    for (int i = 0; i < meta->methodCount(); ++i)
        if (isCallable(meta->method(i)) && values::textEquals(QString::fromLatin1(meta->method(i).name()), name))
            return true;
    return false;
}

QString typeName(const QObject* object)
{
    const QString qualified = QString::fromLatin1(object->metaObject()->className());
    return qualified.section(QStringLiteral("::"), -1);
}

} // namespace q7
