#include "bench/explosion/ReferenceQueries.h"

namespace q7::bench {

namespace {

QString quoted(const QString& text) { return u'\'' + QString(text).replace(u'\'', QStringLiteral("''")) + u'\''; }

// A line's quantity per unit of its parent (c the line, t the parent's row of its BOM).
const QString lineQuantity = QStringLiteral(
    "(CASE c.FVFlag WHEN 0 THEN c.BaseQtyN * 1.0 / c.BaseQtyD * (1 + c.CompScrap / 100.0)"
    " WHEN 1 THEN c.BaseQtyN * 1.0 / c.BaseQtyD * (1 + c.CompScrap / 100.0) / (1 - t.ParentScrap / 100.0) ELSE 0 END)");

// The main BOM of t in force at the date, and its line c in force at the date.
QString bomInForce(const QString& date)
{
    return QStringLiteral(" JOIN bom_bom b ON b.BomId = t.BomId AND b.BomType = 1"
                          " AND coalesce(b.VersionEffDate, '') <= %1 AND coalesce(b.VersionEndDate, '9999-12-31') > %1")
        .arg(date);
}
QString lineInForce(const QString& date) { return QStringLiteral(" AND c.EffBegDate <= %1 AND c.EffEndDate > %1").arg(date); }

const QString fvText = QStringLiteral("CASE x.fv WHEN 0 THEN '固定' WHEN 1 THEN '变动' ELSE '' END");
const QString wipText = QStringLiteral(
    "CASE x.wip WHEN 1 THEN '入库倒冲' WHEN 2 THEN '工序倒冲' WHEN 3 THEN '领用' WHEN 4 THEN '虚拟件' ELSE '' END");

// x(top, lvl, parent, part, seq, lineQty, qty, fv, wip): every path from the
// tops down, the quantity multiplied down the path from the top's quantity.
QString downwardPaths(const ReferenceScope& scope)
{
    const QString date = quoted(scope.effDate);
    const QString step = QStringLiteral(" JOIN bom_opcomponent c ON c.BomId = b.BomId") + lineInForce(date) +
                         QStringLiteral(" LEFT JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId");
    return QStringLiteral("WITH RECURSIVE x(top, lvl, parent, part, seq, lineQty, qty, fv, wip) AS ("
                          " SELECT p.PartId, 1, p.PartId, c.ComponentId, c.SortSeq, %1, %2 * %1, c.FVFlag, o.WIPType"
                          " FROM bas_part p JOIN bom_parent t ON t.ParentId = p.PartId %3 %4"
                          " WHERE p.InvCode >= %5 AND p.InvCode <= %6"
                          " UNION ALL"
                          " SELECT x.top, x.lvl + 1, x.part, c.ComponentId, c.SortSeq, %1, x.qty * %1, c.FVFlag, o.WIPType"
                          " FROM x JOIN bom_parent t ON t.ParentId = x.part %3 %4)")
        .arg(lineQuantity, QString::number(scope.quantity, 'g', 17), bomInForce(date), step, quoted(scope.lowCode), quoted(scope.highCode));
}

QString indentedRows(const ReferenceScope& scope)
{
    return downwardPaths(scope) +
           QStringLiteral(" SELECT tp.InvCode, tp.Free1, x.lvl, pp.InvCode, cp.InvCode, i.cInvName, i.cInvStd, i.cComUnitName, cp.Free1,"
                          " x.seq, x.lineQty, x.qty, %1, %2, ''"
                          " FROM x JOIN bas_part tp ON tp.PartId = x.top JOIN bas_part pp ON pp.PartId = x.parent"
                          " JOIN bas_part cp ON cp.PartId = x.part JOIN Inventory i ON i.cInvCode = cp.InvCode")
               .arg(fvText, wipText);
}

} // namespace

QString indentedExplosionSql(const ReferenceScope& scope)
{
    ReferenceScope one = scope;
    one.quantity = 1;
    return indentedRows(one);
}

QString quantityExplosionSql(const ReferenceScope& scope) { return indentedRows(scope); }

QString summaryExplosionSql(const ReferenceScope& scope)
{
    ReferenceScope one = scope;
    one.quantity = 1;
    return downwardPaths(one) +
           QStringLiteral(" SELECT tp.InvCode, tp.Free1, x.lvl, cp.InvCode, i.cInvName, i.cInvStd, i.cComUnitName, cp.Free1, sum(x.qty), ''"
                          " FROM x JOIN bas_part tp ON tp.PartId = x.top JOIN bas_part cp ON cp.PartId = x.part"
                          " JOIN Inventory i ON i.cInvCode = cp.InvCode GROUP BY x.top, x.lvl, x.part");
}

QString whereUsedSql(const ReferenceScope& scope)
{
    const QString date = quoted(scope.effDate);
    // The lines in force that use w.part (or the start), in main BOMs in force, with their parent.
    const QString uses = QStringLiteral(" JOIN bom_opcomponent c ON c.ComponentId = %1") + lineInForce(date) +
                         QStringLiteral(" JOIN bom_parent t ON t.BomId = c.BomId") + bomInForce(date) +
                         QStringLiteral(" LEFT JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId");
    return QStringLiteral("WITH RECURSIVE w(lvl, child, part, seq, lineQty, qty) AS ("
                          " SELECT 1, s.PartId, t.ParentId, c.SortSeq, %1, %1 FROM bas_part s %2 WHERE s.InvCode = %4"
                          " UNION ALL"
                          " SELECT w.lvl + 1, w.part, t.ParentId, c.SortSeq, %1, w.qty * %1 FROM w %3)"
                          " SELECT s.InvCode, w.lvl, ch.InvCode, pp.InvCode, i.cInvName, i.cInvStd, pp.Free1, w.seq, w.lineQty, w.qty, ''"
                          " FROM w JOIN bas_part s ON s.InvCode = %4 JOIN bas_part ch ON ch.PartId = w.child"
                          " JOIN bas_part pp ON pp.PartId = w.part JOIN Inventory i ON i.cInvCode = pp.InvCode")
        .arg(lineQuantity, uses.arg(QStringLiteral("s.PartId")), uses.arg(QStringLiteral("w.part")), quoted(scope.leafCode));
}

} // namespace q7::bench
