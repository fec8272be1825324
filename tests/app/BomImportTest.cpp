// What `bom import` takes into the account: every hostile file is refused
// with the line and column at fault and the account left byte for byte as it
// was; a file names the BOM it replaces, so importing it again changes
// nothing; a dry run reports every problem at once and writes nothing.
#include "support/FakeHost.h"
#include "support/Files.h"

#include "app/BomCommand.h"
#include "app/BomImport.h"
#include "host/db/AccountDatabase.h"
#include "platform/data/Ado.h"

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

using namespace q7::app;

namespace {

using fake::readAll;
using fake::write;

const QByteArray header = bomCsvColumns().join(u',').toUtf8() + '\n';
// A good line of a new BOM for BS-200 (the base, which has none yet).
const QByteArray goodLine = "BS-200,,,主BOM,1,试制,2026-12-01,,,0,10,ST-400,,,,2,1,0,变动,领用,,否,是,否,,01,01,2026-12-01,2099-12-31,0,\n";

// The good line with one column's value replaced.
QByteArray with(const char* column, const QByteArray& value)
{
    QList<QByteArray> fields = goodLine.trimmed().split(',');
    fields[int(bomCsvColumns().indexOf(QString::fromLatin1(column)))] = value;
    return fields.join(',') + '\n';
}

QByteArray csvOf(const QList<QStringList>& records);

class BomImport : public testing::Test {
protected:
    void SetUp() override
    {
        fake::resetRecords();
        db = dir.filePath(QStringLiteral("account.db"));
        q7::host::db::createDemoAccount(db);
    }
    QString file(const char* name) { return dir.filePath(QString::fromLatin1(name)); }
    ImportResult import(const QByteArray& content, bool dryRun = false)
    {
        write(file("in.csv"), content);
        return runImport(file("in.csv"), db, dryRun);
    }
    int count(const QString& sql)
    {
        q7::data::Connection connection;
        connection.Open(q7::host::db::connectionStringFor(db));
        QSqlQuery q(connection.database());
        EXPECT_TRUE(q.exec(sql) && q.next()) << sql.toStdString();
        return q.value(0).toInt();
    }

