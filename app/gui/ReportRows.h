#pragma once

#include "platform/data/RowStore.h"

#include <QAbstractTableModel>

#include <memory>

// A report's rows as the window shows them: one model over the rows the run
// read, in the report's order, with no object per cell. Numbers show as the
// command line writes them, right-aligned; ValueRole answers the value itself.
namespace q7::app::gui {

using ReportRowsPtr = std::shared_ptr<const data::RowStore>;

class ReportRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int ValueRole = Qt::UserRole + 1;

    explicit ReportRowsModel(QObject* parent = nullptr);
    ~ReportRowsModel() override;

    // Shows other rows; the rows shown before are let go off the window's thread.
    void setRows(ReportRowsPtr rows);
    const ReportRowsPtr& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    ReportRowsPtr rows_;
};

// A cell as the grid, the tree, the exports and the print show it.
QVariant cellDisplay(const QVariant& value);
QVariant cellAlignment(const QVariant& value);

// Lets rows go on a thread of their own: a million rows take a while to free,
// and the window that showed them closes at once. The memory goes back to the system.
void releaseRows(ReportRowsPtr rows);

} // namespace q7::app::gui
