#pragma once

#include <QDialog>

class QTableWidget;
class QPushButton;

namespace q7::data {
class Connection;
}

namespace q7::host::process {

// The account's maintenance runs, newest first (what each did, who ran it and
// when, how many rows it changed, whether it was undone), and Undo for the one
// chosen: asked first, refused with the reason when its rows have changed since.
class RunsDialog : public QDialog {
    Q_OBJECT
public:
    RunsDialog(data::Connection& connection, QString user, QWidget* parent = nullptr);

    QTableWidget* table() const { return table_; }
    // Undoes the run on the table's row; false when refused or not confirmed.
    bool undoRow(int row);
    // Reads the runs again.
    void refresh();

private:
    void updateButtons();

    data::Connection& connection_;
    const QString user_;
    QTableWidget* table_ = nullptr;
    QPushButton* undo_ = nullptr;
};

} // namespace q7::host::process
