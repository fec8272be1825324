#include "app/gui/ReportTree.h"

#include "app/gui/CellValue.h"

#include <QBrush>
#include <QColor>
#include <QFont>

namespace q7::app::gui {

namespace {

const QString CycleNote = QStringLiteral("循环");
const QString ByProductNote = QStringLiteral("产出品");

QString text(const QVariant& value) { return isEmptyCell(value) ? QString() : value.toString(); }

} // namespace

TreeShape treeShapeOf(const QStringList& headings)
{
    TreeShape shape;
    shape.levelColumn = static_cast<int>(headings.indexOf(QStringLiteral("层级")));
    shape.noteColumn = static_cast<int>(headings.indexOf(QStringLiteral("说明")));
    const int parent = static_cast<int>(headings.indexOf(QStringLiteral("母件编码")));
    const int component = static_cast<int>(headings.indexOf(QStringLiteral("子件编码")));
    if (shape.levelColumn < 0 || component < 0)
        return {};
    for (int c = 0; c < headings.size(); ++c)
        if (headings[c].startsWith(QStringLiteral("顶层")))
            shape.groupColumns.append(c);
    if (!shape.groupColumns.isEmpty() && parent >= 0) { // an explosion: the components, level below level
        shape.kind = TreeShape::Kind::Indented;
        shape.treeColumn = component;
    } else if (!shape.groupColumns.isEmpty()) { // a summary: every part of a top once per level
        shape.kind = TreeShape::Kind::ByLevel;
        shape.treeColumn = component;
    } else if (component == 0 && parent >= 0) { // a where-used: the parents, level above level
        shape.kind = TreeShape::Kind::Indented;
        shape.groupColumns = {component};
        shape.treeColumn = parent;
    } else {
        return {};
    }
    return shape;
}

ReportTreeModel::ReportTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

ReportTreeModel::~ReportTreeModel() { releaseRows(std::move(rows_)); }

void ReportTreeModel::setRows(ReportRowsPtr rows)
{
    beginResetModel();
    ReportRowsPtr old = std::exchange(rows_, std::move(rows));
    build();
    endResetModel();
    releaseRows(std::move(old));
}

void ReportTreeModel::build()
{
    nodes_.clear();
    nodeOfRow_.clear();
    childStart_.clear();
    children_.clear();
    depth_ = 0;
    shape_ = rows_ ? treeShapeOf(rows_->columnNames()) : TreeShape{};
    if (!rows_ || shape_.kind == TreeShape::Kind::None)
        return;
    const data::RowStore& data = *rows_;
    nodes_.reserve(data.size() + data.size() / 8 + 16);
    nodeOfRow_.resize(data.size());
    QStringList currentTop;
    int topNode = -1, levelNode = -1, currentLevel = -1;
    QVector<int> lastAtLevel; // the latest row node of each level under the current top
    for (int r = 0; r < data.size(); ++r) {
        QStringList top;
        for (int c : shape_.groupColumns)
            top.append(text(data.value(r, c)));
        if (topNode < 0 || top != currentTop) {
            currentTop = top;
            top.removeAll(QString());
            nodes_.append({-1, -1, 0, top.join(u' ')});
            topNode = static_cast<int>(nodes_.size() - 1);
            levelNode = -1;
            currentLevel = -1;
            lastAtLevel.clear();
        }
        const int level = std::max(1, data.value(r, shape_.levelColumn).toInt());
        depth_ = std::max(depth_, level);
        int parent = topNode;
        if (shape_.kind == TreeShape::Kind::ByLevel) {
            if (level != currentLevel) {
                nodes_.append({topNode, -1, 0, QStringLiteral("第 %1 层").arg(level)});
                levelNode = static_cast<int>(nodes_.size() - 1);
                currentLevel = level;
            }
            parent = levelNode;
        } else {
            // below the last row one level up; a row whose level skips one hangs on the top
            if (level >= 2 && level - 2 < lastAtLevel.size() && lastAtLevel[level - 2] >= 0)
                parent = lastAtLevel[level - 2];
            lastAtLevel.resize(level, -1);
            lastAtLevel[level - 1] = static_cast<int>(nodes_.size());
        }
        nodes_.append({parent, r, 0, QString()});
        nodeOfRow_[r] = static_cast<int>(nodes_.size() - 1);
    }
    if (shape_.kind == TreeShape::Kind::ByLevel)
        depth_ = 2;
    // children by parent, in order (a counting sort on the parent)
    childStart_.fill(0, nodes_.size() + 2);
    for (const Node& node : nodes_)
        ++childStart_[node.parent + 2];
    for (int i = 2; i < childStart_.size(); ++i)
        childStart_[i] += childStart_[i - 1];
    children_.resize(nodes_.size());
    QVector<int> next = childStart_;
    for (int n = 0; n < nodes_.size(); ++n) {
        const int slot = next[nodes_[n].parent + 1]++;
        children_[slot] = n;
        nodes_[n].position = slot - childStart_[nodes_[n].parent + 1];
    }
}

int ReportTreeModel::childCount(int node) const
{
    if (childStart_.isEmpty())
        return 0;
    return childStart_[node + 2] - childStart_[node + 1];
}

int ReportTreeModel::childOf(int node, int position) const { return children_[childStart_[node + 1] + position]; }

QModelIndex ReportTreeModel::indexOfRow(int sourceRow, int column) const
{
    if (sourceRow < 0 || sourceRow >= nodeOfRow_.size())
        return {};
    const int node = nodeOfRow_[sourceRow];
    return createIndex(nodes_[node].position, column, static_cast<quintptr>(node));
}

QModelIndex ReportTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    const int parentNode = parent.isValid() ? static_cast<int>(parent.internalId()) : -1;
    if (row < 0 || column < 0 || column >= columnCount() || row >= childCount(parentNode))
        return {};
    return createIndex(row, column, static_cast<quintptr>(childOf(parentNode, row)));
}

