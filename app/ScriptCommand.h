#pragma once

#include <QStringList>

namespace q7::app {

// q7bom script FILE.js [ARGS…]: runs an automation script (see --help).
int runScriptCommand(const QStringList& args);

} // namespace q7::app
