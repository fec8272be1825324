#include "handlers/ProcessHandler.h"

#include "frame/FormBinding.h"
#include "frame/ModBOM.h"
#include "platform/AutomationError.h"
#include "platform/LateBinding.h"
#include "platform/system/SystemSettings.h"
#include "platform/values/Values.h"

namespace q7::component {


namespace {

QString latin(const char* text) { return QString::fromLatin1(text); }

bool isKey(const QString& key, const char* name) { return values::textEquals(key, latin(name)); }

// A free-item flag as a logical value; a flag that was never filled counts
// as not set (its conversion would otherwise be a type mismatch).
bool flagSet(const QVariant& flag)
{
    if (isEmpty(flag) || isNull(flag) || values::trim(values::toTextOrEmpty(flag)).isEmpty())
        return false;
    return values::toBoolean(flag);
}

} // namespace

void ProcessHandler::FormProcess(const QVariant& frm) { bindFormEventHandler(frm, frmProcess_, objEvent); }

Object ProcessHandler::processInfo() const { return toObject(getProperty(frmProcess_, QStringLiteral("ProcessInfo"))); }

Object ProcessHandler::headControl() const { return toObject(getProperty(frmProcess_, QStringLiteral("ctlProcess"))); }

QVariant ProcessHandler::headText(const QString& key) const { return getProperty(headControl(), QStringLiteral("headerText"), {key}); }

void ProcessHandler::setHeadText(const QString& key, const QVariant& value) const
{
    letProperty(headControl(), QStringLiteral("headerText"), {key}, value);
}

QString ProcessHandler::fieldName(const QString& key) const
{
    const Object state = toObject(getProperty(headControl(), QStringLiteral("ItemState"), {key, 0}));
    return values::toTextOrEmpty(getProperty(state, QStringLiteral("sCardItemName")));
}

QString ProcessHandler::fieldTitle(const QString& key) const
{
    const Object state = toObject(getProperty(headControl(), QStringLiteral("ItemState"), {key, 0}));
    const QVariant formula = getProperty(state, QStringLiteral("sCardFormula1"));
    if (!ModBOM::objCommon().IsBlank(formula))
        return values::toTextOrEmpty(formula);
    return values::toTextOrEmpty(getProperty(state, QStringLiteral("sCardItemName")));
}

void ProcessHandler::setRefreshInventoryList(std::initializer_list<RefreshEntry> entries) const
{
    const Object info = processInfo();
    letProperty(info, QStringLiteral("RefreshInventoryListCount"), static_cast<int>(entries.size()));
    QVariantList list;
    for (const RefreshEntry& entry : entries) {
        QVariant record;
        ModBOM::objRefreshInventory().Init(record, latin(entry.hook), static_cast<int>(entry.fields.size()));
        int index = 0;
        for (const RefreshField& field : entry.fields)
            ModBOM::objRefreshInventory().SetField(record, index++, latin(field.field), field.column);
        list.append(record);
    }
    letProperty(info, QStringLiteral("RefreshInventoryList"), list);
}

void ProcessHandler::showRequired(const QString& title) const
{
    ModBOM::objMessage().ShowMessage(QVariant::fromValue<short>(2509), missingValue(), QVariantList{title});
}

bool ProcessHandler::checkItemWithFreeItems(const QString& codeKey, const QString& freePrefix, const QString& flagPrefix) const
{
    if (ModBOM::objCommon().IsBlank(headText(codeKey))) {
        showRequired(fieldName(codeKey));
        return false;
    }
    for (int n = 1; n <= 10; ++n) {
        const QString freeKey = freePrefix + QString::number(n);
        // Both sides are read, as the rule combines them with a logical and.
        const bool blank = ModBOM::objCommon().IsBlank(headText(freeKey));
        const bool used = flagSet(headText(flagPrefix + QString::number(n)));
        if (blank && used) {
            showRequired(fieldTitle(freeKey));
            return false;
        }
    }
    return true;
}

// ---- clsBO01002 -----------------------------------------------------------

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

// ---- clsBO01003 -----------------------------------------------------------

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

// ---- clsBO01004 -----------------------------------------------------------

void clsBO01004::objEvent_InitForm()
{
    const Object label = toObject(getProperty(frmProcess_, QStringLiteral("LabDesc"), {0}));
    letProperty(label, QStringLiteral("Caption"), ModBOM::resText(40125) + ModBOM::resText(40126));
}

void clsBO01004::objEvent_InitHelp(QVariant& lHelpId) { lHelpId = static_cast<int32_t>(91101004); }

// ---- clsBO01005 -----------------------------------------------------------

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
