#pragma once

#include "handlers/ProcessHandler.h"

namespace q7::component {

// The low-level code computation: a description, no input.
class clsBO01004 : public ProcessHandler {
    Q_OBJECT
public:
    Q_INVOKABLE void objEvent_InitForm();
    Q_INVOKABLE void objEvent_InitHelp(QVariant& lHelpId);
};

} // namespace q7::component
