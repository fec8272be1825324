#pragma once

#include "reports/ReportHandler.h"

namespace q7::component {

// Substitute materials of BOM components. The conditions on version, date
// and identifier depend on the BOM type of the same filter; for all types
// they are combined into one parenthesised OR.
class clsBO02009 : public ReportHandler {
    Q_OBJECT
protected:
    QString reportKey() const override { return QStringLiteral("BO02009"); }
    QList<DefaultRule> defaultRules() const override;
    QList<CheckRule> checkRules() const override;
    void buildStatement(const q7::Object& filter, const QVariant& reportInfo, QVariant& sQuerySQL) override;
};

} // namespace q7::component
