#pragma once

#include <QStringList>

#include "host/report/ReportViewer.h"

namespace q7::app {

// `q7bom report KEY`: runs a BOM report through the report viewer.
int runReport(const QStringList& args);

// "NAME=VALUE", "NAME=LOW..HIGH", "NAME=LOW..", "NAME=..HIGH" as typed after --filter.
q7::host::report::FilterSetting parseFilterSetting(const QString& text);
// The settings as the filter dialog takes them: one value on a range item
// means exactly that value, and the last setting of an item wins whole.
QList<q7::host::report::FilterSetting> effectiveSettings(const QList<q7::host::report::FilterSetting>& typed,
                                                         const q7::host::report::ViewerFilter& filter);

} // namespace q7::app
