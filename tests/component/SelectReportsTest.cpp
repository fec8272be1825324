#include "support/FakeHost.h"

#include "platform/AutomationError.h"
#include "platform/LateBinding.h"
#include "reports/clsBO02003.h"

#include <gtest/gtest.h>

using namespace q7;
using namespace q7::component;
using fake::ReportRun;

namespace {

struct Item {
    const char* key;
    const char* v1;
    const char* v2 = "";
};

ReportRun& fill(ReportRun& run, const QList<Item>& items)
{
    for (const Item& item : items)
        run.filter->add(QString::fromLatin1(item.key), QString::fromUtf8(item.v1), QString::fromUtf8(item.v2));
    return run;
}

QString u(const char* text) { return QString::fromUtf8(text); }

} // namespace

TEST(DetailList, WhereClauseFromHandlerAndRewrittenViewerConditions)
{
    struct Case {
        QList<Item> items;
        const char* viewer; // what the viewer composes for token-0 items
        const char* where;
    };
    const QList<Case> cases = {
        {{{"b.BomType", "替代"}, {"Sel", "当前"}}, "", " WHERE 1=1 AND  ( b.BomType = 2) "},
        {{{"b.BomType", "全部"}, {"Sel", "当前和将来"}, {"b.Version", "", "5"}},
         "b.Version<=5",
         " WHERE 1=1 AND  ( 1 = 1)  AND c.EffEndDate > coalesce(b.VersionEffDate,c.EffBegDate) AND coalesce(b.Version,0)<=5"},
        {{{"b.BomType", "主要"}, {"Sel", "当前"}},
         "B.IDENTCODE>='A' and b.VersionEffDate<='2006-01-01' and cfree2='red'",
         " WHERE 1=1 AND  ( b.BomType = 1)  AND c.EffBegDate <= coalesce(b.VersionEffDate,c.EffEndDate) AND c.EffEndDate > "
         "coalesce(b.VersionEffDate,c.EffBegDate)  AND coalesce(b.IdentCode,'zzzzzzzzzzzzzzzzzzzz')>='A' and "
         "coalesce(b.VersionEffDate,'2000-01-01')<='2006-01-01' and bp.Free2='red'"},
        {{{"b.BomType", ""}, {"Sel", ""}}, "  ", " WHERE 1=1"},
    };
    for (const Case& c : cases) {
        ReportRun run(QStringLiteral("BO02003"));
        fill(run, c.items);
        run.filter->whereText = u(c.viewer);
        const auto parts = run.sql();
        EXPECT_EQ(parts.SqlWhere.toStdString(), u(c.where).toStdString());
        EXPECT_EQ(run.filter->makeSqlCalls, 1);
        EXPECT_EQ(run.filter->tokenArgs, QList<short>{0});
        for (const q7::Object& object : run.filter->list_->items) {
            auto* item = static_cast<fake::FilterItem*>(object.data());
            const bool own = item->name.toString() != QLatin1String("b.Version");
            EXPECT_EQ(item->LngGrouptoken, own ? 1 : 0) << item->name.toString().toStdString();
        }
        EXPECT_EQ(parts.List8.toList(), QVariantList{QStringLiteral("b.CreateUser")});
    }
}

TEST(DetailList, FlagsPersistBetweenRuns)
{
    ReportRun run(QStringLiteral("BO02003"));
    fill(run, {{"b.BomType", "替代"}, {"PlanRateFlag", "是"}});
    QString select = run.sql().SqlSelect;
    EXPECT_TRUE(select.contains(QStringLiteral(") AS 供应类型,case when c.FVFlag = 0 then c.BaseQtyN / c.BaseQtyD * (1 + c.CompScrap / 100) *  coalesce(o.PlanFactor,100) /100 when c.FVFlag = 1")));
    auto handler = objectCast<clsBO02003>(run.handler);
    EXPECT_TRUE(handler->planRate());
    EXPECT_TRUE(handler->substitute());

    // "Sel" before "b.BomType" sees the previous run's type; no PlanRateFlag keeps the formula.
    run.filter->list_->items.clear();
    fill(run, {{"Sel", "当前"}, {"b.BomType", "主要"}});
    const auto parts = run.sql();
    EXPECT_EQ(parts.SqlWhere, QStringLiteral(" WHERE 1=1 AND  ( b.BomType = 1) "));
    EXPECT_TRUE(parts.SqlSelect.contains(QStringLiteral("coalesce(o.PlanFactor,100) /100 end as 使用数量,")));
    EXPECT_FALSE(handler->substitute());
}

