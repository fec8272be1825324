// The four maintenance operations on the demo account: worked rows, cycles,
// refusals that leave the account as it was, and undo.
#include "host/db/AccountDatabase.h"
#include "host/process/ops/ComponentRemove.h"
#include "host/process/ops/ComponentReplace.h"
#include "host/process/ops/Journal.h"
#include "host/process/ops/LowLevelCode.h"
#include "host/process/ops/StructureCheck.h"
#include "platform/data/Ado.h"
#include "support/FakeHost.h"
#include "support/ScratchAccount.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace q7::host::process;
using namespace q7::host::process::ops;

namespace {

struct Account {
    Account() { connection.Open(q7::host::db::connectionStringFor(scratch.path())); }
    QMap<QString, int> storedCodes()
    {
        QMap<QString, int> codes;
        QSqlQuery q(connection.database());
        q.exec(QStringLiteral("SELECT p.InvCode, p.Free1, l.LowLevelCode FROM bas_part_llc l JOIN bas_part p ON p.PartId = l.PartId"));
        while (q.next())
            codes.insert(q.value(1).toString().isEmpty() ? q.value(0).toString() : q.value(0).toString() + u'/' + q.value(1).toString(),
                         q.value(2).toInt());
        return codes;
    }
    int partId(const QString& code, const QString& free1 = QString(""))
    {
        PartKey key{code};
        key.free[0] = free1;
        return findPart(connection.database(), key).value_or(0);
    }
    // A main BOM of the parent, in force from `from` until `to`, with one line per component.
    void addBom(const QString& parent, const QStringList& components, const QString& from = QStringLiteral("2020-01-01"),
                const QString& to = QStringLiteral("2099-12-31"))
    {
        static int bomId = 100, lineId = 100;
        ++bomId;
        scratch.execute(QStringLiteral("INSERT INTO bom_bom (BomId, BomType, Version, VersionEffDate, VersionEndDate) VALUES (%1, 1, 1, '%2', '%3');"
                                       "INSERT INTO bom_parent (BomId, ParentId) VALUES (%1, %4);")
                            .arg(bomId).arg(from, to).arg(partId(parent.section(u'/', 0, 0), parent.section(u'/', 1))));
        for (const QString& component : components)
            scratch.execute(QStringLiteral("INSERT INTO bom_opcomponent (OpComponentId, BomId, ComponentId, SortSeq, BaseQtyN, EffBegDate, EffEndDate) "
                                           "VALUES (%1, %2, %3, 10, 1, '%4', '%5');")
                                .arg(++lineId).arg(bomId).arg(partId(component.section(u'/', 0, 0), component.section(u'/', 1)))
                                .arg(from, to));
    }
    fake::ScratchAccount scratch;
    q7::data::Connection connection;
    const RunOptions run{QStringLiteral("tester"), false};
    const RunOptions preview{QStringLiteral("tester"), true};
};

PartKey part(const QString& code, const QString& free1 = QString())
{
    PartKey key{code};
    key.free[0] = free1;
    return key;
}

QStringList column(const OperationResult& result, int index)
{
    QStringList values;
    for (const QStringList& row : result.rows)
        values.append(row.value(index));
    return values;
}

QString refusal(const std::function<void()>& f)
{
    try {
        f();
    } catch (const RefusedOperation& refused) {
        return refused.description();
    }
    return QStringLiteral("(not refused)");
}

} // namespace

