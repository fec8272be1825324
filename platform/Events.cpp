#include "platform/Events.h"

#include "platform/LateBinding.h"

#include <QList>

namespace q7 {

namespace {

// Lives as a child of an event source and lists the variables bound to it.
class EventHub : public QObject {
public:
    explicit EventHub(QObject* source) : QObject(source) {}
    QList<EventVariable*> variables;
};

EventHub* hubOf(const QObject* source, bool create)
{
    EventHub* hub = nullptr;
    for (QObject* child : source->children())
        if ((hub = dynamic_cast<EventHub*>(child)))
            return hub;
    return create ? new EventHub(const_cast<QObject*>(source)) : nullptr;
}

} // namespace

EventVariable::EventVariable(QObject* sink, QString prefix) : sink_(sink), prefix_(std::move(prefix)) {}

EventVariable::~EventVariable() { detach(); }

void EventVariable::detach()
{
    if (source_)
        if (EventHub* hub = hubOf(source_.data(), false))
            hub->variables.removeAll(this);
    source_.reset();
}

void EventVariable::bind(const Object& source)
{
    const Object keep = source; // the old binding may hold the only other reference
    detach();
    source_ = keep;
    if (source_)
        hubOf(source_.data(), true)->variables.append(this);
}

void raiseEvent(QObject* source, const QString& event, QVariantList& args)
{
    if (!source)
        return;
    EventHub* hub = hubOf(source, false);
    if (!hub)
        return;
    const QList<EventVariable*> bound = hub->variables; // a sink may rebind while handling
    for (EventVariable* variable : bound) {
        if (!hub->variables.contains(variable))
            continue;
        const QString member = variable->prefix() + QStringLiteral("_") + event;
        const auto* dynamicSink = dynamic_cast<const DynamicEventSink*>(variable->sink());
        if (hasDeclaredMember(variable->sink(), member) || (dynamicSink && dynamicSink->handlesMember(member)))
            callByName(variable->sink(), member, args);
    }
}

int boundSinkCount(const QObject* source)
{
    const EventHub* hub = source ? hubOf(source, false) : nullptr;
    return hub ? static_cast<int>(hub->variables.size()) : 0;
}

} // namespace q7
