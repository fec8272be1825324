#include "handlers/VoucherConfiguration.h"

#include "frame/ModBOM.h"
#include "handlers/VoucherFormAccess.h"
#include "platform/values/Values.h"

#include <QStringList>

namespace q7::component {


namespace {

struct FieldColumn {
    const char* field;
    int column;
};

// Inventory result columns that fill the item's fields (a prefix ending in
// "_" stands for its numbered group).
constexpr FieldColumn parentItemFields[] = {{"cInvCode", 0}, {"cInvAddCode", 1}, {"cInvName", 2}, {"cInvStd", 3},
                                            {"cInvUnit", 6}, {"cInvUnitName", 7}, {"BStrFree_", 18}, {"InvFree_", 19},
                                            {"InvDefine_", 20}};
constexpr FieldColumn componentFields[] = {{"DInvCode", 0}, {"DInvAddCode", 1}, {"DInvName", 2}, {"DInvStd", 3},
                                           {"DInvUnit", 6}, {"DInvUnitName", 7}, {"DBStrFree_", 18}, {"DInvFree_", 19},
                                           {"DInvDefine_", 20}};
constexpr FieldColumn commonBomParentFields[] = {{"DInvCode", 0}, {"DInvAddCode", 1}, {"DInvName", 2}, {"DInvStd", 3},
                                                 {"DInvUnit", 6}, {"DInvUnitName", 7}, {"DInvFree_", 19}, {"DInvDefine_", 20},
                                                 {"DBStrFree_", 18}};

struct DropDown {
    const char* column;
    int listKind;
};
constexpr DropDown listDropDowns[] = {{"BomType", 3},       {"DMutexRule", 4},    {"DByproductFlag", 0}, {"DAccuCostFlag", 0},
                                      {"DOptionalFlag", 0}, {"DFVFlag", 2},       {"DWIPType", 1}};

constexpr const char* listDefaultFields[] = {"DSortSeq", "DOpSeq", "DBaseQtyN", "DBaseQtyD", "DCompScrap", "DFVFlag",
                                             "DWIPType", "DQty", "DEffBegDate", "DEffEndDate", "DOffset", "DPlanRate",
                                             "DByproductFlag", "DAccuCostFlag", "DOptionalFlag", "DMutexRule"};
constexpr const char* substituteDefaultFields[] = {"DSequence", "DFactor", "DEffBegDate", "DEffEndDate", "DReplaceFlag"};

struct ColumnAuth {
    const char* column;
    int authKind;
    bool flag;
};
constexpr ColumnAuth listColumnAuth[] = {{"DInvCode", 2, true}, {"CreateUser", 1, true}};

QStringList numbered(const QString& prefix)
{
    QStringList names;
    for (int n = 1; n <= 10; ++n)
        names.append(prefix + QString::number(n));
    return names;
}

QStringList names(std::initializer_list<const char*> list)
{
    QStringList result;
    for (const char* name : list)
        result.append(QString::fromLatin1(name));
    return result;
}

template <size_t N>
QVariant inventoryRecord(const char* hook, const FieldColumn (&fields)[N])
{
    auto& builder = ModBOM::objRefreshInventory();
    QVariant record;
    builder.Init(record, QString::fromLatin1(hook), int(N));
    for (size_t i = 0; i < N; ++i)
        builder.SetField(record, int(i), QString::fromLatin1(fields[i].field), fields[i].column);
    return record;
}

QVariant columnRecord(const QStringList& sources, const QStringList& targets, int targetCount)
{
    auto& builder = ModBOM::objRefreshColumn();
    QVariant record;
    builder.Init(record, int(sources.size()), targetCount);
    for (int i = 0; i < sources.size(); ++i)
        builder.SetSource(record, i, sources[i]);
    for (int i = 0; i < targets.size(); ++i)
        builder.SetTarget(record, i, targets[i]);
    return record;
}

QVariant columnRecord(const QStringList& sources, const QStringList& targets)
{
    return columnRecord(sources, targets, int(targets.size()));
}

template <size_t N>
QVariant stringArray(const char* const (&list)[N])
{
    QVariantList result;
    for (const char* name : list)
        result.append(QString::fromLatin1(name));
    return result;
}

QVariant inventoryReferRecord(const QString& column, const QString& filter)
{
    QVariant record;
    ModBOM::objRefer().InitReferInfo(record, 1);
    ModBOM::objRefer().SetReferInfo(record, 1, column, QStringLiteral("Inventory"), filter);
    return record;
}

void storePopupMenu(const VoucherFormAccess& form)
{
    auto& menu = ModBOM::objPopupMenu();
    QVariant record;
    menu.InitMenuRecord(record, 2);
    menu.SetMenuRecord(record, 0, ModBOM::resText(40089));
    menu.SetMenuRecord(record, 1, ModBOM::resText(40090));
    form.setBillInfo(QStringLiteral("PopupMenuLists"), record);
}

void storeColumnRules(const VoucherFormAccess& form)
{
    const bool bomVoucher = values::textEquals(form.vouType(), QStringLiteral("BO11"));
    const QStringList lineOptions =
        names({"DCompScrap", "DFVFlag", "DWIPType", "DQty", "DPlanRate", "DByproductFlag", "DAccuCostFlag", "DOptionalFlag", "DMutexRule"});
    QStringList componentTargets = lineOptions + names({"DWhCode", "DWhName", "DDeptCode", "DDeptName"});
    if (bomVoucher)
        componentTargets.append(QStringLiteral("DSubDate"));

    auto& builder = ModBOM::objRefreshColumn();
    QVariant quantity;
    const QStringList quantitySources = names({"DBaseQtyN", "DBaseQtyD", "DCompScrap", "DFVFlag"});
    builder.Init(quantity, int(quantitySources.size()), 1);
    for (int i = 0; i < quantitySources.size(); ++i)
        builder.SetSource(quantity, i, quantitySources[i]);
    builder.SetSingleTarget(quantity, 1, QStringLiteral("DQty"));

    const QList<QVariant> rules{
        columnRecord(names({"cInvCode", "cInvAddCode", "cInvName"}) + numbered(QStringLiteral("InvFree_")) + names({"IdentCode", "VersionEffDate"}),
                     names({"ParentId", "Version", "PRoutingId"})),
        quantity,
        columnRecord(names({"DInvCode", "DInvAddCode"}) + numbered(QStringLiteral("DInvFree_")), componentTargets),
        columnRecord(lineOptions, lineOptions),
        columnRecord(names({"DWhCode"}), names({"DWhName"})),
        columnRecord(names({"DDeptCode"}), names({"DDeptName"})),
    };
    form.setBillInfo(QStringLiteral("RefreshColumnListCount"), int(rules.size()));
    for (int i = 0; i < rules.size(); ++i)
        form.setBillInfo(QStringLiteral("RefreshColumnList"), i, rules[i]);
}

void storeDropDowns(const VoucherFormAccess& form)
{
    auto& builder = ModBOM::objDropDownList();
    QVariant record;
    builder.Init(record, int(std::size(listDropDowns)));
    for (size_t i = 0; i < std::size(listDropDowns); ++i)
        builder.SetEntry(record, int(i), QString::fromLatin1(listDropDowns[i].column), listDropDowns[i].listKind);
    form.setBillInfo(QStringLiteral("DropDownListColumnField"), record);
}

void storeColumnAuth(const VoucherFormAccess& form)
{
    auto& builder = ModBOM::objColumnAuth();
    QVariant record;
    builder.Init(record, int(std::size(listColumnAuth)));
    for (size_t i = 0; i < std::size(listColumnAuth); ++i)
        builder.SetEntry(record, int(i), QString::fromLatin1(listColumnAuth[i].column), listColumnAuth[i].authKind,
                         listColumnAuth[i].flag);
    form.setBillInfo(QStringLiteral("ColumnAuthControl"), record);
}

} // namespace

namespace VoucherConfiguration {

void storeListForm(const VoucherFormAccess& form)
{
    storePopupMenu(form);
    form.setBillInfo(QStringLiteral("RefreshInventoryListCount"), 2);
    form.setBillInfo(QStringLiteral("RefreshInventoryList"), 0, inventoryRecord("SetParentId", parentItemFields));
    form.setBillInfo(QStringLiteral("RefreshInventoryList"), 1, inventoryRecord("SetComponentId", componentFields));
    storeColumnRules(form);
    storeDropDowns(form);
    form.setBillInfo(QStringLiteral("RefreshDefaultFieldCount"), int(std::size(listDefaultFields)));
    form.setBillInfo(QStringLiteral("RefreshDefaultField"), stringArray(listDefaultFields));
    form.setBillInfo(QStringLiteral("VoucherTemplateField"), QStringLiteral("VoucherTemplateID"));
    storeColumnAuth(form);
    form.setBillInfo(QStringLiteral("ColumnReferInformations"),
                     inventoryReferRecord(QStringLiteral("cInvCode"), QStringLiteral("bpurchase <> 1 or bsale <> 0 or bself <> 0")));
}

void storeEntryForm(const VoucherFormAccess& form)
{
    const QString type = form.vouType();
    if (values::textEquals(type, QStringLiteral("BO51"))) {
        QVariant dropDown;
        ModBOM::objDropDownList().Init(dropDown, 1);
        ModBOM::objDropDownList().SetEntry(dropDown, 0, QStringLiteral("DReplaceFlag"), 0);
        form.setBillInfo(QStringLiteral("DropDownListColumnField"), dropDown);
        form.setBillInfo(QStringLiteral("RefreshInventoryListCount"), 1);
        form.setBillInfo(QStringLiteral("RefreshInventoryList"), 0, inventoryRecord("SetComponentSubstituteId", componentFields));
        form.setBillInfo(QStringLiteral("RefreshDefaultFieldCount"), int(std::size(substituteDefaultFields)));
        form.setBillInfo(QStringLiteral("RefreshDefaultField"), stringArray(substituteDefaultFields));
        form.setBillInfo(QStringLiteral("RefreshColumnListCount"), 1);
        form.setBillInfo(QStringLiteral("RefreshColumnList"), 0,
                         columnRecord(names({"DInvCode", "DInvAddCode"}) + numbered(QStringLiteral("DInvFree_")), names({"DReplaceFlag"})));
    } else if (values::textEquals(type, QStringLiteral("BO53"))) {
        form.setBillInfo(QStringLiteral("RefreshInventoryListCount"), 1);
        form.setBillInfo(QStringLiteral("RefreshInventoryList"), 0, inventoryRecord("SetCommonBomParentId", commonBomParentFields));
        form.setBillInfo(QStringLiteral("ColumnReferInformations"),
                         inventoryReferRecord(QStringLiteral("DInvCode"),
                                              QStringLiteral("bATOModel = 1 Or bPTOModel = 1 Or bPlanInv = 1 Or bCheckItem = 1 Or bSelf = 1 Or bProxyForeign = 1")));
    }
}

} // namespace VoucherConfiguration

} // namespace q7::component
