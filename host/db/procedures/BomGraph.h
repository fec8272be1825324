#pragma once

#include "host/db/InForce.h"
#include "host/db/procedures/BomLine.h"
#include "host/db/procedures/PackTable.h"
#include "host/db/procedures/PartMap.h"
#include "host/db/procedures/Statement.h"
#include "platform/data/Ado.h"

#include <QSet>
#include <QString>
#include <QVector>

#include <memory>
#include <optional>
#include <unordered_map>

namespace q7::host::db::procedures {

struct PartInfo {
    QString code, name, invStd, unit;
    QString free1, free2;
    int attr = 0;
};

using db::preferredBom; // which of two BOMs in force is used

// A part's description as the procedures show it, for a part p (bas_part) and
// its item i joined by itemJoin: code, name, model and size, unit, free items
// 1 and 2, attribute. A part without an item row has its code and free items,
// and NULL for the item's columns.
extern const char* const descriptionColumns;
extern const char* const itemJoin;
// The description of descriptionColumns, read from the column first on.
PartInfo readPartInfo(const Statement& statement, int first);

// The columns of a BOM line (bom_opcomponent c, bom_opcomponentopt o) as
// readLine reads them, first in a statement's select list.
extern const char* const lineColumns;
BomLine readLine(const Statement& statement);

// The BOM structure of an embedded account at one effective date, read on
// demand through prepared statements and cached, so that an explosion reads
// every BOM once however often it meets it. A part's BOM at the date is its
// main BOM in force (VersionEffDate <= date < VersionEndDate, a missing date
// open), the highest
// version when several are, whether or not it has lines in force; explosion
// and where-used both go by it. What was read is kept for later explosions
// on the same connection at the same date for as long as the database does
// not change (its data version and the connection's change count are
// checked when a graph is made); it goes with the connection.
class BomGraph {
public:
    BomGraph(data::Connection& connection, QString effDate);
    ~BomGraph();
    BomGraph(const BomGraph&) = delete;
    BomGraph& operator=(const BomGraph&) = delete;

    const PartInfo& part(int partId);
    // What the cache holds of a part, or none: reads nothing and changes nothing, so that several
    // threads may ask at once while nobody else uses the graph.
    const PartInfo* cachedPart(int partId) const { return cache_->parts.find(partId); }
    const QVector<BomLine>* cachedLines(int partId) const { return cache_->mainLines.find(partId); }
    // Lines in force at the date of the part's BOM at the date.
    const QVector<BomLine>& mainLines(int partId);
    // The part's BOM at the date; 0 when it has none.
    int mainBom(int partId);
    // Reads the BOMs at the date of the parts and of everything below them,
    // level by level, one statement per level instead of one per BOM.
    void prefetchBelow(const QVector<int>& parts);
    // Reads what the where-used of the parts needs, level by level upwards: the
    // lines in force that use them, their parents' BOMs at the date (without
    // their lines) and the parents' descriptions, a statement per level.
    void prefetchAbove(const QVector<int>& parts);
    // Lines in force at the date of a given BOM, with the parent's scrap of
    // that BOM when a parent is given.
    QVector<BomLine> bomLines(int bomId, int parentId = 0);
    // Lines in force at the date that use the part, in the BOMs at the date
    // of their parents.
    const QVector<BomLine>& usedIn(int componentId);
    const QString& effDate() const { return date_; }

private:
    struct Cache {
        // References handed out stay valid while the maps grow.
        PartMap<PartInfo> parts;
        PartMap<QVector<BomLine>> mainLines;
        PartMap<int> mainBoms;
        PartMap<QVector<BomLine>> usedIn; // a part no line uses at any date has an empty list
    };
    void rememberComponent(const Statement& statement, int partId);
    struct Best;
    // The parts whose descriptions are to be read, each once.
    struct Undescribed {
        const Cache& cache;
        PartMap<bool> queued;
        QVector<int> parts;
        void add(int part);
    };
    // Reads the packs of a level's parts: their descriptions into the cache, their BOMs at the date
    // into best (best[i] of level[i]); answers the parts to read from the tables.
    QVector<int> readPacks(const QVector<int>& level, std::vector<Best>& best);
    // Reads the where-used packs of a level's parts: the lines that use them, in the BOMs their
    // parents use at the date, and the parents' descriptions and choices into the cache, the
    // parents still to read onto next; answers the parts to read from the tables.
    QVector<int> readUsePacks(const QVector<int>& level, QVector<int>& next);
    // Keeps the lines of one part's BOM at the date (of several versions read, the highest).
    void keepMainLines(int partId, int bom, QVector<BomLine>&& lines);
    // Reads the descriptions of parts not yet known, many per statement.
    void describe(QVector<int> parts);
    static std::shared_ptr<Cache> cacheFor(data::Connection& connection, const Database& db, const QString& date);

    QString date_;
    QByteArray dateUtf8_;
    Database db_;
    std::shared_ptr<Cache> cache_;
    // Chooses of the rows (part, BOM, version) of main BOMs in force the part's BOM at the date.
    void chooseBoms(const QVector<int>& parts);
    LazyStatement usedInLevel_, bomChoice_;
    PackTable downPacks_, usePacks_;
    std::optional<int> day_; // the date as packs keep it
    LazyStatement partStmt_, mainBomStmt_, linesStmt_, scrapStmt_, usedInStmt_, frontierBoms_, partsStmt_;
};

} // namespace q7::host::db::procedures
