// The import enters a file's lines in memory by the voucher's rules for
// typing; typed cell by cell through the voucher, the same file must leave
// the account the same, table by table and row by row, and tell the same
// problems in the same words. The packs the import leaves are those the
// tables give, and the reports read the same with and without them.
#include "support/FakeHost.h"
#include "support/Files.h"

#include "app/BomCsv.h"
#include "app/BomImport.h"
#include "host/db/AccountDatabase.h"
#include "host/db/SqlInserter.h"
#include "host/db/procedures/packs/PackUpkeep.h"
#include "host/report/ReportViewer.h"
#include "platform/data/Ado.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

using namespace q7::app;

namespace {

using fake::readAll;
using fake::write;
using q7::host::report::FilterSetting;

const QByteArray header = bomCsvColumns().join(u',').toUtf8() + '\n';

using Values = std::vector<std::pair<const char*, const char*>>;

// A row of the import file from the values of the columns named (the rest blank).
QByteArray row(const Values& values)
{
    QStringList fields(bomCsvColumns().size());
    for (const auto& [column, value] : values) {
        QString field = QString::fromUtf8(value);
        if (field.contains(u',') || field.contains(u'"'))
            field = u'"' + field.replace(u'"', QStringLiteral("\"\"")) + u'"';
        fields[bomCsvColumns().indexOf(QString::fromLatin1(column))] = field;
    }
    return fields.join(u',').toUtf8() + '\n';
}

// A line of a new version of BS-200 (no BOM in the demo account yet), with some values replaced.
QByteArray base(const char* version, const char* date, const char* component, const Values& more = {})
{
    Values values{{"cInvCode", "BS-200"},  {"BomType", "主BOM"},      {"Version", version},     {"VersionDesc", "试制"},
                  {"VersionEffDate", date}, {"ParentScrap", "0"},     {"DInvCode", component},  {"DBaseQtyN", "2"},
                  {"DBaseQtyD", "1"},       {"DCompScrap", "0"},      {"DFVFlag", "变动"},      {"DWIPType", "领用"},
                  {"DByproductFlag", "否"}, {"DAccuCostFlag", "是"},  {"DOptionalFlag", "否"},  {"DWhCode", "01"},
                  {"DDeptCode", "01"},      {"DEffBegDate", date},    {"DEffEndDate", "2099-12-31"}, {"DOffset", "0"}};
    for (const auto& [column, value] : more) {
        const auto at = std::find_if(values.begin(), values.end(), [&](const auto& v) { return qstrcmp(v.first, column) == 0; });
        if (at != values.end())
            at->second = value;
        else
            values.emplace_back(column, value);
    }
    return row(values);
}

struct Case {
    const char* name;
    QByteArray content;
};

// Good files and bad ones; each is imported into a fresh demo account.
QList<Case> corpus()
{
    return {
        {"versions with repeated components, ended lines and boundary dates",
         header + base("5", "2026-01-01", "ST-400", {{"DSortSeq", "10"}}) + base("5", "2026-01-01", "ST-400", {{"DSortSeq", "20"}, {"DBaseQtyN", "0.5"}}) +
             base("5", "2026-01-01", "CP-400", {{"DSortSeq", "30"}, {"DEffEndDate", "2026-01-02"}}) + // ends the day after its first day
             base("5", "2026-01-01", "BL-200", {{"DSortSeq", "40"}, {"DEffBegDate", "2000-01-01"}}) +
             base("6", "2026-07-01", "ST-400", {{"DEffEndDate", "2028-02-29"}, {"DCompScrap", "3.5"}, {"DBaseQtyD", "10"}}) +
             base("6", "2026-07-01", "ST-400", {{"DFVFlag", "固定"}, {"DWIPType", "入库倒冲"}}) + base("6", "2026-07-01", "TY-330", {{"DPlanRate", "50"}}) +
             base("4", "2025-12-31", "SP-320")},
        {"quotes, commas and blanks in texts, codes for list texts, lower-case codes",
         header + base("5", "2026-01-01", "st-400", {{"DRemark", "标注\"加厚\"的批次, 见附件"}, {"VersionDesc", "\"首\"版"}, {"DFVFlag", "0"}}) +
             base("5", "2026-01-01", "CP-400", {{"DRemark", "\"\""}, {"VersionDesc", "\"首\"版"}, {"DBaseQtyN", ""}, {"DBaseQtyD", ""}, {"DPlanRate", ""}}) +
             base("5", "2026-01-01", "BL-210", {{"VersionDesc", "\"首\"版"}, {"DSortSeq", ""}, {"DEffBegDate", ""}, {"DEffEndDate", ""}, {"DWhCode", ""}})},
        {"bad quantities", header + base("5", "2026-01-01", "ST-400", {{"DBaseQtyD", "0"}}) + base("5", "2026-01-01", "CP-400", {{"DBaseQtyN", "-1"}}) +
                               base("6", "2026-02-01", "ST-400", {{"DCompScrap", "100"}}) + base("7", "2026-03-01", "ST-400", {{"DBaseQtyN", "abc"}})},
        {"unknown parts, warehouses and list values",
         header + base("5", "2026-01-01", "NO-SUCH") + base("5", "2026-01-01", "ST-400", {{"DWhCode", "99"}}) +
             base("6", "2026-01-01", "ST-400", {{"DWIPType", "外协"}}) + row({{"cInvCode", "NO-SUCH"}, {"BomType", "主BOM"}, {"Version", "1"},
                                                                              {"VersionEffDate", "2026-01-01"}, {"DInvCode", "ST-400"}})},
        {"one version twice with different heads", header + base("5", "2026-01-01", "ST-400") + base("5", "2026-02-01", "CP-400")},
        {"dates off the calendar and ranges ended before they begin",
         header + base("5", "2026-01-01", "ST-400", {{"DEffEndDate", "2026-01-01"}}) + base("5", "2026-01-01", "CP-400", {{"DEffBegDate", "2027-02-29"}}) +
             base("6", "2026-02-01", "CP-400", {{"DEffEndDate", "2025-12-31"}})},
        {"a version the account has, with other lines",
         header + row({{"cInvCode", "WH-200"}, {"BomType", "主BOM"}, {"Version", "1"}, {"VersionDesc", "标准"}, {"VersionEffDate", "2020-01-01"},
                       {"DSortSeq", "10"}, {"DInvCode", "RM-310"}, {"DBaseQtyN", "1"}, {"DEffBegDate", "2020-01-01"}, {"DEffEndDate", "2099-12-31"}}) +
             row({{"cInvCode", "WH-200"}, {"BomType", "主BOM"}, {"Version", "1"}, {"VersionDesc", "标准"}, {"VersionEffDate", "2020-01-01"},
                  {"DSortSeq", "20"}, {"DInvCode", "SP-321"}, {"DBaseQtyN", "36"}, {"DEffBegDate", "2020-01-01"}, {"DEffEndDate", "2099-12-31"}})},
        {"operations of the routing and one it does not have, colours of a parent",
         header + row({{"cInvCode", "BK-100"}, {"InvFree_1", "红"}, {"BomType", "主BOM"}, {"Version", "3"}, {"VersionEffDate", "2026-06-01"},
                       {"DSortSeq", "10"}, {"DInvCode", "FR-200"}, {"DOpSeq", "0020"}, {"DBaseQtyN", "1"}}) +
             row({{"cInvCode", "BK-100"}, {"InvFree_1", "红"}, {"BomType", "主BOM"}, {"Version", "3"}, {"VersionEffDate", "2026-06-01"},
                  {"DSortSeq", "20"}, {"DInvCode", "WH-200"}, {"DOpSeq", "0099"}, {"DBaseQtyN", "2"}})},
        {"a substitute BOM and a component with free items",
         header + row({{"cInvCode", "BK-100"}, {"InvFree_1", "红"}, {"BomType", "替代BOM"}, {"IdentCode", "S7"}, {"IdentDesc", "临时"},
                       {"DSortSeq", "10"}, {"DInvCode", "FR-200"}, {"DBaseQtyN", "1"}}) +
             base("5", "2026-01-01", "FN-100", {{"DInvFree_1", "白"}, {"DInvFree_2", "16寸"}}) + base("5", "2026-01-01", "FN-100")},
        {"a used free item left blank on a later line, after lines that fill theirs",
         header + base("7", "2026-03-01", "ST-400", {{"DSortSeq", "10"}, {"DCompScrap", "2.5"}}) +
             base("7", "2026-03-01", "FN-100", {{"DSortSeq", "20"}, {"DInvFree_1", "白"}, {"DInvFree_2", "16寸"}}) +
             base("7", "2026-03-01", "FN-100", {{"DSortSeq", "30"}, {"DInvFree_1", "白"}})},
        {"a cycle", header + row({{"cInvCode", "FR-200"}, {"BomType", "主BOM"}, {"Version", "2"}, {"VersionEffDate", "2026-01-01"},
                                  {"DInvCode", "BK-100"}, {"DInvFree_1", "红"}, {"DBaseQtyN", "1"}})},
    };
}

class ImportAgreement : public testing::Test {
protected:
    void SetUp() override { fake::resetRecords(); }
    QString file(const QString& name) const { return dir.filePath(name); }

