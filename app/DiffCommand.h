#pragma once

#include <QStringList>

namespace q7::app {

// `q7bom diff ITEM --at D1 --against D2`: what differs between two indented
// explosions, through all levels.
int runDiffCommand(const QStringList& args);
// Whether the command line asks for the diff's window (--window, --screenshot).
bool diffNeedsWidgets(int argc, char* argv[]);

} // namespace q7::app
