#pragma once

#include <optional>

namespace q7::host::db::procedures {

// One BOM line as the explosions read it, with its quantity per unit of parent.
struct BomLine {
    int componentId = 0;
    int parentId = 0;   // where-used lines: the parent part
    int bomId = 0;
    int sortSeq = 0;
    double qtyN = 0, qtyD = 1, compScrap = 0, parentScrap = 0;
    int fvFlag = 1;
    std::optional<double> planFactor;
    int wipType = 0;
    int offset = 0;
    int accuCost = 0;
    bool byProduct = false;

    // The line's quantity per parent unit (db::lineQuantity), with or without its plan factor.
    double quantity(bool planRate) const;
};

} // namespace q7::host::db::procedures
