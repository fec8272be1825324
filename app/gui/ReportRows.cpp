#include "app/gui/ReportRows.h"

#include "app/OutputTable.h"
#include "app/gui/CellValue.h"

#include <QThreadPool>

#include <malloc.h>

namespace q7::app::gui {

QVariant cellDisplay(const QVariant& value)
{
    if (isEmptyCell(value))
        return QString();
    if (isNumberCell(value))
        return OutputTable::displayNumber(value.toDouble());
    return value.toString();
}

QVariant cellAlignment(const QVariant& value)
{
    return isNumberCell(value) ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
}

void releaseRows(ReportRowsPtr rows)
{
    if (!rows || rows.use_count() > 1 || rows->size() < 10000) {
        rows.reset();
        return;
    }
    QThreadPool::globalInstance()->start([rows = std::move(rows)]() mutable {
        rows.reset();
        malloc_trim(0);
    });
}

ReportRowsModel::ReportRowsModel(QObject* parent) : QAbstractTableModel(parent) {}

ReportRowsModel::~ReportRowsModel() { releaseRows(std::move(rows_)); }

void ReportRowsModel::setRows(ReportRowsPtr rows)
{
    beginResetModel();
    ReportRowsPtr old = std::exchange(rows_, std::move(rows));
    endResetModel();
    releaseRows(std::move(old));
}

int ReportRowsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !rows_ ? 0 : static_cast<int>(rows_->size());
}

int ReportRowsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !rows_ ? 0 : rows_->columnCount();
}

QVariant ReportRowsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !rows_)
        return {};
    if (index.column() >= rows_->cellCount(index.row()))
        return {};
    const QVariant value = rows_->value(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole: return cellDisplay(value);
    case Qt::TextAlignmentRole: return cellAlignment(value);
    case ValueRole: return isEmptyCell(value) ? QVariant() : value;
    default: return {};
    }
}

QVariant ReportRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || !rows_)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal)
        return section < rows_->columnCount() ? rows_->columnNames()[section] : QVariant();
    return section + 1;
}

} // namespace q7::app::gui
