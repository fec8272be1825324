#pragma once

#include "host/report/ReportViewer.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>

namespace q7::host::script {

inline constexpr const char* ReportViewerClassId = "Q7Host.ReportViewer";

// The report viewer as a script drives it, headless. Late-bound:
// Open(key) makes the viewer of a report (its handler set up, defaults
// written); Key; Filters → [{name, caption, range, list, value}];
// SetFilter(name, value) (on a range item: exactly that value) or
// SetFilter(name, low, high) (Empty leaves a bound open); ClearFilters;
// Angle (0 or 1 …); Sql → the statement the viewer would run;
// Run(account) → {refused, message, statement, columns, rows}.
class ReportViewerObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Key READ key)
    Q_PROPERTY(int Angle MEMBER angle_)
public:
    ReportViewerObject();
    ~ReportViewerObject() override;

    Q_INVOKABLE void Open(const QString& key);
    Q_INVOKABLE QVariant Filters();
    Q_INVOKABLE void SetFilter(const QString& name, const QVariant& value);
    Q_INVOKABLE void SetFilter(const QString& name, const QVariant& low, const QVariant& high);
    Q_INVOKABLE void ClearFilters() { settings_.clear(); }
    Q_INVOKABLE QString Sql();
    Q_INVOKABLE QVariant Run(const QVariant& account);

    QString key() const;

private:
    report::ReportViewer& viewer();
    void store(report::FilterSetting setting);

    std::unique_ptr<report::ReportViewer> viewer_;
    QList<report::FilterSetting> settings_;
    int angle_ = 0;
};

} // namespace q7::host::script
