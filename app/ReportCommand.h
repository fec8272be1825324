#pragma once

#include <QStringList>

// `q7bom report KEY`: runs a BOM report through the report viewer.
int runReport(const QStringList& args);
