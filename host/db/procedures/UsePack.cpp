#include "host/db/procedures/UsePack.h"

#include "host/db/procedures/Statement.h"

#include <unordered_map>

namespace q7::host::procedures::packs {

// Format: the part's description; the number of parents, and per parent its
// id, whether it is used, its main BOMs (their number, then each one's id,
// version and dates), its description (none when it is used: its own pack,
// read next, holds it), and its lines in main BOMs that use the part (their
// number, then each one's BOM, the parent's scrap and the line as the BOM
// packs keep it). A description is 0 when there is none, else 1, the six
// texts and the attribute.

struct UseWriter::Buffers {
    Writer pack, description, parents, boms, parentDescription, lines; // an empty description: none
    bool open = false;
    int parentCount = 0, bomCount = 0, lineCount = 0;
    int parentId = 0;
    bool used = false;
};

UseWriter::UseWriter() : b_(std::make_unique<Buffers>()) {}
UseWriter::~UseWriter() = default;

void UseWriter::describe(const DescriptionBytes& description)
{
    b_->description.data().clear();
    putDescription(b_->description, description);
}

void UseWriter::beginParent(int parentId, bool used)
{
    endParent();
    b_->open = true;
    b_->parentId = parentId;
    b_->used = used;
}

void UseWriter::addParentBom(int bomId, double version, int from, int until)
{
    ++b_->bomCount;
    b_->boms.putInt(bomId);
    b_->boms.putReal(version);
    b_->boms.putInt(from);
    b_->boms.putInt(until);
}

void UseWriter::describeParent(const DescriptionBytes& description)
{
    b_->parentDescription.data().clear();
    putDescription(b_->parentDescription, description);
}

void UseWriter::addLine(const BomLine& line, int from, int until)
{
    ++b_->lineCount;
    b_->lines.putInt(line.bomId);
    b_->lines.putReal(line.parentScrap);
    putPackedLine(b_->lines, line, from, until);
}

void UseWriter::endParent()
{
    if (!b_->open)
        return;
    Writer& out = b_->parents;
    ++b_->parentCount;
    out.putInt(b_->parentId);
    out.putInt(b_->used ? 1 : 0);
    out.putInt(b_->bomCount);
    out.data() += b_->boms.data();
    appendDescription(out, b_->parentDescription);
    out.putInt(b_->lineCount);
    out.data() += b_->lines.data();
    b_->boms.data().clear(); // the buffers stay for the next parent
    b_->lines.data().clear();
    b_->bomCount = b_->lineCount = 0;
    b_->open = false;
}

QByteArray UseWriter::finish()
{
    endParent();
    Writer& pack = b_->pack;
    appendDescription(pack, b_->description);
    pack.putInt(b_->parentCount);
    pack.data() += b_->parents.data();
    const QByteArray result = pack.bytes(); // the buffers stay for the next
    pack.data().clear();
    b_->parents.data().clear();
    b_->parentCount = 0;
    return result;
}

namespace {

// What the packs of a parent's components hold of it, read once however many components it has.
struct Parent {
    bool used = false;
    bool packable = true; // its BOM dates are written as the packs keep them
    std::vector<UseBom> boms;
    std::optional<DescriptionBytes> description; // only of a parent nothing uses: a used one's own pack holds it
};

// Reads a part's use pack from the tables.
class UseReader {
public:
    explicit UseReader(const Database& db)
        : description_(db, (QByteArray("SELECT ") + descriptionColumns + " FROM bas_part p" + itemJoin + " WHERE p.PartId = ?1").constData()),
          used_(db, "SELECT EXISTS (SELECT 1 FROM bom_opcomponent WHERE ComponentId = ?1)"),
          boms_(db, "SELECT b.BomId, b.Version, b.VersionEffDate, b.VersionEndDate FROM bom_parent t JOIN bom_bom b ON b.BomId = t.BomId"
                    " WHERE b.BomType = 1 AND t.ParentId = ?1 ORDER BY t.rowid"),
          lines_(db, (QByteArray("SELECT ") + lineColumns +
                      ", t.ParentId, t.ParentScrap, c.BomId, c.EffBegDate, c.EffEndDate FROM bom_opcomponent c JOIN bom_parent t ON t.BomId = c.BomId"
                      " JOIN bom_bom b ON b.BomId = c.BomId AND b.BomType = 1" // a where-used goes through main BOMs only
                      " LEFT JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId WHERE c.ComponentId = ?1"
                      " ORDER BY t.ParentId, c.SortSeq, c.OpComponentId")
                         .constData())
    {
    }

