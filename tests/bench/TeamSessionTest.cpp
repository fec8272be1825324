// The team load's clients on a small account file: every operation runs, its
// writes are journaled as the account keeps them, and the audit finds changes
// made behind the journal's back.

#include "bench/team/AccountAudit.h"
#include "bench/team/Client.h"
#include "bench/team/BomState.h"
#include "bench/team/ClientSession.h"
#include "bench/team/Plan.h"
#include "bench/team/TeamAccount.h"
#include "bench/team/WriteRecord.h"
#include "host/db/BomChanges.h"
#include "host/voucher/BomStore.h"
#include "platform/data/Ado.h"
#include "support/ServerDatabase.h"

#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace q7;
using namespace q7::bench::team;

namespace {

// A fresh small synthetic account (four levels, 395 lines) with its plan.
struct SmallAccount {
    explicit SmallAccount(const QString& path) : account(TeamAccount::onFile(path, syntheticForLines(400, 1)))
    {
        connection.Open(host::db::connectionStringFor(path));
        plan = discoverPlan(connection, path, 4, 1);
    }
    TeamAccount account;
    data::Connection connection;
    Plan plan;
};

} // namespace

TEST(TeamLoadSession, TheSyntheticAccountIsSizedByItsLines)
{
    const struct {
        int lines, parts;
    } cases[] = {{400, 106}, {4000, 1066}, {100, 26}};
    for (const auto& c : cases) {
        const auto options = syntheticForLines(c.lines, 1);
        EXPECT_TRUE(host::db::syntheticOptionsRefusal(options).isEmpty()) << c.lines;
        EXPECT_EQ(options.parts, c.parts) << c.lines;
    }
    QTemporaryDir dir;
    const TeamAccount made = TeamAccount::onFile(dir.filePath(QStringLiteral("team.db")), syntheticForLines(400, 1));
    EXPECT_EQ(made.summary().lines, 395);
    EXPECT_FALSE(made.onServer());
}

TEST(TeamLoadSession, ThePlanHasTheSyntheticForestsLevels)
{
    QTemporaryDir dir;
    SmallAccount small(dir.filePath(QStringLiteral("team.db")));
    const Plan& plan = small.plan;
    ASSERT_EQ(plan.levels.size(), 4);
    EXPECT_EQ(plan.structureDepth(), 3);
    for (int product = 1; product <= 26; ++product) // the synthetic account's first quarter of its 106 parts
        EXPECT_EQ(plan.levelOf(QStringLiteral("S%1").arg(product, 7, 10, QLatin1Char('0'))), 0) << product;
    EXPECT_EQ(plan.levelOf(QStringLiteral("nothing")), -1);
    // Every line goes down to a higher level: a replacement by a part of the component's own level keeps it so, and can make no cycle.
    QSqlQuery lines = data::runBound(small.connection.database(),
                                    QStringLiteral("SELECT pp.InvCode, pc.InvCode FROM bom_opcomponent c JOIN bom_parent t ON t.BomId = c.BomId "
                                                   "JOIN bas_part pp ON pp.PartId = t.ParentId JOIN bas_part pc ON pc.PartId = c.ComponentId"));
    int count = 0;
    for (; lines.next(); ++count)
        EXPECT_LT(plan.levelOf(lines.value(0).toString()), plan.levelOf(lines.value(1).toString()))
            << lines.value(0).toString().toStdString() << " → " << lines.value(1).toString().toStdString();
    EXPECT_EQ(count, 395);
    ASSERT_EQ(plan.hot.size(), 4);
    for (const HotBom& bom : plan.hot)
        EXPECT_LT(plan.levelOf(bom.parent), 3) << bom.parent.toStdString(); // a parent is above the leaves

    plan.save(dir.filePath(QStringLiteral("plan.json")));
    const Plan back = Plan::load(dir.filePath(QStringLiteral("plan.json")));
    EXPECT_EQ(back.levels, plan.levels);
    EXPECT_EQ(back.hot.first().parent, plan.hot.first().parent);
    EXPECT_EQ(back.effDate, plan.effDate);
}

TEST(TeamLoadSession, ASavesJournaledLinesAreWhatTheStoreWrote)
{
    QTemporaryDir dir;
    SmallAccount small(dir.filePath(QStringLiteral("team.db")));
    const int bom = small.plan.hot.first().bomId;
    host::voucher::BomStore store(small.connection);
    const BomState before = readBomState(small.connection, bom);
    auto document = store.load(bom);
    ASSERT_TRUE(document.has_value());
    EXPECT_TRUE(sameLines(documentLines(*document), before.lines)) << linesText(documentLines(*document)).toStdString();
    document->lines.last().fields.insert(QStringLiteral("DBaseQtyN"), QStringLiteral("7.25"));
    ASSERT_TRUE(store.save(*document).saved);

    const BomState after = readBomState(small.connection, bom);
    EXPECT_EQ(after.changeCount, document->changeCount + 1);
    EXPECT_TRUE(sameLines(after.lines, documentLines(*document))) << linesText(after.lines).toStdString();
    EXPECT_FALSE(sameLines(after.lines, before.lines));
}

