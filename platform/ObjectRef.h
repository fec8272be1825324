#pragma once

#include <QObject>
#include <QSharedPointer>
#include <QVariant>

#include <type_traits>

namespace q7 {

// A counted object reference, as the platform's object variables hold them:
// the object lives while any reference (also one held inside a QVariant) does.
using Object = QSharedPointer<QObject>;

// The argument that a caller left out (distinct from Empty and from Null).
struct MissingArgument {
    bool operator==(const MissingArgument&) const { return true; }
};
// The database's and the platform's Null (distinct from Empty).
struct NullValue {
    bool operator==(const NullValue&) const { return true; }
};

// An object told when its last reference goes, before it is destroyed (the
// platform's Terminate event); released() must not throw.
class ReleaseNotified {
public:
    virtual ~ReleaseNotified() = default;
    virtual void released() noexcept = 0;
};

// Creates a counted reference that owns a new object.
template <typename T, typename... Args>
QSharedPointer<T> makeObject(Args&&... args)
{
    if constexpr (std::is_base_of_v<ReleaseNotified, T>) {
        return QSharedPointer<T>(new T(std::forward<Args>(args)...), [](T* object) {
            static_cast<ReleaseNotified*>(object)->released();
            delete object;
        });
    } else {
        return QSharedPointer<T>(new T(std::forward<Args>(args)...));
    }
}

QVariant emptyValue();   // Empty: a variable never assigned
QVariant nullValue();    // Null
QVariant missingValue(); // an omitted optional argument
QVariant fromObject(const Object& object); // Nothing when object is null
QVariant nothing();

bool isEmpty(const QVariant& v);
bool isNull(const QVariant& v);    // the platform's Null (the data layer maps SQL NULL to it)
bool isMissing(const QVariant& v);
bool isObject(const QVariant& v);  // holds an object reference (maybe Nothing)
bool isNothing(const QVariant& v); // holds the reference Nothing

// The object a variant refers to; Empty and Nothing give a null reference,
// any other non-object value is a type mismatch (13).
Object toObject(const QVariant& v);

// Casts an object reference to a type of its class, or a null reference.
template <typename T>
QSharedPointer<T> objectCast(const Object& object)
{
    return qSharedPointerDynamicCast<T>(object);
}

} // namespace q7

Q_DECLARE_METATYPE(q7::MissingArgument)
Q_DECLARE_METATYPE(q7::NullValue)
