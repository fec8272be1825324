#include "host/db/AccountDatabase.h"
#include "host/db/InForce.h"

#include "host/db/AccountSchema.h"
#include "host/db/SqlInserter.h"
#include "host/db/procedures/packs/DownPack.h"
#include "host/db/procedures/packs/PackUpkeep.h"
#include "host/db/procedures/Statement.h"
#include "host/db/procedures/packs/UsePack.h"
#include "platform/AutomationError.h"

#include <QSqlQuery>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace q7::host::db {

namespace {

// splitmix64: small, fast and the same on every platform.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int64_t below(int64_t n) { return static_cast<int64_t>(next() % static_cast<uint64_t>(n)); }

private:
    uint64_t state_;
};

// Writes packs of the embedded file as they are made.
class PackInserts {
public:
    explicit PackInserts(QSqlDatabase& db) : handle_(SqlInserter::handleOf(db))
    {
        db::procedures::packs::prepareTables(handle_);
        const auto database = db::procedures::Database::embeddedOf(handle_);
        down_.emplace(database, "INSERT INTO bom_pack_down (PartId, Data) VALUES (?1, ?2)");
        use_.emplace(database, "INSERT INTO bom_pack_use (PartId, Data) VALUES (?1, ?2)");
    }
    void down(int part, const QByteArray& pack) { put(*down_, part, pack); }
    void use(int part, const QByteArray& pack) { put(*use_, part, pack); }

private:
    static void put(db::procedures::Statement& s, int part, const QByteArray& pack)
    {
        s.bind(1, part);
        s.bindBlob(2, pack);
        s.next();
        s.reset();
    }
    sqlite3* handle_;
    std::optional<db::procedures::Statement> down_, use_;
};

// A line as the where-used packs need it, kept from the level that uses a part until its pack is
// written (small: a level of a large account holds a million).
struct Use {
    int component, parent, sortSeq;
    int16_t qtyN, compScrap, parentScrap;
    int8_t fvFlag;
    bool ended;
};

