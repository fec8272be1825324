#pragma once

namespace q7::host {

// Registers the host's service classes with the run-time under their
// class identifiers, and the account database's procedures.
void registerHostServices();

} // namespace q7::host
