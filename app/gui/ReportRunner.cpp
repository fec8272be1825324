#include "app/gui/ReportRunner.h"

#include "platform/AutomationError.h"

#include <malloc.h>

namespace q7::app::gui {

// The side of the runner on its own thread: the document and its connection
// are made, used and destroyed there.
class ReportWorker : public QObject {
    Q_OBJECT
public:
    ReportWorker(QString key, QString accountPath, std::shared_ptr<RunStop> stop, std::shared_ptr<std::atomic<qint64>> rows)
        : key_(std::move(key)), accountPath_(std::move(accountPath)), stop_(std::move(stop)), rows_(std::move(rows))
    {
    }

    void run(const QList<host::report::FilterSetting>& settings, int angle)
    {
        auto run = std::make_shared<ReportRun>();
        try {
            if (!document_) {
                document_ = std::make_unique<ReportDocument>(key_, accountPath_);
                document_->setStop(stop_);
            }
            *run = document_->run(settings, angle, [this](qint64 rows) {
                rows_->store(rows, std::memory_order_relaxed);
                return !stop_->requested();
            });
        } catch (const AutomationError& error) {
            run->refused = true;
            run->message = error.description();
        } catch (const std::exception& error) {
            run->refused = true;
            run->message = QString::fromUtf8(error.what());
        }
        if (run->cancelled)
            malloc_trim(0); // the rows read before the stop go back to the system
        emit done(run);
    }

signals:
    void done(std::shared_ptr<q7::app::gui::ReportRun> run);

private:
    QString key_, accountPath_;
    std::shared_ptr<RunStop> stop_;
    std::shared_ptr<std::atomic<qint64>> rows_;
    std::unique_ptr<ReportDocument> document_;
};

ReportRunner::ReportRunner(const QString& reportKey, const QString& accountPath, QObject* parent) : QObject(parent)
{
    qRegisterMetaType<std::shared_ptr<q7::app::gui::ReportRun>>();
    thread_.setObjectName(QStringLiteral("report ") + reportKey);
    worker_ = new ReportWorker(reportKey, accountPath, stop_, rows_); // owned by the thread from here: deleted when it ends
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    connect(worker_, &ReportWorker::done, this, [this](std::shared_ptr<ReportRun> run) {
        busy_ = false;
        emit finished(std::move(run));
    });
    thread_.start();
}

ReportRunner::~ReportRunner()
{
    stop_->request();
    thread_.quit();
    thread_.wait();
}

bool ReportRunner::start(const QList<host::report::FilterSetting>& settings, int angle)
{
    if (busy_)
        return false;
    busy_ = true;
    stop_->clear();
    rows_->store(0);
    QMetaObject::invokeMethod(worker_, [worker = worker_, settings, angle] { worker->run(settings, angle); }, Qt::QueuedConnection);
    return true;
}

void ReportRunner::stop()
{
    if (busy_)
        stop_->request();
}

} // namespace q7::app::gui

#include "ReportRunner.moc"
