#pragma once

#include "host/script/ScriptValues.h"
#include "platform/ObjectRef.h"

#include <QJSValue>
#include <QObject>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>

namespace q7::host::script {

class ScriptEventSink;

// What the script's prelude reaches in the run-time: every member goes
// through the late binding (createObject, callByName, getProperty,
// letProperty, raiseEvent), every value through the value bridge, and every
// run-time error comes back as the script's exception.
class ScriptBridge : public QObject {
    Q_OBJECT
public:
    explicit ScriptBridge(ValueBridge& values);
    ~ScriptBridge() override;

    Q_INVOKABLE QJSValue createObject(const QString& classId);
    // How the script reads `obj.Name`: {value} for a property, {method: true} for a member to call,
    // {error} for a run-time error.
    Q_INVOKABLE QJSValue member(const QJSValue& object, const QString& name);
    // Calls a member: {result, args} with the arguments as the callee left them.
    Q_INVOKABLE QJSValue call(const QJSValue& object, const QString& name, const QJSValue& args);
    Q_INVOKABLE QJSValue get(const QJSValue& object, const QString& name, const QJSValue& args);
    Q_INVOKABLE void let(const QJSValue& object, const QString& name, const QJSValue& args, const QJSValue& value);
    // Raises the event on the source; answers the arguments as the handlers left them.
    Q_INVOKABLE QJSValue raiseEvent(const QJSValue& source, const QString& name, const QJSValue& args);
    Q_INVOKABLE int bindEvents(const QJSValue& source, const QString& prefix, const QJSValue& handlers, const QStringList& functionNames);
    Q_INVOKABLE void unbindEvents(int binding);
    Q_INVOKABLE QString typeName(const QJSValue& object);
    Q_INVOKABLE bool same(const QJSValue& a, const QJSValue& b);
    Q_INVOKABLE QString standardDescription(int number) const { return AutomationError::standardDescription(number); }

    Q_INVOKABLE void writeOut(const QString& text);
    Q_INVOKABLE void writeErr(const QString& text);
    Q_INVOKABLE QString readTextFile(const QString& path);
    Q_INVOKABLE void writeTextFile(const QString& path, const QString& text);
    // Ends the script with the exit status.
    Q_INVOKABLE void exit(int status);

    bool exitRequested() const { return exitRequested_; }
    int exitStatus() const { return exitStatus_; }
    // Ends every event binding the script made (before its engine goes).
    void unbindAll();

private:
    template <typename F>
    QJSValue guarded(F&& body);
    Object objectOf(const QJSValue& value) const;

    ValueBridge& values_;
    std::map<int, std::unique_ptr<ScriptEventSink>> sinks_;
    int nextBinding_ = 1;
    bool exitRequested_ = false;
    int exitStatus_ = 0;
};

} // namespace q7::host::script
