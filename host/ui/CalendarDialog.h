#pragma once

#include <QDate>
#include <QDialog>

class QCalendarWidget;

namespace q7::host::ui {

// A month calendar to pick a date: the arrow keys move the day, Enter (or a
// double click) picks it, Esc cancels.
class CalendarDialog : public QDialog {
    Q_OBJECT
public:
    CalendarDialog(const QDate& initial, const QString& title, QWidget* parent = nullptr);
    QDate selectedDate() const;
    QCalendarWidget* calendar() const { return calendar_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QCalendarWidget* calendar_;
};

} // namespace q7::host::ui
