#include "host/browse/StructureQuery.h"

#include "host/db/InForce.h"

#include "host/db/procedures/ProcedureSupport.h"
#include "platform/AutomationError.h"

#include <QSqlError>
#include <QSqlQuery>

namespace q7::host::browse {

namespace {

QString exact(double value) { return QString::number(value, 'g', 17); }

} // namespace

BrowseQuery::Condition StructureQuery::parse(const QStringList& fields) const
{
    Condition c;
    c.code = fields[0];
    c.free = fields.mid(1, 10);
    c.version = fields[11];
    c.date = fields[12];
    c.levelList = fields[13] == QLatin1String("0");
    c.planRate = fields[14] == QLatin1String("1");
    return c;
}

bool StructureQuery::prepareRoot(int partId, QString& whyNot)
{
    rootBom_ = 0;
    rootVersion_.clear();
    if (cond_.version.isEmpty() || cond_.version == QLatin1String("-1")) {
        rootBom_ = mainBomAt(partId);
    } else {
        bool numeric = false;
        const qlonglong version = cond_.version.toLongLong(&numeric);
        if (!numeric) {
            whyNot = QStringLiteral("版本代号无效：") + cond_.version;
            return false;
        }
        QSqlQuery q = data::runBound(connection().database(),
                          QStringLiteral("SELECT b.BomId FROM bom_parent t JOIN bom_bom b ON b.BomId = t.BomId "
                                         "WHERE t.ParentId = ? AND b.BomType = 1 AND b.Version = ? ORDER BY b.BomId LIMIT 1"),
                          {partId, version});
        rootBom_ = q.next() ? q.value(0).toInt() : 0;
    }
    if (rootBom_ == 0) {
        whyNot = QStringLiteral("没有符合条件的物料清单");
        return false;
    }
    QSqlQuery q = data::runBound(connection().database(), QStringLiteral("SELECT Version FROM bom_bom WHERE BomId = ?"), {rootBom_});
    if (q.next())
        rootVersion_ = q.value(0).toString();
    return true;
}

QString StructureQuery::rootData(int partId) const { return QString::number(partId) + QStringLiteral("|0|1|1|False"); }

QString StructureQuery::rootLabel(int partId)
{
    QString label = partLabel(partId);
    if (!rootVersion_.isEmpty())
        label += QStringLiteral(" 版本") + rootVersion_;
    return label;
}

void StructureQuery::loaded(const QStringList& fields)
{
    bool ok = false;
    const double cumulative = fields.value(3).toDouble(&ok);
    cumulative_ = ok ? cumulative : 1;
}

int StructureQuery::loadedBom() const { return path_.size() == 1 ? rootBom_ : mainBomAt(path_.last()); }

QList<XmlRow> StructureQuery::treeRows()
{
    const int parent = path_.last();
    QVector<db::procedures::BomLine> lines;
    if (path_.size() == 1) {
        lines = graph().bomLines(rootBom_);
        QSqlQuery q = data::runBound(connection().database(), QStringLiteral("SELECT ParentScrap FROM bom_parent WHERE BomId = ? AND ParentId = ?"),
                          {rootBom_, parent});
        const double scrap = q.next() ? q.value(0).toDouble() : 0;
        for (auto& line : lines) {
            line.parentScrap = scrap;
            line.parentId = parent;
        }
    } else {
        lines = graph().mainLines(parent);
    }
    QList<XmlRow> rows;
    for (const db::procedures::BomLine& line : lines) {
        const int component = line.componentId;
        const double qty = line.quantity(cond_.planRate);
        const double cumulative = cumulative_ * qty;
        const bool cycle = path_.contains(component);
        const int below = cycle || line.byProduct ? 0 : static_cast<int>(graph().mainLines(component).size());
        QString label = partLabel(component) + QStringLiteral("  ") + number(cond_.levelList ? cumulative : qty) + u' ' +
                        graph().part(component).unit;
        if (cycle)
            label += QStringLiteral(" (循环)");
        else if (line.byProduct)
            label += QStringLiteral(" (产出品)");
        const QString data = pathText(path_ + QList<int>{component}) + u'|' + QString::number(line.sortSeq) + u'|' + exact(qty) + u'|' +
                             exact(cumulative) + u'|' + (line.byProduct ? QStringLiteral("True") : QStringLiteral("False"));
        rows.append({{QStringLiteral("Label"), label}, {QStringLiteral("Data"), data}, {QStringLiteral("NextLevelCount"), QString::number(below)}});
    }
    return rows;
}

XmlRow StructureQuery::headRow()
{
    const int part = path_.last();
    XmlRow row = itemAttributes(part);
    const int bom = loadedBom();
    if (bom == 0)
        return row;
    QSqlQuery q = data::runBound(connection().database(),
                      QStringLiteral("SELECT b.Version, b.VersionDesc, b.VersionEffDate, b.VersionEndDate, t.ParentScrap FROM bom_bom b "
                                     "JOIN bom_parent t ON t.BomId = b.BomId WHERE b.BomId = ? AND t.ParentId = ?"),
                      {bom, part});
    if (q.next()) {
        row.append({QStringLiteral("Version"), q.value(0).toString()});
        row.append({QStringLiteral("VersionDesc"), q.value(1).toString()});
        row.append({QStringLiteral("VersionEffDate"), q.value(2).toString()});
        row.append({QStringLiteral("VersionEndDate"), q.value(3).toString()});
        row.append({QStringLiteral("ParentScrap"), number(q.value(4).toDouble())});
    }
    return row;
}

QList<XmlRow> StructureQuery::detailRows()
{
    const int part = path_.last();
    const int bom = loadedBom();
    QList<XmlRow> rows;
    if (bom == 0)
        return rows;
    QSqlQuery q = data::runBound(connection().database(),
                      QStringLiteral("SELECT c.OpComponentId, c.SortSeq, c.OpSeq, p.InvCode, i.cInvName, i.cInvStd, i.cComUnitName, p.Free1, "
                                     "c.BaseQtyN, c.BaseQtyD, c.CompScrap, c.FVFlag, o.WIPType, o.PlanFactor, c.EffBegDate, c.EffEndDate, "
                                     "c.ByProductFlag, r.Remark, t.ParentScrap, w.cWhName "
                                     "FROM bom_opcomponent c JOIN bas_part p ON p.PartId = c.ComponentId "
                                     "JOIN Inventory i ON i.cInvCode = p.InvCode "
                                     "JOIN bom_parent t ON t.BomId = c.BomId AND t.ParentId = ? "
                                     "LEFT JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId "
                                     "LEFT JOIN bom_opcomponentrmk r ON r.OpComponentId = c.OpComponentId "
                                     "LEFT JOIN WareHouse w ON w.cWhCode = o.WhCode "
                                     "WHERE c.BomId = ? AND ") + db::lineInForceText("c", "?") + QStringLiteral(" ORDER BY c.SortSeq, c.OpComponentId"),
                      {part, bom, date_, date_});
    while (q.next()) {
        db::procedures::BomLine line;
        line.qtyN = q.value(8).toDouble();
        line.qtyD = q.value(9).toDouble();
        line.compScrap = q.value(10).toDouble();
        line.fvFlag = q.value(11).toInt();
        if (!q.value(13).isNull())
            line.planFactor = q.value(13).toDouble();
        line.parentScrap = q.value(18).toDouble();
        const bool byProduct = q.value(16).toInt() != 0;
        rows.append({{QStringLiteral("OrgRowNo"), q.value(0).toString()},
                     {QStringLiteral("SortSeq"), q.value(1).toString()},
                     {QStringLiteral("OpSeq"), q.value(2).toString()},
                     {QStringLiteral("cInvCode"), q.value(3).toString()},
                     {QStringLiteral("cInvName"), q.value(4).toString()},
                     {QStringLiteral("cInvStd"), q.value(5).toString()},
                     {QStringLiteral("cComUnitName"), q.value(6).toString()},
                     {QStringLiteral("Free1"), q.value(7).toString()},
                     {QStringLiteral("BaseQtyN"), number(line.qtyN)},
                     {QStringLiteral("BaseQtyD"), number(line.qtyD)},
                     {QStringLiteral("CompScrap"), number(line.compScrap)},
                     {QStringLiteral("Qty"), number(line.quantity(cond_.planRate))},
                     {QStringLiteral("FVFlag"), db::procedures::fvText(line.fvFlag == 0 ? 0 : 1)},
                     {QStringLiteral("WIPType"), db::procedures::wipText(q.value(12).toInt())},
                     {QStringLiteral("WhName"), q.value(19).toString()},
                     {QStringLiteral("EffBegDate"), q.value(14).toString()},
                     {QStringLiteral("EffEndDate"), q.value(15).toString()},
                     {QStringLiteral("ByProduct"), byProduct ? QStringLiteral("是") : QString()},
                     {QStringLiteral("Remark"), q.value(17).toString()}});
    }
    return rows;
}

} // namespace q7::host::browse
