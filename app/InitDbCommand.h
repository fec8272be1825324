#pragma once

#include <QStringList>

// `q7bom init-db`: creates the demo account, or a synthetic one for scale.
int runInitDb(const QStringList& args);
