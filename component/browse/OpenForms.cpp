#include "browse/OpenForms.h"

#include <QObject>
#include <QList>
#include <QPair>

namespace q7::component {

namespace OpenForms {

namespace {
thread_local QList<QPair<QString, q7::Object>> forms;

// Holds forms that left the list until the event loop deletes it (never
// deleted when no loop runs again: the forms then simply stay until exit).
class Leaving : public QObject {
public:
    explicit Leaving(QList<q7::Object> held) : held_(std::move(held)) {}

private:
    QList<q7::Object> held_;
};
} // namespace

void add(const QString& name, const q7::Object& form)
{
    remove(form.data());
    forms.append({name.toLower(), form});
}

void remove(const QObject* form)
{
    // A form leaves the list from its own Form_Unload: the list's reference is
    // let go once that has returned, on the next turn of the event loop.
    QList<q7::Object> leaving;
    forms.removeIf([&](const auto& entry) {
        const bool gone = entry.second.isNull() || entry.second.data() == form;
        if (gone)
            leaving.append(entry.second);
        return gone;
    });
    if (!leaving.isEmpty())
        (new Leaving(std::move(leaving)))->deleteLater();
}

q7::Object find(const QString& name)
{
    for (const auto& [formName, form] : forms)
        if (formName == name.toLower())
            return form;
    return {};
}

} // namespace OpenForms

} // namespace q7::component
