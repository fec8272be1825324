#pragma once

#include "host/db/procedures/BomGraph.h"
#include "host/db/procedures/ProcedureSupport.h"

#include <QStringList>

#include <functional>
#include <vector>

// The walks of the BOM procedures. All are iterative: depth is limited only
// by memory. A part met again on its own path is listed, marked 循环 and not
// expanded (a BOM cycle); a by-product is listed, marked 产出品 and not expanded.
namespace q7::host::db::procedures {

extern const QStringList explosionColumns;
extern const QStringList summaryColumns;
extern const QStringList whereUsedColumns;

// A line as the indented walk meets it: its level, the part whose BOM holds
// it, its quantity multiplied down the path, and whether its component is
// already on the path (a cycle: not entered). A by-product is not entered.
struct WalkedLine {
    int level;
    int parentPart;
    const BomLine& line;
    double cumulative;
    bool cycle;
};
// The walk of 全阶 below one top part, depth first in line order, each line
// handed to visit as the explosion lists it.
void walkIndented(BomGraph& graph, int topPart, const QVector<BomLine>& topLines, bool planRate, double topQty,
                  const std::function<void(const WalkedLine&)>& visit);

// 全阶: the indented rows below one top part, depth first in line order. Each
// row carries the line's quantity per parent and the quantity multiplied down
// the path from the top quantity.
void explodeIndented(BomGraph& graph, int topPart, const QVector<BomLine>& topLines, bool planRate, double topQty, RowSink& out);

// A top part to summarise, with the lines of its BOM.
struct SummaryTop {
    int part;
    const QVector<BomLine>* lines;
};
// 阶列式: per top and level, every component's quantity summed over all paths
// from the top, equal to the indented rows summed per level and component,
// without enumerating paths (the walk keeps, per part, only the parts of its
// own path that lie in the part's strongly connected set, which is all a
// cycle check needs). Each top's rows come level by level in the report's
// order, the tops in the order given; tops are walked side by side on the
// machine's cores.
void summariseByLevel(BomGraph& graph, const std::vector<SummaryTop>& tops, bool planRate, RowSink& out);
// Orders summary rows by top part, level, component and its free item. The
// rows of the tops (in the order they were summarised) need no sorting when
// each top comes before the next by code and free item.
void sortSummary(data::ResultSet& out, BomGraph& graph, const std::vector<SummaryTop>& tops);

// Where-used upward from one part, depth first: every parent whose BOM at the
// date uses it, with the quantity per parent and multiplied up the path. The
// part's own by-product lines are followed (the explosion lists it under every
// ancestor of its maker); above the first level a by-product line is not (the
// explosion stops at a by-product, so nothing below it is used by the maker).
void whereUsed(BomGraph& graph, int startPart, bool planRate, RowSink& out);

} // namespace q7::host::db::procedures