TEST(LowLevelCode, DemoAccountCodesAreTheDeepestLevels)
{
    Account account;
    const OperationResult result = runLowLevelCode(account.connection, QStringLiteral("2026-12-07"), account.run);
    EXPECT_NE(result.runId, 0);
    // The paint is on level 1 under the bicycle and on level 2 under the frame: 2.
    // The substitutes count on their line's level; parts of no BOM in force are 0
    // (the old handlebar ended in 2025, the lock bolts start in 2027).
    const QMap<QString, int> expected{
        {"BK-100/红", 0}, {"BK-100/蓝", 0}, {"BK-120", 0}, {"PL-100", 0}, {"HB-210", 0}, {"BL-210", 0},
        {"FR-200", 1}, {"WH-200", 1}, {"HB-220", 1}, {"BL-200", 1}, {"FN-100/白", 1}, {"FN-100/黑", 1},
        {"PT-220", 2}, {"FR-210", 2}, {"RM-310", 2}, {"SP-320", 2}, {"SP-321", 2}, {"TY-330", 2}, {"TY-331", 2},
        {"MT-200", 2}, {"SW-300", 2}, {"PC-300", 2}, {"BS-200", 2},
        {"TB-300", 3}, {"SW-310", 3}, {"SW-320", 3}, {"CW-300", 3}, {"CP-400", 3},
        {"ST-400", 4}, {"CH-900", 4},
    };
    EXPECT_EQ(account.storedCodes(), expected);

    // Nothing changed: a second run writes nothing and records no run.
    const OperationResult again = runLowLevelCode(account.connection, QStringLiteral("2026-12-07"), account.run);
    EXPECT_EQ(again.runId, 0);
    EXPECT_TRUE(again.rows.isEmpty());

    // From 2027 the lock bolts are on level 1.
    const OperationResult later = runLowLevelCode(account.connection, QStringLiteral("2027-01-01"), account.run);
    EXPECT_EQ(later.rows, (QList<QStringList>{{"BL-210", "0", "1", ""}}));
}

TEST(LowLevelCode, CyclesAreReportedAndTheirPartsKeepTheirCodes)
{
    Account account;
    runLowLevelCode(account.connection, QStringLiteral("2026-12-07"), account.run);
    const QMap<QString, int> before = account.storedCodes();

    account.addBom(QStringLiteral("CH-900"), {QStringLiteral("CH-900")});                  // self-loop
    account.addBom(QStringLiteral("CP-400"), {QStringLiteral("PC-300")});                  // 2-cycle
    account.addBom(QStringLiteral("RM-310"), {QStringLiteral("SP-321")});                  // 4-cycle
    account.addBom(QStringLiteral("SP-321"), {QStringLiteral("TY-331")});
    account.addBom(QStringLiteral("TY-331"), {QStringLiteral("BL-210")});
    account.addBom(QStringLiteral("BL-210"), {QStringLiteral("RM-310"), QStringLiteral("CW-300")}); // CW-300 hangs below the cycle
    // Only between 2027-01-01 and 2027-06-01: the new handlebar holds the blue bicycle.
    account.addBom(QStringLiteral("HB-220"), {QStringLiteral("BK-100/蓝")}, QStringLiteral("2027-01-01"), QStringLiteral("2027-06-01"));

    const OperationResult result = runLowLevelCode(account.connection, QStringLiteral("2026-12-07"), account.run);
    QStringList cycles;
    for (const QStringList& row : result.rows)
        if (!row[3].isEmpty())
            cycles.append(row[3]);
    cycles.sort();
    EXPECT_EQ(cycles, (QStringList{"循环 CH-900 → CH-900，低阶码不变", "循环 PC-300 → CP-400 → PC-300，低阶码不变",
                                   "循环 RM-310 → SP-321 → TY-331 → BL-210 → RM-310，低阶码不变"}));
    const QMap<QString, int> after = account.storedCodes();
    for (const char* onCycle : {"CH-900", "PC-300", "CP-400", "RM-310", "SP-321", "TY-331", "BL-210"})
        EXPECT_EQ(after.value(QString::fromUtf8(onCycle)), before.value(QString::fromUtf8(onCycle))) << onCycle;
    // The motor's wire is level 3 under the fan; below the 4-cycle (on level 2) it is on level 3 as well.
    EXPECT_EQ(after.value(QStringLiteral("CW-300")), 3);
    EXPECT_EQ(after.value(QStringLiteral("BK-100/蓝")), 0);

    // Inside the window the blue bicycle and its handlebar form a cycle too.
    const OperationResult window = runLowLevelCode(account.connection, QStringLiteral("2027-01-01"), account.preview);
    EXPECT_TRUE(column(window, 3).contains(QStringLiteral("循环 BK-100(蓝) → HB-220 → BK-100(蓝)，低阶码不变")));
    // On the window's end date it is gone again.
    const OperationResult ended = runLowLevelCode(account.connection, QStringLiteral("2027-06-01"), account.preview);
    EXPECT_FALSE(column(ended, 3).join(u' ').contains(QStringLiteral("BK-100(蓝)")));
}

TEST(LowLevelCode, UndoRemovesTheStoredCodes)
{
    Account account;
    const QString before = account.scratch.dump();
    const OperationResult result = runLowLevelCode(account.connection, QStringLiteral("2026-12-07"), account.run);
    undoRun(account.connection, result.runId, QStringLiteral("tester"));
    EXPECT_EQ(account.scratch.dump(), before);
}

