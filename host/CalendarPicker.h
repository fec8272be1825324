#pragma once

#include <QObject>
#include <QVariant>

namespace q7::host {

// The calendar picker: a month calendar opened on the initial date (today
// when that is not a date); answers the picked date, or the initial text
// unchanged when the user cancels.
class CalendarPicker : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE void SetLeft(int left) { left_ = left; }
    Q_INVOKABLE void SetTop(int top) { top_ = top; }
    Q_INVOKABLE void SetSeparator(const QString& separator) { separator_ = separator; }
    Q_INVOKABLE void SetInitialDate(const QVariant& date) { initial_ = date; }
    Q_INVOKABLE void SetTitle(const QString& title) { title_ = title; }
    Q_INVOKABLE QString Show(const QVariant& window);

private:
    int left_ = 0, top_ = 0;
    QString separator_ = QStringLiteral("-"), title_;
    QVariant initial_;
};

} // namespace q7::host
