// The parts' labels read all at once (through the procedures' statements) are
// the labels read one part at a time, on the file and on the server: the free
// items in their places, the empty ones at the end left out.
#include "host/db/AccountDatabase.h"
#include "host/db/procedures/Statement.h"
#include "host/process/ops/Parts.h"
#include "platform/data/Ado.h"
#include "support/ScratchAccount.h"
#include "support/ServerDatabase.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace q7::host::process::ops;

namespace {

void expectLoadedLabelsAsReadOneByOne(q7::data::Connection& connection, const char* backend)
{
    QSqlDatabase& db = connection.database();
    QSqlQuery query(db);
    // a part that uses the last free item, the ones before it empty
    ASSERT_TRUE(query.exec(QStringLiteral("UPDATE bas_part SET Free10 = 'L' WHERE PartId = (SELECT max(PartId) FROM bas_part)")));
    PartLabels loaded(db), onDemand(db);
    loaded.loadAll(q7::host::db::procedures::Database::of(connection));
    ASSERT_TRUE(query.exec(QStringLiteral("SELECT PartId FROM bas_part ORDER BY PartId")));
    int parts = 0, withFree = 0;
    QString last;
    while (query.next()) {
        const int partId = query.value(0).toInt();
        last = onDemand(partId);
        EXPECT_EQ(loaded(partId), last) << backend << " part " << partId;
        ++parts;
        withFree += last.contains(u'(');
    }
    EXPECT_GT(parts, 10) << backend;
    EXPECT_GT(withFree, 0) << backend << ": the account has parts with free items";
    EXPECT_LT(withFree, parts) << backend << ": and parts without";
    EXPECT_TRUE(last.endsWith(QStringLiteral("/L)"))) << backend << " " << last.toStdString();
}

} // namespace

TEST(PartLabels, LoadedAllAtOnceAsOneByOneOnTheFile)
{
    const fake::ScratchAccount scratch;
    q7::data::Connection connection;
    connection.Open(q7::host::db::connectionStringFor(scratch.path()));
    expectLoadedLabelsAsReadOneByOne(connection, "file");
}

TEST(PartLabels, LoadedAllAtOnceAsOneByOneOnTheServer)
{
    Q7_NEEDS_SERVER();
    const fake::ServerDatabase database;
    q7::host::db::createDemoAccount(database.account());
    q7::data::Connection connection;
    connection.Open(database.account());
    expectLoadedLabelsAsReadOneByOne(connection, "server");
}
