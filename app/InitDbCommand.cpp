#include "app/InitDbCommand.h"

#include "app/Progress.h"
#include "host/db/AccountDatabase.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>

namespace {

void printHelp()
{
    std::fputs("Usage: q7bom init-db [--path FILE] [--force]\n"
               "       q7bom init-db --synthetic --parts N --depth D --fanout F [--seed S] [--path FILE] [--force]\n"
               "Creates an account database. Without --synthetic it holds the demo data set;\n"
               "with it, a deterministic BOM forest of N parts over D levels, F lines per BOM.\n"
               "The default path is the demo account in the user's data directory. An account\n"
               "already there is replaced only with --force; any other file is never replaced.\n",
               stdout);
}

bool readNumber(const QStringList& args, qsizetype& i, long long& value)
{
    if (i + 1 >= args.size())
        return false;
    bool ok = false;
    value = args[++i].toLongLong(&ok);
    return ok && value > 0;
}

} // namespace

int runInitDb(const QStringList& args)
{
    QString path = q7::host::account::defaultDemoPath();
    bool synthetic = false;
    bool force = false;
    q7::host::account::SyntheticOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        long long n = 0;
        if (a == QLatin1String("--help")) {
            printHelp();
            return 0;
        } else if (a == QLatin1String("--path") && i + 1 < args.size()) {
            path = args[++i];
        } else if (a == QLatin1String("--force")) {
            force = true;
        } else if (a == QLatin1String("--synthetic")) {
            synthetic = true;
        } else if (a == QLatin1String("--parts") && readNumber(args, i, n)) {
            options.parts = static_cast<int>(n);
        } else if (a == QLatin1String("--depth") && readNumber(args, i, n)) {
            options.depth = static_cast<int>(n);
        } else if (a == QLatin1String("--fanout") && readNumber(args, i, n)) {
            options.fanout = static_cast<int>(n);
        } else if (a == QLatin1String("--seed") && readNumber(args, i, n)) {
            options.seed = static_cast<uint64_t>(n);
        } else {
            std::fprintf(stderr, "q7bom init-db: unexpected or invalid argument '%s' (see --help)\n", a.toUtf8().constData());
            return 2;
        }
    }

    using q7::host::account::AccountState;
    const AccountState state = q7::host::account::accountStateOf(path);
    if (state == AccountState::Foreign) {
        std::fprintf(stderr, "q7bom init-db: %s exists and is not an account database; it was left unchanged\n", path.toUtf8().constData());
        return 2;
    }
    if (state != AccountState::Missing && !force) {
        std::fprintf(stderr, "q7bom init-db: an account database already exists at %s; use --force to replace it\n", path.toUtf8().constData());
        return 2;
    }
    const auto existing = force ? q7::host::account::Existing::Replace : q7::host::account::Existing::Refuse;

    QElapsedTimer timer;
    timer.start();
    QString summary;
    if (synthetic) {
        Progress progress(QStringLiteral("BOM lines"));
        const auto made = q7::host::account::createSyntheticAccount(
            path, options, [&](int64_t done, int64_t total) { progress.update(done, total); }, existing);
        summary = QStringLiteral("%1 parts, %2 BOMs, %3 BOM lines").arg(made.parts).arg(made.boms).arg(made.lines);
    } else {
        summary = q7::host::account::createDemoAccount(path, existing);
    }
    std::printf("%s\n%s\n", path.toUtf8().constData(), summary.toUtf8().constData());
    std::fprintf(stderr, "created in %.2f s, %.1f MB\n", timer.elapsed() / 1000.0, QFileInfo(path).size() / 1e6);
    return 0;
}