TEST(DetailList, StatementShape)
{
    ReportRun run(QStringLiteral("BO02003"));
    fill(run, {{"b.BomType", "主要"}, {"PlanRateFlag", "否"}});
    const auto parts = run.sql();
    EXPECT_TRUE(parts.SqlSelect.startsWith(QStringLiteral("SELECT vp.InvCode AS 母件编码, vp.InvAddCode AS 母件代号,")));
    EXPECT_TRUE(parts.SqlSelect.contains(QStringLiteral("convert(nvarchar(40),case vp.InvAttr  when 1 then '采购件' when 2 then '委外件' when 3 then '自制件' when 4 then '选项类' when 5 then 'PTO' when 6 then '' when 7 then '计划品' else '' end ) AS 母件物料属性")));
    EXPECT_TRUE(parts.SqlSelect.contains(QStringLiteral("case o.WIPType  when 2 then '工序倒冲' when 1 then '入库倒冲' when 3 then '领用' when 4 then '虚拟件' else '' end ) AS 供应类型")));
    EXPECT_TRUE(parts.SqlSelect.contains(QStringLiteral("(1 + c.CompScrap / 100) end as 使用数量,c.EffBegDate AS  生效日期")));
    EXPECT_TRUE(parts.SqlSelect.contains(QStringLiteral(" vc.Invdefine6 AS 子件cInvDefine6,\r\nvc.Invdefine7 AS")));
    EXPECT_TRUE(parts.SqlSelect.endsWith(QStringLiteral(" 子件cInvDefine15,vc.Invdefine16 AS 子件cInvDefine16")));
    EXPECT_TRUE(parts.SqlFrom.startsWith(QStringLiteral(" FROM bom_bom b INNER JOIN bom_parent p")));
    EXPECT_TRUE(parts.SqlFrom.endsWith(QStringLiteral("LEFT OUTER JOIN ecn_ecnapply as eh on ed.ApplyId = eh.ApplyId ")));
    EXPECT_TRUE(parts.SqlOrder.endsWith(QStringLiteral("vc.InvCode,bc.Free1,bc.Free2,bc.Free3 ")));
    EXPECT_EQ(run.reportInfoCalls(), QStringLiteral("SetReportKey BO02003"));
}

TEST(WhereUsedList, HandlerBuildsEveryCondition)
{
    struct Case {
        QList<Item> items;
        const char* where;
    };
    const QList<Case> cases = {
        {{{"b.BomType", "主要"}, {"EffDate", "2006-01-01"}, {"Sel", "当前"}},
         " WHERE b.BomType = 1  AND c.EffBegDate <=  '2006-01-01' AND c.EffEndDate > '2006-01-01'"},
        {{{"b.BomType", ""}, {"EffDate", "2006-01-01"}, {"Sel", "当前和将来"}}, " WHERE b.BomType = 1  AND c.EffEndDate > '2006-01-01'"},
        {{{"b.BomType", "替代"}, {"EffDate", ""}, {"Sel", "当前"}}, " WHERE b.BomType = 2 "},
        {{{"b.BomType", "全部"}, {"cFree2", "red", "blue"}, {"vc.InvCode", "", "C9"}},
         " WHERE 1 = 1  AND bc.Free2 >= 'red' AND bc.Free2<= 'blue' AND vc.InvCode <= 'C9'"},
        {{{"b.BomType", "主要"}, {"vc.InvCode", "O'Brien"}}, " WHERE b.BomType = 1  AND vc.InvCode >= 'O''Brien'"},
    };
    for (const Case& c : cases) {
        ReportRun run(QStringLiteral("BO02005"));
        fill(run, c.items);
        const auto parts = run.sql();
        EXPECT_EQ(parts.SqlWhere.toStdString(), u(c.where).toStdString());
        EXPECT_EQ(run.filter->makeSqlCalls, 0);
    }
}

