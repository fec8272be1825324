#pragma once

#include "handlers/ProcessHandler.h"

namespace q7::component {

// An operation on one item with its free items.
class clsBO01003 : public ProcessHandler {
    Q_OBJECT
public:
    Q_INVOKABLE void objEvent_InitForm();
    Q_INVOKABLE void objEvent_InitHelp(QVariant& lHelpId);
    Q_INVOKABLE void objEvent_CheckValidate(QVariant& bValid);
};

} // namespace q7::component