    // Every table of the account, every row, in one order.
    static QStringList content(const QString& db)
    {
        q7::data::Connection connection;
        connection.Open(q7::host::db::connectionStringFor(db));
        QSqlQuery tables(connection.database());
        EXPECT_TRUE(tables.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")));
        QStringList names;
        while (tables.next())
            names << tables.value(0).toString();
        QStringList rows;
        for (const QString& table : names) {
            QSqlQuery q(connection.database());
            EXPECT_TRUE(q.exec(QStringLiteral("SELECT * FROM \"%1\"").arg(table)));
            QStringList tableRows;
            while (q.next()) {
                QStringList cells;
                for (int i = 0; i < q.record().count(); ++i)
                    cells << (q.value(i).isNull() ? QStringLiteral("<null>") : q.value(i).toString());
                tableRows << table + u'|' + cells.join(u'|');
            }
            tableRows.sort();
            rows += tableRows;
        }
        return rows;
    }
    static QStringList problems(const ImportResult& result)
    {
        QStringList said;
        for (const ImportProblem& p : result.problems)
            said << QStringLiteral("%1:%2:%3:%4").arg(p.line).arg(p.column, p.message).arg(p.messageNumber);
        return said;
    }

    QTemporaryDir dir;
};

TEST_F(ImportAgreement, TypedAndInMemoryEntryLeaveTheSameAccountAndTellTheSameProblems)
{
    const QString demo = file(QStringLiteral("demo.db"));
    q7::host::db::createDemoAccount(demo);
    const QByteArray account = readAll(demo);
    int refused = 0, imported = 0;
    for (const Case& c : corpus()) {
        SCOPED_TRACE(c.name);
        write(file(QStringLiteral("in.csv")), c.content);
        QList<QStringList> contents;
        QList<QStringList> said;
        QList<std::array<int, 4>> counts;
        for (const ImportEntry entry : {ImportEntry::Typed, ImportEntry::InMemory}) {
            const QString db = file(entry == ImportEntry::Typed ? QStringLiteral("typed.db") : QStringLiteral("rows.db"));
            write(db, account);
            const ImportResult result = runImport(file(QStringLiteral("in.csv")), db, false, entry);
            contents.append(content(db));
            said.append(problems(result));
            counts.append({result.boms, result.added, result.changed, result.unchanged});
        }
        EXPECT_EQ(said[0], said[1]);
        EXPECT_EQ(counts[0], counts[1]);
        ASSERT_EQ(contents[0].size(), contents[1].size());
        for (qsizetype i = 0; i < contents[0].size(); ++i)
            EXPECT_EQ(contents[0][i], contents[1][i]);
        (said[0].isEmpty() ? imported : refused) += 1;
    }
    // the corpus has both kinds, each more than once
    EXPECT_GE(imported, 3);
    EXPECT_GE(refused, 5);
}

// What a good file leaves packed is what packing the tables afresh gives, and the reports read the
// same rows from the packs as from the tables alone.
TEST_F(ImportAgreement, TheImportLeavesThePacksTheTablesGive)
{
    const QString db = file(QStringLiteral("packs.db"));
    q7::host::db::createDemoAccount(db);
    const QList<Case> good = corpus().mid(0, 2);
    QByteArray content = good[0].content + good[1].content.mid(header.size()).replace(",主BOM,5,", ",主BOM,8,"); // the second's a version of its own
    content += row({{"cInvCode", "WH-200"}, {"BomType", "主BOM"}, {"Version", "2"}, {"VersionDesc", "二版"}, {"VersionEffDate", "2026-12-07"}, {"DSortSeq", "10"},
                    {"DInvCode", "RM-310"}, {"DBaseQtyN", "1"}, {"DEffBegDate", "2026-12-07"}, {"DEffEndDate", "2027-01-01"}});
    write(file(QStringLiteral("in.csv")), content);
    const ImportResult result = runImport(file(QStringLiteral("in.csv")), db, false);
    ASSERT_TRUE(result.problems.isEmpty()) << result.problems.first().message.toStdString();
    ASSERT_EQ(result.added, 5);

    q7::data::Connection connection;
    connection.Open(q7::host::db::connectionStringFor(db));
    const auto rowsOf = [&](const QString& sql) {
        QSqlQuery q(connection.database());
        EXPECT_TRUE(q.exec(sql));
        QStringList rows;
        while (q.next())
            rows << q.value(0).toString() + u'|' + QString::fromLatin1(q.value(1).toByteArray().toHex());
        return rows;
    };
    const QString packs = QStringLiteral("SELECT PartId, Data FROM %1 ORDER BY PartId");
    EXPECT_TRUE(rowsOf(QStringLiteral("SELECT PartId, '' FROM bom_pack_down_stale UNION ALL SELECT PartId, '' FROM bom_pack_use_stale")).isEmpty());
    EXPECT_EQ(rowsOf(QStringLiteral("SELECT name, '' FROM sqlite_temp_master")), QStringList());
    EXPECT_EQ(rowsOf(QStringLiteral("SELECT count(*), '' FROM sqlite_master WHERE type = 'trigger' AND name LIKE 'bom_%'")),
              QStringList{QStringLiteral("42|")}); // the triggers are back
    const QStringList down = rowsOf(packs.arg(QStringLiteral("bom_pack_down"))), use = rowsOf(packs.arg(QStringLiteral("bom_pack_use")));

    // reports on the new versions' first days, a line's last day and its end
    QStringList withPacks;
    const auto report = [&](QStringList& out) {
        for (const char* date : {"2025-12-31", "2026-01-01", "2026-01-02", "2026-07-01", "2026-12-07", "2027-01-01", "2028-02-29"})
            for (const char* key : {"BO02004", "BO02006"}) {
                q7::host::report::ReportViewer viewer(QString::fromLatin1(key));
                const auto ran = viewer.run({FilterSetting{QStringLiteral("EffDate"), QString::fromLatin1(date), std::nullopt}}, 0, &connection);
                EXPECT_FALSE(ran.refused) << ran.message.toStdString();
                for (const auto& r : ran.rows.rows) {
                    QStringList cells;
                    for (const QVariant& cell : r)
                        cells << cell.toString();
                    out << QString::fromLatin1(key) + u'|' + QString::fromLatin1(date) + u'|' + cells.join(u'|');
                }
            }
    };
    report(withPacks);
    EXPECT_TRUE(withPacks.join(u'\n').contains(QStringLiteral("BS-200"))) << "the imported BOMs are in the reports";

    connection.executeNative(QStringLiteral("DELETE FROM bom_pack_down; DELETE FROM bom_pack_use"));
    QStringList fromTables;
    report(fromTables);
    EXPECT_EQ(withPacks, fromTables);
    q7::host::db::procedures::packs::packAll(q7::host::db::SqlInserter::handleOf(connection.database()));
    EXPECT_EQ(rowsOf(packs.arg(QStringLiteral("bom_pack_down"))), down);
    EXPECT_EQ(rowsOf(packs.arg(QStringLiteral("bom_pack_use"))), use);
}

} // namespace