TEST(ReplaceComponent, LinesOfTheScope)
{
    struct Case {
        const char* what;
        LineScope scope;
        QStringList parents, boms, sequences;
    };
    const Case cases[] = {
        {"every BOM", {}, {"BK-100(红)", "BK-100(红)", "BK-100(蓝)"}, {"主BOM 2", "替代BOM S1", "主BOM 1"}, {"40", "30", "30"}},
        {"main BOMs only", {QString(), QString(), 1, std::nullopt}, {"BK-100(红)", "BK-100(蓝)"}, {"主BOM 2", "主BOM 1"}, {"40", "30"}},
        {"substitute BOMs only", {QString(), QString(), 2, std::nullopt}, {"BK-100(红)"}, {"替代BOM S1"}, {"30"}},
        {"the day before the new handlebar's first day", {QString(), QString(), 1, QStringLiteral("2025-06-30")}, {"BK-100(蓝)"}, {"主BOM 1"}, {"30"}},
        {"its first day", {QString(), QString(), 1, QStringLiteral("2025-07-01")}, {"BK-100(红)", "BK-100(蓝)"}, {"主BOM 2", "主BOM 1"}, {"40", "30"}},
        {"parents after the bicycles", {QStringLiteral("BK-101"), QString(), 0, std::nullopt}, {}, {}, {}},
        {"parent range of one item, lower case", {QStringLiteral("bk-100"), QStringLiteral("bk-100"), 0, std::nullopt},
         {"BK-100(红)", "BK-100(红)", "BK-100(蓝)"}, {"主BOM 2", "替代BOM S1", "主BOM 1"}, {"40", "30", "30"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Account account;
        const QString before = account.scratch.dump();
        const OperationResult preview =
            replaceComponent(account.connection, {part(QStringLiteral("HB-220")), part(QStringLiteral("HB-210")), c.scope}, account.preview);
        EXPECT_EQ(column(preview, 0), c.parents);
        EXPECT_EQ(column(preview, 1), c.boms);
        EXPECT_EQ(column(preview, 2), c.sequences);
        EXPECT_EQ(preview.runId, 0);
        EXPECT_EQ(account.scratch.dump(), before); // a preview writes nothing
    }
}

TEST(ReplaceComponent, RunChangesTheLinesAndUndoRestoresThemExactly)
{
    Account account;
    const QString before = account.scratch.dump();
    const OperationResult result =
        replaceComponent(account.connection, {part(QStringLiteral("HB-220")), part(QStringLiteral("HB-210")), {}}, account.run);
    ASSERT_NE(result.runId, 0);
    QSqlQuery q(account.connection.database());
    q.exec(QStringLiteral("SELECT OpComponentId FROM bom_opcomponent WHERE ComponentId = %1 ORDER BY 1").arg(account.partId(QStringLiteral("HB-210"))));
    QStringList lines;
    while (q.next())
        lines.append(q.value(0).toString());
    EXPECT_EQ(lines, (QStringList{"3", "6", "7", "13", "16"})); // the two old ones and the three replaced
    EXPECT_NE(account.scratch.dump(), before);

    const auto runs = maintenanceRuns(account.connection);
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].operation, QStringLiteral("replace"));
    EXPECT_EQ(runs[0].user, QStringLiteral("tester"));
    EXPECT_EQ(runs[0].changes, 3);

    undoRun(account.connection, result.runId, QStringLiteral("tester"));
    EXPECT_EQ(account.scratch.dump(), before);
    EXPECT_NE(refusal([&] { undoRun(account.connection, result.runId, QStringLiteral("tester")); }).indexOf(QStringLiteral("已于")), -1);
}

TEST(ReplaceComponent, UndoIsRefusedWhenALineChangedSince)
{
    Account account;
    const OperationResult result =
        replaceComponent(account.connection, {part(QStringLiteral("HB-220")), part(QStringLiteral("HB-210")), {}}, account.run);
    account.scratch.execute(QStringLiteral("UPDATE bom_opcomponent SET BaseQtyN = 2 WHERE OpComponentId = 13"));
    const QString changed = account.scratch.dump();
    EXPECT_EQ(refusal([&] { undoRun(account.connection, result.runId, QStringLiteral("tester")); }),
              QStringLiteral("运行 %1 之后这些行已被修改，不能撤销：bom_opcomponent 13").arg(result.runId));
    EXPECT_EQ(account.scratch.dump(), changed);
}

