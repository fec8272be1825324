#include "host/db/procedures/ExplosionDiff.h"

#include "host/db/InForce.h"
#include "host/db/procedures/BomGraph.h"
#include "host/db/procedures/Explosion.h"
#include "host/db/procedures/Statement.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>
#include <unordered_set>

namespace q7::host::db::procedures {

namespace {

const QString cycleNote = QStringLiteral("循环");
const QString byProductNote = QStringLiteral("产出品");

// A row of one side's explosion, before its warehouse is known.
struct SideRow {
    int node;
    int bom; // the BOM that holds the line
    bool byProduct;
    DiffValues values;
};

// The paths of both sides, one node per path: (parent node, component, line
// number, occurrence). The occurrence tells apart two lines of one BOM with the
// same component and number, in the order they come.
class PathTree {
public:
    struct Node {
        int parent, component, sortSeq, level;
        int row[2] = {-1, -1}; // on each side
        std::vector<int> children;
    };

    int enter(int side, int parent, int component, int sortSeq, int level, int row)
    {
        for (int occurrence = 0;; ++occurrence) {
            const Key key{parent, component, sortSeq, occurrence};
            const auto [found, made] = index_.try_emplace(key, static_cast<int>(nodes_.size()));
            if (made) {
                nodes_.push_back({parent, component, sortSeq, level, {-1, -1}, {}});
                (parent < 0 ? roots_ : nodes_[static_cast<size_t>(parent)].children).push_back(found->second);
            }
            Node& node = nodes_[static_cast<size_t>(found->second)];
            if (node.row[side] < 0) {
                node.row[side] = row;
                return found->second;
            }
        }
    }
    const Node& node(int id) const { return nodes_[static_cast<size_t>(id)]; }
    const std::vector<int>& roots() const { return roots_; }
    size_t size() const { return nodes_.size(); }

private:
    struct Key {
        int parent, component, sortSeq, occurrence;
        bool operator==(const Key&) const = default;
    };
    struct Hash {
        size_t operator()(const Key& k) const
        {
            size_t h = std::hash<int>()(k.parent);
            for (const int v : {k.component, k.sortSeq, k.occurrence})
                h = h * 1000003u ^ std::hash<int>()(v);
            return h;
        }
    };
    std::vector<Node> nodes_;
    std::vector<int> roots_;
    std::unordered_map<Key, int, Hash> index_;
};

// The warehouses of the lines in force on the date of the BOMs, by (BOM, line number, component).
class Warehouses {
public:
    Warehouses(data::Connection& connection, const QString& date, std::vector<int> boms)
    {
        std::sort(boms.begin(), boms.end());
        boms.erase(std::unique(boms.begin(), boms.end()), boms.end());
        const QByteArray sql = "SELECT c.BomId, c.SortSeq, c.ComponentId, o.WhCode FROM IDS(?1) f CROSS JOIN bom_opcomponent c ON c.BomId = f.value "
                               "LEFT JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId WHERE " + db::lineInForce("c", "?2");
        Statement statement(Database::of(connection), sql.constData());
        statement.bindIds(1, QVector<int>(boms.begin(), boms.end()));
        statement.bind(2, date.toUtf8());
        while (statement.next())
            codes_.try_emplace(Key{statement.integer(0), statement.integer(1), statement.integer(2)}, statement.text(3));
    }
    QString of(int bom, int sortSeq, int component) const
    {
        const auto found = codes_.find(Key{bom, sortSeq, component});
        return found == codes_.end() ? QString() : found->second;
    }

private:
    using Key = std::tuple<int, int, int>;
    std::map<Key, QString> codes_;
};

struct Side {
    std::vector<SideRow> rows;
};

Side walk(data::Connection& connection, BomGraph& graph, const ExplosionSide& side, int sideIndex, PathTree& tree, bool planRate)
{
    Side out;
    const int topBom = side.bomId ? side.bomId : graph.mainBom(side.part);
    if (!topBom)
        return out;
    const QVector<BomLine> topLines = graph.bomLines(topBom, side.part);
    QVector<int> below;
    for (const BomLine& line : topLines)
        below.append(line.componentId);
    graph.prefetchBelow(below);
    std::vector<int> path; // the node of each level above the row
    std::vector<int> boms;
    walkIndented(graph, side.part, topLines, planRate, 1.0, [&](const WalkedLine& walked) {
        const BomLine& line = walked.line;
        path.resize(static_cast<size_t>(walked.level - 1));
        const int parent = path.empty() ? -1 : path.back();
        const int node = tree.enter(sideIndex, parent, line.componentId, line.sortSeq, walked.level, static_cast<int>(out.rows.size()));
        path.push_back(node);
        const int bom = walked.level == 1 ? topBom : graph.mainBom(walked.parentPart);
        boms.push_back(bom);
        out.rows.push_back({node, bom, line.byProduct,
                            DiffValues{line.qtyN / line.qtyD, line.compScrap, line.quantity(planRate), walked.cumulative, line.wipType, QString(),
                                       walked.cycle ? cycleNote : line.byProduct ? byProductNote : QString()}});
    });
    const Warehouses warehouses(connection, graph.effDate(), std::move(boms));
    for (SideRow& row : out.rows) {
        const PathTree::Node& node = tree.node(row.node);
        row.values.warehouse = warehouses.of(row.bom, node.sortSeq, node.component);
    }
    return out;
}

QStringList differences(const DiffValues& a, const DiffValues& b)
{
    QStringList changed;
    if (!sameQuantity(a.baseQty, b.baseQty))
        changed.append(QStringLiteral("基本用量"));
    if (!sameQuantity(a.scrap, b.scrap))
        changed.append(QStringLiteral("损耗率"));
    if (!sameQuantity(a.cumulative, b.cumulative))
        changed.append(QStringLiteral("累计用量"));
    if (a.wipType != b.wipType)
        changed.append(QStringLiteral("供应类型"));
    if (a.warehouse != b.warehouse)
        changed.append(QStringLiteral("仓库"));
    if (a.note != b.note)
        changed.append(QStringLiteral("说明"));
    return changed;
}

} // namespace

bool sameQuantity(double a, double b)
{
    return std::abs(a - b) <= 1e-9 * std::max({1.0, std::abs(a), std::abs(b)});
}

int ExplosionDiff::count(DiffChange change) const
{
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const DiffLine& line) { return line.change == change; }));
}

