// The account's rules, each written once: which BOM and line are in force on a
// date (the SQL text and the C++ comparison must agree), a line's quantity, a
// cycle, a quoted value, and what a BOM must keep to be stored.
#include "support/FakeHost.h"
#include "support/ScratchAccount.h"

#include "host/db/AccountDatabase.h"
#include "host/db/InForce.h"
#include "host/db/LineQuantity.h"
#include "host/db/PathBack.h"
#include "host/voucher/BomChecks.h"
#include "host/voucher/VoucherForm.h"
#include "platform/ClassRegistry.h"
#include "platform/data/Ado.h"
#include "platform/SqlText.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

using namespace q7;
using namespace q7::host;

namespace {

// A throwaway in-memory SQLite connection.
class MemoryDb {
public:
    MemoryDb() : name_(QUuid::createUuid().toString())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db.setDatabaseName(QStringLiteral(":memory:"));
        db.open();
    }
    ~MemoryDb() { QSqlDatabase::removeDatabase(name_); }
    QSqlDatabase db() const { return QSqlDatabase::database(name_); }
    bool holds(const QByteArray& condition, const QVariantList& bound)
    {
        QSqlQuery q(db());
        EXPECT_TRUE(q.prepare(QStringLiteral("SELECT CASE WHEN ") + QString::fromUtf8(condition) + QStringLiteral(" THEN 1 ELSE 0 END FROM t")));
        for (const QVariant& v : bound)
            q.addBindValue(v);
        EXPECT_TRUE(q.exec() && q.next()) << condition.toStdString();
        return q.value(0).toInt() == 1;
    }

private:
    QString name_;
};

TEST(InForce, TheSqlTextAndTheComparisonAgreeOnEveryBoundary)
{
    // from, until (NULL: open), date → in force
    struct Case {
        const char* from;
        const char* until;
        const char* date;
        bool inForce;
    } cases[] = {
        {"2026-01-01", "2026-07-01", "2025-12-31", false}, // the day before the first
        {"2026-01-01", "2026-07-01", "2026-01-01", true},  // the first day
        {"2026-01-01", "2026-07-01", "2026-06-30", true},  // the last day
        {"2026-01-01", "2026-07-01", "2026-07-01", false}, // the end date itself
        {"2026-01-01", nullptr, "2099-12-31", true},       // no end: open
        {nullptr, "2026-07-01", "1990-01-01", true},       // no beginning: open
        {nullptr, nullptr, "2026-12-07", true},
        {"2026-01-01", "2026-01-01", "2026-01-01", false}, // an empty period
    };
    MemoryDb memory;
    QSqlQuery create(memory.db());
    ASSERT_TRUE(create.exec(QStringLiteral("CREATE TABLE t (VersionEffDate TEXT, VersionEndDate TEXT, EffBegDate TEXT, EffEndDate TEXT)")));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.from ? c.from : "NULL") + " .. " + (c.until ? c.until : "NULL") + " on " + c.date);
        QSqlQuery fill(memory.db());
        fill.exec(QStringLiteral("DELETE FROM t"));
        fill.prepare(QStringLiteral("INSERT INTO t VALUES (?, ?, ?, ?)"));
        const QVariant from = c.from ? QVariant(QString::fromLatin1(c.from)) : QVariant();
        const QVariant until = c.until ? QVariant(QString::fromLatin1(c.until)) : QVariant();
        for (const QVariant& v : {from, until, from, until})
            fill.addBindValue(v);
        ASSERT_TRUE(fill.exec());
        const QString date = QString::fromLatin1(c.date);
        EXPECT_EQ(memory.holds(db::bomInForce("t", "?"), {date, date}), c.inForce) << "BOM";
        EXPECT_EQ(memory.holds(db::substituteInForce("t", "?"), {date, date}), c.inForce) << "substitute";
        if (c.from && c.until) { // a line's dates are never NULL
            EXPECT_EQ(memory.holds(db::lineInForce("t", "?"), {date, date}), c.inForce) << "line";
            EXPECT_EQ(db::holdsOn(QString::fromLatin1(c.from), QString::fromLatin1(c.until), date), c.inForce) << "C++";
        }
        // the ends the account writes for an open period behave as the open period
        const QString writtenFrom = c.from ? QString::fromLatin1(c.from) : QString::fromLatin1(db::OpenBegin);
        const QString writtenUntil = c.until ? QString::fromLatin1(c.until) : QString::fromLatin1(db::OpenEnd);
        if (date >= QString::fromLatin1(db::OpenBegin) && date < QString::fromLatin1(db::OpenEnd)) {
            EXPECT_EQ(db::holdsOn(writtenFrom, writtenUntil, date), c.inForce) << "written ends";
        }
    }
}

