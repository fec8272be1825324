#include "host/db/procedures/packs/PackRecords.h"

namespace q7::host::db::procedures::packs {

void putPackedLine(Writer& w, const BomLine& line, int from, int until)
{
    w.putInt(line.componentId);
    w.putInt(line.sortSeq);
    w.putReal(line.qtyN);
    w.putReal(line.qtyD);
    w.putReal(line.compScrap);
    w.putInt(line.fvFlag);
    w.putInt(line.planFactor ? 1 : 0);
    w.putReal(line.planFactor.value_or(0));
    w.putInt(line.wipType);
    w.putInt(line.offset);
    w.putInt(line.accuCost);
    w.putInt(line.byProduct ? 1 : 0);
    w.putInt(from);
    w.putInt(until);
}

bool readPackedLine(Reader& r, Line& l)
{
    int hasPlan = 0, byProduct = 0;
    double plan = 0;
    BomLine& line = l.line;
    if (!(r.readInt(line.componentId) && r.readInt(line.sortSeq) && r.readReal(line.qtyN) && r.readReal(line.qtyD) &&
          r.readReal(line.compScrap) && r.readInt(line.fvFlag) && r.readInt(hasPlan) && r.readReal(plan) && r.readInt(line.wipType) &&
          r.readInt(line.offset) && r.readInt(line.accuCost) && r.readInt(byProduct) && r.readInt(l.from) && r.readInt(l.until)))
        return false;
    line.planFactor = hasPlan ? std::optional<double>(plan) : std::nullopt;
    line.byProduct = byProduct != 0;
    return true;
}

void putDescription(Writer& w, const DescriptionBytes& description)
{
    w.putInt(1);
    for (const auto& text : description.texts)
        w.putText(text);
    w.putInt(description.attr);
}

void appendDescription(Writer& out, Writer& description)
{
    if (description.data().empty())
        out.putInt(0);
    else
        out.data() += description.data();
    description.data().clear();
}

bool readDescription(Reader& r, Description& d)
{
    int present = 0;
    if (!r.readInt(present) || present < 0 || present > 1)
        return false;
    d.present = present == 1;
    if (!d.present)
        return true;
    for (Text& text : d.texts)
        if (!r.readText(text))
            return false;
    return r.readInt(d.attr);
}

} // namespace q7::host::db::procedures::packs