QString pathText(const ExplosionDiff& diff, int line)
{
    QStringList steps;
    for (int at = line; at >= 0; at = diff.lines[static_cast<size_t>(at)].parent) {
        const DiffLine& step = diff.lines[static_cast<size_t>(at)];
        steps.prepend(QStringLiteral("%1#%2").arg(step.free1.isEmpty() ? step.code : QStringLiteral("%1(%2)").arg(step.code, step.free1)).arg(step.sortSeq));
    }
    return steps.join(QStringLiteral(" / "));
}

ExplosionDiff diffExplosions(data::Connection& connection, const ExplosionSide& before, const ExplosionSide& after, bool planRate)
{
    const Database db = Database::of(connection);
    const ReadSnapshot snapshot(db); // both sides read the same state of the account
    BomGraph beforeGraph(connection, before.date);
    PathTree tree;
    const Side first = walk(connection, beforeGraph, before, 0, tree, planRate);
    BomGraph afterGraph(connection, after.date);
    const Side second = walk(connection, afterGraph, after, 1, tree, planRate);

    ExplosionDiff diff;
    diff.rowsBefore = static_cast<int>(first.rows.size());
    diff.rowsAfter = static_cast<int>(second.rows.size());
    diff.lines.reserve(tree.size());
    std::unordered_map<int, ComponentTotal> totals;
    // depth first over the tree: a node's children in the order the sides met them
    std::vector<std::pair<int, int>> stack; // (node, its parent's line)
    for (auto root = tree.roots().rbegin(); root != tree.roots().rend(); ++root)
        stack.push_back({*root, -1});
    while (!stack.empty()) {
        const auto [id, parentLine] = stack.back();
        stack.pop_back();
        const PathTree::Node& node = tree.node(id);
        DiffLine line;
        line.level = node.level;
        line.parent = parentLine;
        line.component = node.component;
        line.sortSeq = node.sortSeq;
        const PartInfo& part = afterGraph.part(node.component);
        line.code = part.code;
        line.name = part.name;
        line.free1 = part.free1;
        line.unit = part.unit;
        ComponentTotal& total = totals[node.component];
        if (node.row[0] >= 0) {
            const SideRow& row = first.rows[static_cast<size_t>(node.row[0])];
            line.before = row.values;
            if (!row.byProduct)
                total.before += row.values.cumulative;
        }
        if (node.row[1] >= 0) {
            const SideRow& row = second.rows[static_cast<size_t>(node.row[1])];
            line.after = row.values;
            if (!row.byProduct)
                total.after += row.values.cumulative;
        }
        if (line.before && line.after) {
            line.changed = differences(*line.before, *line.after);
            line.change = line.changed.isEmpty() ? DiffChange::Same : DiffChange::Changed;
        } else
            line.change = line.before ? DiffChange::Removed : DiffChange::Added;
        const int index = static_cast<int>(diff.lines.size());
        diff.lines.push_back(std::move(line));
        for (auto child = node.children.rbegin(); child != node.children.rend(); ++child)
            stack.push_back({*child, index});
    }
    for (auto& [component, total] : totals) {
        if (sameQuantity(total.before, total.after))
            continue;
        const PartInfo& part = afterGraph.part(component);
        total.component = component;
        total.code = part.code;
        total.name = part.name;
        total.free1 = part.free1;
        total.unit = part.unit;
        diff.totals.push_back(total);
    }
    std::sort(diff.totals.begin(), diff.totals.end(), [](const ComponentTotal& a, const ComponentTotal& b) {
        return std::tie(a.code, a.free1, a.component) < std::tie(b.code, b.free1, b.component);
    });
    return diff;
}

} // namespace q7::host::db::procedures
