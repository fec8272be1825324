#pragma once

#include "platform/ObjectRef.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <span>

namespace q7 {

using ClassFactory = std::function<Object()>;

// The run-time's registry of creatable classes, keyed by class identifier
// ("Q7BomLib.clsBO02004"); identifiers compare without regard to case.
class ClassRegistry {
public:
    static ClassRegistry& instance();

    void registerClass(const QString& classId, ClassFactory factory);
    void unregisterClass(const QString& classId);
    bool isRegistered(const QString& classId) const;
    QStringList classIds() const;

    // Creates a new object; error 429 when the identifier is unknown or the
    // factory gives no object.
    Object create(const QString& classId) const;

private:
    struct Entry {
        QString classId;
        ClassFactory factory;
    };
    QHash<QString, Entry> entries_;
};

// Creates an object by class identifier, as the platform's CreateObject does.
Object createObject(const QString& classId);

// The standard class-factory and registration services that a library's
// entry points pass straight to.
struct ClassEntry {
    const char* classId;
    ClassFactory factory;
};
int registerServer(std::span<const ClassEntry> classes);   // 0 on success
int unregisterServer(std::span<const ClassEntry> classes); // 0 on success
ClassFactory getClassObject(std::span<const ClassEntry> classes, const QString& classId);

} // namespace q7
