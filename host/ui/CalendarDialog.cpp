#include "host/ui/CalendarDialog.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace q7::host::ui {

CalendarDialog::CalendarDialog(const QDate& initial, const QString& title, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(title);
    calendar_ = new QCalendarWidget(this);
    calendar_->setSelectedDate(initial);
    calendar_->setFirstDayOfWeek(Qt::Monday);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(calendar_);
    connect(calendar_, &QCalendarWidget::activated, this, [this] { accept(); });
}

QDate CalendarDialog::selectedDate() const { return calendar_->selectedDate(); }

void CalendarDialog::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept();
        return;
    case Qt::Key_Escape:
        reject();
        return;
    case Qt::Key_Left: calendar_->setSelectedDate(calendar_->selectedDate().addDays(-1)); return;
    case Qt::Key_Right: calendar_->setSelectedDate(calendar_->selectedDate().addDays(1)); return;
    case Qt::Key_Up: calendar_->setSelectedDate(calendar_->selectedDate().addDays(-7)); return;
    case Qt::Key_Down: calendar_->setSelectedDate(calendar_->selectedDate().addDays(7)); return;
    default: QDialog::keyPressEvent(event);
    }
}

} // namespace q7::host::ui
