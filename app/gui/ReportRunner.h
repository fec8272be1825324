#pragma once

#include "app/gui/ReportDocument.h"

#include <QObject>
#include <QThread>

#include <atomic>
#include <memory>

// Runs a report's queries off the window's thread, on a connection of its
// own, one run at a time: the window stays responsive, shows how far the run
// got and can stop it. The result arrives through finished().
namespace q7::app::gui {

class ReportWorker;

class ReportRunner : public QObject {
    Q_OBJECT
public:
    ReportRunner(const QString& reportKey, const QString& accountPath, QObject* parent = nullptr);
    // Stops a run under way and waits for the thread.
    ~ReportRunner() override;

    // Starts a run; false when one is under way.
    bool start(const QList<host::report::FilterSetting>& settings, int angle);
    // Asks the run under way to stop; finished() follows with cancelled set.
    void stop();
    bool busy() const { return busy_; }
    // The rows read so far by the run under way.
    qint64 rowsRead() const { return rows_->load(std::memory_order_relaxed); }

signals:
    void finished(std::shared_ptr<q7::app::gui::ReportRun> run);

private:
    QThread thread_;
    ReportWorker* worker_ = nullptr; // lives on thread_, deleted there when it ends
    std::shared_ptr<RunStop> stop_ = std::make_shared<RunStop>();
    std::shared_ptr<std::atomic<qint64>> rows_ = std::make_shared<std::atomic<qint64>>(0);
    bool busy_ = false;
};

} // namespace q7::app::gui
