#include "handlers/clsBO01002.h"

#include "frame/FormBinding.h"
#include "frame/ModBOM.h"
#include "platform/AutomationError.h"
#include "platform/LateBinding.h"
#include "platform/system/SystemSettings.h"
#include "platform/values/Values.h"

namespace q7::component {

void clsBO01002::objEvent_InitForm()
{
    setRefreshInventoryList({
        {"SetOldPartId",
         {{"OldInvCode", 0}, {"OldInvAddCode", 1}, {"OldInvName", 2}, {"OldInvStd", 3}, {"InvFree_", 19}, {"BStrFree_", 18}}},
        {"SetNewPartId",
         {{"NewInvCode", 0}, {"NewInvAddCode", 1}, {"NewInvName", 2}, {"NewInvStd", 3}, {"DInvFree_", 19}, {"DBStrFree_", 18}}},
    });

    QVariant lists;
    ModBOM::objDropDownList().Init(lists, 2);
    ModBOM::objDropDownList().SetEntry(lists, 0, QStringLiteral("BomType"), 39);
    ModBOM::objDropDownList().SetEntry(lists, 1, QStringLiteral("Select"), 40);
    letProperty(processInfo(), QStringLiteral("DropDownListColumnField"), lists);

    setHeadText(QStringLiteral("BomType"), ModBOM::resText(40081));
    setHeadText(QStringLiteral("Select"), ModBOM::resText(40081));
    // The effective date stays locked while all BOMs are selected.
    call(headControl(), QStringLiteral("EnableHead"), {QStringLiteral("EffDate"), false});
}

void clsBO01002::objEvent_InitHelp(QVariant& lHelpId) { lHelpId = static_cast<int32_t>(91101002); }

void clsBO01002::objEvent_ColumnBrowUser(const QString& sKey, QVariant& vValue)
{
    if (!isKey(sKey, "SInv") && !isKey(sKey, "EInv"))
        return;
    const Object login = toObject(getProperty(processInfo(), QStringLiteral("LoginInformation")));
    QVariant recordset;
    QVariant picked;
    if (ModBOM::objRefer().ShowRefer(getProperty(login, QStringLiteral("LoginObject")), QStringLiteral("BomParent"),
                                     QVariantList{vValue, vValue}, recordset, picked, 0, 0))
        vValue = picked;
}

void clsBO01002::objEvent_ColumnChanged(const QString& sKey)
{
    if (!isKey(sKey, "Select"))
        return;
    const QString code = ModBOM::objDropDownList().TextToCode(values::toTextOrEmpty(headText(QStringLiteral("Select"))), 40);
    const bool some = values::isNumeric(code) ? values::toDouble(code) != 0 : true;
    call(headControl(), QStringLiteral("EnableHead"), {QStringLiteral("EffDate"), some});
    if (!some) {
        setHeadText(QStringLiteral("EffDate"), QString(""));
        return;
    }
    if (values::trim(values::toTextOrEmpty(headText(QStringLiteral("EffDate")))).isEmpty()) {
        const QString today = system::toShortDate(system::today());
        setHeadText(QStringLiteral("EffDate"), today);
        QVariant result;
        ModBOM::objCommon().CallServerWithParams(fromObject(processInfo()), QStringLiteral("SetConditionColumn"),
                                                 QVariantList{QStringLiteral("EffDate")}, QVariantList{today}, result);
    }
}

void clsBO01002::objEvent_ColumnChanging(const QString&, const QVariant&, QVariant& lResult) { lResult = 2; }

void clsBO01002::objEvent_CheckValidate(QVariant& bValid)
{
    if (!checkItemWithFreeItems(QStringLiteral("OldInvCode"), QStringLiteral("InvFree_"), QStringLiteral("BStrFree_")) ||
        !checkItemWithFreeItems(QStringLiteral("NewInvCode"), QStringLiteral("DInvFree_"), QStringLiteral("DBStrFree_")))
        bValid = false;
}

} // namespace q7::component
