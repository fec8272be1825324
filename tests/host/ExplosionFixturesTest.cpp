// Explosions on data shaped like real accounts: overlapping versions, one
// component on two lines, identifiers that sort after the open-bound marker,
// BOMs older than the default bounds, ladders of shared sub-assemblies,
// very deep chains, and a database that fails under the report.
#include "support/FakeHost.h"

#include "host/db/AccountDatabase.h"
#include "host/db/procedures/ProcedureSupport.h"
#include "host/report/ReportViewer.h"
#include "platform/AutomationError.h"
#include "platform/data/Ado.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>
#include <tuple>

using namespace q7;
using host::report::FilterSetting;
using host::report::ReportViewer;

namespace {

constexpr double eps = 1e-9;

FilterSetting range(const QString& name, const QString& low, const QString& high) { return {name, low, high}; }
FilterSetting value(const QString& name, const QString& v) { return {name, v, std::nullopt}; }

// A scratch demo account with parts and BOMs of the test's own (codes FX-…).
class Fixture {
public:
    Fixture()
    {
        path_ = dir_.filePath(QStringLiteral("fixture.db"));
        host::db::createDemoAccount(path_);
        connection.Open(host::db::connectionStringFor(path_));
    }

    int part(const QString& code)
    {
        const int id = ++lastPart_;
        sql(QStringLiteral("INSERT OR IGNORE INTO Inventory (cInvCode, cInvName, cComUnitName, InvAttr) VALUES ('%1', '%1', '个', 3);"
                           "INSERT INTO bas_part (PartId, InvCode) VALUES (%2, '%1')")
                .arg(code)
                .arg(id));
        return id;
    }
    // A BOM of the part; a null date is stored as NULL.
    int bom(int parent, int type, int version, const char* from, const char* to, const QString& ident = {}, double parentScrap = 0)
    {
        const int id = ++lastBom_;
        const auto text = [](const char* d) { return d ? QStringLiteral("'%1'").arg(QLatin1String(d)) : QStringLiteral("NULL"); };
        sql(QStringLiteral("INSERT INTO bom_bom (BomId, BomType, Version, VersionEffDate, VersionEndDate, IdentCode) VALUES (%1, %2, %3, %4, %5, %6);"
                           "INSERT INTO bom_parent (BomId, ParentId, ParentScrap) VALUES (%1, %7, %8)")
                .arg(id)
                .arg(type)
                .arg(version)
                .arg(text(from), text(to), ident.isEmpty() ? QStringLiteral("NULL") : QStringLiteral("'%1'").arg(ident))
                .arg(parent)
                .arg(parentScrap));
        return id;
    }
    void line(int bom, int component, int sortSeq, double qty, const char* from = "2000-01-01", const char* to = "2099-12-31", bool byProduct = false,
              const char* opSeq = "0010")
    {
        sql(QStringLiteral("INSERT INTO bom_opcomponent (OpComponentId, BomId, ComponentId, SortSeq, OpSeq, BaseQtyN, BaseQtyD, EffBegDate, EffEndDate, "
                           "ByProductFlag) VALUES (%1, %2, %3, %4, '%5', %6, 1, '%7', '%8', %9)")
                .arg(++lastLine_)
                .arg(bom)
                .arg(component)
                .arg(sortSeq)
                .arg(QLatin1String(opSeq))
                .arg(qty)
                .arg(QLatin1String(from), QLatin1String(to))
                .arg(byProduct ? 1 : 0));
    }
    void sql(const QString& text) { connection.executeNative(text); }

    data::ResultSet run(const QString& key, const QList<FilterSetting>& settings, int angle = 0)
    {
        ReportViewer viewer(key);
        const auto out = viewer.run(settings, angle, &connection);
        EXPECT_FALSE(out.refused) << out.message.toStdString();
        return out.rows;
    }
    const QString& path() const { return path_; }

    data::Connection connection;

private:
    QTemporaryDir dir_;
    QString path_;
    int lastPart_ = 100000, lastBom_ = 100000, lastLine_ = 100000;
};

// Values of a column in the rows whose other columns have the given values.
QList<double> numbers(const data::ResultSet& rs, const QString& column, const QMap<QString, QString>& where)
{
    QList<double> found;
    for (const auto& row : rs.rows) {
        bool match = true;
        for (auto it = where.begin(); it != where.end() && match; ++it)
            match = row[rs.columnIndex(it.key())].toString() == it.value();
        if (match)
            found.append(row[rs.columnIndex(column)].toDouble());
    }
    return found;
}


const QString C = QStringLiteral("子件编码"), Q = QStringLiteral("累计用量"), L = QStringLiteral("层级"), D = QStringLiteral("需求数量");

} // namespace

