#pragma once

#include "app/gui/ReportRows.h"

#include <QAbstractItemModel>
#include <QStringList>
#include <QVector>

// An explosion's rows as a tree, in the report's order: under each top (the
// part exploded, or the part whose uses are listed) the rows hang below the
// row one level up before them; a summary by level groups its rows by top and
// by level. The columns are the report's; the tree is drawn in the part's column.
namespace q7::app::gui {

struct TreeShape {
    enum class Kind { None, Indented, ByLevel };
    Kind kind = Kind::None;
    QVector<int> groupColumns; // the columns that name a top
    int levelColumn = -1;
    int treeColumn = -1; // the part each row is about
    int noteColumn = -1; // cycle and by-product marks
};

// How a report's rows make a tree, read from its headings; Kind::None for a flat report.
TreeShape treeShapeOf(const QStringList& headings);

class ReportTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    static constexpr int ValueRole = ReportRowsModel::ValueRole;
    static constexpr int SourceRowRole = Qt::UserRole + 2; // the report's row, -1 on a group

    explicit ReportTreeModel(QObject* parent = nullptr);
    ~ReportTreeModel() override;

    void setRows(ReportRowsPtr rows);
    const TreeShape& shape() const { return shape_; }
    // The deepest level of the rows (for "expand to level").
    int depth() const { return depth_; }
    // The index of a report's row (for going from the grid to the tree).
    QModelIndex indexOfRow(int sourceRow, int column = 0) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Node {
        int parent = -1;    // node index, -1 at the top
        int sourceRow = -1; // -1 for a group
        int position = 0;   // among its parent's children
        QString label;      // a group's caption
    };
    void build();
    int childOf(int node, int position) const;
    int childCount(int node) const;

    ReportRowsPtr rows_;
    TreeShape shape_;
    QVector<Node> nodes_;
    QVector<int> nodeOfRow_;   // report row → node
    QVector<int> childStart_;  // node + 1 → first entry in children_ (slot 0: the top)
    QVector<int> children_;    // nodes grouped by parent, in order
    int depth_ = 0;
};

} // namespace q7::app::gui
