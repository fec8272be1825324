#include "host/voucher/VoucherFields.h"

#include <QHash>

namespace q7::host::voucher {

namespace {
QStringList numbered(const QString& prefix, int count)
{
    QStringList keys;
    for (int n = 1; n <= count; ++n)
        keys.append(prefix + QString::number(n));
    return keys;
}

QStringList itemKeys()
{
    return QStringList{QStringLiteral("DInvCode"), QStringLiteral("DInvAddCode"), QStringLiteral("DInvName"), QStringLiteral("DInvStd"),
                       QStringLiteral("DInvUnitName")}
        + numbered(QStringLiteral("DInvFree_"), 2);
}
} // namespace

QStringList headKeys(const QString& vouType)
{
    if (vouType == QLatin1String("BO11"))
        return QStringList{QStringLiteral("cInvCode"), QStringLiteral("cInvAddCode"), QStringLiteral("cInvName"), QStringLiteral("cInvStd"),
                           QStringLiteral("cInvUnitName")}
            + numbered(QStringLiteral("InvFree_"), 2)
            + QStringList{QStringLiteral("BomType"),    QStringLiteral("Version"),   QStringLiteral("VersionDesc"), QStringLiteral("VersionEffDate"),
                          QStringLiteral("IdentCode"),  QStringLiteral("IdentDesc"), QStringLiteral("ParentScrap"), QStringLiteral("PRoutingId"),
                          QStringLiteral("ParentId"),   QStringLiteral("CreateUser")};
    return {QStringLiteral("cInvCode"), QStringLiteral("cInvName"), QStringLiteral("DInvCode"), QStringLiteral("DInvName")};
}

QStringList bodyKeys(const QString& vouType)
{
    if (vouType == QLatin1String("BO11"))
        return itemKeys()
            + QStringList{QStringLiteral("DSortSeq"),      QStringLiteral("DOpSeq"),         QStringLiteral("DBaseQtyN"),     QStringLiteral("DBaseQtyD"),
                          QStringLiteral("DCompScrap"),    QStringLiteral("DFVFlag"),        QStringLiteral("DQty"),          QStringLiteral("DWIPType"),
                          QStringLiteral("DPlanRate"),     QStringLiteral("DByproductFlag"), QStringLiteral("DAccuCostFlag"), QStringLiteral("DOptionalFlag"),
                          QStringLiteral("DMutexRule"),    QStringLiteral("DWhCode"),        QStringLiteral("DWhName"),       QStringLiteral("DDeptCode"),
                          QStringLiteral("DDeptName"),     QStringLiteral("DEffBegDate"),    QStringLiteral("DEffEndDate"),   QStringLiteral("DOffset"),
                          QStringLiteral("DRemark")};
    if (vouType == QLatin1String("BO51"))
        return itemKeys()
            + QStringList{QStringLiteral("DSequence"), QStringLiteral("DFactor"), QStringLiteral("DEffBegDate"), QStringLiteral("DEffEndDate"),
                          QStringLiteral("DReplaceFlag")};
    if (vouType == QLatin1String("BO52"))
        return {QStringLiteral("DLoc")};
    return itemKeys();
}

QString caption(const QString& key)
{
    static const QHash<QString, QString> captions{
        {QStringLiteral("cInvCode"), QStringLiteral("母件编码")},     {QStringLiteral("cInvAddCode"), QStringLiteral("母件代号")},
        {QStringLiteral("cInvName"), QStringLiteral("母件名称")},     {QStringLiteral("cInvStd"), QStringLiteral("规格")},
        {QStringLiteral("cInvUnitName"), QStringLiteral("计量单位")}, {QStringLiteral("InvFree_1"), QStringLiteral("颜色")},
        {QStringLiteral("InvFree_2"), QStringLiteral("尺寸")},        {QStringLiteral("BomType"), QStringLiteral("BOM类别")},
        {QStringLiteral("Version"), QStringLiteral("版本代号")},      {QStringLiteral("VersionDesc"), QStringLiteral("版本说明")},
        {QStringLiteral("VersionEffDate"), QStringLiteral("版本日期")}, {QStringLiteral("IdentCode"), QStringLiteral("替代标识")},
        {QStringLiteral("IdentDesc"), QStringLiteral("替代说明")},    {QStringLiteral("ParentScrap"), QStringLiteral("母件损耗率%")},
        {QStringLiteral("PRoutingId"), QStringLiteral("工艺路线")},   {QStringLiteral("ParentId"), QStringLiteral("母件ID")},
        {QStringLiteral("CreateUser"), QStringLiteral("建档人")},     {QStringLiteral("DInvCode"), QStringLiteral("子件编码")},
        {QStringLiteral("DInvAddCode"), QStringLiteral("子件代号")},  {QStringLiteral("DInvName"), QStringLiteral("子件名称")},
        {QStringLiteral("DInvStd"), QStringLiteral("子件规格")},      {QStringLiteral("DInvUnitName"), QStringLiteral("单位")},
        {QStringLiteral("DInvFree_1"), QStringLiteral("子件颜色")},   {QStringLiteral("DInvFree_2"), QStringLiteral("子件尺寸")},
        {QStringLiteral("DSortSeq"), QStringLiteral("子件行号")},     {QStringLiteral("DOpSeq"), QStringLiteral("工序行号")},
        {QStringLiteral("DBaseQtyN"), QStringLiteral("基本用量分子")}, {QStringLiteral("DBaseQtyD"), QStringLiteral("基本用量分母")},
        {QStringLiteral("DCompScrap"), QStringLiteral("子件损耗率%")}, {QStringLiteral("DFVFlag"), QStringLiteral("固定/变动")},
        {QStringLiteral("DQty"), QStringLiteral("使用数量")},         {QStringLiteral("DWIPType"), QStringLiteral("供应类型")},
        {QStringLiteral("DPlanRate"), QStringLiteral("计划比例")},    {QStringLiteral("DByproductFlag"), QStringLiteral("产出品")},
        {QStringLiteral("DAccuCostFlag"), QStringLiteral("成本累计")}, {QStringLiteral("DOptionalFlag"), QStringLiteral("可选")},
        {QStringLiteral("DMutexRule"), QStringLiteral("选择规则")},   {QStringLiteral("DWhCode"), QStringLiteral("仓库代号")},
        {QStringLiteral("DWhName"), QStringLiteral("仓库名称")},      {QStringLiteral("DDeptCode"), QStringLiteral("领料部门")},
        {QStringLiteral("DDeptName"), QStringLiteral("部门名称")},    {QStringLiteral("DEffBegDate"), QStringLiteral("生效日期")},
        {QStringLiteral("DEffEndDate"), QStringLiteral("失效日期")},  {QStringLiteral("DOffset"), QStringLiteral("偏置期")},
        {QStringLiteral("DRemark"), QStringLiteral("备注")},          {QStringLiteral("DSequence"), QStringLiteral("替代序号")},
        {QStringLiteral("DFactor"), QStringLiteral("替代倍率")},      {QStringLiteral("DReplaceFlag"), QStringLiteral("替代标志")},
        {QStringLiteral("DLoc"), QStringLiteral("定位符")},
    };
    return captions.value(key);
}

} // namespace q7::host::voucher
