#include "host/process/ops/BomStructure.h"

#include "host/db/InForce.h"
#include "host/db/PathBack.h"
#include "host/db/StrongSets.h"

#include "host/db/procedures/Statement.h"
#include "platform/AutomationError.h"

#include <algorithm>
#include <deque>
#include <functional>

namespace q7::host::process::ops {

using db::procedures::Database;
using db::procedures::Statement;

namespace {

// The parents of each BOM (its own parent and those that share it).
std::unordered_map<int, std::vector<int>> bomParents(const Database& db, const QByteArray& sql, const QByteArray& date)
{
    std::unordered_map<int, std::vector<int>> parents;
    Statement s(db, sql.constData());
    if (!date.isNull())
        s.bind(1, date);
    while (s.next())
        parents[s.integer(0)].push_back(s.integer(1));
    return parents;
}

} // namespace

int BomStructure::nodeOf(int partId) const
{
    const auto found = nodes_.find(partId);
    return found == nodes_.end() ? -1 : found->second;
}

void BomStructure::build(const std::vector<std::pair<int, int>>& edges)
{
    offsets_.assign(partIds_.size() + 1, 0);
    for (const auto& [parent, component] : edges)
        ++offsets_[parent + 1];
    for (size_t i = 1; i < offsets_.size(); ++i)
        offsets_[i] += offsets_[i - 1];
    targets_.resize(edges.size());
    std::vector<int64_t> fill(offsets_.begin(), offsets_.end() - 1);
    for (const auto& [parent, component] : edges)
        targets_[fill[parent]++] = component;
}

void BomStructure::addEdge(int parentNode, int componentNode)
{
    targets_.insert(targets_.begin() + offsets_[parentNode + 1], componentNode);
    for (size_t i = parentNode + 1; i < offsets_.size(); ++i)
        ++offsets_[i];
}

namespace {

void readStructure(const Database& db, const QString& date, std::vector<int>& partIds, std::unordered_map<int, int>& nodes,
                   std::vector<std::pair<int, int>>& edges, const std::unordered_set<int>& leftOut = {})
{
    // one snapshot: a change committed by another connection between the reads cannot mix in
    const db::procedures::ReadSnapshot snapshot(db);
    {
        Statement parts(db, "SELECT PartId FROM bas_part ORDER BY PartId");
        while (parts.next()) {
            nodes.emplace(parts.integer(0), static_cast<int>(partIds.size()));
            partIds.push_back(parts.integer(0));
        }
    }
    const QByteArray d = date.isEmpty() ? QByteArray() : date.toUtf8();
    const auto parents = date.isEmpty()
                             ? bomParents(db, "SELECT t.BomId, t.ParentId FROM bom_parent t", d)
                             : bomParents(db,
                                          QByteArray("SELECT t.BomId, t.ParentId FROM bom_parent t JOIN bom_bom b ON b.BomId = t.BomId WHERE ") +
                                              db::bomInForce("b", "?1"),
                                          d);
    const auto addLines = [&](const QByteArray& sql, bool componentLines) {
        Statement lines(db, sql.constData());
        if (!d.isNull())
            lines.bind(1, d);
        while (lines.next()) {
            if (componentLines && !leftOut.empty() && leftOut.count(lines.integer(2)))
                continue;
            const auto bom = parents.find(lines.integer(0));
            const auto component = nodes.find(lines.integer(1));
            if (bom == parents.end() || component == nodes.end())
                continue; // a BOM not in force, or a component that is no part
            for (int parent : bom->second) {
                const auto p = nodes.find(parent);
                if (p != nodes.end())
                    edges.emplace_back(p->second, component->second);
            }
        }
    };
    // a line's own key only where lines are left out (a million lines read a third less without it)
    const QByteArray lineColumns = leftOut.empty() ? QByteArray("c.BomId, c.ComponentId") : QByteArray("c.BomId, c.ComponentId, c.OpComponentId");
    if (d.isNull()) {
        addLines("SELECT " + lineColumns + " FROM bom_opcomponent c", true);
        addLines("SELECT c.BomId, s.PartId FROM bom_opcomponentsub s JOIN bom_opcomponent c ON c.OpComponentId = s.OpComponentId", false);
    } else {
        addLines("SELECT " + lineColumns + " FROM bom_opcomponent c WHERE " + db::lineInForce("c", "?1"), true);
        addLines(QByteArray("SELECT c.BomId, s.PartId FROM bom_opcomponentsub s JOIN bom_opcomponent c ON c.OpComponentId = s.OpComponentId "
                            "WHERE ") + db::lineInForce("c", "?1") + " AND " + db::substituteInForce("s", "?1"),
                 false);
    }
}

} // namespace

BomStructure BomStructure::inForce(const Database& db, const QString& date)
{
    BomStructure s;
    std::vector<std::pair<int, int>> edges;
    if (date.isEmpty())
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("The structure in force needs a date"));
    readStructure(db, date, s.partIds_, s.nodes_, edges);
    s.build(edges);
    return s;
}

BomStructure BomStructure::allLines(const Database& db, const std::unordered_set<int>& leftOut)
{
    BomStructure s;
    std::vector<std::pair<int, int>> edges;
    readStructure(db, QString(), s.partIds_, s.nodes_, edges, leftOut);
    s.build(edges);
    return s;
}

StructureGroups strongGroups(const BomStructure& structure)
{
    struct Graph {
        const BomStructure& structure;
        StructureGroups& groups;
        int childCount(int node) const { return static_cast<int>(structure.end(node) - structure.begin(node)); }
        int child(int node, int i) const { return structure.begin(node)[i]; }
        void set(const int* members, size_t count, bool cyclic)
        {
            const int group = static_cast<int>(groups.members.size());
            groups.members.emplace_back(std::make_reverse_iterator(members + count), std::make_reverse_iterator(members));
            for (size_t i = 0; i < count; ++i)
                groups.groupOf[static_cast<size_t>(members[i])] = group;
            groups.cyclic.push_back(cyclic);
        }
    };
    StructureGroups groups;
    groups.groupOf.assign(static_cast<size_t>(structure.nodeCount()), -1);
    Graph graph{structure, groups};
    db::StrongSets<Graph> sets(graph);
    for (int root = 0; root < structure.nodeCount(); ++root)
        sets.walk(root);
    return groups;
}

namespace {

// The shortest path from `from` to `to`, staying within the allowed nodes.
template <typename Allowed>
std::vector<int> search(const BomStructure& structure, int from, int to, Allowed allowed)
{
    return db::pathBetween(from, to, [&](int node) {
        std::vector<int> next;
        for (const int* c = structure.begin(node); c != structure.end(node); ++c)
            if (*c == to || allowed(*c))
                next.push_back(*c);
        return next;
    });
}

} // namespace

std::vector<int> cycleThrough(const BomStructure& structure, const StructureGroups& groups, int group)
{
    const std::vector<int>& members = groups.members[group];
    const int start = *std::min_element(members.begin(), members.end());
    return search(structure, start, start, [&](int node) { return groups.groupOf[node] == group; });
}

std::vector<int> pathBetween(const BomStructure& structure, int from, int to)
{
    if (from == to)
        return {from};
    return search(structure, from, to, [](int) { return true; });
}

} // namespace q7::host::process::ops
