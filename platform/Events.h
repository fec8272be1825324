#pragma once

#include "platform/ObjectRef.h"

#include <QPointer>
#include <QString>
#include <QVariantList>

namespace q7 {

// A variable declared to receive an object's events. Binding an object
// connects the sink: when the object raises event X, the sink's member
// `<prefix>_X` is called with the event's arguments (by reference). A later
// binding replaces the earlier one; the binding ends with the variable.
// The variable holds a counted reference to the bound object.
class EventVariable {
public:
    EventVariable(QObject* sink, QString prefix);
    ~EventVariable();
    EventVariable(const EventVariable&) = delete;
    EventVariable& operator=(const EventVariable&) = delete;

    void bind(const Object& source); // a null reference unbinds
    const Object& object() const { return source_; }
    QObject* get() const { return source_.data(); }
    explicit operator bool() const { return !source_.isNull(); }

    QObject* sink() const { return sink_; }
    const QString& prefix() const { return prefix_; }

private:
    void detach();

    QObject* sink_;
    QString prefix_;
    Object source_;
};

// A sink whose handlers are not declared members (a script's handlers) says
// itself which members it answers; raiseEvent then calls them by name.
class DynamicEventSink {
public:
    virtual ~DynamicEventSink() = default;
    virtual bool handlesMember(const QString& member) const = 0;
};

// Raises an event on a source: every bound variable's sink member
// `<prefix>_<event>` is called in binding order; sinks without that member
// ignore the event. Run-time errors of a sink return to the raiser.
void raiseEvent(QObject* source, const QString& event, QVariantList& args);

// Number of variables currently bound to the source (for diagnostics and tests).
int boundSinkCount(const QObject* source);

} // namespace q7
