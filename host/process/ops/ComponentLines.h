#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace q7::host::process::ops {

// A BOM line as the maintenance operations list it.
struct ComponentLine {
    int lineId = 0; // OpComponentId
    int bomId = 0;
    int bomType = 1;
    QString version, identCode;
    QString parentCode; // the BOM's own parent, with its free items
    int sortSeq = 0;
    QString quantity;   // "BaseQtyN/BaseQtyD"
    QString effBegDate, effEndDate;
    QString versionEffDate, versionEndDate; // the BOM's own period (a main BOM's), empty when open

    QString bomText() const; // "主BOM 2", "替代BOM S1"
};

// Which lines of a component a search takes.
struct LineScope {
    QString fromParent, toParent;  // parent item code range, blank for open
    int bomType = 0;               // 0 every type, 1 main, 2 substitute
    std::optional<QString> inForceOn; // only BOMs and lines in force on this date
};

// The lines naming the part as component, by parent, BOM and sequence.
QVector<ComponentLine> componentLines(QSqlDatabase& db, int componentId, const LineScope& scope = {});
// Every parent of a BOM (its own and those that share it).
QVector<int> parentsOfBom(QSqlDatabase& db, int bomId);

} // namespace q7::host::process::ops
