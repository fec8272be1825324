#include "host/script/ScriptEventSink.h"

#include "host/script/ScriptValues.h"
#include "platform/values/Values.h"

namespace q7::host::script {

ScriptEventSink::ScriptEventSink(const ValueBridge& values, const QJSValue& handlers, const QStringList& functionNames,
                                 const QString& prefix)
    : values_(values), handlers_(handlers), functionNames_(functionNames), variable_(this, prefix)
{
}

QString ScriptEventSink::functionName(const QString& member) const
{
    for (const QString& name : functionNames_)
        if (values::textEquals(name, member))
            return name;
    return {};
}

bool ScriptEventSink::dispatch(Access access, const QString& name, QVariantList& args, QVariant& result)
{
    const QString function = functionName(name);
    if (access != Access::Call || function.isEmpty())
        return false;
    const QJSValue makeRef = values_.support().property(QStringLiteral("ref"));
    QJSValueList refs;
    for (const QVariant& arg : args)
        refs.append(makeRef.call({values_.toScript(arg)}));
    const QJSValue answer = handlers_.property(function).callWithInstance(handlers_, refs);
    if (answer.isError() || values_.engine().hasError())
        throw ValueBridge::fromScriptError(answer);
    for (qsizetype i = 0; i < args.size(); ++i)
        args[i] = values_.toVariant(refs[i].property(QStringLiteral("value")));
    result = values_.toVariant(answer);
    return true;
}

} // namespace q7::host::script