TEST(ExplosionFixtures, TopBomIsTheVersionInForceAtTheDate)
{
    Fixture f;
    const int top = f.part("FX-T"), c1 = f.part("FX-C1"), c2 = f.part("FX-C2");
    // version 1 ended when version 2 began; both keep open-dated lines
    const int v1 = f.bom(top, 1, 1, "2020-01-01", "2025-01-01");
    f.line(v1, c1, 10, 1);
    const int v2 = f.bom(top, 1, 2, "2025-01-01", "2099-12-31");
    f.line(v2, c1, 10, 2);
    f.line(v2, c2, 20, 1);
    struct Case {
        const char* date;
        double c1;
        int c2Rows;
    };
    // 2024-12-31 is version 1's last day; 2025-01-01 its end date and version 2's first day
    for (const Case& c : {Case{"2024-12-31", 1, 0}, Case{"2025-01-01", 2, 1}, Case{"2026-12-07", 2, 1}}) {
        const QString date = QString::fromLatin1(c.date);
        const auto indented = f.run("BO02004", {range("InvCode", "FX-T", "FX-T"), value("EffDate", date)});
        EXPECT_EQ(numbers(indented, Q, {{C, "FX-C1"}}), QList<double>{c.c1}) << c.date;
        EXPECT_EQ(numbers(indented, Q, {{C, "FX-C2"}}).size(), c.c2Rows) << c.date;
        const auto summary = f.run("BO02004", {range("InvCode", "FX-T", "FX-T"), value("EffDate", date), value("QueryType", "阶列式")});
        EXPECT_EQ(numbers(summary, Q, {{C, "FX-C1"}}), QList<double>{c.c1}) << c.date;
        const auto demand = f.run("BO02007", {range("InvCode", "FX-T", "FX-T"), value("EffDate", date), value("Qty", "3")});
        EXPECT_EQ(numbers(demand, D, {{C, "FX-C1"}}), QList<double>{3 * c.c1}) << c.date;
    }
    // before either version: no BOM in force, no rows
    EXPECT_TRUE(f.run("BO02004", {range("InvCode", "FX-T", "FX-T"), value("EffDate", "2019-12-31")}).rows.isEmpty());
}

TEST(ExplosionFixtures, OfTwoVersionsInForceTheHigherOneCountsEverywhere)
{
    Fixture f;
    const int top = f.part("FX-T"), old = f.part("FX-OLD"), fresh = f.part("FX-NEW");
    const int v3 = f.bom(top, 1, 3, "2020-01-01", "2099-12-31");
    f.line(v3, old, 10, 1);
    const int v4 = f.bom(top, 1, 4, "2026-01-01", "2099-12-31");
    f.line(v4, fresh, 10, 5);
    const auto rows = f.run("BO02004", {range("InvCode", "FX-T", "FX-T")});
    ASSERT_EQ(rows.rows.size(), 1);
    EXPECT_EQ(numbers(rows, Q, {{C, "FX-NEW"}}), QList<double>{5});
    // where-used agrees: the superseded version 3 does not make FX-T a user of FX-OLD
    EXPECT_TRUE(f.run("BO02006", {range("InvCode", "FX-OLD", "FX-OLD")}).rows.isEmpty());
    EXPECT_EQ(f.run("BO02006", {range("InvCode", "FX-NEW", "FX-NEW")}).rows.size(), 1);
    // a version in force without lines in force still wins: the BOM is chosen by version, not by its lines
    f.sql(QStringLiteral("UPDATE bom_opcomponent SET EffBegDate = '2027-01-01' WHERE BomId = %1").arg(v4));
    EXPECT_TRUE(f.run("BO02004", {range("InvCode", "FX-T", "FX-T")}).rows.isEmpty());
}

