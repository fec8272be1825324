#include "reports/ProcArguments.h"

#include "frame/ModBOM.h"
#include "platform/AutomationError.h"
#include "platform/values/Values.h"
#include "reports/ReportProtocol.h"

namespace q7::component {

namespace ProcArguments {

using ReportProtocol::quoted;

namespace {
QString quotedOr(const QString& value, const char* whenEmpty)
{
    return value.isEmpty() ? QString::fromLatin1(whenEmpty) : quoted(value) + u',';
}
} // namespace

QString codeRange(const QString& v1, const QString& v2)
{
    return quotedOr(v1, "'',") + quotedOr(v2, "'zzzzzzzzzzzzzzzzzzzz',");
}

QString unquotedNumber(const QString& value)
{
    if (!ReportProtocol::isPlainNumber(value))
        throw q7::AutomationError(q7::ErrBadCallOrArgument, QStringLiteral("Not a number, cannot stand unquoted in the statement: '%1'").arg(value));
    return value;
}

QString versionRange(const QString& v1, const QString& v2)
{
    return (v1.isEmpty() ? QStringLiteral(" 0,") : unquotedNumber(v1) + u',')
        + (v2.isEmpty() ? QStringLiteral("99999999 ,") : unquotedNumber(v2) + u',');
}

QString dateRange(const QString& v1, const QString& v2)
{
    return quotedOr(v1, "'2000-01-01',") + quotedOr(v2, "'2099-12-31',");
}

QString freeRange(const QString& v1, const QString& v2) { return quotedOr(v1, "'',") + quotedOr(v2, "'',"); }

QString planRate(const QString& v1)
{
    return q7::values::textEquals(v1, ModBOM::resText(40014)) ? QStringLiteral(" 1, ") : QStringLiteral(" 0, ");
}

int freeItemNumber(const QString& key)
{
    for (int n = 1; n <= 10; ++n)
        if (q7::values::textEquals(key, QStringLiteral("cFree") + QString::number(n)))
            return n;
    return 0;
}

} // namespace ProcArguments

} // namespace q7::component
