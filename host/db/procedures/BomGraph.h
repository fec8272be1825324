#pragma once

#include <QHash>
#include <QSet>
#include "platform/data/Ado.h"

#include <QSqlDatabase>
#include <QString>
#include <QVector>

#include <memory>
#include <optional>

struct sqlite3_stmt;

namespace q7::host::procedures {

struct PartInfo {
    QString code, name, invStd, unit;
    QString free1, free2;
    int attr = 0;
};

// One BOM line as the explosions read it, with its quantity per unit of parent.
struct BomLine {
    int componentId = 0;
    int parentId = 0;   // where-used lines: the parent part
    int sortSeq = 0;
    double qtyN = 0, qtyD = 1, compScrap = 0, parentScrap = 0;
    int fvFlag = 1;
    std::optional<double> planFactor;
    int wipType = 0;
    int offset = 0;
    int accuCost = 0;
    bool byProduct = false;

    // Fixed: N/D × (1 + scrap); variable: also ÷ (1 − parent scrap); with plan
    // rate × plan factor / 100 (none counts as 100).
    double quantity(bool planRate) const;
};

// The BOM structure of an embedded account at one effective date, read on
// demand through prepared statements and cached, so that an explosion reads
// every BOM once however often it meets it. What was read is kept for later
// explosions on the same connection at the same date for as long as the
// database does not change (its data version and the connection's change
// count are checked when a graph is made); it goes with the connection.
class BomGraph {
public:
    BomGraph(ado::Connection& connection, QString effDate);
    ~BomGraph();
    BomGraph(const BomGraph&) = delete;
    BomGraph& operator=(const BomGraph&) = delete;

    const PartInfo& part(int partId);
    // Lines valid at the date of the part's main BOM valid at the date.
    const QVector<BomLine>& mainLines(int partId);
    // Lines valid at the date of a given BOM.
    QVector<BomLine> bomLines(int bomId);
    // Lines valid at the date that use the part, in main BOMs valid at the date.
    const QVector<BomLine>& usedIn(int componentId);
    const QString& effDate() const { return date_; }

private:
    void rememberComponent(sqlite3_stmt* statement, int partId);

    QSqlDatabase& db_;
    QString date_;
    sqlite3_stmt* partStmt_ = nullptr;
    sqlite3_stmt* mainBomStmt_ = nullptr;
    sqlite3_stmt* linesStmt_ = nullptr;
    sqlite3_stmt* usedInStmt_ = nullptr;
    struct Cache {
        QSet<int> parents; // parts that have a BOM row at all
        QHash<int, PartInfo> parts;
        QHash<int, QVector<BomLine>> mainLines;
        QHash<int, QVector<BomLine>> usedIn;
    };
    std::shared_ptr<Cache> cache_;
    QSet<int>& parents_;
    QHash<int, PartInfo>& parts_;
    QHash<int, QVector<BomLine>>& mainLines_;
    QHash<int, QVector<BomLine>>& usedIn_;

    static std::shared_ptr<Cache> cacheFor(ado::Connection& connection, const QString& date);
};

} // namespace q7::host::procedures
