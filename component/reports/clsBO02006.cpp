#include "reports/clsBO02006.h"

#include "platform/values/Values.h"
#include "reports/ProcArguments.h"
#include "reports/ProcedureStatement.h"

namespace q7::component {

using q7::values::textEquals;
using Kind = CheckRule::Kind;

QList<DefaultRule> clsBO02006::defaultRules() const
{
    return {todayDefault("EffDate"), resourceDefault("PlanRateFlag", 40015)};
}

QList<CheckRule> clsBO02006::checkRules() const
{
    return {
        {"EffDate", Kind::Required},
        {"PlanRateFlag", Kind::InList, {40014, 40015}},
    };
}

QString clsBO02006::BuildProcArgument(const QString& key, const QString& v1, const QString& v2)
{
    if (textEquals(key, QStringLiteral("InvCode")))
        return ProcArguments::codeRange(v1, v2);
    if (textEquals(key, QStringLiteral("EffDate")))
        return v1.isEmpty() ? QStringLiteral("'2000-01-01',") : ReportProtocol::quoted(v1) + u',';
    if (textEquals(key, QStringLiteral("PlanRateFlag")))
        return ProcArguments::planRate(v1);
    if (ProcArguments::freeItemNumber(key) > 0)
        return ProcArguments::freeRange(v1, v2);
    return {};
}

void clsBO02006::buildStatement(const q7::Object& filter, const QVariant& reportInfo, QVariant&)
{
    const QString arguments = procedureArguments(filter, &clsBO02006::BuildProcArgument);
    locateProcedureStatement(reportInfo, QStringLiteral(" Exec Usp_BO_ExpandByComp ") + arguments + QStringLiteral("0,1"));
}

} // namespace q7::component
