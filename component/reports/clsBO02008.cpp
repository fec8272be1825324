#include "reports/clsBO02008.h"

#include "frame/ModBOM.h"
#include "platform/LateBinding.h"
#include "platform/values/Values.h"

namespace q7::component {

using values::textEquals;
using Kind = CheckRule::Kind;

namespace {

QString selectAndFrom(const ReportProtocol::CaptionFragments& f)
{
    return QStringLiteral(" SELECT distinct p.InvCode as 被公用物料编码,p.PartId as 被公用物料Id,i.InvAddCode as 被公用物料代号,i.InvName as 被公用物料名称, i.InvStd as 被公用物料规格")
        + QStringLiteral(" ,p.Free1 as 被公用物料cFree1,p.Free2 as 被公用物料cFree2,p.Free3 as 被公用物料cFree3,p.Free4 as 被公用物料cFree4,p.Free5 as 被公用物料cFree5")
        + QStringLiteral(" ,p.Free6 as 被公用物料cFree6,p.Free7 as 被公用物料cFree7,p.Free8 as 被公用物料cFree8,p.Free9 as 被公用物料cFree9,p.Free10 as 被公用物料cFree10")
        + QStringLiteral(" ,i.InvDefine1 as 被公用物料cInvDefine1,i.InvDefine2 as 被公用物料cInvDefine2,i.InvDefine3 as 被公用物料cInvDefine3,i.InvDefine4 as 被公用物料cInvDefine4")
        + QStringLiteral(" ,i.InvDefine5 as 被公用物料cInvDefine5,i.InvDefine6 as 被公用物料cInvDefine6,i.InvDefine7 as 被公用物料cInvDefine7,i.InvDefine8 as 被公用物料cInvDefine8")
        + QStringLiteral(" ,i.InvDefine9 as 被公用物料cInvDefine9,i.InvDefine10 as 被公用物料cInvDefine10,i.InvDefine11 as 被公用物料cInvDefine11,i.InvDefine12 as 被公用物料cInvDefine12")
        + QStringLiteral(" ,i.InvDefine13 as 被公用物料cInvDefine13,i.InvDefine14 as 被公用物料cInvDefine14,i.InvDefine15 as 被公用物料cInvDefine15,i.InvDefine16 as 被公用物料cInvDefine16")
        + QStringLiteral(" ,convert(nvarchar(40),case i.InvAttr ")
        + f.itemAttribute
        + QStringLiteral(") as 被公用物料属性, i.LeadTime as 被公用物料固定提前期,i.ComUnitName as 被公用物料计量单位")
        + QStringLiteral(" ,q.InvCode AS 公用物料编码,q.PartId AS 公用物料Id,j.InvAddCode AS 公用物料代号,j.InvName AS 公用物料名称, j.InvStd AS 公用物料规格")
        + QStringLiteral(" ,q.Free1 AS 公用物料cFree1,q.Free2 AS 公用物料cFree2,q.Free3 AS 公用物料cFree3,q.Free4 AS 公用物料cFree4,q.Free5 AS 公用物料cFree5")
        + QStringLiteral(" ,q.Free6 AS 公用物料cFree6,q.Free7 AS 公用物料cFree7,q.Free8 AS 公用物料cFree8,q.Free9 AS 公用物料cFree9,q.Free10 AS 公用物料cFree10")
        + QStringLiteral(" ,j.InvDefine1 AS 公用物料cInvDefine1,j.InvDefine2 AS 公用物料cInvDefine2,j.InvDefine3 AS 公用物料cInvDefine3,j.InvDefine4 AS 公用物料cInvDefine4")
        + QStringLiteral(" ,j.InvDefine5 AS 公用物料cInvDefine5,j.InvDefine6 AS 公用物料cInvDefine6,j.InvDefine7 AS 公用物料cInvDefine7,j.InvDefine8 AS 公用物料cInvDefine8")
        + QStringLiteral(" ,j.InvDefine9 AS 公用物料cInvDefine9,j.InvDefine10 AS 公用物料cInvDefine10,j.InvDefine11 AS 公用物料cInvDefine11,j.InvDefine12 AS 公用物料cInvDefine12")
        + QStringLiteral(" ,j.InvDefine13 AS 公用物料cInvDefine13,j.InvDefine14 AS 公用物料cInvDefine14,j.InvDefine15 AS 公用物料cInvDefine15,j.InvDefine16 AS 公用物料cInvDefine16")
        + QStringLiteral(" ,convert(nvarchar(40),case j.InvAttr ")
        + f.itemAttribute
        + QStringLiteral(") AS 公用物料属性, j.LeadTime AS 公用物料固定提前期,j.ComUnitName AS 公用物料计量单位")
        + QStringLiteral(" FROM bom_parent as b inner join bas_part as p on p.PartId = b.ParentId inner join v_bas_inventory as i on i.InvCode = p.InvCode ")
        + QStringLiteral(" inner join bom_parent as g on b.BomId = g.BomId and g.SharingPartId = b.ParentId inner join bas_part as q on q.PartId = g.ParentId ")
        + QStringLiteral(" inner join v_bas_inventory as j on j.InvCode = q.InvCode ");
}

} // namespace

QList<DefaultRule> clsBO02008::defaultRules() const { return {resourceDefault("Sel", 40446)}; }

QList<CheckRule> clsBO02008::checkRules() const { return {{"Sel", Kind::InList, {40446, 40447}}}; }

void clsBO02008::buildStatement(const Object& filter, const QVariant&, QVariant& sQuerySQL)
{
    const ReportProtocol::CaptionFragments fragments = ReportProtocol::buildCaptionFragments();
    QString order;
    ReportProtocol::forEachItem(filter, [&](const ReportProtocol::FilterItem& item) {
        item.setGroupToken(0);
        if (!textEquals(item.name(), QStringLiteral("Sel")))
            return;
        order = textEquals(item.value(), ModBOM::resText(40446))
            ? QStringLiteral(" Order By p.InvCode,p.Free1,p.Free2,p.Free3,p.Free4,p.Free5,p.Free6,p.Free7,p.Free8,p.Free9,p.Free10,q.InvCode,q.Free1,q.Free2,q.Free3 ")
            : QStringLiteral(" Order By q.InvCode,q.Free1,q.Free2,q.Free3,q.Free4,q.Free5,q.Free6,q.Free7,q.Free8,q.Free9,q.Free10,p.InvCode,p.Free1,p.Free2,p.Free3 ");
        item.setGroupToken(1);
        item.setValue(QString(""));
    });
    call(filter, QStringLiteral("MakeSQLString"));
    const QString where = values::toTextOrEmpty(call(filter, QStringLiteral("GetWhereWithToken"), {QVariant::fromValue(short(0))}));
    QString whereClause = QStringLiteral(" WHERE 1 = 1 ");
    if (!values::trim(where).isEmpty())
        whereClause += QStringLiteral(" AND ") + where;
    sQuerySQL = selectAndFrom(fragments) + whereClause + order;
}

} // namespace q7::component
