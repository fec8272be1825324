#pragma once

#include "platform/Events.h"
#include "platform/LateBinding.h"

#include <QJSValue>
#include <QObject>
#include <QStringList>

namespace q7::host::script {

class ValueBridge;

// A script's handlers for an object's events: an event variable with the
// prefix, bound to the source, whose sink members are the handler object's
// functions named `<prefix>_<event>` (matched ignoring case). Each argument
// reaches the handler as a reference (`.value`) and what the handler leaves
// there goes back to the raiser; an exception thrown by the handler goes back
// to the raiser as a run-time error (its number when it has one).
class ScriptEventSink : public QObject, public DynamicDispatch, public DynamicEventSink {
    Q_OBJECT
public:
    ScriptEventSink(const ValueBridge& values, const QJSValue& handlers, const QStringList& functionNames, const QString& prefix);

    void bind(const Object& source) { variable_.bind(source); }

    bool handlesMember(const QString& member) const override { return !functionName(member).isEmpty(); }
    bool dispatch(Access access, const QString& name, QVariantList& args, QVariant& result) override;

private:
    QString functionName(const QString& member) const;

    const ValueBridge& values_;
    QJSValue handlers_;
    QStringList functionNames_;
    EventVariable variable_;
};

} // namespace q7::host::script
