#pragma once

#include <QKeyEvent>
#include <QWidget>

#include <functional>

namespace q7::forms {

// Key codes as the platform's KeyDown events carry them.
enum KeyCode {
    KeyBack = 8, KeyTab = 9, KeyReturn = 13, KeyEscape = 27, KeySpace = 32,
    KeyPageUp = 33, KeyPageDown = 34, KeyEnd = 35, KeyHome = 36,
    KeyLeft = 37, KeyUp = 38, KeyRight = 39, KeyDown = 40, KeyInsert = 45, KeyDelete = 46,
    KeyF1 = 112, KeyF2 = 113, KeyF3 = 114, KeyF12 = 123
};
// The shift state's bits: 1 Shift, 2 Ctrl, 4 Alt.
int shiftState(Qt::KeyboardModifiers modifiers);
// The platform's code of a key pressed on the keyboard; 0 for a key it has none for.
int platformKeyCode(const QKeyEvent& event);

// Passes every key pressed in the widget to a control's KeyDown first: the
// handler answers the key code it leaves for the widget (0 swallows the key).
using KeyDownHandler = std::function<int(int keyCode, int shift)>;
void forwardKeys(QWidget* widget, KeyDownHandler handler);

} // namespace q7::forms