    QTemporaryDir dir;
    QString db;
};

TEST_F(BomImport, HostileFilesAreRefusedAtTheirLineAndColumnAndWriteNothing)
{
    struct Case {
        const char* name;
        QByteArray content;
        int line;
        const char* column; // "" when the row as a whole is at fault
    };
    const QByteArray quantitiesHeader = "cInvCode,BomType,Version,VersionDesc,VersionEffDate,DInvCode,DBaseQtyN\n";
    const Case cases[] = {
        {"negative numerator, no denominator", header + goodLine + with("DBaseQtyN", "-3").replace(",1,0,变动", ",0,0,变动"), 3, "DBaseQtyN"},
        {"denominator 0", header + with("DBaseQtyD", "0"), 2, "DBaseQtyD"},
        {"denominator -1", header + with("DBaseQtyD", "-1"), 2, "DBaseQtyD"},
        {"numerator 0", header + with("DBaseQtyN", "0"), 2, "DBaseQtyN"},
        {"text as a quantity", header + with("DBaseQtyN", "abc"), 2, "DBaseQtyN"},
        {"thousands separator", header + with("DBaseQtyN", "\"1,5\""), 2, "DBaseQtyN"},
        {"True as a number", header + with("DBaseQtyD", "True"), 2, "DBaseQtyD"},
        {"hex as a number", header + with("DCompScrap", "&H10"), 2, "DCompScrap"},
        {"scrap 100", header + with("DCompScrap", "100"), 2, "DCompScrap"},
        {"scrap -100", header + with("DCompScrap", "-100"), 2, "DCompScrap"},
        {"scrap huge", header + with("DCompScrap", "1" + QByteArray(308, '0')), 2, "DCompScrap"},
        {"parent scrap 150", header + with("ParentScrap", "150"), 2, "ParentScrap"},
        {"plan rate -1", header + with("DPlanRate", "-1"), 2, "DPlanRate"},
        {"no such day", header + with("DEffBegDate", "2025-02-30"), 2, "DEffBegDate"},
        {"not a date", header + with("DEffBegDate", "someday"), 2, "DEffBegDate"},
        {"reversed range", header + with("DEffEndDate", "2026-11-30"), 2, "DEffEndDate"},
        {"empty range", header + with("DEffEndDate", "2026-12-01"), 2, "DEffEndDate"},
        {"version of 9 digits", header + with("Version", "123456789"), 2, "Version"},
        {"unknown warehouse", header + with("DWhCode", "99"), 2, "DWhCode"},
        {"unknown department", header + with("DDeptCode", "99"), 2, "DDeptCode"},
        {"unknown component", header + with("DInvCode", "NO-SUCH"), 2, "DInvCode"},
        {"supply type off the list", header + with("DWIPType", "外协"), 2, "DWIPType"},
        {"blank component on a full line", header + goodLine + with("DInvCode", ""), 3, "DInvCode"},
        {"head columns only", "cInvCode,BomType,Version,VersionDesc,VersionEffDate\nWH-200,主BOM,1,标准,2020-01-01\n", 1, "DInvCode"},
        {"row cut short", header + goodLine.left(goodLine.indexOf(",ST-400") + 7) + '\n', 2, ""},
        {"row with extra fields", header + goodLine.trimmed() + QByteArray(100000, ',') + '\n', 2, ""},
        {"column named twice", "cInvCode,BomType,Version,VersionEffDate,DInvCode,DInvCode\nBS-200,主BOM,1,2026-12-01,ST-400,ST-400\n", 1, "DInvCode"},
        {"unknown column", "cInvCode,BomType,Version,VersionEffDate,DInvCode,Colour\nBS-200,主BOM,1,2026-12-01,ST-400,red\n", 1, "Colour"},
        {"a new colour of an item as its own component",
         header + QByteArray(goodLine).replace("BS-200,,,", "BK-100,绿,,").replace(",ST-400,,,", ",BK-100,绿,,"), 2, "DInvCode"},
        {"header without rows", header, 1, ""},
        {"a part that uses a common BOM given one of its own", header + QByteArray(goodLine).replace("BS-200,,,", "BK-120,,,"), 2, "cInvCode"},
        {"stray quote in a remark", header + goodLine + QByteArray(goodLine).replace(",0,\n", ",0,12\"管\n"), 3, ""},
        {"malformed UTF-8", header + goodLine + QByteArray(goodLine).replace("试制", "\xff\xfe"), 3, ""},
        {"two head values for one BOM", header + goodLine + QByteArray(goodLine).replace("试制", "量产"), 3, "VersionDesc"},
        {"quantities header without a BOM's columns", quantitiesHeader + "BS-200,主BOM,1,试制,2026-12-01,ST-400,2\n", 2, ""},
    };
    const QByteArray before = readAll(db);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ImportResult result = import(c.content);
        if (QByteArray(c.name).startsWith("quantities header")) { // a file may leave out columns a BOM does not need
            EXPECT_TRUE(result.problems.isEmpty());
            write(db, before);
            continue;
        }
        ASSERT_FALSE(result.problems.isEmpty());
        EXPECT_EQ(result.problems.first().line, c.line);
        EXPECT_EQ(result.problems.first().column, QString::fromLatin1(c.column)) << result.problems.first().message.toStdString();
        EXPECT_EQ(readAll(db), before);
        EXPECT_EQ(runBomCommand({QStringLiteral("import"), file("in.csv"), QStringLiteral("--db"), db}), 2);
    }
}

