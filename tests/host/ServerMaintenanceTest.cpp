// The maintenance operations on a server account: every step gives the same
// preview, summary and BOM rows as on the embedded file, and undo puts every
// row back exactly (the server's row numbers included).
#include "host/db/AccountDatabase.h"
#include "host/process/ops/BomHistory.h"
#include "host/process/ops/ComponentRemove.h"
#include "host/process/ops/ComponentReplace.h"
#include "host/process/ops/Journal.h"
#include "host/process/ops/LowLevelCode.h"
#include "host/process/ops/StructureCheck.h"
#include "platform/data/Ado.h"
#include "support/ScratchAccount.h"
#include "support/SqlRows.h"
#include "support/ServerDatabase.h"

#include <QSqlQuery>
#include <QSqlRecord>

#include <gtest/gtest.h>

#include <functional>

using namespace q7::host::process;
using namespace q7::host::process::ops;

namespace {

using fake::rowsOf;

// The BOM lines with everything that hangs on them, the stored codes and the
// change counters, in the same columns and order on both backends.
QString linesOf(QSqlDatabase& db)
{
    return rowsOf(db, QStringLiteral("SELECT OpComponentId, BomId, ComponentId, OptionsId, SortSeq, OpSeq, BaseQtyN, BaseQtyD, CompScrap, FVFlag, "
                                     "EffBegDate, EffEndDate, ByProductFlag FROM bom_opcomponent ORDER BY OpComponentId"))
           + rowsOf(db, QStringLiteral("SELECT OpComponentId, PartId, Factor, EffBegDate, EffEndDate, Sequence, ReplaceFlag FROM bom_opcomponentsub "
                                       "ORDER BY OpComponentId, PartId"))
           + rowsOf(db, QStringLiteral("SELECT OpComponentId, SortSeq, Loc FROM bom_opcomponentloc ORDER BY OpComponentId, SortSeq"))
           + rowsOf(db, QStringLiteral("SELECT OpComponentId, Remark FROM bom_opcomponentrmk ORDER BY OpComponentId"))
           + rowsOf(db, QStringLiteral("SELECT OptionsId, WhCode, DrawDeptCode, WIPType, PlanFactor, AccuCostFlag, OptionalFlag, MutexRule "
                                       "FROM bom_opcomponentopt ORDER BY OptionsId"))
           + rowsOf(db, QStringLiteral("SELECT PartId, LowLevelCode, EffDate FROM bas_part_llc ORDER BY PartId"))
           + rowsOf(db, QStringLiteral("SELECT ApplyId, DocCode FROM ecn_ecnapply ORDER BY ApplyId"))
           + rowsOf(db, QStringLiteral("SELECT ApplyDId, ApplyId, SortSeq FROM ecn_ecnapplydetail ORDER BY ApplyDId"))
           + rowsOf(db, QStringLiteral("SELECT BomId, ApplyDId FROM bom_bom ORDER BY BomId"));
}

QString changeCounts(QSqlDatabase& db) { return rowsOf(db, QStringLiteral("SELECT BomId, ChangeCount FROM q7_bom_change ORDER BY BomId")); }

// What a step showed: the result, or the refusal's message.
struct Outcome {
    QStringList headers;
    QList<QStringList> rows;
    QString summary;
    int runId = 0;
    bool operator==(const Outcome&) const = default;
};

using Step = std::function<OperationResult(q7::data::Connection&)>;

Outcome outcomeOf(const Step& step, q7::data::Connection& connection)
{
    try {
        const OperationResult r = step(connection);
        return {r.headers, r.rows, r.summary, r.runId};
    } catch (const q7::AutomationError& e) {
        return {{}, {}, QStringLiteral("refused: ") + e.description(), 0};
    }
}

PartKey part(const QString& code, const QString& free1 = QString())
{
    PartKey key{code};
    key.free[0] = free1;
    return key;
}

const RunOptions run{QStringLiteral("tester"), false};
const RunOptions preview{QStringLiteral("tester"), true};

OperationResult replace(q7::data::Connection& c, const PartKey& from, const PartKey& to, const RunOptions& options, const LineScope& scope = {})
{
    return replaceComponent(c, {from, to, scope}, options);
}

// The tyre becomes its substitute from 2026-03-01: the line in force ends, a copy with its options
// and its substitute begins (new rows numbered by the server), and an engineering change names the BOM.
OperationResult dated(q7::data::Connection& c, const RunOptions& options)
{
    return replaceComponent(c, {part("TY-330"), part("TY-331"), {}, QStringLiteral("2026-03-01")}, options);
}

OperationResult historyOf(q7::data::Connection& c)
{
    OperationResult r;
    for (const BomEvent& e : bomHistory(c, QStringLiteral("WH-200")))
        r.rows.append({e.date, e.parent, e.bom, e.event, QString::number(e.sortSeq), e.component, e.quantity, e.change});
    return r;
}

OperationResult runsOf(q7::data::Connection& c)
{
    OperationResult r;
    for (const RunRecord& record : maintenanceRuns(c)) // the time differs
        r.rows.append({QString::number(record.runId), record.operation, record.user, record.parameters, record.summary,
                       QString::number(record.changes), record.undoneBy});
    return r;
}

} // namespace