TEST(ExplosionFixtures, RepeatedComponentStaysTwoLines)
{
    Fixture f;
    const int top = f.part("FX-T"), c = f.part("FX-C");
    const int v1 = f.bom(top, 1, 1, "2020-01-01", "2026-01-01");
    f.line(v1, c, 10, 1);
    f.line(v1, c, 20, 2, "2000-01-01", "2099-12-31", false, "0020");
    const int v2 = f.bom(top, 1, 2, "2026-01-01", "2099-12-31");
    f.line(v2, c, 10, 1);
    f.line(v2, c, 20, 3, "2000-01-01", "2099-12-31", false, "0020");

    const auto indented = f.run("BO02004", {range("InvCode", "FX-T", "FX-T")});
    EXPECT_EQ(numbers(indented, Q, {{C, "FX-C"}}), (QList<double>{1, 3}));
    const auto summary = f.run("BO02004", {range("InvCode", "FX-T", "FX-T"), value("QueryType", "阶列式")});
    EXPECT_EQ(numbers(summary, Q, {{C, "FX-C"}}), QList<double>{4});

    const auto compared = f.run("BO02010", {value("InvCode", "FX-T"), value("Version1", "1"), value("Version2", "2"), value("SameYn", "是")}, 1);
    ASSERT_EQ(compared.rows.size(), 2);
    const int result = compared.columnIndex(QStringLiteral("比较结果"));
    EXPECT_EQ(compared.rows[0][result].toString(), QStringLiteral("相同")); // line 10: 1 and 1
    EXPECT_EQ(compared.rows[1][result].toString(), QStringLiteral("不同")); // line 20: 2 and 3
    EXPECT_EQ(compared.rows[1][compared.columnIndex(QStringLiteral("B基本用量"))].toDouble(), 3);
}

TEST(ExplosionFixtures, OpenBoundsReadAsOpen)
{
    Fixture f;
    const int top = f.part("FX-T"), c = f.part("FX-C"), s1 = f.part("FX-S1"), s2 = f.part("FX-S2");
    // a BOM dated 1999, before the default version-date bound
    const int old = f.bom(top, 1, 1, "1999-06-01", "2099-12-31");
    f.line(old, c, 10, 2, "1999-06-01");
    // substitutes whose identifiers sort after the twenty-z marker
    f.line(f.bom(top, 2, 0, nullptr, nullptr, QStringLiteral("甲1")), s1, 10, 1);
    f.line(f.bom(top, 2, 0, nullptr, nullptr, QStringLiteral("S1")), s2, 10, 1);

    EXPECT_EQ(numbers(f.run("BO02004", {range("InvCode", "FX-T", "FX-T")}), Q, {{C, "FX-C"}}), QList<double>{2});
    EXPECT_EQ(numbers(f.run("BO02007", {range("InvCode", "FX-T", "FX-T")}), D, {{C, "FX-C"}}), QList<double>{2});
    const auto substitutes = f.run("BO02007", {range("InvCode", "FX-T", "FX-T"), value("BomType", "替代"), range("IdentCode", "S0", "")});
    EXPECT_EQ(numbers(substitutes, D, {{C, "FX-S1"}}).size(), 1);
    EXPECT_EQ(numbers(substitutes, D, {{C, "FX-S2"}}).size(), 1);
    // an upper bound the user typed still holds
    const auto below = f.run("BO02007", {range("InvCode", "FX-T", "FX-T"), value("BomType", "替代"), range("IdentCode", "", "S9")});
    EXPECT_TRUE(numbers(below, D, {{C, "FX-S1"}}).isEmpty());
    // with 全部 the main BOM and one BOM per identifier
    const auto all = f.run("BO02007", {range("InvCode", "FX-T", "FX-T"), value("BomType", "全部")});
    EXPECT_EQ(all.rows.size(), 3);
}

namespace {

// A ladder of n diamonds: L0 → A1, B1 → L1 → A2, B2 → L2 … Ln, each line one
// per parent, so Lk is needed 2^k times; Ln uses itself.
void ladder(Fixture& f, int n)
{
    int previous = f.part("FX-L0");
    for (int k = 1; k <= n; ++k) {
        const int a = f.part(QStringLiteral("FX-A%1").arg(k)), b = f.part(QStringLiteral("FX-B%1").arg(k));
        const int l = f.part(QStringLiteral("FX-L%1").arg(k));
        const int bom = f.bom(previous, 1, 1, "2000-01-01", "2099-12-31");
        f.line(bom, a, 10, 1);
        f.line(bom, b, 20, 1);
        f.line(f.bom(a, 1, 1, "2000-01-01", "2099-12-31"), l, 10, 1);
        f.line(f.bom(b, 1, 1, "2000-01-01", "2099-12-31"), l, 10, 1);
        previous = l;
    }
    f.line(f.bom(previous, 1, 1, "2000-01-01", "2099-12-31"), previous, 10, 1);
}

using LevelKey = std::tuple<int, QString>;

// The indented rows summed per level and component, with whether any was a cycle.
std::map<LevelKey, std::pair<double, bool>> summedPerLevel(const data::ResultSet& rs, const QString& quantityColumn)
{
    std::map<LevelKey, std::pair<double, bool>> sums;
    for (const auto& row : rs.rows) {
        auto& entry = sums[{row[rs.columnIndex(L)].toInt(), row[rs.columnIndex(C)].toString()}];
        entry.first += row[rs.columnIndex(quantityColumn)].toDouble();
        entry.second = entry.second || row[rs.columnIndex(QStringLiteral("说明"))].toString() == QStringLiteral("循环");
    }
    return sums;
}

} // namespace

