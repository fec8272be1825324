#include "reports/ReportHandler.h"

#include "frame/ModBOM.h"
#include "platform/LateBinding.h"
#include "platform/system/SystemSettings.h"
#include "platform/values/Values.h"

namespace q7::component {

using ReportProtocol::FilterItem;

namespace {
constexpr int MsgRequired = 2509;
constexpr int MsgTooLarge = 20449;
constexpr int MsgNotInList = 20453;
constexpr int MsgNotNumber = 61301;
} // namespace

DefaultRule resourceDefault(const char* key, int resource)
{
    return {key, [resource] { return ModBOM::resText(resource); }};
}

DefaultRule todayDefault(const char* key)
{
    return {key, [] { return system::toShortDate(system::today()); }};
}

void ReportHandler::ReportEventHandle(const QVariant& oFilter) { objFilter.bind(ReportProtocol::filterOf(oFilter)); }

void ReportHandler::objFilter_SetFilterList(const QVariant&, QVariant& oFilter, const QVariant&)
{
    const QList<DefaultRule> rules = defaultRules();
    ReportProtocol::forEachItem(ReportProtocol::filterOf(oFilter), [&](const FilterItem& item) {
        const QString name = item.name();
        for (const DefaultRule& rule : rules)
            if (values::textEquals(name, QString::fromUtf8(rule.key)))
                ReportProtocol::writeDefault(item, rule.value());
    });
}

int ReportHandler::failedMessage(const CheckRule& rule, const FilterItem& item)
{
    const QString v1 = values::trim(item.value());
    const auto bothBounds = [&](auto&& fails) { return fails(v1) || (rule.bothBounds && fails(values::trim(item.value2()))); };
    // Values that stand unquoted in the statement are checked as they will stand there, blanks included.
    const auto rawBounds = [&](auto&& fails) { return fails(item.value()) || (rule.bothBounds && fails(item.value2())); };
    switch (rule.kind) {
    case CheckRule::Kind::VersionTooLong:
        return bothBounds([](const QString& v) { return v.size() > 8; }) ? MsgTooLarge : 0;
    case CheckRule::Kind::PlainNumber:
        return rawBounds([](const QString& v) { return !v.isEmpty() && !ReportProtocol::isPlainNumber(v); }) ? MsgNotNumber : 0;
    case CheckRule::Kind::Quantity:
        return rawBounds([](const QString& v) { return !v.isEmpty() && !ReportProtocol::isQuantity(v); }) ? MsgNotNumber : 0;
    case CheckRule::Kind::Required:
        return v1.isEmpty() ? MsgRequired : 0;
    case CheckRule::Kind::InList:
        for (int caption : rule.captions)
            if (values::textEquals(v1, ModBOM::resText(caption)))
                return 0;
        return MsgNotInList;
    }
    return 0;
}

void ReportHandler::objFilter_CheckFilterCondition(const QVariant&, QVariant& oFilter, QVariant& bCancel)
{
    const QList<CheckRule> rules = checkRules();
    bool stop = false;
    ReportProtocol::forEachItem(ReportProtocol::filterOf(oFilter), [&](const FilterItem& item) {
        if (stop)
            return;
        const QString name = item.name();
        for (const CheckRule& rule : rules) {
            if (!values::textEquals(name, QString::fromUtf8(rule.key)) || (rule.when && !rule.when()))
                continue;
            const int message = failedMessage(rule, item);
            if (message == 0)
                continue;
            if (rule.beep)
                system::beep();
            ModBOM::objMessage().ShowCheckMessage(message, missingValue(), QVariantList{item.caption()});
            bCancel = true;
            stop = true;
            return;
        }
    });
}

void ReportHandler::describeReport(const Object& reportInfo) { call(reportInfo, QStringLiteral("SetReportKey"), {reportKey()}); }

void ReportHandler::objFilter_SetReportInfo(const QVariant&, QVariant& oReportInfo) { describeReport(toObject(oReportInfo)); }

void ReportHandler::objFilter_SetReportSQL(const QVariant&, QVariant& oFilter, QVariant& oReportInfo, const QVariant&,
                                           const QVariant&, QVariant& sQuerySQL)
{
    buildStatement(ReportProtocol::filterOf(oFilter), oReportInfo, sQuerySQL);
}

} // namespace q7::component
