#include "support/FakeHost.h"

#include "platform/AutomationError.h"
#include "platform/ObjectRef.h"
#include "platform/data/Ado.h"

#include <gtest/gtest.h>

using namespace q7;

namespace {

ado::Recordset rows()
{
    data::ResultSet rs;
    rs.columns = QStringList{QStringLiteral("cItem"), QStringLiteral("cID"), QStringLiteral("cItemName")};
    rs.rows = {{QStringLiteral("自由项1"), 20, QStringLiteral("颜色")},
               {QStringLiteral("自由项2"), 21, nullValue()},
               {QStringLiteral("Other"), 28, QStringLiteral("x")}};
    return ado::Recordset(rs);
}

} // namespace

TEST(Recordset, NavigationAndFields)
{
    ado::Recordset rs = rows();
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
        ado::Recordset rs = rows();
        rs.setFilter(QString::fromUtf8(c.filter));
        EXPECT_EQ(rs.recordCount(), c.count) << c.filter;
        EXPECT_EQ(rs.isEof(), c.count == 0) << c.filter;
        if (c.first) {
            EXPECT_EQ(rs.Fields(QStringLiteral("cItem")).toString(), QString::fromUtf8(c.first)) << c.filter;
        }
    }
    ado::Recordset rs = rows();
    EXPECT_EQ(fake::errorOf([&] { rs.setFilter(QStringLiteral("cItem like 'x'")); }), ErrInvalidPropertyValue);
    EXPECT_EQ(fake::errorOf([&] { rs.setFilter(QStringLiteral("nosuch='x'")); }), 3265);
}
