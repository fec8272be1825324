#pragma once

#include "host/report/ReportViewer.h"

#include <QList>
#include <QString>

#include <optional>

// The last filter values of each report, kept between runs in the user's settings.
namespace q7::app::gui {

struct RememberedFilter {
    QList<host::report::FilterSetting> settings;
    int angle = 0;
};

void rememberFilter(const QString& reportKey, const RememberedFilter& filter);
std::optional<RememberedFilter> rememberedFilter(const QString& reportKey);

} // namespace q7::app::gui
