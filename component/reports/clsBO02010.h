#pragma once

#include "reports/ReportHandler.h"

namespace q7::component {

// Comparison of two BOMs of one item (procedure Usp_BO_BO02010), the one
// multi-angle report: CurrentType 1 compares two versions, 2 a version with a
// substitute BOM, 3 two substitute BOMs.
class clsBO02010 : public ReportHandler {
    Q_OBJECT
    Q_PROPERTY(short CurrentType READ CurrentType WRITE setCurrentType)
public:
    bool IsMultiAngleReport() override { return true; }
    Q_INVOKABLE QVariant MultiAngleList();

    short CurrentType() const { return iCurrentType_; }
    void setCurrentType(short type) { iCurrentType_ = type; }

protected:
    QString reportKey() const override { return QStringLiteral("BO02010"); }
    QList<DefaultRule> defaultRules() const override;
    QList<CheckRule> checkRules() const override;
    void buildStatement(const q7::Object& filter, const QVariant& reportInfo, QVariant& sQuerySQL) override;

private:
    static QString BuildProcArgument(const QString& key, const QString& v);

    short iCurrentType_ = 0;
};

} // namespace q7::component
