// Replace from a date on the demo account: the explosions before the date do
// not move, from the date on they are those of the replace at every date;
// lines ended by the date stay, later lines change in place, and the run is an
// engineering change that undo takes back with the lines.
#include "host/db/AccountDatabase.h"
#include "host/process/ops/BomHistory.h"
#include "host/process/ops/ComponentReplace.h"
#include "host/process/ops/Journal.h"
#include "host/report/ReportViewer.h"
#include "platform/data/Ado.h"
#include "support/FakeHost.h"
#include "support/ScratchAccount.h"
#include "support/SqlRows.h"

#include <QSqlQuery>
#include <QSqlRecord>

#include <gtest/gtest.h>

using namespace q7::host::process;
using namespace q7::host::process::ops;
using q7::host::report::FilterSetting;
using q7::host::report::ReportViewer;

namespace {

const QString From = QStringLiteral("2026-03-01");

PartKey part(const QString& code)
{
    return PartKey{code};
}

using fake::rowsOf;

// The demo account with more wheel lines around the date: one that begins on
// it, one that begins later, one that ends on it; and the 2025 wheel line
// with a substitute and designators, which its copy must keep.
struct Account {
    Account()
    {
        scratch.execute(QStringLiteral(
            "INSERT INTO bom_opcomponent (OpComponentId, BomId, ComponentId, SortSeq, BaseQtyN, BaseQtyD, EffBegDate, EffEndDate) VALUES "
            "(901, 2, (SELECT PartId FROM bas_part WHERE InvCode = 'WH-200'), 80, 1, 1, '2026-03-01', '2099-12-31'),"
            "(902, 4, (SELECT PartId FROM bas_part WHERE InvCode = 'WH-200'), 25, 3, 1, '2027-01-01', '2099-12-31'),"
            "(903, 4, (SELECT PartId FROM bas_part WHERE InvCode = 'WH-200'), 26, 5, 1, '2024-01-01', '2026-03-01');"
            "INSERT INTO bom_opcomponentsub (OpComponentId, PartId, Factor, EffBegDate, EffEndDate, Sequence, ReplaceFlag) "
            "SELECT OpComponentId, (SELECT PartId FROM bas_part WHERE InvCode = 'TY-331'), 1, '2025-01-01', '2099-12-31', 1, 0 "
            "FROM bom_opcomponent WHERE BomId = 2 AND SortSeq = 20;"
            "INSERT INTO bom_opcomponentloc (OpComponentId, SortSeq, Loc) SELECT OpComponentId, 1, 'F' FROM bom_opcomponent WHERE BomId = 2 AND SortSeq = 20;"
            "INSERT INTO bom_opcomponentloc (OpComponentId, SortSeq, Loc) SELECT OpComponentId, 2, 'R' FROM bom_opcomponent WHERE BomId = 2 AND SortSeq = 20;"));
        connection.Open(q7::host::db::connectionStringFor(scratch.path()));
        ensureMaintenanceTables(connection);
    }
    // BO02004, every row of the bicycles' indented explosion on the date.
    QStringList explosion(const QString& date)
    {
        ReportViewer viewer(QStringLiteral("BO02004"));
        const auto out = viewer.run({FilterSetting{QStringLiteral("InvCode"), QStringLiteral("BK-100"), QStringLiteral("BK-120")},
                                     FilterSetting{QStringLiteral("EffDate"), date, std::nullopt}},
                                    0, &connection);
        EXPECT_FALSE(out.refused) << out.message.toStdString();
        QStringList rows;
        for (const QVector<QVariant>& row : out.rows.rows) {
            QStringList cells;
            for (const QVariant& cell : row)
                cells.append(cell.toString());
            rows.append(cells.join(u'|'));
        }
        return rows;
    }
    OperationResult replace(const std::optional<QString>& from, bool dryRun = false)
    {
        ReplaceParameters p{part(QStringLiteral("WH-200")), part(QStringLiteral("FR-210")), {}, from};
        return replaceComponent(connection, p, RunOptions{QStringLiteral("tester"), dryRun});
    }
    QString dump() const { return scratch.dump(); }
    QString db(const QString& sql) { return rowsOf(connection.database(), sql); }
    QString ecn() { return db(QStringLiteral("SELECT * FROM ecn_ecnapply ORDER BY ApplyId")) + db(QStringLiteral("SELECT * FROM ecn_ecnapplydetail ORDER BY ApplyDId")) +
                           db(QStringLiteral("SELECT BomId, ApplyDId FROM bom_bom ORDER BY BomId")); }

    fake::ScratchAccount scratch;
    q7::data::Connection connection;
};

const QStringList dates{QStringLiteral("2024-06-30"), QStringLiteral("2025-12-31"), QStringLiteral("2026-02-28"), From,
                        QStringLiteral("2026-12-31"), QStringLiteral("2027-01-01"), QStringLiteral("2031-05-05")};

} // namespace

