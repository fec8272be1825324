#include "platform/ClassRegistry.h"

#include "platform/AutomationError.h"

namespace q7 {

ClassRegistry& ClassRegistry::instance()
{
    static ClassRegistry registry;
    return registry;
}

void ClassRegistry::registerClass(const QString& classId, ClassFactory factory)
{
    entries_.insert(classId.toLower(), Entry{classId, std::move(factory)});
}

void ClassRegistry::unregisterClass(const QString& classId) { entries_.remove(classId.toLower()); }

bool ClassRegistry::isRegistered(const QString& classId) const { return entries_.contains(classId.toLower()); }

QStringList ClassRegistry::classIds() const
{
    QStringList ids;
    for (const Entry& entry : entries_)
        ids.append(entry.classId);
    ids.sort(Qt::CaseInsensitive);
    return ids;
}

Object ClassRegistry::create(const QString& classId) const
{
    const auto found = entries_.constFind(classId.toLower());
    if (found == entries_.cend())
        throw AutomationError(ErrCannotCreateObject);
    Object object = found->factory();
    if (!object)
        throw AutomationError(ErrCannotCreateObject);
    return object;
}

Object createObject(const QString& classId) { return ClassRegistry::instance().create(classId); }


int registerServer(std::span<const ClassEntry> classes)
{
    for (const ClassEntry& entry : classes)
        ClassRegistry::instance().registerClass(QString::fromUtf8(entry.classId), entry.factory);
    return 0;
}

int unregisterServer(std::span<const ClassEntry> classes)
{
    for (const ClassEntry& entry : classes)
        ClassRegistry::instance().unregisterClass(QString::fromUtf8(entry.classId));
    return 0;
}

ClassFactory getClassObject(std::span<const ClassEntry> classes, const QString& classId)
{
    for (const ClassEntry& entry : classes)
        if (classId.compare(QString::fromUtf8(entry.classId), Qt::CaseInsensitive) == 0)
            return entry.factory;
    return {};
}

} // namespace q7
