#pragma once

#include "host/report/ReportViewer.h"
#include "platform/data/Ado.h"
#include "platform/data/RowStore.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

struct sqlite3;

// One report opened on an account, as the report window shows it: the filter
// items with the handler's defaults, the angles, and runs through the report
// viewer (a fresh viewer per run, so every run starts from the handler's
// defaults and the dialog's values only).
namespace q7::app::gui {

struct FilterField {
    host::report::ItemDefinition definition;
    QString low;  // the handler's default after SetFilterList
    QString high; // for range items
};

struct ReportRun {
    bool refused = false;
    bool cancelled = false; // stopped by the progress callback; no rows kept
    QString message;
    QString offendingItem; // the item the refusal names ("" when none)
    QString statement;
    data::RowStore rows; // packed: a wide report of a million rows in the size of its text
    qint64 elapsedMs = 0;
};

// Stops a run from another thread: the rows stop at the next one read, a
// procedure at its next row, a statement of the embedded database under way
// is interrupted.
class RunStop {
public:
    void request();
    void clear() { flag_->store(false); }
    bool requested() const { return flag_->load(std::memory_order_relaxed); }
    // The connection the runs use (on the thread that runs them).
    void attach(data::Connection& connection);

private:
    std::shared_ptr<std::atomic<bool>> flag_ = std::make_shared<std::atomic<bool>>(false);
    std::atomic<sqlite3*> database_{nullptr};
};

class ReportDocument {
public:
    ReportDocument(const QString& reportKey, const QString& accountPath);

    const QString& key() const { return key_; }
    const QString& accountPath() const { return accountPath_; }
    QString title() const;
    const QList<FilterField>& fields() const { return fields_; }
    const QStringList& angles() const { return angles_; }

    // Answers false to stop the run; called with the rows read so far.
    using Progress = std::function<bool(qint64 rows)>;

    // Runs the report with the settings as the dialog holds them (every item).
    // With a progress callback the rows are read one by one and the callback
    // may stop the run (a long explosion).
    ReportRun run(const QList<host::report::FilterSetting>& settings, int angle, const Progress& progress = {});
    // Runs from now on can be stopped through stop (set before the first run).
    void setStop(std::shared_ptr<RunStop> stop) { stop_ = std::move(stop); }

private:
    QString key_;
    QString accountPath_;
    QList<FilterField> fields_;
    QStringList angles_;
    std::unique_ptr<data::Connection> connection_;
    std::shared_ptr<RunStop> stop_;
};

// The item whose caption a refusal names ("[ caption ]"), "" when none does.
QString offendingItem(const QString& message, const QList<FilterField>& fields);

} // namespace q7::app::gui
