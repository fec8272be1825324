#pragma once

#include "host/ui/ReferLists.h"

#include <QDialog>
#include <QVector>

class QLineEdit;
class QTableWidget;

namespace q7::host::ui {

// A searchable list to pick one row from, under the headings a user reads
// (编码, 名称, 规格型号 …): typing in the search box keeps the rows that
// contain the text in any column (ignoring case); Up and Down move the
// current row, Enter (or a double click) picks it, Esc cancels.
class PickDialog : public QDialog {
    Q_OBJECT
public:
    explicit PickDialog(const ReferList& list, QWidget* parent = nullptr);

    // The row of the list that was picked (index into the list's rows), or -1.
    int pickedRow() const { return picked_; }
    // The rows shown for the current search, as indexes into the list's rows.
    const QVector<int>& shownRows() const { return shown_; }
    QLineEdit* searchBox() const { return search_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

    QTableWidget* table() const { return table_; }

private:
    void refill();
    ReferList list_;
    QLineEdit* search_;
    QTableWidget* table_;
    QVector<int> shown_;
    int picked_ = -1;
};

// Shows the list over the parent window (centred on it) and answers the row
// picked, as an index into list.rows.rows, or -1 when the user cancelled.
// Runs through the host's dialog driver (host/ui/DialogDriver.h).
int pickRow(const ReferList& list, QWidget* parent = nullptr);

} // namespace q7::host::ui
