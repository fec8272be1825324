#pragma once

#include <QStringList>

// q7bom script FILE.js [ARGS…]: runs an automation script (see --help).
int runScriptCommand(const QStringList& args);
