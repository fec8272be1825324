#include "platform/data/TSqlBridge.h"

#include <gtest/gtest.h>

using namespace q7::data;

TEST(TSqlBridge, TranslatesTheConstructsInUse)
{
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"Select cItem,cItemName=coalesce(cItemName,'') From UserDef", "Select cItem , coalesce ( cItemName , '' ) AS \"cItemName\" From UserDef"},
        {"select PartId=p.PartId from inventory i", "select p.PartId AS \"PartId\" from inventory i"},
        {"SELECT a, 使用数量 = case when x = 1 then 2 end, b FROM t",
         "SELECT a , case when x = 1 then 2 end AS \"使用数量\" , b FROM t"},
        {"SELECT convert(nvarchar(40),case v when 1 then '是' else '' end ) AS 属性 FROM t",
         "SELECT CAST(case v when 1 then '是' else '' end AS TEXT) AS 属性 FROM t"},
        {"SELECT convert(int, '5')", "SELECT CAST('5' AS INTEGER)"},
        {"SELECT convert(decimal(18, 6), q), convert(varchar(max), n) FROM t", "SELECT CAST(q AS REAL) , CAST(n AS TEXT) FROM t"},
        {"SELECT p.ParentScrap AS '母件损耗率(%)' FROM t", "SELECT p.ParentScrap AS '母件损耗率(%)' FROM t"},
        {"SELECT N'O''Brien', [order] FROM t -- note", "SELECT 'O''Brien' , \"order\" FROM t"},
        {"select isnull(a, 0) from t where x = 'a=b' /* c */", "select ifnull ( a , 0 ) from t where x = 'a=b'"},
        {"select x from t where a = (select b = 1 from u)", "select x from t where a = ( select b = 1 from u )"}, // only the outer list is rewritten
    };
    for (const Case& c : cases)
        EXPECT_EQ(translateSelect(QString::fromUtf8(c.in)).toStdString(), std::string(c.out)) << c.in;
}

TEST(TSqlBridge, RefusesWhatItDoesNotUnderstand)
{
    const char* refused[] = {
        "delete from bom_bom",
        "select top 5 * from t",
        "select * into x from t",
        "select 1; delete from t",
        "select @x",
        "select * from #tmp",
        "select 'unterminated",
        "select (1",
        "select 1)",
        "select convert(geography, x)",
        "select /* open",
        "select a ? b",
        // convert: nothing but a type before the comma, one expression after it
        "select convert(int 'x' junk, a) from t",
        "select convert(int junk, a) from t",
        "select convert(nvarchar(40) x, a) from t",
        "select convert(nvarchar(40, a) from t",
        "select convert(decimal(18, 6, 2), a) from t",
        "select convert('int', a) from t",
        "select convert(int, ) from t",
        "select convert(varchar(10), d, 120) from t",
        "select x = , y from t",
    };
    for (const char* sql : refused)
        EXPECT_THROW(translateSelect(QString::fromUtf8(sql)), BridgeError) << sql;
}

TEST(TSqlBridge, NestingIsLimitedWithAClearError)
{
    const auto nested = [](const QString& open, const QString& close, int levels) {
        return QStringLiteral("select ") + open.repeated(levels) + QStringLiteral("a") + close.repeated(levels) + QStringLiteral(" from t");
    };
    // 64 levels are translated, deeper statements refused by name.
    EXPECT_NO_THROW(translateSelect(nested(QStringLiteral("convert(int, "), QStringLiteral(")"), 63)));
    EXPECT_NO_THROW(translateSelect(nested(QStringLiteral("("), QStringLiteral(")"), 64)));
    const QString deep[] = {
        nested(QStringLiteral("convert(int, "), QStringLiteral(")"), 65),
        nested(QStringLiteral("("), QStringLiteral(")"), 65),
        nested(QStringLiteral("convert(int, "), QStringLiteral(")"), 140 * 1024 / 13), // 140 KB
        QStringLiteral("select ") + QStringLiteral("convert(").repeated(140 * 1024 / 8), // unbalanced as well
        QStringLiteral("select ") + QStringLiteral("a = select ").repeated(20000) + QStringLiteral("1"), // aliases without parentheses
    };
    for (const QString& sql : deep) {
        try {
            translateSelect(sql);
            ADD_FAILURE() << "accepted " << sql.left(60).toStdString();
        } catch (const BridgeError& error) {
            EXPECT_NE(std::string(error.what()).find("nests deeper than 64 levels"), std::string::npos) << error.what();
        }
    }
}