TEST(ReplaceComponent, RefusalsLeaveTheAccountUnchanged)
{
    struct Case {
        const char* what;
        ReplaceParameters parameters;
        const char* message;
    };
    const Case cases[] = {
        {"same part", {part("HB-220"), part("hb-220"), {}}, "原子件与新子件是同一物料 HB-220"},
        {"unknown item", {part("XX-999"), part("HB-220"), {}}, "原子件 XX-999 不是存货"},
        {"free items of no part", {part("BK-100", "绿"), part("BK-100", "红"), {}}, "原子件 BK-100(绿) 没有这些自由项的物料"},
        {"new part above the parent", {part("ST-400"), part("BK-100", "红"), {}},
         "替换后物料成为自身的子件：TB-300 → BK-100(红) → FR-200 → FR-210 → TB-300"},
        {"the parent itself", {part("FR-210"), part("FR-200"), {}}, "替换后物料成为自身的子件：FR-200 → FR-200"},
        {"through a shared BOM", {part("PT-220"), part("BK-120"), {}}, "替换后物料成为自身的子件：BK-120 → BK-120"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Account account;
        const QString before = account.scratch.dump();
        EXPECT_EQ(refusal([&] { replaceComponent(account.connection, c.parameters, account.run); }), QString::fromUtf8(c.message));
        EXPECT_EQ(account.scratch.dump(), before);
        EXPECT_TRUE(maintenanceRuns(account.connection).isEmpty());
    }
}

TEST(ReplaceComponent, AFailureHalfWayLeavesNothingBehind)
{
    Account account;
    account.scratch.execute(QStringLiteral("CREATE TRIGGER locked BEFORE UPDATE ON bom_opcomponent WHEN OLD.OpComponentId = 16 "
                                           "BEGIN SELECT RAISE(ABORT, 'line 16 is locked'); END;"));
    const QString before = account.scratch.dump();
    EXPECT_NE(fake::errorOf([&] {
                  replaceComponent(account.connection, {part(QStringLiteral("HB-220")), part(QStringLiteral("HB-210")), {}}, account.run);
              }),
              0);
    EXPECT_EQ(account.scratch.dump(), before);
    EXPECT_TRUE(maintenanceRuns(account.connection).isEmpty());
}

TEST(RemoveComponent, RemovesLinesWithEverythingThatHangsOnThemAndUndoPutsThemBack)
{
    struct Case {
        const char* item;
        int lines;
        const char* table; // a dependent table that loses rows
        int dependentRows;
    } const cases[] = {
        {"SP-320", 1, "bom_opcomponentsub", 1}, // the stainless spokes' substitute row goes with the line
        {"CP-400", 1, "bom_opcomponentloc", 4}, // four designators C1 … C4
        {"PT-220", 2, "bom_opcomponentrmk", 1}, // under the bicycle and the frame; the frame's line has a remark
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        Account account;
        const QString before = account.scratch.dump();
        const auto count = [&](const QString& table) {
            QSqlQuery q(account.connection.database());
            q.exec(QStringLiteral("SELECT count(*) FROM %1").arg(table));
            q.next();
            return q.value(0).toInt();
        };
        const int dependent = count(QString::fromLatin1(c.table));
        const int options = count(QStringLiteral("bom_opcomponentopt"));
        const OperationResult result = removeComponent(account.connection, part(QString::fromLatin1(c.item)), account.run);
        EXPECT_EQ(result.rows.size(), c.lines);
        EXPECT_EQ(count(QString::fromLatin1(c.table)), dependent - c.dependentRows);
        EXPECT_EQ(count(QStringLiteral("bom_opcomponentopt")), options - c.lines);
        undoRun(account.connection, result.runId, QStringLiteral("tester"));
        EXPECT_EQ(account.scratch.dump(), before);
    }
}

TEST(RemoveComponent, AnItemInNoBomChangesNothing)
{
    Account account;
    const OperationResult result = removeComponent(account.connection, part(QStringLiteral("PL-100")), account.run);
    EXPECT_EQ(result.runId, 0);
    EXPECT_TRUE(result.rows.isEmpty());
    EXPECT_EQ(refusal([&] { removeComponent(account.connection, part(QStringLiteral("BK-100")), account.run); }),
              QStringLiteral("物料 BK-100 没有这些自由项的物料"));
}

TEST(StructureCheck, DepthLimitAndBrokenLines)
{
    Account account;
    // The bicycles go four levels down (bicycle, frame, welded frame, tube, steel); the fan three.
    EXPECT_TRUE(checkStructure(account.connection, 4, QStringLiteral("2026-12-07")).rows.isEmpty());
    const OperationResult three = checkStructure(account.connection, 3, QStringLiteral("2026-12-07"));
    EXPECT_EQ(column(three, 0), (QStringList{"层数超限", "层数超限", "层数超限"}));
    EXPECT_EQ(column(three, 3).first(), QStringLiteral("4 层：BK-100(红) → FR-200 → FR-210 → TB-300 → ST-400"));

    account.scratch.execute(QStringLiteral("UPDATE bom_opcomponent SET BaseQtyN = 0 WHERE OpComponentId = 22;"
                                           "UPDATE bom_opcomponent SET ComponentId = 999 WHERE OpComponentId = 31;"));
    account.addBom(QStringLiteral("CP-400"), {QStringLiteral("PC-300")});
    const OperationResult broken = checkStructure(account.connection, 4, QStringLiteral("2026-12-07"));
    EXPECT_EQ(broken.rows, (QList<QStringList>{
                               {"循环", "PC-300", "", "PC-300 → CP-400 → PC-300"},
                               {"子件缺失", "MT-200", "#999", "行号 10"},
                               {"用量错误", "WH-200", "RM-310", "行号 10 基本用量 0/1"},
                           }));
}

TEST(Undo, ALaterRunOnTheSameLinesMustBeUndoneFirst)
{
    Account account;
    const QString start = account.scratch.dump();
    const int first = replaceComponent(account.connection, {part("HB-220"), part("HB-210"), {}}, account.run).runId; // lines 7, 13, 16
    LineScope mainOnly;
    mainOnly.bomType = 1;
    const int second = replaceComponent(account.connection, {part("HB-210"), part("HB-220"), mainOnly}, account.run).runId; // 3, 6, 7, 16
    EXPECT_EQ(refusal([&] { undoRun(account.connection, first, QStringLiteral("tester")); }),
              QStringLiteral("运行 %1 之后这些行已被修改，不能撤销：bom_opcomponent 16, bom_opcomponent 7").arg(first));
    undoRun(account.connection, second, QStringLiteral("tester"));
    undoRun(account.connection, first, QStringLiteral("tester"));
    EXPECT_EQ(account.scratch.dump(), start);
    const auto runs = maintenanceRuns(account.connection);
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[1].changes, 4);
    EXPECT_FALSE(runs[0].undoneAt.isEmpty());
    EXPECT_EQ(runs[0].undoneBy, QStringLiteral("tester"));
}