TEST_F(BomImport, TheSameFileTwiceChangesNothingTheSecondTime)
{
    // WH-200's export with its version changed to 7: a new version, once
    const QString exported = file("wh.csv");
    ASSERT_EQ(runBomCommand({QStringLiteral("export"), QStringLiteral("WH-200"), QStringLiteral("--out"), exported, QStringLiteral("--db"), db}), 0);
    QByteArray content = readAll(exported);
    content.replace("\nWH-200,,,主BOM,1,", "\nWH-200,,,主BOM,7,");
    const QString versions = QStringLiteral("SELECT group_concat(b.Version) FROM bom_bom b JOIN bom_parent t ON t.BomId = b.BomId "
                                            "JOIN bas_part p ON p.PartId = t.ParentId WHERE p.InvCode = 'WH-200' AND b.BomType = 1");
    ImportResult first = import(content);
    ASSERT_TRUE(first.problems.isEmpty()) << first.problems.first().message.toStdString();
    EXPECT_EQ(first.added, 1);
    const QByteArray afterFirst = readAll(db);
    for (int i = 0; i < 2; ++i) {
        const ImportResult again = import(content);
        ASSERT_TRUE(again.problems.isEmpty());
        EXPECT_EQ(again.unchanged, 1);
        EXPECT_EQ(readAll(db), afterFirst) << "import " << i + 2;
    }
    // the same BOM written another way: numbers, codes' case, list codes, the rows' order, the version's zeros
    QList<QStringList> records = parseCsv(QString::fromUtf8(content));
    const auto column = [&](const char* name) { return bomCsvColumns().indexOf(QString::fromLatin1(name)); };
    for (qsizetype r = 1; r < records.size(); ++r) {
        records[r][column("DBaseQtyN")] += QStringLiteral(".0");
        records[r][column("DBaseQtyD")] = QString(); // blank: what the voucher stores for nothing
        records[r][column("DByproductFlag")] = QString();
        records[r][column("ParentScrap")] = QString();
        records[r][column("DInvCode")] = records[r][column("DInvCode")].toLower();
        records[r][column("DFVFlag")] = QStringLiteral("1");
        records[r][column("Version")] = r == 1 ? QStringLiteral("7.0") : QStringLiteral("007"); // one BOM however its version is written
    }
    std::reverse(records.begin() + 1, records.end());
    const ImportResult rewritten = import(csvOf(records));
    ASSERT_TRUE(rewritten.problems.isEmpty()) << rewritten.problems.first().message.toStdString();
    EXPECT_EQ(rewritten.unchanged, 1);
    EXPECT_EQ(readAll(db), afterFirst);
    {
        q7::data::Connection connection;
        connection.Open(q7::host::db::connectionStringFor(db));
        QSqlQuery q(connection.database());
        ASSERT_TRUE(q.exec(versions) && q.next());
        QStringList listed = q.value(0).toString().split(u',');
        listed.sort();
        EXPECT_EQ(listed, (QStringList{QStringLiteral("1"), QStringLiteral("7")}));
    }
}

// The CSV of records, every field quoted.
QByteArray csvOf(const QList<QStringList>& records)
{
    QByteArray out;
    for (const QStringList& record : records) {
        QStringList quoted;
        for (const QString& field : record)
            quoted << u'"' + QString(field).replace(u'"', QStringLiteral("\"\"")) + u'"';
        out += quoted.join(u',').toUtf8() + '\n';
    }
    return out;
}

TEST_F(BomImport, ReplacingAStoredBomKeepsItsLinesSubstitutesAndDesignators)
{
    const QString lineExtras = QStringLiteral("SELECT (SELECT count(*) FROM bom_opcomponentsub s JOIN bom_opcomponent c ON c.OpComponentId = s.OpComponentId "
                                              "JOIN bom_parent t ON t.BomId = c.BomId JOIN bas_part p ON p.PartId = t.ParentId WHERE p.InvCode = '%1') * 1000 + "
                                              "(SELECT count(*) FROM bom_opcomponentloc l JOIN bom_opcomponent c ON c.OpComponentId = l.OpComponentId "
                                              "JOIN bom_parent t ON t.BomId = c.BomId JOIN bas_part p ON p.PartId = t.ParentId WHERE p.InvCode = '%1')");
    for (const char* item : {"WH-200", "PC-300"}) { // substitutes on the wheel's lines, designators on the board's
        SCOPED_TRACE(item);
        const int extras = count(lineExtras.arg(QString::fromLatin1(item)));
        ASSERT_GT(extras, 0);
        ASSERT_EQ(runBomCommand({QStringLiteral("export"), QString::fromLatin1(item), QStringLiteral("--out"), file("x.csv"), QStringLiteral("--db"), db}), 0);
        QList<QStringList> records = parseCsv(QString::fromUtf8(readAll(file("x.csv"))));
        const qsizetype n = bomCsvColumns().indexOf(QStringLiteral("DBaseQtyN"));
        for (qsizetype r = 1; r < records.size(); ++r) // every line's quantity changed
            records[r][n] = QString::number(records[r][n].toDouble() + 1);
        const ImportResult changed = import(csvOf(records));
        ASSERT_TRUE(changed.problems.isEmpty()) << changed.problems.first().message.toStdString();
        EXPECT_EQ(changed.changed, 1);
        EXPECT_EQ(count(lineExtras.arg(QString::fromLatin1(item))), extras);
    }
}

