// The team load's judgement: which failures count as the refusals writers
// expect from each other, how latencies are summed up, and the audit of the
// journaled writes against the BOMs as they ended.

#include "bench/team/Audit.h"
#include "bench/team/Outcome.h"
#include "bench/team/ResultTable.h"
#include "bench/team/Tally.h"
#include "bench/team/TeamOptions.h"

#include <QTemporaryDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cmath>

using namespace q7::bench::team;

TEST(TeamLoadOutcome, ExpectedRefusalsAreKnownByTheirMessages)
{
    const struct {
        const char* message;
        bool writer;
        Outcome outcome;
    } cases[] = {
        {"这个BOM在读取之后已被其他用户修改，本次保存未执行：请重新读取后再修改", true, Outcome::Changed},
        {"运行 3 之后这些行已被修改，不能撤销：bom_opcomponent 12", true, Outcome::Changed},
        {"database is locked Unable to fetch row", true, Outcome::Busy},
        {"Database Is Locked", true, Outcome::Busy},
        {"could not serialize access due to concurrent update (SQLSTATE 40001)", true, Outcome::Serialization},
        {"ERROR:  could not serialize access due to read/write dependencies among transactions", true, Outcome::Serialization},
        {"deadlock detected (SQLSTATE 40P01)", true, Outcome::Error},
        {"no such table: bom_bom", true, Outcome::Error},
        {"", true, Outcome::Error},
        {"database is locked", false, Outcome::Error}, // a reader is never refused
        {"could not serialize access due to concurrent update", false, Outcome::Error},
    };
    for (const auto& c : cases)
        EXPECT_EQ(classifyFailure(QString::fromUtf8(c.message), c.writer), c.outcome) << c.message << (c.writer ? " (writer)" : " (reader)");
}

TEST(TeamLoadOutcome, NamesReadBack)
{
    for (const Outcome o : {Outcome::Done, Outcome::Changed, Outcome::Busy, Outcome::Serialization, Outcome::Gone, Outcome::Error})
        EXPECT_EQ(outcomeNamed(outcomeName(o)), o) << outcomeName(o).toStdString();
    EXPECT_EQ(outcomeNamed(QStringLiteral("nonsense")), Outcome::Error);
}

