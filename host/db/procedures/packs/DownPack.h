#pragma once

#include "host/db/procedures/packs/PackRecords.h"

#include <QByteArray>
#include <QByteArrayView>

#include <memory>
#include <vector>

// Packed BOMs of the embedded account: per part, one row of bom_pack_down
// holds what an explosion needs of the part: its description and its main
// BOMs with every line (whatever its dates), so that an explosion reads a
// part with one seek instead of a seek per line, option and description
// table. The packs are a cache of the tables: triggers drop a pack (and note
// its part in bom_pack_down_stale) whenever anything it holds changes, the
// saving code packs the noted parts again before it commits, and a part
// without a pack is read from the tables.
namespace q7::host::db::procedures::packs {

// One BOM of the part as the explosion's join meets it (a BOM listed twice
// for the part is met twice), with all its lines.
struct Bom {
    int bomId = 0;
    double version = 0;
    int from = 0, until = 0; // a missing date open
    double parentScrap = 0;
    std::vector<Line> lines;
};

// Reads a part's pack: describe(description), then take(bom) for every BOM in
// the order the join meets them; false when the pack is damaged (the part is
// then read from the tables).
template <typename Describe, typename Take>
bool forEachBom(QByteArrayView pack, Describe&& describe, Take&& take);
// The description alone, at the head of a part's pack.
bool readDescription(QByteArrayView pack, Description& description);

// Writes the pack of one part: its description, then its BOMs in the order
// the explosion's join meets them, each followed by its lines in the order
// they were entered.
class PackWriter {
public:
    PackWriter();
    ~PackWriter();
    // The part's description; without a call, the part has none (no part row).
    void describe(const DescriptionBytes& description);
    void beginBom(int bomId, double version, int from, int until, double parentScrap);
    void addLine(const BomLine& line, int from, int until);
    // The part's pack; the writer starts over.
    QByteArray finish();

private:
    void endBom();
    struct Buffers;
    std::unique_ptr<Buffers> buffers_;
    int lineCount_ = 0;
    bool open_ = false;
};
bool readBom(Reader& reader, Bom& bom);

template <typename Describe, typename Take>
bool forEachBom(QByteArrayView pack, Describe&& describe, Take&& take)
{
    Reader reader(pack);
    Description own;
    if (!readDescription(reader, own))
        return false;
    describe(static_cast<const Description&>(own));
    Bom bom;
    while (!reader.atEnd()) {
        if (!readBom(reader, bom))
            return false;
        take(static_cast<const Bom&>(bom));
    }
    return true;
}

} // namespace q7::host::db::procedures::packs
