#include "host/db/procedures/BomPack.h"

#include "host/db/SqlInserter.h"
#include "host/db/procedures/Statement.h"

#include <sqlite3.h>

#include <climits>
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

namespace {

// Pack format: per BOM met, its header (BOM id, version, dates, parent scrap,
// number of lines) and its lines; numbers in the machine's byte order, texts
// as a length (-1 for NULL) and their UTF-8 bytes.
constexpr int OpenFrom = INT_MIN;
constexpr int OpenUntil = 99991231; // '9999-12-31', what a missing end date reads as

class Writer {
public:
    void putInt(int value) { data_.append(reinterpret_cast<const char*>(&value), sizeof value); }
    void putReal(double value) { data_.append(reinterpret_cast<const char*>(&value), sizeof value); }
    void putText(const Statement& s, int column)
    {
        if (s.isNull(column)) {
            putInt(-1);
            return;
        }
        const QByteArrayView text = s.utf8(column);
        putInt(static_cast<int>(text.size()));
        data_.append(text.data(), text.size());
    }
    QByteArray& data() { return data_; }

private:
    QByteArray data_;
};

// A date column as the pack keeps it; false when it is not a yyyy-mm-dd text.
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

// The join the explosion reads, for every date: the part's main BOMs in the
// order of its BOM rows, each with all its lines in the order of the line index.
// Columns: the line's (readLine's 0-10), then 11 part, 12 BOM row, 13 BOM,
// 14 version, 15-16 version dates, 17 parent scrap, 18-19 line dates, 20-26
// the component's description, 27 whether it has one.
QByteArray packQuery(bool onePart)
{
    return QByteArray("SELECT ") + lineColumns +
           ", t.ParentId, t.rowid, b.BomId, b.Version, b.VersionEffDate, b.VersionEndDate, t.ParentScrap, c.EffBegDate, c.EffEndDate,"
           " cp.InvCode, i.cInvName, i.cInvStd, i.cComUnitName, cp.Free1, cp.Free2, i.InvAttr, i.rowid IS NOT NULL"
           " FROM bom_parent t JOIN bom_bom b ON b.BomId = t.BomId LEFT JOIN bom_opcomponent c ON c.BomId = b.BomId"
           " LEFT JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId"
           " LEFT JOIN bas_part cp ON cp.PartId = c.ComponentId LEFT JOIN Inventory i ON i.cInvCode = cp.InvCode"
           " WHERE b.BomType = 1" +
           (onePart ? " AND t.ParentId = ?1" : "") + " ORDER BY t.ParentId, t.rowid, c.OpComponentId";
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
        bool packable = true;
        int lineCount = 0;
        qsizetype countAt = -1;
        Writer writer;
        const auto finishBom = [&] {
            if (countAt >= 0)
                std::memcpy(writer.data().data() + countAt, &lineCount, sizeof lineCount);
            countAt = -1;
        };
        const auto finishPart = [&] {
            finishBom();
            if (part != 0)
                store(part, packable ? writer.data() : QByteArray());
            writer.data().clear();
            packable = true;
        };
        while (s.next()) {
            const int rowPart = s.integer(11);
            const double rowBom = s.real(12);
            if (rowPart != part) {
                finishPart();
                part = rowPart;
                bomRow = -1;
            }
            if (rowBom != bomRow) {
                finishBom();
                bomRow = rowBom;
                int from = 0, until = 0;
                packable = packable && dateOf(s, 15, OpenFrom, from) && dateOf(s, 16, OpenUntil, until);
                writer.putInt(s.integer(13));
                writer.putReal(s.real(14));
                writer.putInt(from);
                writer.putInt(until);
                writer.putReal(s.real(17));
                countAt = writer.data().size();
                lineCount = 0;
                writer.putInt(0);
            }
            if (s.isNull(0)) // a BOM without lines
                continue;
            ++lineCount;
            const BomLine line = readLine(s);
            int from = 0, until = 0;
            packable = packable && dateOf(s, 18, 0, from) && dateOf(s, 19, 0, until);
            writer.putInt(line.componentId);
            writer.putInt(line.sortSeq);
            writer.putReal(line.qtyN);
            writer.putReal(line.qtyD);
            writer.putReal(line.compScrap);
            writer.putInt(line.fvFlag);
            writer.putInt(line.planFactor ? 1 : 0);
            writer.putReal(line.planFactor.value_or(0));
            writer.putInt(line.wipType);
            writer.putInt(line.offset);
            writer.putInt(line.accuCost);
            writer.putInt(line.byProduct ? 1 : 0);
            writer.putInt(from);
            writer.putInt(until);
            const bool described = s.integer(27) != 0;
            writer.putInt(described ? 1 : 0);
            if (described) {
                for (int column = 20; column <= 25; ++column)
                    writer.putText(s, column);
                writer.putInt(s.integer(26));
            }
        }
        finishPart();
    }
};

void exec(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throwDatabaseError(db);
}

// What drops a part's pack: a change to anything the pack holds. Each entry is
// a table and, for its old or new row R, the parts whose packs hold R.
struct Watch {
    const char* table;
    const char* key;
    const char* parts; // SELECT of part ids, with %1 for the row's key
};
constexpr Watch watches[] = {
    {"bom_opcomponent", "BomId", "SELECT ParentId FROM bom_parent WHERE BomId = %1"},
    {"bom_opcomponentopt", "OptionsId",
     "SELECT t.ParentId FROM bom_opcomponent c JOIN bom_parent t ON t.BomId = c.BomId WHERE c.OptionsId = %1"},
    {"bom_parent", "ParentId", "SELECT %1"},
    {"bom_bom", "BomId", "SELECT ParentId FROM bom_parent WHERE BomId = %1"},
    {"bas_part", "PartId", "SELECT t.ParentId FROM bom_opcomponent c JOIN bom_parent t ON t.BomId = c.BomId WHERE c.ComponentId = %1"},
    {"Inventory", "cInvCode",
     "SELECT t.ParentId FROM bas_part p JOIN bom_opcomponent c ON c.ComponentId = p.PartId JOIN bom_parent t ON t.BomId = c.BomId "
     "WHERE p.InvCode = %1"},
};

