#include "support/FakeHost.h"

#include "app/OutputTable.h"
#include "app/ReportCommand.h"
#include "platform/AutomationError.h"

#include <gtest/gtest.h>

using namespace q7::app;

TEST(CommandLine, FilterSettings)
{
    struct Case {
        const char* text;
        const char* name;
        const char* low;
        const char* high; // nullptr: a single value
    };
    const Case cases[] = {
        {"InvCode=BK-100", "InvCode", "BK-100", nullptr},
        {"InvCode=BK-100..BK-120", "InvCode", "BK-100", "BK-120"},
        {"Version=3..", "Version", "3", ""},
        {"Version=..5", "Version", "", "5"},
        {"EffDate=", "EffDate", "", nullptr},
        {"Sel=偏置期,供应类型", "Sel", "偏置期,供应类型", nullptr},
        {"x=a=b", "x", "a=b", nullptr},
    };
    for (const Case& c : cases) {
        const auto setting = parseFilterSetting(QString::fromUtf8(c.text));
        EXPECT_EQ(setting.name, QString::fromUtf8(c.name)) << c.text;
        EXPECT_EQ(setting.low, QString::fromUtf8(c.low)) << c.text;
        EXPECT_EQ(setting.high.has_value(), c.high != nullptr) << c.text;
        if (c.high) {
            EXPECT_EQ(*setting.high, QString::fromUtf8(c.high)) << c.text;
        }
    }
    EXPECT_THROW(parseFilterSetting(QStringLiteral("novalue")), q7::AutomationError);
    EXPECT_THROW(parseFilterSetting(QStringLiteral("=x")), q7::AutomationError);
}

TEST(CommandLine, TablesAlignChineseTextAndQuoteCsv)
{
    OutputTable table;
    table.headers = {QStringLiteral("编码"), QStringLiteral("qty")};
    table.rows = {{QStringLiteral("BK-100"), QStringLiteral("1.5")}, {QStringLiteral("螺栓"), QStringLiteral("4")}};
    // Chinese characters take two columns: "编码" is as wide as "BK-1"
    EXPECT_EQ(table.render(OutputTable::Format::Table), QStringLiteral("编码    qty\nBK-100  1.5\n螺栓    4\n"));
    table.rows.append({QStringLiteral("a,\"b\""), QString()});
    EXPECT_TRUE(table.render(OutputTable::Format::Csv).endsWith(QStringLiteral("\"a,\"\"b\"\"\",\n")));
    // JSON keeps the column order and types: numbers as numbers, NULL as null
    OutputTable typed;
    typed.headers = {QStringLiteral("z"), QStringLiteral("a"), QStringLiteral("n")};
    typed.rows = {{QStringLiteral("螺\"栓"), 5 * 12345678901.0, QVariant()}};
    EXPECT_EQ(typed.render(OutputTable::Format::Json),
              QStringLiteral("{\n  \"columns\": [\"z\", \"a\", \"n\"],\n  \"rows\": [\n    [\"螺\\\"栓\", 61728394505, null]\n  ]\n}\n"));
    OutputTable::Format format;
    EXPECT_FALSE(OutputTable::parseFormat(QStringLiteral("xml"), format));
}

