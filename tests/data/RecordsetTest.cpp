#include "support/FakeHost.h"

#include "platform/AutomationError.h"
#include "platform/ObjectRef.h"
#include "platform/data/Ado.h"

#include <gtest/gtest.h>

using namespace q7;

namespace {

data::Recordset rows()
{
    data::ResultSet rs;
    rs.columns = QStringList{QStringLiteral("cItem"), QStringLiteral("cID"), QStringLiteral("cItemName")};
    rs.rows = {{QStringLiteral("自由项1"), 20, QStringLiteral("颜色")},
               {QStringLiteral("自由项2"), 21, nullValue()},
               {QStringLiteral("Other"), 28, QStringLiteral("x")}};
    return data::Recordset(rs);
}

} // namespace

TEST(Recordset, NavigationAndFields)
{
    data::Recordset rs = rows();
    EXPECT_EQ(rs.recordCount(), 3);
    EXPECT_FALSE(rs.isBof() || rs.isEof());
    EXPECT_EQ(rs.Fields(QStringLiteral("CITEM")).toString(), QStringLiteral("自由项1"));
    rs.MoveNext();
    EXPECT_TRUE(isNull(rs.Fields(QStringLiteral("cItemName")))); // NULL stays Null, not ""
    rs.MoveNext();
    rs.MoveNext();
    EXPECT_TRUE(rs.isEof());
    EXPECT_EQ(fake::errorOf([&] { rs.MoveNext(); }), 3021);
    EXPECT_EQ(fake::errorOf([&] { rs.Fields(QStringLiteral("cItem")); }), 3021);
    rs.MoveFirst();
    EXPECT_EQ(fake::errorOf([&] { rs.Fields(QStringLiteral("nosuch")); }), 3265);
}

TEST(Recordset, ClientSideFilter)
{
    struct Case {
        const char* filter;
        int count;
        const char* first;
    };
    const Case cases[] = {
        {"cItem='自由项1 '", 1, "自由项1"}, // trailing blanks do not count
        {"citem='OTHER'", 1, "Other"},      // nor does letter case
        {"cID=21", 1, "自由项2"},
        {"cID=21 AND cItem='x'", 0, nullptr},
        {"cItemName='颜色'", 1, "自由项1"}, // a Null never matches
        {"", 3, "自由项1"},
    };
    for (const Case& c : cases) {
        data::Recordset rs = rows();
        rs.setFilter(QString::fromUtf8(c.filter));
        EXPECT_EQ(rs.recordCount(), c.count) << c.filter;
        EXPECT_EQ(rs.isEof(), c.count == 0) << c.filter;
        if (c.first) {
            EXPECT_EQ(rs.Fields(QStringLiteral("cItem")).toString(), QString::fromUtf8(c.first)) << c.filter;
        }
    }
    data::Recordset rs = rows();
    EXPECT_EQ(fake::errorOf([&] { rs.setFilter(QStringLiteral("cItem like 'x'")); }), ErrInvalidPropertyValue);
    EXPECT_EQ(fake::errorOf([&] { rs.setFilter(QStringLiteral("nosuch='x'")); }), 3265);
}

#include "platform/data/ProcedureRegistry.h"

#include <QTemporaryDir>

// Numbers of an Exec call reach the procedure as the values they are, never as 0.
TEST(Recordset, ProcedureArgumentsKeepTheirNumbers)
{
    q7::data::registerProcedure(QStringLiteral("Usp_Test_Echo"), [](q7::data::Connection&, const QVariantList& args) {
        q7::data::ResultSet rs;
        rs.columns = {QStringLiteral("value")};
        for (const QVariant& a : args)
            rs.rows.append({a});
        return rs;
    });
    QTemporaryDir dir;
    q7::data::Connection connection;
    connection.Open(dir.filePath(QStringLiteral("echo.db")));
    const auto rs = connection.query(QStringLiteral("Exec Usp_Test_Echo 1e3, 7, 2.5, -4, 9223372036854775808, 'x'"));
    ASSERT_EQ(rs.rows.size(), 6);
    EXPECT_EQ(rs.rows[0][0].toDouble(), 1000.0);
    EXPECT_EQ(rs.rows[1][0].toLongLong(), 7);
    EXPECT_EQ(rs.rows[2][0].toDouble(), 2.5);
    EXPECT_EQ(rs.rows[3][0].toDouble(), -4.0);
    EXPECT_EQ(rs.rows[4][0].toDouble(), 9223372036854775808.0); // past 64 bits: a double, not a wrapped integer
    EXPECT_THROW(connection.query(QStringLiteral("Exec Usp_Test_Echo 1e999")), q7::AutomationError);
}
