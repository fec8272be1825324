// The packed BOMs are a cache: every report reads the same rows with and
// without them, a change to anything a pack holds drops it (the report then
// reads the tables), and the saving code packs the changed parts again.
#include "support/FakeHost.h"

#include "host/db/AccountDatabase.h"
#include "host/db/SqlInserter.h"
#include "host/db/procedures/BomGraph.h"
#include "host/db/procedures/packs/DownPack.h"
#include "host/db/procedures/packs/PackUpkeep.h"
#include "host/db/procedures/packs/UsePack.h"
#include "host/db/procedures/Explosion.h"
#include "host/report/ReportViewer.h"
#include "platform/data/Ado.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <map>

using namespace q7;
using host::report::FilterSetting;
using host::report::ReportViewer;
namespace packs = host::db::procedures::packs;

namespace {

struct Report {
    const char* key;
    QList<FilterSetting> settings;
};

// The explosions on the demo's dates that matter: a line's first day, the day it ends, and between;
// and where-used of single parts, on every other date first, before the explosions have read the
// descriptions another way.
const QList<Report> reports = [] {
    QList<Report> all;
    bool whereUsedFirst = true;
    for (const char* date : {"2020-01-01", "2024-12-31", "2025-01-01", "2026-12-07", "2027-01-01"}) {
        const FilterSetting at{QStringLiteral("EffDate"), QString::fromLatin1(date), std::nullopt};
        QList<Report> whereUsed;
        for (const char* part : {"BL-200", "CH-900", "BS-200"})
            whereUsed.append({"BO02006", {at, {QStringLiteral("InvCode"), QString::fromLatin1(part), QString::fromLatin1(part)}}});
        whereUsed.append({"BO02006", {at, {QStringLiteral("InvCode"), QStringLiteral("SP-320"), QStringLiteral("SP-320")},
                                      {QStringLiteral("PlanRateFlag"), QStringLiteral("是"), std::nullopt}}});
        if (whereUsedFirst)
            all += whereUsed;
        all.append({"BO02004", {at}});
        all.append({"BO02004", {at, {QStringLiteral("QueryType"), QStringLiteral("阶列式"), std::nullopt}}});
        all.append({"BO02004", {at, {QStringLiteral("PlanRateFlag"), QStringLiteral("是"), std::nullopt}}});
        all.append({"BO02007", {at, {QStringLiteral("Qty"), QStringLiteral("12"), std::nullopt}}});
        all.append({"BO02006", {at}});
        if (!whereUsedFirst)
            all += whereUsed;
        whereUsedFirst = !whereUsedFirst;
    }
    return all;
}();

class Account {
public:
    Account()
    {
        host::db::createDemoAccount(path);
        connection.Open(host::db::connectionStringFor(path));
    }
    sqlite3* handle() { return host::db::SqlInserter::handleOf(connection.database()); }
    void sql(const QString& text) { connection.executeNative(text); }
    int count(const QString& select)
    {
        QSqlQuery q(connection.database());
        EXPECT_TRUE(q.exec(select) && q.next()) << select.toStdString();
        return q.value(0).toInt();
    }
    // Every report's rows, as text (or those of the reports the filter keeps).
    QStringList rows(const std::function<bool(const Report&)>& only = {})
    {
        QStringList all;
        for (const Report& r : reports) {
            if (only && !only(r))
                continue;
            ReportViewer viewer(QString::fromLatin1(r.key));
            const auto out = viewer.run(r.settings, 0, &connection);
            EXPECT_FALSE(out.refused) << out.message.toStdString();
            for (const auto& row : out.rows.rows) {
                QStringList cells;
                for (const QVariant& cell : row)
                    cells << (cell.isNull() ? QStringLiteral("<null>") : cell.toString());
                all << QString::fromLatin1(r.key) + QLatin1Char('|') + cells.join(QLatin1Char('|'));
            }
        }
        return all;
    }
    // The rows the tables alone give: the same account without its packs.
    QStringList rowsFromTables(const std::function<bool(const Report&)>& only = {})
    {
        sql(QStringLiteral("SAVEPOINT tables_only; DELETE FROM bom_pack_down; DELETE FROM bom_pack_use"));
        const QStringList all = rows(only);
        sql(QStringLiteral("ROLLBACK TO tables_only; RELEASE tables_only"));
        return all;
    }

    data::Connection connection;

private:
    QTemporaryDir dir_;

public:
    const QString path = dir_.filePath(QStringLiteral("packs.db"));
};

} // namespace

