#include "reports/clsBO02003.h"

#include "platform/AutomationError.h"

QList<DefaultRule> clsBO02003::defaultRules() const { return {}; }
QList<CheckRule> clsBO02003::checkRules() const { return {}; }
void clsBO02003::buildStatement(const q7::Object&, const QVariant&, QVariant&)
{
    throw q7::AutomationError(q7::ErrBadCallOrArgument, QStringLiteral("Report BO02003 has no statement yet"));
}
