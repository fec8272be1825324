#include "host/db/procedures/packs/PackFromTables.h"

namespace q7::host::db::procedures::packs {

bool dateOf(const Statement& s, int column, int whenNull, int& out)
{
    if (s.isNull(column)) {
        out = whenNull;
        return whenNull != 0;
    }
    if (!s.isText(column))
        return false;
    const auto d = day(s.utf8(column));
    if (!d)
        return false;
    out = *d;
    return true;
}

DescriptionBytes readDescriptionBytes(const Statement& s, int first)
{
    DescriptionBytes d;
    for (int column = 0; column < 6; ++column)
        if (!s.isNull(first + column))
            d.texts[column] = s.utf8(first + column).toByteArray();
    d.attr = s.integer(first + 6);
    return d;
}

} // namespace q7::host::db::procedures::packs
