#include "support/FakeHost.h"

#include "host/report/ReportViewer.h"
#include "host/report/ViewerObjects.h"
#include "platform/AutomationError.h"

#include <gtest/gtest.h>

using namespace q7::host::report;

namespace {

ItemDefinition item(const char* name, ItemDefinition::Type type, bool range)
{
    ItemDefinition d;
    d.name = QString::fromLatin1(name);
    d.caption = d.name + QStringLiteral("标题");
    d.type = type;
    d.range = range;
    return d;
}

} // namespace

TEST(ViewerFilter, ComposesConditionsOfTokenZeroItems)
{
    using T = ItemDefinition::Type;
    ReportDefinition def{QStringLiteral("TEST"), QString(),
                         {item("vp.InvCode", T::Text, true), item("b.Version", T::Number, true), item("p.InvCode", T::Text, false),
                          item("b.VersionEffDate", T::Date, true), item("Sel", T::Multi, false), item("Own", T::Text, false)}};
    struct Case {
        QList<std::pair<const char*, std::pair<const char*, const char*>>> values;
        const char* token0;
    };
    const QList<Case> cases = {
        {{{"vp.InvCode", {"A", "B"}}}, "vp.InvCode>='A' and vp.InvCode<='B'"},
        {{{"vp.InvCode", {"", "O'B"}}}, "vp.InvCode<='O''B'"},
        {{{"b.Version", {"1", " 5 "}}, {"p.InvCode", {"X", ""}}}, "b.Version>=1 and b.Version<=5 and p.InvCode='X'"},
        {{{"b.VersionEffDate", {"2025-01-01", ""}}, {"Sel", {"偏置期", ""}}}, "b.VersionEffDate>='2025-01-01'"},
        {{{"vp.InvCode", {"  ", ""}}}, ""},
        {{{"Own", {"handled", ""}}}, ""}, // marked 1 by its handler
    };
    for (const Case& c : cases) {
        ViewerFilter filter(def);
        filter.item(QStringLiteral("Own"))->LngGrouptoken = 1;
        for (const auto& [name, bounds] : c.values) {
            filter.item(QString::fromLatin1(name))->varValue = QString::fromUtf8(bounds.first);
            filter.item(QString::fromLatin1(name))->varValue2 = QString::fromUtf8(bounds.second);
        }
        filter.MakeSQLString();
        EXPECT_EQ(filter.GetWhereWithToken(0).toStdString(), std::string(c.token0));
    }

    ViewerFilter refused(def);
    refused.item(QStringLiteral("b.Version"))->varValue = QStringLiteral("1 or 1=1");
    try {
        refused.MakeSQLString();
        ADD_FAILURE() << "a non-number was composed into the condition";
    } catch (const ViewerRefusal& refusal) {
        EXPECT_EQ(refusal.message, QStringLiteral("[ b.Version标题 ] 必须输入数字！"));
    }
}

TEST(ViewerFilter, StatementJoinsTheNonEmptyTextFields)
{
    q7::ReportSqlParts parts;
    parts.SqlSelect = QStringLiteral("SELECT a AS x");
    parts.SqlFrom = QStringLiteral("FROM t");
    parts.SqlWhere = QStringLiteral("WHERE 1=1");
    EXPECT_EQ(joinStatement(parts), QStringLiteral("SELECT a AS x FROM t WHERE 1=1"));
    parts.SqlFrom.clear();
    parts.Text9 = QStringLiteral("-- end");
    EXPECT_EQ(joinStatement(parts), QStringLiteral("SELECT a AS x WHERE 1=1 -- end"));
}

TEST(ReportViewerSetup, AnglesAndItemShapes)
{
    EXPECT_TRUE(ReportViewer(QStringLiteral("BO02004")).angles().isEmpty());
    EXPECT_EQ(ReportViewer(QStringLiteral("bo02010")).angles(), (QStringList{"不同版本", "主要和替代", "替代和替代"}));
    ReportViewer viewer(QStringLiteral("BO02010"));
    // InvCode of the comparison is a single value, not a range
    EXPECT_THROW(viewer.run({{QStringLiteral("InvCode"), QStringLiteral("A"), QStringLiteral("B")}}, 1, nullptr), q7::AutomationError);
    // captions come from the component's string table where the definition names a number
    EXPECT_EQ(ReportViewer(QStringLiteral("BO02004")).filter().item(QStringLiteral("EffDate"))->strCaption.toString(), QStringLiteral("有效日期"));
}
