#include "host/db/procedures/BomGraph.h"
#include "host/db/procedures/packs/PackFromTables.h"
#include "host/db/procedures/packs/UsePack.h"

#include <unordered_map>

namespace q7::host::db::procedures::packs {

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

} // namespace q7::host::db::procedures::packs
