#include "support/FakeHost.h"
#include "support/Files.h"

#include "app/BomCommand.h"
#include "app/BomImport.h"
#include "host/db/AccountDatabase.h"
#include "platform/data/Ado.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>

using namespace q7::app;

namespace {

using fake::readAll;
using fake::write;

TEST(BomCsv, ParsesQuotedFieldsAndLineEnds)
{
    struct Case {
        const char* text;
        QList<QStringList> records;
    } cases[] = {
        {"a,b\n1,2\n", {{"a", "b"}, {"1", "2"}}},
        {"a,b\r\n1,\r\n", {{"a", "b"}, {"1", ""}}},
        {"\"x,y\",\"say \"\"hi\"\"\"\nlast", {{"x,y", "say \"hi\""}, {"last"}}},
        {"\"two\nlines\",z\n\n", {{"two\nlines", "z"}}},
        {",\n", {{"", ""}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseCsv(QString::fromUtf8(c.text)), c.records) << c.text;
    for (const char* broken : {"\"open", "a,12\"管,b\n", "a,\"x\"y,b\n", "\"x\" ,b\n"}) // unclosed, a stray quote, text after the closing one
        EXPECT_EQ(fake::errorOf([&] { parseCsv(QString::fromUtf8(broken)); }), 5) << broken;
}

class BomCommand : public testing::Test {
protected:
    void SetUp() override
    {
        fake::resetRecords();
        db = dir.filePath(QStringLiteral("account.db"));
        q7::host::db::createDemoAccount(db);
    }
    int run(QStringList args)
    {
        args += {QStringLiteral("--db"), db};
        return runBomCommand(args);
    }
    QString file(const char* name) { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
    QString db;
};

TEST_F(BomCommand, ExportedBomsImportBackUnchanged)
{
    // The voucher requires a main BOM's version description; the demo's
    // structure BOMs have none.
    {
        q7::data::Connection connection;
        connection.Open(q7::host::db::connectionStringFor(db));
        connection.executeNative(QStringLiteral("UPDATE bom_bom SET VersionDesc = '标准' WHERE BomType = 1 AND VersionDesc IS NULL"));
    }
    for (const char* item : {"BK-100", "WH-200", "FN-100"}) {
        ASSERT_EQ(run({QStringLiteral("export"), QString::fromLatin1(item), QStringLiteral("--out"), file("a.csv")}), 0) << item;
        ASSERT_EQ(run({QStringLiteral("import"), file("a.csv")}), 0) << item;
        ASSERT_EQ(run({QStringLiteral("export"), QString::fromLatin1(item), QStringLiteral("--out"), file("b.csv")}), 0) << item;
        EXPECT_EQ(readAll(file("a.csv")), readAll(file("b.csv"))) << item;
    }
    EXPECT_TRUE(readAll(file("a.csv")).startsWith("cInvCode,InvFree_1,InvFree_2,BomType,Version,"));
}

TEST_F(BomCommand, RefusedBomLeavesTheWholeFileUnwritten)
{
    const QByteArray header = bomCsvColumns().join(u',').toUtf8() + '\n';
    struct Case {
        const char* rows;
        int message; // the voucher's message, 0 for a refused value
    } cases[] = {
        // a good BOM, then one that makes TB-300 its own component
        {"BS-200,,,主BOM,1,试制,2026-12-01,,,0,10,ST-400,,,,2,1,0,变动,领用,,否,是,否,,01,01,2026-12-01,2099-12-31,0,\n"
         "TB-300,,,主BOM,2,新版,2026-12-01,,,0,10,FR-200,,,,1,1,0,变动,领用,,否,是,否,,01,01,2026-12-01,2099-12-31,0,\n",
         61311},
        // two new BOMs that use each other
        {"BS-200,,,主BOM,1,试制,2026-12-01,,,0,10,CP-400,,,,1,1,0,变动,领用,,否,是,否,,01,01,2026-12-01,2099-12-31,0,\n"
         "CP-400,,,主BOM,1,试制,2026-12-01,,,0,10,BS-200,,,,1,1,0,变动,领用,,否,是,否,,01,01,2026-12-01,2099-12-31,0,\n",
         61311},
        // a main BOM without its version description
        {"BS-200,,,主BOM,1,,2026-12-01,,,0,10,ST-400,,,,2,1,0,变动,领用,,否,是,否,,01,01,2026-12-01,2099-12-31,0,\n", 2509},
        // a supply type the list does not have
        {"BS-200,,,主BOM,1,试制,2026-12-01,,,0,10,ST-400,,,,2,1,0,变动,外协,,否,是,否,,01,01,2026-12-01,2099-12-31,0,\n", 0},
    };
    const QByteArray before = readAll(db);
    for (const Case& c : cases) {
        fake::resetRecords();
        write(file("in.csv"), header + QByteArray(c.rows));
        EXPECT_EQ(run({QStringLiteral("import"), file("in.csv")}), 2) << c.rows;
        const ImportResult result = runImport(file("in.csv"), db, false);
        ASSERT_FALSE(result.problems.isEmpty()) << c.rows;
        if (c.message) {
            EXPECT_EQ(result.problems.last().messageNumber, c.message) << c.rows;
        }
        EXPECT_EQ(readAll(db), before) << c.rows;
    }
}

TEST_F(BomCommand, ShowNeedsAnExistingBomAndAccount)
{
    EXPECT_EQ(run({QStringLiteral("show"), QStringLiteral("ST-400")}), 2); // a purchased item without BOM
    EXPECT_EQ(run({QStringLiteral("show"), QStringLiteral("BK-100"), QStringLiteral("--version"), QStringLiteral("9")}), 2);
    EXPECT_EQ(runBomCommand({QStringLiteral("show"), QStringLiteral("BK-100"), QStringLiteral("--db"), QStringLiteral("/nonexistent/x.db")}), 2);
    EXPECT_FALSE(QFile::exists(QStringLiteral("/nonexistent/x.db")));
}

} // namespace