TEST(BomPacks, ReportsReadTheSameRowsWithAndWithoutPacks)
{
    Account a;
    ASSERT_EQ(a.count(QStringLiteral("SELECT count(*) FROM bom_pack_down")), a.count(QStringLiteral("SELECT count(*) FROM bas_part"))); // a new account is packed
    ASSERT_EQ(a.count(QStringLiteral("SELECT count(*) FROM bom_pack_use")), a.count(QStringLiteral("SELECT count(*) FROM bas_part")));
    // lines and a version that begin and end on the dates the reports are run on, packed like the rest
    a.sql(QStringLiteral("INSERT INTO bom_opcomponent (BomId, ComponentId, SortSeq, BaseQtyN, EffBegDate, EffEndDate) "
                         "SELECT t.BomId, (SELECT PartId FROM bas_part WHERE InvCode = 'ST-400'), 5, 2, '2026-12-07', '2027-01-01' "
                         "FROM bom_parent t JOIN bas_part p ON p.PartId = t.ParentId WHERE p.InvCode = 'WH-200';"
                         "INSERT INTO bom_opcomponent (BomId, ComponentId, SortSeq, BaseQtyN, EffBegDate, EffEndDate) "
                         "SELECT t.BomId, (SELECT PartId FROM bas_part WHERE InvCode = 'SP-320'), 6, 3, '2024-12-31', '2026-12-07' "
                         "FROM bom_parent t JOIN bas_part p ON p.PartId = t.ParentId WHERE p.InvCode = 'WH-200';"
                         "INSERT INTO bom_bom (BomId, BomType, Version, VersionEffDate, VersionEndDate) VALUES (7001, 1, 9, '2025-01-01', '2026-12-07');"
                         "INSERT INTO bom_parent (BomId, ParentId) SELECT 7001, PartId FROM bas_part WHERE InvCode = 'FR-200';"
                         "INSERT INTO bom_opcomponent (BomId, ComponentId, SortSeq, BaseQtyN) SELECT 7001, PartId, 10, 4 FROM bas_part WHERE InvCode = 'TB-300'"));
    a.sql(QStringLiteral("BEGIN"));
    packs::refresh(a.handle());
    a.sql(QStringLiteral("COMMIT"));
    ASSERT_EQ(a.count(QStringLiteral("SELECT count(*) FROM bom_pack_down k JOIN bas_part p ON p.PartId = k.PartId WHERE p.InvCode IN ('WH-200', 'FR-200')")), 2);
    const QStringList packed = a.rows();
    ASSERT_GT(packed.size(), 100);
    EXPECT_EQ(packed, a.rowsFromTables());
}

