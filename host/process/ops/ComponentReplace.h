#pragma once

#include "host/process/ops/ComponentLines.h"
#include "host/process/ops/OperationResult.h"
#include "host/process/ops/Parts.h"

#include <optional>

namespace q7::data {
class Connection;
}

namespace q7::host::process::ops {

struct ReplaceParameters {
    PartKey oldPart;
    PartKey newPart;
    LineScope scope;
    // From this date on (yyyy-mm-dd) instead of at every date: a line in force
    // before and on it ends there and a copy naming the new part begins there; a
    // line that begins on or after it is changed as it is; a line that ended by
    // then stays. The run is recorded as an engineering change.
    std::optional<QString> fromDate = std::nullopt;
};

// Replaces the old part by the new one as component in every line of the
// scope, in one recorded run. Refused, with nothing written, when a part
// does not exist, when old and new are the same part, or when the new part
// would become a component of itself (the message names the path).
// A run from a date also refuses a date that is no yyyy-mm-dd date.
OperationResult replaceComponent(data::Connection& connection, const ReplaceParameters& parameters, const RunOptions& options);

} // namespace q7::host::process::ops
