#include "support/FakeHost.h"

#include "host/db/AccountDatabase.h"
#include "host/report/ReportViewer.h"
#include "platform/AutomationError.h"
#include "platform/system/SystemSettings.h"
#include "platform/values/Values.h"
#include "platform/data/Ado.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace q7;
using host::report::FilterSetting;
using host::report::ReportViewer;

namespace {

// Runs reports on one demo account; the clock is fixed at 2026-12-07.
class Reports : public testing::Test {
protected:
    void SetUp() override { connection.Open(host::db::connectionStringFor(fake::demoAccountPath())); }

    host::report::ReportOutcome run(const QString& key, const QList<FilterSetting>& settings, int angle = 0)
    {
        ReportViewer viewer(key);
        return viewer.run(settings, angle, &connection);
    }

    // The value of a column in the rows where the other columns have the given values.
    static QList<double> numbers(const data::ResultSet& rs, const QString& column, const QMap<QString, QString>& where)
    {
        QList<double> found;
        const int c = rs.columnIndex(column);
        for (const auto& row : rs.rows) {
            bool match = true;
            for (auto it = where.begin(); it != where.end() && match; ++it)
                match = row[rs.columnIndex(it.key())].toString() == it.value();
            if (match)
                found.append(row[c].toDouble());
        }
        return found;
    }

    data::Connection connection;
};

FilterSetting range(const char* name, const char* low, const char* high) { return {QString::fromUtf8(name), QString::fromUtf8(low), QString::fromUtf8(high)}; }
FilterSetting value(const char* name, const char* v) { return {QString::fromUtf8(name), QString::fromUtf8(v), std::nullopt}; }

constexpr double eps = 1e-9;

// A demo account of its own, for a test that changes the data.
void openScratchDemo(const QTemporaryDir& dir, data::Connection& connection)
{
    const QString path = dir.filePath(QStringLiteral("demo.db"));
    host::db::createDemoAccount(path);
    connection.Open(host::db::connectionStringFor(path));
}

} // namespace

TEST_F(Reports, ExplosionQuantitiesWorkedByHand)
{
    const auto out = run(QStringLiteral("BO02004"), {range("InvCode", "BK-100", "BK-100"), range("cFree1", "红", "红"), range("Version", "2", "2")});
    ASSERT_FALSE(out.refused) << out.message.toStdString();
    const auto& rs = out.rows;
    // frame: variable line, 1 per bicycle, parent scrap 2%: 1 / 0.98
    EXPECT_NEAR(numbers(rs, "累计用量", {{"子件编码", "FR-200"}}).value(0), 1 / 0.98, eps);
    // tube: 3 × 1.02 / 0.99 per welded frame, times the frame's 1 / 0.98
    EXPECT_NEAR(numbers(rs, "累计用量", {{"子件编码", "TB-300"}}).value(0), 3 * 1.02 / 0.99 / 0.98, eps);
    // steel: 6/5 per tube, five levels down
    EXPECT_NEAR(numbers(rs, "累计用量", {{"子件编码", "ST-400"}, {"层级", "4"}}).value(0), 1.2 * 3 * 1.02 / 0.99 / 0.98, eps);
    // bolts: fixed line, 4 × 1.05, parent scrap does not enter
    EXPECT_NEAR(numbers(rs, "累计用量", {{"子件编码", "BL-200"}}).value(0), 4.2, eps);
    // paint on the bicycle: 1/2 × 1.10 / 0.98; on the frame: 3/10 × 1.05 × (1 / 0.98)
    EXPECT_NEAR(numbers(rs, "累计用量", {{"子件编码", "PT-220"}, {"层级", "1"}}).value(0), 0.5 * 1.1 / 0.98, eps);
    EXPECT_NEAR(numbers(rs, "累计用量", {{"子件编码", "PT-220"}, {"层级", "2"}}).value(0), 0.3 * 1.05 / 0.98, eps);
    // effectivity on 2026-12-07: the old handlebar ended 2025-07-01, the lock bolts start 2027
    EXPECT_TRUE(numbers(rs, "累计用量", {{"子件编码", "HB-210"}}).isEmpty());
    EXPECT_EQ(numbers(rs, "累计用量", {{"子件编码", "HB-220"}}).size(), 1);
    EXPECT_TRUE(numbers(rs, "累计用量", {{"子件编码", "BL-210"}}).isEmpty());
    // the swarf is a by-product: listed, marked, not exploded
    ASSERT_EQ(numbers(rs, "累计用量", {{"子件编码", "CH-900"}, {"说明", "产出品"}}).size(), 1);
}

