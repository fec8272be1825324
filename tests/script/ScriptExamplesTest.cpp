// The scripts in examples/, run by q7bom as a user runs them, with their
// output and their effect on the account checked against the subcommands
// that do the same.
#include "support/ScratchAccount.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Finished {
    int status = -1;
    QString out, err;
};

Finished q7bom(const QStringList& args, const QByteArray& input = {})
{
    QProcess process;
    process.start(QStringLiteral(Q7BOM_PATH), args);
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(120000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

QString example(const char* name) { return QStringLiteral(Q7_EXAMPLES_DIR "/") + QString::fromLatin1(name); }

QString fileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

TEST(ScriptExamples, ProgramTypesAnswerAsTheSubcommand)
{
    fake::ScratchAccount account;
    const Finished script = q7bom({"script", "--db", account.path(), example("program-types.js")});
    ASSERT_EQ(script.status, 0) << script.err.toStdString();
    const Finished command = q7bom({"program-types", "--format", "csv"});
    ASSERT_EQ(command.status, 0);
    EXPECT_EQ(QString(script.out).replace(u'\t', u','), command.out);
    EXPECT_EQ(script.out.count(u'\n'), 17); // a heading and 16 menu keys
    EXPECT_TRUE(script.out.contains(QStringLiteral("BO01002\t6\tBO61\tclsBO01002\n")));
}

TEST(ScriptExamples, ReportToCsvWritesWhatTheReportCommandPrints)
{
    fake::ScratchAccount account;
    QTemporaryDir dir;
    const struct {
        QStringList filters; // as the script takes them, and as --filter
        int status;
        const char* stdoutHas;
        const char* stderrHas;
    } cases[] = {
        {{"InvCode=BK-100", "EffDate=2025-07-01"}, 0, "BO02004: 24 rows written to ", ""},
        // the line that starts on the effective date is in force on it
        {{"InvCode=BK-100..BK-100", "EffDate=2025-06-30", "QueryType=阶列式"}, 0, "rows written to ", ""},
        {{"InvCode=ZZ-999", "EffDate=2025-07-01"}, 0, "BO02004: 0 rows written to ", ""},
        {{"EffDate="}, 2, "", "[ 有效日期 ] 必须输入！"},
        {{"NoSuchItem=1"}, 1, "", "report-csv.js:26: run-time error 5: Report BO02004 has no filter item NoSuchItem"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filters.join(u' ').toStdString());
        const QString csv = dir.filePath(QStringLiteral("out%1.csv").arg(++n));
        const Finished script = q7bom(QStringList{"script", "--db", account.path(), example("report-csv.js"), "BO02004", csv} + c.filters);
        EXPECT_EQ(script.status, c.status) << script.err.toStdString();
        EXPECT_TRUE(script.out.contains(QString::fromUtf8(c.stdoutHas))) << script.out.toStdString();
        EXPECT_TRUE(script.err.contains(QString::fromUtf8(c.stderrHas))) << script.err.toStdString();
        if (c.status != 0) {
            EXPECT_FALSE(QFile::exists(csv));
            continue;
        }
        QStringList reportArgs{"report", "BO02004", "--db", account.path(), "--format", "csv"};
        for (const QString& filter : c.filters)
            reportArgs << "--filter" << filter;
        const Finished report = q7bom(reportArgs);
        ASSERT_EQ(report.status, 0) << report.err.toStdString();
        EXPECT_EQ(fileText(csv), report.out);
        EXPECT_TRUE(report.out.startsWith(QStringLiteral("顶层母件,")));
    }
}

TEST(ScriptExamples, ReplaceComponentPreviewsThenReplacesAsTheMaintainCommand)
{
    fake::ScratchAccount account, reference;
    const QString before = account.dump();
    const QStringList script{"script", "--db", account.path(), example("replace-component.js")};

    // without --apply: the dry run only
    const Finished preview = q7bom(script + QStringList{"HB-220", "HB-210"});
    ASSERT_EQ(preview.status, 0) << preview.err.toStdString();
    EXPECT_EQ(account.dump(), before);
    EXPECT_TRUE(preview.out.startsWith(QStringLiteral("Dry run:\n  BK-100(红) | 主BOM 2 | 40 | HB-220 | HB-210 | 1 | 2025-07-01 | 2099-12-31\n")))
        << preview.out.toStdString();
    EXPECT_TRUE(preview.out.endsWith(QStringLiteral("3 行将替换\n"))) << preview.out.toStdString();

    // refused by the form's handler: nothing runs
    const Finished refused = q7bom(script + QStringList{"BK-100", "HB-210", "--apply"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("[ 颜色 ] 必须输入！"))) << refused.err.toStdString();
    EXPECT_EQ(account.dump(), before);

    // applied: the same change as the maintain command's, recorded as a run
    const Finished applied = q7bom(script + QStringList{"HB-220", "HB-210", "--apply"});
    ASSERT_EQ(applied.status, 0) << applied.err.toStdString();
    EXPECT_TRUE(applied.out.contains(QStringLiteral("Replacing:\n"))) << applied.out.toStdString();
    EXPECT_TRUE(applied.out.endsWith(QStringLiteral("Recorded as run 1 (q7bom maintain --undo 1 restores it)\n"))) << applied.out.toStdString();
    ASSERT_EQ(q7bom({"maintain", "replace", "--OldInvCode", "HB-220", "--NewInvCode", "HB-210", "--db", reference.path()}).status, 0);
    EXPECT_NE(account.dump(), before);
    EXPECT_EQ(account.dump(), reference.dump());

    // nothing left to replace: the dry run says so and the script stops
    const Finished again = q7bom(script + QStringList{"HB-220", "HB-210", "--apply"});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out, QStringLiteral("Dry run:\n0 行将替换\n"));
    ASSERT_EQ(q7bom({"maintain", "--undo", "1", "--db", account.path()}).status, 0);
    EXPECT_EQ(account.dump(), before);
}

TEST(ScriptExamples, TheCommandLine)
{
    fake::ScratchAccount account;
    const struct {
        QStringList args;
        QByteArray input;
        int status;
        const char* out;
        const char* errHas;
    } cases[] = {
        {{"-", "a", "--b"}, "print(args.join('|'), scriptName, account.Path.endsWith('.db'));", 0, "a|--b <stdin> true\n", ""},
        {{"-"}, "console.log('to stderr'); print('to stdout');", 0, "to stdout\n", "to stderr\n"},
        {{"-"}, "print(1);\nNothing.Open();", 1, "1\n", "q7bom script: <stdin>:2: run-time error 91: "},
        {{"-"}, "exit(7);", 7, "", ""},
        {{"/no/such/script.js"}, "", 2, "", "cannot read /no/such/script.js"},
        {{}, "", 2, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString() + " " + c.input.toStdString());
        const Finished run = q7bom(QStringList{"script", "--db", account.path()} + c.args, c.input);
        EXPECT_EQ(run.status, c.status) << run.err.toStdString();
        EXPECT_EQ(run.out, QString::fromUtf8(c.out));
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.errHas))) << run.err.toStdString();
    }
    const Finished noAccount = q7bom({"script", "--db", "/no/such.db", "-"}, "print(1)");
    EXPECT_EQ(noAccount.status, 2);
    EXPECT_TRUE(noAccount.err.contains(QStringLiteral("No account database at /no/such.db")));
}