// What the export writes, the import reads back as the same BOM: small and large numbers included.
TEST_F(BomImport, AnExportedBomImportsBackUnchangedWhateverItsNumbers)
{
    {
        q7::data::Connection connection;
        connection.Open(q7::host::db::connectionStringFor(db));
        connection.executeNative(QStringLiteral("UPDATE bom_opcomponent SET BaseQtyN = 0.00001, SortSeq = 2000000000 WHERE BomId = "
                                                "(SELECT t.BomId FROM bom_parent t JOIN bas_part p ON p.PartId = t.ParentId WHERE p.InvCode = 'WH-200') "
                                                "AND SortSeq = 10; UPDATE bom_opcomponent SET BaseQtyD = 123456789012345 WHERE SortSeq = 20"));
    }
    ASSERT_EQ(runBomCommand({QStringLiteral("export"), QStringLiteral("WH-200"), QStringLiteral("--out"), file("x.csv"), QStringLiteral("--db"), db}), 0);
    EXPECT_FALSE(readAll(file("x.csv")).contains("e-")) << readAll(file("x.csv")).toStdString();
    const ImportResult first = runImport(file("x.csv"), db, false); // packs what the statements above left unpacked
    ASSERT_TRUE(first.problems.isEmpty()) << first.problems.first().message.toStdString();
    EXPECT_EQ(first.unchanged, 1);
    const QByteArray before = readAll(db);
    const ImportResult again = runImport(file("x.csv"), db, false);
    EXPECT_EQ(again.unchanged, 1);
    EXPECT_EQ(readAll(db), before);
}

// A substitute BOM has no version or dates of its own: a new one imports, and again unchanged.
TEST_F(BomImport, ASubstituteBomImportsAsNewAndAgainUnchanged)
{
    ASSERT_EQ(runBomCommand({QStringLiteral("export"), QStringLiteral("BK-100"), QStringLiteral("--out"), file("x.csv"), QStringLiteral("--db"), db}), 0);
    QList<QStringList> records = parseCsv(QString::fromUtf8(readAll(file("x.csv"))));
    const qsizetype ident = bomCsvColumns().indexOf(QStringLiteral("IdentCode"));
    QList<QStringList> substitute{records.first()};
    for (qsizetype r = 1; r < records.size(); ++r)
        if (records[r][ident] == QLatin1String("S1")) {
            records[r][ident] = QStringLiteral("S2");
            substitute.append(records[r]);
        }
    ASSERT_GT(substitute.size(), 1);
    const ImportResult added = import(csvOf(substitute));
    ASSERT_TRUE(added.problems.isEmpty()) << added.problems.first().message.toStdString();
    EXPECT_EQ(added.added, 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM bom_bom WHERE IdentCode = 'S2' AND Version IS NULL AND VersionEffDate IS NULL "
                                   "AND VersionEndDate IS NULL")),
              1);
    const QByteArray before = readAll(db);
    const ImportResult again = import(csvOf(substitute));
    EXPECT_EQ(again.unchanged, 1);
    EXPECT_EQ(readAll(db), before);
}

