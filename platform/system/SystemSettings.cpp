#include "platform/system/SystemSettings.h"

namespace q7::system {

namespace {
QDate& fixedToday()
{
    static QDate date;
    return date;
}
QString& dateFormat()
{
    static QString format = QStringLiteral("yyyy-mm-dd");
    return format;
}
void (*&beepHandler())()
{
    static void (*handler)() = nullptr;
    return handler;
}
} // namespace

QDate today() { return fixedToday().isValid() ? fixedToday() : QDate::currentDate(); }
void setToday(const QDate& date) { fixedToday() = date; }
QString shortDateFormat() { return dateFormat(); }
void setShortDateFormat(const QString& format) { dateFormat() = format; }

QString toShortDate(const QDate& date)
{
    // The platform writes months as "m"; Qt reads "m" as minutes.
    QString qtFormat = dateFormat();
    qtFormat.replace(QLatin1Char('m'), QLatin1Char('M'));
    return date.toString(qtFormat);
}

namespace {
int& pointerSlot()
{
    static int pointer = DefaultPointer;
    return pointer;
}
} // namespace

int mousePointer() { return pointerSlot(); }
void setMousePointer(int pointer) { pointerSlot() = pointer; }

void beep()
{
    if (beepHandler())
        beepHandler()();
}
void setBeepHandler(void (*handler)()) { beepHandler() = handler; }

} // namespace q7::system
