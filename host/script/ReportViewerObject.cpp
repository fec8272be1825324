#include "host/script/ReportViewerObject.h"

#include "host/script/AccountObject.h"
#include "platform/AutomationError.h"
#include "platform/ObjectRef.h"
#include "platform/values/Values.h"

namespace q7::host::script {

namespace {

QString settingText(const QVariant& value)
{
    if (value.metaType().id() == QMetaType::QDate)
        return values::dateText(value.toDate());
    return values::toTextOrEmpty(value);
}

} // namespace

ReportViewerObject::ReportViewerObject() = default;
ReportViewerObject::~ReportViewerObject() = default;

void ReportViewerObject::Open(const QString& key)
{
    viewer_ = std::make_unique<report::ReportViewer>(key);
    settings_.clear();
    angle_ = 0;
}

report::ReportViewer& ReportViewerObject::viewer()
{
    if (!viewer_)
        throw AutomationError(ErrObjectNotSet, QStringLiteral("The viewer has no report open"));
    return *viewer_;
}

QString ReportViewerObject::key() const { return viewer_ ? viewer_->definition().key : QString(); }

QVariant ReportViewerObject::Filters()
{
    QVariantList items;
    for (const auto& item : viewer().filter().items()) {
        const report::ItemDefinition& d = item->definition;
        items.append(QVariantMap{{QStringLiteral("name"), d.name},
                                 {QStringLiteral("caption"), d.caption},
                                 {QStringLiteral("range"), d.range},
                                 {QStringLiteral("list"), d.list},
                                 {QStringLiteral("value"), item->varValue}});
    }
    return items;
}

void ReportViewerObject::store(report::FilterSetting setting)
{
    if (!viewer().filter().item(setting.name))
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("Report %1 has no filter item %2").arg(key(), setting.name));
    settings_.removeIf([&](const report::FilterSetting& s) { return values::textEquals(s.name, setting.name); });
    settings_.append(std::move(setting));
}

void ReportViewerObject::SetFilter(const QString& name, const QVariant& value)
{
    const auto* item = viewer().filter().item(name);
    report::FilterSetting setting{name, settingText(value), std::nullopt};
    if (item && item->definition.range)
        setting.high = setting.low; // one value on a range item: exactly that value
    store(std::move(setting));
}

void ReportViewerObject::SetFilter(const QString& name, const QVariant& low, const QVariant& high)
{
    store({name, settingText(low), settingText(high)});
}

QString ReportViewerObject::Sql()
{
    const report::ReportOutcome outcome = viewer().run(settings_, angle_, nullptr);
    if (outcome.refused)
        throw AutomationError(ErrBadCallOrArgument, outcome.message);
    return outcome.statement;
}

QVariant ReportViewerObject::Run(const QVariant& account)
{
    const auto holder = objectCast<AccountObject>(toObject(account));
    if (!holder)
        throw AutomationError(ErrTypeMismatch, QStringLiteral("Run needs the account (a Q7Host.Account)"));
    const report::ReportOutcome outcome = viewer().run(settings_, angle_, &holder->connection());
    QVariantList rows;
    rows.reserve(outcome.rows.rows.size());
    for (const auto& row : outcome.rows.rows)
        rows.append(QVariant(QVariantList(row.begin(), row.end())));
    return QVariantMap{{QStringLiteral("refused"), outcome.refused},
                       {QStringLiteral("message"), outcome.message},
                       {QStringLiteral("statement"), outcome.statement},
                       {QStringLiteral("columns"), outcome.rows.columns},
                       {QStringLiteral("rows"), rows}};
}

} // namespace q7::host::script