QByteArray dropSql(const Watch& w, const char* row)
{
    const QByteArray parts = QByteArray(w.parts).replace("%1", QByteArray(row) + '.' + w.key);
    return "INSERT OR IGNORE INTO bom_pack_stale " + parts + "; DELETE FROM bom_pack WHERE PartId IN (" + parts + ");";
}

void createTables(sqlite3* db)
{
    exec(db, "CREATE TABLE IF NOT EXISTS bom_pack (PartId INTEGER PRIMARY KEY, Data BLOB NOT NULL);"
             "CREATE TABLE IF NOT EXISTS bom_pack_stale (PartId INTEGER PRIMARY KEY);"
             "CREATE INDEX IF NOT EXISTS bom_opcomponent_options ON bom_opcomponent(OptionsId);");
    for (const Watch& w : watches) {
        const QByteArray name = QByteArray("bom_pack_") + w.table;
        const QByteArray inserted = dropSql(w, "NEW"), deleted = dropSql(w, "OLD");
        const QByteArray sql = "CREATE TRIGGER IF NOT EXISTS " + name + "_i AFTER INSERT ON " + w.table + " BEGIN " + inserted + " END;" +
                               "CREATE TRIGGER IF NOT EXISTS " + name + "_d AFTER DELETE ON " + w.table + " BEGIN " + deleted + " END;" +
                               "CREATE TRIGGER IF NOT EXISTS " + name + "_u AFTER UPDATE ON " + w.table + " BEGIN " + deleted + inserted + " END;";
        exec(db, sql.constData());
    }
}

// Packs the parts packQuery's rows give, replacing their packs.
void pack(const Database& db, Statement& rows)
{
    Statement put(db, "INSERT OR REPLACE INTO bom_pack (PartId, Data) VALUES (?1, ?2)");
    Statement drop(db, "DELETE FROM bom_pack WHERE PartId = ?1");
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

bool kept(sqlite3* db)
{
    Statement exists(Database::embeddedOf(db), "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'bom_pack_stale'");
    return exists.next();
}

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
        exec(db, "DELETE FROM bom_pack_stale");
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
    if (!kept(db))
        return;
    const Database database = Database::embeddedOf(db);
    QVector<int> stale;
    {
        Statement parts(database, "SELECT PartId FROM bom_pack_stale");
        while (parts.next())
            stale.append(parts.integer(0));
    }
    if (stale.isEmpty())
        return;
    Statement rows(database, packQuery(true).constData());
    for (int part : stale) {
        rows.bind(1, part);
        pack(database, rows);
        rows.reset();
    }
    exec(db, "DELETE FROM bom_pack_stale");
}

void refresh(QSqlDatabase& db)
{
    if (db.driverName() == QLatin1String("QSQLITE"))
        refresh(account::SqlInserter::handleOf(db));
}

bool Reader::readInt(int& value)
{
    if (data_.size() - position_ < qsizetype(sizeof value))
        return false;
    std::memcpy(&value, data_.data() + position_, sizeof value);
    position_ += sizeof value;
    return true;
}

bool Reader::readReal(double& value)
{
    if (data_.size() - position_ < qsizetype(sizeof value))
        return false;
    std::memcpy(&value, data_.data() + position_, sizeof value);
    position_ += sizeof value;
    return true;
}

bool Reader::readText(Text& text)
{
    int size = 0;
    if (!readInt(size) || size < -1 || data_.size() - position_ < size)
        return false;
    text.null = size < 0;
    text.utf8 = text.null ? QByteArrayView() : data_.sliced(position_, size);
    position_ += std::max(size, 0);
    return true;
}

bool readBom(Reader& r, Bom& bom)
{
    int count = 0;
    if (!(r.readInt(bom.bomId) && r.readReal(bom.version) && r.readInt(bom.from) && r.readInt(bom.until) && r.readReal(bom.parentScrap) &&
          r.readInt(count)) ||
        count < 0)
        return false;
    bom.lines.resize(static_cast<size_t>(count));
    for (Line& l : bom.lines) {
        int hasPlan = 0, byProduct = 0, described = 0;
        double plan = 0;
        BomLine& line = l.line;
        if (!(r.readInt(line.componentId) && r.readInt(line.sortSeq) && r.readReal(line.qtyN) && r.readReal(line.qtyD) &&
              r.readReal(line.compScrap) && r.readInt(line.fvFlag) && r.readInt(hasPlan) && r.readReal(plan) && r.readInt(line.wipType) &&
              r.readInt(line.offset) && r.readInt(line.accuCost) && r.readInt(byProduct) && r.readInt(l.from) && r.readInt(l.until) &&
              r.readInt(described)))
            return false;
        line.planFactor = hasPlan ? std::optional<double>(plan) : std::nullopt;
        line.byProduct = byProduct != 0;
        l.described = described != 0;
        if (l.described && !(r.readText(l.code) && r.readText(l.name) && r.readText(l.invStd) && r.readText(l.unit) && r.readText(l.free1) &&
                              r.readText(l.free2) && r.readInt(l.attr)))
            return false;
    }
    return true;
}

} // namespace q7::host::procedures::packs
