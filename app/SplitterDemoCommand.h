#pragma once

#include <QStringList>

namespace q7::app {

// `q7bom splitter-demo`: two panes divided by a draggable splitter bar.
int runSplitterDemo(const QStringList& args);

} // namespace q7::app
