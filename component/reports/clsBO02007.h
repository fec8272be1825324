#pragma once

#include "reports/ReportHandler.h"

namespace q7::component {

// Explosion of a quantity of parent items (procedure Usp_BO_BO02007).
class clsBO02007 : public ReportHandler {
    Q_OBJECT
protected:
    QString reportKey() const override { return QStringLiteral("BO02007"); }
    QList<DefaultRule> defaultRules() const override;
    QList<CheckRule> checkRules() const override;
    void buildStatement(const q7::Object& filter, const QVariant& reportInfo, QVariant& sQuerySQL) override;

private:
    static QString BuildProcArgument(const QString& key, const QString& v1, const QString& v2);
};

} // namespace q7::component
