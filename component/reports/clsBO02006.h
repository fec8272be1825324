#pragma once

#include "reports/ReportHandler.h"

namespace q7::component {

// Multi-level where-used explosion (procedure Usp_BO_ExpandByComp).
class clsBO02006 : public ReportHandler {
    Q_OBJECT
protected:
    QString reportKey() const override { return QStringLiteral("BO02006"); }
    QList<DefaultRule> defaultRules() const override;
    QList<CheckRule> checkRules() const override;
    void buildStatement(const q7::Object& filter, const QVariant& reportInfo, QVariant& sQuerySQL) override;

private:
    static QString BuildProcArgument(const QString& key, const QString& v1, const QString& v2);
};

} // namespace q7::component
