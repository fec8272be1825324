#pragma once

#include "reports/ReportHandler.h"

namespace q7::component {

// Shared BOMs: which item uses whose BOM. The viewer composes the
// conditions; the handler returns the whole statement in sQuerySQL, sorted
// by the side the user chose in "Sel", and empties "Sel" afterwards.
class clsBO02008 : public ReportHandler {
    Q_OBJECT
protected:
    QString reportKey() const override { return QStringLiteral("BO02008"); }
    QList<DefaultRule> defaultRules() const override;
    QList<CheckRule> checkRules() const override;
    void buildStatement(const q7::Object& filter, const QVariant& reportInfo, QVariant& sQuerySQL) override;
};

} // namespace q7::component
