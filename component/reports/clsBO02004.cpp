#include "reports/clsBO02004.h"

#include "frame/ModBOM.h"
#include "platform/values/Values.h"
#include "reports/ProcArguments.h"
#include "reports/ProcedureStatement.h"

namespace q7::component {

using q7::values::textEquals;
using Kind = CheckRule::Kind;

QList<DefaultRule> clsBO02004::defaultRules() const
{
    return {resourceDefault("QueryType", 40012), todayDefault("EffDate"), resourceDefault("PlanRateFlag", 40015)};
}

QList<CheckRule> clsBO02004::checkRules() const
{
    return {
        {"Version", Kind::VersionTooLong},
        {"Version", Kind::PlainNumber},
        {"QueryType", Kind::InList, {40012, 40013}},
        {"PlanRateFlag", Kind::InList, {40014, 40015}},
        {"EffDate", Kind::Required},
    };
}

QString clsBO02004::BuildProcArgument(const QString& key, const QString& v1, const QString& v2)
{
    if (textEquals(key, QStringLiteral("InvCode")))
        return ProcArguments::codeRange(v1, v2);
    if (textEquals(key, QStringLiteral("Version")))
        return ProcArguments::versionRange(v1, v2);
    if (textEquals(key, QStringLiteral("Date")))
        return ProcArguments::dateRange(v1, v2);
    if (textEquals(key, QStringLiteral("EffDate"))) {
        m_strEffDate = u' ' + ReportProtocol::quoted(v1);
        return {};
    }
    if (textEquals(key, QStringLiteral("QueryType")))
        return textEquals(v1, ModBOM::resText(40012)) ? QStringLiteral("1,") : QStringLiteral("2,");
    if (textEquals(key, QStringLiteral("PlanRateFlag")))
        return ProcArguments::planRate(v1);
    if (ProcArguments::freeItemNumber(key) > 0)
        return ProcArguments::freeRange(v1, v2);
    return {};
}

void clsBO02004::buildStatement(const q7::Object& filter, const QVariant& reportInfo, QVariant&)
{
    const QString arguments = procedureArguments(
        filter, [this](const QString& key, const QString& v1, const QString& v2) { return BuildProcArgument(key, v1, v2); });
    locateProcedureStatement(reportInfo, QStringLiteral(" Exec Usp_BO_ExpandByParent ") + arguments + QStringLiteral("0,1,") + m_strEffDate);
}

} // namespace q7::component
