#include "host/db/procedures/AccountProcedures.h"

#include "host/db/procedures/BomGraph.h"
#include "platform/AutomationError.h"
#include "platform/ObjectRef.h"
#include "platform/data/ProcedureRegistry.h"

#include <QMap>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

namespace q7::host::procedures {

namespace {

// Reads a procedure's arguments in order; a missing trailing argument is an error.
class Arguments {
public:
    Arguments(const QVariantList& args, const char* procedure) : args_(args), procedure_(procedure) {}
    QString text()
    {
        const QVariant v = next();
        return isNull(v) || isMissing(v) ? QString("") : v.toString();
    }
    double number(double whenEmpty)
    {
        const QVariant v = next();
        if (isNull(v) || isMissing(v))
            return whenEmpty;
        bool ok = false;
        const double d = v.toString().toDouble(&ok);
        if (!ok)
            throw AutomationError(3709, QStringLiteral("%1: argument %2 is not a number").arg(QLatin1String(procedure_)).arg(index_));
        return d;
    }
    void finish() const
    {
        if (index_ != args_.size())
            throw AutomationError(3709, QStringLiteral("%1 expects %2 arguments, got %3")
                                            .arg(QLatin1String(procedure_)).arg(index_).arg(args_.size()));
    }

private:
    QVariant next()
    {
        if (index_ >= args_.size())
            throw AutomationError(3709, QStringLiteral("%1: too few arguments (%2)").arg(QLatin1String(procedure_)).arg(args_.size()));
        return args_[index_++];
    }
    const QVariantList& args_;
    const char* procedure_;
    int index_ = 0;
};

// The integers of the first column of a statement with bound values.
QVector<int> firstColumn(QSqlDatabase& db, const QString& sql, const QVariantList& binds)
{
    QSqlQuery query(db);
    query.prepare(sql);
    for (const QVariant& b : binds)
        query.addBindValue(b);
    if (!query.exec())
        throw AutomationError(3709, query.lastError().text());
    QVector<int> values;
    while (query.next())
        values.append(query.value(0).toInt());
    return values;
}

struct Range {
    QString low, high; // empty: open
};

// Parts whose code and free items fall in the ranges (an empty bound is open).
QVector<int> matchingParts(QSqlDatabase& db, const Range& code, const QVector<Range>& free)
{
    QString sql = QStringLiteral("SELECT PartId FROM bas_part WHERE 1 = 1");
    QVariantList binds;
    const auto bound = [&](const QString& column, const Range& r) {
        if (!r.low.isEmpty()) {
            sql += QStringLiteral(" AND %1 >= ?").arg(column);
            binds.append(r.low);
        }
        if (!r.high.isEmpty() && r.high != QLatin1String("zzzzzzzzzzzzzzzzzzzz")) {
            sql += QStringLiteral(" AND %1 <= ?").arg(column);
            binds.append(r.high);
        }
    };
    bound(QStringLiteral("InvCode"), code);
    for (int i = 0; i < free.size(); ++i)
        bound(QStringLiteral("Free%1").arg(i + 1), free[i]);
    sql += QStringLiteral(" ORDER BY InvCode, Free1, Free2, PartId");
    return firstColumn(db, sql, binds);
}

QVector<Range> freeRanges(Arguments& a)
{
    QVector<Range> ranges(10);
    for (Range& r : ranges)
        r = {a.text(), a.text()};
    return ranges;
}

QString numberText(double value) { return QString::number(value, 'g', 12); }

const char* fvText(int flag) { return flag == 0 ? "固定" : flag == 1 ? "变动" : ""; }
const char* wipText(int type)
{
    switch (type) {
    case 1: return "入库倒冲";
    case 2: return "工序倒冲";
    case 3: return "领用";
    case 4: return "虚拟件";
    default: return "";
    }
}

QVector<QVariant> cells(std::initializer_list<QVariant> values) { return QVector<QVariant>(values); }

const QStringList explosionColumns{
    QStringLiteral("顶层母件"), QStringLiteral("顶层自由项1"), QStringLiteral("层级"), QStringLiteral("母件编码"), QStringLiteral("子件编码"),
    QStringLiteral("子件名称"), QStringLiteral("规格型号"), QStringLiteral("计量单位"), QStringLiteral("子件自由项1"),
    QStringLiteral("子件行号"), QStringLiteral("使用数量"), QStringLiteral("累计用量"), QStringLiteral("固定/变动"),
    QStringLiteral("供应类型"), QStringLiteral("说明")};

// Depth-first explosion below one top part. Each row carries the line's
// quantity per parent and the quantity multiplied down the path; a part met
// again on its own path is marked and not expanded (a BOM cycle).
class Exploder {
public:
    Exploder(BomGraph& graph, bool planRate, double topQty, data::ResultSet& out) : graph_(graph), planRate_(planRate), topQty_(topQty), out_(out) {}

