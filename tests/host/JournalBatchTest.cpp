// The maintenance journal's batches write and record exactly what the same
// changes written row by row write and record, on the file and on the server:
// the same journal rows (Seq, table, key, Before, After), the same account,
// and an undo that gives the account back as it was.
#include "host/db/AccountDatabase.h"
#include "host/process/ops/ComponentReplace.h"
#include "host/process/ops/Journal.h"
#include "host/process/ops/LowLevelCode.h"
#include "host/process/ops/Transaction.h"
#include "platform/data/Ado.h"
#include "support/ServerDatabase.h"
#include "support/SqlRows.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace q7::host::process;
using namespace q7::host::process::ops;

namespace {

QString rowsOf(QSqlDatabase& db, const QString& sql) { return fake::rowsOf(db, sql, fake::comparableText); }

QString accountRows(QSqlDatabase& db)
{
    return rowsOf(db, QStringLiteral("SELECT PartId, LowLevelCode, EffDate FROM bas_part_llc ORDER BY PartId"))
           + rowsOf(db, QStringLiteral("SELECT OpComponentId, BomId, ComponentId, SortSeq, BaseQtyN, EffBegDate, EffEndDate FROM bom_opcomponent "
                                       "ORDER BY OpComponentId"));
}

// The journal of a run without its number.
QString journalOf(QSqlDatabase& db, int runId)
{
    return rowsOf(db, QStringLiteral("SELECT Operation, UserName, Parameters, Summary, Changes FROM q7_maint_run WHERE RunId = %1").arg(runId))
           + rowsOf(db, QStringLiteral("SELECT Seq, TableName, RowKey, Before, After FROM q7_maint_change WHERE RunId = %1 ORDER BY Seq").arg(runId));
}

// Stored codes partly stale and partly missing: llc changes some and makes the others.
void prepare(q7::data::Connection& connection)
{
    RunOptions setup{QStringLiteral("setup"), false};
    setup.journalChunkRows = 0;
    ASSERT_NE(runLowLevelCode(connection, QStringLiteral("2026-12-07"), setup).runId, 0);
    QSqlQuery query(connection.database());
    ASSERT_TRUE(query.exec(QStringLiteral("UPDATE bas_part_llc SET LowLevelCode = 99, EffDate = '2009-12-31' WHERE PartId % 5 = 0")));
    ASSERT_TRUE(query.exec(QStringLiteral("DELETE FROM bas_part_llc WHERE PartId % 9 = 0")));
}

struct Outcome {
    QString journal, changed, undone;
    int changes = 0;
};

using Operation = std::function<OperationResult(q7::data::Connection&, const RunOptions&)>;

Outcome runAndUndo(q7::data::Connection& connection, const Operation& operation, int chunkRows)
{
    RunOptions options{QStringLiteral("tester"), false};
    options.journalChunkRows = chunkRows;
    const OperationResult result = operation(connection, options);
    Outcome outcome;
    outcome.journal = journalOf(connection.database(), result.runId);
    outcome.changed = accountRows(connection.database());
    outcome.changes = result.runId ? static_cast<int>(result.rows.size()) : 0;
    const OperationResult undone = undoRun(connection, result.runId, QStringLiteral("tester"));
    outcome.undone = accountRows(connection.database());
    return outcome;
}

// Chunk sizes around n changes: exactly one chunk, chunks that end exactly at the
// last row, chunks with a short last one, one row short of one chunk.
QList<int> chunkSizesFor(int n)
{
    int divisor = 0;
    for (int d = n / 2; d >= 2 && !divisor; --d)
        if (n % d == 0)
            divisor = d;
    return {n, divisor, 7, n - 1, n + 1, 1};
}

void expectBatchesAsRowByRow(q7::data::Connection& connection, const char* backend)
{
    prepare(connection);
    const QString before = accountRows(connection.database());
    struct Case {
        const char* what;
        Operation operation;
    };
    const QList<Case> cases{
        {"llc", [](auto& c, const RunOptions& o) { return runLowLevelCode(c, QStringLiteral("2026-12-07"), o); }},
        {"replace", [](auto& c, const RunOptions& o) {
             return replaceComponent(c, {PartKey{QStringLiteral("S0000100")}, PartKey{QStringLiteral("S0000101")}, {}}, o);
         }},
    };
    for (const Case& c : cases) {
        const Outcome reference = runAndUndo(connection, c.operation, 0);
        ASSERT_GT(reference.changes, 20) << backend << " " << c.what << ": the fixture must change more rows than a small chunk";
        EXPECT_EQ(reference.undone, before) << backend << " " << c.what;
        const QList<int> sizes = chunkSizesFor(reference.changes);
        ASSERT_GT(sizes[1], 0) << backend << " " << c.what << ": " << reference.changes << " changes, no chunk size divides them";
        for (int chunk : sizes) {
            const Outcome batched = runAndUndo(connection, c.operation, chunk);
            EXPECT_EQ(batched.journal, reference.journal) << backend << " " << c.what << ", " << chunk << " rows per chunk";
            EXPECT_EQ(batched.changed, reference.changed) << backend << " " << c.what << ", " << chunk << " rows per chunk";
            EXPECT_EQ(batched.undone, before) << backend << " " << c.what << ", " << chunk << " rows per chunk";
        }
    }
}

// 120 parts on 3 levels, 30 lines per BOM: a leaf is a component of some 30 lines.
const q7::host::db::SyntheticOptions forest{120, 3, 30, 7};

using Check = std::function<void(q7::data::Connection&, const char*)>;

void onForestFile(const Check& check)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("forest.q7db"));
    q7::host::db::createSyntheticAccount(path, forest);
    q7::data::Connection connection;
    q7::host::db::openAccount(connection, path);
    check(connection, "file");
}