TEST_F(Reports, PlanRateEffectivityAndLevelSummary)
{
    const QList<FilterSetting> bike{range("InvCode", "BK-100", "BK-100"), range("cFree1", "红", "红"), range("Version", "2", "2")};
    auto planned = run(QStringLiteral("BO02004"), bike + QList<FilterSetting>{value("PlanRateFlag", "是")});
    // paint with plan factor 80%; wheels with 100%; lines without a factor count as 100
    EXPECT_NEAR(numbers(planned.rows, "累计用量", {{"子件编码", "PT-220"}, {"层级", "1"}}).value(0), 0.5 * 1.1 / 0.98 * 0.8, eps);
    EXPECT_NEAR(numbers(planned.rows, "累计用量", {{"子件编码", "SP-320"}}).value(0), 2 / 0.98 * 36 * 1.03 * 0.9, eps);

    auto early = run(QStringLiteral("BO02004"), bike + QList<FilterSetting>{value("EffDate", "2025-3-1")}); // normalised by the viewer
    EXPECT_EQ(numbers(early.rows, "累计用量", {{"子件编码", "HB-210"}}).size(), 1);
    EXPECT_TRUE(numbers(early.rows, "累计用量", {{"子件编码", "HB-220"}}).isEmpty());

    auto summary = run(QStringLiteral("BO02004"), {range("InvCode", "PL-100", "PL-100"), value("QueryType", "阶列式"), value("PlanRateFlag", "是")});
    // 60% white and 40% black fans; the capacitors of both: 4 each
    EXPECT_NEAR(numbers(summary.rows, "累计用量", {{"子件编码", "FN-100"}, {"子件自由项1", "白"}}).value(0), 0.6, eps);
    EXPECT_NEAR(numbers(summary.rows, "累计用量", {{"子件编码", "FN-100"}, {"子件自由项1", "黑"}}).value(0), 0.4, eps);
    EXPECT_NEAR(numbers(summary.rows, "累计用量", {{"子件编码", "CP-400"}, {"层级", "3"}}).value(0), 4.0, eps);
}

TEST_F(Reports, SharedAndSubstituteBoms)
{
    // the export bicycle uses the red bicycle's 2025 BOM, with its own parent scrap of 2%
    auto shared = run(QStringLiteral("BO02004"), {range("InvCode", "BK-120", "BK-120")});
    EXPECT_NEAR(numbers(shared.rows, "累计用量", {{"子件编码", "FR-200"}}).value(0), 1 / 0.98, eps);

    // 2 bicycles on the substitute BOM S1 (no parent scrap): 2 × 2 wheels × 36 × 1.03 spokes
    auto substitute = run(QStringLiteral("BO02007"), {range("InvCode", "BK-100", "BK-100"), value("BomType", "替代"), value("Qty", "2")});
    ASSERT_FALSE(substitute.refused) << substitute.message.toStdString();
    EXPECT_NEAR(numbers(substitute.rows, "需求数量", {{"子件编码", "SP-320"}}).value(0), 2 * 2 * 36 * 1.03, eps);
    EXPECT_EQ(numbers(substitute.rows, "需求数量", {{"子件编码", "PT-220"}, {"层级", "1"}}).size(), 0); // S1 paints only the frame

    auto shares = run(QStringLiteral("BO02008"), {value("Sel", "公用物料")});
    ASSERT_EQ(shares.rows.rows.size(), 2);
    EXPECT_EQ(shares.rows.rows[0][shares.rows.columnIndex("公用物料编码")].toString(), QStringLiteral("BK-120"));
}

TEST_F(Reports, WhereUsedUpwardWithCumulativeQuantity)
{
    auto out = run(QStringLiteral("BO02006"), {range("InvCode", "ST-400", "ST-400")});
    const double perFrame = 1.2 * 3 * 1.02 / 0.99;
    EXPECT_NEAR(numbers(out.rows, "累计用量", {{"母件编码", "FR-200"}}).value(0), perFrame, eps);
    EXPECT_NEAR(numbers(out.rows, "累计用量", {{"母件编码", "BK-120"}}).value(0), perFrame / 0.98, eps);
    EXPECT_NEAR(numbers(out.rows, "累计用量", {{"母件编码", "BK-100"}, {"母件自由项1", "蓝"}}).value(0), perFrame, eps);

    auto single = run(QStringLiteral("BO02005"), {range("vc.InvCode", "BL-200", "BL-200"), value("EffDate", "2026-12-07")});
    EXPECT_EQ(single.rows.rows.size(), 2); // the red bicycle and the export bicycle sharing its BOM
    EXPECT_NEAR(numbers(single.rows, "使用数量", {{"母件编码", "BK-100"}}).value(0), 4.2, eps);
}

