#include "reports/clsBO02003.h"

#include "frame/ModBOM.h"
#include "platform/LateBinding.h"
#include "platform/values/Values.h"

namespace q7::component {

using values::textEquals;
using Kind = CheckRule::Kind;

namespace {

QString selectList(const ReportProtocol::CaptionFragments& f, const QString& quantity)
{
    return QStringLiteral("SELECT vp.InvCode AS 母件编码, vp.InvAddCode AS 母件代号,vp.InvName AS 母件名称, vp.InvStd AS 母件规格,")
        + QStringLiteral(" bp.Free1 AS 母件cFree1,bp.Free2 AS 母件cFree2,bp.Free3 AS 母件cFree3,bp.Free4 AS 母件cFree4,bp.Free5 AS 母件cFree5,bp.Free6 AS 母件cFree6,bp.Free7 AS 母件cFree7,")
        + QStringLiteral(" bp.Free8 AS 母件cFree8,bp.Free9 AS 母件cFree9,bp.Free10 AS 母件cFree10,vp.ComUnitName AS 母件计量单位,p.ParentScrap AS '母件损耗率(%)',b.Version AS 版本代号,")
        + QStringLiteral(" b.VersionDesc AS 版本说明,b.VersionEffDate AS 版本日期,b.IdentCode AS 替代标识,b.IdentDesc AS 替代说明,convert(nvarchar(40),case vp.InvAttr ")
        + f.itemAttribute
        + QStringLiteral(") AS 母件物料属性,eh.DocCode as 变更单号,ed.SortSeq as 行号,vp.Invdefine1 AS 母件cInvDefine1,")
        + QStringLiteral(" vp.Invdefine2 AS 母件cInvDefine2,vp.Invdefine3 AS 母件cInvDefine3,vp.Invdefine4 AS 母件cInvDefine4, vp.Invdefine5 AS 母件cInvDefine5,vp.Invdefine6 AS 母件cInvDefine6,")
        + QStringLiteral(" vp.Invdefine7 AS 母件cInvDefine7,vp.Invdefine8 AS 母件cInvDefine8, vp.Invdefine9 AS 母件cInvDefine9,vp.Invdefine10 AS 母件cInvDefine10,vp.Invdefine11 AS 母件cInvDefine11,")
        + QStringLiteral(" vp.Invdefine12 AS 母件cInvDefine12,vp.Invdefine13 AS 母件cInvDefine13, vp.Invdefine14 AS 母件cInvDefine14,vp.Invdefine15 AS 母件cInvDefine15,vp.Invdefine16 AS 母件cInvDefine16,")
        + QStringLiteral(" b.Define1 AS cDefine1,b.Define2 AS cDefine2,b.Define3 AS cDefine3,b.Define4 AS cDefine4,b.Define5 AS cDefine5,b.Define6 AS cDefine6,")
        + QStringLiteral(" b.Define7 AS cDefine7,b.Define8 AS cDefine8,b.Define9 AS cDefine9,b.Define10 AS cDefine10,b.Define11 AS cDefine11,b.Define12 AS cDefine12,")
        + QStringLiteral(" b.Define13 AS cDefine13,b.Define14 AS cDefine14,b.Define15 AS cDefine15,b.Define16 AS cDefine16,c.SortSeq AS 子件行号,c.OpSeq AS 工序行号,")
        + QStringLiteral(" vc.InvCode AS 子件编码,vc.InvAddCode AS 子件代号, vc.InvName AS 子件名称, vc.InvStd AS 子件规格, bc.Free1 AS 子件cFree1,bc.Free2")
        + QStringLiteral(" AS 子件cFree2,bc.Free3 AS 子件cFree3,bc.Free4 AS 子件cFree4,bc.Free5 AS 子件cFree5,bc.Free6 AS 子件cFree6,bc.Free7 AS 子件cFree7,bc.Free8 AS 子件cFree8,")
        + QStringLiteral(" bc.Free9 AS 子件cFree9,bc.Free10 AS 子件cFree10,vc.ComUnitName AS 计量单位, c.BaseQtyN AS '基本用量(分子)',c.BaseQtyD AS '基本用量(分母)', c.CompScrap")
        + QStringLiteral(" AS '子件损耗率(%)',convert(nvarchar(40),case c.FVFlag")
        + f.fixedVariable
        + QStringLiteral(") AS '固定/变动',convert(nvarchar(40),case o.WIPType ")
        + f.supplyType
        + QStringLiteral(") AS 供应类型,case when ")
        + quantity
        + QStringLiteral(" as 使用数量,c.EffBegDate AS  生效日期,c.EffEndDate AS 失效日期,")
        + QStringLiteral(" o.Offset AS 偏置期,o.PlanFactor AS 计划比例,convert(nvarchar(40),case c.ByProductFlag")
        + f.yesNo
        + QStringLiteral(") AS 产出品,convert(nvarchar(40),case o.AccuCostFlag")
        + f.yesNo
        + QStringLiteral(") AS 成本累计,convert(nvarchar(40),case o.OptionalFlag ")
        + f.yesNo
        + QStringLiteral(") AS 可选,convert(nvarchar(40),case o.MutexRule")
        + f.selectionRule
        + QStringLiteral(") AS 选择规则,")
        + QStringLiteral(" convert(nvarchar(40),case vc.InvAttr")
        + f.itemAttribute
        + QStringLiteral(") AS 物料属性,o.WhCode AS 仓库代号,w.cWhName AS 仓库名称,o.DrawDeptCode AS 领料部门,d.cDepName AS 部门名称,l.Loc1 AS 定位符1,l.Loc2 AS  定位符2,")
        + QStringLiteral(" l.Loc3 AS 定位符3,l.Loc4 AS 定位符4,l.Loc5 AS 定位符5,l.Loc6 AS 定位符6,l.Loc7 AS 定位符7,l.Loc8 AS 定位符8,l.Loc9 AS 定位符9,l.Loc10 AS 定位符10,r.Remark AS 备注,")
        + QStringLiteral(" vc.Invdefine1 AS 子件cInvDefine1,vc.Invdefine2 AS 子件cInvDefine2,vc.Invdefine3 AS 子件cInvDefine3,vc.Invdefine4 AS 子件cInvDefine4,vc.Invdefine5 AS 子件cInvDefine5,")
        + QStringLiteral(" vc.Invdefine6 AS 子件cInvDefine6,")
        + QStringLiteral("\r\n")
        + QStringLiteral("vc.Invdefine7 AS 子件cInvDefine7,vc.Invdefine8 AS 子件cInvDefine8,vc.Invdefine9 AS 子件cInvDefine9,vc.Invdefine10 AS 子件cInvDefine10,")
        + QStringLiteral(" vc.Invdefine11 AS 子件cInvDefine11,vc.Invdefine12 AS 子件cInvDefine12,vc.Invdefine13 AS 子件cInvDefine13,vc.Invdefine14 AS 子件cInvDefine14,vc.Invdefine15 AS")
        + QStringLiteral(" 子件cInvDefine15,vc.Invdefine16 AS 子件cInvDefine16");
}

QString fromClause()
{
    return QStringLiteral(" FROM bom_bom b INNER JOIN bom_parent p ON b.BomId = p.BomId INNER JOIN bas_part bp ON bp.PartId = p.ParentId")
        + QStringLiteral(" INNER JOIN v_bas_inventory vp ON bp.InvCode = vp.InvCode INNER JOIN bom_opcomponent c ON b.BomId = c.BomId")
        + QStringLiteral(" INNER JOIN bas_part bc ON bc.PartId = c.ComponentId INNER JOIN v_bas_inventory vc ON vc.InvCode = bc.InvCode LEFT OUTER JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId")
        + QStringLiteral(" LEFT OUTER JOIN WareHouse w ON w.cWhCode = o.WhCode LEFT OUTER JOIN Department d ON d.cDepCode = o.DrawDeptCode LEFT OUTER JOIN v_bom_opcomponentloc l ON l.OpComponentId = c.OpComponentId ")
        + QStringLiteral(" LEFT OUTER JOIN bom_opcomponentrmk r ON r.OpComponentId = c.OpComponentId LEFT OUTER JOIN ecn_ecnapplydetail as ed on ed.ApplyDId = b.ApplyDId LEFT OUTER JOIN ecn_ecnapply as eh on ed.ApplyId = eh.ApplyId ");
}

} // namespace

QList<DefaultRule> clsBO02003::defaultRules() const
{
    return {resourceDefault("b.BomType", 40112), resourceDefault("Sel", 40117), resourceDefault("PlanRateFlag", 40015)};
}

QList<CheckRule> clsBO02003::checkRules() const
{
    return {
        {"b.Version", Kind::VersionTooLong},
        {"b.Version", Kind::PlainNumber},
        {"b.BomType", Kind::InList, {40112, 40113, 40081}, false},
        {"Sel", Kind::InList, {40117, 40136}},
        {"PlanRateFlag", Kind::InList, {40014, 40015}},
    };
}

QString clsBO02003::BuildItemCondition(const QString& key, const QString& value)
{
    if (value.isEmpty())
        return {};
    if (textEquals(key, QStringLiteral("b.BomType"))) {
        m_bSubstitute = textEquals(value, ModBOM::resText(40113));
        if (textEquals(value, ModBOM::resText(40112)))
            return QStringLiteral(" ( b.BomType = 1) ");
        if (textEquals(value, ModBOM::resText(40113)))
            return QStringLiteral(" ( b.BomType = 2) ");
        if (textEquals(value, ModBOM::resText(40081)))
            return QStringLiteral(" ( 1 = 1) ");
        return {};
    }
    if (textEquals(key, QStringLiteral("Sel"))) {
        if (m_bSubstitute) // substitute BOMs are not filtered by effectivity
            return {};
        if (textEquals(value, ModBOM::resText(40117)))
            return QStringLiteral(" AND c.EffBegDate <= coalesce(b.VersionEffDate,c.EffEndDate) AND c.EffEndDate > coalesce(b.VersionEffDate,c.EffBegDate) ");
        return QStringLiteral(" AND c.EffEndDate > coalesce(b.VersionEffDate,c.EffBegDate)");
    }
    if (textEquals(key, QStringLiteral("PlanRateFlag")))
        m_bPlanRate = textEquals(value, ModBOM::resText(40014));
    return {};
}

QString clsBO02003::nullSafeConditions(QString where)
{
    // A BOM whose identifier, version or version date is NULL passes every
    // range on that column; free items of the filter are the parent's.
    static const std::pair<const char*, const char*> rewrites[] = {
        {"b.IdentCode<=", "coalesce(b.IdentCode,'')<="},
        {"b.IdentCode>=", "coalesce(b.IdentCode,'zzzzzzzzzzzzzzzzzzzz')>="},
        {"b.Version<=", "coalesce(b.Version,0)<="},
        {"b.Version>=", "coalesce(b.Version,99999999)>="},
        {"b.VersionEffDate<=", "coalesce(b.VersionEffDate,'2000-01-01')<="},
        {"b.VersionEffDate>=", "coalesce(b.VersionEffDate,'2099-12-31')>="},
        {"cFree", "bp.Free"},
    };
    // Only the statement's own text is rewritten, never a quoted value ('' inside one stays inside it).
    QString out;
    qsizetype start = 0;
    while (start < where.size()) {
        qsizetype quote = where.indexOf(u'\'', start);
        if (quote < 0)
            quote = where.size();
        QString plain = where.mid(start, quote - start);
        for (const auto& [from, to] : rewrites)
            plain = values::replaceText(plain, QString::fromLatin1(from), QString::fromLatin1(to));
        out += plain;
        if (quote == where.size())
            break;
        qsizetype end = quote + 1;
        while (end < where.size()) {
            if (where[end] == u'\'' && end + 1 < where.size() && where[end + 1] == u'\'')
                end += 2;
            else if (where[end] == u'\'')
                break;
            else
                ++end;
        }
        out += where.mid(quote, end + 1 - quote);
        start = end + 1;
    }
    return out;
}

void clsBO02003::buildStatement(const Object& filter, const QVariant& reportInfo, QVariant&)
{
    const ReportProtocol::CaptionFragments fragments = ReportProtocol::buildCaptionFragments();
    QString conditions;
    ReportProtocol::forEachItem(filter, [&](const ReportProtocol::FilterItem& item) {
        item.setGroupToken(0);
        const QString key = item.name();
        if (textEquals(key, QStringLiteral("Sel")) || textEquals(key, QStringLiteral("b.BomType"))
            || textEquals(key, QStringLiteral("PlanRateFlag"))) {
            conditions += BuildItemCondition(key, item.value());
            item.setGroupToken(1);
        }
    });
    call(filter, QStringLiteral("MakeSQLString"));
    const QString where = nullSafeConditions(values::toTextOrEmpty(call(filter, QStringLiteral("GetWhereWithToken"), {QVariant::fromValue(short(0))})));

    QString whereClause = QStringLiteral(" WHERE 1=1");
    for (const QString& part : {conditions, where})
        if (!values::trim(part).isEmpty())
            whereClause += QStringLiteral(" AND ") + part;
    ReportProtocol::locateSelect(reportInfo, selectList(fragments, ReportProtocol::quantityText(m_bPlanRate)), fromClause(), whereClause,
                                 QStringLiteral(" Order By vp.InvCode,bp.Free1,bp.Free2,bp.Free3,bp.Free4,bp.Free5,bp.Free6,bp.Free7,bp.Free8,bp.Free9,bp.Free10,b.BomType,b.Version,b.IdentCode,c.SortSeq,vc.InvCode,bc.Free1,bc.Free2,bc.Free3 "));
}

} // namespace q7::component