void onForestServer(const Check& check)
{
    const fake::ServerDatabase database;
    q7::host::db::createSyntheticAccount(database.account(), forest);
    q7::data::Connection connection;
    q7::host::db::openAccount(connection, database.account());
    check(connection, "server");
}

} // namespace

namespace {

// A batch naming an absent row (updateMany makes none) or a row twice is refused before
// it writes anything: inside the still open transaction the lines and the journal are as
// they were (on the server the chunk's scratch table is dropped before the next use).
void expectRefusedBatchesWriteNothing(q7::data::Connection& connection, const char* backend)
{
    ensureMaintenanceTables(connection);
    QSqlDatabase& db = connection.database();
    const QString lines = accountRows(db);
    const QList<QList<KeyedRow>> refused{
        {{1, {QVariant(5)}}, {999999, {QVariant(5)}}},               // the present row first, then the absent one
        {{999999, {QVariant(5)}}, {1, {QVariant(5)}}},               // the absent one first
        {{1, {QVariant(5)}}, {2, {QVariant(5)}}, {1, {QVariant(6)}}}, // row 1 twice
    };
    for (const QList<KeyedRow>& rows : refused) {
        Transaction transaction(db);
        Journal journal(db, QStringLiteral("test"), QStringLiteral("tester"), QString());
        journal.setChunkRows(2); // one chunk holds the present row and the absent one
        EXPECT_ANY_THROW(journal.updateMany(QStringLiteral("bom_opcomponent"), {QStringLiteral("ComponentId")}, rows)) << backend;
        EXPECT_EQ(accountRows(db), lines) << backend << ": written before the refusal";
        EXPECT_EQ(rowsOf(db, QStringLiteral("SELECT count(*) FROM q7_maint_change")), rowsOf(db, QStringLiteral("SELECT 0"))) << backend;
    } // not committed
    EXPECT_EQ(accountRows(db), lines) << backend;
    // a batch after the refused ones is written
    Transaction transaction(db);
    Journal journal(db, QStringLiteral("test"), QStringLiteral("tester"), QString());
    journal.updateMany(QStringLiteral("bom_opcomponent"), {QStringLiteral("ComponentId")}, {{1, {QVariant(5)}}, {2, {QVariant(5)}}});
    EXPECT_EQ(rowsOf(db, QStringLiteral("SELECT ComponentId FROM bom_opcomponent WHERE OpComponentId IN (1, 2)")),
              rowsOf(db, QStringLiteral("SELECT 5 UNION ALL SELECT 5"))) << backend;
    EXPECT_EQ(journal.changes(), 2) << backend;
}

} // namespace

TEST(JournalBatch, LlcAndReplaceOnTheFileAsRowByRow) { onForestFile(expectBatchesAsRowByRow); }

TEST(JournalBatch, LlcAndReplaceOnTheServerAsRowByRow)
{
    Q7_NEEDS_SERVER();
    onForestServer(expectBatchesAsRowByRow);
}

TEST(JournalBatch, AnAbsentRowOrATwiceNamedOneIsRefusedOnTheFile) { onForestFile(expectRefusedBatchesWriteNothing); }

TEST(JournalBatch, AnAbsentRowOrATwiceNamedOneIsRefusedOnTheServer)
{
    Q7_NEEDS_SERVER();
    onForestServer(expectRefusedBatchesWriteNothing);
}