TEST_F(Reports, DetailSubstituteAndComparisonLists)
{
    auto detail = run(QStringLiteral("BO02003"), {range("vp.InvCode", "BK-100", "BK-100"), range("b.Version", "2", "2"), range("cFree1", "红", "红")});
    ASSERT_FALSE(detail.refused) << detail.message.toStdString();
    EXPECT_EQ(detail.rows.rows.size(), 5); // current lines of the 2025 BOM: frame, wheels, new handlebar, bolts, paint
    EXPECT_NEAR(numbers(detail.rows, "使用数量", {{"子件编码", "PT-220"}}).value(0), 0.5 * 1.1 / 0.98, eps);

    auto all = run(QStringLiteral("BO02003"), {value("b.BomType", "全部"), value("Sel", "当前和将来"), range("vp.InvCode", "BK-100", "BK-100")});
    EXPECT_EQ(numbers(all.rows, "使用数量", {{"子件编码", "BL-210"}}).size(), 1); // starts in 2027: current and future

    auto subs = run(QStringLiteral("BO02009"), {});
    ASSERT_EQ(subs.rows.rows.size(), 2);
    EXPECT_EQ(subs.rows.rows[0][subs.rows.columnIndex("替代件编码")].toString(), QStringLiteral("SP-321"));

    auto compare = run(QStringLiteral("BO02010"),
                       {value("InvCode", "BK-100"), value("Version1", "1"), value("Version2", "2"), value("cFree1", "红"), value("SameYn", "否")}, 1);
    ASSERT_FALSE(compare.refused) << compare.message.toStdString();
    QStringList results;
    for (const auto& row : compare.rows.rows)
        results.append(row[0].toString() + u':' + row[compare.rows.columnIndex("比较结果")].toString());
    EXPECT_EQ(results, (QStringList{"HB-220:仅B", "BL-200:仅B", "BL-210:仅B", "PT-220:仅B"})); // HB-210 is in both
    EXPECT_EQ(compare.rows.rows.size(), 4);
}

TEST_F(Reports, RefusalsAndErrors)
{
    auto refused = run(QStringLiteral("BO02004"), {value("EffDate", "")});
    EXPECT_TRUE(refused.refused);
    EXPECT_EQ(refused.message, QStringLiteral("[ 有效日期 ] 必须输入！"));
    EXPECT_TRUE(run(QStringLiteral("BO02003"), {range("b.Version", "1 or 1=1", "")}).refused);
    EXPECT_TRUE(run(QStringLiteral("BO02004"), {value("EffDate", "2026-13-45")}).refused);
    EXPECT_THROW(run(QStringLiteral("BO02004"), {value("Nope", "1")}), AutomationError);
    EXPECT_THROW(ReportViewer(QStringLiteral("BO02099")), AutomationError);
    EXPECT_THROW(run(QStringLiteral("BO02010"), {value("InvCode", "BK-100")}, 4), AutomationError);
    // a value with quotes is only ever a value
    auto quoted = run(QStringLiteral("BO02004"), {range("InvCode", "x' or '1'='1", "")});
    EXPECT_FALSE(quoted.refused);
    EXPECT_TRUE(quoted.statement.contains(QStringLiteral("'x'' or ''1''=''1'"))) << quoted.statement.toStdString();
    EXPECT_TRUE(quoted.rows.rows.isEmpty()); // no code sorts after it: the condition was not widened
    // reversed bounds, an angle for a report without angles, a value outside a drop-down's entries
    EXPECT_TRUE(run(QStringLiteral("BO02004"), {range("InvCode", "Z", "A")}).refused);
    EXPECT_TRUE(run(QStringLiteral("BO02004"), {range("Version", "10", "9")}).refused);
    EXPECT_FALSE(run(QStringLiteral("BO02004"), {range("Version", "9", "10")}).refused); // numbers by value, not as texts
    EXPECT_THROW(run(QStringLiteral("BO02004"), {}, 2), AutomationError);
    const QList<FilterSetting> comparison{value("InvCode", "BK-100"), value("Version1", "1"), value("Version2", "2")};
    EXPECT_TRUE(run(QStringLiteral("BO02010"), comparison + QList<FilterSetting>{value("SameYn", "maybe")}, 1).refused);
    EXPECT_TRUE(run(QStringLiteral("BO02010"), comparison + QList<FilterSetting>{value("Sel", "偏置期,颜色")}, 1).refused);
    EXPECT_FALSE(run(QStringLiteral("BO02010"), comparison + QList<FilterSetting>{value("SameYn", "是")}, 1).refused);
    // a number check on unquoted values, with the handler's message
    for (const char* bad : {"+2", "   ", "1e3"}) {
        const auto out = run(QStringLiteral("BO02003"), {range("b.Version", bad, "")});
        EXPECT_TRUE(out.refused) << bad;
        EXPECT_TRUE(out.message.contains(QStringLiteral("版本"))) << out.message.toStdString();
    }
    // the detail list's rewrites of its conditions leave the user's values alone
    const auto literal = run(QStringLiteral("BO02003"), {range("vp.InvCode", "cFree1 b.IdentCode>='x", ""), range("cFree1", "O'cFree", "")});
    ASSERT_FALSE(literal.refused) << literal.message.toStdString();
    EXPECT_TRUE(literal.statement.contains(QStringLiteral("'cFree1 b.IdentCode>=''x'"))) << literal.statement.toStdString();
    EXPECT_TRUE(literal.statement.contains(QStringLiteral("bp.Free1>='O''cFree'"))) << literal.statement.toStdString();
    for (const char* bad : {"9223372036854775808", "0", "-1", "  "})
        EXPECT_TRUE(run(QStringLiteral("BO02007"), {value("Qty", bad)}).refused) << bad;
}