    void explodeTop(int topPart, const QVector<BomLine>& topLines)
    {
        top_ = graph_.part(topPart).code;
        topFree_ = graph_.part(topPart).free1;
        path_.clear();
        path_.insert(topPart);
        descend(topPart, topLines, 1, topQty_);
    }

private:
    void descend(int parentPart, const QVector<BomLine>& lines, int level, double parentQty)
    {
        const QString parentCode = graph_.part(parentPart).code;
        for (const BomLine& line : lines) {
            const double qty = line.quantity(planRate_);
            const double cumulative = parentQty * qty;
            const PartInfo& component = graph_.part(line.componentId);
            const bool cycle = path_.contains(line.componentId);
            QString note;
            if (cycle)
                note = QStringLiteral("循环");
            else if (line.byProduct)
                note = QStringLiteral("产出品");
            out_.rows.append(cells({top_, topFree_, level, parentCode, component.code, component.name, component.invStd, component.unit, component.free1,
                                    line.sortSeq, qty, cumulative, QString::fromUtf8(fvText(line.fvFlag)),
                                    QString::fromUtf8(wipText(line.wipType)), note}));
            if (cycle || line.byProduct)
                continue;
            const QVector<BomLine>& below = graph_.mainLines(line.componentId);
            if (below.isEmpty())
                continue;
            path_.insert(line.componentId);
            descend(line.componentId, below, level + 1, cumulative);
            path_.remove(line.componentId);
        }
    }

