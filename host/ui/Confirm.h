#pragma once

#include <QString>

class QWidget;

namespace q7::host::ui {

// Asks the user a yes-or-no question in a message box owned by owner's
// window; No is the default, and a question nobody can answer (offscreen,
// no driver) is a no.
bool confirm(QWidget* owner, const QString& question);

} // namespace q7::host::ui