SyntheticSummary fillSynthetic(data::Connection& connection, const SyntheticOptions& options,
                               const std::function<void(int64_t, int64_t)>& progress)
{
    createSchema(connection);
    QSqlDatabase& db = connection.database();
    SqlInserter::exec(db, "PRAGMA journal_mode=OFF");
    SqlInserter::exec(db, "PRAGMA synchronous=OFF");
    SqlInserter::exec(db, "PRAGMA cache_size=-131072"); // 128 MB while loading
    SqlInserter::exec(db, "BEGIN");
    // The secondary indexes are built once the rows are in (a sort), not row by row (a random B-tree insert each).
    struct Index {
        QString table, sql;
    };
    QList<Index> indexes;
    { // the server loads in one transaction through COPY, its keys kept (they are constraints)
        QSqlQuery query(db);
        query.exec(connection.isEmbedded()
                       ? QStringLiteral("SELECT name, tbl_name, sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL")
                       : QStringLiteral("SELECT indexname, tablename, indexdef FROM pg_indexes WHERE schemaname = current_schema() "
                                        "AND indexname NOT IN (SELECT conname FROM pg_constraint)"));
        QStringList names;
        while (query.next()) {
            names.append(query.value(0).toString());
            indexes.append({query.value(1).toString(), query.value(2).toString()});
        }
        for (const QString& name : names)
            SqlInserter::exec(db, QStringLiteral("DROP INDEX \"%1\"").arg(name).toUtf8().constData());
    }

    // On the file the packed BOMs are written with the rows (reading them back to pack them would
    // take as long again); the account's builder adds the triggers that keep them afterwards.
    std::optional<PackInserts> packsStore;
    if (connection.isEmbedded())
        packsStore.emplace(db);
    PackInserts* packs = packsStore ? &*packsStore : nullptr;

    // Parts are spread evenly over the levels; level 0 holds the products.
    const int64_t n = options.parts;
    const auto levelStart = [&](int level) { return n * level / options.depth; };
    Random random(options.seed);
    SyntheticSummary summary;
    const int64_t expectedLines = levelStart(options.depth - 1) * options.fanout; // every part above the last level has a BOM

    // Progress goes in BOM lines; the parts before them and the indexes after
    // them count as their share of the work (a part as two lines, an index
    // entry as half a line), so that the bar moves from start to end.
    const auto rowsOf = [&](const QString& table) -> int64_t {
        const auto is = [&](const char* name) { return table.compare(QLatin1String(name), Qt::CaseInsensitive) == 0; };
        if (is("bom_opcomponent"))
            return expectedLines;
        if (is("bom_bom") || is("bom_parent"))
            return levelStart(options.depth - 1);
        return is("Inventory") || is("bas_part") ? n : 0;
    };
    int64_t work = 2 * n + expectedLines;
    for (const Index& index : indexes)
        work += rowsOf(index.table) / 2;
    const auto worked = [&](int64_t done) {
        if (progress)
            progress(static_cast<int64_t>(static_cast<double>(done) / static_cast<double>(work) * static_cast<double>(expectedLines)),
                     expectedLines);
    };

    // A part's description as the explosions read it: no model and size, free items empty;
    // built as UTF-8 directly (the load makes a few million of them).
    const auto codeOf = [](int64_t i) {
        char code[16];
        const int size = std::snprintf(code, sizeof code, "S%07lld", static_cast<long long>(i + 1));
        return QByteArray(code, size);
    };
    const QByteArray namePrefix = QStringLiteral("合成件").toUtf8();
    const auto describedAs = [&](int64_t i) {
        const bool leaf = i >= levelStart(options.depth - 1);
        return db::procedures::packs::DescriptionBytes{{codeOf(i), namePrefix + QByteArray::number(static_cast<long long>(i + 1)), std::nullopt, QByteArray("个"), QByteArray(""),
                          QByteArray("")},
                         leaf ? 1 : 3};
    };
    {
        SqlInserter item(db, QStringLiteral("INSERT INTO Inventory (cInvCode, cInvName, cComUnitName, InvAttr) VALUES (?,?,?,?)"));
        SqlInserter part(db, QStringLiteral("INSERT INTO bas_part (PartId, InvCode) VALUES (?,?)"));
        const QString unit = QStringLiteral("个");
        for (int64_t i = 0; i < n; ++i) {
            const db::procedures::packs::DescriptionBytes d = describedAs(i);
            item.insert({*d.texts[0], *d.texts[1], unit, d.attr});
            part.insert({static_cast<long long>(i + 1), *d.texts[0]});
            if ((i + 1) % 10000 == 0)
                worked(2 * (i + 1));
        }
        summary.parts = n;
    }

    SqlInserter bom(db, QStringLiteral("INSERT INTO bom_bom (BomId, BomType, Version, VersionEffDate, VersionEndDate) VALUES (?,1,1,'%1','%2')")
                            .arg(QLatin1String(OpenBegin), QLatin1String(OpenEnd)));
    SqlInserter parent(db, QStringLiteral("INSERT INTO bom_parent (BomId, ParentId, ParentScrap) VALUES (?,?,?)"));
    // Whole numbers only per line (the REAL columns take them as reals); the dates are the statement's own.
    const auto lineInserter = [&](const char* endDate) {
        return QStringLiteral("INSERT INTO bom_opcomponent (OpComponentId, BomId, ComponentId, SortSeq, BaseQtyN, BaseQtyD, CompScrap, FVFlag, "
                              "EffBegDate, EffEndDate) VALUES (?,?,?,?,?,1,?,?,'%1','%2')")
            .arg(QLatin1String(OpenBegin), QLatin1String(endDate));
    };
    SqlInserter openLines(db, lineInserter(OpenEnd)), endedLines(db, lineInserter("2010-01-01"));
    int64_t lineId = 0;
    // The where-used packs of a level's parts are written once the level above has made its lines:
    // those are all the lines that use them.
    std::vector<bool> used(static_cast<size_t>(n), false);
    std::vector<Use> uses;
    db::procedures::packs::UseWriter useWriter;
    db::procedures::packs::PackWriter pack; // of one part at a time
    // Writes the packs of the parts first..end, whose users are the parts parentFirst..parentEnd.
    const auto writeUses = [&](int64_t first, int64_t end, int64_t parentFirst, int64_t parentEnd) {
        { // by component, each component's uses in the order they were made: a counting sort over the level's ids
            std::vector<size_t> start(static_cast<size_t>(end - first) + 1, 0);
            for (const Use& u : uses)
                ++start[static_cast<size_t>(u.component - 1 - first) + 1];
            for (size_t k = 1; k < start.size(); ++k)
                start[k] += start[k - 1];
            std::vector<Use> sorted(uses.size());
            for (const Use& u : uses)
                sorted[start[static_cast<size_t>(u.component - 1 - first)]++] = u;
            uses = std::move(sorted);
        }
        // each unused parent's description (the packs hold no other), made once for its tens of lines
        std::vector<std::optional<db::procedures::packs::DescriptionBytes>> parents(static_cast<size_t>(parentEnd - parentFirst));
        for (int64_t p = parentFirst; p < parentEnd; ++p)
            if (!used[static_cast<size_t>(p)])
                parents[static_cast<size_t>(p - parentFirst)] = describedAs(p);
        auto next = uses.begin();
        for (int64_t c = first; c < end; ++c) {
            useWriter.describe(describedAs(c));
            int parent = 0;
            for (; next != uses.end() && next->component == c + 1; ++next) {
                if (next->parent != parent) {
                    parent = next->parent;
                    useWriter.beginParent(parent, used[static_cast<size_t>(parent - 1)]);
                    useWriter.addParentBom(parent, 1, 20000101, 20991231); // a part's BOM has the part's id
                    if (const auto& d = parents[static_cast<size_t>(parent - 1 - parentFirst)])
                        useWriter.describeParent(*d);
                }
                db::procedures::BomLine line;
                line.componentId = next->component;
                line.parentId = line.bomId = next->parent;
                line.sortSeq = next->sortSeq;
                line.qtyN = next->qtyN;
                line.compScrap = next->compScrap;
                line.parentScrap = next->parentScrap;
                line.fvFlag = next->fvFlag;
                useWriter.addLine(line, 20000101, next->ended ? 20100101 : 20991231);
            }
            packs->use(static_cast<int>(c + 1), useWriter.finish());
        }
        uses.clear();
    };
    if (packs)
        writeUses(0, levelStart(1), 0, 0); // the products: nothing uses them
    for (int level = 0; level + 1 < options.depth; ++level) {
        const int64_t childFirst = levelStart(level + 1);
        const int64_t childCount = levelStart(level + 2 > options.depth ? options.depth : level + 2) - childFirst;
        for (int64_t p = levelStart(level); p < levelStart(level + 1); ++p) {
            const long long bomId = p + 1;
            bom.insertInts({bomId});
            const double parentScrap = random.below(4) == 0 ? 2.0 : 0.0;
            parent.insertInts({bomId, bomId, static_cast<long long>(parentScrap)}); // 0 or 2: whole
            ++summary.boms;
            if (packs) {
                pack.describe(describedAs(p));
            }
            pack.beginBom(static_cast<int>(bomId), 1, 20000101, 20991231, parentScrap);
            for (int k = 0; k < options.fanout; ++k) {
                db::procedures::BomLine l;
                l.componentId = static_cast<int>(childFirst + random.below(std::max<int64_t>(childCount, 1)) + 1);
                const bool endedLine = random.below(20) == 0; // one line in twenty is no longer valid
                l.sortSeq = (k + 1) * 10;
                l.qtyN = static_cast<double>(1 + random.below(4));
                l.compScrap = random.below(3) == 0 ? 5.0 : 0.0;
                l.fvFlag = static_cast<int>(random.below(2));
                (endedLine ? endedLines : openLines).insertInts({++lineId, bomId, l.componentId, l.sortSeq, static_cast<long long>(l.qtyN),
                                                                   static_cast<long long>(l.compScrap), l.fvFlag});
                pack.addLine(l, 20000101, endedLine ? 20100101 : 20991231);
                used[static_cast<size_t>(l.componentId - 1)] = true;
                if (packs)
                    uses.push_back({l.componentId, static_cast<int>(bomId), l.sortSeq, static_cast<int16_t>(l.qtyN), static_cast<int16_t>(l.compScrap),
                                    static_cast<int16_t>(parentScrap), static_cast<int8_t>(l.fvFlag), endedLine});
                if (lineId % 20000 == 0)
                    worked(2 * n + lineId);
            }
            const QByteArray packed = pack.finish();
            if (packs)
                packs->down(static_cast<int>(bomId), packed);
        }
        if (packs)
            writeUses(childFirst, levelStart(level + 2 > options.depth ? options.depth : level + 2), levelStart(level), levelStart(level + 1));
    }
    if (packs) // the last level's parts: a description and no BOM
        for (int64_t i = levelStart(options.depth - 1); i < n; ++i) {
            pack.describe(describedAs(i));
            packs->down(static_cast<int>(i + 1), pack.finish());
        }
    summary.lines = lineId;
    int64_t done = 2 * n + lineId;
    for (const Index& index : indexes) {
        SqlInserter::exec(db, index.sql.toUtf8().constData());
        done += rowsOf(index.table) / 2;
        worked(done);
    }
    SqlInserter::exec(db, "COMMIT");
    if (progress)
        progress(lineId, expectedLines);
    return summary;
}

} // namespace

QString syntheticOptionsRefusal(const SyntheticOptions& options)
{
    if (options.parts < 2 || options.depth < 2 || options.fanout < 1 || options.parts < options.depth)
        return QStringLiteral("A synthetic account needs at least 2 parts, 2 levels, as many parts as levels and a fanout of 1 or more");
    return {};
}

SyntheticSummary createSyntheticAccount(const QString& path, const SyntheticOptions& options,
                                        const std::function<void(int64_t, int64_t)>& progress, Existing existing)
{
    if (const QString refusal = syntheticOptionsRefusal(options); !refusal.isEmpty())
        throw AutomationError(ErrBadCallOrArgument, refusal);
    SyntheticSummary summary;
    buildAccountFile(path, existing, [&](data::Connection& connection) { summary = fillSynthetic(connection, options, progress); });
    return summary;
}

} // namespace q7::host::db