TEST(Undo, AChangedCodeGoesBackToItsOldValueAndDate)
{
    Account account;
    runLowLevelCode(account.connection, QStringLiteral("2026-12-07"), account.run);
    const QString before = account.scratch.dump();
    const OperationResult later = runLowLevelCode(account.connection, QStringLiteral("2027-01-01"), account.run); // lock bolts 0 → 1
    EXPECT_EQ(account.storedCodes().value(QStringLiteral("BL-210")), 1);
    undoRun(account.connection, later.runId, QStringLiteral("tester"));
    EXPECT_EQ(account.scratch.dump(), before);
}

TEST(RemoveComponent, OptionsSharedWithAnotherLineStay)
{
    Account account;
    account.scratch.execute(QStringLiteral("UPDATE bom_opcomponent SET OptionsId = 23 WHERE OpComponentId = 24"));
    const QString before = account.scratch.dump();
    const OperationResult result = removeComponent(account.connection, part(QStringLiteral("SP-320")), account.run);
    QSqlQuery q(account.connection.database());
    q.exec(QStringLiteral("SELECT count(*) FROM bom_opcomponentopt WHERE OptionsId = 23"));
    q.next();
    EXPECT_EQ(q.value(0).toInt(), 1); // the tyre's line still uses them
    undoRun(account.connection, result.runId, QStringLiteral("tester"));
    EXPECT_EQ(account.scratch.dump(), before);
}
