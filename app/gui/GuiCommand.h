#pragma once

#include <QStringList>

// `q7bom gui [--db FILE] [--screenshot DIR]`: the desktop workbench.
int runGui(const QStringList& args);
