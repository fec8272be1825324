#include "host/db/AccountDatabase.h"

#include "host/db/AccountSchema.h"
#include "host/db/SqlInserter.h"
#include "platform/AutomationError.h"

#include <QSqlQuery>
#include <QStringList>

#include <algorithm>

namespace q7::host::account {

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

SyntheticSummary fillSynthetic(ado::Connection& connection, const SyntheticOptions& options,
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
    if (connection.isEmbedded()) { // a server's load is one transaction, where the schema stays as made
        QSqlQuery query(db);
        query.exec(QStringLiteral("SELECT name, tbl_name, sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL"));
        QStringList names;
        while (query.next()) {
            names.append(query.value(0).toString());
            indexes.append({query.value(1).toString(), query.value(2).toString()});
        }
        for (const QString& name : names)
            SqlInserter::exec(db, QStringLiteral("DROP INDEX \"%1\"").arg(name).toUtf8().constData());
    }

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
        if (table == QLatin1String("bom_opcomponent"))
            return expectedLines;
        if (table == QLatin1String("bom_bom") || table == QLatin1String("bom_parent"))
            return levelStart(options.depth - 1);
        return table == QLatin1String("Inventory") || table == QLatin1String("bas_part") ? n : 0;
    };
    int64_t work = 2 * n + expectedLines;
    for (const Index& index : indexes)
        work += rowsOf(index.table) / 2;
    const auto worked = [&](int64_t done) {
        if (progress)
            progress(static_cast<int64_t>(static_cast<double>(done) / static_cast<double>(work) * static_cast<double>(expectedLines)),
                     expectedLines);
    };

    if (connection.isEmbedded()) {
        // The same rows as below, made inside the database: no text formatted and bound per value.
        const QByteArray parts = QByteArray::number(static_cast<long long>(n));
        const QByteArray lastAssembly = QByteArray::number(static_cast<long long>(levelStart(options.depth - 1)));
        const QByteArray numbers = "WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < " + parts + ") ";
        SqlInserter::exec(db, ("INSERT INTO Inventory (cInvCode, cInvName, cComUnitName, InvAttr) " + numbers +
                               "SELECT printf('S%07d', i), '" + QStringLiteral("合成件").toUtf8() + "' || i, '" + QStringLiteral("个").toUtf8() +
                               "', CASE WHEN i > " + lastAssembly + " THEN 1 ELSE 3 END FROM k")
                                  .constData());
        SqlInserter::exec(db, ("INSERT INTO bas_part (PartId, InvCode) " + numbers + "SELECT i, printf('S%07d', i) FROM k").constData());
        worked(2 * n);
        summary.parts = n;
    } else {
        SqlInserter item(db, QStringLiteral("INSERT INTO Inventory (cInvCode, cInvName, cComUnitName, InvAttr) VALUES (?,?,?,?)"));
        SqlInserter part(db, QStringLiteral("INSERT INTO bas_part (PartId, InvCode) VALUES (?,?)"));
        for (int64_t i = 0; i < n; ++i) {
            const QString code = QStringLiteral("S%1").arg(i + 1, 7, 10, QLatin1Char('0'));
            const bool leaf = i >= levelStart(options.depth - 1);
            item.insert({code, QStringLiteral("合成件%1").arg(i + 1), QStringLiteral("个"), leaf ? 1 : 3});
            part.insert({static_cast<long long>(i + 1), code});
            if ((i + 1) % 10000 == 0)
                worked(2 * (i + 1));
        }
        summary.parts = n;
    }

    SqlInserter bom(db, QStringLiteral("INSERT INTO bom_bom (BomId, BomType, Version, VersionEffDate, VersionEndDate) VALUES (?,1,1,'2000-01-01','2099-12-31')"));
    SqlInserter parent(db, QStringLiteral("INSERT INTO bom_parent (BomId, ParentId, ParentScrap) VALUES (?,?,?)"));
    // Whole numbers only per line (the REAL columns take them as reals); the dates are the statement's own.
    const auto lineInserter = [&](const char* endDate) {
        return QStringLiteral("INSERT INTO bom_opcomponent (OpComponentId, BomId, ComponentId, SortSeq, BaseQtyN, BaseQtyD, CompScrap, FVFlag, "
                              "EffBegDate, EffEndDate) VALUES (?,?,?,?,?,1,?,?,'2000-01-01','%1')")
            .arg(QLatin1String(endDate));
    };
    SqlInserter openLine(db, lineInserter("2099-12-31")), endedLine(db, lineInserter("2010-01-01"));
    int64_t lineId = 0;
    for (int level = 0; level + 1 < options.depth; ++level) {
        const int64_t childFirst = levelStart(level + 1);
        const int64_t childCount = levelStart(level + 2 > options.depth ? options.depth : level + 2) - childFirst;
        for (int64_t p = levelStart(level); p < levelStart(level + 1); ++p) {
            const long long bomId = p + 1;
            bom.insertInts({bomId});
            parent.insertInts({bomId, bomId, random.below(4) == 0 ? 2 : 0});
            ++summary.boms;
            for (int k = 0; k < options.fanout; ++k) {
                const long long component = childFirst + random.below(std::max<int64_t>(childCount, 1)) + 1;
                const bool ended = random.below(20) == 0; // one line in twenty is no longer valid
                // a braced list is evaluated left to right: the draws keep their order
                (ended ? endedLine : openLine).insertInts({++lineId, bomId, component, (k + 1) * 10, 1 + random.below(4),
                                                           random.below(3) == 0 ? 5 : 0, random.below(2)});
                if (lineId % 20000 == 0)
                    worked(2 * n + lineId);
            }
        }
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

SyntheticSummary createSyntheticAccount(const QString& path, const SyntheticOptions& options,
                                        const std::function<void(int64_t, int64_t)>& progress, Existing existing)
{
    if (options.parts < 2 || options.depth < 2 || options.fanout < 1 || options.parts < options.depth)
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("A synthetic account needs at least 2 parts, 2 levels, "
                                                                   "as many parts as levels and a fanout of 1 or more"));
    SyntheticSummary summary;
    buildAccountFile(path, existing, [&](ado::Connection& connection) { summary = fillSynthetic(connection, options, progress); });
    return summary;
}

} // namespace q7::host::account
