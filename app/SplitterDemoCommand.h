#pragma once

#include <QStringList>

// `q7bom splitter-demo`: two panes divided by a draggable splitter bar.
int runSplitterDemo(const QStringList& args);
