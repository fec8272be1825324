#include "reports/clsBO02005.h"

#include "frame/ModBOM.h"
#include "platform/LateBinding.h"
#include "platform/values/Values.h"
#include "reports/ProcArguments.h"

namespace q7::component {

using ReportProtocol::quoted;
using values::textEquals;
using Kind = CheckRule::Kind;

namespace {

QString selectList(const ReportProtocol::CaptionFragments& f, const QString& quantity)
{
    return QStringLiteral(" SELECT bc.InvCode AS 子件编码,vc.InvAddCode AS 子件代号,vc.InvName AS 子件名称,vc.InvStd AS 子件规格,bc.Free1 AS 子件cFree1,bc.Free2 AS 子件cFree2,bc.Free3 AS 子件cFree3,bc.Free4 AS 子件cFree4,")
        + QStringLiteral(" bc.Free5 AS 子件cFree5,bc.Free6 AS 子件cFree6,bc.Free7 AS 子件cFree7,bc.Free8 AS 子件cFree8,bc.Free9 AS 子件cFree9,bc.Free10 AS 子件cFree10,vc.ComUnitName AS 子件单位,convert(nvarchar(40),case vc.InvAttr ")
        + f.itemAttribute
        + QStringLiteral(") AS 子件属性,")
        + QStringLiteral(" vc.Invdefine1 AS 子件cInvDefine1,vc.Invdefine2 AS 子件cInvDefine2,vc.Invdefine3 AS 子件cInvDefine3,vc.Invdefine4 AS 子件cInvDefine4,vc.Invdefine5 AS 子件cInvDefine5,")
        + QStringLiteral(" vc.Invdefine6 AS 子件cInvDefine6,")
        + QStringLiteral("\r\n")
        + QStringLiteral("vc.Invdefine7 AS 子件cInvDefine7,vc.Invdefine8 AS 子件cInvDefine8,vc.Invdefine9 AS 子件cInvDefine9,vc.Invdefine10 AS 子件cInvDefine10,")
        + QStringLiteral(" vc.Invdefine11 AS 子件cInvDefine11,vc.Invdefine12 AS 子件cInvDefine12,vc.Invdefine13 AS 子件cInvDefine13,vc.Invdefine14 AS 子件cInvDefine14,vc.Invdefine15 AS")
        + QStringLiteral(" 子件cInvDefine15,vc.Invdefine16 AS 子件cInvDefine16,")
        + QStringLiteral("\r\n")
        + QStringLiteral(" c.SortSeq AS 子件行号,c.OpSeq AS 工序行号,vp.InvCode AS 母件编码, vp.InvAddCode AS 母件代号,vp.InvName AS 母件名称, vp.InvStd AS 母件规格,")
        + QStringLiteral(" bp.Free1 AS 母件cFree1,bp.Free2 AS 母件cFree2,bp.Free3 AS 母件cFree3,bp.Free4 AS 母件cFree4,bp.Free5 AS 母件cFree5,bp.Free6 AS 母件cFree6,bp.Free7 AS 母件cFree7,")
        + QStringLiteral(" bp.Free8 AS 母件cFree8,bp.Free9 AS 母件cFree9,bp.Free10 AS 母件cFree10,vp.ComUnitName AS 母件计量单位,p.ParentScrap AS '母件损耗率(%)',b.Version AS 版本代号,")
        + QStringLiteral(" b.VersionDesc AS 版本说明,b.VersionEffDate AS 版本日期,b.IdentCode AS 替代标识,b.IdentDesc AS 替代说明,convert(nvarchar(40),case vp.InvAttr ")
        + f.itemAttribute
        + QStringLiteral(") AS 母件物料属性,vp.Invdefine1 AS 母件cInvDefine1,")
        + QStringLiteral(" vp.Invdefine2 AS 母件cInvDefine2,vp.Invdefine3 AS 母件cInvDefine3,vp.Invdefine4 AS 母件cInvDefine4, vp.Invdefine5 AS 母件cInvDefine5,vp.Invdefine6 AS 母件cInvDefine6,")
        + QStringLiteral(" vp.Invdefine7 AS 母件cInvDefine7,vp.Invdefine8 AS 母件cInvDefine8, vp.Invdefine9 AS 母件cInvDefine9,vp.Invdefine10 AS 母件cInvDefine10,vp.Invdefine11 AS 母件cInvDefine11,")
        + QStringLiteral(" vp.Invdefine12 AS 母件cInvDefine12,vp.Invdefine13 AS 母件cInvDefine13, vp.Invdefine14 AS 母件cInvDefine14,vp.Invdefine15 AS 母件cInvDefine15,vp.Invdefine16 AS 母件cInvDefine16,")
        + QStringLiteral(" c.BaseQtyN AS '基本用量(分子)',c.BaseQtyD AS '基本用量(分母)', c.CompScrap AS '子件损耗率(%)',convert(nvarchar(40),case c.FVFlag ")
        + f.fixedVariable
        + QStringLiteral(") AS '固定/变动',convert(nvarchar(40),case o.WIPType")
        + f.supplyType
        + QStringLiteral(") AS 供应类型, 使用数量 = case when ")
        + quantity
        + QStringLiteral(" c.EffBegDate AS 生效日期,c.EffEndDate AS 失效日期,")
        + QStringLiteral(" o.Offset AS 偏置期,o.PlanFactor AS 计划比例,convert(nvarchar(40),case c.ByProductFlag")
        + f.yesNo
        + QStringLiteral(") AS 产出品,convert(nvarchar(40),case o.AccuCostFlag")
        + f.yesNo
        + QStringLiteral(") AS 成本累计,convert(nvarchar(40),case o.OptionalFlag ")
        + f.yesNo
        + QStringLiteral(") AS 可选,convert(nvarchar(40),case o.MutexRule")
        + f.selectionRule
        + QStringLiteral(") AS 选择规则,")
        + QStringLiteral(" o.WhCode AS 仓库代号,w.cWhName AS 仓库名称,o.DrawDeptCode AS 领料部门,d.cDepName AS 部门名称,l.Loc1 AS 定位符1,l.Loc2 AS 定位符2,")
        + QStringLiteral(" l.Loc3 AS 定位符3,l.Loc4 AS 定位符4,l.Loc5 AS 定位符5,l.Loc6 AS 定位符6,l.Loc7 AS 定位符7,l.Loc8 AS 定位符8,l.Loc9 AS 定位符9,l.Loc10 AS 定位符10,r.Remark AS 备注,")
        + QStringLiteral(" b.Define1 AS cDefine1,b.Define2 AS cDefine2,b.Define3 AS cDefine3,b.Define4 AS cDefine4,b.Define5 AS cDefine5,b.Define6 AS cDefine6,")
        + QStringLiteral(" b.Define7 AS cDefine7,b.Define8 AS cDefine8,b.Define9 AS cDefine9,b.Define10 AS cDefine10,b.Define11 AS cDefine11,b.Define12 AS cDefine12,")
        + QStringLiteral(" b.Define13 AS cDefine13,b.Define14 AS cDefine14,b.Define15 AS cDefine15,b.Define16 AS cDefine16 ");
}

QString fromClause()
{
    return QStringLiteral(" FROM bom_bom b INNER JOIN bom_parent p ON b.BomId = p.BomId INNER JOIN bas_part bp ON bp.PartId = p.ParentId ")
        + QStringLiteral(" INNER JOIN v_bas_inventory vp ON bp.InvCode = vp.InvCode INNER JOIN bom_opcomponent c ON b.BomId = c.BomId INNER JOIN bas_part bc ON bc.PartId = c.ComponentId ")
        + QStringLiteral(" INNER JOIN v_bas_inventory vc ON vc.InvCode = bc.InvCode LEFT OUTER JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId LEFT OUTER JOIN WareHouse w ON w.cWhCode = o.WhCode ")
        + QStringLiteral(" LEFT OUTER JOIN Department d ON d.cDepCode = o.DrawDeptCode LEFT OUTER JOIN v_bom_opcomponentloc l ON l.OpComponentId = c.OpComponentId ")
        + QStringLiteral(" LEFT OUTER JOIN bom_opcomponentrmk r ON r.OpComponentId = c.OpComponentId");
}

// Resources of the 25 key columns, index 0 to 24.
QList<int> keyColumnCaptions()
{
    QList<int> captions{40189};
    for (int n = 40193; n <= 40202; ++n)
        captions.append(n);
    captions.append(40147);
    for (int n = 40151; n <= 40160; ++n)
        captions.append(n);
    captions += {40166, 40163, 40187};
    return captions;
}

} // namespace

QList<DefaultRule> clsBO02005::defaultRules() const
{
    return {resourceDefault("b.BomType", 40112), resourceDefault("Sel", 40117), resourceDefault("PlanRateFlag", 40015)};
}

QList<CheckRule> clsBO02005::checkRules() const
{
    return {
        {"b.BomType", Kind::InList, {40112, 40113, 40081}, false},
        {"Sel", Kind::InList, {40117, 40136}},
        {"PlanRateFlag", Kind::InList, {40014, 40015}},
    };
}

void clsBO02005::describeReport(const Object& reportInfo)
{
    call(reportInfo, QStringLiteral("SetReportKey"), {reportKey()});
    const QList<int> captions = keyColumnCaptions();
    call(reportInfo, QStringLiteral("SetColumnCount"), {QVariant::fromValue(short(captions.size()))});
    for (qsizetype i = 0; i < captions.size(); ++i)
        call(reportInfo, QStringLiteral("SetColumn"), {QVariant::fromValue(short(i)), ModBOM::resText(captions[i]), true});
}

void clsBO02005::buildStatement(const Object& filter, const QVariant& reportInfo, QVariant&)
{
    const ReportProtocol::CaptionFragments fragments = ReportProtocol::buildCaptionFragments();
    QString bomType, conditions, effDate;
    bool planRate = false;
    ReportProtocol::forEachItem(filter, [&](const ReportProtocol::FilterItem& item) {
        item.setGroupToken(0);
        const QString key = item.name();
        const QString v1 = values::trim(item.value());
        const QString v2 = values::trim(item.value2());
        if (textEquals(key, QStringLiteral("b.BomType"))) {
            const QString t = v1.isEmpty() ? ModBOM::resText(40112) : v1;
            if (textEquals(t, ModBOM::resText(40113)))
                bomType += QStringLiteral("b.BomType = 2 ");
            else if (textEquals(t, ModBOM::resText(40112)))
                bomType += QStringLiteral("b.BomType = 1 ");
            else
                bomType += QStringLiteral("1 = 1 ");
        }
        if (textEquals(key, QStringLiteral("vc.InvCode")))
            conditions += ReportProtocol::codeBounds(QStringLiteral("vc.InvCode"), v1, v2);
        if (textEquals(key, QStringLiteral("EffDate")))
            effDate = v1;
        if (textEquals(key, QStringLiteral("Sel")) && !effDate.isEmpty()) {
            const QString date = quoted(effDate);
            if (!textEquals(v1, ModBOM::resText(40136)))
                conditions += QStringLiteral(" AND c.EffBegDate <=  ") + date + QStringLiteral(" AND c.EffEndDate > ") + date;
            else
                conditions += QStringLiteral(" AND c.EffEndDate > ") + date;
        }
        if (textEquals(key, QStringLiteral("PlanRateFlag")))
            planRate = textEquals(v1, ModBOM::resText(40014));
        if (const int n = ProcArguments::freeItemNumber(key))
            conditions += ReportProtocol::freeItemBounds(QStringLiteral("bc.Free") + QString::number(n), v1, v2);
        item.setGroupToken(1);
    });

    QString where = QStringLiteral(" WHERE ");
    ReportProtocol::appendUnlessBlank(where, bomType);
    ReportProtocol::appendUnlessBlank(where, conditions);
    // the where-used list puts a comma directly after the closing end
    ReportProtocol::locateSelect(reportInfo, selectList(fragments, ReportProtocol::quantityText(planRate) + u','), fromClause(), where,
                                 QStringLiteral(" Order By bc.InvCode,bc.Free1,bc.Free2,bc.Free3,bc.Free4,bc.Free5,bc.Free6,bc.Free7,bc.Free8,bc.Free9,bc.Free10,bp.InvCode,bp.Free1,bp.Free2,bp.Free3,b.BomType,b.Version,b.IdentCode,c.SortSeq"));
}

} // namespace q7::component
