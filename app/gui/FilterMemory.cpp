#include "app/gui/FilterMemory.h"

#include <QSettings>

namespace q7::app::gui {

namespace {
QString groupOf(const QString& reportKey) { return QStringLiteral("filters/") + reportKey; }
} // namespace

void rememberFilter(const QString& reportKey, const RememberedFilter& filter)
{
    QSettings settings;
    settings.remove(groupOf(reportKey));
    settings.beginGroup(groupOf(reportKey));
    settings.setValue(QStringLiteral("angle"), filter.angle);
    settings.beginWriteArray(QStringLiteral("items"), static_cast<int>(filter.settings.size()));
    for (int i = 0; i < filter.settings.size(); ++i) {
        settings.setArrayIndex(i);
        const auto& s = filter.settings[i];
        settings.setValue(QStringLiteral("name"), s.name);
        settings.setValue(QStringLiteral("low"), s.low);
        if (s.high)
            settings.setValue(QStringLiteral("high"), *s.high);
    }
    settings.endArray();
    settings.endGroup();
}

std::optional<RememberedFilter> rememberedFilter(const QString& reportKey)
{
    QSettings settings;
    if (!settings.childGroups().contains(QStringLiteral("filters")))
        return std::nullopt;
    settings.beginGroup(groupOf(reportKey));
    if (!settings.contains(QStringLiteral("angle")))
        return std::nullopt;
    RememberedFilter filter;
    filter.angle = settings.value(QStringLiteral("angle")).toInt();
    const int count = settings.beginReadArray(QStringLiteral("items"));
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        host::report::FilterSetting s{settings.value(QStringLiteral("name")).toString(), settings.value(QStringLiteral("low")).toString(),
                                      std::nullopt};
        if (settings.contains(QStringLiteral("high")))
            s.high = settings.value(QStringLiteral("high")).toString();
        filter.settings.append(s);
    }
    settings.endArray();
    return filter;
}

} // namespace q7::app::gui