TEST(InForce, OfSeveralBomsTheHighestVersionThenTheOlderIsUsed)
{
    struct Bom {
        double version;
        int id;
    };
    const std::vector<std::vector<Bom>> orders = {{{1, 10}, {2, 11}, {2, 12}}, {{2, 12}, {1, 10}, {2, 11}}, {{2, 11}, {2, 12}, {1, 10}}};
    for (const auto& order : orders) { // whatever the order they are read in
        double version = 0;
        int chosen = 0;
        for (const Bom& b : order)
            if (db::preferredBom(b.version, b.id, version, chosen)) {
                version = b.version;
                chosen = b.id;
            }
        EXPECT_EQ(chosen, 11);
    }
}

TEST(LineQuantity, FixedVariableAndPlanFactor)
{
    struct Case {
        double n, d, compScrap;
        int fv;
        double parentScrap;
        std::optional<double> plan;
        double expected;
    } cases[] = {
        {3, 10, 5, 0, 20, std::nullopt, 0.315},   // fixed: the parent's scrap does not count
        {3, 10, 5, 1, 20, std::nullopt, 0.39375}, // variable: ÷ (1 − 20 %)
        {3, 10, 5, 1, 20, 50.0, 0.196875},        // half of it planned
        {4, 1, 5, 0, 0, 100.0, 4.2},
        {1, 1, 0, 7, 0, std::nullopt, 0},         // an unknown flag
    };
    for (const Case& c : cases)
        EXPECT_NEAR(db::lineQuantity(c.n, c.d, c.compScrap, c.fv, c.parentScrap, c.plan), c.expected, 1e-12) << c.n << '/' << c.d;
    EXPECT_FALSE(std::isfinite(db::lineQuantity(1, 0, 0, 1, 0))) << "nothing guarded: what the statements compute";
}

TEST(PathBack, CyclesAreFoundWithTheirShortestPathAndOnlyWhatIsReachedIsRead)
{
    using Graph = std::map<int, std::vector<int>>;
    struct Case {
        const char* name;
        Graph graph;
        int part;
        std::vector<int> path;
    } cases[] = {
        {"none", {{1, {2, 3}}, {2, {3}}, {3, {}}}, 1, {}},
        {"own component", {{1, {1}}}, 1, {1, 1}},
        {"through two", {{1, {2}}, {2, {1}}}, 1, {1, 2, 1}},
        {"shortest of two", {{1, {2, 5}}, {2, {3}}, {3, {4}}, {4, {1}}, {5, {1}}}, 1, {1, 5, 1}},
        {"a cycle below, not through the part", {{1, {2}}, {2, {3}}, {3, {2}}}, 1, {}},
        {"repeated component", {{1, {2, 2}}, {2, {3, 3}}, {3, {1}}}, 1, {1, 2, 3, 1}},
    };
    for (const Case& c : cases) {
        std::vector<int> asked;
        const auto components = [&](int part) {
            asked.push_back(part);
            const auto found = c.graph.find(part);
            return found == c.graph.end() ? std::vector<int>{} : found->second;
        };
        EXPECT_EQ(db::pathBack(c.part, components), c.path) << c.name;
        std::sort(asked.begin(), asked.end());
        EXPECT_EQ(std::adjacent_find(asked.begin(), asked.end()), asked.end()) << c.name << ": a part was read twice";
    }
    // a chain a million parts deep: no recursion to exhaust the stack
    const int depth = 1000000;
    const auto chain = [&](int part) { return std::vector<int>{part < depth ? part + 1 : 0}; };
    EXPECT_EQ(db::pathBack(0, chain).size(), static_cast<size_t>(depth + 2));
}

TEST(SqlText, SingleQuotesAreDoubled)
{
    EXPECT_EQ(quoted(QStringLiteral("O'Brien")), QStringLiteral("'O''Brien'"));
    EXPECT_EQ(quoted(QStringLiteral("x' OR '1'='1")), QStringLiteral("'x'' OR ''1''=''1'"));
    EXPECT_EQ(doubledQuotes(QStringLiteral("''")), QStringLiteral("''''"));
    EXPECT_EQ(quoted(QString()), QStringLiteral("''"));
}

