#include "host/db/procedures/BomPack.h"

#include "host/db/SqlInserter.h"
#include "host/db/procedures/Statement.h"
#include "host/db/procedures/UsePack.h"

#include <sqlite3.h>

#include <climits>
#include <cmath>
#include <cstring>

namespace q7::host::procedures::packs {

std::optional<int> day(QByteArrayView text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    int value = 0;
    for (qsizetype i = 0; i < 10; ++i) {
        if (i == 4 || i == 7)
            continue;
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

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

namespace {

// Pack format: the part's description, then per BOM met its header (BOM id,
// version, dates, parent scrap, number of lines) and its lines; texts as their
// length + 1 (0 for NULL) and their UTF-8 bytes.

// Per part, its description and the join the explosion reads, for every date:
// the part's main BOMs in the order of its BOM rows, each with all its lines in
// the order of the line index. Columns: the line's (readLine's 0-10), then 11
// part, 12 BOM row, 13 BOM (NULL: no main BOM on the row), 14 version, 15-16
// version dates, 17 parent scrap, 18-19 line dates, 20-25 the description's
// texts (the item's NULL when the part has no item row), 26 the item's attribute.
QByteArray packQuery(bool onePart)
{
    return QByteArray("SELECT ") + lineColumns +
           ", p.PartId, t.rowid, b.BomId, b.Version, b.VersionEffDate, b.VersionEndDate, t.ParentScrap, c.EffBegDate, c.EffEndDate, " +
           descriptionColumns + " FROM bas_part p" + itemJoin + " LEFT JOIN bom_parent t ON t.ParentId = p.PartId"
           " LEFT JOIN bom_bom b ON b.BomId = t.BomId AND b.BomType = 1 LEFT JOIN bom_opcomponent c ON c.BomId = b.BomId"
           " LEFT JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId" +
           QByteArray(onePart ? " WHERE p.PartId = ?1" : " WHERE p.PartId NOT IN (SELECT PartId FROM bom_pack_down)") +
           " ORDER BY p.PartId, t.rowid, c.OpComponentId";
}

// Builds packs from the rows of packQuery, part by part, handing each finished
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

void exec(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throwDatabaseError(db);
}

// What drops a pack: a change to anything it holds. Each entry is a table,
// the kind of pack, and for the rows R changed the parts whose packs hold R:
// a SELECT in which %1 stands for the rows' keys as a list ("IN (%1)") and
// %2 for a SELECT of them. A trigger gives one row's key; a bulk write held
// (holdTriggers) gives the keys of every row it changed.
struct Watch {
    const char* name; // of its triggers
    const char* table;
    const char* key;
    const char* packs; // bom_pack_down: a part's description and BOMs; bom_pack_use: its uses
    const char* parts; // SELECT of part ids over the keys %1 / %2
    const char* updateOf = nullptr; // the columns whose update matters; none: any
};
// What a pack holds of a part and of its item: an update of any other column (a lead time, a user field) drops nothing.
constexpr const char* partColumns = "PartId, InvCode, Free1, Free2";
constexpr const char* itemColumns = "cInvCode, cInvName, cInvStd, cComUnitName, InvAttr";
// The parts the lines of a parent's BOMs use.
constexpr const char* componentsOfParent = "SELECT c.ComponentId FROM bom_parent t JOIN bom_opcomponent c ON c.BomId = t.BomId WHERE t.ParentId IN (%1)";
constexpr Watch watches[] = {
    {"bom_down_line", "bom_opcomponent", "BomId", "bom_pack_down", "SELECT ParentId FROM bom_parent WHERE BomId IN (%1)"},
    {"bom_down_options", "bom_opcomponentopt", "OptionsId", "bom_pack_down",
     "SELECT t.ParentId FROM bom_opcomponent c JOIN bom_parent t ON t.BomId = c.BomId WHERE c.OptionsId IN (%1)"},
    {"bom_down_parent", "bom_parent", "ParentId", "bom_pack_down", "%2"},
    {"bom_down_bom", "bom_bom", "BomId", "bom_pack_down", "SELECT ParentId FROM bom_parent WHERE BomId IN (%1)"},
    {"bom_down_part", "bas_part", "PartId", "bom_pack_down", "%2", partColumns},
    {"bom_down_item", "Inventory", "cInvCode", "bom_pack_down", "SELECT PartId FROM bas_part WHERE InvCode IN (%1)", itemColumns},
    // A use pack holds its part's description and the lines that use the part (with their options
    // and their parents' rows), and of each parent its description, its main BOMs and whether
    // anything uses it: a change to any of these drops the packs of the parts the parent's lines use.
    {"bom_use_line", "bom_opcomponent", "ComponentId", "bom_pack_use", "%2"},
    {"bom_use_line_used", "bom_opcomponent", "ComponentId", "bom_pack_use", componentsOfParent},
    {"bom_use_options", "bom_opcomponentopt", "OptionsId", "bom_pack_use", "SELECT ComponentId FROM bom_opcomponent WHERE OptionsId IN (%1)"},
    {"bom_use_parent_lines", "bom_parent", "BomId", "bom_pack_use", "SELECT ComponentId FROM bom_opcomponent WHERE BomId IN (%1)"},
    {"bom_use_parent", "bom_parent", "ParentId", "bom_pack_use", componentsOfParent},
    {"bom_use_bom", "bom_bom", "BomId", "bom_pack_use",
     // each parent once, however many of its BOMs the keys name
     "SELECT c.ComponentId FROM bom_parent s JOIN bom_opcomponent c ON c.BomId = s.BomId WHERE s.ParentId IN (SELECT ParentId FROM bom_parent WHERE BomId IN (%1))"},
    {"bom_use_part", "bas_part", "PartId", "bom_pack_use", "%2 UNION SELECT c.ComponentId FROM bom_parent t JOIN bom_opcomponent c ON c.BomId = t.BomId WHERE t.ParentId IN (%1)",
     partColumns},
    {"bom_use_item", "Inventory", "cInvCode", "bom_pack_use",
     "SELECT p.PartId FROM bas_part p WHERE p.InvCode IN (%1) UNION SELECT c.ComponentId FROM bas_part p JOIN bom_parent t ON t.ParentId = p.PartId"
     " JOIN bom_opcomponent c ON c.BomId = t.BomId WHERE p.InvCode IN (%1)", itemColumns},
};

// Marks stale and drops the packs that hold the rows whose keys `keys` lists (an expression list).
QByteArray dropSql(const Watch& w, const QByteArray& keys, const QByteArray& selectKeys)
{
    const QByteArray parts = QByteArray(w.parts).replace("%1", keys).replace("%2", selectKeys);
    return "INSERT OR IGNORE INTO " + QByteArray(w.packs) + "_stale " + parts + "; DELETE FROM " + w.packs + " WHERE PartId IN (" + parts + ");";
}

QByteArray dropSql(const Watch& w, const char* row)
{
    const QByteArray key = QByteArray(row) + '.' + w.key;
    return dropSql(w, key, "SELECT " + key);
}

// The format before: a part's BOMs and its description in tables of their own.
void dropFormerPacks(sqlite3* db)
{
    for (const char* former : {"bom_pack_bom_opcomponent", "bom_pack_bom_opcomponentopt", "bom_pack_bom_parent", "bom_pack_bom_bom",
                               "bom_pack_bas_part", "bom_pack_Inventory"})
        for (const char* kind : {"_i", "_d", "_u"})
            exec(db, (QByteArray("DROP TRIGGER IF EXISTS ") + former + kind).constData());
    exec(db, "DROP TABLE IF EXISTS bom_pack; DROP TABLE IF EXISTS bom_pack_stale; DROP TABLE IF EXISTS bom_pack_part;"
             "DROP TABLE IF EXISTS bom_pack_part_stale");
}

void createTriggers(sqlite3* db, const Watch& w)
{
    const QByteArray name = w.name;
    const QByteArray inserted = dropSql(w, "NEW"), deleted = dropSql(w, "OLD");
    const QByteArray sql = "CREATE TRIGGER IF NOT EXISTS " + name + "_i AFTER INSERT ON " + w.table + " BEGIN " + inserted + " END;" +
                           "CREATE TRIGGER IF NOT EXISTS " + name + "_d AFTER DELETE ON " + w.table + " BEGIN " + deleted + " END;" +
                           "CREATE TRIGGER IF NOT EXISTS " + name + "_u AFTER UPDATE" + (w.updateOf ? QByteArray(" OF ") + w.updateOf : QByteArray()) +
                           " ON " + w.table + " BEGIN " + deleted + inserted + " END;";
    exec(db, sql.constData());
}

void createTables(sqlite3* db)
{
    dropFormerPacks(db);
    prepareTables(db);
    exec(db, "CREATE INDEX IF NOT EXISTS bom_opcomponent_options ON bom_opcomponent(OptionsId);");
    for (const Watch& w : watches)
        createTriggers(db, w);
}

// Where a held write keeps the keys of a watched table's changed rows: a temporary table of this
// connection (named bare in a trigger's body, where names may not be qualified).
QByteArray heldTable(const Watch& w) { return QByteArray("bom_held_") + w.table + '_' + w.key; }

QVector<int> staleParts(const Database& db, const char* table)
{
    QVector<int> parts;
    Statement stale(db, (QByteArray("SELECT PartId FROM ") + table).constData());
    while (stale.next())
        parts.append(stale.integer(0));
    return parts;
}

// Packs the parts packQuery's rows give, replacing their packs.
void pack(const Database& db, Statement& rows)
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

} // namespace

void Writer::putReal(double value)
{
    if (value == std::trunc(value) && std::abs(value) < 1e9 && !(value == 0 && std::signbit(value))) {
        putVarint(zigzag(static_cast<long long>(value)) << 1);
        return;
    }
    putVarint(1);
    data_.append(reinterpret_cast<const char*>(&value), sizeof value);
}

void Writer::putText(const std::optional<QByteArray>& text)
{
    if (!text) {
        putVarint(0);
        return;
    }
    putVarint(static_cast<unsigned long long>(text->size()) + 1);
    data_.append(text->constData(), static_cast<size_t>(text->size()));
}

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

struct PackWriter::Buffers {
    Writer description, boms, header, lines, pack;
};

void PackWriter::describe(const DescriptionBytes& description)
{
    buffers_->description.data().clear();
    putDescription(buffers_->description, description);
}

PackWriter::PackWriter() : buffers_(std::make_unique<Buffers>()) {}
PackWriter::~PackWriter() = default;

void PackWriter::beginBom(int bomId, double version, int from, int until, double parentScrap)
{
    endBom();
    Writer& header = buffers_->header;
    header.putInt(bomId);
    header.putReal(version);
    header.putInt(from);
    header.putInt(until);
    header.putReal(parentScrap);
    open_ = true;
}

void PackWriter::addLine(const BomLine& line, int from, int until)
{
    ++lineCount_;
    putPackedLine(buffers_->lines, line, from, until);
}

void PackWriter::endBom()
{
    if (!open_)
        return;
    buffers_->header.putInt(lineCount_);
    buffers_->boms.data() += buffers_->header.data();
    buffers_->boms.data() += buffers_->lines.data();
    buffers_->header.data().clear();
    buffers_->lines.data().clear();
    lineCount_ = 0;
    open_ = false;
}

QByteArray PackWriter::finish()
{
    endBom();
    Writer& pack = buffers_->pack;
    appendDescription(pack, buffers_->description);
    pack.data() += buffers_->boms.data();
    const QByteArray result = pack.bytes(); // the buffers stay for the next
    pack.data().clear();
    buffers_->boms.data().clear();
    return result;
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

void prepareTables(sqlite3* db)
{
    exec(db, "CREATE TABLE IF NOT EXISTS bom_pack_down (PartId INTEGER PRIMARY KEY, Data BLOB NOT NULL);"
             "CREATE TABLE IF NOT EXISTS bom_pack_down_stale (PartId INTEGER PRIMARY KEY);"
             "CREATE TABLE IF NOT EXISTS bom_pack_use (PartId INTEGER PRIMARY KEY, Data BLOB NOT NULL);"
             "CREATE TABLE IF NOT EXISTS bom_pack_use_stale (PartId INTEGER PRIMARY KEY);");
}

namespace {
bool tableExists(sqlite3* db, const char* name)
{
    Statement exists(Database::embeddedOf(db), "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1");
    exists.bind(1, QByteArray(name));
    return exists.next();
}
} // namespace

bool kept(sqlite3* db) { return tableExists(db, "bom_pack_down_stale"); }

bool usesKept(sqlite3* db) { return tableExists(db, "bom_pack_use_stale"); }

void packAll(sqlite3* db)
{
    const bool own = sqlite3_get_autocommit(db) != 0;
    if (own)
        exec(db, "BEGIN");
    try {
        createTables(db);
        const Database database = Database::embeddedOf(db);
        Statement rows(database, packQuery(false).constData());
        pack(database, rows);
        packMissingUses(database);
        exec(db, "DELETE FROM bom_pack_down_stale; DELETE FROM bom_pack_use_stale");
        if (own)
            exec(db, "COMMIT");
    } catch (...) {
        if (own)
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void refresh(sqlite3* db)
{
    const Database database = Database::embeddedOf(db);
    if (kept(db)) {
        const QVector<int> parts = staleParts(database, "bom_pack_down_stale");
        if (!parts.isEmpty()) {
            Statement rows(database, packQuery(true).constData());
            for (int part : parts) {
                rows.bind(1, part);
                pack(database, rows);
                rows.reset();
            }
            exec(db, "DELETE FROM bom_pack_down_stale");
        }
    }
    if (usesKept(db)) { // an account packed before the use packs has none
        const QVector<int> uses = staleParts(database, "bom_pack_use_stale");
        if (!uses.isEmpty()) {
            packUses(database, uses);
            exec(db, "DELETE FROM bom_pack_use_stale");
        }
    }
}

void refresh(QSqlDatabase& db)
{
    if (db.driverName() == QLatin1String("QSQLITE"))
        refresh(account::SqlInserter::handleOf(db));
}

namespace {
// The watches whose triggers the account has (all of them, or those of an account packed before the use packs).
QList<const Watch*> watchesKept(sqlite3* db)
{
    QList<const Watch*> found;
    Statement exists(Database::embeddedOf(db), "SELECT 1 FROM sqlite_master WHERE type = 'trigger' AND name = ?1");
    for (const Watch& w : watches) {
        exists.bind(1, QByteArray(w.name) + "_i");
        if (exists.next())
            found.append(&w);
        exists.reset();
    }
    return found;
}
} // namespace

bool holdTriggers(sqlite3* db)
{
    const QList<const Watch*> held = watchesKept(db);
    if (held.isEmpty())
        return false;
    for (const Watch* w : held) {
        const QByteArray name = w->name, table = heldTable(*w), key = w->key;
        const QByteArray keep = "INSERT OR IGNORE INTO " + table + " VALUES (";
        exec(db, ("DROP TRIGGER " + name + "_i; DROP TRIGGER " + name + "_d; DROP TRIGGER " + name + "_u;"
                  "CREATE TABLE IF NOT EXISTS temp." + table + " (Key PRIMARY KEY) WITHOUT ROWID;"
                  "CREATE TEMP TRIGGER bom_held_" + name + "_i AFTER INSERT ON main." + w->table + " BEGIN " + keep + "NEW." + key + "); END;"
                  "CREATE TEMP TRIGGER bom_held_" + name + "_d AFTER DELETE ON main." + w->table + " BEGIN " + keep + "OLD." + key + "); END;"
                  "CREATE TEMP TRIGGER bom_held_" + name + "_u AFTER UPDATE" + (w->updateOf ? QByteArray(" OF ") + w->updateOf : QByteArray()) +
                  " ON main." + w->table + " BEGIN " + keep + "OLD." + key + "); " + keep + "NEW." + key + "); END;")
                     .constData());
    }
    return true;
}

void releaseTriggers(sqlite3* db)
{
    QList<const Watch*> held;
    {
        Statement exists(Database::embeddedOf(db), "SELECT 1 FROM temp.sqlite_master WHERE type = 'trigger' AND name = ?1");
        for (const Watch& w : watches) {
            exists.bind(1, "bom_held_" + QByteArray(w.name) + "_i");
            if (exists.next())
                held.append(&w);
            exists.reset();
        }
    }
    for (const Watch* w : held) {
        const QByteArray keys = "SELECT Key FROM temp." + heldTable(*w);
        exec(db, dropSql(*w, keys, keys).constData());
    }
    for (const Watch* w : held) {
        const QByteArray name = "bom_held_" + QByteArray(w->name);
        exec(db, ("DROP TRIGGER temp." + name + "_i; DROP TRIGGER temp." + name + "_d; DROP TRIGGER temp." + name + "_u;").constData());
    }
    for (const Watch* w : held)
        exec(db, ("DROP TABLE IF EXISTS temp." + heldTable(*w)).constData());
    for (const Watch* w : held)
        createTriggers(db, *w);
}

bool readBom(Reader& r, Bom& bom)
{
    int count = 0;
    if (!(r.readInt(bom.bomId) && r.readReal(bom.version) && r.readInt(bom.from) && r.readInt(bom.until) && r.readReal(bom.parentScrap) &&
          r.readInt(count)) ||
        count < 0)
        return false;
    bom.lines.resize(static_cast<size_t>(count));
    for (Line& l : bom.lines)
        if (!readPackedLine(r, l))
            return false;
    return true;
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

bool readDescription(QByteArrayView pack, Description& d)
{
    Reader r(pack);
    return readDescription(r, d);
}

} // namespace q7::host::procedures::packs
