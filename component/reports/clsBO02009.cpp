#include "reports/clsBO02009.h"

#include "platform/AutomationError.h"

QList<DefaultRule> clsBO02009::defaultRules() const { return {}; }
QList<CheckRule> clsBO02009::checkRules() const { return {}; }
void clsBO02009::buildStatement(const q7::Object&, const QVariant&, QVariant&)
{
    throw q7::AutomationError(q7::ErrBadCallOrArgument, QStringLiteral("Report BO02009 has no statement yet"));
}
