#include "handlers/clsBO01005.h"

#include "frame/FormBinding.h"
#include "frame/ModBOM.h"
#include "platform/AutomationError.h"
#include "platform/LateBinding.h"
#include "platform/system/SystemSettings.h"
#include "platform/values/Values.h"

namespace q7::component {

void clsBO01005::objEvent_InitForm()
{
    const Object manager = toObject(getProperty(frmProcess_, QStringLiteral("ProcessManager")));
    QVariantList args{fromObject(processInfo()), QVariantList{QStringLiteral("TotLevel")}, QVariant()};
    callByName(manager, QStringLiteral("GetConditionData"), args);
    setHeadText(QStringLiteral("TotLevel"), args[2].toList().value(0));
}

void clsBO01005::objEvent_InitHelp(QVariant& lHelpId) { lHelpId = static_cast<int32_t>(91101005); }

void clsBO01005::objEvent_CheckValidate(QVariant& bValid)
{
    bool inRange = false;
    try {
        const int16_t level = values::toInteger(headText(QStringLiteral("TotLevel")));
        inRange = level >= 1 && level <= 50;
    } catch (const AutomationError& error) {
        // Text that is no number, or a number beyond the integer range, is out of range too.
        if (error.number() != ErrTypeMismatch && error.number() != ErrOverflow)
            throw;
    }
    if (inRange)
        return;
    ModBOM::objMessage().ShowMessage(static_cast<int32_t>(40127), missingValue(), QVariantList{fieldName(QStringLiteral("TotLevel"))});
    bValid = false;
}

} // namespace q7::component
