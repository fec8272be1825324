#include "support/FakeHost.h"

#include "host/db/AccountDatabase.h"
#include "platform/AutomationError.h"
#include "platform/ObjectRef.h"
#include "platform/data/Ado.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace q7;

namespace {

// One demo account for the whole suite.
class DemoAccount : public testing::Test {
protected:
    void SetUp() override { connection.Open(host::db::connectionStringFor(fake::demoAccountPath())); }

    QStringList column(const QString& sql, const QString& name)
    {
        data::Recordset rs;
        rs.Open(sql, connection, data::adOpenForwardOnly, data::adLockReadOnly);
        QStringList values;
        for (; !rs.isEof(); rs.MoveNext())
            values.append(isNull(rs.Fields(name)) ? QStringLiteral("<null>") : rs.Fields(name).toString());
        return values;
    }

    data::Connection connection;
};

QString freePieces(const QStringList& values)
{
    QString text;
    for (int k = 1; k <= 10; ++k)
        text += QStringLiteral("and (i.bConfigFree%1 = 0 OR (i.bConfigFree%1 = 1 AND p.Free%1  = '%2'))").arg(k).arg(values.value(k - 1));
    return text;
}

} // namespace

TEST_F(DemoAccount, FreeItemCaptionsThroughTheClientFilter)
{
    data::Recordset rs;
    rs.Open(QStringLiteral("Select cItem,cItemName=coalesce(cItemName,'') From UserDef where (cID in(20,21) or cid between 28 and 35) ")
                + QStringLiteral("  Order By cId"),
            connection, data::adOpenStatic, data::adLockReadOnly);
    EXPECT_EQ(rs.recordCount(), 10);
    QStringList captions;
    for (int i = 1; i <= 10; ++i) {
        rs.setFilter(QStringLiteral("cItem='自由项") + QString::number(i) + QStringLiteral(" '"));
        captions.append(rs.isEof() ? QStringLiteral("<none>") : rs.Fields(QStringLiteral("CITEMNAME")).toString());
    }
    EXPECT_EQ(captions, (QStringList{"颜色", "尺寸", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(column(QStringLiteral("Select coalesce(max(cID),0) as Count From UserDef where (cID in(20,21) or cid between 28 and 35) and "
                                    "len(rtrim(coalesce(cItemName,''))) > 0"),
                     QStringLiteral("Count")),
              QStringList{"21"}); // free items 1-2 in use
}

TEST_F(DemoAccount, ItemChecksAndFreeItemValues)
{
    const QString item = QStringLiteral(
        "Select P.InvCode as cInvCode ,I.cInvName as cInvName, Free1 as InvFree_1,Free2 as InvFree_2,Free3 as InvFree_3,Free4 as InvFree_4,"
        "Free5 as InvFree_5,Free6 as InvFree_6,Free7 as InvFree_7,Free8 as InvFree_8,Free9 as InvFree_9,Free10 as InvFree_10 from bas_part P "
        "inner join Inventory I on P.InvCode=I.cInvCode where InvCode='");
    EXPECT_EQ(column(item + QStringLiteral("bk-100'"), QStringLiteral("InvFree_1")), (QStringList{"红", "蓝"})); // codes ignore case
    EXPECT_TRUE(column(item + QStringLiteral("NONE'"), QStringLiteral("cInvName")).isEmpty());

    EXPECT_EQ(column(QStringLiteral("Select bConfigFree1,bConfigFree2,bConfigFree3,bConfigFree4,bConfigFree5,bConfigFree6,bConfigFree7,"
                                    "bConfigFree8, bConfigFree9, bConfigFree10 from Inventory where cInvCode='FN-100'"),
                     QStringLiteral("bConfigFree2")),
              QStringList{"1"});
    EXPECT_EQ(column(QStringLiteral("Select Distinct Free1  from  bas_part where InvCode='FN-100' order by  Free1"), QStringLiteral("Free1")),
              (QStringList{"白", "黑"}));
}

TEST_F(DemoAccount, VersionLookupAndPartId)
{
    const QString versionSql = QStringLiteral(
                                   "select p.InvCode as InvCode, i.cInvName as InvName, b.Version as Version from inventory i, bas_part p,"
                                   "bom_parent t,bom_bom b ")
        + QStringLiteral("where i.cInvCode = p.InvCode and p.PartId = t.ParentId and t.BomId = b.BomId and i.cInvCode = 'BK-100'")
        + freePieces({"红"}) + QStringLiteral("and b.VersionEffDate <= '2026-12-07' and b.VersionEndDate > '2026-12-07'");
    EXPECT_EQ(column(versionSql, QStringLiteral("Version")), QStringList{"2"});
    EXPECT_EQ(column(QStringLiteral("select PartId=p.PartId from inventory i, bas_part p ") +
                         QStringLiteral("where i.cInvCode = p.InvCode and i.cInvCode = 'BK-100'") + freePieces({"蓝"}),
                     QStringLiteral("PartId")),
              QStringList{"2"});
}

TEST_F(DemoAccount, LocateQueryAndQuotesInsideValues)
{
    // The locate query: the largest BOM id below the current one that passes the filter.
    const QString locate = QStringLiteral("Select max(bom_bom.BomId) as ID From bom_bom,v_bom_parent_rpt,Inventory Where bom_bom.BomId = "
                                          "v_bom_parent_rpt.BomId and v_bom_parent_rpt.InvCode = Inventory.cInvCode and bom_bom.BomId < 9");
    EXPECT_EQ(column(locate + QStringLiteral(" and v_bom_parent_rpt.Free1 >= '红' and v_bom_parent_rpt.Free1 <= '红'"), QStringLiteral("ID")),
              QStringList{"3"});
    EXPECT_EQ(column(locate + QStringLiteral(" and Inventory.cInvCode >= 'zz'"), QStringLiteral("ID")), QStringList{"<null>"});
    EXPECT_EQ(column(QStringLiteral("select count(*) as n from Inventory where cInvName = 'O''Brien'"), QStringLiteral("n")), QStringList{"0"});
}

TEST_F(DemoAccount, DecimalQuantitiesNeverTruncate)
{
    // 3/10 × (1 + 5/100) = 0.315 litres of paint per frame
    const QStringList qty = column(QStringLiteral("select c.BaseQtyN / c.BaseQtyD * (1 + c.CompScrap / 100) as q from bom_opcomponent c "
                                                  "where c.OpComponentId = 18"),
                                   QStringLiteral("q"));
    ASSERT_EQ(qty.size(), 1);
    EXPECT_NEAR(qty[0].toDouble(), 0.315, 1e-12);
}

TEST_F(DemoAccount, ErrorsAreRunTimeErrors)
{
    EXPECT_EQ(fake::errorOf([&] { connection.query(QStringLiteral("select nosuch from Inventory")); }), 3709);
    EXPECT_EQ(fake::errorOf([&] { connection.query(QStringLiteral("drop table Inventory")); }), 3709);
    EXPECT_EQ(fake::errorOf([&] { connection.query(QStringLiteral("Exec Usp_Unknown 1")); }), 3709);
    data::Recordset rs(connection.query(QStringLiteral("select cInvCode from Inventory where 1 = 0")));
    EXPECT_TRUE(rs.isEof() && rs.isBof());
    EXPECT_EQ(fake::errorOf([&] { rs.Fields(QStringLiteral("cInvCode")); }), 3021);
    EXPECT_EQ(getProperty(&rs, QStringLiteral("EOF")).toBool(), true);
}

TEST(SyntheticAccount, DeterministicForest)
{
    QTemporaryDir dir;
    const host::db::SyntheticOptions options{200, 4, 3, 7};
    const auto a = host::db::createSyntheticAccount(dir.filePath(QStringLiteral("a.db")), options);
    const auto b = host::db::createSyntheticAccount(dir.filePath(QStringLiteral("b.db")), options);
    EXPECT_EQ(a.parts, 200);
    EXPECT_EQ(a.boms, 150); // every level but the last
    EXPECT_EQ(a.lines, 450);
    EXPECT_EQ(b.lines, a.lines);
    data::Connection ca, cb;
    ca.Open(host::db::connectionStringFor(dir.filePath(QStringLiteral("a.db"))));
    cb.Open(host::db::connectionStringFor(dir.filePath(QStringLiteral("b.db"))));
    const QString sql = QStringLiteral("select sum(ComponentId * SortSeq + BaseQtyN) as s from bom_opcomponent");
    EXPECT_EQ(ca.query(sql).rows[0][0], cb.query(sql).rows[0][0]);
    EXPECT_THROW(host::db::createSyntheticAccount(dir.filePath(QStringLiteral("c.db")), {1, 4, 3, 7}), AutomationError);
}

TEST(SyntheticAccount, ProgressEndsAtTheTotal)
{
    QTemporaryDir dir;
    QList<std::pair<int64_t, int64_t>> calls;
    const auto made = host::db::createSyntheticAccount(dir.filePath(QStringLiteral("p.db")), {50000, 3, 2, 1},
                                                             [&](int64_t done, int64_t total) { calls.append({done, total}); });
    ASSERT_GE(calls.size(), 2); // every 20000 lines, and once at the end
    EXPECT_EQ(calls.last().first, made.lines);
    EXPECT_EQ(calls.last().second, made.lines);
    for (qsizetype i = 1; i < calls.size(); ++i)
        EXPECT_GE(calls[i].first, calls[i - 1].first);
}