TEST(WhereUsedList, PlanRateAndColumns)
{
    ReportRun run(QStringLiteral("BO02005"));
    fill(run, {{"b.BomType", "主要"}, {"PlanRateFlag", "是"}});
    const QString select = run.sql().SqlSelect;
    EXPECT_TRUE(select.contains(QStringLiteral(") AS 供应类型, 使用数量 = case when c.FVFlag = 0 then c.BaseQtyN / c.BaseQtyD * (1 + c.CompScrap / 100) *  coalesce(o.PlanFactor,100) /100 when c.FVFlag = 1 then c.BaseQtyN / c.BaseQtyD / (1 - p.ParentScrap / 100 ) * (1 + c.CompScrap / 100) * coalesce(o.PlanFactor,100) /100 end, c.EffBegDate AS 生效日期")));
    const QStringList calls = run.reportInfoCalls().split(u'\n');
    ASSERT_EQ(calls.size(), 27);
    EXPECT_EQ(calls[0], QStringLiteral("SetReportKey BO02005"));
    EXPECT_EQ(calls[1], QStringLiteral("SetColumnCount 25"));
    EXPECT_EQ(calls[2], QStringLiteral("SetColumn 0 子件编码 True"));
    EXPECT_EQ(calls[3], QStringLiteral("SetColumn 1 子件cFree1 True"));
    EXPECT_EQ(calls[13], QStringLiteral("SetColumn 11 母件编码 True"));
    EXPECT_EQ(calls[23], QStringLiteral("SetColumn 21 母件cFree10 True"));
    EXPECT_EQ(calls[26], QStringLiteral("SetColumn 24 子件行号 True"));
}

TEST(SubstituteList, BomConditionByType)
{
    struct Case {
        QList<Item> items;
        const char* where;
    };
    const QList<Item> ranges = {{"b.IdentCode", "A1", "A9"}, {"b.Version", "", ""}, {"b.VersionEffDate", "", ""}, {"Sel", "当前"}};
    auto with = [&](const char* type) { return QList<Item>{{"b.BomType", type}} + ranges; };
    const QList<Case> cases = {
        {with("主要"),
         "WHERE b.BomType = 1 AND b.Version >= 0 AND b.Version <= 99999999 AND b.VersionEffDate >= '2000-01-01' AND b.VersionEffDate <= "
         "'2099-12-31' AND c.EffBegDate <= coalesce(b.VersionEffDate,c.EffEndDate) AND c.EffEndDate > coalesce(b.VersionEffDate,c.EffBegDate) "},
        {with("替代"), "WHERE b.BomType = 2 AND b.IdentCode >= 'A1' AND b.IdentCode <= 'A9'"},
        {with("全部"),
         "WHERE  ( b.BomType = 2 AND b.IdentCode >= 'A1' AND b.IdentCode <= 'A9' OR b.BomType = 1  AND b.Version >= 0 AND b.Version <= "
         "99999999 AND b.VersionEffDate >= '2000-01-01' AND b.VersionEffDate <= '2099-12-31' ) AND c.EffBegDate <= "
         "coalesce(b.VersionEffDate,c.EffEndDate) AND c.EffEndDate > coalesce(b.VersionEffDate,c.EffBegDate) "},
        {{{"b.BomType", "主要"}, {"cFree3", "", "蓝"}, {"vp.InvCode", "P1", ""}}, "WHERE b.BomType = 1 AND bp.Free3<= '蓝' AND vp.InvCode >= 'P1'"},
    };
    for (const Case& c : cases) {
        ReportRun run(QStringLiteral("BO02009"));
        fill(run, c.items);
        const auto parts = run.sql();
        EXPECT_EQ(parts.SqlWhere.toStdString(), u(c.where).toStdString());
        EXPECT_TRUE(parts.SqlFrom.startsWith(QStringLiteral("FROM bom_bom b")));
        EXPECT_TRUE(parts.SqlOrder.endsWith(QStringLiteral("bc.Free3  ")));
        EXPECT_TRUE(parts.SqlSelect.endsWith(QStringLiteral("vs.Invdefine16 AS 替代件cInvDefine16")));
    }
}

