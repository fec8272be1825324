#pragma once

#include <optional>

// How much of a component one unit of the parent takes, from a BOM line.
namespace q7::host::account {

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

} // namespace q7::host::account