TEST(CommandLine, NumbersExactInExportsAndPlainInTables)
{
    struct Case {
        double value;
        const char* exact;
        const char* display;
    };
    const Case cases[] = {
        {5 * 12345678901.0, "61728394505", "61728394505"},
        {1 / 0.98, "1.0204081632653061", "1.020408163"},
        {0.1 + 0.2, "0.30000000000000004", "0.3"},
        {0.3153988868, "0.3153988868", "0.3153988868"},
        {4.2, "4.2", "4.2"},
        {1e-7, "1e-07", "0.0000001"},
        {123456789012345.6, "123456789012345.6", "123456789012346"},
        {1e20, "100000000000000000000", "100000000000000000000"},
        {-2.5, "-2.5", "-2.5"},
        {0, "0", "0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OutputTable::exactNumber(c.value), QString::fromLatin1(c.exact)) << c.exact;
        EXPECT_EQ(OutputTable::exactNumber(c.value).toDouble(), c.value) << c.exact; // reads back the same
        EXPECT_EQ(OutputTable::displayNumber(c.value), QString::fromLatin1(c.display)) << c.exact;
    }
}

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

// The command as a user runs it: exit status, nothing but data on standard output, messages on standard error.
TEST(CommandLine, ExitStatusAndStreams)
{
    struct Case {
        QStringList args;
        int status;
        const char* stderrHas;
    };
    const QString demo = fake::demoAccountPath();
    const QList<Case> cases{
        {{"report", "BO02004", "--db", demo, "--filter", "InvCode=FN-100", "--format=csv"}, 0, "rows"},
        {{"report"}, 2, "missing argument"},
        {{"report", "BO02004", "--bogus"}, 2, "Unknown option 'bogus'"},
        {{"report", "BO02004", "--db"}, 2, "Missing value after '--db'"},
        {{"report", "BO02004", "--db", ""}, 2, "--db needs"},
        {{"report", "BO02004", "--db", demo, "--angle", "2"}, 2, "has no angles"},
        {{"report", "BO02004", "--db", demo, "--filter", "InvCode=Z..A"}, 2, "下限大于上限"},
        {{"report", "BO02007", "--db", demo, "--filter", "Qty=+2"}, 2, "母件数量"},
        {{"report", "BO02007", "--db", demo, "--filter", "Qty=1e20"}, 2, "母件数量"},
        {{"report", "BO02004", "--db", demo, "--max-rows", "3"}, 1, "more than 3 rows"},
        {{"report", "BO02004", "--db", demo, "--max-rows", "abc"}, 2, "--max-rows"},
        {{"splitter-demo", "--percent", "abc"}, 2, "--percent"},
        {{"program-types", "--format", "xml"}, 2, "--format"},
        {{"nonsense"}, 2, "unknown subcommand"},
        {{"init-db", "--synthetic", "--parts", "4294967306", "--path", "/nonexistent/x.db"}, 2, "--parts takes a whole number"},
        {{"init-db", "--parts", "5", "--path", "/nonexistent/x.db"}, 2, "--parts needs --synthetic"},
        {{"init-db", "--path", ""}, 2, "--path needs"},
        {{"init-db", "--synthetic", "--parts", "1", "--path", "/nonexistent/x.db"}, 2, "at least 2 parts"},
        {{"browse", "BK-100", "--version", "-1", "--db", demo}, 2, "--version expects"},
        {{"browse", "BK-100", "--version", "abc", "--db", demo}, 2, "--version expects"},
        {{"browse", "BK-100", "--version", "123456789", "--db", demo}, 2, "--version expects"},
    };
    for (const Case& c : cases) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(Q7BOM_PATH), c.args);
        ASSERT_TRUE(process.waitForFinished(60000));
        const QString out = QString::fromUtf8(process.readAllStandardOutput()), err = QString::fromUtf8(process.readAllStandardError());
        const std::string what = c.args.join(u' ').toStdString();
        EXPECT_EQ(process.exitCode(), c.status) << what << "\n" << err.toStdString();
        EXPECT_TRUE(err.contains(QString::fromUtf8(c.stderrHas))) << what << "\n" << err.toStdString();
        EXPECT_FALSE(err.contains(QStringLiteral("QStandardPaths"))) << what; // no Qt warnings
        if (c.status != 0)
            EXPECT_TRUE(out.isEmpty()) << what << "\n" << out.toStdString();
        else
            EXPECT_TRUE(out.startsWith(QStringLiteral("顶层母件,"))) << out.left(200).toStdString();
    }
}

// Where standard output and standard error go to one file, each message comes
// after the output it closes.
TEST(CommandLine, MessagesFollowTheOutputTheyClose)
{
    QTemporaryDir dir;
    const QString account = dir.filePath(QStringLiteral("acme.db"));
    const struct {
        QStringList args;
        QString expected;
    } cases[] = {
        {{"init-db", "--path", account}, account + QStringLiteral("\n28 items, 30 parts, 13 BOMs, 34 BOM lines\ncreated in ")},
        {{"report", "BO02008", "--db", account, "--format", "csv"}, QStringLiteral("\nFN-100,20,FN100,电风扇,")},
    };
    for (const auto& c : cases) {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setStandardOutputFile(dir.filePath(QStringLiteral("merged.txt")));
        process.start(QStringLiteral(Q7BOM_PATH), c.args);
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 0) << c.args.join(u' ').toStdString();
        QFile merged(dir.filePath(QStringLiteral("merged.txt")));
        ASSERT_TRUE(merged.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(merged.readAll());
        EXPECT_TRUE(text.contains(c.expected)) << text.toStdString();
        EXPECT_TRUE(text.endsWith(QStringLiteral(" MB\n")) || text.endsWith(QStringLiteral("\n2 rows\n"))) << text.toStdString();
    }
}

// A window command's help needs no display.
TEST(CommandLine, HelpOfWindowCommandsWithoutADisplay)
{
    for (const char* command : {"gui", "splitter-demo", "browse"}) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(Q7BOM_PATH), {QString::fromLatin1(command), QStringLiteral("--help")});
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << command;
        EXPECT_EQ(process.exitCode(), 0) << command << process.readAllStandardError().toStdString();
        EXPECT_TRUE(process.readAllStandardOutput().contains("Usage")) << command;
    }
}

TEST(CommandLine, SettingsAsTheFilterDialogTakesThem)
{
    q7::host::report::ReportViewer viewer(QStringLiteral("BO02004"));
    const auto settings = effectiveSettings({parseFilterSetting(QStringLiteral("InvCode=A..B")), parseFilterSetting(QStringLiteral("QueryType=阶列式")),
                                             parseFilterSetting(QStringLiteral("invcode=FN-100")), parseFilterSetting(QStringLiteral("Version=3.."))},
                                            viewer.filter());
    ASSERT_EQ(settings.size(), 3);
    EXPECT_EQ(settings[0].name, QStringLiteral("QueryType"));
    EXPECT_FALSE(settings[0].high.has_value()); // a single item keeps one value
    EXPECT_EQ(settings[1].low, QStringLiteral("FN-100")); // the last setting of InvCode wins whole …
    EXPECT_EQ(settings[1].high, QStringLiteral("FN-100")); // … and one value on a range item is exactly that value
    EXPECT_EQ(settings[2].high, QString());                // LOW.. stays open above
}
