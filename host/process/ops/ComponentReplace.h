#pragma once

#include "host/process/ops/ComponentLines.h"
#include "host/process/ops/OperationResult.h"
#include "host/process/ops/Parts.h"

namespace q7::ado {
class Connection;
}

namespace q7::host::process {

struct ReplaceParameters {
    PartKey oldPart;
    PartKey newPart;
    LineScope scope;
};

// Replaces the old part by the new one as component in every line of the
// scope, in one recorded run. Refused, with nothing written, when a part
// does not exist, when old and new are the same part, or when the new part
// would become a component of itself (the message names the path).
OperationResult replaceComponent(ado::Connection& connection, const ReplaceParameters& parameters, const RunOptions& options);

} // namespace q7::host::process
