#pragma once

#include <QByteArray>

#include <cmath>
#include <optional>

// How much of a component one unit of the parent takes, from a BOM line.
namespace q7::host::db {

// Fixed line (fvFlag 0): N / D × (1 + component scrap %); variable line
// (fvFlag 1): also ÷ (1 − parent scrap %); any other flag: 0. With a plan
// factor, × factor / 100 (a line without one counts as 100). Nothing is
// guarded: the reports' statements compute the same and show what comes out.
inline double lineQuantity(double qtyN, double qtyD, double compScrap, int fvFlag, double parentScrap,
                           std::optional<double> planFactor = std::nullopt)
{
    double q = qtyN / qtyD * (1 + compScrap / 100);
    if (fvFlag == 1)
        q /= (1 - parentScrap / 100);
    else if (fvFlag != 0)
        return 0;
    if (planFactor)
        q = q * *planFactor / 100;
    return q;
}

// What a line's quantities may be: the base quantity's numerator and
// denominator finite and above 0, the component scrap from 0 up to (not
// including) 100 %.
inline bool validBaseQuantity(double value) { return std::isfinite(value) && value > 0; }
inline bool validScrap(double percent) { return percent >= 0 && percent < 100; }
// The same over the line `alias` (bom_opcomponent) in SQL: true for a line that breaks it.
inline QByteArray quantityBroken(const char* alias)
{
    const QByteArray a(alias);
    return "NOT (coalesce(" + a + ".BaseQtyN, 0) > 0 AND coalesce(" + a + ".BaseQtyD, 0) > 0 AND abs(" + a + ".BaseQtyN) < 1e308 AND abs(" + a +
           ".BaseQtyD) < 1e308 AND coalesce(" + a + ".CompScrap, 0) >= 0 AND coalesce(" + a + ".CompScrap, 0) < 100)";
}

} // namespace q7::host::db
