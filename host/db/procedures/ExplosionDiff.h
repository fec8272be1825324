#pragma once

#include "platform/data/Ado.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// What differs between two indented explosions (全阶, as BO02004 lists them):
// of one product on two dates, of two products, or of a product and one
// version of its BOM. Rows are matched by their path, the chain of
// (component, line number) from the top, so that a component on two lines
// stays two rows; the top itself is not part of the path.
namespace q7::host::db::procedures {

// One side: the top part's BOM in force on the date (or the given BOM of the
// top, with its lines in force on the date), and the BOMs in force on the
// date below it.
struct ExplosionSide {
    int part = 0;
    QString date;
    int bomId = 0; // 0: the BOM in force
};

// A row's values on one side.
struct DiffValues {
    double baseQty = 0;    // BaseQtyN / BaseQtyD
    double scrap = 0;      // the line's scrap, percent
    double usage = 0;      // quantity per parent (使用数量)
    double cumulative = 0; // per top (累计用量)
    int wipType = 0;       // supply type
    QString warehouse;
    QString note; // 循环, 产出品 or empty, as the explosion marks it
};

enum class DiffChange { Same, Added, Removed, Changed };

struct DiffLine {
    DiffChange change = DiffChange::Same;
    int level = 0;
    int parent = -1; // the row above it in the tree (an index into lines), -1 at level 1
    int component = 0;
    int sortSeq = 0;
    QString code, name, free1, unit;
    std::optional<DiffValues> before, after;
    QStringList changed; // names of the values that differ (基本用量, 损耗率, 累计用量, 供应类型, 仓库, 说明)
};

// A component's cumulative quantity per top summed over its rows (by-products,
// which the parent gives off, not counted) on both sides.
struct ComponentTotal {
    int component = 0;
    QString code, name, free1, unit;
    double before = 0, after = 0;
};

struct ExplosionDiff {
    std::vector<DiffLine> lines; // every row of either side, in tree order (each row's parent before it)
    std::vector<ComponentTotal> totals; // components whose total differs, by code
    int rowsBefore = 0, rowsAfter = 0;
    int count(DiffChange change) const;
};

ExplosionDiff diffExplosions(data::Connection& connection, const ExplosionSide& before, const ExplosionSide& after, bool planRate = false);

// The row's path from the top: "FR-200#10 / FR-210#10" (component # line number).
QString pathText(const ExplosionDiff& diff, int line);

// Whether two quantities are the same for the diff (equal to 1e-9 of their size).
bool sameQuantity(double a, double b);

} // namespace q7::host::db::procedures