TEST(SubstituteList, VersionBoundsMustBeNumbers)
{
    ReportRun run(QStringLiteral("BO02009"));
    fill(run, {{"b.BomType", "主要"}, {"b.Version", "1 or 1", ""}});
    EXPECT_TRUE(run.check());
    ASSERT_EQ(fake::messages()->messages.size(), 1);
    EXPECT_EQ(fake::messages()->messages[0].message.toInt(), 61301);
    EXPECT_THROW(run.sql(), AutomationError);
    EXPECT_FALSE(run.info->locate.isValid());
}

TEST(SharedBomList, WholeStatementSortedBySide)
{
    struct Case {
        const char* sel;
        const char* viewer;
        const char* tail;
    };
    const Case cases[] = {
        {"被公用物料", "", " WHERE 1 = 1  Order By p.InvCode,p.Free1,p.Free2,p.Free3,p.Free4,p.Free5,p.Free6,p.Free7,p.Free8,p.Free9,p.Free10,q.InvCode,q.Free1,q.Free2,q.Free3 "},
        {"公用物料", "p.InvCode>='A'", " WHERE 1 = 1  AND p.InvCode>='A' Order By q.InvCode,q.Free1,q.Free2,q.Free3,q.Free4,q.Free5,q.Free6,q.Free7,q.Free8,q.Free9,q.Free10,p.InvCode,p.Free1,p.Free2,p.Free3 "},
    };
    for (const Case& c : cases) {
        ReportRun run(QStringLiteral("BO02008"));
        fill(run, {{"p.InvCode", "A"}, {"Sel", c.sel}});
        run.filter->whereText = u(c.viewer);
        const auto parts = run.sql();
        EXPECT_FALSE(run.info->locate.isValid()); // the record is not used
        EXPECT_TRUE(run.querySql.startsWith(QStringLiteral(" SELECT distinct p.InvCode as 被公用物料编码")));
        EXPECT_TRUE(run.querySql.endsWith(u(c.tail))) << run.querySql.right(200).toStdString();
        EXPECT_EQ(run.filter->item("Sel").varValue.toString(), QString(""));
        EXPECT_EQ(run.filter->item("Sel").LngGrouptoken, 1);
        EXPECT_EQ(run.filter->item("p.InvCode").LngGrouptoken, 0);
        run.setFilterList(); // the default comes back
        EXPECT_EQ(run.filter->item("Sel").varValue.toString(), u("被公用物料"));
    }
}

TEST(SelectReports, Checks)
{
    struct Case {
        const char* report;
        QList<Item> items;
        int message;
        bool beep;
    };
    const QList<Case> cases = {
        {"BO02003", {{"b.Version", "123456789"}}, 20449, true},
        {"BO02003", {{"b.BomType", "其他"}, {"Sel", "x"}}, 20453, false},
        {"BO02005", {{"b.Version", "123456789"}, {"Sel", "x"}}, 20453, true},
        {"BO02005", {{"PlanRateFlag", " 是 "}, {"Sel", "当前和将来"}, {"b.BomType", "全部"}}, 0, false},
        {"BO02008", {{"Sel", "其他"}}, 20453, true},
        {"BO02008", {{"Sel", " 公用物料 "}}, 0, false},
        {"BO02009", {{"b.BomType", "替代"}, {"Sel", "当前"}, {"b.Version", "", "123456789"}}, 20449, true},
    };
    for (const Case& c : cases) {
        ReportRun run(QString::fromLatin1(c.report));
        fill(run, c.items);
        EXPECT_EQ(run.check(), c.message != 0) << c.report;
        if (c.message) {
            ASSERT_EQ(fake::messages()->messages.size(), 1);
            EXPECT_EQ(fake::messages()->messages[0].message.toInt(), c.message) << c.report;
            EXPECT_EQ(fake::beeps(), c.beep ? 1 : 0) << c.report;
        }
    }
}
