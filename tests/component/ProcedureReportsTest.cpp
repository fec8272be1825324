#include "support/FakeHost.h"

#include "platform/AutomationError.h"
#include "platform/LateBinding.h"
#include "platform/system/SystemSettings.h"
#include "platform/values/Values.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace q7;
using fake::ReportRun;

namespace {

struct Shown {
    int number;
    QString argument;
};

QList<Shown> shownMessages()
{
    QList<Shown> list;
    for (const auto& m : fake::messages()->messages)
        list.append({m.message.toInt(), m.arguments.value(0).toString()});
    return list;
}

struct Item {
    const char* key;
    const char* v1;
    const char* v2;
};

// Sets the angle (when given) and adds the items, captions as "<key><suffix>".
void prepare(ReportRun& run, short angle, const QList<Item>& items, const QString& captionSuffix = QString())
{
    if (angle)
        letProperty(run.handler, QStringLiteral("CurrentType"), angle);
    for (const Item& item : items)
        run.filter->add(QString::fromLatin1(item.key), QString::fromUtf8(item.v1), QString::fromUtf8(item.v2),
                        captionSuffix.isEmpty() ? QString() : QString::fromLatin1(item.key) + captionSuffix);
}

// The statement with every quoted literal removed; what is left must be the
// statement's own words, numbers and punctuation.
QString outsideLiterals(const QString& sql)
{
    QString rest;
    bool inside = false;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        if (sql[i] == u'\'') {
            if (inside && i + 1 < sql.size() && sql[i + 1] == u'\'') {
                ++i;
                continue;
            }
            inside = !inside;
            rest += u'#';
            continue;
        }
        if (!inside)
            rest += sql[i];
    }
    EXPECT_FALSE(inside) << sql.toStdString();
    return rest;
}

} // namespace

TEST(ProcedureReports, DefaultsOnlyIntoExactlyEmptyValues)
{
    ReportRun run(QStringLiteral("BO02007"));
    run.filter->add(QStringLiteral("BomType"));
    run.filter->add(QStringLiteral("EffDate"), QVariant());
    run.filter->add(QStringLiteral("qty"), QStringLiteral(" ")); // one blank is a value
    run.filter->add(QStringLiteral("PlanRateFlag"), nullValue());
    run.filter->add(QStringLiteral("InvCode"));
    run.setFilterList();
    EXPECT_EQ(run.filter->item("BomType").varValue.toString(), QStringLiteral("主要"));
    EXPECT_EQ(run.filter->item("BomType").listValue1.toString(), QStringLiteral("主要"));
    EXPECT_EQ(run.filter->item("EffDate").varValue.toString(), QStringLiteral("2026-12-07"));
    EXPECT_EQ(run.filter->item("qty").varValue.toString(), QStringLiteral(" "));
    EXPECT_TRUE(isNull(run.filter->item("PlanRateFlag").varValue));
    EXPECT_EQ(run.filter->item("InvCode").varValue.toString(), QString(""));
    EXPECT_TRUE(isEmpty(run.filter->item("InvCode").listValue1));
}

TEST(ProcedureReports, DefaultsPerReport)
{
    struct Case {
        const char* report;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"BO02004", "QueryType", "全阶"}, {"BO02004", "EffDate", "2026-12-07"}, {"BO02004", "PlanRateFlag", "否"},
        {"BO02006", "EffDate", "2026-12-07"}, {"BO02006", "PlanRateFlag", "否"}, {"BO02006", "QueryType", ""},
        {"BO02007", "Qty", "1.0"},        {"BO02010", "SameYn", "否"},          {"BO02010", "PlanRateFlag", ""},
    };
    for (const Case& c : cases) {
        ReportRun run(QString::fromLatin1(c.report));
        run.filter->add(QString::fromLatin1(c.key));
        run.setFilterList();
        EXPECT_EQ(run.filter->item(QString::fromLatin1(c.key)).varValue.toString(), QString::fromUtf8(c.expected))
            << c.report << " " << c.key;
    }
}

