#include "reports/clsBO02010.h"

#include "frame/ModBOM.h"
#include "platform/values/Values.h"
#include "reports/ProcArguments.h"
#include "reports/ProcedureStatement.h"

namespace q7::component {

using q7::values::textEquals;
using Kind = CheckRule::Kind;

namespace {
// Attribute captions of "Sel", in argument order.
constexpr int selCaptions[] = {40684, 40212, 40213, 40215, 40208};
} // namespace

QVariant clsBO02010::MultiAngleList()
{
    return QVariantList{ModBOM::resText(40671), ModBOM::resText(40672), ModBOM::resText(40673)};
}

QList<DefaultRule> clsBO02010::defaultRules() const { return {resourceDefault("SameYn", 40015)}; }

QList<CheckRule> clsBO02010::checkRules() const
{
    const short t = iCurrentType_;
    return {
        {"Version1", Kind::VersionTooLong, {}, true, false},
        {"Version2", Kind::VersionTooLong, {}, true, false},
        {"InvCode", Kind::Required},
        {"Version1", Kind::Required, {}, true, true, [t] { return t < 3; }},
        {"Version2", Kind::Required, {}, true, true, [t] { return t == 1; }},
        {"Identcode1", Kind::Required, {}, true, true, [t] { return t == 3; }},
        {"Identcode2", Kind::Required, {}, true, true, [t] { return t > 1; }},
        {"Version1", Kind::PlainNumber, {}, true, false},
        {"Version2", Kind::PlainNumber, {}, true, false},
    };
}

QString clsBO02010::BuildProcArgument(const QString& key, const QString& v)
{
    using ReportProtocol::quoted;
    if (textEquals(key, QStringLiteral("InvCode")))
        return v.isEmpty() ? QStringLiteral(",") : quoted(v) + u',';
    if (textEquals(key, QStringLiteral("Version1")) || textEquals(key, QStringLiteral("Version2")))
        return v.isEmpty() ? QStringLiteral(" 0,") : ProcArguments::unquotedNumber(v) + u',';
    if (textEquals(key, QStringLiteral("Identcode1")) || textEquals(key, QStringLiteral("Identcode2")))
        return v.isEmpty() ? QStringLiteral("''," ) : quoted(v) + u',';
    if (textEquals(key, QStringLiteral("cFree10"))) // closes the argument list
        return v.isEmpty() ? QStringLiteral("''") : quoted(v);
    if (ProcArguments::freeItemNumber(key) > 0)
        return v.isEmpty() ? QStringLiteral("'',") : quoted(v) + u',';
    if (textEquals(key, QStringLiteral("SameYn")))
        return textEquals(v, ModBOM::resText(40014)) ? QStringLiteral(" 1, ") : QStringLiteral(" 0, ");
    if (textEquals(key, QStringLiteral("Sel"))) {
        QString flags;
        for (int caption : selCaptions)
            flags += q7::values::findText(v, ModBOM::resText(caption)) > 0 ? QStringLiteral(" 1,") : QStringLiteral(" 0,");
        return flags;
    }
    return {};
}

void clsBO02010::buildStatement(const q7::Object& filter, const QVariant& reportInfo, QVariant&)
{
    const QString arguments = QString::number(iCurrentType_) + u','
        + procedureArguments(filter, [](const QString& key, const QString& v1, const QString&) { return BuildProcArgument(key, v1); });
    locateProcedureStatement(reportInfo, QStringLiteral("Exec Usp_BO_BO02010 ") + arguments);
}

} // namespace q7::component
