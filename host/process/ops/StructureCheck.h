#pragma once

#include "host/process/ops/OperationResult.h"

#include <QString>

namespace q7::data {
class Connection;
}

namespace q7::host::process::ops {

// Checks the BOM structure and changes nothing. Lists, in this order:
//  循环     — each cycle of the BOMs in force on the date, with its path
//  层数超限 — each top parent whose structure in force goes deeper than
//             maxLevels levels, with its deepest path
//  子件缺失 — lines (of any BOM and date) whose component is no part, or whose item is gone
//  用量错误 — lines whose base quantity or its denominator is zero or negative
OperationResult checkStructure(data::Connection& connection, int maxLevels, const QString& date);

} // namespace q7::host::process::ops