TEST(ExplosionFixtures, LevelSummaryEqualsTheIndentedRowsSummed)
{
    Fixture f;
    ladder(f, 3);
    // and a two-part cycle hanging off the middle: A2 → FX-X → FX-Y → FX-X
    const int x = f.part("FX-X"), y = f.part("FX-Y");
    f.line(f.bom(x, 1, 1, "2000-01-01", "2099-12-31"), y, 10, 2);
    f.line(f.bom(y, 1, 1, "2000-01-01", "2099-12-31"), x, 10, 3);
    f.sql(QStringLiteral("INSERT INTO bom_opcomponent (OpComponentId, BomId, ComponentId, SortSeq, BaseQtyN) "
                         "SELECT 900000, b.BomId, %1, 30, 1 FROM bom_parent b JOIN bas_part p ON p.PartId = b.ParentId WHERE p.InvCode = 'FX-A2'")
              .arg(x));
    const auto indented = f.run("BO02004", {range("InvCode", "FX-L0", "FX-L0")});
    const auto summary = f.run("BO02004", {range("InvCode", "FX-L0", "FX-L0"), value("QueryType", "阶列式")});
    const auto expected = summedPerLevel(indented, Q);
    const auto actual = summedPerLevel(summary, Q);
    ASSERT_EQ(actual.size(), expected.size());
    for (const auto& [key, entry] : expected) {
        ASSERT_TRUE(actual.contains(key)) << std::get<0>(key) << " " << std::get<1>(key).toStdString();
        EXPECT_NEAR(actual.at(key).first, entry.first, eps) << std::get<1>(key).toStdString();
        EXPECT_EQ(actual.at(key).second, entry.second) << std::get<1>(key).toStdString();
    }
    // L3 uses itself: at level 7, eight times over, marked
    EXPECT_EQ(actual.at({7, QStringLiteral("FX-L3")}), std::make_pair(8.0, true));
}

TEST(ExplosionFixtures, LevelSummaryOfADeepLadderOverASelfLoopIsQuick)
{
    Fixture f;
    ladder(f, 18); // 2^18 paths: listing them took seconds and a gigabyte
    const auto summary = f.run("BO02004", {range("InvCode", "FX-L0", "FX-L0"), value("QueryType", "阶列式")});
    EXPECT_EQ(summary.rows.size(), 18 * 3 + 1);
    const auto bottom = summedPerLevel(summary, Q).at({37, QStringLiteral("FX-L18")});
    EXPECT_EQ(bottom, std::make_pair(262144.0, true));
}