TEST(DatedReplace, BeforeTheDateAsBeforeFromItAsTheReplaceAtEveryDate)
{
    Account dated, everywhere;
    QMap<QString, QStringList> before;
    for (const QString& date : dates)
        before.insert(date, dated.explosion(date));

    dated.replace(From);
    everywhere.replace(std::nullopt);
    for (const QString& date : dates) {
        SCOPED_TRACE(date.toStdString());
        ASSERT_FALSE(before[date].isEmpty());
        if (date < From)
            EXPECT_EQ(dated.explosion(date), before[date]);
        else {
            EXPECT_EQ(dated.explosion(date), everywhere.explosion(date));
            EXPECT_NE(dated.explosion(date), before[date]); // the replace shows
        }
    }
}

TEST(DatedReplace, EndsLinesInForceChangesLaterOnesLeavesEndedOnes)
{
    Account account;
    const QString lineColumns = QStringLiteral("SELECT c.BomId, c.SortSeq, p.InvCode, c.BaseQtyN, c.CompScrap, c.OpSeq, c.EffBegDate, c.EffEndDate, "
                                               "o.WhCode, o.WIPType, o.PlanFactor, r.Remark, "
                                               "(SELECT group_concat(Loc, ',') FROM bom_opcomponentloc l WHERE l.OpComponentId = c.OpComponentId), "
                                               "(SELECT count(*) FROM bom_opcomponentsub s WHERE s.OpComponentId = c.OpComponentId) "
                                               "FROM bom_opcomponent c JOIN bas_part p ON p.PartId = c.ComponentId "
                                               "LEFT JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId "
                                               "LEFT JOIN bom_opcomponentrmk r ON r.OpComponentId = c.OpComponentId "
                                               "WHERE p.InvCode IN ('WH-200', 'FR-210') AND c.BomId <> 5 ORDER BY c.BomId, c.SortSeq, c.EffBegDate");
    const QString preview = account.dump();
    const OperationResult shown = account.replace(From, true);
    EXPECT_EQ(account.dump(), preview);
    EXPECT_EQ(shown.headers.last(), QStringLiteral("处理"));
    QStringList treated;
    for (const QStringList& row : shown.rows)
        treated.append(row[1] + u' ' + row[2] + u' ' + row.last());
    EXPECT_EQ(treated, (QStringList{"主BOM 2 20 截止并新增", "主BOM 2 80 直接替换", "替代BOM S1 20 截止并新增", "主BOM 1 20 截止并新增",
                                    "主BOM 1 25 直接替换"}));

    const QString originalEcn = account.ecn();
    const OperationResult done = account.replace(From);
    ASSERT_NE(done.runId, 0);
    EXPECT_TRUE(done.summary.contains(QStringLiteral("ECN-2026-001"))) << done.summary.toStdString();
    EXPECT_EQ(account.db(lineColumns),
              QStringLiteral("1|20|WH-200|2|0|0040|2020-01-01|2025-01-01|02|3|NULL|NULL|NULL|0\n"        // ended before: stays
                             "2|20|WH-200|2|0|0040|2025-01-01|2026-03-01|02|3|100|前后轮各一|F,R|1\n"    // ends on the date
                             "2|20|FR-210|2|0|0040|2026-03-01|2099-12-31|02|3|100|前后轮各一|F,R|1\n"    // its copy from the date
                             "2|80|FR-210|1|0|NULL|2026-03-01|2099-12-31|NULL|NULL|NULL|NULL|NULL|0\n"   // begins on the date: in place
                             "3|20|WH-200|2|0|0040|2000-01-01|2026-03-01|02|3|NULL|NULL|NULL|0\n"
                             "3|20|FR-210|2|0|0040|2026-03-01|2099-12-31|02|3|NULL|NULL|NULL|0\n"
                             "4|20|WH-200|2|0|0040|2020-01-01|2026-03-01|02|3|NULL|NULL|NULL|0\n"
                             "4|20|FR-210|2|0|0040|2026-03-01|2099-12-31|02|3|NULL|NULL|NULL|0\n"
                             "4|25|FR-210|3|0|NULL|2027-01-01|2099-12-31|NULL|NULL|NULL|NULL|NULL|0\n"   // begins later: in place
                             "4|26|WH-200|5|0|NULL|2024-01-01|2026-03-01|NULL|NULL|NULL|NULL|NULL|0\n")); // ends on the date: stays
    // The copies have options rows of their own.
    EXPECT_EQ(account.db(QStringLiteral("SELECT count(*) FROM bom_opcomponent c JOIN bom_opcomponent d ON d.OptionsId = c.OptionsId "
                                        "AND d.OpComponentId <> c.OpComponentId")),
              QStringLiteral("0\n"));
    // One change, one detail per BOM, each changed BOM names its detail; BOM 1 (ended) keeps none.
    EXPECT_EQ(account.db(QStringLiteral("SELECT DocCode FROM ecn_ecnapply ORDER BY ApplyId")), QStringLiteral("ECN-2025-001\nECN-2026-001\n"));
    EXPECT_EQ(account.db(QStringLiteral("SELECT b.BomId, e.DocCode FROM bom_bom b JOIN ecn_ecnapplydetail d ON d.ApplyDId = b.ApplyDId "
                                        "JOIN ecn_ecnapply e ON e.ApplyId = d.ApplyId ORDER BY b.BomId")),
              QStringLiteral("2|ECN-2026-001\n3|ECN-2026-001\n4|ECN-2026-001\n"));

    // A second change from a later date numbers the next document of its year.
    const OperationResult back = replaceComponent(account.connection, {part(QStringLiteral("FR-210")), part(QStringLiteral("WH-200")), {}, QStringLiteral("2026-09-01")},
                                                  RunOptions{QStringLiteral("tester"), false});
    EXPECT_TRUE(back.summary.contains(QStringLiteral("ECN-2026-002"))) << back.summary.toStdString();

    // Undone newest first, the account is exactly as it was, change tables included.
    undoRun(account.connection, back.runId, QStringLiteral("tester"));
    undoRun(account.connection, done.runId, QStringLiteral("tester"));
    EXPECT_EQ(account.dump(), preview);
    EXPECT_EQ(account.ecn(), originalEcn);
}

