#include "app/InitDbCommand.h"

#include "app/CommandParser.h"
#include "app/Progress.h"
#include "host/db/AccountDatabase.h"
#include "platform/data/ServerConnection.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>
#include <limits>

namespace q7::app {

int runInitDb(const QStringList& args)
{
    CommandParser command(QStringLiteral("init-db"), QStringLiteral("[--path FILE | --server CONNECTION] [--force] [--demo | --synthetic --parts N --depth D --fanout F [--seed S]]"),
                          QStringLiteral("Creates an account database. Without --synthetic it holds the demo data set;\n"
                                         "with it, a deterministic BOM forest of N parts over D levels, F lines per BOM.\n"
                                         "The default path is the demo account in the user's data directory. An account\n"
                                         "already there is replaced only with --force; any other file is never replaced.\n"
                                         "With --server the account is made in a PostgreSQL database (a libpq connection\n"
                                         "string or URI; the password comes from PGPASSWORD or ~/.pgpass, never from the\n"
                                         "command line); a database holding other tables is replaced only with --force."));
    command.addOption({QStringLiteral("path"), QStringLiteral("Where to create the account."), QStringLiteral("FILE")});
    command.addOption({QStringLiteral("server"), QStringLiteral("Create the account in this PostgreSQL database."), QStringLiteral("CONNECTION")});
    command.addOption({QStringLiteral("force"), QStringLiteral("Replace an account database that is already there.")});
    command.addOption({QStringLiteral("demo"), QStringLiteral("The demo data set (the default).")});
    command.addOption({QStringLiteral("synthetic"), QStringLiteral("A synthetic BOM forest instead of the demo data set.")});
    command.addOption({QStringLiteral("parts"), QStringLiteral("Parts of the synthetic account (default 1000)."), QStringLiteral("N")});
    command.addOption({QStringLiteral("depth"), QStringLiteral("Levels of the synthetic account (default 5)."), QStringLiteral("D")});
    command.addOption({QStringLiteral("fanout"), QStringLiteral("Lines per BOM of the synthetic account (default 5)."), QStringLiteral("F")});
    command.addOption({QStringLiteral("seed"), QStringLiteral("Seed of the synthetic account (default 1)."), QStringLiteral("S")});
    if (const auto done = command.parse(args))
        return *done;

    QString path = q7::host::db::defaultDemoPath();
    if (command.isSet(QStringLiteral("path"))) {
        path = command.value(QStringLiteral("path"));
        if (path.trimmed().isEmpty())
            return command.refuse(QStringLiteral("--path needs a file name"));
    }
    const bool server = command.isSet(QStringLiteral("server"));
    if (server) {
        if (command.isSet(QStringLiteral("path")))
            return command.refuse(QStringLiteral("--path and --server name two accounts; give one"));
        if (command.value(QStringLiteral("server")).trimmed().isEmpty())
            return command.refuse(QStringLiteral("--server needs a connection string"));
        path = q7::host::db::serverAccount(command.value(QStringLiteral("server")));
    }
    const bool synthetic = command.isSet(QStringLiteral("synthetic"));
    if (synthetic && command.isSet(QStringLiteral("demo")))
        return command.refuse(QStringLiteral("--demo and --synthetic are two data sets; give one"));
    const bool force = command.isSet(QStringLiteral("force"));
    q7::host::db::SyntheticOptions options;
    const struct {
        const char* name;
        int* target;
    } sizes[] = {{"parts", &options.parts}, {"depth", &options.depth}, {"fanout", &options.fanout}};
    for (const auto& size : sizes) {
        const QString name = QString::fromLatin1(size.name);
        if (!command.isSet(name))
            continue;
        if (!synthetic)
            return command.refuse(QStringLiteral("--%1 needs --synthetic").arg(name));
        const auto value = command.integer(name, 1, 100'000'000);
        if (!value)
            return 2;
        *size.target = static_cast<int>(*value);
    }
    if (synthetic) {
        if (const QString refusal = q7::host::db::syntheticOptionsRefusal(options); !refusal.isEmpty())
            return command.refuse(refusal);
    }
    if (command.isSet(QStringLiteral("seed"))) {
        const auto seed = command.integer(QStringLiteral("seed"), 0, std::numeric_limits<long long>::max());
        if (!seed)
            return 2;
        options.seed = static_cast<uint64_t>(*seed);
    }

    using q7::host::db::AccountState;
    const QString shown = server ? q7::data::describeServerConnection(command.value(QStringLiteral("server"))) : path;
    const AccountState state = q7::host::db::accountStateOf(path);
    if (state == AccountState::Foreign && server && !force) {
        std::fprintf(stderr, "q7bom init-db: %s holds other tables; it was left unchanged (--force replaces them)\n", shown.toUtf8().constData());
        return 2;
    }
    if (state == AccountState::Foreign && !server) {
        std::fprintf(stderr, "q7bom init-db: %s exists and is not an account database; it was left unchanged\n", path.toUtf8().constData());
        return 2;
    }
    if (state != AccountState::Missing && !force) {
        std::fprintf(stderr, "q7bom init-db: an account database already exists %s %s; use --force to replace it\n", server ? "in" : "at",
                     shown.toUtf8().constData());
        return 2;
    }
    const auto existing = force ? q7::host::db::Existing::Replace : q7::host::db::Existing::Refuse;

    QElapsedTimer timer;
    timer.start();
    QString summary;
    if (synthetic) {
        Progress progress(QStringLiteral("BOM lines"));
        const auto made = q7::host::db::createSyntheticAccount(
            path, options, [&](int64_t done, int64_t total) { progress.update(done, total); }, existing);
        summary = QStringLiteral("%1 parts, %2 BOMs, %3 BOM lines").arg(made.parts).arg(made.boms).arg(made.lines);
    } else {
        summary = q7::host::db::createDemoAccount(path, existing);
    }
    std::printf("%s\n%s\n", shown.toUtf8().constData(), summary.toUtf8().constData());
    std::fflush(stdout); // the time follows the summary also where both streams go to one file
    if (server)
        std::fprintf(stderr, "created in %.2f s\n", timer.elapsed() / 1000.0);
    else
        std::fprintf(stderr, "created in %.2f s, %.1f MB\n", timer.elapsed() / 1000.0, QFileInfo(path).size() / 1e6);
    return 0;
}

} // namespace q7::app
