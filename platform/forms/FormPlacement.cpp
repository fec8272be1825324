#include "platform/forms/FormPlacement.h"

#include <QPointer>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace q7::forms {

namespace {
QPointer<QWidget>& owner()
{
    static QPointer<QWidget> main;
    return main;
}
constexpr const char* PlacedProperty = "q7FormPlaced";
// What the window manager adds around a window before it is shown: the title bar and the borders.
constexpr int FrameSide = 8, FrameTop = 32;
} // namespace

void setFormOwner(QWidget* window) { owner() = window; }
QWidget* formOwner() { return owner(); }

void placeFormWindow(QWidget& window)
{
    if (!window.isWindow() || window.property(PlacedProperty).toBool())
        return;
    window.setProperty(PlacedProperty, true);
    QWidget* main = owner();
    if (main && main != &window && !window.parentWidget()) {
        const Qt::WindowFlags flags = window.windowFlags();
        window.setParent(main, flags | Qt::Window);
    }
    const QScreen* screen = main ? main->screen() : window.screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize room(std::max(1, area.width() - 2 * FrameSide), std::max(1, area.height() - FrameTop - FrameSide));
    const QSize size = window.size().boundedTo(room);
    if (size != window.size())
        window.resize(size);
    const QPoint centre = main && main->isVisible() ? main->frameGeometry().center() : area.center();
    const int outerWidth = size.width() + 2 * FrameSide, outerHeight = size.height() + FrameTop + FrameSide;
    const int left = std::clamp(centre.x() - outerWidth / 2, area.left(), std::max(area.left(), area.right() + 1 - outerWidth));
    const int top = std::clamp(centre.y() - outerHeight / 2, area.top(), std::max(area.top(), area.bottom() + 1 - outerHeight));
    window.move(left, top);
}

} // namespace q7::forms
