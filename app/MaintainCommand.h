#pragma once

#include <QStringList>

namespace q7::app {

// `q7bom maintain replace|remove|llc|check …`, `q7bom maintain runs` and
// `q7bom maintain --undo RUN`: the BOM maintenance forms without a window.
int runMaintainCommand(const QStringList& args);

// Whether the arguments ask for the form's window (--window or --screenshot),
// which needs a widget application.
bool maintainNeedsWidgets(int argc, char* argv[]);

} // namespace q7::app