TEST(BomPacks, AChangeDropsThePacksThatHoldItAndASavePacksThemAgain)
{
    const QString staleCount = QStringLiteral("SELECT (SELECT count(*) FROM bom_pack_down_stale) + (SELECT count(*) FROM bom_pack_use_stale)");
    // One change to each kind of row a pack holds, on the red bicycle's structure.
    const QStringList changes = {
        QStringLiteral("UPDATE bom_opcomponent SET BaseQtyN = BaseQtyN + 1 WHERE ComponentId = (SELECT PartId FROM bas_part WHERE InvCode = 'SP-320')"),
        QStringLiteral("UPDATE bom_opcomponent SET EffEndDate = '2026-12-07' WHERE ComponentId = (SELECT PartId FROM bas_part WHERE InvCode = 'TY-330')"),
        QStringLiteral("UPDATE bom_opcomponentopt SET PlanFactor = 50"),
        QStringLiteral("UPDATE bom_bom SET VersionEndDate = '2026-12-07' WHERE BomId = (SELECT max(BomId) FROM bom_bom WHERE BomType = 1)"),
        QStringLiteral("UPDATE bom_parent SET ParentScrap = 10"),
        QStringLiteral("UPDATE Inventory SET cInvName = '辐条(加粗)' WHERE cInvCode = 'sp-320'"),
        QStringLiteral("UPDATE bas_part SET Free1 = '蓝' WHERE InvCode = 'RM-310'"),
        QStringLiteral("DELETE FROM bom_opcomponent WHERE ComponentId = (SELECT PartId FROM bas_part WHERE InvCode = 'BL-200')"),
        QStringLiteral("INSERT INTO bom_opcomponent (BomId, ComponentId, SortSeq, BaseQtyN, EffBegDate, EffEndDate) "
                       "SELECT BomId, (SELECT PartId FROM bas_part WHERE InvCode = 'ST-400'), 99, 3, '2026-12-07', '2099-12-31' FROM bom_bom WHERE BomType = 1"),
        // what a where-used reads of a parent: whether anything uses it (a product used from the day the reports run on),
        // which of its BOMs it uses (the older version made the higher one and kept open), its name and free item
        QStringLiteral("INSERT INTO bom_opcomponent (BomId, ComponentId, SortSeq, BaseQtyN, EffBegDate, EffEndDate) "
                       "SELECT t.BomId, (SELECT PartId FROM bas_part WHERE InvCode = 'BK-120'), 50, 1, '2026-12-07', '2099-12-31' "
                       "FROM bom_parent t JOIN bas_part p ON p.PartId = t.ParentId WHERE p.InvCode = 'PL-100'"),
        QStringLiteral("UPDATE bom_bom SET Version = 7, VersionEndDate = '2099-12-31' WHERE BomId = "
                       "(SELECT min(t.BomId) FROM bom_parent t JOIN bas_part p ON p.PartId = t.ParentId WHERE p.InvCode = 'BK-100')"),
        QStringLiteral("UPDATE Inventory SET cInvName = '车架(新)' WHERE cInvCode = 'FR-200'"),
        QStringLiteral("UPDATE bas_part SET Free1 = '绿' WHERE InvCode = 'WH-200'"),
        QStringLiteral("UPDATE Inventory SET cInvName = '自行车(新)' WHERE cInvCode = 'BK-100'"), // a product: nothing uses it
        QStringLiteral("UPDATE bas_part SET Free1 = '黄' WHERE PartId = (SELECT min(PartId) FROM bas_part WHERE InvCode = 'BK-100')"),
        // a part used under several products loses its item row; a part takes another id, its lines keep the old one
        QStringLiteral("DELETE FROM Inventory WHERE cInvCode = 'SP-320'"),
        QStringLiteral("UPDATE bas_part SET PartId = 9999 WHERE InvCode = 'HB-210'"),
        // a BOM two parents share loses one of them
        QStringLiteral("DELETE FROM bom_parent WHERE rowid = (SELECT max(t.rowid) FROM bom_parent t JOIN bas_part p ON p.PartId = t.ParentId WHERE p.InvCode = 'FN-100')"),
    };
    for (const QString& change : changes) {
        Account a;
        ASSERT_EQ(a.count(QStringLiteral("SELECT count(*) FROM bom_pack_down")), a.count(QStringLiteral("SELECT count(*) FROM bas_part")));
        const QStringList before = a.rows();
        a.sql(change);
        ASSERT_GT(a.count(staleCount), 0) << change.toStdString();
        const QStringList changed = a.rows();
        EXPECT_NE(changed, before) << "the change shows: " << change.toStdString();
        EXPECT_EQ(changed, a.rowsFromTables()) << change.toStdString();
        a.sql(QStringLiteral("BEGIN"));
        packs::refresh(a.handle());
        a.sql(QStringLiteral("COMMIT"));
        EXPECT_EQ(a.count(staleCount), 0);
        EXPECT_EQ(a.count(QStringLiteral("SELECT count(*) FROM bom_pack_down")), a.count(QStringLiteral("SELECT count(*) FROM bas_part"))) << change.toStdString();
        // every part has its use pack (and an id only lines still use may have one too)
        EXPECT_EQ(a.count(QStringLiteral("SELECT count(*) FROM bas_part WHERE PartId NOT IN (SELECT PartId FROM bom_pack_use)")), 0);
        EXPECT_EQ(a.rows(), changed) << "packed again: " << change.toStdString();
    }
}

TEST(BomPacks, PartsThatCannotBePackedAreReadFromTheTables)
{
    Account a;
    const QStringList before = a.rows();
    // a damaged pack, and a BOM whose date is not written yyyy-mm-dd: both read from the tables
    a.sql(QStringLiteral("UPDATE bom_pack_down SET Data = substr(Data, 1, 40) WHERE PartId = (SELECT PartId FROM bas_part WHERE InvCode = 'WH-200');"
                         "UPDATE bom_pack_down SET Data = substr(Data, 1, 5) WHERE PartId = (SELECT PartId FROM bas_part WHERE InvCode = 'SP-320');"
                         "UPDATE bom_pack_use SET Data = substr(Data, 1, length(Data) - 3) WHERE PartId IN (SELECT PartId FROM bas_part WHERE InvCode IN ('FR-210', 'BL-200'));"
                         "UPDATE bom_pack_use SET Data = Data || x'00' WHERE PartId = (SELECT PartId FROM bas_part WHERE InvCode = 'TB-300')"));
    EXPECT_EQ(a.rows(), before);
    a.sql(QStringLiteral("UPDATE bom_bom SET VersionEffDate = '2020-1-1' WHERE BomId IN (SELECT t.BomId FROM bom_parent t JOIN bas_part p "
                         "ON p.PartId = t.ParentId WHERE p.InvCode = 'FR-200')"));
    a.sql(QStringLiteral("BEGIN"));
    packs::refresh(a.handle());
    a.sql(QStringLiteral("COMMIT"));
    EXPECT_EQ(a.count(QStringLiteral("SELECT count(*) FROM bom_pack_down k JOIN bas_part p ON p.PartId = k.PartId WHERE p.InvCode = 'FR-200'")), 0);
    EXPECT_EQ(a.rows(), a.rowsFromTables());
}