TEST(ServerMaintenance, EveryOperationAsOnTheFile)
{
    Q7_NEEDS_SERVER();
    const fake::ScratchAccount scratch;
    const fake::ServerDatabase database;
    q7::host::db::createDemoAccount(database.account());
    q7::data::Connection file, server;
    file.Open(q7::host::db::connectionStringFor(scratch.path()));
    server.Open(database.account());
    ensureMaintenanceTables(file);

    const QString originalLines = linesOf(file.database());
    ASSERT_EQ(linesOf(server.database()), originalLines);
    const QString subRowids = QStringLiteral("SELECT rowid, OpComponentId, PartId FROM bom_opcomponentsub ORDER BY rowid");
    const QString locRowids = QStringLiteral("SELECT rowid, OpComponentId, SortSeq FROM bom_opcomponentloc ORDER BY rowid");
    const QString serverRowids = rowsOf(server.database(), subRowids) + rowsOf(server.database(), locRowids);

    struct Case {
        const char* what;
        Step step;
        bool writes; // a run is recorded
    };
    const LineScope mainInForce{QString(), QString(), 1, QStringLiteral("2025-06-30")};
    const QList<Case> cases{
        {"replace preview", [&](auto& c) { return replace(c, part("HB-220"), part("HB-210"), preview, mainInForce); }, false},
        {"replace in force", [&](auto& c) { return replace(c, part("HB-220"), part("HB-210"), run, mainInForce); }, true},
        {"replace the rest", [&](auto& c) { return replace(c, part("HB-220"), part("HB-210"), run); }, true},
        {"replace from a date, preview", [&](auto& c) { return dated(c, preview); }, false},
        {"replace from a date (ends, copies, engineering change)", [&](auto& c) { return dated(c, run); }, true},
        {"history after it", [&](auto& c) { return historyOf(c); }, false},
        {"replace nothing left", [&](auto& c) { return replace(c, part("HB-220"), part("HB-210"), run); }, false},
        {"replace by itself", [&](auto& c) { return replace(c, part("HB-210"), part("hb-210"), run); }, false},
        {"replace into a cycle", [&](auto& c) { return replace(c, part("ST-400"), part("BK-100", QStringLiteral("红")), run); }, false},
        {"replace unknown", [&](auto& c) { return replace(c, part("ZZ-999"), part("HB-210"), run); }, false},
        {"remove preview (substitute)", [&](auto& c) { return removeComponent(c, part("SP-320"), preview); }, false},
        {"remove (substitute, options)", [&](auto& c) { return removeComponent(c, part("SP-320"), run); }, true},
        {"remove (locations, remark)", [&](auto& c) { return removeComponent(c, part("CP-400"), run); }, true},
        {"llc preview", [&](auto& c) { return runLowLevelCode(c, QStringLiteral("2026-12-07"), preview); }, false},
        {"llc", [&](auto& c) { return runLowLevelCode(c, QStringLiteral("2026-12-07"), run); }, true},
        {"llc again, nothing to change", [&](auto& c) { return runLowLevelCode(c, QStringLiteral("2026-12-07"), run); }, false},
        {"llc another date", [&](auto& c) { return runLowLevelCode(c, QStringLiteral("2020-01-01"), run); }, true},
        {"check 1 level", [&](auto& c) { return checkStructure(c, 1, QStringLiteral("2026-12-07")); }, false},
        {"check 3 levels", [&](auto& c) { return checkStructure(c, 3, QStringLiteral("2026-12-07")); }, false},
        {"runs", [&](auto& c) { return runsOf(c); }, false},
    };
    int runs = 0;
    for (const Case& c : cases) {
        const Outcome onFile = outcomeOf(c.step, file), onServer = outcomeOf(c.step, server);
        EXPECT_EQ(onServer, onFile) << c.what << "\nfile:   " << onFile.summary.toStdString() << "\nserver: " << onServer.summary.toStdString();
        EXPECT_EQ(onFile.runId != 0, c.writes) << c.what << ": " << onFile.summary.toStdString();
        runs += onFile.runId != 0;
        EXPECT_EQ(linesOf(server.database()), linesOf(file.database())) << c.what;
        EXPECT_EQ(changeCounts(server.database()), changeCounts(file.database())) << c.what;
    }
    ASSERT_EQ(runs, 7);
    EXPECT_NE(linesOf(server.database()), originalLines);
    EXPECT_FALSE(changeCounts(server.database()).isEmpty()); // a voucher that loaded a changed BOM cannot save over it

    // A line changed after a run keeps that run from being undone, on both.
    const QString line = rowsOf(file.database(), QStringLiteral("SELECT RowKey FROM q7_maint_change WHERE RunId = 1 ORDER BY Seq LIMIT 1")).trimmed();
    const QString quantity =
        rowsOf(file.database(), QStringLiteral("SELECT BaseQtyN FROM bom_opcomponent WHERE OpComponentId = %1").arg(line)).trimmed();
    ASSERT_FALSE(quantity.isEmpty()) << line.toStdString();
    for (q7::data::Connection* c : {&file, &server})
        QSqlQuery(c->database()).exec(QStringLiteral("UPDATE bom_opcomponent SET BaseQtyN = 9 WHERE OpComponentId = %1").arg(line));
    const QString tampered = linesOf(file.database());
    const Step undoFirst = [](auto& c) { return undoRun(c, 1, QStringLiteral("tester")); };
    const Outcome refusedOnFile = outcomeOf(undoFirst, file), refusedOnServer = outcomeOf(undoFirst, server);
    EXPECT_TRUE(refusedOnFile.summary.startsWith(QStringLiteral("refused: "))) << refusedOnFile.summary.toStdString();
    EXPECT_EQ(refusedOnServer, refusedOnFile);
    EXPECT_EQ(linesOf(server.database()), tampered);
    for (q7::data::Connection* c : {&file, &server})
        QSqlQuery(c->database()).exec(QStringLiteral("UPDATE bom_opcomponent SET BaseQtyN = %1 WHERE OpComponentId = %2").arg(quantity, line));

    // Every run undone, latest first: the account as it was, row for row.
    const QString countsBeforeUndo = changeCounts(server.database());
    for (int runId = runs; runId >= 1; --runId) {
        const Step undo = [runId](auto& c) { return undoRun(c, runId, QStringLiteral("tester")); };
        const Outcome onFile = outcomeOf(undo, file), onServer = outcomeOf(undo, server);
        EXPECT_EQ(onServer, onFile) << "undo " << runId << ": " << onServer.summary.toStdString();
        EXPECT_EQ(linesOf(server.database()), linesOf(file.database())) << "undo " << runId;
    }
    EXPECT_EQ(linesOf(file.database()), originalLines);
    const QString withoutCodes = QStringLiteral("SELECT count(*) FROM bas_part_llc");
    EXPECT_EQ(rowsOf(server.database(), withoutCodes), QStringLiteral("0\n"));
    EXPECT_EQ(linesOf(server.database()), originalLines);
    EXPECT_EQ(rowsOf(server.database(), subRowids) + rowsOf(server.database(), locRowids), serverRowids);
    EXPECT_NE(changeCounts(server.database()), countsBeforeUndo); // the undone lines moved their BOMs on again
    EXPECT_EQ(changeCounts(server.database()), changeCounts(file.database()));

    // An undone run stays undone; the next run on the server gets the next number.
    EXPECT_TRUE(outcomeOf(undoFirst, server).summary.contains(QStringLiteral("已于")));
    const Outcome again = outcomeOf([&](auto& c) { return replace(c, part("HB-220"), part("HB-210"), run); }, server);
    EXPECT_EQ(again.runId, runs + 1) << again.summary.toStdString();
}

