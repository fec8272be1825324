#include "platform/forms/Units.h"

#include <QGuiApplication>
#include <QScreen>

namespace q7::forms {

namespace {
double tppX = 0, tppY = 0;

double fromScreen(bool horizontal)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? (horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY()) : 96.0;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}
} // namespace

double Screen::twipsPerPixelX() { return tppX > 0 ? tppX : fromScreen(true); }
double Screen::twipsPerPixelY() { return tppY > 0 ? tppY : fromScreen(false); }
void Screen::setTwipsPerPixel(double x, double y)
{
    tppX = x;
    tppY = y;
}
double Screen::widthTwips()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return (screen ? screen->geometry().width() : 1024) * twipsPerPixelX();
}
double Screen::heightTwips()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return (screen ? screen->geometry().height() : 768) * twipsPerPixelY();
}

double twipsPerUnit(int scaleMode, bool horizontal)
{
    switch (scaleMode) {
    case ScalePoints: return 20.0;
    case ScalePixels: return horizontal ? Screen::twipsPerPixelX() : Screen::twipsPerPixelY();
    case ScaleCharacters: return horizontal ? 120.0 : 240.0;
    case ScaleInches: return 1440.0;
    case ScaleMillimeters: return 1440.0 / 25.4;
    case ScaleCentimeters: return 1440.0 / 2.54;
    default: return 1.0;
    }
}

} // namespace q7::forms
