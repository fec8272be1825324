#pragma once

class QWidget;

namespace q7::forms {

// The application's main window, when it has one: the forms' own windows open
// over it (owned by it, so they stay in front of it and go with it) instead of
// as windows of their own somewhere on the desktop.
void setFormOwner(QWidget* owner);
QWidget* formOwner();

// Places a form's top-level window the first time it is shown: owned by the
// main window, centred on it (on the screen without one), no larger than the
// screen's free area and wholly on it. A window inside another is left alone.
void placeFormWindow(QWidget& window);

} // namespace q7::forms