QModelIndex ReportTreeModel::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
    const int parentNode = nodes_[static_cast<int>(child.internalId())].parent;
    if (parentNode < 0)
        return {};
    return createIndex(nodes_[parentNode].position, 0, static_cast<quintptr>(parentNode));
}

int ReportTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return childCount(parent.isValid() ? static_cast<int>(parent.internalId()) : -1);
}

int ReportTreeModel::columnCount(const QModelIndex&) const
{
    return rows_ && shape_.kind != TreeShape::Kind::None ? rows_->columnCount() : 0;
}

QVariant ReportTreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Node& node = nodes_[static_cast<int>(index.internalId())];
    if (role == SourceRowRole)
        return node.sourceRow;
    if (node.sourceRow < 0) { // a group: its caption in the tree's column
        if (index.column() != shape_.treeColumn)
            return {};
        if (role == Qt::DisplayRole)
            return node.label;
        if (role == Qt::FontRole) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    }
    const QVariant value = rows_->value(node.sourceRow, index.column());
    const QString note = shape_.noteColumn >= 0 ? text(rows_->value(node.sourceRow, shape_.noteColumn)) : QString();
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == shape_.treeColumn && !note.isEmpty())
            return QStringLiteral("%1  [%2]").arg(cellDisplay(value).toString(), note);
        return cellDisplay(value);
    case Qt::TextAlignmentRole: return cellAlignment(value);
    case ValueRole: return isEmptyCell(value) ? QVariant() : value;
    case Qt::ForegroundRole:
        if (note == CycleNote)
            return QBrush(QColor(0xb0, 0x00, 0x20));
        if (note == ByProductNote)
            return QBrush(QColor(0x00, 0x50, 0xa0));
        return {};
    case Qt::ToolTipRole: return note.isEmpty() ? QVariant() : QVariant(note);
    default: return {};
    }
}

QVariant ReportTreeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && rows_ && section < rows_->columnCount())
        return rows_->columnNames()[section];
    return QAbstractItemModel::headerData(section, orientation, role);
}

} // namespace q7::app::gui
