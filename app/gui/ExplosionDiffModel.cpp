#include "app/gui/ExplosionDiffModel.h"

#include "app/OutputTable.h"
#include "host/db/procedures/ProcedureSupport.h"

namespace q7::app::gui {

using host::db::procedures::DiffChange;
using host::db::procedures::DiffLine;
using host::db::procedures::DiffValues;

namespace {

const QStringList headings{QStringLiteral("子件编码"), QStringLiteral("子件名称"), QStringLiteral("自由项1"), QStringLiteral("行号"),
                           QStringLiteral("变化"),     QStringLiteral("基本用量"), QStringLiteral("损耗率"),  QStringLiteral("累计用量"),
                           QStringLiteral("供应类型"), QStringLiteral("仓库"),     QStringLiteral("说明")};
enum Column { Code, Name, Free, Seq, Change, Base, Scrap, Cumulative, Supply, Warehouse, Note };

QString changeText(DiffChange change)
{
    switch (change) {
    case DiffChange::Added: return QStringLiteral("新增");
    case DiffChange::Removed: return QStringLiteral("删除");
    case DiffChange::Changed: return QStringLiteral("修改");
    case DiffChange::Same: break;
    }
    return {};
}

// One value on both sides: the one there is, or "before → after" where they differ.
template <typename Text>
QString bothSides(const DiffLine& line, Text&& text)
{
    const QString before = line.before ? text(*line.before) : QString(), after = line.after ? text(*line.after) : QString();
    if (!line.before)
        return after;
    if (!line.after || before == after)
        return before;
    return before + QStringLiteral(" → ") + after;
}

QString number(double value) { return OutputTable::displayNumber(value); }

} // namespace

ExplosionDiffModel::ExplosionDiffModel(QObject* parent) : QAbstractItemModel(parent) {}

void ExplosionDiffModel::setDiff(host::db::procedures::ExplosionDiff diff)
{
    beginResetModel();
    diff_ = std::move(diff);
    roots_.clear();
    children_.assign(diff_.lines.size(), {});
    position_.assign(diff_.lines.size(), 0);
    for (int i = 0; i < static_cast<int>(diff_.lines.size()); ++i) {
        std::vector<int>& siblings = diff_.lines[static_cast<size_t>(i)].parent < 0 ? roots_ : children_[static_cast<size_t>(diff_.lines[static_cast<size_t>(i)].parent)];
        position_[static_cast<size_t>(i)] = static_cast<int>(siblings.size());
        siblings.push_back(i);
    }
    endResetModel();
}

QColor ExplosionDiffModel::colourOf(DiffChange change)
{
    switch (change) {
    case DiffChange::Added: return QColor(0xd4, 0xf4, 0xd4);   // green
    case DiffChange::Removed: return QColor(0xf8, 0xd0, 0xd0); // red
    case DiffChange::Changed: return QColor(0xfc, 0xec, 0xb8); // amber
    case DiffChange::Same: break;
    }
    return {};
}

QModelIndex ExplosionDiffModel::indexOfLine(int line, int column) const
{
    if (line < 0 || line >= static_cast<int>(diff_.lines.size()))
        return {};
    return createIndex(position_[static_cast<size_t>(line)], column, static_cast<quintptr>(line));
}

QModelIndex ExplosionDiffModel::index(int row, int column, const QModelIndex& parent) const
{
    const std::vector<int>& lines = childrenOf(parent.isValid() ? static_cast<int>(parent.internalId()) : -1);
    if (row < 0 || row >= static_cast<int>(lines.size()) || column < 0 || column >= headings.size())
        return {};
    return createIndex(row, column, static_cast<quintptr>(lines[static_cast<size_t>(row)]));
}

QModelIndex ExplosionDiffModel::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
    return indexOfLine(diff_.lines[child.internalId()].parent);
}

int ExplosionDiffModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return static_cast<int>(childrenOf(parent.isValid() ? static_cast<int>(parent.internalId()) : -1).size());
}

int ExplosionDiffModel::columnCount(const QModelIndex&) const { return static_cast<int>(headings.size()); }

QVariant ExplosionDiffModel::text(const DiffLine& line, int column) const
{
    switch (column) {
    case Code: return line.code;
    case Name: return line.name;
    case Free: return line.free1;
    case Seq: return line.sortSeq;
    case Change: return line.change == DiffChange::Changed ? QStringLiteral("修改：") + line.changed.join(u'、') : changeText(line.change);
    case Base: return bothSides(line, [](const DiffValues& v) { return number(v.baseQty); });
    case Scrap: return bothSides(line, [](const DiffValues& v) { return number(v.scrap); });
    case Cumulative: return bothSides(line, [](const DiffValues& v) { return number(v.cumulative); });
    case Supply: return bothSides(line, [](const DiffValues& v) { return host::db::procedures::wipText(v.wipType); });
    case Warehouse: return bothSides(line, [](const DiffValues& v) { return v.warehouse; });
    case Note: return bothSides(line, [](const DiffValues& v) { return v.note; });
    }
    return {};
}

QVariant ExplosionDiffModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const DiffLine& line = diff_.lines[index.internalId()];
    switch (role) {
    case Qt::DisplayRole: return text(line, index.column());
    case Qt::BackgroundRole:
        if (const QColor colour = colourOf(line.change); colour.isValid())
            return colour;
        return {};
    case Qt::ToolTipRole: return host::db::procedures::pathText(diff_, static_cast<int>(index.internalId()));
    case ChangeRole: return static_cast<int>(line.change);
    case Qt::TextAlignmentRole:
        return index.column() >= Base && index.column() <= Cumulative ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    }
    return {};
}

QVariant ExplosionDiffModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < headings.size())
        return headings[section];
    return {};
}

} // namespace q7::app::gui