TEST_F(Reports, EveryStatementOfTheShippedDefinitionsRuns)
{
    int statements = 0;
    for (const QString& key : host::report::reportKeys()) {
        const auto& def = host::report::definition(key);
        const int angles = key == QLatin1String("BO02010") ? 3 : 0;
        QList<QList<FilterSetting>> variants{{}};
        for (const auto& item : def.items) {
            const QByteArray name = item.name.toUtf8();
            for (const QString& entry : item.list)
                variants.append({{item.name, entry, std::nullopt}});
            if (item.type == host::report::ItemDefinition::Type::Multi)
                variants.append({{item.name, item.list.join(u','), std::nullopt}});
            const char* sample = item.type == host::report::ItemDefinition::Type::Number ? "1"
                : item.type == host::report::ItemDefinition::Type::Date                ? "2025-01-01"
                                                                                        : "A'B";
            if (item.type == host::report::ItemDefinition::Type::List || item.type == host::report::ItemDefinition::Type::Multi)
                continue;
            if (item.range) {
                variants.append({range(name.constData(), sample, "")});
                variants.append({range(name.constData(), "", sample)});
                variants.append({range(name.constData(), sample, sample)});
            } else {
                variants.append({value(name.constData(), sample)});
            }
        }
        for (int angle = angles ? 1 : 0; angle <= angles; ++angle)
            for (QList<FilterSetting> settings : variants) {
                if (key == QLatin1String("BO02010")) // the comparison needs its item and the angle's BOMs
                    settings = QList<FilterSetting>{value("InvCode", "BK-100"), value("Version1", "1"), value("Version2", "2"),
                                                    value("Identcode1", "S1"), value("Identcode2", "S1")} + settings;
                ReportViewer viewer(key);
                const auto out = viewer.run(settings, angle, &connection);
                EXPECT_FALSE(out.refused) << key.toStdString() << ": " << out.message.toStdString();
                ++statements;
                // a value other than the default must reach the statement: an ignored filter is noticed here
                // items that count only together with another one: a substitute identifier only for substitute
                // BOMs, the where-used validity only with an effective date, BO02010's preset items
                const QStringList conditional{QStringLiteral("BO02009/b.IdentCode"), QStringLiteral("BO02005/Sel"), QStringLiteral("BO02010/Version1"),
                                              QStringLiteral("BO02010/Version2"), QStringLiteral("BO02010/Identcode1"), QStringLiteral("BO02010/Identcode2"),
                                              QStringLiteral("BO02010/InvCode")};
                const bool checked = !settings.isEmpty() && !conditional.contains(key + u'/' + settings.last().name);
                if (checked && (settings.size() == 1 || (key == QLatin1String("BO02010") && settings.size() == 6))) {
                    const FilterSetting& changed = settings.last();
                    ReportViewer fresh(key);
                    const auto* item = fresh.filter().item(changed.name);
                    const bool isDefault = item && values::textEquals(values::toTextOrEmpty(item->varValue), changed.low) && !changed.high;
                    const QString baseline = ReportViewer(key).run(settings.mid(0, settings.size() - 1), angle, nullptr).statement;
                    if (!isDefault) {
                        EXPECT_NE(out.statement, baseline) << key.toStdString() << " ignores " << changed.name.toStdString();
                    }
                }
            }
    }
    EXPECT_GT(statements, 150);
}

