#pragma once

#include <QStringList>

namespace q7::app::gui {

// `q7bom gui [--db FILE] [--screenshot DIR]`: the desktop workbench.
int runGui(const QStringList& args);

} // namespace q7::app::gui
