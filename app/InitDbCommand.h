#pragma once

#include <QStringList>

namespace q7::app {

// `q7bom init-db`: creates the demo account, or a synthetic one for scale.
int runInitDb(const QStringList& args);

} // namespace q7::app
