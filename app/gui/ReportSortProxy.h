#pragma once

#include <QAbstractProxyModel>
#include <QVector>

// The grid's order over a report's rows: the report's own order until the
// user sorts by a column, and back to it on request. Sorting compares the
// values the rows hold (numbers as numbers, empty cells first), stable, so
// rows that tie keep the report's order; nothing is copied per row.
namespace q7::app::gui {

class ReportRowsModel;

class ReportSortProxy : public QAbstractProxyModel {
    Q_OBJECT
public:
    explicit ReportSortProxy(QObject* parent = nullptr);

    void setSourceModel(QAbstractItemModel* source) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    // Back to the order the report gave.
    void showReportOrder();
    bool inReportOrder() const { return order_.isEmpty(); }
    int sortColumn() const { return sortColumn_; }

    QModelIndex mapToSource(const QModelIndex& proxy) const override;
    QModelIndex mapFromSource(const QModelIndex& source) const override;
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void sourceReset();
    const ReportRowsModel* rows() const;

    QVector<int> order_;   // proxy row → source row; empty: the report's order
    QVector<int> inverse_; // source row → proxy row, filled with order_
    int sortColumn_ = -1;
};

} // namespace q7::app::gui
