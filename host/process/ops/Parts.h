#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace q7::host::db::procedures {
class Database;
}

namespace q7::host::process::ops {

// An item with the values of its ten free items, as a form names a part.
struct PartKey {
    QString invCode;
    QStringList free = QStringList(10, QString()); // Free1 … Free10, "" when unused

    QString label() const; // "BK-100(红)", "FN-100(白/16寸)"
    // The key a label names: "BK-100(红)" → BK-100 with Free1 红; a label without
    // parentheses is the code alone.
    static PartKey fromLabel(const QString& label);
};

// The part of that item and those free-item values, or nothing.
std::optional<int> findPart(QSqlDatabase& db, const PartKey& key);
// Whether the item exists in the inventory.
bool itemExists(QSqlDatabase& db, const QString& invCode);

// Labels of parts by id, read on demand and kept.
class PartLabels {
public:
    explicit PartLabels(QSqlDatabase& db) : db_(db) {}
    QString operator()(int partId);
    // Every part at once (for operations over the whole account), read
    // through the procedures' statements (many thousand rows).
    void loadAll(const db::procedures::Database& procedures);

private:
    QSqlDatabase& db_;
    QHash<int, QString> labels_;
};

class BomStructure;
// A path of the structure's nodes as the parts' labels joined by arrows ("A → B → A").
QString pathText(const std::vector<int>& path, const BomStructure& structure, PartLabels& labels);

} // namespace q7::host::process::ops