TEST(ReportCycles, EveryExplosionFinishesWithTheCycleMarked)
{
    QTemporaryDir dir;
    data::Connection connection;
    openScratchDemo(dir, connection);
    // the tube's BOM now needs a frame assembly: FR-200 → FR-210 → TB-300 → FR-200
    connection.executeNative(QStringLiteral("INSERT INTO bom_opcomponent (OpComponentId, BomId, ComponentId, SortSeq, BaseQtyN, BaseQtyD) "
                                            "VALUES (99, 7, 4, 30, 1, 1)"));
    const auto marked = [](const data::ResultSet& rs) {
        const int note = rs.columnIndex(QStringLiteral("说明"));
        for (const auto& row : rs.rows)
            if (row[note].toString() == QStringLiteral("循环"))
                return true;
        return false;
    };
    struct Case {
        const char* report;
        QList<FilterSetting> settings;
    };
    const QList<Case> cases{
        {"BO02004", {range("InvCode", "BK-100", "BK-100")}},
        {"BO02004", {range("InvCode", "BK-100", "BK-100"), value("QueryType", "阶列式")}},
        {"BO02006", {range("InvCode", "TB-300", "TB-300")}},
        {"BO02007", {range("InvCode", "FR-200", "FR-200")}},
    };
    for (const Case& c : cases) {
        ReportViewer viewer(QString::fromLatin1(c.report));
        const auto out = viewer.run(c.settings, 0, &connection);
        EXPECT_TRUE(marked(out.rows)) << c.report;
    }
}

TEST_F(Reports, LevelSummaryEqualsTheSumOfTheIndentedRows)
{
    const auto indented = run(QStringLiteral("BO02004"), {value("PlanRateFlag", "是")}).rows;
    const auto summary = run(QStringLiteral("BO02004"), {value("PlanRateFlag", "是"), value("QueryType", "阶列式")}).rows;
    QMap<QString, double> expected, actual;
    const auto key = [](const data::ResultSet& rs, const QVector<QVariant>& row) {
        QStringList parts;
        for (const char* column : {"顶层母件", "顶层自由项1", "层级", "子件编码", "子件自由项1"})
            parts.append(row[rs.columnIndex(QString::fromUtf8(column))].toString());
        return parts.join(u'|');
    };
    for (const auto& row : indented.rows)
        expected[key(indented, row)] += row[indented.columnIndex(QStringLiteral("累计用量"))].toDouble();
    for (const auto& row : summary.rows)
        actual[key(summary, row)] += row[summary.columnIndex(QStringLiteral("累计用量"))].toDouble();
    ASSERT_EQ(actual.keys(), expected.keys());
    for (auto it = expected.begin(); it != expected.end(); ++it)
        EXPECT_NEAR(actual.value(it.key()), it.value(), eps) << it.key().toStdString();
}

TEST(ReportCache, AChangedBomIsReadAgain)
{
    QTemporaryDir dir;
    data::Connection connection;
    openScratchDemo(dir, connection);
    const auto steel = [&] {
        ReportViewer viewer(QStringLiteral("BO02004"));
        const auto rs = viewer.run({range("InvCode", "TB-300", "TB-300")}, 0, &connection).rows;
        return rs.rows.first()[rs.columnIndex(QStringLiteral("累计用量"))].toDouble();
    };
    EXPECT_NEAR(steel(), 1.2, eps);
    connection.executeNative(QStringLiteral("UPDATE bom_opcomponent SET BaseQtyN = 7 WHERE OpComponentId = 20"));
    EXPECT_NEAR(steel(), 1.4, eps); // 7/5, not the cached 6/5
}

