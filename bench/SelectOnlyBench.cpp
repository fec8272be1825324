// q7bench-select FILE KEY: the floor of `q7bom report KEY --db FILE --format csv`.
//
// Runs the report's statement as the report does (the handler's defaults, the
// bridge, the account's connection with its page cache and memory map) and
// steps through every row without reading a cell or writing anything: the
// statement's own time on the account's settings, for bench/side-by-side.sh.
#include "frame/Registration.h"
#include "host/HostRegistration.h"
#include "host/db/AccountDatabase.h"
#include "host/report/ReportViewer.h"
#include "platform/AutomationError.h"
#include "platform/data/Ado.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

// Takes the rows in place and only counts them.
struct RowCounter final : q7::data::RowConsumer, q7::data::RawRowSink {
    long long rows = 0;
    qsizetype columnCount = 0;
    bool raw = false;
    void columns(const QStringList& names) override { columnCount = names.size(); }
    void row(const QVector<QVariant>&) override { ++rows; }
    void row(sqlite3_stmt*, int) override { ++rows; }
    q7::data::RawRowSink* rawSink() override
    {
        raw = true;
        return this;
    }
};

} // namespace

int main(int argc, char** argv)
{
    const QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: q7bench-select FILE KEY\n");
        return 2;
    }
    q7::host::registerHostServices();
    q7::component::DllRegisterServer();
    try {
        q7::host::report::ReportViewer viewer(args[1]);
        q7::data::Connection connection;
        q7::host::db::openAccount(connection, args[0]);
        RowCounter counter;
        const auto outcome = viewer.run({}, 0, &connection, &counter);
        if (outcome.refused) {
            std::fprintf(stderr, "q7bench-select: %s\n", outcome.message.toUtf8().constData());
            return 2;
        }
        if (!counter.raw) { // a procedure's rows or a server's: not a statement stepped on the file
            std::fprintf(stderr, "q7bench-select: %s does not run one statement on the file\n", args[1].toUtf8().constData());
            return 2;
        }
        std::fprintf(stderr, "%lld rows\n%lld columns\n", counter.rows, static_cast<long long>(counter.columnCount));
        return 0;
    } catch (const q7::AutomationError& error) {
        std::fprintf(stderr, "q7bench-select: %s\n", error.description().toUtf8().constData());
        return 1;
    }
}
