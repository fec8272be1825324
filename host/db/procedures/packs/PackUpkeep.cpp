#include "host/db/procedures/packs/PackUpkeep.h"

#include "host/db/SqlInserter.h"
#include "host/db/procedures/packs/PackFromTables.h"

#include <sqlite3.h>

namespace q7::host::db::procedures::packs {

namespace {

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

// The SELECT of the parts whose packs hold the rows whose keys `keys` lists (an expression list).
QByteArray partsSql(const Watch& w, const QByteArray& keys, const QByteArray& selectKeys)
{
    return QByteArray(w.parts).replace("%1", keys).replace("%2", selectKeys);
}

// Marks stale and drops the packs of the parts `parts` selects.
QByteArray dropPartsSql(const char* packs, const QByteArray& parts)
{
    return "INSERT OR IGNORE INTO " + QByteArray(packs) + "_stale " + parts + "; DELETE FROM " + packs + " WHERE PartId IN (" + parts + ");";
}

// Marks stale and drops the packs that hold the rows whose keys `keys` lists (an expression list).
QByteArray dropSql(const Watch& w, const QByteArray& keys, const QByteArray& selectKeys)
{
    return dropPartsSql(w.packs, partsSql(w, keys, selectKeys));
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

} // namespace

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
        Statement rows(database, downPackQuery(false).constData());
        packDown(database, rows);
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
            Statement rows(database, downPackQuery(true).constData());
            for (int part : parts) {
                rows.bind(1, part);
                packDown(database, rows);
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
        refresh(db::SqlInserter::handleOf(db));
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
    // The parts of every watch of a kind of pack are gathered first, so that each watch's SELECT runs
    // once (not once to mark the parts stale and again to drop their packs); the packs of them all then
    // go at once.
    QList<const char*> packsHeld;
    for (const Watch* w : held) {
        const QByteArray keys = "SELECT Key FROM temp." + heldTable(*w), parts = QByteArray("bom_held_") + w->packs;
        if (!packsHeld.contains(w->packs)) {
            packsHeld.append(w->packs);
            exec(db, ("CREATE TABLE IF NOT EXISTS temp." + parts + " (PartId PRIMARY KEY) WITHOUT ROWID").constData());
        }
        exec(db, ("INSERT OR IGNORE INTO temp." + parts + ' ' + partsSql(*w, keys, keys)).constData());
    }
    for (const char* packs : packsHeld) {
        const QByteArray parts = QByteArray("bom_held_") + packs;
        exec(db, (dropPartsSql(packs, "SELECT PartId FROM temp." + parts) + "DROP TABLE temp." + parts).constData());
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

} // namespace q7::host::db::procedures::packs
