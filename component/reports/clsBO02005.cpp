#include "reports/clsBO02005.h"

#include "platform/AutomationError.h"

QList<DefaultRule> clsBO02005::defaultRules() const { return {}; }
QList<CheckRule> clsBO02005::checkRules() const { return {}; }
void clsBO02005::buildStatement(const q7::Object&, const QVariant&, QVariant&)
{
    throw q7::AutomationError(q7::ErrBadCallOrArgument, QStringLiteral("Report BO02005 has no statement yet"));
}
