#pragma once

#include "host/report/ViewerObjects.h"
#include "platform/data/Ado.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace q7::host::report {

// What the user typed into one filter item: a value, or the bounds of a range.
struct FilterSetting {
    QString name;
    QString low;
    std::optional<QString> high; // set for "LOW..HIGH", "LOW.." and "..HIGH"
};

struct ReportOutcome {
    bool refused = false;
    QString message;    // the refusal, "%s" filled in
    QString statement;  // the statement the viewer runs
    QStringList declaredColumns; // key columns the handler declared
    data::ResultSet rows;
};

// The report viewer, driving a report handler as the host's viewer does:
// creates it through the program definition (type 5), binds it to its
// filter, raises SetFilterList, applies what the user typed, raises
// CheckFilterCondition (stopping on cancel), SetReportInfo and SetReportSQL,
// and runs the statement on the account's connection.
class ReportViewer {
public:
    explicit ReportViewer(const QString& reportKey);

    const ReportDefinition& definition() const { return definition_; }
    // The filter after SetFilterList (defaults written).
    ViewerFilter& filter() { return *filter_; }
    // The angles of a multi-angle report; empty for the others.
    QStringList angles() const;

    // Applies the settings and runs the report. With connection null the
    // statement is built but not run. Unknown items are errors. With a
    // consumer the rows go to it as they are read (the outcome keeps the columns).
    ReportOutcome run(const QList<FilterSetting>& settings, int angle, data::Connection* connection, data::RowConsumer* consumer = nullptr);

private:
    ReportDefinition definition_;
    Object handler_;
    QSharedPointer<ViewerFilter> filter_;
    QSharedPointer<ViewerReportInfo> info_;
};

// The statement of a record: its non-empty text fields in order, joined by one blank.
QString joinStatement(const q7::ReportSqlParts& parts);

} // namespace q7::host::report
