#pragma once

namespace q7::host {

// Registers the host's service classes with the run-time under their
// class identifiers.
void registerHostServices();

} // namespace q7::host
