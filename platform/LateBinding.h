#pragma once

#include "platform/ObjectRef.h"

#include <QString>
#include <QVariant>
#include <QVariantList>

namespace q7 {

// An object whose members are not (all) declared to the meta-object system
// answers late-bound calls itself. Returns false when it has no such member,
// and the run-time then looks at the declared members.
class DynamicDispatch {
public:
    enum class Access { Get, Let, Call };
    virtual ~DynamicDispatch() = default;
    virtual bool dispatch(Access access, const QString& name, QVariantList& args, QVariant& result) = 0;
};

// Late-bound member access by name, as the platform's automation does it.
// Names match ignoring case. Arguments are passed by reference: a callee that
// takes a parameter as `QVariant&` (or `T&`) writes through to `args`.
// Errors: 91 for Nothing, 438 for no such member, 450 for a wrong argument
// count, 13 when an argument cannot be converted.
QVariant callByName(QObject* object, const QString& name, QVariantList& args);
QVariant callByName(const Object& object, const QString& name, QVariantList& args);
// Convenience for calls whose arguments the caller does not read back.
QVariant call(const Object& object, const QString& name, QVariantList args = {});
QVariant call(QObject* object, const QString& name, QVariantList args = {});

QVariant getProperty(QObject* object, const QString& name, QVariantList args = {});
QVariant getProperty(const Object& object, const QString& name, QVariantList args = {});
void letProperty(QObject* object, const QString& name, const QVariant& value);
void letProperty(const Object& object, const QString& name, const QVariant& value);
// Assignment to a property with index arguments (`obj.Name(i, j) = value`);
// only objects that answer their members themselves have such properties.
void letProperty(const Object& object, const QString& name, const QVariantList& index, const QVariant& value);

// Whether the object has a member of that name (declared or dynamic lookups
// cannot be probed, so only declared members count).
bool hasDeclaredMember(const QObject* object, const QString& name);

// The name of an object's class as scripts and users see it: the class's own
// name without the namespace it is declared in ("clsBO02004", "TextBox").
QString typeName(const QObject* object);

} // namespace q7
