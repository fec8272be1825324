#pragma once

#include <QDate>
#include <QString>

// Settings of the desktop that the component reads: today's date and the
// system's short date form (the platform's picture letters: yyyy, mm, dd).
namespace q7::system {

QDate today();
void setToday(const QDate& date); // fixes the clock; an invalid date frees it
QString shortDateFormat();        // default "yyyy-mm-dd"
void setShortDateFormat(const QString& format);
QString toShortDate(const QDate& date);

// The screen's mouse pointer: 0 default, 11 hourglass.
enum MousePointer { DefaultPointer = 0, HourglassPointer = 11 };
int mousePointer();
void setMousePointer(int pointer);

// Sounds the system beep through the installed handler (none by default).
void beep();
void setBeepHandler(void (*handler)());

} // namespace q7::system
