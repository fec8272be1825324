#include "browse/OpenForms.h"

#include <QList>
#include <QPair>

namespace OpenForms {

namespace {
thread_local QList<QPair<QString, q7::Object>> forms;
}

void add(const QString& name, const q7::Object& form)
{
    remove(form.data());
    forms.append({name.toLower(), form});
}

void remove(const QObject* form)
{
    forms.removeIf([form](const auto& entry) { return entry.second.isNull() || entry.second.data() == form; });
}

q7::Object find(const QString& name)
{
    for (const auto& [formName, form] : forms)
        if (formName == name.toLower())
            return form;
    return {};
}

} // namespace OpenForms
