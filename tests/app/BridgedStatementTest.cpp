// `q7bom report KEY --bridged` prints the statement as a file account runs it:
// plain SQL that the embedded database runs without the functions the
// account's connection registers, giving the report's rows.
#include "app/BomCsv.h"
#include "support/FakeHost.h"

#include <QProcess>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <memory>

using namespace q7::app;

namespace {

struct ProcessRun {
    int status = -1;
    QByteArray out;
    QString err;
};

ProcessRun q7bom(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(Q7BOM_PATH), args);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
}

// The statement's column names and the first cell of every row, read through
// a bare connection: no function of the account's connection is registered.
QList<QStringList> plainRows(const QString& account, const QByteArray& statement)
{
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open_v2(account.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    const std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close);
    EXPECT_EQ(opened, SQLITE_OK);
    sqlite3_stmt* prepared = nullptr;
    if (sqlite3_prepare_v2(raw, statement.constData(), static_cast<int>(statement.size()), &prepared, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(raw);
        return {};
    }
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> finalized(prepared, sqlite3_finalize);
    QList<QStringList> rows{{}};
    for (int i = 0; i < sqlite3_column_count(prepared); ++i)
        rows.first().append(QString::fromUtf8(sqlite3_column_name(prepared, i)));
    while (sqlite3_step(prepared) == SQLITE_ROW)
        rows.append({QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(prepared, 0)))});
    return rows;
}

} // namespace

TEST(BridgedStatement, RunsOnTheBareFileWithTheReportsRows)
{
    const QString demo = fake::demoAccountPath();
    const struct {
        const char* key;
        QStringList filters;
        int rows; // at least: a case that returns nothing proves little
    } cases[] = {
        {"BO02003", {}, 30},
        {"BO02003", {"--filter", "vp.InvCode=BS-200..FN-100"}, 5},
        {"BO02005", {}, 30},
        {"BO02005", {"--filter", "vc.InvCode=CP-400"}, 1},
        {"BO02008", {}, 2},
        {"BO02008", {"--filter", "Sel=公用物料"}, 2},
        {"BO02009", {}, 0},
    };
    for (const auto& c : cases) {
        const QString key = QString::fromLatin1(c.key);
        const std::string what = (key + u' ' + c.filters.join(u' ')).toStdString();
        const ProcessRun bridged = q7bom(QStringList{"report", key, "--db", demo, "--bridged"} + c.filters);
        ASSERT_EQ(bridged.status, 0) << what << bridged.err.toStdString();
        EXPECT_FALSE(bridged.out.contains("convert(")) << what; // the handler's dialect is gone

        const ProcessRun report = q7bom(QStringList{"report", key, "--db", demo, "--format", "csv"} + c.filters);
        ASSERT_EQ(report.status, 0) << what << report.err.toStdString();
        const QList<CsvRecord> csv = parseCsvRecords(QString::fromUtf8(report.out));
        const QList<QStringList> plain = plainRows(demo, bridged.out);
        ASSERT_FALSE(csv.isEmpty()) << what;
        ASSERT_EQ(plain.size(), csv.size()) << what;
        EXPECT_GE(plain.size() - 1, c.rows) << what;
        EXPECT_EQ(plain.first(), csv.first().fields) << what; // the same columns by name
        for (qsizetype i = 1; i < csv.size(); ++i)
            EXPECT_EQ(plain[i].first(), csv[i].fields.first()) << what << " row " << i; // in the same order
    }
}

TEST(BridgedStatement, RefusedForAProcedureReport)
{
    const ProcessRun run = q7bom({"report", "BO02004", "--bridged"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains(QStringLiteral("runs the procedure Usp_BO_ExpandByParent"))) << run.err.toStdString();
}
