#include "host/browse/WhereUsedQuery.h"

#include "host/db/InForce.h"
#include "platform/data/DatabaseError.h"

#include "platform/AutomationError.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

namespace q7::host::browse {

BrowseQuery::Condition WhereUsedQuery::parse(const QStringList& fields) const
{
    Condition c;
    c.code = fields[0];
    c.free = fields.mid(1, 10);
    c.date = fields[11];
    c.planRate = fields[12] == QLatin1String("1");
    return c;
}

bool WhereUsedQuery::prepareRoot(int partId, QString& whyNot)
{
    if (!graph().usedIn(partId).isEmpty())
        return true;
    whyNot = QStringLiteral("没有使用该物料的物料清单");
    return false;
}

QString WhereUsedQuery::rootData(int partId) const { return QString::number(partId) + QStringLiteral("|0|1"); }

QList<XmlRow> WhereUsedQuery::treeRows()
{
    const int component = path_.last();
    const QString unit = graph().part(component).unit;
    QList<XmlRow> rows;
    for (const db::procedures::BomLine& line : graph().usedIn(component)) {
        const int parent = line.parentId;
        const bool cycle = path_.contains(parent);
        const int above = cycle ? 0 : static_cast<int>(graph().usedIn(parent).size());
        const double qty = line.quantity(cond_.planRate);
        QString label = partLabel(parent) + QStringLiteral("  ") + number(qty) + u' ' + unit;
        if (cycle)
            label += QStringLiteral(" (循环)");
        const QString data = pathText(path_ + QList<int>{parent}) + u'|' + QString::number(line.sortSeq) + u'|' + QString::number(qty, 'g', 17);
        rows.append({{QStringLiteral("Label"), label}, {QStringLiteral("Data"), data}, {QStringLiteral("NextLevelCount"), QString::number(above)}});
    }
    return rows;
}

XmlRow WhereUsedQuery::headRow() { return itemAttributes(path_.last()); }

QList<XmlRow> WhereUsedQuery::detailRows()
{
    QSqlQuery q(connection().database());
    q.prepare(QStringLiteral("SELECT c.OpComponentId, p.InvCode, i.cInvName, i.cInvStd, p.Free1, b.Version, c.SortSeq, c.BaseQtyN, c.BaseQtyD, "
                             "c.CompScrap, c.FVFlag, t.ParentScrap, o.PlanFactor, c.EffBegDate, c.EffEndDate, b.BomId, t.ParentId "
                             "FROM bom_opcomponent c JOIN bom_bom b ON b.BomId = c.BomId JOIN bom_parent t ON t.BomId = b.BomId "
                             "JOIN bas_part p ON p.PartId = t.ParentId JOIN Inventory i ON i.cInvCode = p.InvCode "
                             "LEFT JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId "
                             "WHERE c.ComponentId = ? AND b.BomType = 1 AND ") + db::bomInForceText("b", "?") + QStringLiteral(" AND ") +
              db::lineInForceText("c", "?") + QStringLiteral(" ORDER BY t.ParentId, c.SortSeq"));
    q.addBindValue(path_.last());
    for (int i = 0; i < 4; ++i)
        q.addBindValue(date_);
    if (!q.exec())
        q7::data::throwProviderError(q.lastError());
    // The document lists the lines of the parents the tree lists, in the BOMs it
    // lists them by (those the explosion would use: a superseded version still
    // in force is not one), so that the two never decide apart.
    QSet<std::pair<int, int>> users; // parent, BOM
    for (const db::procedures::BomLine& line : graph().usedIn(path_.last()))
        users.insert({line.parentId, line.bomId});
    QList<XmlRow> rows;
    while (q.next()) {
        if (!users.contains({q.value(16).toInt(), q.value(15).toInt()}))
            continue;
        db::procedures::BomLine line;
        line.qtyN = q.value(7).toDouble();
        line.qtyD = q.value(8).toDouble();
        line.compScrap = q.value(9).toDouble();
        line.fvFlag = q.value(10).toInt();
        line.parentScrap = q.value(11).toDouble();
        if (!q.value(12).isNull())
            line.planFactor = q.value(12).toDouble();
        rows.append({{QStringLiteral("OrgRowNo"), q.value(0).toString()},
                     {QStringLiteral("cInvCode"), q.value(1).toString()},
                     {QStringLiteral("cInvName"), q.value(2).toString()},
                     {QStringLiteral("cInvStd"), q.value(3).toString()},
                     {QStringLiteral("Free1"), q.value(4).toString()},
                     {QStringLiteral("Version"), q.value(5).toString()},
                     {QStringLiteral("SortSeq"), q.value(6).toString()},
                     {QStringLiteral("BaseQtyN"), number(line.qtyN)},
                     {QStringLiteral("BaseQtyD"), number(line.qtyD)},
                     {QStringLiteral("CompScrap"), number(line.compScrap)},
                     {QStringLiteral("Qty"), number(line.quantity(cond_.planRate))},
                     {QStringLiteral("EffBegDate"), q.value(13).toString()},
                     {QStringLiteral("EffEndDate"), q.value(14).toString()}});
    }
    if (q.lastError().isValid())
        q7::data::throwProviderError(q.lastError());
    return rows;
}

} // namespace q7::host::browse
