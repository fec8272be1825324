#pragma once

#include <QString>

// The plain recursive-CTE statements that give the same rows as the BOM
// reports. They hold for accounts like the synthetic one: one main BOM
// version per part, no cycles, no by-products, no plan rate.
namespace q7::bench {

struct ReferenceScope {
    QString effDate;     // yyyy-MM-dd
    QString lowCode, highCode; // the top parts' codes (explosions)
    QString leafCode;    // the part whose uses are listed (where-used)
    double quantity = 1; // the quantity exploded (quantity explosion)
};

// 全阶: every line below the top parts, one row per path.
QString indentedExplosionSql(const ReferenceScope& scope);
// 阶列式: the paths' quantities summed per top, level and component.
QString summaryExplosionSql(const ReferenceScope& scope);
// Where-used upward from one part, one row per path.
QString whereUsedSql(const ReferenceScope& scope);
// The indented explosion of scope.quantity units of each top part.
QString quantityExplosionSql(const ReferenceScope& scope);

} // namespace q7::bench