TEST(BomPack, DatesAreKeptOnlyWhenWrittenAsTheReportsCompareThem)
{
    const struct {
        const char* text;
        std::optional<int> day;
    } cases[] = {{"2026-12-07", 20261207}, {"0000-01-01", 101}, {"9999-12-31", 99991231}, {"2026-1-07", std::nullopt},
                 {"2026/12/07", std::nullopt}, {"2026-12-07 ", std::nullopt}, {"", std::nullopt}, {"2026-12-0a", std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(packs::day(QByteArrayView(c.text)), c.day) << c.text;
}

TEST(BomPacks, ASyntheticAccountIsPackedAsThePackerPacksIt)
{
    // the synthetic load writes its packs with its rows; they must be the packs read back from the tables would give
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("synthetic.db"));
    host::db::createSyntheticAccount(path, {3000, 4, 6, 7});
    data::Connection connection;
    connection.Open(host::db::connectionStringFor(path));
    const auto packsOf = [&](const QString& table) {
        std::map<int, QByteArray> packs;
        QSqlQuery q(connection.database());
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT PartId, Data FROM ") + table));
        while (q.next())
            packs[q.value(0).toInt()] = q.value(1).toByteArray();
        return packs;
    };
    const auto downs = packsOf(QStringLiteral("bom_pack_down")), uses = packsOf(QStringLiteral("bom_pack_use"));
    ASSERT_EQ(downs.size(), 3000u);
    ASSERT_EQ(uses.size(), 3000u);
    connection.executeNative(QStringLiteral("DELETE FROM bom_pack_down; DELETE FROM bom_pack_use"));
    packs::packAll(host::db::SqlInserter::handleOf(connection.database()));
    EXPECT_EQ(packsOf(QStringLiteral("bom_pack_down")), downs);
    const auto packedAgain = packsOf(QStringLiteral("bom_pack_use"));
    ASSERT_EQ(packedAgain.size(), uses.size());
    for (const auto& [part, pack] : uses)
        EXPECT_EQ(packedAgain.at(part), pack) << "part " << part;
}

namespace {

// Packs stored by an earlier build: the red bicycle's BOMs (PartId 1) and the uses of the wheel
// (PartId 10) in the demo account. Accounts keep their packs across versions, so today's writers
// must write these bytes and today's readers must read them back to the same bytes.
const struct StoredPack {
    const char* table;
    int part;
    const char* hex;
} storedPacks[] = {
    {"bom_pack_down", 1,
        "0207424B2D3130300AE887AAE8A18CE8BDA6063236E5AFB804E8BE8604E7BAA201060204CAEAA113EAF7A71300060814"
        "04040002000006000200CAEAA113EAF7A713142808040002000006020200CAEAA113EAF7A713203C0404000200000604"
        "0200CAEAA113EAF7A7130408EAF7A713FEB38214080E081404040002000006000200EAF7A713FEB38214142808040002"
        "02900306020200EAF7A713FEB38214203C04040002000006040200EAF7A7139A81A8132250040400020000060602009A"
        "81A813FEB38214246410041400000002080200EAF7A713FEB382142678100400000000020A0200AAB0AA13FEB3821412"
        "8C010408280202C002040C0200EAF7A713FEB38214"},
    {"bom_pack_use", 10,
        "020757482D3230300DE8BDA6E8BDAEE7BB84E4BBB6063236E5AFB804E5A597010106060200040204CAEAA113EAF7A713"
        "0408EAF7A713FEB382140207424B2D3130300AE887AAE8A18CE8BDA6063236E5AFB804E8BE8604E7BAA2010604020014"
        "2808040002000006020200CAEAA113EAF7A713040814280804000202900306020200EAF7A713FEB382140400020804CA"
        "EAA113FEB382140207424B2D3130300AE887AAE8A18CE8BDA6063236E5AFB804E8BE8604E8939D010602080014280804"
        "0002000006020200CAEAA113FEB382140600020408EAF7A713FEB382140207424B2D31323015E887AAE8A18CE8BDA628"
        "E587BAE58FA3E59E8B29063236E5AFB804E8BE8601010602040814280804000202900306020200EAF7A713FEB38214"},
};

packs::DescriptionBytes bytesOf(const packs::Description& d)
{
    packs::DescriptionBytes bytes;
    for (int i = 0; i < 6; ++i)
        if (!d.texts[i].null)
            bytes.texts[i] = d.texts[i].utf8.toByteArray();
    bytes.attr = d.attr;
    return bytes;
}

// The pack read and written again.
QByteArray rewritten(const char* table, const QByteArray& pack)
{
    if (QByteArrayView(table) == "bom_pack_down") {
        packs::PackWriter writer;
        const bool read = packs::forEachBom(
            pack, [&](const packs::Description& d) { if (d.present) writer.describe(bytesOf(d)); },
            [&](const packs::Bom& bom) {
                writer.beginBom(bom.bomId, bom.version, bom.from, bom.until, bom.parentScrap);
                for (const packs::Line& l : bom.lines)
                    writer.addLine(l.line, l.from, l.until);
            });
        return read ? writer.finish() : QByteArray("damaged");
    }
    packs::UseWriter writer;
    const bool read = packs::forEachUse(
        pack, [&](const packs::Description& d) { if (d.present) writer.describe(bytesOf(d)); },
        [&](const packs::UseParent& parent) {
            writer.beginParent(parent.partId, parent.used);
            for (const packs::UseBom& b : parent.boms)
                writer.addParentBom(b.bomId, b.version, b.from, b.until);
            if (parent.description.present)
                writer.describeParent(bytesOf(parent.description));
        },
        [&](const packs::Line& l) { writer.addLine(l.line, l.from, l.until); });
    return read ? writer.finish() : QByteArray("damaged");
}

} // namespace

TEST(BomPacks, PacksStoredByAnEarlierBuildAreWrittenAndReadByteForByte)
{
    Account a;
    for (const StoredPack& stored : storedPacks) {
        const QByteArray before = QByteArray::fromHex(QByteArray(stored.hex));
        QSqlQuery q(a.connection.database());
        ASSERT_TRUE(q.exec(QStringLiteral("SELECT Data FROM %1 WHERE PartId = %2").arg(QLatin1String(stored.table)).arg(stored.part)) && q.next());
        EXPECT_EQ(q.value(0).toByteArray().toHex().toUpper(), QByteArray(stored.hex)) << stored.table;
        EXPECT_EQ(rewritten(stored.table, before), before) << stored.table;
        // a pack cut short reads as damaged, never as a shorter pack
        EXPECT_EQ(rewritten(stored.table, before.left(before.size() - 3)), QByteArray("damaged")) << stored.table;
    }
}

TEST(BomPacks, AnUpdateOfWhatNoPackHoldsDropsNothing)
{
    // an item's lead time or a part's third free item is in no pack: a mass update of them keeps every pack
    Account a;
    a.sql(QStringLiteral("UPDATE Inventory SET LeadTime = 9, cInvDefine1 = 'x'; UPDATE bas_part SET Free3 = 'y'"));
    EXPECT_EQ(a.count(QStringLiteral("SELECT (SELECT count(*) FROM bom_pack_down_stale) + (SELECT count(*) FROM bom_pack_use_stale)")), 0);
    EXPECT_EQ(a.count(QStringLiteral("SELECT count(*) FROM bom_pack_use")), a.count(QStringLiteral("SELECT count(*) FROM bas_part")));
    // a name is in them
    a.sql(QStringLiteral("UPDATE Inventory SET cInvName = cInvName || '*' WHERE cInvCode = 'FR-200'"));
    EXPECT_GT(a.count(QStringLiteral("SELECT count(*) FROM bom_pack_use_stale")), 0);
}

// Each column a pack holds, changed alone, drops the packs that hold it: a
// trigger that forgot one column would leave the reports reading the old value.
TEST(BomPacks, EachColumnAPackHoldsChangedAloneDropsItsPacks)
{
    const QString staleCount = QStringLiteral("SELECT (SELECT count(*) FROM bom_pack_down_stale) + (SELECT count(*) FROM bom_pack_use_stale)");
    // the spokes: a component of the wheel, under both bicycles
    const QStringList changes = {
        QStringLiteral("UPDATE Inventory SET cInvName = '辐条(新)' WHERE cInvCode = 'SP-320'"),
        QStringLiteral("UPDATE Inventory SET cInvStd = '2.2mm' WHERE cInvCode = 'SP-320'"),
        QStringLiteral("UPDATE Inventory SET cComUnitName = '支' WHERE cInvCode = 'SP-320'"),
        QStringLiteral("UPDATE Inventory SET InvAttr = InvAttr + 1 WHERE cInvCode = 'WH-200'"),
        QStringLiteral("UPDATE bas_part SET Free1 = '银' WHERE InvCode = 'SP-320'"),
        QStringLiteral("UPDATE bas_part SET Free2 = '长' WHERE InvCode = 'SP-320'"),
        QStringLiteral("UPDATE bas_part SET InvCode = 'SP-321' WHERE InvCode = 'SP-320'"),
        QStringLiteral("UPDATE bom_opcomponent SET BaseQtyD = 2 WHERE ComponentId = (SELECT PartId FROM bas_part WHERE InvCode = 'SP-320')"),
        QStringLiteral("UPDATE bom_opcomponent SET CompScrap = 7 WHERE ComponentId = (SELECT PartId FROM bas_part WHERE InvCode = 'SP-320')"),
        QStringLiteral("UPDATE bom_opcomponent SET FVFlag = 0 WHERE ComponentId = (SELECT PartId FROM bas_part WHERE InvCode = 'SP-320')"),
        QStringLiteral("UPDATE bom_opcomponent SET SortSeq = 5 WHERE ComponentId = (SELECT PartId FROM bas_part WHERE InvCode = 'SP-320')"),
        QStringLiteral("UPDATE bom_opcomponent SET ByProductFlag = 1 WHERE ComponentId = (SELECT PartId FROM bas_part WHERE InvCode = 'SP-320')"),
        QStringLiteral("UPDATE bom_opcomponent SET EffBegDate = '2026-12-07' WHERE ComponentId = (SELECT PartId FROM bas_part WHERE InvCode = 'SP-320')"),
        QStringLiteral("UPDATE bom_opcomponentopt SET WIPType = 1 WHERE OptionsId IN (SELECT OptionsId FROM bom_opcomponent "
                       "WHERE ComponentId = (SELECT PartId FROM bas_part WHERE InvCode = 'SP-320'))"),
        QStringLiteral("UPDATE bom_opcomponentopt SET \"offset\" = 3 WHERE OptionsId IN (SELECT OptionsId FROM bom_opcomponent "
                       "WHERE ComponentId = (SELECT PartId FROM bas_part WHERE InvCode = 'SP-320'))"),
        QStringLiteral("UPDATE bom_opcomponentopt SET AccuCostFlag = 0 WHERE OptionsId IN (SELECT OptionsId FROM bom_opcomponent "
                       "WHERE ComponentId = (SELECT PartId FROM bas_part WHERE InvCode = 'SP-320'))"),
        QStringLiteral("UPDATE bom_bom SET VersionEffDate = '2026-12-08' WHERE BomId = (SELECT t.BomId FROM bom_parent t JOIN bas_part p "
                       "ON p.PartId = t.ParentId WHERE p.InvCode = 'WH-200')"),
        QStringLiteral("UPDATE bom_bom SET Version = 3 WHERE BomId = (SELECT t.BomId FROM bom_parent t JOIN bas_part p "
                       "ON p.PartId = t.ParentId WHERE p.InvCode = 'WH-200')"),
        QStringLiteral("UPDATE bom_bom SET VersionEndDate = '2026-12-07' WHERE BomId = (SELECT t.BomId FROM bom_parent t JOIN bas_part p "
                       "ON p.PartId = t.ParentId WHERE p.InvCode = 'WH-200')"),
        QStringLiteral("UPDATE bom_parent SET ParentScrap = 4 WHERE ParentId = (SELECT PartId FROM bas_part WHERE InvCode = 'WH-200')"),
        QStringLiteral("UPDATE bom_opcomponent SET BaseQtyN = 40 WHERE ComponentId = (SELECT PartId FROM bas_part WHERE InvCode = 'SP-320')"),
        QStringLiteral("UPDATE bom_opcomponent SET EffEndDate = '2026-12-07' WHERE ComponentId = (SELECT PartId FROM bas_part WHERE InvCode = 'SP-320')"),
        QStringLiteral("UPDATE bom_opcomponentopt SET PlanFactor = 50 WHERE OptionsId IN (SELECT OptionsId FROM bom_opcomponent "
                       "WHERE ComponentId = (SELECT PartId FROM bas_part WHERE InvCode = 'SP-320'))"),
        QStringLiteral("UPDATE bas_part SET PartId = 9999 WHERE InvCode = 'SP-320'"),
        QStringLiteral("UPDATE Inventory SET cInvCode = 'SP-329' WHERE cInvCode = 'SP-320'"),
    };
    for (const QString& change : changes) {
        Account a;
        a.sql(change);
        EXPECT_GT(a.count(staleCount), 0) << change.toStdString();
        EXPECT_EQ(a.rows(), a.rowsFromTables()) << change.toStdString();
    }
}

TEST(BomPacks, PackingAnAccountOfTheFormerFormatReplacesItsPacksAndTriggers)
{
    // an account packed by the version before: a table of BOMs and one of descriptions, with triggers writing to them
    Account a;
    const QStringList packed = a.rows();
    a.sql(QStringLiteral("DROP TABLE bom_pack_down; DROP TABLE bom_pack_down_stale;"
                         "CREATE TABLE bom_pack (PartId INTEGER PRIMARY KEY, Data BLOB NOT NULL);"
                         "CREATE TABLE bom_pack_stale (PartId INTEGER PRIMARY KEY);"
                         "CREATE TABLE bom_pack_part (PartId INTEGER PRIMARY KEY, Data BLOB NOT NULL);"
                         "CREATE TABLE bom_pack_part_stale (PartId INTEGER PRIMARY KEY);"
                         "INSERT INTO bom_pack SELECT PartId, x'0102' FROM bas_part;"
                         "CREATE TRIGGER bom_pack_bas_part_u AFTER UPDATE ON bas_part BEGIN "
                         "INSERT OR IGNORE INTO bom_pack_part_stale SELECT NEW.PartId; DELETE FROM bom_pack_part WHERE PartId = NEW.PartId; END;"
                         "CREATE TRIGGER bom_pack_bom_opcomponent_i AFTER INSERT ON bom_opcomponent BEGIN "
                         "DELETE FROM bom_pack WHERE PartId IN (SELECT ParentId FROM bom_parent WHERE BomId = NEW.BomId); END"));
    EXPECT_EQ(a.rows(), packed) << "the former packs are not read";
    packs::packAll(a.handle());
    EXPECT_EQ(a.count(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name IN ('bom_pack', 'bom_pack_stale', 'bom_pack_part', "
                                     "'bom_pack_part_stale', 'bom_pack_bas_part_u', 'bom_pack_bom_opcomponent_i')")),
              0);
    EXPECT_EQ(a.count(QStringLiteral("SELECT count(*) FROM bom_pack_down")), a.count(QStringLiteral("SELECT count(*) FROM bas_part")));
    a.sql(QStringLiteral("UPDATE bas_part SET Free1 = '蓝' WHERE InvCode = 'RM-310'")); // no trigger left writing to a dropped table
    EXPECT_EQ(a.rows(), a.rowsFromTables());
}

TEST(BomPacks, TopsWalkedAloneGiveTheRowsTheyGiveWalkedSideBySide)
{
    // A summary walks side by side the tops below which the graph has read everything, and the others
    // alone afterwards, reading what they lack: none, the last or all tops read below first, the rows
    // are the same and in the tops' order.
    Account a;
    a.sql(QStringLiteral("DELETE FROM Inventory WHERE cInvCode = 'SP-320'")); // a part without its item, under several tops
    QVector<int> tops;
    {
        QSqlQuery q(a.connection.database());
        ASSERT_TRUE(q.exec(QStringLiteral("SELECT DISTINCT t.ParentId FROM bom_parent t JOIN bas_part p ON p.PartId = t.ParentId "
                                          "WHERE p.InvCode IN ('BK-100', 'WH-200', 'FR-200') ORDER BY p.InvCode, p.Free1, t.ParentId")));
        while (q.next())
            tops.append(q.value(0).toInt());
    }
    ASSERT_GE(tops.size(), 4);
    namespace procedures = host::db::procedures;
    const auto summary = [&](const QVector<int>& readBelow) {
        data::Connection connection; // a graph of its own: a connection keeps what its graphs read
        connection.Open(host::db::connectionStringFor(a.path));
        procedures::BomGraph graph(connection, QStringLiteral("2026-12-07"));
        std::vector<QVector<procedures::BomLine>> lines;
        for (const int top : tops)
            lines.push_back(graph.mainLines(top));
        QVector<int> below;
        for (const int top : readBelow)
            for (const procedures::BomLine& line : lines[static_cast<size_t>(tops.indexOf(top))])
                below.append(line.componentId);
        graph.prefetchBelow(below);
        std::vector<procedures::SummaryTop> walked;
        for (qsizetype i = 0; i < tops.size(); ++i)
            walked.push_back({tops[i], &lines[static_cast<size_t>(i)]});
        data::ResultSet rows;
        procedures::RowSink sink(rows, 100000);
        procedures::summariseByLevel(graph, walked, false, sink);
        QStringList text;
        for (const auto& row : rows.rows) {
            QStringList cells;
            for (const QVariant& cell : row)
                cells << cell.toString();
            text << cells.join(QLatin1Char('|'));
        }
        return text;
    };
    const QStringList sideBySide = summary(tops);
    ASSERT_GT(sideBySide.size(), 30);
    ASSERT_GT(sideBySide.filter(QStringLiteral("|SP-320||||")).size(), 1) << "the part without its item shows, by its code, under several tops";
    EXPECT_EQ(summary({}), sideBySide);
    EXPECT_EQ(summary({tops.last()}), sideBySide);
}

// A bulk write holds the row triggers and drops, at its end, the packs of every row it changed
// at once: the same packs the row triggers drop for the same changes, and none while it runs.
TEST(BomPacks, HeldTriggersDropAtTheEndThePacksTheRowTriggersDrop)
{
    // new lines and a new version of a parent, a line's quantity and its removal, a version's end,
    // a part's new colour, an item's name: each watched table, by insert, update and delete
    const QString changes = QStringLiteral(
        "INSERT INTO bom_opcomponentopt (OptionsId, WhCode) VALUES (9001, '01');"
        "INSERT INTO bom_opcomponent (OpComponentId, BomId, ComponentId, OptionsId, SortSeq, BaseQtyN) "
        "SELECT 9001, t.BomId, (SELECT PartId FROM bas_part WHERE InvCode = 'ST-400'), 9001, 5, 2 FROM bom_parent t JOIN bas_part p ON p.PartId = t.ParentId "
        "WHERE p.InvCode = 'WH-200';"
        "UPDATE bom_opcomponent SET BaseQtyN = 7 WHERE ComponentId = (SELECT PartId FROM bas_part WHERE InvCode = 'TY-330');"
        "UPDATE bom_opcomponentopt SET PlanFactor = 50 WHERE OptionsId = (SELECT min(OptionsId) FROM bom_opcomponent WHERE "
        "ComponentId = (SELECT PartId FROM bas_part WHERE InvCode = 'SP-320'));"
        "DELETE FROM bom_opcomponent WHERE ComponentId = (SELECT PartId FROM bas_part WHERE InvCode = 'CP-400');"
        "INSERT INTO bom_bom (BomId, BomType, Version, VersionEffDate, VersionEndDate) VALUES (7001, 1, 9, '2026-01-01', '2099-12-31');"
        "UPDATE bom_bom SET VersionEndDate = '2026-01-01' WHERE BomId = (SELECT t.BomId FROM bom_parent t JOIN bas_part p ON p.PartId = t.ParentId "
        "WHERE p.InvCode = 'FR-200');"
        "INSERT INTO bom_parent (BomId, ParentId) SELECT 7001, PartId FROM bas_part WHERE InvCode = 'FR-200';"
        "INSERT INTO bom_opcomponent (BomId, ComponentId, SortSeq, BaseQtyN) SELECT 7001, PartId, 10, 4 FROM bas_part WHERE InvCode = 'BL-210';"
        "INSERT INTO bas_part (PartId, InvCode, Free1) VALUES (9001, 'BK-100', '绿');"
        "UPDATE Inventory SET cInvName = '钢管(新)' WHERE cInvCode = 'TB-300'");
    const auto stale = [](Account& a) {
        QStringList parts;
        for (const char* table : {"bom_pack_down_stale", "bom_pack_use_stale"}) {
            QSqlQuery q(a.connection.database());
            EXPECT_TRUE(q.exec(QStringLiteral("SELECT PartId FROM %1 ORDER BY PartId").arg(QString::fromLatin1(table))));
            while (q.next())
                parts << QString::fromLatin1(table) + u':' + q.value(0).toString();
        }
        return parts;
    };
    Account rowByRow, held;
    rowByRow.sql(QStringLiteral("BEGIN"));
    rowByRow.sql(changes);
    held.sql(QStringLiteral("BEGIN"));
    ASSERT_TRUE(packs::holdTriggers(held.handle()));
    held.sql(changes);
    EXPECT_TRUE(stale(held).isEmpty()) << "nothing is dropped while the triggers are held";
    packs::releaseTriggers(held.handle());
    const QStringList dropped = stale(rowByRow);
    EXPECT_GT(dropped.size(), 10);
    EXPECT_EQ(stale(held), dropped);
    EXPECT_EQ(held.count(QStringLiteral("SELECT count(*) FROM sqlite_temp_master")), 0);
    EXPECT_EQ(held.count(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'trigger'")),
              rowByRow.count(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'trigger'")));
    for (Account* a : {&rowByRow, &held}) {
        packs::refresh(a->handle());
        a->sql(QStringLiteral("COMMIT"));
    }
    EXPECT_EQ(held.rows(), rowByRow.rows());
    EXPECT_EQ(held.rows(), held.rowsFromTables());
    held.sql(QStringLiteral("UPDATE bom_opcomponent SET BaseQtyN = 3 WHERE BomId = 7001")); // the row triggers work again
    EXPECT_EQ(held.count(QStringLiteral("SELECT count(*) FROM bom_pack_down WHERE PartId = (SELECT PartId FROM bas_part WHERE InvCode = 'FR-200')")), 0);
}
