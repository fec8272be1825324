#pragma once

#include "reports/ReportHandler.h"

namespace q7::component {

// Single-level BOM detail list by parent. The viewer composes the plain range
// conditions; the handler adds the BOM-type and effectivity conditions and
// chooses the quantity formula. Its two flags persist between runs.
class clsBO02003 : public ReportHandler {
    Q_OBJECT
public:
    bool planRate() const { return m_bPlanRate; }
    bool substitute() const { return m_bSubstitute; }

protected:
    QString reportKey() const override { return QStringLiteral("BO02003"); }
    QList<DefaultRule> defaultRules() const override;
    QList<CheckRule> checkRules() const override;
    void buildStatement(const q7::Object& filter, const QVariant& reportInfo, QVariant& sQuerySQL) override;

private:
    QString BuildItemCondition(const QString& key, const QString& value);
    static QString nullSafeConditions(QString where);

    bool m_bPlanRate = false;
    bool m_bSubstitute = false;
};

} // namespace q7::component
