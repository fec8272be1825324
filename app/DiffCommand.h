#pragma once

#include "app/OutputTable.h"
#include "host/db/procedures/ExplosionDiff.h"

#include <QStringList>

// `q7bom diff ITEM --at D1 --against D2`: what differs between two indented
// explosions, through all levels.
int runDiffCommand(const QStringList& args);
// Whether the command line asks for the diff's window (--window, --screenshot).
bool diffNeedsWidgets(int argc, char* argv[]);

// The diff's rows as the command prints them: the added, removed and changed
// lines (every line with all), and the totals per component.
OutputTable diffLinesTable(const q7::host::procedures::ExplosionDiff& diff, bool all = false);
OutputTable diffTotalsTable(const q7::host::procedures::ExplosionDiff& diff);
