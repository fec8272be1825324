#pragma once

#include <QStringList>

namespace q7::app {

// `q7bom program-types`: every menu key with the program type, voucher type
// and handler class that the component answers through SetProgramType.
int runProgramTypes(const QStringList& args);

} // namespace q7::app
