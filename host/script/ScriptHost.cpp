#include "host/script/ScriptHost.h"

#include "host/script/AccountObject.h"
#include "host/script/ReportViewerObject.h"
#include "host/script/ScriptBridge.h"
#include "platform/ClassRegistry.h"
#include "platform/LateBinding.h"

#include <QFile>
#include <QUrl>

namespace q7::host::script {

namespace {

QString preludeText()
{
    QFile file(QStringLiteral(":/q7/script/prelude.js"));
    if (!file.open(QIODevice::ReadOnly))
        throw AutomationError(ErrCannotCreateObject, QStringLiteral("The script prelude is missing"));
    return QString::fromUtf8(file.readAll());
}

} // namespace

void registerScriptHostClasses()
{
    ClassRegistry& registry = ClassRegistry::instance();
    registry.registerClass(QString::fromLatin1(AccountClassId), [] { return Object(makeObject<AccountObject>()); });
    registry.registerClass(QString::fromLatin1(ReportViewerClassId), [] { return Object(makeObject<ReportViewerObject>()); });
}

ScriptHost::ScriptHost(const QStringList& arguments, const QString& accountPath)
    : engine_(std::make_unique<QJSEngine>()), values_(std::make_unique<ValueBridge>(*engine_)),
      bridge_(std::make_unique<ScriptBridge>(*values_))
{
    registerScriptHostClasses();
    QJSEngine::setObjectOwnership(bridge_.get(), QJSEngine::CppOwnership);
    const QJSValue prelude = engine_->evaluate(preludeText(), QStringLiteral("prelude.js"));
    const QJSValue support = prelude.call({engine_->newQObject(bridge_.get()), engine_->globalObject()});
    if (prelude.isError() || support.isError())
        throw AutomationError(ErrCannotCreateObject, QStringLiteral("The script prelude failed: %1").arg(support.toString()));
    values_->setSupport(support);

    QJSValue global = engine_->globalObject();
    QJSValue list = engine_->newArray(static_cast<uint>(arguments.size()));
    for (qsizetype i = 0; i < arguments.size(); ++i)
        list.setProperty(static_cast<quint32>(i), arguments[i]);
    global.setProperty(QStringLiteral("args"), list);
    global.setProperty(QStringLiteral("account"), values_->support().property(QStringLiteral("Nothing")));
    if (!accountPath.isEmpty()) {
        const Object account = createObject(QString::fromLatin1(AccountClassId));
        call(account, QStringLiteral("Open"), {accountPath});
        global.setProperty(QStringLiteral("account"), values_->toScript(fromObject(account)));
    }
}

ScriptHost::~ScriptHost()
{
    bridge_->unbindAll();
    values_->setSupport(QJSValue());
    engine_->collectGarbage();
}

QJSValue ScriptHost::evaluate(const QString& expression, bool* thrown)
{
    QStringList stack;
    const QJSValue value = engine_->evaluate(expression, QStringLiteral("expression"), 1, &stack);
    if (thrown)
        *thrown = !stack.isEmpty() || value.isError();
    return value;
}

ScriptOutcome ScriptHost::run(const QString& program, const QString& fileName)
{
    engine_->globalObject().setProperty(QStringLiteral("scriptName"), fileName);
    QStringList stack;
    QJSValue value;
    QString stopReason;
    {
        ScriptWatch watch(*engine_, limits_);
        value = engine_->evaluate(program, fileName, 1, &stack);
        stopReason = watch.finish();
    }
    engine_->setInterrupted(false); // a stop that came as the script ended must not hold the next one
    ScriptOutcome outcome;
    if (!stopReason.isEmpty()) {
        engine_->collectGarbage(); // what the script held goes back before anything else runs
        outcome.status = 1;
        outcome.error = fileName + QStringLiteral(": ") + stopReason;
        return outcome;
    }
    if (bridge_->exitRequested()) {
        outcome.status = bridge_->exitStatus();
        return outcome;
    }
    if (stack.isEmpty() && !value.isError())
        return outcome;
    outcome.status = 1;
    // The innermost frame of the script itself (not of the prelude): "function:line:column:file URL".
    QString where = fileName + QStringLiteral(": ");
    for (const QString& frame : stack) {
        const QStringList parts = frame.split(u':');
        if (parts.size() >= 4 && QUrl(parts.mid(3).join(u':')).toLocalFile() == fileName) {
            where = QStringLiteral("%1:%2: ").arg(fileName, parts[1]);
            break;
        }
    }
    const QJSValue number = value.isObject() ? value.property(QStringLiteral("number")) : QJSValue();
    if (number.isNumber()) {
        outcome.errorNumber = number.toInt();
        outcome.error = where + QStringLiteral("run-time error %1: %2").arg(outcome.errorNumber).arg(value.property(QStringLiteral("description")).toString());
    } else {
        outcome.error = where + value.toString();
    }
    return outcome;
}

} // namespace q7::host::script
