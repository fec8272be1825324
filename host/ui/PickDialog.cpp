#include "host/ui/PickDialog.h"

#include "platform/values/Values.h"

#include "host/ui/DialogDriver.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

namespace q7::host::ui {

PickDialog::PickDialog(const ReferList& list, QWidget* parent) : QDialog(parent), list_(list)
{
    setWindowTitle(list.title);
    setObjectName(QStringLiteral("pickList"));
    search_ = new QLineEdit(this);
    search_->setPlaceholderText(QStringLiteral("查找"));
    table_ = new QTableWidget(this);
    table_->setColumnCount(static_cast<int>(list.rows.columns.size()));
    table_->setHorizontalHeaderLabels(list.captions.size() == list.rows.columns.size() ? list.captions : list.rows.columns);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(search_);
    layout->addWidget(table_);
    resize(640, 420);
    connect(search_, &QLineEdit::textChanged, this, [this] { refill(); });
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row) {
        picked_ = shown_.value(row, -1);
        if (picked_ >= 0)
            accept();
    });
    search_->setText(list.search);
    refill();
    search_->setFocus();
}

int pickRow(const ReferList& list, QWidget* parent)
{
    if (!parent)
        parent = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow();
    PickDialog dialog(list, parent);
    if (runDialog(dialog) != QDialog::Accepted)
        return -1;
    return dialog.pickedRow();
}

void PickDialog::refill()
{
    const QString text = search_->text().trimmed();
    shown_.clear();
    for (int r = 0; r < list_.rows.rows.size(); ++r) {
        bool match = text.isEmpty();
        for (const QVariant& v : list_.rows.rows[r])
            match = match || values::toTextOrEmpty(v).contains(text, Qt::CaseInsensitive);
        if (match)
            shown_.append(r);
    }
    table_->setRowCount(static_cast<int>(shown_.size()));
    for (int i = 0; i < shown_.size(); ++i)
        for (int c = 0; c < list_.rows.columns.size(); ++c)
            table_->setItem(i, c, new QTableWidgetItem(values::toTextOrEmpty(list_.rows.rows[shown_[i]][c])));
    table_->setCurrentCell(shown_.isEmpty() ? -1 : 0, 0);
}

void PickDialog::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        picked_ = shown_.value(table_->currentRow(), -1);
        if (picked_ >= 0)
            accept();
        return;
    case Qt::Key_Escape:
        picked_ = -1;
        reject();
        return;
    case Qt::Key_Down:
        table_->setCurrentCell(std::min(table_->currentRow() + 1, table_->rowCount() - 1), 0);
        return;
    case Qt::Key_Up:
        table_->setCurrentCell(std::max(table_->currentRow() - 1, 0), 0);
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace q7::host::ui