TEST(ExplosionFixtures, WhereUsedAgreesWithTheExplosion)
{
    Fixture f;
    // several versions per part on top of the demo's BOMs: a higher version in force beside version 2 of the
    // red bicycle's frame, a by-product with a BOM of its own, and a superseded version still in force
    const int frame = f.part("FX-FRAME"), swarf = f.part("FX-SWARF"), scrap = f.part("FX-SCRAP");
    f.line(f.bom(frame, 1, 1, "2000-01-01", "2099-12-31"), swarf, 10, 0.5);
    const int v2 = f.bom(frame, 1, 2, "2020-01-01", "2099-12-31");
    f.line(v2, swarf, 10, 0.25, "2000-01-01", "2099-12-31", true);
    f.line(v2, scrap, 20, 2);
    f.line(f.bom(swarf, 1, 1, "2000-01-01", "2099-12-31"), scrap, 10, 7);
    f.sql(QStringLiteral("INSERT INTO bom_opcomponent (OpComponentId, BomId, ComponentId, SortSeq, BaseQtyN) "
                         "SELECT 900001, b.BomId, %1, 90, 1 FROM bom_parent b JOIN bas_part p ON p.PartId = b.ParentId "
                         "WHERE p.InvCode = 'FR-210'")
              .arg(frame));

    const auto explosion = f.run("BO02004", {});
    const auto whereUsed = f.run("BO02006", {});
    ASSERT_FALSE(explosion.rows.isEmpty());
    std::map<std::pair<QString, QString>, double> down, up; // (top, component) -> quantity
    for (const auto& row : explosion.rows)
        if (row[explosion.columnIndex(QStringLiteral("说明"))].toString() != QStringLiteral("循环"))
            down[{row[0].toString(), row[explosion.columnIndex(C)].toString()}] += row[explosion.columnIndex(Q)].toDouble();
    for (const auto& row : whereUsed.rows)
        up[{row[whereUsed.columnIndex(QStringLiteral("母件编码"))].toString(), row[whereUsed.columnIndex(C)].toString()}] +=
            row[whereUsed.columnIndex(Q)].toDouble();
    // every top with a BOM appears in the explosion; where-used also lists parents with no BOM in force as tops
    for (const auto& [key, quantity] : down) {
        ASSERT_TRUE(up.contains(key)) << key.first.toStdString() << " / " << key.second.toStdString();
        EXPECT_NEAR(up.at(key), quantity, 1e-9 * std::max(1.0, quantity)) << key.first.toStdString() << " / " << key.second.toStdString();
    }
    // the by-product's own BOM is not used by its maker: FX-FRAME needs 2 FX-SCRAP, not 2 + 0.25 × 7
    EXPECT_NEAR(up.at({QStringLiteral("FX-FRAME"), QStringLiteral("FX-SCRAP")}), 2, eps);
}

TEST(ExplosionFixtures, WhereUsedAgreesOnASyntheticAccountWithSeveralVersions)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("synthetic.db"));
    host::db::createSyntheticAccount(path, {300, 4, 3, 7});
    data::Connection connection;
    connection.Open(host::db::connectionStringFor(path));
    // every third BOM gets a version 2 in force from 2020 with other quantities and one line fewer
    connection.executeNative(QStringLiteral(
        "INSERT INTO bom_bom (BomId, BomType, Version, VersionEffDate, VersionEndDate) "
        "SELECT BomId + 100000, 1, 2, '2020-01-01', '2099-12-31' FROM bom_bom WHERE BomId % 3 = 0;"
        "INSERT INTO bom_parent (BomId, ParentId, ParentScrap) SELECT BomId + 100000, ParentId, ParentScrap FROM bom_parent WHERE BomId % 3 = 0;"
        "INSERT INTO bom_opcomponent (OpComponentId, BomId, ComponentId, SortSeq, BaseQtyN, BaseQtyD, CompScrap, FVFlag, EffBegDate, EffEndDate) "
        "SELECT OpComponentId + 1000000, BomId + 100000, ComponentId, SortSeq, BaseQtyN + 1, 2, CompScrap, FVFlag, EffBegDate, EffEndDate "
        "FROM bom_opcomponent WHERE BomId % 3 = 0 AND SortSeq > 10;"));
    const auto run = [&](const char* key) {
        ReportViewer viewer(QString::fromLatin1(key));
        return viewer.run({}, 0, &connection).rows;
    };
    const auto explosion = run("BO02004");
    const auto whereUsed = run("BO02006");
    std::map<std::pair<QString, QString>, double> down, up;
    for (const auto& row : explosion.rows)
        down[{row[0].toString(), row[explosion.columnIndex(C)].toString()}] += row[explosion.columnIndex(Q)].toDouble();
    for (const auto& row : whereUsed.rows)
        up[{row[whereUsed.columnIndex(QStringLiteral("母件编码"))].toString(), row[whereUsed.columnIndex(C)].toString()}] +=
            row[whereUsed.columnIndex(Q)].toDouble();
    ASSERT_GT(down.size(), 100u);
    for (const auto& [key, quantity] : down)
        EXPECT_NEAR(up[key], quantity, 1e-9 * std::max(1.0, quantity)) << key.first.toStdString() << " / " << key.second.toStdString();
}

