#pragma once

#include "host/db/procedures/packs/PackRecords.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QVector>

#include <memory>
#include <optional>
#include <vector>

// Where-used packs of the embedded account: per part, in one row of
// bom_pack_use, what a where-used needs to go one level up from it: its
// description and every line of a main BOM that uses it, grouped by parent,
// each group with what the walk needs of the parent: the headers of its main
// BOMs (which one it uses at a date), whether any line uses the parent at all,
// and when none does, its description (else its own pack holds it). A
// where-used then reads a level with one seek per part instead of several per line, and never reads a part that nothing uses (most of a
// where-used's parts are products). Like the other packs they are a cache of
// the tables, dropped by triggers and packed again on save.
namespace q7::host::db::procedures::packs {

// A main BOM of a parent, as its choice at a date needs it.
struct UseBom {
    int bomId = 0;
    double version = 0;
    int from = 0, until = 0; // a missing date open
};

struct UseParent {
    int partId = 0;
    bool used = false; // whether any line, of any date, uses the parent
    std::vector<UseBom> boms;
    Description description; // only of a parent nothing uses
};

// Reads a part's use pack: describe(description) for the part, then for each
// parent takeParent(parent) and takeLine(line) for every line of the parent's
// in a main BOM that uses the part (whatever its dates) in the order of sequence and entry,
// once per parent row of its BOM, with its parent, BOM and the parent's scrap.
// False when the pack is damaged (the part is then read from the tables), in
// which case what was handed over is to be dropped.
template <typename Describe, typename TakeParent, typename TakeLine>
bool forEachUse(QByteArrayView pack, Describe&& describe, TakeParent&& takeParent, TakeLine&& takeLine);

class UseWriter {
public:
    UseWriter();
    ~UseWriter();
    // The part's description; none when it has no part row.
    void describe(const DescriptionBytes& description);
    // Opens the group of a parent: its lines follow.
    void beginParent(int parentId, bool used);
    void addParentBom(int bomId, double version, int from, int until);
    void describeParent(const DescriptionBytes& description);
    // A line of the open parent that uses the part, its BOM and the parent's scrap set.
    void addLine(const BomLine& line, int from, int until);
    // The pack; the writer starts over.
    QByteArray finish();

private:
    void endParent();
    struct Buffers;
    std::unique_ptr<Buffers> buffers_;
};

template <typename Describe, typename TakeParent, typename TakeLine>
bool forEachUse(QByteArrayView pack, Describe&& describe, TakeParent&& takeParent, TakeLine&& takeLine)
{
    Reader r(pack);
    Description own;
    if (!readDescription(r, own))
        return false;
    describe(static_cast<const Description&>(own));
    int parents = 0;
    if (!r.readInt(parents) || parents < 0)
        return false;
    UseParent parent;
    Line l;
    for (int p = 0; p < parents; ++p) {
        int used = 0, count = 0;
        if (!(r.readInt(parent.partId) && r.readInt(used) && r.readInt(count)) || count < 0)
            return false;
        parent.used = used != 0;
        parent.boms.resize(static_cast<size_t>(count));
        for (UseBom& b : parent.boms)
            if (!(r.readInt(b.bomId) && r.readReal(b.version) && r.readInt(b.from) && r.readInt(b.until)))
                return false;
        if (!readDescription(r, parent.description) || !r.readInt(count) || count < 0)
            return false;
        takeParent(static_cast<const UseParent&>(parent));
        l.line.parentId = parent.partId;
        for (int i = 0; i < count; ++i) {
            if (!(r.readInt(l.line.bomId) && r.readReal(l.line.parentScrap) && readPackedLine(r, l)))
                return false;
            takeLine(static_cast<const Line&>(l));
        }
    }
    return r.atEnd();
}

} // namespace q7::host::db::procedures::packs
