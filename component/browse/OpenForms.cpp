#include "browse/OpenForms.h"

#include <QList>
#include <QPair>
#include <QWeakPointer>

namespace OpenForms {

namespace {
thread_local QList<QPair<QString, QWeakPointer<QObject>>> forms;
}

void add(const QString& name, const q7::Object& form)
{
    remove(form.data());
    forms.append({name.toLower(), form.toWeakRef()});
}

void remove(const QObject* form)
{
    forms.removeIf([form](const auto& entry) { return entry.second.isNull() || entry.second.toStrongRef().data() == form; });
}

q7::Object find(const QString& name)
{
    for (const auto& [formName, form] : forms)
        if (formName == name.toLower())
            if (auto strong = form.toStrongRef())
                return strong;
    return {};
}

} // namespace OpenForms