// A BOM that keeps every rule; each case spoils one field of it.
voucher::BomDocument goodBom()
{
    voucher::BomDocument d;
    d.head = {{QStringLiteral("cInvCode"), QStringLiteral("BS-200")},    {QStringLiteral("BomType"), QStringLiteral("主BOM")},
              {QStringLiteral("Version"), QStringLiteral("3")},          {QStringLiteral("VersionEffDate"), QStringLiteral("2026-12-01")},
              {QStringLiteral("ParentScrap"), QStringLiteral("2")}};
    voucher::BomLine line;
    line.fields = {{QStringLiteral("DInvCode"), QStringLiteral("ST-400")},   {QStringLiteral("DInvFree_1"), QStringLiteral("Q235")},
                   {QStringLiteral("DBaseQtyN"), QStringLiteral("2")},
                   {QStringLiteral("DBaseQtyD"), QStringLiteral("1")},       {QStringLiteral("DCompScrap"), QStringLiteral("0")},
                   {QStringLiteral("DPlanRate"), QStringLiteral("100")},     {QStringLiteral("DFVFlag"), QStringLiteral("变动")},
                   {QStringLiteral("DWIPType"), QStringLiteral("领用")},     {QStringLiteral("DWhCode"), QStringLiteral("01")},
                   {QStringLiteral("DEffBegDate"), QStringLiteral("2026-12-01")}, {QStringLiteral("DEffEndDate"), QStringLiteral("2099-12-31")},
                   {QStringLiteral("DSortSeq"), QStringLiteral("10")}};
    d.lines = {line, line};
    return d;
}

// A date is ten characters yyyy-mm-dd of a day the calendar has, read at once when written in
// ASCII digits; the answer is the one the general date reading gives, on every boundary.
TEST(BomChecks, DateTextsAreDaysOfTheCalendar)
{
    struct Case {
        const char* text;
        bool date;
    };
    const Case cases[] = {
        {"2026-01-01", true},  {"2026-12-31", true},  {"2099-12-31", true},  {"1900-01-01", true},  {"2024-02-29", true},
        {"2000-02-29", true},  {"2026-02-29", false}, {"1900-02-29", false}, {"2026-04-31", false}, {"2026-13-01", false},
        {"2026-00-10", false}, {"2026-01-00", false}, {"0000-01-01", false}, {"2026/01/01", false}, {"2026-1-01", false},
        {"2026-01-1", false},  {"20260101", false},   {"2026-01-01 ", false}, {" 2026-01-01", false}, {"2026-01-0a", false},
        {"abcd-ef-gh", false}, {"", false},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(voucher::isDateText(text), c.date) << c.text;
        EXPECT_EQ(voucher::isDateText(text), text.size() == 10 && QDate::fromString(text, QStringLiteral("yyyy-MM-dd")).isValid()) << c.text;
    }
    // spellings that are not all ASCII digits are left to the general reading
    for (const char* text : {"+026-01-01", "-026-01-01", "２０２６-01-01", "2026-01-01"}) {
        const QString t = QString::fromUtf8(text);
        EXPECT_EQ(voucher::isDateText(t), t.size() == 10 && QDate::fromString(t, QStringLiteral("yyyy-MM-dd")).isValid()) << text;
    }
}

