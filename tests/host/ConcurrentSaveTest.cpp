#include "support/FakeHost.h"
#include "support/ServerDatabase.h"

#include "host/db/AccountDatabase.h"
#include "host/db/BomChanges.h"
#include "host/process/ops/ComponentReplace.h"
#include "host/process/ops/Journal.h"
#include "host/voucher/BomStore.h"
#include "platform/data/Ado.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace q7;
using namespace q7::host::process::ops;
using host::voucher::BomDocument;
using host::voucher::BomStore;

namespace {

QString quantity(const BomDocument& document, int line) { return document.lines.value(line).fields.value(QStringLiteral("DBaseQtyN")).toString(); }

// Two clients load the frame's BOM and both change it: the first save wins, the second is refused
// with the message and changes nothing; a reader is not held up by a save in progress.
void twoClientsSaveOneBom(const QString& account)
{
    constexpr int frameBom = 5; // FR-200, two lines
    data::Connection first, second, third;
    host::db::openAccount(first, account);
    host::db::openAccount(second, account);
    host::db::openAccount(third, account);
    BomStore a(first), b(second), reader(third);

    BomDocument mine = *a.load(frameBom);
    BomDocument theirs = *b.load(frameBom);
    ASSERT_EQ(mine.lines.size(), 2);
    const QString before = quantity(mine, 0);
    mine.lines[0].fields.insert(QStringLiteral("DBaseQtyN"), QStringLiteral("7"));
    theirs.lines[0].fields.insert(QStringLiteral("DBaseQtyN"), QStringLiteral("9"));
    theirs.lines.removeLast();

    // a save in progress: the reader sees the BOM as it was, at once
    a.beginBatch();
    const auto won = a.save(mine);
    ASSERT_TRUE(won.saved) << won.refusal.text.toStdString() << won.refusal.message;
    EXPECT_EQ(quantity(*reader.load(frameBom), 0), before);
    a.commitBatch();

    const auto lost = b.save(theirs);
    EXPECT_FALSE(lost.saved);
    EXPECT_TRUE(lost.refusal.text.contains(QStringLiteral("已被其他用户修改"))) << lost.refusal.text.toStdString();
    const BomDocument stored = *reader.load(frameBom);
    EXPECT_EQ(stored.lines.size(), 2);
    EXPECT_EQ(quantity(stored, 0), QStringLiteral("7"));

    // loaded again, the second client's change goes through; the first client's copy is now the stale one
    BomDocument again = *b.load(frameBom);
    again.lines[0].fields.insert(QStringLiteral("DBaseQtyN"), QStringLiteral("9"));
    EXPECT_TRUE(b.save(again).saved);
    mine.lines[0].fields.insert(QStringLiteral("DBaseQtyN"), QStringLiteral("8"));
    EXPECT_FALSE(a.save(mine).saved);
    EXPECT_EQ(quantity(*reader.load(frameBom), 0), QStringLiteral("9"));

    // a maintenance operation that rewrites the BOM's lines moves the same counter
    BomDocument loaded = *b.load(frameBom);
    ASSERT_TRUE(first.database().transaction());
    host::db::noteChange(first.database(), frameBom);
    ASSERT_TRUE(first.database().commit());
    loaded.lines[0].fields.insert(QStringLiteral("DBaseQtyN"), QStringLiteral("5"));
    EXPECT_FALSE(b.save(loaded).saved);
    EXPECT_EQ(quantity(*reader.load(frameBom), 0), QStringLiteral("9"));
}

} // namespace

TEST(ConcurrentSaves, OneOfTwoClientsWinsOnTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("account.db"));
    host::db::createDemoAccount(path);
    ASSERT_NO_FATAL_FAILURE(twoClientsSaveOneBom(path));
}

TEST(ConcurrentSaves, OneOfTwoClientsWinsOnTheServer)
{
    Q7_NEEDS_SERVER();
    const fake::ServerDatabase database;
    host::db::createDemoAccount(database.account());
    ASSERT_NO_FATAL_FAILURE(twoClientsSaveOneBom(database.account()));
}

namespace {

// A maintenance run that rewrites a BOM's lines, and its undo, each make a voucher's copy of the BOM stale.
void maintenanceMovesTheCounter(const QString& path)
{
    data::Connection voucher, maintenance;
    host::db::openAccount(voucher, path);
    host::db::openAccount(maintenance, path);
    QSqlQuery owner = data::runBound(voucher.database(), QStringLiteral("SELECT BomId FROM bom_opcomponent WHERE OpComponentId = 13"));
    ASSERT_TRUE(owner.next());
    const int bomId = owner.value(0).toInt(); // the 2025 bicycle, whose new handlebar the run replaces
    owner.finish();
    BomStore store(voucher);

    using namespace q7::host::process;
    const auto handlebar = [](const char* code) { return PartKey{QString::fromLatin1(code)}; };
    BomDocument stale = *store.load(bomId);
    const OperationResult run =
        replaceComponent(maintenance, {handlebar("HB-220"), handlebar("HB-210"), {}}, RunOptions{QStringLiteral("tester"), false});
    ASSERT_NE(run.runId, 0);
    EXPECT_FALSE(store.save(stale).saved); // it would put the replaced handlebar back

    BomDocument fresh = *store.load(bomId);
    undoRun(maintenance, run.runId, QStringLiteral("tester"));
    EXPECT_FALSE(store.save(fresh).saved); // it would undo the undo

    BomDocument current = *store.load(bomId);
    EXPECT_TRUE(store.save(current).saved);
}

} // namespace

TEST(ConcurrentSaves, MaintenanceRunsAndUndoMoveTheCounter)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("account.db"));
    host::db::createDemoAccount(path);
    ASSERT_NO_FATAL_FAILURE(maintenanceMovesTheCounter(path));
}

TEST(ConcurrentSaves, MaintenanceRunsAndUndoMoveTheCounterOnTheServer)
{
    Q7_NEEDS_SERVER();
    const fake::ServerDatabase database;
    host::db::createDemoAccount(database.account());
    ASSERT_NO_FATAL_FAILURE(maintenanceMovesTheCounter(database.account()));
}