TEST(DatedReplace, Refusals)
{
    Account account;
    const QString before = account.dump();
    struct Case {
        const char* from;
        const char* to;
        const char* date;
        const char* message;
    };
    const Case cases[] = {
        {"WH-200", "FR-210", "2026-02-30", "变更日期不是日期：2026-02-30"},
        {"WH-200", "FR-210", "26-3-1", "变更日期不是日期：26-3-1"},
        // the frame would hold the welded frame that holds it, from the date as at any date
        {"TB-300", "FR-200", "2026-03-01", "替换后物料成为自身的子件"},
    };
    for (const Case& c : cases) {
        QString message;
        try {
            replaceComponent(account.connection, {part(QString::fromUtf8(c.from)), part(QString::fromUtf8(c.to)), {}, QString::fromUtf8(c.date)},
                             RunOptions{QStringLiteral("tester"), false});
        } catch (const RefusedOperation& refused) {
            message = refused.description();
        }
        EXPECT_TRUE(message.startsWith(QString::fromUtf8(c.message))) << message.toStdString();
    }
    EXPECT_EQ(account.dump(), before);
    EXPECT_TRUE(maintenanceRuns(account.connection).isEmpty());
}

TEST(BomHistory, ListsEachChangeByDateWithTheEngineeringChange)
{
    Account account;
    const auto events = [&] {
        QStringList out;
        for (const BomEvent& e : bomHistory(account.connection, QStringLiteral("BK-100")))
            if (e.date >= QLatin1String("2025-01-01"))
                out.append(QStringLiteral("%1 %2 %3 %4 %5 %6 %7").arg(e.date, e.parent, e.bom, e.event).arg(e.sortSeq).arg(e.component, e.change).trimmed());
        return out;
    };
    const QStringList before = events();
    // the 2025 version with its change; the handlebar's end and the new one's start; the lock bolts
    for (const char* expected : {"2025-01-01 BK-100(红) 主BOM 2 版本生效 0  ECN-2025-001", "2025-01-01 BK-100(红) 主BOM 1 版本失效 0",
                                 "2025-07-01 BK-100(红) 主BOM 2 行结束 30 HB-210", "2025-07-01 BK-100(红) 主BOM 2 行开始 40 HB-220",
                                 "2027-01-01 BK-100(红) 主BOM 2 行开始 60 BL-210"})
        EXPECT_TRUE(before.contains(QString::fromUtf8(expected))) << expected << "\n" << before.join(u'\n').toStdString();

    const OperationResult done = account.replace(From);
    const QStringList after = events();
    for (const char* expected : {"2026-03-01 BK-100(红) 主BOM 2 行结束 20 WH-200 ECN-2026-001", "2026-03-01 BK-100(红) 主BOM 2 行开始 20 FR-210 ECN-2026-001",
                                 "2026-03-01 BK-100(红) 主BOM 2 行开始 80 FR-210 ECN-2026-001", // changed in place: begins with the new item
                                 "2027-01-01 BK-100(蓝) 主BOM 1 行开始 25 FR-210 ECN-2026-001",
                                 "2026-03-01 BK-100(蓝) 主BOM 1 行结束 26 WH-200",                // ended on the date before the run: no change of it
                                 "2025-01-01 BK-100(红) 主BOM 2 版本生效 0  ECN-2025-001"})      // the version keeps the change it came with
        EXPECT_TRUE(after.contains(QString::fromUtf8(expected))) << expected << "\n" << after.join(u'\n').toStdString();
    EXPECT_FALSE(after.contains(QStringLiteral("2025-01-01 BK-100(红) 主BOM 2 行开始 20 WH-200 ECN-2026-001"))); // it began before the change

    undoRun(account.connection, done.runId, QStringLiteral("tester"));
    EXPECT_EQ(events(), before);
}
