#include "bench/team/TeamAccount.h"

#include "host/process/ops/Journal.h"
#include "platform/data/Ado.h"

#include <QCoreApplication>
#include <QDateTime>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace q7::bench::team {

namespace {

constexpr int Depth = 4, Fanout = 5;

void administer(const QString& libpqConnection, const QString& sql)
{
    data::Connection admin;
    admin.Open(host::db::serverAccount(libpqConnection));
    admin.executeNative(sql);
}

// The connection text with another database named (a later keyword wins in libpq).
QString withDatabase(const QString& libpqConnection, const QString& database)
{
    const QString text = libpqConnection.trimmed();
    if (text.startsWith(QLatin1String("postgres://")) || text.startsWith(QLatin1String("postgresql://")))
        return text + (text.contains(u'?') ? u'&' : u'?') + QStringLiteral("dbname=") + database;
    return text + QStringLiteral(" dbname=") + database;
}

// The tables the first maintenance run and the first save would make, made once before the clients start.
void prepare(const QString& account)
{
    data::Connection connection;
    host::db::openAccount(connection, account);
    host::process::ops::ensureMaintenanceTables(connection);
}

} // namespace

host::db::SyntheticOptions syntheticForLines(int lines, uint64_t seed)
{
    host::db::SyntheticOptions options;
    options.depth = Depth;
    options.fanout = Fanout;
    // every part above the last level has a BOM of `fanout` lines
    options.parts = std::max(Depth, lines * Depth / ((Depth - 1) * Fanout));
    options.seed = seed;
    return options;
}

TeamAccount TeamAccount::onFile(const QString& path, const host::db::SyntheticOptions& options)
{
    TeamAccount made;
    made.account_ = path;
    made.summary_ = host::db::createSyntheticAccount(path, options, {}, host::db::Existing::Replace);
    prepare(path);
    return made;
}

TeamAccount TeamAccount::onServer(const QString& libpqConnection, const host::db::SyntheticOptions& options, bool keep)
{
    TeamAccount made;
    made.admin_ = libpqConnection;
    made.keep_ = keep;
    const QString name = QStringLiteral("q7team_%1_%2").arg(QCoreApplication::applicationPid()).arg(QDateTime::currentMSecsSinceEpoch() % 100000000);
    administer(libpqConnection, QStringLiteral("CREATE DATABASE %1").arg(name));
    made.database_ = name; // dropped from here on, whatever fails next
    made.account_ = host::db::serverAccount(withDatabase(libpqConnection, name));
    made.summary_ = host::db::createSyntheticAccount(made.account_, options, {}, host::db::Existing::Refuse);
    prepare(made.account_);
    return made;
}

TeamAccount::TeamAccount(TeamAccount&& other) noexcept
    : account_(std::move(other.account_)), admin_(std::move(other.admin_)), database_(std::exchange(other.database_, QString())),
      keep_(other.keep_), summary_(other.summary_)
{
}

TeamAccount::~TeamAccount()
{
    if (database_.isEmpty())
        return;
    if (keep_) {
        std::fprintf(stderr, "q7bench-team: the account is kept in the database %s\n", database_.toUtf8().constData());
        return;
    }
    try {
        administer(admin_, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(database_));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "q7bench-team: cannot drop the database %s: %s\n", database_.toUtf8().constData(), e.what());
    }
}

QString TeamAccount::description() const
{
    const QString size = QStringLiteral("%1 parts, %2 BOMs, %3 lines").arg(summary_.parts).arg(summary_.boms).arg(summary_.lines);
    return onServer() ? QStringLiteral("server database %1 (%2)").arg(database_, size) : QStringLiteral("file %1 (%2)").arg(account_, size);
}

} // namespace q7::bench::team