TEST_F(Reports, QuantityExplosionByVersionAndIdentifier)
{
    // version 1 of the red bicycle at 2024-06-01: its 2020 lines, no parent scrap
    auto v1 = run(QStringLiteral("BO02007"), {range("InvCode", "BK-100", "BK-100"), range("cFree1", "红", "红"), range("Version", "1", "1"),
                                              value("EffDate", "2024-06-01"), value("Qty", "3")});
    EXPECT_NEAR(numbers(v1.rows, "需求数量", {{"子件编码", "FR-200"}}).value(0), 3.0, eps);
    EXPECT_EQ(numbers(v1.rows, "需求数量", {{"子件编码", "HB-210"}}).size(), 1);
    EXPECT_TRUE(numbers(v1.rows, "需求数量", {{"子件编码", "BL-200"}}).isEmpty()); // a 2025 line

    auto none = run(QStringLiteral("BO02007"), {range("InvCode", "BK-100", "BK-100"), value("BomType", "替代"), range("IdentCode", "S2", "S9")});
    EXPECT_TRUE(none.rows.rows.isEmpty());
    auto all = run(QStringLiteral("BO02007"), {range("InvCode", "BK-100", "BK-100"), range("cFree1", "红", "红"), value("BomType", "全部")});
    // all three top BOMs are chosen; the 2020 lines ended in 2025, so the wheels come from 2025 and S1
    EXPECT_EQ(numbers(all.rows, "需求数量", {{"子件编码", "WH-200"}, {"层级", "1"}}).size(), 2);
}

TEST_F(Reports, ComparisonAngles)
{
    const QList<FilterSetting> bike{value("InvCode", "BK-100"), value("cFree1", "红")};
    auto same = run(QStringLiteral("BO02010"), bike + QList<FilterSetting>{value("Identcode1", "S1"), value("Identcode2", "S1"), value("SameYn", "是")}, 3);
    ASSERT_EQ(same.rows.rows.size(), 3);
    for (const auto& row : same.rows.rows)
        EXPECT_EQ(row[same.rows.columnIndex(QStringLiteral("比较结果"))].toString(), QStringLiteral("相同"));
    auto hidden = run(QStringLiteral("BO02010"), bike + QList<FilterSetting>{value("Identcode1", "S1"), value("Identcode2", "S1")}, 3);
    EXPECT_TRUE(hidden.rows.rows.isEmpty());
    auto missing = run(QStringLiteral("BO02010"), bike + QList<FilterSetting>{value("Version1", "7"), value("Identcode2", "S1")}, 2);
    EXPECT_EQ(missing.rows.rows.size(), 3); // no version 7: every line of S1 is only in B
}

TEST_F(Reports, TheViewerNormalisesDatesToTheDatabasesForm)
{
    system::setShortDateFormat(QStringLiteral("yyyy/mm/dd"));
    ReportViewer viewer(QStringLiteral("BO02006"));
    system::setShortDateFormat(QStringLiteral("yyyy-mm-dd"));
    EXPECT_EQ(viewer.filter().item(QStringLiteral("EffDate"))->varValue.toString(), QStringLiteral("2026-12-07"));
    const auto out = viewer.run({value("EffDate", "2025/3/1")}, 0, nullptr);
    EXPECT_TRUE(out.statement.contains(QStringLiteral("'2025-03-01'"))) << out.statement.toStdString();
}

TEST(ReportVersions, TheHighestValidMainVersionIsExploded)
{
    QTemporaryDir dir;
    data::Connection connection;
    openScratchDemo(dir, connection);
    // a second frame BOM, valid now, with two welded frames instead of one
    connection.executeNative(QStringLiteral(
        "INSERT INTO bom_bom (BomId, BomType, Version, VersionEffDate, VersionEndDate) VALUES (50, 1, 2, '2026-01-01', '2099-12-31');"
        "INSERT INTO bom_parent (BomId, ParentId, ParentScrap) VALUES (50, 4, 0);"
        "INSERT INTO bom_opcomponent (OpComponentId, BomId, ComponentId, SortSeq, BaseQtyN, BaseQtyD) VALUES (90, 50, 5, 10, 2, 1);"));
    ReportViewer viewer(QStringLiteral("BO02004"));
    const auto rs = viewer.run({range("InvCode", "BK-100", "BK-100"), range("cFree1", "蓝", "蓝")}, 0, &connection).rows;
    int weldedFrames = 0;
    for (const auto& row : rs.rows)
        if (row[rs.columnIndex(QStringLiteral("子件编码"))].toString() == QStringLiteral("FR-210")) {
            ++weldedFrames;
            EXPECT_NEAR(row[rs.columnIndex(QStringLiteral("使用数量"))].toDouble(), 2.0, eps);
        }
    EXPECT_EQ(weldedFrames, 1); // version 1's line is not exploded beside it
}
