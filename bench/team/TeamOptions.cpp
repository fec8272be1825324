#include "bench/team/TeamOptions.h"

#include <QCommandLineParser>

#include <cstdio>
#include <limits>

namespace q7::bench::team {

namespace {

int refuse(const QString& message)
{
    std::fprintf(stderr, "q7bench-team: %s\n", message.toUtf8().constData());
    return 2;
}

std::optional<long long> whole(const QString& text, long long low, long long high)
{
    bool ok = false;
    const long long value = text.trimmed().toLongLong(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<QList<int>> clientCounts(const QString& text)
{
    QList<int> counts;
    for (const QString& part : text.split(u',')) {
        const auto n = whole(part, 1, 1000);
        if (!n)
            return std::nullopt;
        counts.append(static_cast<int>(*n));
    }
    return counts;
}

Invocation parseArguments(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A team on one account: rounds of N client processes, each for a fixed time running explosions,\n"
        "where-used reports, browses, voucher saves and maintenance replaces with their undo, picked at\n"
        "random. Prints per round the operations per second, each kind's latencies, the refusals writers\n"
        "expect from each other, the errors, and the audit of the account after the round. Exit status 1\n"
        "when there was an error or the audit failed."));
    parser.addHelpOption();
    const QCommandLineOption server(QStringLiteral("server"), QStringLiteral("A PostgreSQL server (libpq connection text); the account goes into a new database there, dropped at the end."), QStringLiteral("CONNECTION"));
    const QCommandLineOption file(QStringLiteral("file"), QStringLiteral("The account file to create (an account there is replaced)."), QStringLiteral("PATH.db"));
    const QCommandLineOption clients(QStringLiteral("clients"), QStringLiteral("Client counts, one round each (default 1,4,16,64)."), QStringLiteral("N,N,…"));
    const QCommandLineOption seconds(QStringLiteral("seconds"), QStringLiteral("Time of each round (default 20)."), QStringLiteral("S"));
    const QCommandLineOption lines(QStringLiteral("lines"), QStringLiteral("BOM lines of the synthetic account (default 4000)."), QStringLiteral("N"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed of the account and of the clients' choices (default 1)."), QStringLiteral("S"));
    const QCommandLineOption hot(QStringLiteral("hot"), QStringLiteral("BOMs the writers pick from (default 24)."), QStringLiteral("K"));
    const QCommandLineOption journalDir(QStringLiteral("journal-dir"), QStringLiteral("Keep the clients' tallies and journals here (default: a temporary folder)."), QStringLiteral("DIR"));
    const QCommandLineOption keep(QStringLiteral("keep"), QStringLiteral("Keep the server's database at the end."));
    QCommandLineOption client(QStringLiteral("client"), QStringLiteral("A client of a round."), QStringLiteral("INDEX"));
    QCommandLineOption plan(QStringLiteral("plan"), QStringLiteral("The round's plan."), QStringLiteral("FILE"));
    QCommandLineOption out(QStringLiteral("out"), QStringLiteral("The round's folder."), QStringLiteral("DIR"));
    for (QCommandLineOption* hidden : {&client, &plan, &out})
        hidden->setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({server, file, clients, seconds, lines, seed, hot, journalDir, keep, client, plan, out});
    if (!parser.parse(arguments))
        return refuse(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(parser.helpText().toUtf8().constData(), stdout);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return refuse(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));

    const auto secondsValue = parser.isSet(seconds) ? whole(parser.value(seconds), 1, 3600) : std::optional<long long>(20);
    if (!secondsValue)
        return refuse(QStringLiteral("--seconds takes a whole number from 1 to 3600"));
    const auto seedValue = parser.isSet(seed) ? whole(parser.value(seed), 0, std::numeric_limits<long long>::max()) : std::optional<long long>(1);
    if (!seedValue)
        return refuse(QStringLiteral("--seed takes a whole number from 0"));

    if (parser.isSet(client)) {
        const auto index = whole(parser.value(client), 0, 100000);
        if (!index || !parser.isSet(plan) || !parser.isSet(out))
            return refuse(QStringLiteral("--client takes an index, with --plan and --out"));
        return ClientOptions{static_cast<int>(*index), parser.value(plan), parser.value(out), static_cast<int>(*secondsValue),
                             static_cast<uint64_t>(*seedValue)};
    }

    LoadOptions o;
    if (parser.isSet(server) == parser.isSet(file))
        return refuse(QStringLiteral("give the account: --server CONNECTION or --file PATH.db"));
    o.server = parser.value(server).trimmed();
    o.file = parser.value(file).trimmed();
    if (parser.isSet(server) ? o.server.isEmpty() : o.file.isEmpty())
        return refuse(parser.isSet(server) ? QStringLiteral("--server needs a connection text") : QStringLiteral("--file needs a path"));
    if (parser.isSet(clients)) {
        const auto counts = clientCounts(parser.value(clients));
        if (!counts)
            return refuse(QStringLiteral("--clients takes counts from 1 to 1000 separated by commas, not '%1'").arg(parser.value(clients)));
        o.clients = *counts;
    }
    o.seconds = static_cast<int>(*secondsValue);
    o.seed = static_cast<uint64_t>(*seedValue);
    if (parser.isSet(lines)) {
        const auto n = whole(parser.value(lines), 100, 10'000'000);
        if (!n)
            return refuse(QStringLiteral("--lines takes a whole number from 100"));
        o.lines = static_cast<int>(*n);
    }
    if (parser.isSet(hot)) {
        const auto n = whole(parser.value(hot), 1, 1'000'000);
        if (!n)
            return refuse(QStringLiteral("--hot takes a whole number from 1"));
        o.hot = static_cast<int>(*n);
    }
    o.journalDir = parser.value(journalDir);
    o.keep = parser.isSet(keep);
    if (o.keep && o.server.isEmpty())
        return refuse(QStringLiteral("--keep is for a server's database; a file is kept anyway"));
    return o;
}

} // namespace q7::bench::team
