#include "host/db/procedures/BomGraph.h"
#include "host/db/procedures/packs/DownPack.h"
#include "host/db/procedures/packs/PackFromTables.h"

namespace q7::host::db::procedures::packs {

// Per part, its description and the join the explosion reads, for every date:
// the part's main BOMs in the order of its BOM rows, each with all its lines in
// the order of the line index. Columns: the line's (readLine's 0-10), then 11
// part, 12 BOM row, 13 BOM (NULL: no main BOM on the row), 14 version, 15-16
// version dates, 17 parent scrap, 18-19 line dates, 20-25 the description's
// texts (the item's NULL when the part has no item row), 26 the item's attribute.
QByteArray downPackQuery(bool onePart)
{
    return QByteArray("SELECT ") + lineColumns +
           ", p.PartId, t.rowid, b.BomId, b.Version, b.VersionEffDate, b.VersionEndDate, t.ParentScrap, c.EffBegDate, c.EffEndDate, " +
           descriptionColumns + " FROM bas_part p" + itemJoin + " LEFT JOIN bom_parent t ON t.ParentId = p.PartId"
           " LEFT JOIN bom_bom b ON b.BomId = t.BomId AND b.BomType = 1 LEFT JOIN bom_opcomponent c ON c.BomId = b.BomId"
           " LEFT JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId" +
           QByteArray(onePart ? " WHERE p.PartId = ?1" : " WHERE p.PartId NOT IN (SELECT PartId FROM bom_pack_down)") +
           " ORDER BY p.PartId, t.rowid, c.OpComponentId";
}

namespace {

// Builds packs from the rows of downPackQuery, part by part, handing each finished
// one to store(part, pack or empty when the part cannot be packed).
class Packer {
public:
    template <typename Store>
    void run(Statement& s, Store&& store)
    {
        int part = 0;
        double bomRow = -1;
        bool packable = true, started = false;
        PackWriter writer;
        const auto finishPart = [&] {
            const QByteArray pack = writer.finish();
            if (started)
                store(part, packable ? pack : QByteArray());
            packable = true;
        };
        while (s.next()) {
            const int rowPart = s.integer(11);
            if (!started || rowPart != part) {
                finishPart();
                started = true;
                part = rowPart;
                bomRow = -1;
                writer.describe(readDescriptionBytes(s, 20));
            }
            if (s.isNull(13)) // no BOM, or a substitute BOM's row
                continue;
            const double rowBom = s.real(12);
            if (rowBom != bomRow) {
                bomRow = rowBom;
                int from = 0, until = 0;
                packable = packable && dateOf(s, 15, OpenFrom, from) && dateOf(s, 16, OpenUntil, until);
                writer.beginBom(s.integer(13), s.real(14), from, until, s.real(17));
            }
            if (s.isNull(0)) // a BOM without lines
                continue;
            int from = 0, until = 0;
            packable = packable && dateOf(s, 18, 0, from) && dateOf(s, 19, 0, until);
            writer.addLine(readLine(s), from, until);
        }
        finishPart();
    }
};

} // namespace

void packDown(const Database& db, Statement& rows)
{
    Statement put(db, "INSERT OR REPLACE INTO bom_pack_down (PartId, Data) VALUES (?1, ?2)");
    Statement drop(db, "DELETE FROM bom_pack_down WHERE PartId = ?1");
    Packer().run(rows, [&](int part, const QByteArray& data) {
        Statement& s = data.isEmpty() ? drop : put; // a part that cannot be packed is read from the tables
        s.bind(1, part);
        if (!data.isEmpty())
            s.bindBlob(2, data);
        s.next();
        s.reset();
    });
}

} // namespace q7::host::db::procedures::packs