TEST(BomChecks, EachBrokenRuleIsReportedAtItsFieldAndLine)
{
    // ST-400 comes in grades (its first free item), BS-200 in nothing
    const voucher::AccountFacts facts{[](const QString& code) -> std::optional<std::array<bool, 10>> {
                                          if (code == QLatin1String("ST-400"))
                                              return std::array<bool, 10>{true};
                                          if (code == QLatin1String("BS-200"))
                                              return std::array<bool, 10>{};
                                          return std::nullopt;
                                      },
                                      [](const QString& code) { return code == QLatin1String("01"); },
                                      [](const QString&) { return true; }};
    ASSERT_TRUE(voucher::checkBom(goodBom(), facts).isEmpty());
    struct Case {
        int line; // 0 head, 2 the second line
        const char* field;
        const char* value;
    } cases[] = {
        {2, "DBaseQtyN", "0"},      {2, "DBaseQtyN", "-1"},      {2, "DBaseQtyN", "abc"},     {2, "DBaseQtyD", "0"},
        {2, "DBaseQtyD", "-1"},     {2, "DCompScrap", "100"},    {2, "DCompScrap", "-100"},   {2, "DCompScrap", "1e308"},
        {2, "DPlanRate", "-1"},     {0, "ParentScrap", "100"},   {0, "ParentScrap", "150"},   {2, "DEffBegDate", "2025-02-30"},
        {2, "DEffBegDate", "someday"}, {2, "DEffEndDate", "2026-12-01"}, {2, "DEffEndDate", "2026-11-30"}, {0, "Version", "0"},
        {0, "Version", "123456789"}, {0, "Version", "1.5"},     {0, "Version", ""},          {0, "VersionEffDate", "2026-13-01"},
        {0, "cInvCode", "NOPE"},    {2, "DInvCode", "NOPE"},     {2, "DInvCode", ""},         {2, "DWhCode", "99"},
        {2, "DFVFlag", "半固定"},   {2, "DWIPType", "外协"},     {0, "BomType", "第三种"},    {2, "DSortSeq", "10.5"},
        {2, "DInvFree_1", ""},      {2, "DInvFree_2", "长"},     {0, "InvFree_1", "红"},      {2, "DSortSeq", "-5"},
        {2, "DSortSeq", "99999999999999999999"}, {2, "DOffset", "1.5"},
    };
    for (const Case& c : cases) {
        voucher::BomDocument d = goodBom();
        if (c.line)
            d.lines[c.line - 1].fields.insert(QString::fromLatin1(c.field), QString::fromUtf8(c.value));
        else
            d.head.insert(QString::fromLatin1(c.field), QString::fromUtf8(c.value));
        const QList<voucher::Problem> problems = voucher::checkBom(d, facts);
        ASSERT_EQ(problems.size(), 1) << c.field << " = " << c.value;
        EXPECT_EQ(problems.first().line, c.line) << c.field << " = " << c.value;
        EXPECT_EQ(problems.first().field, QString::fromLatin1(c.field)) << c.value;
    }
    // a substitute BOM needs its identifier, not a version
    voucher::BomDocument substitute = goodBom();
    substitute.head.insert(QStringLiteral("BomType"), QStringLiteral("替代BOM"));
    substitute.head.insert(QStringLiteral("Version"), QString());
    ASSERT_EQ(voucher::checkBom(substitute, facts).size(), 1);
    EXPECT_EQ(voucher::checkBom(substitute, facts).first().field, QStringLiteral("IdentCode"));
    // every problem at once, head first
    voucher::BomDocument broken = goodBom();
    broken.head.insert(QStringLiteral("ParentScrap"), QStringLiteral("100"));
    broken.lines[0].fields.insert(QStringLiteral("DBaseQtyD"), QStringLiteral("0"));
    broken.lines[1].fields.insert(QStringLiteral("DBaseQtyN"), QStringLiteral("-3"));
    const QList<voucher::Problem> all = voucher::checkBom(broken, facts);
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all[0].line, 0);
    EXPECT_EQ(all[1].line, 1);
    EXPECT_EQ(all[2].line, 2);
}

} // namespace

namespace {

// A main BOM of BS-200 saved through the voucher: version and version date.
void saveVersion(const QString& db, int version, const QString& from)
{
    auto form = voucher::VoucherForm::create(QStringLiteral("BO11"), db);
    form->open(createObject(QStringLiteral("Q7BomLib.clsBO01001")));
    form->ExecuteMenuTask(QStringLiteral("tlbAdd"));
    ASSERT_TRUE(form->typeHead(QStringLiteral("cInvCode"), QStringLiteral("BS-200")));
    ASSERT_TRUE(form->typeHead(QStringLiteral("VersionDesc"), QStringLiteral("v")));
    ASSERT_TRUE(form->typeHead(QStringLiteral("VersionEffDate"), from));
    ASSERT_TRUE(form->typeHead(QStringLiteral("Version"), QString::number(version)));
    const int row = form->addRow();
    ASSERT_TRUE(form->typeBody(row, QStringLiteral("DInvCode"), QStringLiteral("ST-400")));
    ASSERT_TRUE(form->save()) << form->lastRefusal().text.toStdString();
}

// Runs statements of the account's own dialect on it.
void execute(const QString& db, const QString& sql)
{
    data::Connection connection;
    connection.Open(db::connectionStringFor(db));
    connection.executeNative(sql);
}

// "version: from..until" of BS-200's main BOMs, by version.
QStringList periods(const QString& db)
{
    data::Connection connection;
    connection.Open(db::connectionStringFor(db));
    QSqlQuery q(connection.database());
    q.exec(QStringLiteral("SELECT b.Version, b.VersionEffDate, b.VersionEndDate FROM bom_bom b JOIN bom_parent t ON t.BomId = b.BomId "
                          "JOIN bas_part p ON p.PartId = t.ParentId WHERE p.InvCode = 'BS-200' AND b.BomType = 1 ORDER BY b.Version, b.BomId"));
    QStringList found;
    while (q.next())
        found << QStringLiteral("%1: %2..%3").arg(q.value(0).toInt()).arg(q.value(1).toString(), q.value(2).toString());
    return found;
}

} // namespace

