#include "support/FakeHost.h"
#include "support/ServerDatabase.h"

#include "host/db/AccountDatabase.h"
#include "platform/data/Ado.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace q7;

namespace {

// The statement's column names (ignoring case) and rows, or its error.
QString outcome(data::Connection& connection, const QString& sql)
{
    try {
        const data::ResultSet rs = connection.query(sql);
        QStringList rows;
        for (const auto& row : rs.rows) {
            QStringList cells;
            for (const QVariant& value : row)
                cells.append(fake::comparableText(value));
            rows.append(cells.join(u'|'));
        }
        return rs.columns.join(u',').toLower() + u'\n' + rows.join(u'\n');
    } catch (const std::exception& error) {
        return QStringLiteral("error: ") + QString::fromUtf8(error.what());
    }
}

class BothBackends : public testing::Test {
protected:
    void SetUp() override
    {
        Q7_NEEDS_SERVER();
        host::db::openAccount(file, fake::demoAccountPath());
        host::db::openAccount(server, fake::serverDemoAccount());
    }
    data::Connection file, server;
};

} // namespace

// Each statement as the component writes it gives the same columns and rows on both backends.
TEST_F(BothBackends, TranslatedStatementsGiveTheSameRows)
{
    struct Case {
        const char* sql;
        int rows; // on both
    };
    const Case cases[] = {
        {"Select cID, cItem,cItemName=isnull(cItemName,'') From UserDef order by cID", 10},
        {"select N'名' + cInvCode + '-' + isnull(cInvStd, N'') AS label from Inventory where cInvCode = 'bk-100  '", 1},
        {"select cInvCode, len(cInvName + '  ') AS n from Inventory where cInvCode >= 'BK' and cInvCode <= 'fr-zzz' order by cInvCode", 11},
        {"select convert(nvarchar(10), BomId) + N'/' + convert(varchar(5), Version) AS v from bom_bom where BomType = 1 order by BomId", 12},
        {"select cInvCode, getdate() AS today from Inventory where cInvCode = N'BK-100'", 1},
        {"select [cInvCode], [cInvName] from [Inventory] where [InvAttr] = 1 order by [cInvCode]", 14},
        {"select b.BomId, p.InvCode, p.Free1 from bom_bom b join bom_parent t on t.BomId = b.BomId join bas_part p on p.PartId = t.ParentId "
         "where p.InvCode = 'bk-100 ' and p.Free1 = N'红' order by b.BomId",
         3},
        {"select count(*) AS n, sum(BaseQtyN / BaseQtyD) AS q from bom_opcomponent where EffEndDate > getdate() and EffBegDate <= getdate()", 1},
        {"select o.OptionsId, o.Offset, isnull(o.PlanFactor, 100) AS f from bom_opcomponentopt o where o.OptionsId <= 3 order by o.OptionsId", 3},
        {"select OpComponentId, isnull(Remark, N'无') AS r from bom_opcomponentrmk order by OpComponentId", -1},
        {"Select cItem AS '项目' From UserDef where cID = 20", 1},
        {"select v.InvCode, v.InvName, convert(int, v.LeadTime) AS lt from v_bas_inventory v where v.InvCode like 'SP%' order by v.InvCode", 2},
        {"select p.InvCode, l.Loc1, l.Loc4 from v_bom_opcomponentloc l join bom_opcomponent c on c.OpComponentId = l.OpComponentId "
         "join bas_part p on p.PartId = c.ComponentId",
         1},
        {"select distinct BomType from bom_bom where IdentCode <> 's1' or IdentCode is null order by BomType", 1},
    };
    for (const Case& c : cases) {
        const QString sql = QString::fromUtf8(c.sql);
        const QString expected = outcome(file, sql);
        EXPECT_FALSE(expected.startsWith(QStringLiteral("error"))) << c.sql << "\n" << expected.toStdString();
        if (c.rows >= 0) {
            EXPECT_EQ(expected.count(u'\n'), c.rows) << c.sql << "\n" << expected.toStdString();
        }
        EXPECT_EQ(outcome(server, sql).toStdString(), expected.toStdString()) << c.sql;
    }
}

// What the bridge cannot translate is refused with the same message on both backends, before it reaches either database.
TEST_F(BothBackends, RefusalsAreTheSame)
{
    const char* refused[] = {
        "delete from bom_bom",
        "select top 5 * from bom_bom",
        "select * into x from bom_bom",
        "select 1; delete from bom_bom",
        "select @x",
        "select * from #tmp",
        "select convert(varchar(10), VersionEffDate, 120) from bom_bom",
        "select 'unterminated",
    };
    for (const char* sql : refused) {
        const QString onFile = outcome(file, QString::fromUtf8(sql));
        EXPECT_TRUE(onFile.startsWith(QStringLiteral("error: Run-time error 3709: Statement not supported: "))) << onFile.toStdString();
        EXPECT_EQ(outcome(server, QString::fromUtf8(sql)).toStdString(), onFile.toStdString()) << sql;
    }
    EXPECT_EQ(outcome(server, QStringLiteral("select count(*) AS n from bom_bom")), outcome(file, QStringLiteral("select count(*) AS n from bom_bom")));
}