    // The part's pack; empty when a date is not written as the packs keep it.
    QByteArray pack(int part)
    {
        bool packable = true;
        if (const auto d = description(part))
            writer_.describe(*d);
        int parent = 0;
        bool open = false;
        lines_.bind(1, part);
        while (lines_.next()) {
            BomLine line = readLine(lines_);
            line.parentId = lines_.integer(11);
            line.parentScrap = lines_.real(12);
            line.bomId = lines_.integer(13);
            if (!open || line.parentId != parent) {
                open = true;
                parent = line.parentId;
                packable = beginParent(parent) && packable;
            }
            int from = 0, until = 0;
            packable = packable && dateOf(lines_, 14, 0, from) && dateOf(lines_, 15, 0, until);
            writer_.addLine(line, from, until);
        }
        lines_.reset();
        QByteArray data = writer_.finish();
        return packable ? data : QByteArray();
    }

private:
    std::optional<DescriptionBytes> description(int part)
    {
        std::optional<DescriptionBytes> d;
        description_.bind(1, part);
        if (description_.next())
            d = readDescriptionBytes(description_, 0);
        description_.reset();
        return d;
    }
    const Parent& parentOf(int part)
    {
        const auto [found, made] = parents_.try_emplace(part);
        Parent& p = found->second;
        if (!made)
            return p;
        used_.bind(1, part);
        p.used = used_.next() && used_.integer(0) != 0;
        used_.reset();
        boms_.bind(1, part);
        while (boms_.next()) {
            UseBom b{boms_.integer(0), boms_.real(1), 0, 0};
            p.packable = p.packable && dateOf(boms_, 2, OpenFrom, b.from) && dateOf(boms_, 3, OpenUntil, b.until);
            p.boms.push_back(b);
        }
        boms_.reset();
        if (!p.used)
            p.description = description(part);
        return p;
    }
    // False when one of the parent's BOM dates cannot be packed.
    bool beginParent(int part)
    {
        const Parent& p = parentOf(part);
        writer_.beginParent(part, p.used);
        for (const UseBom& b : p.boms)
            writer_.addParentBom(b.bomId, b.version, b.from, b.until);
        if (p.description)
            writer_.describeParent(*p.description);
        return p.packable;
    }

    Statement description_, used_, boms_, lines_;
    UseWriter writer_;
    std::unordered_map<int, Parent> parents_; // within one packing: the tables do not change under it
};

} // namespace

void packUses(const Database& db, const QVector<int>& parts)
{
    UseReader reader(db);
    Statement put(db, "INSERT OR REPLACE INTO bom_pack_use (PartId, Data) VALUES (?1, ?2)");
    Statement drop(db, "DELETE FROM bom_pack_use WHERE PartId = ?1");
    for (int part : parts) {
        const QByteArray data = reader.pack(part);
        Statement& s = data.isEmpty() ? drop : put;
        s.bind(1, part);
        if (!data.isEmpty())
            s.bindBlob(2, data);
        s.next();
        s.reset();
    }
}

void packMissingUses(const Database& db)
{
    QVector<int> parts;
    Statement missing(db, "SELECT PartId FROM bas_part WHERE PartId NOT IN (SELECT PartId FROM bom_pack_use)");
    while (missing.next())
        parts.append(missing.integer(0));
    packUses(db, parts);
}

} // namespace q7::host::procedures::packs