TEST(ExplosionFixtures, DeepChainsNeedNoStack)
{
    Fixture f;
    constexpr int depth = 20000;
    QString sql = QStringLiteral("BEGIN;");
    for (int k = 0; k <= depth; ++k)
        sql += QStringLiteral("INSERT INTO Inventory (cInvCode, cInvName, InvAttr) VALUES ('FX-D%1', 'd', 3);"
                              "INSERT INTO bas_part (PartId, InvCode) VALUES (%2, 'FX-D%1');")
                   .arg(k)
                   .arg(200000 + k);
    for (int k = 0; k < depth; ++k)
        sql += QStringLiteral("INSERT INTO bom_bom (BomId, BomType, Version, VersionEffDate, VersionEndDate) VALUES (%1, 1, 1, '2000-01-01', '2099-12-31');"
                              "INSERT INTO bom_parent (BomId, ParentId) VALUES (%1, %2);"
                              "INSERT INTO bom_opcomponent (OpComponentId, BomId, ComponentId, SortSeq, BaseQtyN) VALUES (%1, %1, %3, 10, 1);")
                   .arg(300000 + k)
                   .arg(200000 + k)
                   .arg(200001 + k);
    f.sql(sql + QStringLiteral("COMMIT;"));
    EXPECT_EQ(f.run("BO02004", {range("InvCode", "FX-D0", "FX-D0")}).rows.size(), depth);
    EXPECT_EQ(f.run("BO02004", {range("InvCode", "FX-D0", "FX-D0"), value("QueryType", "阶列式")}).rows.size(), depth);
    EXPECT_EQ(f.run("BO02006", {range("InvCode", "FX-D20000", "FX-D20000")}).rows.size(), depth);
    EXPECT_EQ(f.run("BO02007", {range("InvCode", "FX-D0", "FX-D0")}).rows.size(), depth);
}

TEST(ExplosionFixtures, RowLimitStopsWithAMessage)
{
    Fixture f;
    host::db::procedures::setRowLimit(f.connection, 5);
    ReportViewer viewer(QStringLiteral("BO02004"));
    try {
        viewer.run({range("InvCode", "BK-100", "BK-100")}, 0, &f.connection);
        FAIL() << "no error at the row limit";
    } catch (const AutomationError& error) {
        EXPECT_TRUE(error.description().contains(QStringLiteral("more than 5 rows"))) << error.what();
    }
    host::db::procedures::setRowLimit(f.connection, 1000);
    EXPECT_EQ(f.run("BO02004", {range("InvCode", "BK-100", "BK-100"), range("cFree1", "红", "红")}).rows.size(), 13);
}

TEST(ExplosionFixtures, RowLimitStopsTheSummaryOfTopsWalkedSideBySide)
{
    // two tops of 12 rows each: the limit is passed within one top's walk, or only by both together
    Fixture f;
    const auto summary = [&] { return f.run("BO02004", {range("InvCode", "BK-100", "BK-100"), value("QueryType", "阶列式")}); };
    host::db::procedures::setRowLimit(f.connection, 1000);
    const qsizetype all = summary().rows.size();
    ASSERT_EQ(all, 24);
    for (const int limit : {5, 15, 23}) {
        host::db::procedures::setRowLimit(f.connection, limit);
        try {
            summary();
            ADD_FAILURE() << "no error at the row limit " << limit;
        } catch (const AutomationError& error) {
            EXPECT_TRUE(error.description().contains(QStringLiteral("more than %1 rows").arg(limit))) << error.what();
        }
    }
    host::db::procedures::setRowLimit(f.connection, 24);
    EXPECT_EQ(summary().rows.size(), all);
}

