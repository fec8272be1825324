// A team on one account: how the BOM operations hold up when many users run
// them at once on the embedded file or on a server account.
//
//   q7bench-team --server CONNECTION | --file PATH.db [--clients 1,4,16,64] [--seconds 20]
//                [--lines N] [--seed S] [--hot K] [--journal-dir DIR] [--keep]
//
// It makes a fresh synthetic account, then for each client count N starts N
// processes of itself (the hidden --client mode) that all begin together and
// run for the given time, each picking at random (seeded) among an explosion
// report, a where-used report, a structure browse, a voucher save of a BOM
// with one line's quantity changed, and a maintenance replace followed by its
// undo. Each client times what it did, counts the refusals writers must
// expect from one another (a save or undo over a concurrent change, the
// file's write lock kept by another writer, the server's serialization
// failure) and the errors (anything else), and journals every write it made.
// After each round the account is audited (bench/team/Audit.h). Exit status
// 1 when any operation failed with an error, a client did not run to the
// end, or the audit found a problem; 2 for refused input.
//
// A benchmark run by hand; a short round of it also runs as a test (tests/CMakeLists.txt).

#include "bench/team/AccountAudit.h"
#include "bench/team/Client.h"
#include "bench/team/Plan.h"
#include "bench/team/ResultTable.h"
#include "bench/team/Round.h"
#include "bench/team/TeamAccount.h"
#include "bench/team/TeamOptions.h"
#include "frame/Registration.h"
#include "host/HostRegistration.h"
#include "platform/AutomationError.h"
#include "platform/data/Ado.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>

using namespace q7::bench::team;

namespace {

QString folderOf(const LoadOptions& o, std::optional<QTemporaryDir>& temporary)
{
    if (!o.journalDir.isEmpty()) {
        QDir().mkpath(o.journalDir);
        return QDir(o.journalDir).absolutePath();
    }
    temporary.emplace(QDir::tempPath() + QStringLiteral("/q7bench-team-XXXXXX"));
    if (!temporary->isValid())
        throw std::runtime_error("cannot make a temporary folder");
    return temporary->path();
}

int runLoad(const LoadOptions& o)
{
    std::optional<QTemporaryDir> temporary;
    const QString folder = folderOf(o, temporary);
    const auto synthetic = syntheticForLines(o.lines, o.seed);
    std::fprintf(stderr, "making the account …\n");
    TeamAccount account = o.server.isEmpty() ? TeamAccount::onFile(o.file, synthetic) : TeamAccount::onServer(o.server, synthetic, o.keep);
    Plan plan;
    {
        q7::data::Connection connection;
        q7::host::db::openAccount(connection, account.account());
        plan = discoverPlan(connection, account.account(), o.hot, o.seed);
    }
    const QString planFile = folder + QStringLiteral("/plan.json");
    plan.save(planFile);

    QList<RoundRow> rows;
    bool failed = false;
    for (const int clients : o.clients) {
        std::fprintf(stderr, "%d client(s) for %d s …\n", clients, o.seconds);
        RoundRow row;
        row.round = runRound({clients, o.seconds, o.seed, planFile, folder + QStringLiteral("/clients-%1").arg(clients)});
        row.audit = auditAccount(plan, readWriteLogs(folder));
        for (const QString& failure : row.round.failures)
            std::fprintf(stderr, "  %s\n", failure.toUtf8().constData());
        for (const QString& message : row.round.tally.errorMessages())
            std::fprintf(stderr, "  error: %s\n", message.toUtf8().constData());
        for (const QString& problem : row.audit.problems)
            std::fprintf(stderr, "  audit: %s\n", problem.toUtf8().constData());
        failed = failed || !row.round.failures.isEmpty() || row.round.tally.errors() > 0 || !row.audit.ok();
        rows.append(row);
    }
    std::printf("%s, %d s per round, seed %llu, %d hot BOMs\n%s\n%s", account.description().toUtf8().constData(), o.seconds,
                static_cast<unsigned long long>(o.seed), static_cast<int>(plan.hot.size()), resultTable(rows).toUtf8().constData(),
                refusalsByKind(rows).toUtf8().constData());
    if (failed && temporary) {
        temporary->setAutoRemove(false); // what the clients journaled, to look into
        std::fprintf(stderr, "the clients' files are kept in %s\n", folder.toUtf8().constData());
    }
    return failed ? 1 : 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const Invocation invocation = parseArguments(app.arguments());
    if (const int* status = std::get_if<int>(&invocation))
        return *status;
    q7::host::registerHostServices();
    q7::component::DllRegisterServer();
    if (const auto* client = std::get_if<ClientOptions>(&invocation))
        return runClient(*client);
    try {
        return runLoad(std::get<LoadOptions>(invocation));
    } catch (const q7::AutomationError& e) {
        std::fprintf(stderr, "q7bench-team: %s\n", e.description().toUtf8().constData());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "q7bench-team: %s\n", e.what());
    }
    return 1;
}
