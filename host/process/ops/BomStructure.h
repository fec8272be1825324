#pragma once

#include <QString>

#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace q7::host::db::procedures {
class Database;
}

namespace q7::host::process::ops {

// The parent → component structure of an account as a compact graph: every
// part is a node; an edge for each BOM line (and each substitute of a line)
// from every parent of the line's BOM, shared BOMs included.
class BomStructure {
public:
    // Lines in force on the date: the BOM's version dates (none = always)
    // and the line's dates contain it (EffBegDate <= date < EffEndDate).
    static BomStructure inForce(const db::procedures::Database& db, const QString& date);
    // Every line of every BOM, whatever its dates, but for the lines left out.
    static BomStructure allLines(const db::procedures::Database& db, const std::unordered_set<int>& leftOut = {});

    int nodeCount() const { return static_cast<int>(partIds_.size()); }
    int partId(int node) const { return partIds_[node]; }
    int nodeOf(int partId) const; // −1 for an unknown part
    int64_t edgeCount() const { return static_cast<int64_t>(targets_.size()); }
    // Components of a node (repeated when several lines name it).
    const int* begin(int node) const { return targets_.data() + offsets_[node]; }
    const int* end(int node) const { return targets_.data() + offsets_[node + 1]; }
    // Adds an edge to the built graph (what a change would add).
    void addEdge(int parentNode, int componentNode);

private:
    void build(const std::vector<std::pair<int, int>>& edges);

    std::vector<int> partIds_;
    std::unordered_map<int, int> nodes_;
    std::vector<int64_t> offsets_;
    std::vector<int> targets_;
};

// The strongly connected parts of a structure, in the order that puts every
// group after all the groups it reaches (components before parents).
struct StructureGroups {
    std::vector<int> groupOf;               // node → group
    std::vector<std::vector<int>> members;  // group → nodes
    std::vector<bool> cyclic;               // a group of several nodes, or one with a line to itself
};
StructureGroups strongGroups(const BomStructure& structure);

// A cycle through the group's first node, as nodes from it back to it.
std::vector<int> cycleThrough(const BomStructure& structure, const StructureGroups& groups, int group);
// A path from one node to another (both included), or empty when there is none.
std::vector<int> pathBetween(const BomStructure& structure, int from, int to);

} // namespace q7::host::process::ops
