#include "handlers/clsBO01004.h"

#include "frame/FormBinding.h"
#include "frame/ModBOM.h"
#include "platform/AutomationError.h"
#include "platform/LateBinding.h"
#include "platform/system/SystemSettings.h"
#include "platform/values/Values.h"

namespace q7::component {

void clsBO01004::objEvent_InitForm()
{
    const Object label = toObject(getProperty(frmProcess_, QStringLiteral("LabDesc"), {0}));
    letProperty(label, QStringLiteral("Caption"), ModBOM::resText(40125) + ModBOM::resText(40126));
}

void clsBO01004::objEvent_InitHelp(QVariant& lHelpId) { lHelpId = static_cast<int32_t>(91101004); }

} // namespace q7::component