TEST(ProcedureReports, ChecksReportFirstFailureOnly)
{
    struct Case {
        const char* report;
        short angle;
        QList<Item> items;
        int message;          // 0: accepted
        const char* caption;  // the failing item's key
        bool beep;
    };
    const QList<Case> cases = {
        {"BO02004", 0, {{"Version", "", "123456789"}}, 20449, "Version", true},
        {"BO02004", 0, {{"Version", "12345678", "1"}, {"QueryType", " 阶列式 ", ""}, {"EffDate", "2005-01-01", ""}}, 0, "", false},
        {"BO02004", 0, {{"QueryType", "全部", ""}, {"EffDate", "", ""}}, 20453, "QueryType", true},
        {"BO02004", 0, {{"PlanRateFlag", "", ""}}, 20453, "PlanRateFlag", true},
        {"BO02004", 0, {{"EffDate", "  ", ""}}, 2509, "EffDate", true},
        {"BO02004", 0, {{"Version", "1a", ""}}, 61301, "Version", true},
        {"BO02006", 0, {{"PlanRateFlag", "yes", ""}, {"EffDate", "", ""}}, 20453, "PlanRateFlag", true},
        {"BO02006", 0, {{"EffDate", "", ""}, {"PlanRateFlag", "yes", ""}}, 2509, "EffDate", true},
        {"BO02007", 0, {{"BomType", "其他", ""}}, 20453, "BomType", false},
        {"BO02007", 0, {{"BomType", " 替代 ", ""}, {"Qty", "2.5", ""}}, 0, "", false},
        {"BO02007", 0, {{"Qty", "1;drop", ""}}, 61301, "Qty", true},
        {"BO02007", 0, {{"Version", "123456789", ""}, {"BomType", "x", ""}}, 20449, "Version", true},
        {"BO02010", 2, {{"InvCode", "A1", ""}, {"Version1", "1", ""}, {"Identcode1", "", ""}, {"Identcode2", "", ""}}, 2509, "Identcode2", true},
        {"BO02010", 1, {{"InvCode", "A1", ""}, {"Version1", "1", ""}, {"Version2", "2", ""}, {"Identcode1", "", ""}, {"Identcode2", "", ""}}, 0, "", false},
        {"BO02010", 1, {{"InvCode", "A1", ""}, {"Version1", "1", ""}, {"Version2", "", ""}}, 2509, "Version2", true},
        {"BO02010", 3, {{"InvCode", "A1", ""}, {"Version2", "123456789", ""}}, 20449, "Version2", true},
        {"BO02010", 3, {{"InvCode", "A1", ""}, {"Version1", "", ""}, {"Identcode1", "", ""}}, 2509, "Identcode1", true},
        {"BO02010", 0, {{"InvCode", "", ""}}, 2509, "InvCode", true},
        {"BO02010", 0, {{"InvCode", "A", ""}, {"Version1", "", ""}, {"Identcode2", "", ""}}, 2509, "Version1", true},
        {"BO02010", 1, {{"InvCode", "A", ""}, {"Version1", "1 or 1=1", ""}, {"Version2", "2", ""}}, 61301, "Version1", true},
    };
    for (const Case& c : cases) {
        ReportRun run(QString::fromLatin1(c.report));
        prepare(run, c.angle, c.items, QStringLiteral("标题"));
        const QString context = QStringLiteral("%1 angle %2 expecting %3").arg(c.report).arg(c.angle).arg(c.message);
        const QStringList before = [&] {
            QStringList values;
            for (const Item& item : c.items)
                values.append(run.filter->item(QString::fromLatin1(item.key)).varValue.toString());
            return values;
        }();
        EXPECT_EQ(run.check(), c.message != 0) << context.toStdString();
        const QList<Shown> shown = shownMessages();
        if (c.message == 0) {
            EXPECT_TRUE(shown.isEmpty()) << context.toStdString();
            continue;
        }
        ASSERT_EQ(shown.size(), 1) << context.toStdString();
        EXPECT_EQ(shown[0].number, c.message) << context.toStdString();
        EXPECT_EQ(shown[0].argument, QString::fromLatin1(c.caption) + QStringLiteral("标题")) << context.toStdString();
        EXPECT_EQ(fake::beeps(), c.beep ? 1 : 0) << context.toStdString();
        for (qsizetype i = 0; i < c.items.size(); ++i) // a failing value is never changed
            EXPECT_EQ(run.filter->item(QString::fromLatin1(c.items[i].key)).varValue.toString(), before[i]);
    }
}

