#pragma once

#include "reports/ReportHandler.h"

namespace q7::component {

// Multi-level explosion from parent items (procedure Usp_BO_ExpandByParent).
// The effective date is kept between runs and appended after the fixed values.
class clsBO02004 : public ReportHandler {
    Q_OBJECT
public:
    const QString& effDate() const { return m_strEffDate; }

protected:
    QString reportKey() const override { return QStringLiteral("BO02004"); }
    QList<DefaultRule> defaultRules() const override;
    QList<CheckRule> checkRules() const override;
    void buildStatement(const q7::Object& filter, const QVariant& reportInfo, QVariant& sQuerySQL) override;

private:
    QString BuildProcArgument(const QString& key, const QString& v1, const QString& v2);

    QString m_strEffDate;
};

} // namespace q7::component
