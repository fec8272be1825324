#pragma once

#include <QStringList>

namespace q7::app {

// `q7bom browse ITEM`: opens the multi-level browse window offscreen as the
// host does, fills its condition dialog, grows the tree and prints it
// indented (or saves the window as a PNG). It needs a QApplication.
int runBrowseCommand(const QStringList& args);

} // namespace q7::app
