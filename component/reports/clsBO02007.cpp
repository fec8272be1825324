#include "reports/clsBO02007.h"

#include "frame/ModBOM.h"
#include "platform/values/Values.h"
#include "reports/ProcArguments.h"
#include "reports/ProcedureStatement.h"

namespace q7::component {

using q7::values::textEquals;
using Kind = CheckRule::Kind;

QList<DefaultRule> clsBO02007::defaultRules() const
{
    return {resourceDefault("BomType", 40112), todayDefault("EffDate"), {"Qty", [] { return QStringLiteral("1.0"); }},
            resourceDefault("PlanRateFlag", 40015)};
}

QList<CheckRule> clsBO02007::checkRules() const
{
    return {
        {"Version", Kind::VersionTooLong},
        {"Version", Kind::PlainNumber},
        {"BomType", Kind::InList, {40112, 40113, 40081}, false},
        {"PlanRateFlag", Kind::InList, {40014, 40015}},
        {"EffDate", Kind::Required},
        {"Qty", Kind::Quantity, {}, true, false},
    };
}

QString clsBO02007::BuildProcArgument(const QString& key, const QString& v1, const QString& v2)
{
    if (textEquals(key, QStringLiteral("InvCode")) || textEquals(key, QStringLiteral("IdentCode")))
        return ProcArguments::codeRange(v1, v2);
    if (textEquals(key, QStringLiteral("Version")))
        return ProcArguments::versionRange(v1, v2);
    if (textEquals(key, QStringLiteral("Date")))
        return ProcArguments::dateRange(v1, v2);
    if (textEquals(key, QStringLiteral("EffDate")))
        return v1.isEmpty() ? QStringLiteral("'2000-01-01',") : ReportProtocol::quoted(v1) + u',';
    if (textEquals(key, QStringLiteral("BomType"))) {
        if (textEquals(v1, ModBOM::resText(40112)))
            return QStringLiteral("1,");
        if (textEquals(v1, ModBOM::resText(40113)))
            return QStringLiteral("2,");
        if (textEquals(v1, ModBOM::resText(40081)))
            return QStringLiteral("0,");
        return QStringLiteral("1,");
    }
    if (textEquals(key, QStringLiteral("Qty")))
        return v1.isEmpty() ? QStringLiteral("1.0,") : ProcArguments::unquotedNumber(v1) + u',';
    if (textEquals(key, QStringLiteral("PlanRateFlag")))
        return ProcArguments::planRate(v1);
    if (textEquals(key, QStringLiteral("cFree10"))) // closes the argument list
        return (v1.isEmpty() ? QStringLiteral("'',") : ReportProtocol::quoted(v1) + u',')
            + (v2.isEmpty() ? QStringLiteral("''") : ReportProtocol::quoted(v2));
    if (ProcArguments::freeItemNumber(key) > 0)
        return ProcArguments::freeRange(v1, v2);
    return {};
}

void clsBO02007::buildStatement(const q7::Object& filter, const QVariant& reportInfo, QVariant&)
{
    const QString arguments = procedureArguments(filter, &clsBO02007::BuildProcArgument);
    locateProcedureStatement(reportInfo, QStringLiteral(" Exec Usp_BO_BO02007 ") + arguments);
}

} // namespace q7::component