TEST(TeamLoadTally, PercentilesByNearestRank)
{
    QList<double> hundred;
    for (int i = 100; i >= 1; --i)
        hundred.append(i);
    const struct {
        QList<double> values;
        double p, expected;
    } cases[] = {
        {hundred, 0.5, 50}, {hundred, 0.99, 99}, {hundred, 1.0, 100}, {hundred, 0.001, 1},
        {{7}, 0.5, 7},      {{7}, 0.99, 7},      {{3, 1, 2}, 0.5, 2}, {{1, 2, 3, 4}, 0.5, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(percentile(c.values, c.p), c.expected) << c.values.size() << " values, p " << c.p;
    EXPECT_TRUE(std::isnan(percentile({}, 0.5)));
}

TEST(TeamLoadTally, CountsMergesAndReadsBack)
{
    Tally a, b;
    a.add(QStringLiteral("save"), Outcome::Done, 12.5);
    a.add(QStringLiteral("save"), Outcome::Busy, 5000, QStringLiteral("database is locked"));
    a.add(QStringLiteral("undo"), Outcome::Changed, 3);
    b.add(QStringLiteral("save"), Outcome::Done, 7.5);
    b.add(QStringLiteral("save"), Outcome::Busy, 4);
    for (int i = 0; i < 8; ++i)
        b.add(QStringLiteral("explode"), Outcome::Error, 1, QStringLiteral("failure %1").arg(i % 6));
    a.merge(b);
    const Tally back = Tally::fromJson(a.toJson());
    for (const Tally* t : std::initializer_list<const Tally*>{&a, &back}) {
        EXPECT_EQ(t->done(), 2);
        EXPECT_EQ(t->errors(), 8);
        EXPECT_EQ(t->kind(QStringLiteral("save")).latenciesMs, (QList<double>{12.5, 7.5})); // refusals are not timed
        EXPECT_EQ(t->refusedByReason(), (QMap<QString, qint64>{{QStringLiteral("busy"), 2}, {QStringLiteral("changed"), 1}}));
        EXPECT_EQ(t->kind(QStringLiteral("explode")).errorMessages.size(), 5); // the first five distinct ones
    }
}

namespace {

QList<LineState> lines(double firstQuantity, const char* firstComponent = "S0000010")
{
    return {{10, QString::fromLatin1(firstComponent), firstQuantity, 1}, {20, QStringLiteral("S0000020"), 2, 1}};
}

WriteRecord write(const char* kind, int client, qint64 before, int moved, qint64 count, const QList<LineState>& after, int bom = 5)
{
    WriteRecord w;
    w.kind = QString::fromLatin1(kind);
    w.client = client;
    w.before = before;
    w.moved = moved;
    w.exact = w.kind == QLatin1String("save");
    w.state = {bom, count, after};
    return w;
}

BomState ending(qint64 count, const QList<LineState>& at, int bom = 5) { return {bom, count, at}; }

} // namespace

TEST(TeamLoadAudit, HoldsOnlyWhenEveryBomEndsAsItsLastJournaledWrite)
{
    const struct {
        const char* what;
        QList<WriteRecord> writes;
        QHash<int, BomState> finals;
        bool holds;
    } cases[] = {
        {"a save, then a replace, ending as the replace left it",
         {write("save", 1, 0, 1, 1, lines(3)), write("replace", 2, 1, 1, 2, lines(3, "S0000011"))},
         {{5, ending(2, lines(3, "S0000011"))}},
         true},
        {"a replace whose snapshot after it already shows a later save",
         {write("replace", 2, 0, 1, 2, lines(4, "S0000011")), write("save", 1, 1, 1, 2, lines(4, "S0000011"))},
         {{5, ending(2, lines(4, "S0000011"))}},
         true},
        {"a replace and its undo, each moving the counter by its lines",
         {write("replace", 2, 4, 2, 6, lines(1, "S0000011")), write("undo", 2, 6, 2, 8, lines(1))},
         {{5, ending(8, lines(1))}},
         true},
        {"an untouched BOM", {}, {{9, ending(0, lines(1), 9)}}, true},
        {"the last save lost: the BOM ends with the lines before it",
         {write("save", 1, 0, 1, 1, lines(3)), write("save", 2, 1, 1, 2, lines(5))},
         {{5, ending(2, lines(3))}},
         false},
        {"a committed change nobody journaled", {write("save", 1, 0, 1, 1, lines(3))}, {{5, ending(2, lines(6))}}, false},
        {"the counter went back", {write("save", 1, 1, 1, 2, lines(3))}, {{5, ending(1, lines(3))}}, false},
        {"two saves of one load both claimed its counter",
         {write("save", 1, 0, 1, 1, lines(3)), write("save", 2, 0, 1, 1, lines(5))},
         {{5, ending(1, lines(5))}},
         false},
        {"a replace that did not move the counter", {write("replace", 2, 3, 1, 3, lines(3, "S0000011"))}, {{5, ending(3, lines(3, "S0000011"))}}, false},
        {"an undo that moved it by less than the lines it put back", {write("undo", 2, 3, 2, 4, lines(3))}, {{5, ending(4, lines(3))}}, false},
        {"a BOM whose counter moved without a journaled write", {}, {{7, ending(1, lines(1), 7)}}, false},
        {"a BOM written but not read at the end", {write("save", 1, 0, 1, 1, lines(3))}, {}, false},
    };
    for (const auto& c : cases) {
        const QStringList problems = auditWrites(c.writes, c.finals);
        EXPECT_EQ(problems.isEmpty(), c.holds) << c.what << ": " << problems.join(QStringLiteral(" | ")).toStdString();
    }
}

TEST(TeamLoadAudit, LinesCompareByPositionComponentAndQuantity)
{
    const QList<LineState> base = lines(2);
    const struct {
        const char* what;
        QList<LineState> other;
        bool same;
    } cases[] = {
        {"the same", lines(2), true},
        {"a code in other case", {{10, QStringLiteral("s0000010"), 2, 1}, {20, QStringLiteral("S0000020"), 2, 1}}, true},
        {"a quantity off by 1e-15 relative", lines(2 * (1 + 1e-15)), true},
        {"another quantity", lines(2.25), false},
        {"another denominator", {{10, QStringLiteral("S0000010"), 2, 2}, {20, QStringLiteral("S0000020"), 2, 1}}, false},
        {"another component", lines(2, "S0000011"), false},
        {"another position", {{15, QStringLiteral("S0000010"), 2, 1}, {20, QStringLiteral("S0000020"), 2, 1}}, false},
        {"a line less", {{10, QStringLiteral("S0000010"), 2, 1}}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sameLines(base, c.other), c.same) << c.what;
}

TEST(TeamLoadOptions, ClientCountsAndAccounts)
{
    EXPECT_EQ(clientCounts(QStringLiteral("1,4,16,64")), (QList<int>{1, 4, 16, 64}));
    for (const char* bad : {"", "1,,4", "0", "-4", "x", "4.5", "1001"})
        EXPECT_FALSE(clientCounts(QString::fromLatin1(bad)).has_value()) << bad;

    const auto parsed = [](QStringList args) { return parseArguments(QStringList{QStringLiteral("q7bench-team")} + args); };
    const auto load = parsed({QStringLiteral("--file"), QStringLiteral("/tmp/a.db"), QStringLiteral("--clients"), QStringLiteral("2,8"),
                              QStringLiteral("--seconds"), QStringLiteral("3")});
    ASSERT_TRUE(std::holds_alternative<LoadOptions>(load));
    EXPECT_EQ(std::get<LoadOptions>(load).clients, (QList<int>{2, 8}));
    EXPECT_EQ(std::get<LoadOptions>(load).seconds, 3);
    const auto client = parsed({QStringLiteral("--client"), QStringLiteral("3"), QStringLiteral("--plan"), QStringLiteral("p.json"),
                                QStringLiteral("--out"), QStringLiteral("d"), QStringLiteral("--seconds"), QStringLiteral("5")});
    ASSERT_TRUE(std::holds_alternative<ClientOptions>(client));
    EXPECT_EQ(std::get<ClientOptions>(client).index, 3);
    EXPECT_EQ(std::get<ClientOptions>(client).seconds, 5);

    const QList<QStringList> refused{
        {},                                                                                       // no account
        {QStringLiteral("--file"), QStringLiteral("a.db"), QStringLiteral("--server"), QStringLiteral("host=x")}, // two
        {QStringLiteral("--file"), QStringLiteral("a.db"), QStringLiteral("--seconds"), QStringLiteral("0")},
        {QStringLiteral("--file"), QStringLiteral("a.db"), QStringLiteral("--clients"), QStringLiteral("4,x")},
        {QStringLiteral("--file"), QStringLiteral("a.db"), QStringLiteral("--keep")},             // a file is kept anyway
        {QStringLiteral("--client"), QStringLiteral("1")},                                        // without its plan
    };
    for (const QStringList& args : refused) {
        const auto result = parsed(args);
        ASSERT_TRUE(std::holds_alternative<int>(result)) << args.join(u' ').toStdString();
        EXPECT_EQ(std::get<int>(result), 2) << args.join(u' ').toStdString();
    }
}

TEST(TeamLoadTable, CellsShowPercentilesCountsAndRefusals)
{
    KindTally none;
    EXPECT_EQ(latencyCell(none), QStringLiteral("-"));
    KindTally fast;
    for (int i = 1; i <= 100; ++i)
        fast.latenciesMs.append(i / 10.0);
    fast.done = 100;
    EXPECT_EQ(latencyCell(fast), QStringLiteral("5.0/9.9 (100)"));
    KindTally slow{2, {}, 0, {250.4, 1999.6}, {}};
    EXPECT_EQ(latencyCell(slow), QStringLiteral("250/2000 (2)")); // whole milliseconds from 100 on

    Tally tally;
    EXPECT_EQ(refusalCell(tally), QStringLiteral("0"));
    tally.add(QStringLiteral("save"), Outcome::Busy, 1);
    tally.add(QStringLiteral("save"), Outcome::Busy, 1);
    tally.add(QStringLiteral("undo"), Outcome::Changed, 1);
    tally.add(QStringLiteral("save"), Outcome::Changed, 1);
    tally.add(QStringLiteral("explode"), Outcome::Done, 1);
    EXPECT_EQ(refusalCell(tally), QStringLiteral("busy 2, changed 2"));
    RoundRow row;
    row.round.clients = 16;
    row.round.tally = tally;
    EXPECT_EQ(refusalsByKind({row}), QStringLiteral("16 clients refused: save busy 2, changed 1; undo changed 1\n"));
    row.round.failures.append(QStringLiteral("client 3 did not finish"));
    row.audit.problems.append(QStringLiteral("BOM 5 ends …"));
    const QString table = resultTable({row});
    EXPECT_TRUE(table.startsWith(QStringLiteral("clients  ops/s"))) << table.toStdString();
    EXPECT_TRUE(table.contains(QStringLiteral("  1       FAILED (1 problems)"))) << table.toStdString(); // a client that failed is an error
}

TEST(TeamLoadJournal, RecordsReadBackAndADamagedOneIsRefused)
{
    QTemporaryDir dir;
    WriteRecord save = write("save", 1, 0, 1, 1, lines(3.25));
    WriteRecord undo = write("undo", 2, 4, 2, 7, lines(1, "S0000011"), 9);
    {
        WriteLog log(dir.filePath(QStringLiteral("writes-1.jsonl")));
        log.append(save);
        log.append(undo);
    }
    const QList<WriteRecord> back = readWriteLogs(dir.path());
    ASSERT_EQ(back.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const WriteRecord& expected = i == 0 ? save : undo;
        EXPECT_EQ(back[i].kind, expected.kind);
        EXPECT_EQ(back[i].client, expected.client);
        EXPECT_EQ(back[i].before, expected.before);
        EXPECT_EQ(back[i].moved, expected.moved);
        EXPECT_EQ(back[i].exact, expected.exact);
        EXPECT_EQ(back[i].state.bomId, expected.state.bomId);
        EXPECT_EQ(back[i].state.changeCount, expected.state.changeCount);
        EXPECT_TRUE(sameLines(back[i].state.lines, expected.state.lines)) << linesText(back[i].state.lines).toStdString();
    }
    QFile damaged(dir.filePath(QStringLiteral("writes-2.jsonl")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("{\"kind\":\"save\",\"bom\":3,\"cou"); // a client that died while it wrote
    damaged.close();
    EXPECT_THROW(readWriteLogs(dir.path()), std::runtime_error);
}
