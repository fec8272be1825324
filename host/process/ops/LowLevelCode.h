#pragma once

#include "host/process/ops/BomStructure.h"
#include "host/process/ops/OperationResult.h"

#include <QString>

#include <vector>

namespace q7::data {
class Connection;
}

namespace q7::host::process::ops {

// Low-level codes of a structure: for every part the deepest level at which
// it is a component (0 for a part that is no one's component), computed in
// one pass over the parts in topological order, so no path is ever listed.
// Parts on a cycle have no code (−1); the parts below a cycle count the
// cycle as one part.
struct LowLevelCodes {
    std::vector<int> code;                // by node
    std::vector<std::vector<int>> cycles; // each cycle as nodes from a part back to it
};
LowLevelCodes computeLowLevelCodes(const BomStructure& structure);

// Computes the low-level codes of the BOMs in force on the date and stores
// those that changed (table bas_part_llc), in one recorded run. Parts on a
// cycle keep their stored code; each cycle is listed with its path.
OperationResult runLowLevelCode(data::Connection& connection, const QString& date, const RunOptions& options);

} // namespace q7::host::process::ops