// A server account made before the journal's row numbers: they are added on first use.
TEST(ServerMaintenance, AnEarlierServerAccountIsUpgradedOnFirstUse)
{
    Q7_NEEDS_SERVER();
    const fake::ServerDatabase database;
    q7::host::db::createDemoAccount(database.account());
    q7::data::Connection server;
    server.Open(database.account());
    server.executeNative(QStringLiteral("ALTER TABLE bom_opcomponentsub DROP COLUMN rowid; ALTER TABLE bom_opcomponentloc DROP COLUMN rowid; "
                                        "ALTER TABLE q7_maint_run ALTER COLUMN RunId DROP IDENTITY; "
                                        "INSERT INTO q7_maint_run (RunId, Operation, UserName, RunAt) VALUES (4, 'llc', 'earlier', '2026-01-01 00:00:00')"));
    const OperationResult removed = removeComponent(server, part("CP-400"), run);
    EXPECT_EQ(removed.runId, 5);
    const QString before = rowsOf(server.database(), QStringLiteral("SELECT OpComponentId, SortSeq, Loc FROM bom_opcomponentloc ORDER BY 1, 2"));
    EXPECT_NO_THROW(undoRun(server, 5, QStringLiteral("tester")));
    const QString after = rowsOf(server.database(), QStringLiteral("SELECT OpComponentId, SortSeq, Loc FROM bom_opcomponentloc ORDER BY 1, 2"));
    EXPECT_NE(after, before);
    EXPECT_EQ(after.count(u'\n'), 4);
}

