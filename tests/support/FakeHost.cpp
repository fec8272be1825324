#include "support/FakeHost.h"

#include "frame/Registration.h"
#include "host/HostRegistration.h"
#include "host/db/AccountDatabase.h"

#include <QTemporaryDir>
#include "platform/AutomationError.h"
#include "platform/ClassRegistry.h"
#include "platform/Events.h"
#include "platform/LateBinding.h"
#include "platform/system/SystemSettings.h"

using namespace q7::component;

namespace fake {

namespace {
std::shared_ptr<q7::host::RecordingPresenter>& recorder()
{
    static auto presenter = std::make_shared<q7::host::RecordingPresenter>();
    return presenter;
}
int beepCount = 0;
void countBeep() { ++beepCount; }
} // namespace

int errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const q7::AutomationError& e) {
        return e.number();
    }
    return 0;
}

QString demoAccountPath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("demo.db"));
        q7::host::db::createDemoAccount(file);
        return file;
    }();
    return path;
}

void HostEnvironment::SetUp()
{
    q7::host::registerHostServices();
    DllRegisterServer();
    q7::host::setMessagePresenter(recorder());
    q7::system::setBeepHandler(&countBeep);
    q7::system::setToday(QDate(2026, 12, 7));
}

std::shared_ptr<q7::host::RecordingPresenter> messages() { return recorder(); }
int beeps() { return beepCount; }
void resetRecords()
{
    recorder()->messages.clear();
    beepCount = 0;
}

QVariant FilterList::Item(int index) const
{
    if (index < 1 || index > items.size())
        throw q7::AutomationError(q7::ErrSubscriptOutOfRange);
    return q7::fromObject(items[index - 1]);
}

Filter::Filter() : list_(q7::makeObject<FilterList>()) {}

FilterItem& Filter::add(const QString& name, const QVariant& value, const QVariant& value2, const QString& caption)
{
    auto item = q7::makeObject<FilterItem>();
    item->name = name;
    item->varValue = value;
    item->varValue2 = value2;
    item->strCaption = caption.isEmpty() ? name + QStringLiteral("-caption") : caption;
    list_->items.append(item);
    return *item;
}

FilterItem& Filter::item(const QString& name) const
{
    for (const q7::Object& object : list_->items) {
        auto* item = static_cast<FilterItem*>(object.data());
        if (item->name.toString() == name)
            return *item;
    }
    throw std::runtime_error("no such filter item");
}

QString Filter::GetWhereWithToken(short token)
{
    tokenArgs.append(token);
    return whereText;
}

bool Recorder::dispatch(Access access, const QString& name, QVariantList& args, QVariant& result)
{
    const auto text = [](const QVariant& v) {
        return q7::isObject(v) ? QStringLiteral("<object>") : v.toString();
    };
    if (access == Access::Let) {
        properties.insert(name, args.value(0));
        log.append(name + QStringLiteral("=") + text(args.value(0)));
        return true;
    }
    if (answers.contains(name)) {
        QStringList shown;
        for (const QVariant& a : args)
            shown.append(text(a));
        log.append(name + u'(' + shown.join(u',') + u')');
        result = answers[name](args);
        return true;
    }
    if (access == Access::Get && args.isEmpty() && properties.contains(name)) {
        result = properties.value(name);
        return true;
    }
    if (access == Access::Call) {
        QStringList shown;
        for (const QVariant& a : args)
            shown.append(text(a));
        log.append(name + u'(' + shown.join(u',') + u')');
        return true;
    }
    return false;
}

Form::Form() : events(new QObject) {}

ReportRun::ReportRun(const QString& menuKey)
{
    resetRecords();
    const q7::Object programDefine = q7::createObject(QStringLiteral("Q7BomLib.clsProgramDefine"));
    QVariantList args{menuKey, QString(""), QVariant(), QVariant(), q7::nothing()};
    q7::callByName(programDefine, QStringLiteral("SetProgramType"), args);
    handler = q7::toObject(args[4]);
    q7::call(handler, QStringLiteral("ReportEventHandle"), {q7::fromObject(filter)});
}

void ReportRun::setFilterList()
{
    QVariantList args{QStringLiteral("report"), q7::fromObject(filter), q7::nothing()};
    q7::raiseEvent(filter.data(), QStringLiteral("SetFilterList"), args);
}

bool ReportRun::check()
{
    QVariantList args{QStringLiteral("report"), q7::fromObject(filter), false};
    q7::raiseEvent(filter.data(), QStringLiteral("CheckFilterCondition"), args);
    return args[2].toBool();
}

QString ReportRun::reportInfoCalls()
{
    info->calls.clear();
    QVariantList args{QStringLiteral("report"), q7::fromObject(info)};
    q7::raiseEvent(filter.data(), QStringLiteral("SetReportInfo"), args);
    return info->calls.join(u'\n');
}

q7::ReportSqlParts ReportRun::sql()
{
    QVariantList args{QStringLiteral("report"), q7::fromObject(filter), q7::fromObject(info), q7::nothing(), QString("user"), QString("")};
    q7::raiseEvent(filter.data(), QStringLiteral("SetReportSQL"), args);
    querySql = args[5].toString();
    return info->parts();
}

} // namespace fake
