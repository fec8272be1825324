#pragma once

#include <QString>

// One synthetic account of a million BOM lines (125000 parts, 5 levels,
// fanout 10), made once per benchmark process for the benchmarks that use it.
const QString& millionLineAccount();