TEST(ExplosionFixtures, DatabaseErrorsFailTheReport)
{
    Fixture f;
    // another connection holds the database exclusively past the busy timeout
    f.sql(QStringLiteral("PRAGMA busy_timeout = 50"));
    {
        data::Connection writer;
        writer.Open(host::db::connectionStringFor(f.path()));
        writer.executeNative(QStringLiteral("BEGIN EXCLUSIVE; UPDATE bom_opcomponent SET BaseQtyN = BaseQtyN WHERE OpComponentId = 1"));
        for (const char* key : {"BO02004", "BO02006", "BO02007"}) {
            ReportViewer viewer(QString::fromLatin1(key));
            EXPECT_THROW(viewer.run({}, 0, &f.connection), AutomationError) << key;
        }
        writer.executeNative(QStringLiteral("ROLLBACK"));
    }
    EXPECT_FALSE(f.run("BO02004", {}).rows.isEmpty());

    // a damaged page of the BOM lines, and of the packs the where-used reads them from
    const auto pages = f.connection.query(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name IN ('bom_opcomponent', 'bom_pack_use')"));
    ASSERT_EQ(pages.rows.size(), 2);
    f.connection.Close();
    QFile file(f.path());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    constexpr int pageSize = 4096;
    for (const auto& page : pages.rows) {
        file.seek(qint64(page.at(0).toInt() - 1) * pageSize);
        file.write(QByteArray(64, '\x7f'));
    }
    file.close();
    f.connection.Open(host::db::connectionStringFor(f.path()));
    for (const char* key : {"BO02004", "BO02006", "BO02007"}) {
        ReportViewer viewer(QString::fromLatin1(key));
        EXPECT_THROW(viewer.run({}, 0, &f.connection), AutomationError) << key;
    }
}

TEST(ExplosionFixtures, EveryFilterOfTheExplosionsSelectsRows)
{
    Fixture f;
    const int c = f.part("FX-C");
    // ten parts of one item, each with one free item set (Free2 … Free10), each with its own BOM
    for (int n = 2; n <= 10; ++n) {
        const int top = f.part("FX-T");
        f.sql(QStringLiteral("UPDATE bas_part SET Free%1 = 'v%1' WHERE PartId = %2").arg(n).arg(top));
        f.line(f.bom(top, 1, 1, "2020-01-01", "2099-12-31"), c, 10, n);
    }
    for (int n = 2; n <= 10; ++n) {
        const QString item = QStringLiteral("cFree%1").arg(n), v = QStringLiteral("v%1").arg(n);
        EXPECT_EQ(numbers(f.run("BO02004", {range("InvCode", "FX-T", "FX-T"), range(item, v, v)}), Q, {{C, "FX-C"}}), QList<double>{double(n)}) << n;
        EXPECT_EQ(numbers(f.run("BO02007", {range("InvCode", "FX-T", "FX-T"), range(item, v, v)}), D, {{C, "FX-C"}}), QList<double>{double(n)}) << n;
    }

    // version-date range: the version dated 2020 passes 2020-01-01 (its first day) and not from 2020-01-02 on
    EXPECT_EQ(f.run("BO02004", {range("InvCode", "FX-T", "FX-T"), range("Date", "2020-01-01", "2020-01-01")}).rows.size(), 9);
    EXPECT_TRUE(f.run("BO02004", {range("InvCode", "FX-T", "FX-T"), range("Date", "2020-01-02", "")}).rows.isEmpty());
    EXPECT_TRUE(f.run("BO02004", {range("InvCode", "FX-T", "FX-T"), range("Version", "2", "")}).rows.isEmpty());

    // where-used at a date and with the plan rate: a line of 2 from 2026-12-07 with a plan factor of 80 %
    const int user = f.part("FX-U"), leaf = f.part("FX-LEAF");
    f.sql(QStringLiteral("INSERT INTO bom_opcomponentopt (OptionsId, PlanFactor) VALUES (900100, 80)"));
    f.line(f.bom(user, 1, 1, "2020-01-01", "2099-12-31"), leaf, 10, 2, "2026-12-07", "2027-01-01");
    f.sql(QStringLiteral("UPDATE bom_opcomponent SET OptionsId = 900100 WHERE OpComponentId = (SELECT max(OpComponentId) FROM bom_opcomponent)"));
    const auto usedOn = [&](const char* date, const char* planRate) {
        return numbers(f.run("BO02006", {range("InvCode", "FX-LEAF", "FX-LEAF"), value("EffDate", date), value("PlanRateFlag", planRate)}), Q, {});
    };
    EXPECT_TRUE(usedOn("2026-12-06", "否").isEmpty());       // the day before the line's first day
    EXPECT_EQ(usedOn("2026-12-07", "否"), QList<double>{2});   // its first day
    EXPECT_EQ(usedOn("2026-12-31", "是"), QList<double>{1.6}); // 2 × 80 %
    EXPECT_TRUE(usedOn("2027-01-01", "否").isEmpty());       // its end date
}

TEST(ExplosionFixtures, ComparisonAttributesDecideSameOrDifferent)
{
    Fixture f;
    const int top = f.part("FX-T"), c = f.part("FX-C");
    f.sql(QStringLiteral("INSERT INTO bom_opcomponentopt (OptionsId, Offset, WIPType) VALUES (900200, 0, 3), (900201, 5, 3)"));
    const int v1 = f.bom(top, 1, 1, "2020-01-01", "2026-01-01");
    f.line(v1, c, 10, 1);
    f.sql(QStringLiteral("UPDATE bom_opcomponent SET OptionsId = 900200 WHERE BomId = %1").arg(v1));
    const int v2 = f.bom(top, 1, 2, "2026-01-01", "2099-12-31");
    f.line(v2, c, 10, 1);
    f.sql(QStringLiteral("UPDATE bom_opcomponent SET OptionsId = 900201 WHERE BomId = %1").arg(v2));
    const auto result = [&](const char* attributes) {
        const auto rows = f.run("BO02010", {value("InvCode", "FX-T"), value("Version1", "1"), value("Version2", "2"), value("SameYn", "是"),
                                            value("Sel", attributes)},
                                1);
        return rows.rows.isEmpty() ? QString() : rows.rows[0][rows.columnIndex(QStringLiteral("比较结果"))].toString();
    };
    EXPECT_EQ(result("供应类型"), QStringLiteral("相同"));       // same supply type, same quantity
    EXPECT_EQ(result("偏置期"), QStringLiteral("不同"));         // offset 0 against 5
    EXPECT_EQ(result("供应类型,偏置期"), QStringLiteral("不同"));
}

TEST(ExplosionFixtures, IndentedRowsStreamWithoutBeingKept)
{
    Fixture f;
    ladder(f, 10);
    struct Counter : data::RowConsumer {
        QStringList names;
        long long rows = 0;
        long long cycles = 0;
        void columns(const QStringList& n) override { names = n; }
        void row(const QVector<QVariant>& values) override
        {
            ++rows;
            cycles += values.last().toString() == QStringLiteral("循环");
        }
    };
    struct Case {
        const char* key;
        const char* item;
        const char* code;
    };
    for (const Case& c : {Case{"BO02004", "InvCode", "FX-L0"}, Case{"BO02007", "InvCode", "FX-L0"}, Case{"BO02006", "InvCode", "FX-L10"},
                          Case{"BO02003", "vp.InvCode", "FX-L0"}}) {
        const char* key = c.key;
        const QList<FilterSetting> settings{range(QString::fromLatin1(c.item), QString::fromLatin1(c.code), QString::fromLatin1(c.code))};
        const qsizetype materialised = f.run(key, settings).rows.size();
        Counter counter;
        ReportViewer viewer(QString::fromLatin1(key));
        const auto streamed = viewer.run(settings, 0, &f.connection, &counter);
        EXPECT_TRUE(streamed.rows.rows.isEmpty()) << key;
        EXPECT_EQ(counter.rows, materialised) << key;
        EXPECT_EQ(counter.names, streamed.rows.columns) << key;
    }
    // stage k lists 2^k rows of Ak and Bk and 2^k of Lk; the bottom's self-loop once per path to L10:
    // (4 + 8 + … + 2048) + 1024 = 4092 + 1024
    Counter counter;
    ReportViewer(QStringLiteral("BO02004")).run({range("InvCode", "FX-L0", "FX-L0")}, 0, &f.connection, &counter);
    EXPECT_EQ(counter.rows, 5116);
    EXPECT_EQ(counter.cycles, 1024);
}

TEST(ExplosionFixtures, TheLevelSummaryIsInTheReportsOrder)
{
    // Part ids in the opposite order of the codes, and two top parts of one code: the second one's rows
    // go between the first one's, level by level.
    Fixture f;
    const int z = f.part("FX-Z"), m = f.part("FX-M"), a = f.part("FX-A");
    const int t2 = f.part("FX-T2"), t1 = f.part("FX-T1"), t1b = f.part("FX-T1");
    int b = f.bom(t1, 1, 1, "2000-01-01", "2099-12-31");
    f.line(b, z, 10, 1);
    f.line(b, m, 20, 1);
    f.line(b, a, 30, 1);
    f.line(f.bom(m, 1, 1, "2000-01-01", "2099-12-31"), a, 10, 2);
    f.line(f.bom(t1b, 1, 1, "2000-01-01", "2099-12-31"), a, 10, 3);
    f.line(f.bom(t2, 1, 1, "2000-01-01", "2099-12-31"), a, 10, 4);

    const auto rs = f.run("BO02004", {range("InvCode", "FX-T1", "FX-T2"), value("QueryType", "阶列式")});
    QStringList order;
    for (const auto& row : rs.rows)
        order << row[rs.columnIndex(QStringLiteral("顶层母件"))].toString() + u'/' + row[rs.columnIndex(QStringLiteral("层级"))].toString() + u'/' +
                     row[rs.columnIndex(QStringLiteral("子件编码"))].toString() + u'=' + row[rs.columnIndex(QStringLiteral("累计用量"))].toString();
    EXPECT_EQ(order, (QStringList{"FX-T1/1/FX-A=1", "FX-T1/1/FX-A=3", "FX-T1/1/FX-M=1", "FX-T1/1/FX-Z=1", "FX-T1/2/FX-A=2", "FX-T2/1/FX-A=4"}));
}