TEST(TeamLoadSession, EveryOperationRunsAndItsWritesPassTheAudit)
{
    QTemporaryDir dir;
    SmallAccount small(dir.filePath(QStringLiteral("team.db")));
    {
        WriteLog log(writeLogFile(dir.path(), 0));
        ClientSession session(small.plan, 0, 7, log);
        for (const auto& [what, attempt] : std::initializer_list<std::pair<const char*, std::function<Attempt()>>>{
                 {"explode", [&] { return session.explode(); }},
                 {"where-used", [&] { return session.whereUsed(); }},
                 {"browse", [&] { return session.browse(); }},
                 {"save", [&] { return session.save(); }}}) {
            const Attempt a = attempt();
            EXPECT_EQ(a.outcome, Outcome::Done) << what << ": " << a.message.toStdString();
        }
        int run = 0;
        const Attempt replaced = session.replace(run);
        ASSERT_EQ(replaced.outcome, Outcome::Done) << replaced.message.toStdString();
        ASSERT_GT(run, 0);
        const Attempt undone = session.undo(run);
        EXPECT_EQ(undone.outcome, Outcome::Done) << undone.message.toStdString();
    }
    const QList<WriteRecord> writes = readWriteLogs(dir.path());
    ASSERT_EQ(writes.size(), 3);
    EXPECT_EQ(writes[0].kind, QStringLiteral("save"));
    EXPECT_EQ(writes[1].kind, QStringLiteral("replace"));
    EXPECT_EQ(writes[2].kind, QStringLiteral("undo"));
    EXPECT_FALSE(sameLines(writes[1].state.lines, writes[2].state.lines)); // the undo put the replaced component back
    EXPECT_GE(writes[2].state.changeCount, writes[1].state.changeCount + writes[2].moved);
    const AuditResult audit = auditAccount(small.plan, writes);
    EXPECT_TRUE(audit.ok()) << audit.problems.join(QStringLiteral(" | ")).toStdString();
}

TEST(TeamLoadSession, TheAuditFindsChangesBehindTheJournal)
{
    using Fault = std::function<void(data::Connection&, int written, int untouched)>;
    const auto execute = [](data::Connection& c, const QString& sql) { data::runBound(c.database(), sql); };
    const struct {
        const char* what;
        Fault fault;
        bool holds;
    } cases[] = {
        {"no fault", [](data::Connection&, int, int) {}, true},
        {"a journaled BOM's line changed without its counter",
         [&](data::Connection& c, int written, int) {
             execute(c, QStringLiteral("UPDATE bom_opcomponent SET BaseQtyN = BaseQtyN + 1 WHERE BomId = %1").arg(written));
         },
         false},
        {"a journaled BOM changed again, with its counter",
         [&](data::Connection& c, int written, int) {
             host::db::noteChange(c.database(), written);
             execute(c, QStringLiteral("UPDATE bom_opcomponent SET BaseQtyN = BaseQtyN + 1 WHERE BomId = %1").arg(written));
         },
         false},
        {"another BOM changed with its counter, by no client",
         [](data::Connection& c, int, int untouched) { host::db::noteChange(c.database(), untouched); },
         false},
        {"a line's quantity broken behind everyone's back",
         [&](data::Connection& c, int, int untouched) { execute(c, QStringLiteral("UPDATE bom_opcomponent SET BaseQtyN = 0 WHERE BomId = %1").arg(untouched)); },
         false},
        {"a line's component gone",
         [&](data::Connection& c, int, int untouched) {
             execute(c, QStringLiteral("UPDATE bom_opcomponent SET ComponentId = 999999 WHERE BomId = %1").arg(untouched));
         },
         false},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        SmallAccount small(dir.filePath(QStringLiteral("team.db")));
        {
            WriteLog log(writeLogFile(dir.path(), 0));
            ClientSession session(small.plan, 0, 3, log);
            ASSERT_EQ(session.save().outcome, Outcome::Done) << c.what;
        }
        const QList<WriteRecord> writes = readWriteLogs(dir.path());
        ASSERT_EQ(writes.size(), 1) << c.what;
        const int written = writes.first().state.bomId;
        const int untouched = written == small.plan.hot.first().bomId ? small.plan.hot.last().bomId : small.plan.hot.first().bomId;
        c.fault(small.connection, written, untouched);
        const AuditResult audit = auditAccount(small.plan, writes);
        EXPECT_EQ(audit.ok(), c.holds) << c.what << ": " << audit.problems.join(QStringLiteral(" | ")).toStdString();
    }
}

TEST(TeamLoadSession, EveryOperationRunsOnAServerAccountOfItsOwn)
{
    Q7_NEEDS_SERVER();
    QTemporaryDir dir;
    TeamAccount account = TeamAccount::onServer(fake::serverConnection(), syntheticForLines(400, 1), false);
    ASSERT_TRUE(account.onServer());
    Plan plan;
    {
        data::Connection connection;
        host::db::openAccount(connection, account.account());
        plan = discoverPlan(connection, account.account(), 4, 1);
    }
    {
        WriteLog log(writeLogFile(dir.path(), 0));
        ClientSession session(plan, 0, 11, log);
        for (const auto& [what, attempt] : std::initializer_list<std::pair<const char*, std::function<Attempt()>>>{
                 {"explode", [&] { return session.explode(); }},
                 {"where-used", [&] { return session.whereUsed(); }},
                 {"browse", [&] { return session.browse(); }},
                 {"save", [&] { return session.save(); }}}) {
            const Attempt a = attempt();
            EXPECT_EQ(a.outcome, Outcome::Done) << what << ": " << a.message.toStdString();
        }
        int run = 0;
        ASSERT_EQ(session.replace(run).outcome, Outcome::Done);
        EXPECT_EQ(session.undo(run).outcome, Outcome::Done);
    }
    const QList<WriteRecord> writes = readWriteLogs(dir.path());
    ASSERT_EQ(writes.size(), 3);
    const AuditResult audit = auditAccount(plan, writes);
    EXPECT_TRUE(audit.ok()) << audit.problems.join(QStringLiteral(" | ")).toStdString();
}
