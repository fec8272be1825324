#pragma once

#include "host/script/ScriptLimits.h"
#include "host/script/ScriptValues.h"

#include <QJSEngine>
#include <QString>
#include <QStringList>

#include <memory>
#include <utility>

namespace q7::host::script {

class ScriptBridge;

// How a script ended: its exit status, and for a failure the message for
// standard error ("FILE:LINE: …", with the run-time error's number).
struct ScriptOutcome {
    int status = 0;
    QString error;
    int errorNumber = 0; // the uncaught run-time error's number, 0 for others
};

// Runs scripts on Qt's JavaScript engine as a host of the run-time: the
// script makes objects by class identifier and reaches their members by
// name through the late binding (see prelude.js for what it sees). The
// script's globals: `args` (its arguments), `scriptName`, and `account` (a
// "Q7Host.Account" opened on the account database, when one is given).
class ScriptHost {
public:
    explicit ScriptHost(const QStringList& arguments = {}, const QString& accountPath = {});
    ~ScriptHost();
    ScriptHost(const ScriptHost&) = delete;
    ScriptHost& operator=(const ScriptHost&) = delete;

    // The bounds of the scripts run from now on (by default the memory ceiling only).
    void setLimits(ScriptLimits limits) { limits_ = std::move(limits); }

    ScriptOutcome run(const QString& program, const QString& fileName);
    // Evaluates an expression; a thrown value is returned as it was thrown, with thrown set.
    QJSValue evaluate(const QString& expression, bool* thrown = nullptr);

    ValueBridge& values() { return *values_; }
    QJSEngine& engine() { return *engine_; }

private:
    std::unique_ptr<QJSEngine> engine_;
    std::unique_ptr<ValueBridge> values_;
    std::unique_ptr<ScriptBridge> bridge_;
    ScriptLimits limits_;
};

// Registers the host objects that scripts create ("Q7Host.Account",
// "Q7Host.ReportViewer"); done by every ScriptHost.
void registerScriptHostClasses();

} // namespace q7::host::script
