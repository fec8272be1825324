#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

#include <memory>
#include <optional>

struct sqlite3_stmt;

namespace q7::host::procedures {

struct PartInfo {
    QString code, name, spec, unit;
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
// every BOM once however often it meets it.
class BomGraph {
public:
    BomGraph(QSqlDatabase& db, QString effDate);
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
    QSqlDatabase& db_;
    QString date_;
    sqlite3_stmt* partStmt_ = nullptr;
    sqlite3_stmt* mainBomStmt_ = nullptr;
    sqlite3_stmt* linesStmt_ = nullptr;
    sqlite3_stmt* usedInStmt_ = nullptr;
    QHash<int, PartInfo> parts_;
    QHash<int, QVector<BomLine>> mainLines_;
    QHash<int, QVector<BomLine>> usedIn_;
};

} // namespace q7::host::procedures
