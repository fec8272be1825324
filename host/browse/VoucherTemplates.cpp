#include "host/browse/VoucherTemplates.h"

#include "platform/AutomationError.h"
#include "platform/values/Values.h"

#include <QVariantMap>

namespace q7::host::browse {

namespace {

struct Field {
    const char* section;
    const char* key;
    const char* caption;
    int width;
};

constexpr Field structureFields[] = {
    {"T", "Title", "物料清单", 0},
    {"H", "cInvCode", "母件编码", 1500},      {"H", "cInvName", "母件名称", 1500},     {"H", "cInvStd", "规格型号", 1500},
    {"H", "cComUnitName", "计量单位", 1500},  {"H", "Free1", "自由项1", 1500},         {"H", "Version", "版本代号", 1500},
    {"H", "VersionDesc", "版本说明", 1500},   {"H", "VersionEffDate", "版本日期", 1500}, {"H", "ParentScrap", "母件损耗率%", 1500},
    {"B", "SortSeq", "子件行号", 800},        {"B", "cInvCode", "子件编码", 1100},     {"B", "cInvName", "子件名称", 1300},
    {"B", "cInvStd", "规格型号", 1000},       {"B", "cComUnitName", "计量单位", 800},  {"B", "BaseQtyN", "基本用量", 900},
    {"B", "BaseQtyD", "基础数量", 900},       {"B", "CompScrap", "损耗率%", 800},      {"B", "Qty", "使用数量", 1400},
    {"B", "FVFlag", "固定/变动", 900},        {"B", "WIPType", "供应类型", 1000},      {"B", "WhName", "仓库", 1000},
    {"B", "EffBegDate", "生效日", 1100},      {"B", "EffEndDate", "失效日", 1100},     {"B", "ByProduct", "产出品", 700},
    {"B", "Remark", "备注", 1400},
};

constexpr Field whereUsedFields[] = {
    {"T", "Title", "子件用途", 0},
    {"H", "cInvCode", "子件编码", 1500},     {"H", "cInvName", "子件名称", 1500},    {"H", "cInvStd", "规格型号", 1500},
    {"H", "cComUnitName", "计量单位", 1500}, {"H", "Free1", "自由项1", 1500},
    {"B", "cInvCode", "母件编码", 1100},     {"B", "cInvName", "母件名称", 1400},    {"B", "cInvStd", "规格型号", 1000},
    {"B", "Free1", "母件自由项1", 1200},     {"B", "Version", "版本代号", 900},      {"B", "SortSeq", "子件行号", 800},
    {"B", "BaseQtyN", "基本用量", 900},      {"B", "BaseQtyD", "基础数量", 900},     {"B", "CompScrap", "损耗率%", 800},
    {"B", "Qty", "使用数量", 1400},          {"B", "EffBegDate", "生效日", 1100},    {"B", "EffEndDate", "失效日", 1100},
};

template <std::size_t N>
QVariantList entries(const Field (&fields)[N])
{
    QVariantList list;
    for (const Field& f : fields)
        list.append(QVariantMap{{QStringLiteral("Section"), QString::fromLatin1(f.section)},
                                {QStringLiteral("Key"), QString::fromLatin1(f.key)},
                                {QStringLiteral("Caption"), QString::fromUtf8(f.caption)},
                                {QStringLiteral("Width"), f.width}});
    return list;
}

} // namespace

QVariantList voucherTemplate(const QString& templateId)
{
    if (values::textEquals(templateId, QStringLiteral("BO21")))
        return entries(structureFields);
    if (values::textEquals(templateId, QStringLiteral("BO25")))
        return entries(whereUsedFields);
    return {};
}

void DataManager::SetTemplatePointNumber(QVariant&, const QString&) {}

bool DataManager::GetVouchInfo(const QString& voucherType, QVariant& info, const QVariant&)
{
    if (voucherTemplate(voucherType).isEmpty())
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("单据类型%1没有模板").arg(voucherType));
    auto result = makeObject<VoucherInfo>();
    result->voucherType = voucherType.toUpper();
    result->defaultTemplate = voucherType.toUpper();
    info = fromObject(result);
    return true;
}

} // namespace q7::host::browse
