#include "host/script/ScriptBridge.h"

#include "host/script/ScriptEventSink.h"
#include "platform/ClassRegistry.h"
#include "platform/Events.h"
#include "platform/LateBinding.h"
#include "platform/values/Values.h"

#include <QFile>
#include <QMetaProperty>

#include <cstdio>

namespace q7::host::script {

namespace {

bool isDeclaredProperty(const QObject* object, const QString& name)
{
    const QMetaObject* meta = object->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i)
        if (values::textEquals(QString::fromLatin1(meta->property(i).name()), name))
            return true;
    return false;
}

// A call from the script is a call or a property read, as the platform's own
// expressions are: members an object answers itself are tried as both.
QVariant invokeMember(const Object& object, const QString& name, QVariantList& args)
{
    if (object && !hasDeclaredMember(object.data(), name))
        if (auto* dynamic = dynamic_cast<DynamicDispatch*>(object.data())) {
            QVariant result;
            if (dynamic->dispatch(DynamicDispatch::Access::Call, name, args, result) ||
                dynamic->dispatch(DynamicDispatch::Access::Get, name, args, result))
                return result;
        }
    return callByName(object, name, args);
}

} // namespace

ScriptBridge::ScriptBridge(ValueBridge& values) : values_(values) {}

ScriptBridge::~ScriptBridge() { unbindAll(); }

void ScriptBridge::unbindAll() { sinks_.clear(); }

template <typename F>
QJSValue ScriptBridge::guarded(F&& body)
{
    try {
        return body();
    } catch (const AutomationError& error) {
        values_.engine().throwError(values_.error(error));
    } catch (const std::exception& error) {
        values_.engine().throwError(values_.error(AutomationError(ErrBadCallOrArgument, QString::fromUtf8(error.what()))));
    }
    return {};
}

Object ScriptBridge::objectOf(const QJSValue& value) const { return toObject(values_.toVariant(value)); }

QJSValue ScriptBridge::createObject(const QString& classId)
{
    return guarded([&] { return values_.toScript(fromObject(q7::createObject(classId))); });
}

QJSValue ScriptBridge::member(const QJSValue& object, const QString& name)
{
    // The engine loses an exception thrown while it looks up a member to call:
    // the error goes back as {error}, and the prelude answers a function that throws it.
    try {
        const Object target = objectOf(object);
        QJSValue answer = values_.engine().newObject();
        if (!target)
            throw AutomationError(ErrObjectNotSet);
        if (isDeclaredProperty(target.data(), name)) {
            answer.setProperty(QStringLiteral("value"), values_.toScript(getProperty(target, name)));
            return answer;
        }
        if (!hasDeclaredMember(target.data(), name)) {
            auto* dynamic = dynamic_cast<DynamicDispatch*>(target.data());
            if (!dynamic)
                throw AutomationError(ErrNoSuchMember);
            // A member the object answers itself: a property read when it reads without arguments.
            QVariantList none;
            QVariant value;
            bool read = false;
            try {
                read = dynamic->dispatch(DynamicDispatch::Access::Get, name, none, value);
            } catch (const AutomationError&) {
                read = false; // it wants arguments: a member to call
            }
            if (read) {
                answer.setProperty(QStringLiteral("value"), values_.toScript(value));
                return answer;
            }
        }
        answer.setProperty(QStringLiteral("method"), true);
        return answer;
    } catch (const AutomationError& error) {
        QJSValue answer = values_.engine().newObject();
        answer.setProperty(QStringLiteral("error"), values_.error(error));
        return answer;
    }
}

QJSValue ScriptBridge::call(const QJSValue& object, const QString& name, const QJSValue& args)
{
    return guarded([&] {
        const Object target = objectOf(object);
        QVariantList list = values_.toVariantList(args);
        const QVariant result = invokeMember(target, name, list);
        QJSValue answer = values_.engine().newObject();
        answer.setProperty(QStringLiteral("result"), values_.toScript(result));
        answer.setProperty(QStringLiteral("args"), values_.toScriptList(list));
        return answer;
    });
}

QJSValue ScriptBridge::get(const QJSValue& object, const QString& name, const QJSValue& args)
{
    return guarded([&] { return values_.toScript(getProperty(objectOf(object), name, values_.toVariantList(args))); });
}

void ScriptBridge::let(const QJSValue& object, const QString& name, const QJSValue& args, const QJSValue& value)
{
    guarded([&] {
        const Object target = objectOf(object);
        const QVariantList list = values_.toVariantList(args);
        if (list.isEmpty())
            letProperty(target, name, values_.toVariant(value));
        else
            letProperty(target, name, list, values_.toVariant(value));
        return QJSValue();
    });
}

QJSValue ScriptBridge::raiseEvent(const QJSValue& source, const QString& name, const QJSValue& args)
{
    return guarded([&] {
        const Object target = objectOf(source);
        if (!target)
            throw AutomationError(ErrObjectNotSet);
        QVariantList list = values_.toVariantList(args);
        q7::raiseEvent(target.data(), name, list);
        return values_.toScriptList(list);
    });
}

int ScriptBridge::bindEvents(const QJSValue& source, const QString& prefix, const QJSValue& handlers, const QStringList& functionNames)
{
    return guarded([&] {
               const Object target = objectOf(source);
               if (!target)
                   throw AutomationError(ErrObjectNotSet);
               if (prefix.isEmpty())
                   throw AutomationError(ErrBadCallOrArgument, QStringLiteral("bindEvents needs the variable's name"));
               auto sink = std::make_unique<ScriptEventSink>(values_, handlers, functionNames, prefix);
               sink->bind(target);
               const int binding = nextBinding_++;
               sinks_.emplace(binding, std::move(sink));
               return QJSValue(binding);
           })
        .toInt();
}

void ScriptBridge::unbindEvents(int binding) { sinks_.erase(binding); }

QString ScriptBridge::typeName(const QJSValue& object)
{
    return guarded([&] {
               const Object target = objectOf(object);
               return QJSValue(target ? q7::typeName(target.data())
                                      : QStringLiteral("Nothing"));
           })
        .toString();
}

bool ScriptBridge::same(const QJSValue& a, const QJSValue& b)
{
    return guarded([&] { return QJSValue(objectOf(a) == objectOf(b)); }).toBool();
}

void ScriptBridge::writeOut(const QString& text)
{
    std::fputs(text.toUtf8().constData(), stdout);
}

void ScriptBridge::writeErr(const QString& text)
{
    std::fflush(stdout);
    std::fputs(text.toUtf8().constData(), stderr);
}

QString ScriptBridge::readTextFile(const QString& path)
{
    return guarded([&] {
               QFile file(path);
               if (!file.open(QIODevice::ReadOnly))
                   throw AutomationError(53, QStringLiteral("File not found: %1").arg(path));
               return QJSValue(QString::fromUtf8(file.readAll()));
           })
        .toString();
}

void ScriptBridge::writeTextFile(const QString& path, const QString& text)
{
    guarded([&] {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0 || !file.flush())
            throw AutomationError(75, QStringLiteral("Path/File access error: %1").arg(path));
        return QJSValue();
    });
}

void ScriptBridge::exit(int status)
{
    exitRequested_ = true;
    exitStatus_ = status;
    values_.engine().setInterrupted(true);
}

} // namespace q7::host::script
