#pragma once

#include "app/OutputTable.h"
#include "host/db/procedures/ExplosionDiff.h"

namespace q7::app {

// The diff's rows as the command prints them: the added, removed and changed
// lines (every line with all), and the totals per component.
OutputTable diffLinesTable(const q7::host::db::procedures::ExplosionDiff& diff, bool all = false);
OutputTable diffTotalsTable(const q7::host::db::procedures::ExplosionDiff& diff);

} // namespace q7::app