// The parts that use a BOM as a common BOM follow its versions: a new version of the
// owner is theirs from its date.
TEST_F(BomImport, TheUsersOfACommonBomFollowItsNewVersion)
{
    ASSERT_EQ(runBomCommand({QStringLiteral("export"), QStringLiteral("BK-100"), QStringLiteral("--version"), QStringLiteral("2"), QStringLiteral("--out"),
                             file("x.csv"), QStringLiteral("--db"), db}),
              0);
    QList<QStringList> records = parseCsv(QString::fromUtf8(readAll(file("x.csv"))));
    QList<QStringList> red{records.first()};
    for (qsizetype r = 1; r < records.size(); ++r)
        if (records[r][1] == QStringLiteral("红")) {
            records[r][bomCsvColumns().indexOf(QStringLiteral("Version"))] = QStringLiteral("3");
            records[r][bomCsvColumns().indexOf(QStringLiteral("VersionEffDate"))] = QStringLiteral("2026-01-01");
            red.append(records[r]);
        }
    ASSERT_GT(red.size(), 1);
    const ImportResult added = import(csvOf(red));
    ASSERT_TRUE(added.problems.isEmpty()) << added.problems.first().message.toStdString();
    const QString usesVersion3 = QStringLiteral("SELECT count(*) FROM bom_parent t JOIN bom_bom b ON b.BomId = t.BomId JOIN bas_part p ON p.PartId = t.ParentId "
                                                "WHERE p.InvCode = 'BK-120' AND t.SharingPartId IS NOT NULL AND b.Version = 3");
    EXPECT_EQ(count(usesVersion3), 1);
    EXPECT_EQ(runBomCommand({QStringLiteral("show"), QStringLiteral("BK-120"), QStringLiteral("--date"), QStringLiteral("2026-06-01"), QStringLiteral("--db"), db}), 0);
}

TEST_F(BomImport, ADryRunReportsEveryProblemAtOnceAndWritesNothing)
{
    const QByteArray before = readAll(db);
    // four BOMs: a bad value the voucher's rules find, a good one, a cell no BOM could take, a bad head value
    const QByteArray content = header + with("DBaseQtyD", "0") + QByteArray(goodLine).replace("BS-200", "CP-400") +
                               QByteArray(with("DEffBegDate", "someday")).replace(",主BOM,1,", ",主BOM,2,") +
                               QByteArray(with("ParentScrap", "150")).replace("BS-200", "TY-330") +
                               with("DInvCode", ""); // a second line of the first BOM, wrong in itself: the first line is still checked
    const ImportResult result = import(content, true);
    QStringList found;
    for (const ImportProblem& p : result.problems)
        found << QStringLiteral("%1:%2").arg(p.line).arg(p.column);
    EXPECT_EQ(found, (QStringList{QStringLiteral("2:DBaseQtyD"), QStringLiteral("4:DEffBegDate"), QStringLiteral("5:ParentScrap"),
                                  QStringLiteral("6:DInvCode")}));
    EXPECT_EQ(readAll(db), before);
    // a good file in a dry run: counted, not written
    const ImportResult good = import(header + goodLine, true);
    EXPECT_TRUE(good.problems.isEmpty());
    EXPECT_EQ(good.added, 1);
    EXPECT_EQ(readAll(db), before);
}

TEST_F(BomImport, EveryRowWhoseHeadDiffersFromItsBomIsTold)
{
    // rows of two BOMs, interleaved; after a row that differs, rows like it differ too, and a row like the
    // first agrees again
    const QByteArray other = QByteArray(goodLine).replace("BS-200", "CP-400");
    const QByteArray otherDesc = QByteArray(goodLine).replace("试制", "量产");
    const struct {
        const char* name;
        QByteArray rows;
        QStringList problems;
    } cases[] = {
        {"one differs", goodLine + otherDesc + goodLine, {QStringLiteral("3:VersionDesc")}},
        {"two alike differ", goodLine + otherDesc + otherDesc + goodLine, {QStringLiteral("3:VersionDesc"), QStringLiteral("4:VersionDesc")}},
        {"interleaved", goodLine + other + otherDesc + other + otherDesc, {QStringLiteral("4:VersionDesc"), QStringLiteral("6:VersionDesc")}},
        {"another BOM's row between", goodLine + other + goodLine + QByteArray(other).replace("试制", "量产"), {QStringLiteral("5:VersionDesc")}},
    };
    const QByteArray before = readAll(db);
    for (const auto& c : cases) {
        const ImportResult result = import(header + c.rows, true);
        QStringList found;
        for (const ImportProblem& p : result.problems)
            found << QStringLiteral("%1:%2").arg(p.line).arg(p.column);
        EXPECT_EQ(found, c.problems) << c.name;
        EXPECT_EQ(result.boms, c.rows.count("CP-400") ? 2 : 1) << c.name;
    }
    EXPECT_EQ(readAll(db), before);
}

} // namespace