// Another client changes a line while a run is writing: the run fails and
// writes nothing, and the other client's change stands.
TEST(ServerMaintenance, ALineChangedDuringTheRunIsNotWrittenOver)
{
    Q7_NEEDS_SERVER();
    const fake::ServerDatabase database;
    q7::host::db::createDemoAccount(database.account());
    q7::data::Connection server, other;
    server.Open(database.account());
    other.Open(database.account());
    const QString lines = QStringLiteral("SELECT c.OpComponentId, p.InvCode FROM bom_opcomponent c JOIN bas_part p ON p.PartId = c.ComponentId "
                                         "WHERE c.OpComponentId IN (7, 13, 16) ORDER BY 1");
    ASSERT_EQ(rowsOf(server.database(), lines), QStringLiteral("7|HB-220\n13|HB-220\n16|HB-220\n"));
    const QString runs = QStringLiteral("SELECT count(*) FROM q7_maint_run");
    const QString runsBefore = rowsOf(server.database(), runs);

    RunOptions racing{QStringLiteral("tester"), false};
    bool changed = false;
    racing.progress = [&](int64_t, int64_t) {
        if (changed)
            return;
        changed = true; // a line of the run, read but not yet written, goes to another part
        QSqlQuery query(other.database());
        ASSERT_TRUE(query.exec(QStringLiteral("UPDATE bom_opcomponent SET ComponentId = (SELECT PartId FROM bas_part WHERE InvCode = 'WH-200') "
                                              "WHERE OpComponentId = 16")));
    };
    EXPECT_THROW(replace(server, part("HB-220"), part("HB-210"), racing), q7::AutomationError);
    EXPECT_TRUE(changed);
    // the other client's part stands, and no line went to HB-210
    EXPECT_EQ(rowsOf(server.database(), lines), QStringLiteral("7|HB-220\n13|HB-220\n16|WH-200\n"));
    EXPECT_EQ(rowsOf(server.database(), runs), runsBefore);

    // run again, it replaces what is HB-220 now
    EXPECT_NE(replace(server, part("HB-220"), part("HB-210"), run).runId, 0);
    EXPECT_EQ(rowsOf(server.database(), lines), QStringLiteral("7|HB-210\n13|HB-210\n16|WH-200\n"));
}
