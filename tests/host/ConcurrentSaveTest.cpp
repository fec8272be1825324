#include "support/FakeHost.h"
#include "support/ServerDatabase.h"

#include "host/db/AccountDatabase.h"
#include "host/db/BomChanges.h"
#include "host/voucher/BomStore.h"
#include "platform/data/Ado.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace q7;
using host::voucher::BomDocument;
using host::voucher::BomStore;

namespace {

QString quantity(const BomDocument& document, int line) { return document.lines.value(line).fields.value(QStringLiteral("DBaseQtyN")).toString(); }

// Two clients load the frame's BOM and both change it: the first save wins, the second is refused
// with the message and changes nothing; a reader is not held up by a save in progress.
void twoClientsSaveOneBom(const QString& account)
{
    constexpr int frameBom = 5; // FR-200, two lines
    ado::Connection first, second, third;
    host::account::openAccount(first, account);
    host::account::openAccount(second, account);
    host::account::openAccount(third, account);
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
    host::account::noteChange(first.database(), frameBom);
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
    host::account::createDemoAccount(path);
    twoClientsSaveOneBom(path);
}

TEST(ConcurrentSaves, OneOfTwoClientsWinsOnTheServer)
{
    Q7_NEEDS_SERVER();
    const fake::ServerDatabase database;
    host::account::createDemoAccount(database.account());
    twoClientsSaveOneBom(database.account());
}