    BomGraph& graph_;
    bool planRate_;
    double topQty_;
    data::ResultSet& out_;
    QString top_, topFree_;
    QSet<int> path_;
};

// 阶列式: the indented rows summed per top part, level and component.
void summariseByLevel(const data::ResultSet& indented, data::ResultSet& out)
{
    enum { Top, TopFree, Level, Component = 4, Name, InvStd, Unit, ComponentFree, Cumulative = 11, Note = 14 };
    QMap<std::tuple<QString, QString, int, QString, QString>, int> index; // -> row in out
    for (const auto& row : indented.rows) {
        const auto key = std::make_tuple(row[Top].toString(), row[TopFree].toString(), row[Level].toInt(), row[Component].toString(),
                                         row[ComponentFree].toString());
        const auto found = index.constFind(key);
        if (found == index.cend()) {
            index.insert(key, static_cast<int>(out.rows.size()));
            out.rows.append(cells({row[Top], row[TopFree], row[Level], row[Component], row[Name], row[InvStd], row[Unit], row[ComponentFree],
                                   row[Cumulative], row[Note]}));
        } else {
            auto& existing = out.rows[*found];
            existing[8] = existing[8].toDouble() + row[Cumulative].toDouble();
            if (!row[Note].toString().isEmpty())
                existing[9] = row[Note];
        }
    }
}

// Whether a BOM cycle is reachable from the part through main BOMs at the graph's date.
bool reachesCycle(BomGraph& graph, const QVector<BomLine>& topLines, int topPart)
{
    enum class Mark { Open, Done };
    QHash<int, Mark> marks{{topPart, Mark::Open}};
    std::function<bool(const QVector<BomLine>&)> visit = [&](const QVector<BomLine>& lines) {
        for (const BomLine& line : lines) {
            if (line.byProduct)
                continue;
            const auto found = marks.constFind(line.componentId);
            if (found != marks.cend()) {
                if (*found == Mark::Open)
                    return true;
                continue;
            }
            marks.insert(line.componentId, Mark::Open);
            if (visit(graph.mainLines(line.componentId)))
                return true;
            marks.insert(line.componentId, Mark::Done);
        }
        return false;
    };
    return visit(topLines);
}

// 阶列式 without enumerating paths: the quantity of every part at level n + 1
// is the sum over the parts at level n of their quantity times the line's.
void summariseAcyclic(BomGraph& graph, int topPart, const QVector<BomLine>& topLines, bool planRate, data::ResultSet& out)
{
    const PartInfo& top = graph.part(topPart);
    const QString topCode = top.code, topFree = top.free1;
    QHash<int, double> frontier;
    QHash<int, bool> byProduct;
    QVector<int> order;
    for (const BomLine& line : topLines) {
        if (!frontier.contains(line.componentId))
            order.append(line.componentId);
        frontier[line.componentId] += line.quantity(planRate);
        byProduct[line.componentId] = line.byProduct;
    }
    for (int level = 1; !frontier.isEmpty(); ++level) {
        QHash<int, double> next;
        QHash<int, bool> nextByProduct;
        QVector<int> nextOrder;
        for (int part : order) {
            const double qty = frontier.value(part);
            const PartInfo& info = graph.part(part);
            const bool output = byProduct.value(part);
            out.rows.append(cells({topCode, topFree, level, info.code, info.name, info.invStd, info.unit, info.free1, qty,
                                   output ? QStringLiteral("产出品") : QString()}));
            if (output)
                continue;
            for (const BomLine& line : graph.mainLines(part)) {
                if (!next.contains(line.componentId))
                    nextOrder.append(line.componentId);
                next[line.componentId] += qty * line.quantity(planRate);
                nextByProduct[line.componentId] = line.byProduct;
            }
        }
        frontier = std::move(next);
        byProduct = std::move(nextByProduct);
        order = std::move(nextOrder);
    }
}

// Orders summary rows by top part, level, component and its free item.
void sortSummary(data::ResultSet& out)
{
    struct Keyed {
        QString top, topFree, component, componentFree;
        int level;
        qsizetype row;
        bool operator<(const Keyed& o) const
        {
            return std::tie(top, topFree, level, component, componentFree) < std::tie(o.top, o.topFree, o.level, o.component, o.componentFree);
        }
    };
    std::vector<Keyed> keys;
    keys.reserve(static_cast<size_t>(out.rows.size()));
    for (qsizetype i = 0; i < out.rows.size(); ++i) {
        const auto& r = out.rows[i];
        keys.push_back({r[0].toString(), r[1].toString(), r[3].toString(), r[7].toString(), r[2].toInt(), i});
    }
    std::stable_sort(keys.begin(), keys.end());
    QVector<QVector<QVariant>> sorted;
    sorted.reserve(out.rows.size());
    for (const Keyed& k : keys)
        sorted.append(std::move(out.rows[k.row]));
    out.rows = std::move(sorted);
}

QVector<int> topBoms(QSqlDatabase& db, int part, int bomType, const Range& version, const Range& versionDate, const Range& ident)
{
    QString sql = QStringLiteral("SELECT b.BomId FROM bom_parent t JOIN bom_bom b ON b.BomId = t.BomId WHERE t.ParentId = ?");
    QVariantList binds{part};
    const QString mainCondition = QStringLiteral("(b.BomType = 1 AND coalesce(b.Version, 0) BETWEEN ? AND ? AND "
                                                 "coalesce(b.VersionEffDate, '2000-01-01') BETWEEN ? AND ?)");
    const QString substituteCondition = QStringLiteral("(b.BomType = 2 AND coalesce(b.IdentCode, '') BETWEEN ? AND ?)");
    const QVariantList mainBinds{version.low.toDouble(), version.high.toDouble(), versionDate.low, versionDate.high};
    const QVariantList substituteBinds{ident.low, ident.high};
    if (bomType == 1) {
        sql += QStringLiteral(" AND ") + mainCondition;
        binds += mainBinds;
    } else if (bomType == 2) {
        sql += QStringLiteral(" AND ") + substituteCondition;
        binds += substituteBinds;
    } else {
        sql += QStringLiteral(" AND (") + mainCondition + QStringLiteral(" OR ") + substituteCondition + u')';
        binds += mainBinds;
        binds += substituteBinds;
    }
    sql += QStringLiteral(" ORDER BY b.BomType, b.Version, b.IdentCode");
    return firstColumn(db, sql, binds);
}

// The lines of a top BOM valid at the graph's date, with the parent's scrap of that BOM.
QVector<BomLine> topLines(QSqlDatabase& db, BomGraph& graph, int bom, int part)
{
    QVector<BomLine> lines = graph.bomLines(bom);
    QSqlQuery scrap(db);
    scrap.prepare(QStringLiteral("SELECT ParentScrap FROM bom_parent WHERE BomId = ? AND ParentId = ?"));
    scrap.addBindValue(bom);
    scrap.addBindValue(part);
    const double parentScrap = scrap.exec() && scrap.next() ? scrap.value(0).toDouble() : 0;
    for (BomLine& line : lines) {
        line.parentScrap = parentScrap;
        line.parentId = part;
    }
    return lines;
}

} // namespace

data::ResultSet expandByParent(ado::Connection& connection, const QVariantList& args)
{
    QSqlDatabase& db = connection.database();
    Arguments a(args, "Usp_BO_ExpandByParent");
    const Range code{a.text(), a.text()};
    const QVector<Range> free = freeRanges(a);
    const Range version{numberText(a.number(0)), numberText(a.number(99999999))};
    const Range versionDate{a.text(), a.text()};
    const int mode = static_cast<int>(a.number(1));
    const bool planRate = a.number(0) == 1;
    a.number(0);
    a.number(1);
    const QString effDate = a.text();
    a.finish();

    BomGraph graph(connection, effDate);
    data::ResultSet indented;
    indented.columns = explosionColumns;
    data::ResultSet summary;
    summary.columns = QStringList{QStringLiteral("顶层母件"), QStringLiteral("顶层自由项1"), QStringLiteral("层级"), QStringLiteral("子件编码"),
                                  QStringLiteral("子件名称"), QStringLiteral("规格型号"), QStringLiteral("计量单位"), QStringLiteral("子件自由项1"),
                                  QStringLiteral("累计用量"), QStringLiteral("说明")};
    Exploder exploder(graph, planRate, 1.0, indented);
    for (int part : matchingParts(db, code, free))
        for (int bom : topBoms(db, part, 1, version, versionDate, {})) {
            const QVector<BomLine> lines = topLines(db, graph, bom, part);
            if (mode == 1) {
                exploder.explodeTop(part, lines);
            } else if (!reachesCycle(graph, lines, part)) {
                summariseAcyclic(graph, part, lines, planRate, summary);
            } else { // a cycle: sum the marked paths instead
                data::ResultSet paths;
                Exploder cyclic(graph, planRate, 1.0, paths);
                cyclic.explodeTop(part, lines);
                summariseByLevel(paths, summary);
            }
        }
    if (mode == 1)
        return indented;
    sortSummary(summary);
    return summary;
}

data::ResultSet expandByComp(ado::Connection& connection, const QVariantList& args)
{
    QSqlDatabase& db = connection.database();
    Arguments a(args, "Usp_BO_ExpandByComp");
    const Range code{a.text(), a.text()};
    const QVector<Range> free = freeRanges(a);
    const QString effDate = a.text();
    const bool planRate = a.number(0) == 1;
    a.number(0);
    a.number(1);
    a.finish();

    BomGraph graph(connection, effDate);
    data::ResultSet out;
    out.columns = QStringList{QStringLiteral("子件编码"), QStringLiteral("层级"),     QStringLiteral("下阶编码"), QStringLiteral("母件编码"),
                              QStringLiteral("母件名称"), QStringLiteral("规格型号"), QStringLiteral("母件自由项1"), QStringLiteral("子件行号"),
                              QStringLiteral("使用数量"), QStringLiteral("累计用量"), QStringLiteral("说明")};
    QSet<int> path;
    QString start;
    std::function<void(int, int, double)> ascend = [&](int part, int level, double qtyBelow) {
        const QString childCode = graph.part(part).code;
        for (const BomLine& line : graph.usedIn(part)) {
            const double qty = line.quantity(planRate);
            const double cumulative = qtyBelow * qty;
            const PartInfo& parent = graph.part(line.parentId);
            const bool cycle = path.contains(line.parentId);
            out.rows.append(cells({start, level, childCode, parent.code, parent.name, parent.invStd, parent.free1, line.sortSeq, qty, cumulative,
                                   cycle ? QStringLiteral("循环") : QString()}));
            if (cycle)
                continue;
            path.insert(line.parentId);
            ascend(line.parentId, level + 1, cumulative);
            path.remove(line.parentId);
        }
    };
    for (int part : matchingParts(db, code, free)) {
        start = graph.part(part).code;
        path = {part};
        ascend(part, 1, 1.0);
    }
    return out;
}

data::ResultSet quantityExplosion(ado::Connection& connection, const QVariantList& args)
{
    QSqlDatabase& db = connection.database();
    Arguments a(args, "Usp_BO_BO02007");
    const Range code{a.text(), a.text()};
    const Range ident{a.text(), a.text()};
    const int bomType = static_cast<int>(a.number(1));
    const Range version{numberText(a.number(0)), numberText(a.number(99999999))};
    const Range versionDate{a.text(), a.text()};
    const QString effDate = a.text();
    const double quantity = a.number(1.0);
    const bool planRate = a.number(0) == 1;
    const QVector<Range> free = freeRanges(a);
    a.finish();

    BomGraph graph(connection, effDate);
    data::ResultSet rows;
    rows.columns = explosionColumns;
    Exploder exploder(graph, planRate, quantity, rows);
    for (int part : matchingParts(db, code, free))
        for (int bom : topBoms(db, part, bomType, version, versionDate, ident))
            exploder.explodeTop(part, topLines(db, graph, bom, part));
    rows.columns[11] = QStringLiteral("需求数量");
    return rows;
}

data::ResultSet compareBoms(ado::Connection& connection, const QVariantList& args)
{
    QSqlDatabase& db = connection.database();
    Arguments a(args, "Usp_BO_BO02010");
    const int angle = static_cast<int>(a.number(0));
    const QString code = a.text();
    const double version1 = a.number(0), version2 = a.number(0);
    const QString ident1 = a.text(), ident2 = a.text();
    const bool showSame = a.number(0) == 1;
    bool flags[5];
    for (bool& f : flags)
        f = a.number(0) == 1;
    QStringList freeValues;
    for (int i = 0; i < 10; ++i)
        freeValues.append(a.text());
    a.finish();
    if (angle < 1 || angle > 3)
        throw AutomationError(3709, QStringLiteral("Usp_BO_BO02010: angle %1 is not 1, 2 or 3").arg(angle));

    QString partSql = QStringLiteral("SELECT PartId FROM bas_part WHERE InvCode = ?");
    for (int i = 0; i < 10; ++i)
        partSql += QStringLiteral(" AND Free%1 = ?").arg(i + 1);
    QSqlQuery partQuery(db);
    partQuery.prepare(partSql);
    partQuery.addBindValue(code);
    for (const QString& v : freeValues)
        partQuery.addBindValue(v);
    if (!partQuery.exec())
        throw AutomationError(3709, partQuery.lastError().text());
    const int part = partQuery.next() ? partQuery.value(0).toInt() : 0;

    const auto bomOf = [&](bool substitute, double version, const QString& identCode) {
        QSqlQuery q(db);
        q.prepare(substitute ? QStringLiteral("SELECT b.BomId FROM bom_parent t JOIN bom_bom b ON b.BomId = t.BomId WHERE t.ParentId = ? AND b.BomType = 2 AND b.IdentCode = ?")
                             : QStringLiteral("SELECT b.BomId FROM bom_parent t JOIN bom_bom b ON b.BomId = t.BomId WHERE t.ParentId = ? AND b.BomType = 1 AND b.Version = ?"));
        q.addBindValue(part);
        q.addBindValue(substitute ? QVariant(identCode) : QVariant(version));
        return q.exec() && q.next() ? q.value(0).toInt() : 0;
    };
    const int bomA = angle == 3 ? bomOf(true, 0, ident1) : bomOf(false, version1, {});
    const int bomB = angle == 1 ? bomOf(false, version2, {}) : bomOf(true, 0, ident2);

    // All lines of both BOMs, whatever their effectivity.
    BomGraph graph(connection, QStringLiteral("0000-00-00"));
    QList<int> order; // components in line order: A's lines, then those only in B
    const auto linesOf = [&](int bom) {
        QMap<int, BomLine> byComponent;
        if (bom == 0)
            return byComponent;
        QSqlQuery q(db);
        q.prepare(QStringLiteral("SELECT c.ComponentId, c.SortSeq, c.BaseQtyN, c.BaseQtyD, c.CompScrap, c.FVFlag, o.PlanFactor, o.WIPType, "
                                 "o.Offset, o.AccuCostFlag FROM bom_opcomponent c LEFT JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId "
                                 "WHERE c.BomId = ? ORDER BY c.SortSeq"));
        q.addBindValue(bom);
        q.exec();
        while (q.next()) {
            BomLine line;
            line.componentId = q.value(0).toInt();
            line.sortSeq = q.value(1).toInt();
            line.qtyN = q.value(2).toDouble();
            line.qtyD = q.value(3).toDouble();
            line.compScrap = q.value(4).toDouble();
            line.fvFlag = q.value(5).toInt();
            if (!q.value(6).isNull())
                line.planFactor = q.value(6).toDouble();
            line.wipType = q.value(7).toInt();
            line.offset = q.value(8).toInt();
            line.accuCost = q.value(9).toInt();
            byComponent.insert(line.componentId, line);
            if (!order.contains(line.componentId))
                order.append(line.componentId);
        }
        return byComponent;
    };
    const QMap<int, BomLine> a1 = linesOf(bomA), b1 = linesOf(bomB);

    data::ResultSet out;
    out.columns = QStringList{QStringLiteral("子件编码"), QStringLiteral("子件名称"), QStringLiteral("规格型号"), QStringLiteral("A行号"),
                              QStringLiteral("B行号"),   QStringLiteral("A基本用量"), QStringLiteral("B基本用量"), QStringLiteral("比较结果")};
    const char* attributeNames[] = {"固定变动", "偏置期", "计划比例", "成本累计", "供应类型"};
    for (int f = 0; f < 5; ++f)
        if (flags[f])
            out.columns << QStringLiteral("A") + QString::fromUtf8(attributeNames[f]) << QStringLiteral("B") + QString::fromUtf8(attributeNames[f]);
    const auto attribute = [](const BomLine* line, int f) -> QVariant {
        if (!line)
            return QVariant();
        switch (f) {
        case 0: return QString::fromUtf8(fvText(line->fvFlag));
        case 1: return line->offset;
        case 2: return line->planFactor ? QVariant(*line->planFactor) : QVariant(100.0);
        case 3: return line->accuCost;
        default: return QString::fromUtf8(wipText(line->wipType));
        }
    };
    for (int c : order) {
        const BomLine* la = a1.contains(c) ? &a1.find(c).value() : nullptr;
        const BomLine* lb = b1.contains(c) ? &b1.find(c).value() : nullptr;
        const auto base = [](const BomLine* l) { return l ? QVariant(l->qtyN / l->qtyD) : QVariant(); };
        bool same = la && lb && base(la) == base(lb);
        for (int f = 0; f < 5 && same; ++f)
            if (flags[f] && attribute(la, f) != attribute(lb, f))
                same = false;
        if (same && !showSame)
            continue;
        const QString result = !la ? QStringLiteral("仅B") : !lb ? QStringLiteral("仅A") : same ? QStringLiteral("相同") : QStringLiteral("不同");
        const PartInfo& info = graph.part(c);
        QVector<QVariant> row = cells({info.code, info.name, info.invStd, la ? QVariant(la->sortSeq) : QVariant(), lb ? QVariant(lb->sortSeq) : QVariant(),
                                       base(la), base(lb), result});
        for (int f = 0; f < 5; ++f)
            if (flags[f])
                row << attribute(la, f) << attribute(lb, f);
        out.rows.append(row);
    }
    return out;
}

void registerAccountProcedures()
{
    data::registerProcedure(QStringLiteral("Usp_BO_ExpandByParent"), &expandByParent);
    data::registerProcedure(QStringLiteral("Usp_BO_ExpandByComp"), &expandByComp);
    data::registerProcedure(QStringLiteral("Usp_BO_BO02007"), &quantityExplosion);
    data::registerProcedure(QStringLiteral("Usp_BO_BO02010"), &compareBoms);
}

} // namespace q7::host::procedures
