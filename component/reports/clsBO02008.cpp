#include "reports/clsBO02008.h"

#include "platform/AutomationError.h"

QList<DefaultRule> clsBO02008::defaultRules() const { return {}; }
QList<CheckRule> clsBO02008::checkRules() const { return {}; }
void clsBO02008::buildStatement(const q7::Object&, const QVariant&, QVariant&)
{
    throw q7::AutomationError(q7::ErrBadCallOrArgument, QStringLiteral("Report BO02008 has no statement yet"));
}