TEST(ProcedureReports, Statements)
{
    struct Case {
        const char* report;
        short angle;
        QList<Item> items;
        const char* statement;
    };
    const QList<Case> cases = {
        {"BO02006",
         0,
         {{"InvCode", "A1", ""}, {"EffDate", "2005-06-30", ""}, {"PlanRateFlag", "是", ""}, {"cFree1", "", ""}},
         " Exec Usp_BO_ExpandByComp 'A1','zzzzzzzzzzzzzzzzzzzz','2005-06-30', 1, '','',0,1"},
        {"BO02006", 0, {{"EffDate", "", ""}, {"Other", "x", "y"}}, " Exec Usp_BO_ExpandByComp '2000-01-01',0,1"},
        {"BO02004",
         0,
         {{"InvCode", "", "Z9"}, {"Version", "", "5"}, {"Date", "2001-01-01", ""}, {"EffDate", "2006-01-01", ""},
          {"QueryType", "阶列式", ""}, {"PlanRateFlag", "否", ""}, {"cFree1", "red", "blue"}},
         " Exec Usp_BO_ExpandByParent '','Z9', 0,5,'2001-01-01','2099-12-31',2, 0, 'red','blue',0,1, '2006-01-01'"},
        {"BO02004", 0, {{"Version", "3", ""}, {"QueryType", "全阶", ""}, {"EffDate", "2006-01-01", ""}},
         " Exec Usp_BO_ExpandByParent 3,99999999 ,1,0,1, '2006-01-01'"},
        {"BO02007",
         0,
         {{"InvCode", "A", "B"}, {"IdentCode", "", ""}, {"BomType", "全部", ""}, {"Version", "", ""}, {"Date", "", ""},
          {"EffDate", "2006-01-01", ""}, {"Qty", "2.5", ""}, {"PlanRateFlag", "否", ""}, {"cFree10", "X", "Y"}},
         " Exec Usp_BO_BO02007 'A','B','','zzzzzzzzzzzzzzzzzzzz',0, 0,99999999 ,'2000-01-01','2099-12-31','2006-01-01',2.5, 0, 'X','Y'"},
        {"BO02007", 0, {{"BomType", "其他", ""}, {"Qty", "", ""}, {"cFree9", "", ""}, {"cFree10", "", ""}},
         " Exec Usp_BO_BO02007 1,1.0,'','','',''"},
        {"BO02007", 0, {{"BomType", "替代", ""}, {"EffDate", "", ""}}, " Exec Usp_BO_BO02007 2,'2000-01-01',"},
        {"BO02010",
         2,
         {{"InvCode", "A1", ""}, {"Version1", "10", ""}, {"Version2", "", ""}, {"Identcode1", "", ""}, {"Identcode2", "S1", ""},
          {"SameYn", "是", ""}, {"Sel", "偏置期,供应类型", ""}, {"cFree1", "", ""}, {"cFree10", "z", ""}},
         "Exec Usp_BO_BO02010 2,'A1',10, 0,'','S1', 1,  0, 1, 0, 0, 1,'','z'"},
        {"BO02010", 0, {{"InvCode", "", ""}, {"Sel", "", ""}, {"cFree10", "", ""}}, "Exec Usp_BO_BO02010 0,, 0, 0, 0, 0, 0,''"},
    };
    for (const Case& c : cases) {
        ReportRun run(QString::fromLatin1(c.report));
        prepare(run, c.angle, c.items);
        const auto parts = run.sql();
        EXPECT_EQ(parts.SqlSelect, QString::fromUtf8(c.statement)) << c.report;
        EXPECT_TRUE(parts.SqlFrom.isEmpty() && parts.SqlWhere.isEmpty() && parts.SqlOrder.isEmpty() && parts.Text5.isEmpty());
        EXPECT_EQ(parts.List6.toList(), QVariantList{1});
        EXPECT_EQ(parts.List7.toList(), QVariantList{0});
        EXPECT_FALSE(parts.List8.isValid());
        for (const q7::Object& item : run.filter->list_->items)
            EXPECT_EQ(static_cast<fake::FilterItem*>(item.data())->LngGrouptoken, 1);
    }
}

TEST(ProcedureReports, EffectiveDateOfExplosionPersistsBetweenRuns)
{
    ReportRun run(QStringLiteral("BO02004"));
    run.filter->add(QStringLiteral("EffDate"), QStringLiteral("2006-01-01"));
    EXPECT_TRUE(run.sql().SqlSelect.endsWith(QStringLiteral("0,1, '2006-01-01'")));
    run.filter->list_->items.clear();
    run.filter->add(QStringLiteral("InvCode"), QStringLiteral("A"));
    EXPECT_EQ(run.sql().SqlSelect, QStringLiteral(" Exec Usp_BO_ExpandByParent 'A','zzzzzzzzzzzzzzzzzzzz',0,1, '2006-01-01'"));

    ReportRun fresh(QStringLiteral("BO02004"));
    fresh.filter->add(QStringLiteral("InvCode"), QStringLiteral("A"));
    EXPECT_TRUE(fresh.sql().SqlSelect.endsWith(QStringLiteral("0,1,"))); // nothing on the first run
}

