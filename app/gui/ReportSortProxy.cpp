#include "app/gui/ReportSortProxy.h"

#include "app/gui/CellValue.h"
#include "app/gui/ReportRows.h"

#include <algorithm>
#include <numeric>

namespace q7::app::gui {

namespace {

// What a cell sorts by, read once per row: nothing, a number, or a text.
// A text keeps its first eight code units packed in order, so that most
// comparisons are two integer ones and do not reach the strings.
struct SortKey {
    int kind = 0; // 0 empty, 1 number, 2 text
    double number = 0;
    quint64 head[2] = {0, 0};
    const QString* text = nullptr;
};

SortKey keyOf(const QVariant& value)
{
    if (isEmptyCell(value))
        return {};
    if (isNumberCell(value))
        return {1, value.toDouble(), {0, 0}, nullptr};
    if (value.typeId() != QMetaType::QString)
        return {};
    SortKey key{2, 0, {0, 0}, static_cast<const QString*>(value.constData())};
    const qsizetype length = std::min<qsizetype>(key.text->size(), 8);
    for (qsizetype i = 0; i < length; ++i)
        key.head[i / 4] |= quint64(key.text->at(i).unicode()) << (16 * (3 - i % 4));
    return key;
}

int compareKeys(const SortKey& a, const SortKey& b)
{
    if (a.kind != b.kind)
        return a.kind < b.kind ? -1 : 1;
    if (a.kind == 1)
        return a.number < b.number ? -1 : b.number < a.number ? 1 : 0;
    if (a.kind == 2) {
        for (int i = 0; i < 2; ++i)
            if (a.head[i] != b.head[i])
                return a.head[i] < b.head[i] ? -1 : 1;
        return a.text->compare(*b.text);
    }
    return 0;
}

} // namespace

ReportSortProxy::ReportSortProxy(QObject* parent) : QAbstractProxyModel(parent) {}

const ReportRowsModel* ReportSortProxy::rows() const { return qobject_cast<const ReportRowsModel*>(sourceModel()); }

void ReportSortProxy::setSourceModel(QAbstractItemModel* source)
{
    beginResetModel();
    if (sourceModel())
        disconnect(sourceModel(), nullptr, this, nullptr);
    QAbstractProxyModel::setSourceModel(source);
    order_.clear();
    inverse_.clear();
    sortColumn_ = -1;
    if (source) {
        connect(source, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
        connect(source, &QAbstractItemModel::modelReset, this, [this] { sourceReset(); });
    }
    endResetModel();
}

void ReportSortProxy::sourceReset()
{
    order_.clear();
    inverse_.clear();
    sortColumn_ = -1;
    endResetModel();
}

void ReportSortProxy::sort(int column, Qt::SortOrder order)
{
    const ReportRowsModel* model = rows();
    if (!model || !model->rows() || column < 0 || column >= columnCount()) {
        showReportOrder();
        return;
    }
    const data::RowStore& data = *model->rows();
    QVector<SortKey> keys(data.size());
    for (qsizetype r = 0; r < data.size(); ++r)
        keys[r] = column < data.cellCount(r) ? keyOf(data.value(r, column)) : SortKey{};
    QVector<int> sorted(data.size());
    std::iota(sorted.begin(), sorted.end(), 0);
    const bool ascending = order == Qt::AscendingOrder;
    std::stable_sort(sorted.begin(), sorted.end(), [&](int a, int b) {
        const int c = compareKeys(keys[a], keys[b]);
        return ascending ? c < 0 : c > 0;
    });
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList sources;
    for (const QModelIndex& index : before)
        sources.append(mapToSource(index));
    order_ = std::move(sorted);
    inverse_.resize(order_.size());
    for (qsizetype p = 0; p < order_.size(); ++p)
        inverse_[order_[p]] = static_cast<int>(p);
    sortColumn_ = column;
    QModelIndexList after;
    for (const QModelIndex& source : sources)
        after.append(mapFromSource(source));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ReportSortProxy::showReportOrder()
{
    if (order_.isEmpty())
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList sources;
    for (const QModelIndex& index : before)
        sources.append(mapToSource(index));
    order_.clear();
    inverse_.clear();
    sortColumn_ = -1;
    QModelIndexList after;
    for (const QModelIndex& source : sources)
        after.append(mapFromSource(source));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

QModelIndex ReportSortProxy::mapToSource(const QModelIndex& proxy) const
{
    if (!proxy.isValid() || !sourceModel())
        return {};
    const int row = order_.isEmpty() ? proxy.row() : order_.value(proxy.row(), -1);
    return row < 0 ? QModelIndex() : sourceModel()->index(row, proxy.column());
}

QModelIndex ReportSortProxy::mapFromSource(const QModelIndex& source) const
{
    if (!source.isValid())
        return {};
    const int row = inverse_.isEmpty() ? source.row() : inverse_.value(source.row(), -1);
    return row < 0 ? QModelIndex() : createIndex(row, source.column());
}

QModelIndex ReportSortProxy::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return {};
    return createIndex(row, column);
}

QModelIndex ReportSortProxy::parent(const QModelIndex&) const { return {}; }

int ReportSortProxy::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !sourceModel() ? 0 : sourceModel()->rowCount();
}

int ReportSortProxy::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !sourceModel() ? 0 : sourceModel()->columnCount();
}

QVariant ReportSortProxy::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section + 1;
    return sourceModel() ? sourceModel()->headerData(section, orientation, role) : QVariant();
}

} // namespace q7::app::gui
