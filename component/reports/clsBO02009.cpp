#include "reports/clsBO02009.h"

#include "frame/ModBOM.h"
#include "platform/values/Values.h"
#include "reports/ProcArguments.h"

namespace q7::component {

using ReportProtocol::quoted;
using values::textEquals;
using Kind = CheckRule::Kind;

namespace {

QString selectList(const ReportProtocol::CaptionFragments& f)
{
    return QStringLiteral("SELECT vp.InvCode AS 母件编码, vp.InvAddCode AS 母件代号,vp.InvName AS 母件名称, vp.InvStd AS 母件规格,")
        + QStringLiteral(" bp.Free1 AS 母件cFree1,bp.Free2 AS 母件cFree2,bp.Free3 AS 母件cFree3,bp.Free4 AS 母件cFree4,bp.Free5 AS 母件cFree5,bp.Free6 AS 母件cFree6,bp.Free7 AS 母件cFree7,")
        + QStringLiteral(" bp.Free8 AS 母件cFree8,bp.Free9 AS 母件cFree9,bp.Free10 AS 母件cFree10,vp.ComUnitName AS 母件计量单位,p.ParentScrap AS '母件损耗率(%)',b.Version AS 版本代号,")
        + QStringLiteral(" b.VersionDesc AS 版本说明,b.VersionEffDate AS 版本日期,b.IdentCode AS 替代标识,b.IdentDesc AS 替代说明,convert(nvarchar(40),case vp.InvAttr")
        + f.itemAttribute
        + QStringLiteral(" ) AS 母件物料属性,eh.DocCode as 变更单号,ed.SortSeq as 行号,vp.Invdefine1 AS 母件cInvDefine1,")
        + QStringLiteral(" vp.Invdefine2 AS 母件cInvDefine2,vp.Invdefine3 AS 母件cInvDefine3,vp.Invdefine4 AS 母件cInvDefine4, vp.Invdefine5 AS 母件cInvDefine5,vp.Invdefine6 AS 母件cInvDefine6,")
        + QStringLiteral(" vp.Invdefine7 AS 母件cInvDefine7,vp.Invdefine8 AS 母件cInvDefine8, vp.Invdefine9 AS 母件cInvDefine9,vp.Invdefine10 AS 母件cInvDefine10,vp.Invdefine11 AS 母件cInvDefine11,")
        + QStringLiteral(" vp.Invdefine12 AS 母件cInvDefine12,vp.Invdefine13 AS 母件cInvDefine13, vp.Invdefine14 AS 母件cInvDefine14,vp.Invdefine15 AS 母件cInvDefine15,vp.Invdefine16 AS 母件cInvDefine16,")
        + QStringLiteral(" b.Define1 AS cDefine1,b.Define2 AS cDefine2,b.Define3 AS cDefine3,b.Define4 AS cDefine4,b.Define5 AS cDefine5,b.Define6 AS cDefine6,")
        + QStringLiteral(" b.Define7 AS cDefine7,b.Define8 AS cDefine8,b.Define9 AS cDefine9,b.Define10 AS cDefine10,b.Define11 AS cDefine11,b.Define12 AS cDefine12,")
        + QStringLiteral(" b.Define13 AS cDefine13,b.Define14 AS cDefine14,b.Define15 AS cDefine15,b.Define16 AS cDefine16,c.SortSeq AS 子件行号,c.OpSeq AS 工序行号,")
        + QStringLiteral(" vc.InvCode AS 子件编码,vc.InvAddCode AS 子件代号, vc.InvName AS 子件名称, vc.InvStd AS 子件规格, bc.Free1 AS 子件cFree1,bc.Free2")
        + QStringLiteral(" AS 子件cFree2,bc.Free3 AS 子件cFree3,bc.Free4 AS 子件cFree4,bc.Free5 AS 子件cFree5,bc.Free6 AS 子件cFree6,bc.Free7 AS 子件cFree7,bc.Free8 AS 子件cFree8,")
        + QStringLiteral(" bc.Free9 AS 子件cFree9,bc.Free10 AS 子件cFree10,vc.ComUnitName AS 子件计量单位, c.BaseQtyN AS '基本用量(分子)',c.BaseQtyD AS '基本用量(分母)', c.CompScrap")
        + QStringLiteral(" AS '子件损耗率(%)',convert(nvarchar(40),case c.FVFlag")
        + f.fixedVariable
        + QStringLiteral(" ) AS '固定/变动',case when c.FVFlag = 0 then c.BaseQtyN / c.BaseQtyD * (1 + c.CompScrap / 100)")
        + QStringLiteral(" when c.FVFlag = 1 then c.BaseQtyN / c.BaseQtyD / (1 - p.ParentScrap / 100 ) * (1 + c.CompScrap / 100) end")
        + QStringLiteral(" as 子件使用数量,c.EffBegDate AS 子件生效日期,c.EffEndDate AS 子件失效日期,vc.ReplaceDate as 替换日期,convert(nvarchar(40),case vc.InvAttr")
        + f.itemAttribute
        + QStringLiteral(") AS 子件物料属性,")
        + QStringLiteral(" vc.Invdefine1 AS 子件cInvDefine1,vc.Invdefine2 AS 子件cInvDefine2,vc.Invdefine3 AS 子件cInvDefine3,vc.Invdefine4 AS 子件cInvDefine4,vc.Invdefine5 AS 子件cInvDefine5,")
        + QStringLiteral(" vc.Invdefine6 AS 子件cInvDefine6,")
        + QStringLiteral("\r\n")
        + QStringLiteral("vc.Invdefine7 AS 子件cInvDefine7,vc.Invdefine8 AS 子件cInvDefine8,vc.Invdefine9 AS 子件cInvDefine9,vc.Invdefine10 AS 子件cInvDefine10,")
        + QStringLiteral(" vc.Invdefine11 AS 子件cInvDefine11,vc.Invdefine12 AS 子件cInvDefine12,vc.Invdefine13 AS 子件cInvDefine13,vc.Invdefine14 AS 子件cInvDefine14,vc.Invdefine15 AS")
        + QStringLiteral(" 子件cInvDefine15,vc.Invdefine16 AS 子件cInvDefine16,")
        + QStringLiteral(" vs.InvCode AS 替代件编码, vs.InvAddCode AS 替代件代号, vs.InvName AS 替代件名称, vs.InvStd AS 替代件规格, bs.Free1 AS 替代件cFree1, bs.Free2 AS 替代件cFree2, bs.Free3 AS 替代件cFree3, bs.Free4 AS 替代件cFree4")
        + QStringLiteral(" ,bs.Free5 AS 替代件cFree5,bs.Free6 AS 替代件cFree6,bs.Free7 AS 替代件cFree7,bs.Free8 AS 替代件cFree8,bs.Free9 AS 替代件cFree9,bs.Free10 AS 替代件cFree10,vs.ComUnitName AS 替代件计量单位,")
        + QStringLiteral(" s.Factor AS '替代比',s.EffBegDate AS 替代件生效日期,s.EffEndDate AS 替代件失效日期,s.Sequence AS 替代次序,convert(nvarchar(40),case s.ReplaceFlag")
        + f.yesNo
        + QStringLiteral(") as 替换料,convert(nvarchar(40),case vs.InvAttr")
        + f.itemAttribute
        + QStringLiteral(") AS 替代件属性,")
        + QStringLiteral(" vs.Invdefine1 AS 替代件cInvDefine1,vs.Invdefine2 AS 替代件cInvDefine2,vs.Invdefine3 AS 替代件cInvDefine3,vs.Invdefine4 AS 替代件cInvDefine4,vs.Invdefine5 AS 替代件cInvDefine5,")
        + QStringLiteral(" vs.Invdefine6 AS 替代件cInvDefine6,vs.Invdefine7 AS 替代件cInvDefine7,vs.Invdefine8 AS 替代件cInvDefine8,vs.Invdefine9 AS 替代件cInvDefine9,vs.Invdefine10 AS 替代件cInvDefine10,")
        + QStringLiteral(" vs.Invdefine11 AS 替代件cInvDefine11,vs.Invdefine12 AS 替代件cInvDefine12,vs.Invdefine13 AS 替代件cInvDefine13,vs.Invdefine14 AS 替代件cInvDefine14,vs.Invdefine15 AS 替代件cInvDefine15,vs.Invdefine16 AS 替代件cInvDefine16");
}

QString fromClause()
{
    return QStringLiteral("FROM bom_bom b INNER JOIN bom_parent p ON b.BomId = p.BomId INNER JOIN bas_part bp ON bp.PartId = p.ParentId")
        + QStringLiteral(" INNER JOIN v_bas_inventory vp ON bp.InvCode = vp.InvCode ")
        + QStringLiteral(" INNER JOIN bom_opcomponent c ON b.BomId = c.BomId INNER JOIN bas_part bc ON bc.PartId = c.ComponentId")
        + QStringLiteral(" INNER JOIN v_bas_inventory vc ON vc.InvCode = bc.InvCode INNER JOIN bom_opcomponentsub s ON s.OpComponentId = c.OpComponentId ")
        + QStringLiteral(" INNER JOIN bas_part bs ON bs.PartId = s.PartId INNER JOIN v_bas_inventory vs ON vs.InvCode = bs.InvCode LEFT OUTER JOIN ecn_ecnapplydetail as ed on ed.ApplyDId = b.ApplyDId LEFT OUTER JOIN ecn_ecnapply as eh on ed.ApplyId = eh.ApplyId ");
}

} // namespace

QList<DefaultRule> clsBO02009::defaultRules() const
{
    return {resourceDefault("b.BomType", 40112), resourceDefault("Sel", 40117)};
}

QList<CheckRule> clsBO02009::checkRules() const
{
    return {
        {"b.Version", Kind::VersionTooLong},
        {"b.Version", Kind::PlainNumber},
        {"b.BomType", Kind::InList, {40112, 40113, 40081}, false},
        {"Sel", Kind::InList, {40117, 40136}},
    };
}

void clsBO02009::buildStatement(const Object& filter, const QVariant& reportInfo, QVariant&)
{
    const ReportProtocol::CaptionFragments fragments = ReportProtocol::buildCaptionFragments();
    const QString mainType = ModBOM::resText(40112), substituteType = ModBOM::resText(40113), allTypes = ModBOM::resText(40081);
    QString bom, conditions, type;
    ReportProtocol::forEachItem(filter, [&](const ReportProtocol::FilterItem& item) {
        item.setGroupToken(0);
        const QString key = item.name();
        const QString v1 = values::trim(item.value());
        const QString v2 = values::trim(item.value2());
        if (textEquals(key, QStringLiteral("b.BomType"))) {
            type = v1.isEmpty() ? mainType : v1;
            if (textEquals(type, mainType))
                bom += QStringLiteral("b.BomType = 1");
            else if (textEquals(type, substituteType))
                bom += QStringLiteral("b.BomType = 2");
        }
        if (textEquals(key, QStringLiteral("vp.InvCode")))
            conditions += ReportProtocol::codeBounds(QStringLiteral("vp.InvCode"), v1, v2);
        if (textEquals(key, QStringLiteral("b.IdentCode"))) {
            if (textEquals(type, allTypes))
                bom += QStringLiteral(" ( b.BomType = 2");
            if (!textEquals(type, mainType))
                bom += ReportProtocol::codeBounds(QStringLiteral("b.IdentCode"), v1, v2);
        }
        if (textEquals(key, QStringLiteral("b.Version"))) {
            if (textEquals(type, allTypes))
                bom += QStringLiteral(" OR b.BomType = 1 ");
            if (!textEquals(type, substituteType)) { // versions stand unquoted
                bom += QStringLiteral(" AND b.Version >= ") + (v1.isEmpty() ? QStringLiteral("0") : ProcArguments::unquotedNumber(v1));
                bom += QStringLiteral(" AND b.Version <= ") + (v2.isEmpty() ? QStringLiteral("99999999") : ProcArguments::unquotedNumber(v2));
            }
        }
        if (textEquals(key, QStringLiteral("b.VersionEffDate")) && !textEquals(type, substituteType)) {
            bom += QStringLiteral(" AND b.VersionEffDate >= ") + (v1.isEmpty() ? QStringLiteral("'2000-01-01'") : quoted(v1));
            bom += QStringLiteral(" AND b.VersionEffDate <= ") + (v2.isEmpty() ? QStringLiteral("'2099-12-31'") : quoted(v2));
        }
        if (textEquals(key, QStringLiteral("Sel")) && !textEquals(type, substituteType)) {
            if (textEquals(v1, ModBOM::resText(40136)))
                conditions += QStringLiteral(" AND c.EffEndDate > coalesce(b.VersionEffDate,c.EffBegDate)");
            else
                conditions += QStringLiteral(" AND c.EffBegDate <= coalesce(b.VersionEffDate,c.EffEndDate) AND c.EffEndDate > coalesce(b.VersionEffDate,c.EffBegDate) ");
            if (textEquals(type, allTypes))
                bom += QStringLiteral(" )");
        }
        if (const int n = ProcArguments::freeItemNumber(key))
            conditions += ReportProtocol::freeItemBounds(QStringLiteral("bp.Free") + QString::number(n), v1, v2);
        item.setGroupToken(1);
    });

    QString where = QStringLiteral("WHERE ");
    ReportProtocol::appendUnlessBlank(where, bom);
    ReportProtocol::appendUnlessBlank(where, conditions);
    ReportProtocol::locateSelect(reportInfo, selectList(fragments), fromClause(), where,
                                 QStringLiteral(" Order By vp.InvCode,bp.Free1,bp.Free2,bp.Free3,bp.Free4,bp.Free5,bp.Free6,bp.Free7,bp.Free8,bp.Free9,bp.Free10,b.BomType,b.Version,b.IdentCode,c.SortSeq,vc.InvCode,bc.Free1,bc.Free2,bc.Free3  "));
}

} // namespace q7::component
