#pragma once

#include "reports/ReportHandler.h"

namespace q7::component {

// Where-used list by component: the same rows as the detail list, sorted by
// component first. The handler composes every condition itself.
class clsBO02005 : public ReportHandler {
    Q_OBJECT
protected:
    QString reportKey() const override { return QStringLiteral("BO02005"); }
    QList<DefaultRule> defaultRules() const override;
    QList<CheckRule> checkRules() const override;
    void describeReport(const q7::Object& reportInfo) override;
    void buildStatement(const q7::Object& filter, const QVariant& reportInfo, QVariant& sQuerySQL) override;
};

} // namespace q7::component
