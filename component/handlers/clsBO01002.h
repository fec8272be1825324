#pragma once

#include "handlers/ProcessHandler.h"

namespace q7::component {

// Replaces one component item by another in the BOMs of a parent range.
class clsBO01002 : public ProcessHandler {
    Q_OBJECT
public:
    Q_INVOKABLE void objEvent_InitForm();
    Q_INVOKABLE void objEvent_InitHelp(QVariant& lHelpId);
    Q_INVOKABLE void objEvent_ColumnBrowUser(const QString& sKey, QVariant& vValue);
    Q_INVOKABLE void objEvent_ColumnChanged(const QString& sKey);
    Q_INVOKABLE void objEvent_ColumnChanging(const QString& sKey, const QVariant& vNewValue, QVariant& lResult);
    Q_INVOKABLE void objEvent_CheckValidate(QVariant& bValid);
};

} // namespace q7::component
