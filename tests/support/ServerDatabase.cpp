#include "support/ServerDatabase.h"

#include "host/db/AccountDatabase.h"
#include "platform/data/Ado.h"
#include "platform/data/ServerConnection.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDateTime>

#include <memory>

namespace fake {

QString serverConnection() { return qEnvironmentVariable("Q7_PG_CONNECTION").trimmed(); }
bool serverRequired() { return qEnvironmentVariableIntValue("Q7_REQUIRE_SERVER") == 1; }

namespace {

void administer(const QString& sql)
{
    q7::data::Connection admin;
    admin.Open(q7::data::serverConnectionString(serverConnection()));
    admin.executeNative(sql);
}

} // namespace

ServerDatabase::ServerDatabase()
{
    static QAtomicInt counter;
    name_ = QStringLiteral("q7test_%1_%2_%3")
                .arg(QCoreApplication::applicationPid())
                .arg(QDateTime::currentMSecsSinceEpoch() % 100000000)
                .arg(counter.fetchAndAddRelaxed(1));
    administer(QStringLiteral("CREATE DATABASE %1").arg(name_));
}

ServerDatabase::~ServerDatabase()
{
    try {
        administer(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name_));
    } catch (...) {
        // the cluster goes away with the run
    }
}

QString ServerDatabase::connection() const { return serverConnection() + QStringLiteral(" dbname=") + name_; }

QString ServerDatabase::account() const { return q7::host::db::serverAccount(connection()); }

namespace {
std::unique_ptr<ServerDatabase>& demoDatabase()
{
    static std::unique_ptr<ServerDatabase> database;
    return database;
}
void dropDemoDatabase() { demoDatabase().reset(); }
} // namespace

QString serverDemoAccount()
{
    auto& database = demoDatabase();
    if (!database) {
        database = std::make_unique<ServerDatabase>();
        q7::host::db::createDemoAccount(database->account());
        qAddPostRoutine(dropDemoDatabase); // while the application can still load the driver
    }
    return database->account();
}

QString comparableText(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QStringLiteral("NULL");
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', 12);
    default:
        return value.toString();
    }
}

} // namespace fake
