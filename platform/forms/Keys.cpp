#include "platform/forms/Keys.h"

#include <QObject>

namespace q7::forms {

int shiftState(Qt::KeyboardModifiers modifiers)
{
    int shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= 1;
    if (modifiers & Qt::ControlModifier)
        shift |= 2;
    if (modifiers & Qt::AltModifier)
        shift |= 4;
    return shift;
}

int platformKeyCode(const QKeyEvent& event)
{
    const int key = event.key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return key; // the same codes as the characters
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return KeyF1 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return KeyBack;
    case Qt::Key_Tab: return KeyTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return KeyReturn;
    case Qt::Key_Escape: return KeyEscape;
    case Qt::Key_Space: return KeySpace;
    case Qt::Key_PageUp: return KeyPageUp;
    case Qt::Key_PageDown: return KeyPageDown;
    case Qt::Key_End: return KeyEnd;
    case Qt::Key_Home: return KeyHome;
    case Qt::Key_Left: return KeyLeft;
    case Qt::Key_Up: return KeyUp;
    case Qt::Key_Right: return KeyRight;
    case Qt::Key_Down: return KeyDown;
    case Qt::Key_Insert: return KeyInsert;
    case Qt::Key_Delete: return KeyDelete;
    default: return 0;
    }
}

namespace {
class KeyForwarder : public QObject {
public:
    KeyForwarder(QWidget* widget, KeyDownHandler handler) : QObject(widget), handler_(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto* key = static_cast<const QKeyEvent*>(event);
        const int code = platformKeyCode(*key);
        if (code == 0)
            return false;
        return handler_(code, shiftState(key->modifiers())) == 0; // a swallowed key stops here
    }

private:
    KeyDownHandler handler_;
};
} // namespace

void forwardKeys(QWidget* widget, KeyDownHandler handler)
{
    if (widget)
        widget->installEventFilter(new KeyForwarder(widget, std::move(handler)));
}

} // namespace q7::forms
