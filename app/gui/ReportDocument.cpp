#include "app/gui/ReportDocument.h"

#include "host/db/AccountDatabase.h"
#include "host/db/procedures/ProcedureSupport.h"
#include "platform/values/Values.h"

#include <QElapsedTimer>
#include <QSqlDriver>

#include <sqlite3.h>

namespace q7::app::gui {

ReportDocument::ReportDocument(const QString& reportKey, const QString& accountPath) : key_(reportKey), accountPath_(accountPath)
{
    host::report::ReportViewer viewer(reportKey);
    for (const auto& item : viewer.filter().items())
        fields_.append({item->definition, values::toTextOrEmpty(item->varValue), values::toTextOrEmpty(item->varValue2)});
    angles_ = viewer.angles();
}

void RunStop::request()
{
    flag_->store(true);
    if (sqlite3* database = database_.load())
        sqlite3_interrupt(database); // safe from any thread while the connection is open
}

void RunStop::attach(data::Connection& connection)
{
    host::db::procedures::setStopFlag(connection, flag_);
    const QVariant handle = connection.database().driver()->handle();
    if (connection.isEmbedded() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        database_.store(*static_cast<sqlite3* const*>(handle.data()));
    if (requested()) // a stop that came before the connection was known
        request();
}

QString ReportDocument::title() const { return host::report::definition(key_).title; }

namespace {

struct Stopped {};

// Keeps the rows packed as they are read, a statement of the file's cells in
// place, and asks the callback whether to go on.
class CollectingConsumer : public data::RowConsumer, data::RawRowSink {
public:
    explicit CollectingConsumer(const ReportDocument::Progress& progress) : progress_(progress) {}
    void columns(const QStringList& names) override { rows.columns(names); }
    void row(const QVector<QVariant>& values) override
    {
        rows.append(values);
        kept();
    }
    void row(sqlite3_stmt* statement, int columnCount) override
    {
        rows.row(statement, columnCount);
        kept();
    }
    data::RawRowSink* rawSink() override { return this; }
    data::RowStore rows;

private:
    void kept()
    {
        if (progress_ && !progress_(rows.size()))
            throw Stopped{};
    }
    const ReportDocument::Progress& progress_;
};

} // namespace

ReportRun ReportDocument::run(const QList<host::report::FilterSetting>& settings, int angle, const Progress& progress)
{
    if (!connection_) {
        auto connection = std::make_unique<data::Connection>();
        host::db::openAccount(*connection, accountPath_);
        host::db::procedures::setRowLimit(*connection, host::db::procedures::DefaultRowLimit);
        if (stop_)
            stop_->attach(*connection);
        connection_ = std::move(connection);
    }
    QElapsedTimer timer;
    timer.start();
    host::report::ReportViewer viewer(key_);
    ReportRun run;
    host::report::ReportOutcome outcome;
    const auto stopped = [&] {
        ReportRun cancelled;
        cancelled.cancelled = true;
        cancelled.elapsedMs = timer.elapsed();
        return cancelled;
    };
    CollectingConsumer consumer(progress);
    try {
        outcome = viewer.run(settings, angles_.isEmpty() ? 0 : angle, connection_.get(), &consumer);
    } catch (const Stopped&) {
        return stopped();
    } catch (...) {
        if (stop_ && stop_->requested()) // the statement or the procedure was stopped under way
            return stopped();
        throw;
    }
    if (stop_ && stop_->requested())
        return stopped();
    run.elapsedMs = timer.elapsed();
    run.refused = outcome.refused;
    run.message = outcome.message;
    run.offendingItem = outcome.refused ? offendingItem(outcome.message, fields_) : QString();
    run.statement = outcome.statement;
    run.rows = std::move(consumer.rows);
    if (run.rows.columnNames().isEmpty())
        run.rows.columns(outcome.rows.columns);
    return run;
}

QString offendingItem(const QString& message, const QList<FilterField>& fields)
{
    for (const FilterField& field : fields) {
        const QString caption = values::trim(field.definition.caption);
        if (!caption.isEmpty() && (message.contains(QStringLiteral("[ %1 ]").arg(caption)) || message.contains(QStringLiteral("[%1]").arg(caption))))
            return field.definition.name;
    }
    return {};
}

} // namespace q7::app::gui