TEST(TSqlBridge, ProcedureCalls)
{
    ProcedureCall call;
    ASSERT_TRUE(parseProcedureCall(QStringLiteral(" Exec Usp_BO_ExpandByComp 'A''1','zz',-2.5, 1, ,0,1"), call));
    EXPECT_EQ(call.name, QStringLiteral("Usp_BO_ExpandByComp"));
    ASSERT_EQ(call.arguments.size(), 7);
    EXPECT_EQ(call.arguments[0].text, QStringLiteral("A'1"));
    EXPECT_EQ(call.arguments[2].text, QStringLiteral("-2.5"));
    EXPECT_EQ(call.arguments[4].kind, Token::Kind::Symbol); // omitted
    EXPECT_EQ(call.arguments[6].text, QStringLiteral("1"));

    ASSERT_TRUE(parseProcedureCall(QStringLiteral("Exec Usp_BO_BO02010 0,, 0,''"), call));
    EXPECT_EQ(call.arguments.size(), 4);
    EXPECT_FALSE(parseProcedureCall(QStringLiteral("select 1"), call));
    EXPECT_THROW(parseProcedureCall(QStringLiteral("Exec p 'a' 'b'"), call), BridgeError);
    EXPECT_THROW(parseProcedureCall(QStringLiteral("Exec p a.b"), call), BridgeError);
    EXPECT_THROW(parseProcedureCall(QStringLiteral("Exec p 1; drop table t"), call), BridgeError);
}

TEST(TSqlBridge, ProcedureArgumentKinds)
{
    ProcedureCall call;
    ASSERT_TRUE(parseProcedureCall(QStringLiteral("EXECUTE p 1.5e3, NULL, N'名', -7"), call));
    ASSERT_EQ(call.arguments.size(), 4);
    EXPECT_EQ(call.arguments[0].text, QStringLiteral("1.5e3"));
    EXPECT_TRUE(call.arguments[1].is("null"));
    EXPECT_EQ(call.arguments[2].kind, Token::Kind::String);
    EXPECT_EQ(call.arguments[2].text, QStringLiteral("名"));
    EXPECT_EQ(call.arguments[3].text, QStringLiteral("-7"));
    EXPECT_TRUE(parseProcedureCall(QStringLiteral("Exec p"), call));
    EXPECT_TRUE(call.arguments.isEmpty());
}

TEST(TSqlBridge, TranslatesForTheServer)
{
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"Select cItem,cItemName=isnull(cItemName,'') From UserDef",
         "Select cItem AS \"cItem\" , coalesce ( cItemName , '' ) AS \"cItemName\" From UserDef"},
        {"SELECT convert(nvarchar(40), v) AS 属性, convert(int, '5') n, convert(decimal(18, 6), q) FROM t",
         "SELECT CAST(v AS text) AS \"属性\" , CAST('5' AS bigint) n , CAST(q AS double precision) FROM t"},
        {"SELECT [Order Qty], x.[cInvCode] FROM [Inventory] x WHERE len(cInvName) > 2 AND d < getdate()",
         "SELECT \"order qty\" AS \"Order Qty\" , x . \"cinvcode\" FROM \"inventory\" x WHERE length(rtrim(cInvName)) > 2 AND d < '2026-12-07'"},
        {"SELECT p.ParentScrap AS '母件损耗率(%)', N'A' + cInvCode + '-' FROM t WHERE cInvCode = N'bk-100  ' OR c LIKE 'a  '",
         "SELECT p.ParentScrap AS \"母件损耗率(%)\" , 'A' || cInvCode || '-' FROM t WHERE cInvCode = 'bk-100' OR c LIKE 'a  '"},
        {"select a from t where a = (select b = 1 from u)", "select a AS \"a\" from t where a = ( select b = 1 from u )"},
        {"select distinct p.InvCode, q.Free1 from t order by p.InvCode",
         "select distinct p.InvCode AS \"InvCode\" , q.Free1 AS \"Free1\" from t order by p.InvCode"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(translateSelect(QString::fromUtf8(c.in), Dialect::PostgreSQL, QStringLiteral("2026-12-07")).toStdString(), std::string(c.out))
            << c.in;
    // the embedded dialect joins texts and drops compared trailing blanks too
    EXPECT_EQ(translateSelect(QStringLiteral("select 'a' + b from t where c >= 'x  ' and d like 'y '")).toStdString(),
              "select 'a' || b from t where c >= 'x' and d like 'y '");
}
