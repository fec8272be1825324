#include "handlers/clsBO01003.h"

#include "frame/FormBinding.h"
#include "frame/ModBOM.h"
#include "platform/AutomationError.h"
#include "platform/LateBinding.h"
#include "platform/system/SystemSettings.h"
#include "platform/values/Values.h"

namespace q7::component {

void clsBO01003::objEvent_InitForm()
{
    setRefreshInventoryList({
        {"SetOldPartId", {{"InvCode", 0}, {"InvAddCode", 1}, {"InvName", 2}, {"InvStd", 3}, {"InvFree_", 19}, {"BStrFree_", 18}}},
    });
}

void clsBO01003::objEvent_InitHelp(QVariant& lHelpId) { lHelpId = static_cast<int32_t>(91101003); }

void clsBO01003::objEvent_CheckValidate(QVariant& bValid)
{
    if (!checkItemWithFreeItems(QStringLiteral("InvCode"), QStringLiteral("InvFree_"), QStringLiteral("BStrFree_")))
        bValid = false;
}

} // namespace q7::component