TEST(Versions, ASavedVersionTakesOverFromItsDateAndEndsWhereTheNextBegins)
{
    struct Save {
        int version;
        const char* from;
    };
    struct Case {
        const char* name;
        std::vector<Save> saves;
        QStringList periods;
    } cases[] = {
        {"one version: open", {{1, "2026-01-01"}}, {QStringLiteral("1: 2026-01-01..2099-12-31")}},
        {"a later version ends the one before",
         {{1, "2026-01-01"}, {2, "2026-06-15"}},
         {QStringLiteral("1: 2026-01-01..2026-06-15"), QStringLiteral("2: 2026-06-15..2099-12-31")}},
        {"a version between two ends the first and stops at the next",
         {{1, "2026-01-01"}, {2, "2026-06-15"}, {3, "2026-03-01"}},
         {QStringLiteral("1: 2026-01-01..2026-03-01"), QStringLiteral("2: 2026-06-15..2099-12-31"), QStringLiteral("3: 2026-03-01..2026-06-15")}},
        {"an earlier version stops where the first begins",
         {{2, "2026-06-15"}, {3, "2026-01-01"}},
         {QStringLiteral("2: 2026-06-15..2099-12-31"), QStringLiteral("3: 2026-01-01..2026-06-15")}},
        {"a removed version gives its period back",
         {{1, "2026-01-01"}, {2, "2026-06-15"}, {3, "2026-09-01"}, {-3, ""}, {-1, ""}},
         {QStringLiteral("2: 2026-06-15..2099-12-31")}},
        {"a removed version between two gives its period to the one before",
         {{1, "2026-01-01"}, {2, "2026-06-15"}, {3, "2026-09-01"}, {-2, ""}},
         {QStringLiteral("1: 2026-01-01..2026-09-01"), QStringLiteral("3: 2026-09-01..2099-12-31")}},
        {"editing the lines of a version keeps every period",
         {{1, "2026-01-01"}, {7, "2026-01-01"}, {1, ""}, {7, ""}},
         {QStringLiteral("1: 2026-01-01..2026-01-01"), QStringLiteral("7: 2026-01-01..2099-12-31")}},
        {"a removed version gives its period back to the one it replaced on its date, not to one that merely ended there",
         {{1, "2026-01-01"}, {5, "2026-01-01"}, {6, "2025-06-01"}, {-5, ""}},
         {QStringLiteral("1: 2026-01-01..2099-12-31"), QStringLiteral("6: 2025-06-01..2026-01-01")}},
        {"of two replaced on one date, the one readers prefer comes back",
         {{1, "2020-01-01"}, {2, "2024-06-01"}, {3, "2024-06-01"}, {-3, ""}},
         {QStringLiteral("1: 2020-01-01..2024-06-01"), QStringLiteral("2: 2024-06-01..2099-12-31")}},
        {"the same date: the new version takes the whole period",
         {{1, "2026-01-01"}, {7, "2026-01-01"}},
         {QStringLiteral("1: 2026-01-01..2026-01-01"), QStringLiteral("7: 2026-01-01..2099-12-31")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake::resetRecords();
        const fake::ScratchAccount scratch;
        const QString& db = scratch.path();
        for (const Save& save : c.saves) {
            if (save.version > 0 && *save.from) {
                saveVersion(db, save.version, QString::fromLatin1(save.from));
                continue;
            }
            if (save.version > 0) { // no date: that version's lines edited and saved again
                auto form = voucher::VoucherForm::create(QStringLiteral("BO11"), db);
                form->open(createObject(QStringLiteral("Q7BomLib.clsBO01001")));
                ASSERT_TRUE(form->loadBom(form->store().mainBomOf(QStringLiteral("BS-200"), QString::number(save.version))));
                form->ExecuteMenuTask(QStringLiteral("tlbEdit"));
                ASSERT_TRUE(form->typeBody(1, QStringLiteral("DBaseQtyN"), QStringLiteral("3")));
                ASSERT_TRUE(form->save()) << form->lastRefusal().text.toStdString();
                continue;
            }
            auto form = voucher::VoucherForm::create(QStringLiteral("BO11"), db); // a negative version: that version removed
            ASSERT_TRUE(form->store().remove(form->store().mainBomOf(QStringLiteral("BS-200"), QString::number(-save.version))));
        }
        EXPECT_EQ(periods(db), c.periods);
    }
}

// A substitute is a way into a BOM as its component is: one that would bring a
// part back into itself is refused, like the component.
TEST(Versions, ASubstituteThatClosesACycleIsRefused)
{
    fake::resetRecords();
    const fake::ScratchAccount scratch;
    const QString& db = scratch.path();
    auto form = voucher::VoucherForm::create(QStringLiteral("BO11"), db);
    form->open(createObject(QStringLiteral("Q7BomLib.clsBO01001")));
    const int tube = form->store().mainBomOf(QStringLiteral("TB-300"));
    ASSERT_TRUE(form->loadBom(tube));
    form->ExecuteMenuTask(QStringLiteral("tlbEdit"));
    form->voucher().setBodyText(1, QStringLiteral("_Substitutes"),
                                QVariantList{QVariantMap{{QStringLiteral("DInvCode"), QStringLiteral("BK-100")}, {QStringLiteral("DInvFree_1"), QStringLiteral("红")},
                                                         {QStringLiteral("DFactor"), QStringLiteral("1")}}});
    EXPECT_FALSE(form->save());
    EXPECT_EQ(form->lastRefusal().message, 61311);
    EXPECT_EQ(form->lastRefusal().line, 1);
    EXPECT_TRUE(form->lastRefusal().arguments.value(1).toString().startsWith(QStringLiteral("TB-300 → BK-100/红")))
        << form->lastRefusal().arguments.value(1).toString().toStdString();
}

// Versions saved before every save gave them an end date are given one by the
// next save, as the reports read them: each ends where the next begins, and
// of two on one date the lower one never holds.
TEST(Versions, VersionsWithoutEndDatesAreSettledAsTheReportsReadThem)
{
    struct Case {
        const char* name;
        const char* versions; // (BomId, Version, VersionEffDate) rows without end dates
        const char* ends;     // the end dates some of them have after all
        QStringList periods;  // after the next save, of a version 9 dated 2030-01-01
    } cases[] = {
        {"each ends where a preferred one begins; of two on one date the lower never holds",
         "(801, 1, '2026-01-01'), (802, 2, '2026-06-15'), (803, 3, '2026-06-15')", "",
         {QStringLiteral("1: 2026-01-01..2026-06-15"), QStringLiteral("2: 2026-06-15..2026-06-15"), QStringLiteral("3: 2026-06-15..2030-01-01"),
          QStringLiteral("9: 2030-01-01..2099-12-31")}},
        {"a version is not cut where a preferred one begins that ends again: readers return to it",
         "(801, 2, '2020-01-01'), (802, 3, '2022-01-01'), (803, 1, '2024-01-01')", "UPDATE bom_bom SET VersionEndDate = '2023-01-01' WHERE BomId = 802",
         {QStringLiteral("1: 2024-01-01..2024-01-01"), QStringLiteral("2: 2020-01-01..2030-01-01"), QStringLiteral("3: 2022-01-01..2023-01-01"),
          QStringLiteral("9: 2030-01-01..2099-12-31")}},
        {"a lower version that begins later never holds: the higher one is read",
         "(801, 3, '2020-01-01'), (802, 2, '2025-01-01')", "",
         {QStringLiteral("2: 2025-01-01..2025-01-01"), QStringLiteral("3: 2020-01-01..2030-01-01"), QStringLiteral("9: 2030-01-01..2099-12-31")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake::resetRecords();
        const fake::ScratchAccount scratch;
        const QString& db = scratch.path();
        execute(db, QStringLiteral("INSERT INTO bom_bom (BomId, Version, VersionEffDate, BomType) VALUES ") +
                        QString::fromUtf8(c.versions).replace(QStringLiteral("')"), QStringLiteral("', 1)")));
        execute(db, QStringLiteral("INSERT INTO bom_parent (BomId, ParentId) SELECT BomId, (SELECT PartId FROM bas_part WHERE InvCode = 'BS-200') "
                                   "FROM bom_bom WHERE BomId > 800"));
        if (*c.ends)
            execute(db, QString::fromUtf8(c.ends));
        saveVersion(db, 9, QStringLiteral("2030-01-01")); // the next save settles them first, then takes over from its own date
        EXPECT_EQ(periods(db), c.periods);
    }
}