TEST(ScriptExamples, TheTourPrintsWhatTheReadmeShows)
{
    fake::ScratchAccount account;
    const Finished tour = q7bom({"script", "--db", account.path(), example("tour.js")});
    EXPECT_EQ(tour.status, 1);
    EXPECT_EQ(tour.out, QStringLiteral("层级 | 母件编码 | 子件编码 | 子件名称\n"
                                       "1 | BK-100 | FR-200 | 车架组件\n"
                                       "2 | FR-200 | FR-210 | 车架焊接件\n"
                                       "3 | FR-210 | TB-300 | 钢管\n"
                                       "BO02004: 5 clsBO02004\n"
                                       "[ 物料编码 ] 不接受 BK-100\n"
                                       "taken\n"
                                       "caught 438 Object doesn't support this property or method\n"));
    EXPECT_EQ(tour.err, QStringLiteral("q7bom script: tour.js:41: run-time error 5: Unknown report BO02099 (known: BO02003, BO02004, "
                                       "BO02005, BO02006, BO02007, BO02008, BO02009, BO02010)\n"));
}

TEST(ScriptExamples, VoucherChangesOneLineAndSavesIt)
{
    fake::ScratchAccount account;
    const QStringList script{"script", "--db", account.path(), example("voucher-change-line.js")};
    const QString before = account.dump();
    // refused by the voucher: a quantity that is no number; nothing is written
    const Finished refused = q7bom(script + QStringList{"WH-200", "SP-320", "abc"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(account.dump(), before);
    // 40 spokes with 3 % scrap on a variable line without parent scrap: 41.2
    const Finished changed = q7bom(script + QStringList{"WH-200", "SP-320", "40"});
    ASSERT_EQ(changed.status, 0) << changed.err.toStdString();
    EXPECT_EQ(changed.out, QStringLiteral("before  line 2: SP-320 base quantity 36, usage quantity 37.08\n"
                                          "saved   line 2: SP-320 base quantity 40, usage quantity 41.2\n"));
    const Finished shown = q7bom({"bom", "show", "WH-200", "--db", account.path()});
    EXPECT_TRUE(shown.out.contains(QStringLiteral("SP-320    辐条                40"))) << shown.out.toStdString();
}