TEST(ComparisonReport, AnglesAndCurrentType)
{
    ReportRun run(QStringLiteral("BO02010"));
    EXPECT_TRUE(values::toBoolean(call(run.handler, QStringLiteral("IsMultiAngleReport"))));
    EXPECT_EQ(getProperty(run.handler, QStringLiteral("CurrentType")).toInt(), 0);
    letProperty(run.handler, QStringLiteral("CurrentType"), 3);
    EXPECT_EQ(getProperty(run.handler, QStringLiteral("CurrentType")).toInt(), 3);
    const QVariantList angles = call(run.handler, QStringLiteral("MultiAngleList")).toList();
    EXPECT_EQ(angles, (QVariantList{QStringLiteral("不同版本"), QStringLiteral("主要和替代"), QStringLiteral("替代和替代")}));
    EXPECT_EQ(run.reportInfoCalls(), QStringLiteral("SetReportKey BO02010"));
}

TEST(ProcedureReports, HostileValuesNeverBreakOutOfTheStatement)
{
    const QString hostile = QStringLiteral("x'; delete from bom_bom --");
    struct Case {
        const char* report;
        QStringList keys;
    };
    const Case cases[] = {
        {"BO02004", {"InvCode", "Version", "Date", "EffDate", "QueryType", "PlanRateFlag", "cFree1", "cFree10"}},
        {"BO02006", {"InvCode", "EffDate", "PlanRateFlag", "cFree3", "cFree10"}},
        {"BO02007", {"InvCode", "IdentCode", "BomType", "Version", "Date", "EffDate", "Qty", "PlanRateFlag", "cFree1", "cFree10"}},
        {"BO02010", {"InvCode", "Version1", "Version2", "Identcode1", "Identcode2", "SameYn", "Sel", "cFree1", "cFree10"}},
    };
    static const QRegularExpression ownText(QStringLiteral("^ ?Exec Usp_BO_\\w+ [#0-9 ,.z]*$"));
    for (const Case& c : cases) {
        // Quoted positions: the hostile text is doubled and stays inside its literal.
        const bool comparison = QLatin1String(c.report) == QLatin1String("BO02010");
        ReportRun run(QString::fromLatin1(c.report));
        if (comparison)
            letProperty(run.handler, QStringLiteral("CurrentType"), 2);
        for (const QString& key : c.keys) {
            const bool unquoted = key.startsWith(QStringLiteral("Version")) || key == QLatin1String("Qty");
            run.filter->add(key, unquoted ? QStringLiteral("12") : hostile, unquoted ? QString("") : hostile);
        }
        const QString sql = run.sql().SqlSelect;
        EXPECT_TRUE(ownText.match(outsideLiterals(sql)).hasMatch()) << sql.toStdString();

        // Unquoted positions: refused by the check, and never written into a statement.
        for (const QString& key : c.keys) {
            if (!key.startsWith(QStringLiteral("Version")) && key != QLatin1String("Qty"))
                continue;
            ReportRun numbers(QString::fromLatin1(c.report));
            if (comparison)
                letProperty(numbers.handler, QStringLiteral("CurrentType"), 1);
            numbers.filter->add(key, QStringLiteral("1 or 1"));
            EXPECT_TRUE(numbers.check()) << c.report << " " << key.toStdString();
            ASSERT_EQ(shownMessages().size(), 1);
            EXPECT_EQ(shownMessages()[0].number, 61301);
            try {
                numbers.sql();
                ADD_FAILURE() << "statement built from a non-number in " << c.report << " " << key.toStdString();
            } catch (const AutomationError& e) {
                EXPECT_EQ(e.number(), ErrBadCallOrArgument);
            }
            EXPECT_FALSE(numbers.info->locate.isValid());
        }
    }
}

TEST(ProcedureReports, TodayFollowsTheSystemsShortDateForm)
{
    system::setShortDateFormat(QStringLiteral("yyyy/mm/dd"));
    ReportRun run(QStringLiteral("BO02006"));
    run.filter->add(QStringLiteral("EffDate"));
    run.setFilterList();
    system::setShortDateFormat(QStringLiteral("yyyy-mm-dd"));
    EXPECT_EQ(run.filter->item("EffDate").varValue.toString(), QStringLiteral("2026/12/07"));
}
