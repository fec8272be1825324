#pragma once

#include "host/process/ops/ComponentLines.h"
#include "host/process/ops/OperationResult.h"
#include "host/process/ops/Parts.h"

namespace q7::data {
class Connection;
}

namespace q7::host::process::ops {

// Removes the part as component from every BOM (every type, version and
// date), each line with its substitutes, remarks, location designators and
// its own line options, in one recorded run. Refused when the part does not exist.
OperationResult removeComponent(data::Connection& connection, const PartKey& part, const RunOptions& options);

} // namespace q7::host::process::ops
