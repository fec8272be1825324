#pragma once

#include <QStringList>

#include "host/report/ReportViewer.h"

// `q7bom report KEY`: runs a BOM report through the report viewer.
int runReport(const QStringList& args);

// "NAME=VALUE", "NAME=LOW..HIGH", "NAME=LOW..", "NAME=..HIGH" as typed after --filter.
q7::host::report::FilterSetting parseFilterSetting(const QString& text);
