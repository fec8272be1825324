// COPY's text format: every value reaches the server as it was written, and
// the bulk loader's rows (values and the statement's constants) arrive whole.
#include "host/db/CopyText.h"
#include "host/db/SqlInserter.h"
#include "platform/data/Ado.h"
#include "support/ServerDatabase.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

#include <optional>

using q7::host::db::SqlInserter;
namespace copytext = q7::host::db::copytext;

namespace {

struct Case {
    const char* what;
    std::optional<QString> value; // nothing: NULL
    QByteArray field;             // as COPY reads it
};

const QList<Case>& cases()
{
    static const QList<Case> all{
        {"plain", QStringLiteral("S0000001"), "S0000001"},
        {"empty is not NULL", QStringLiteral(""), ""},
        {"NULL", std::nullopt, "\\N"},
        {"the text \\N", QStringLiteral("\\N"), "\\\\N"},
        {"tab", QStringLiteral("a\tb"), "a\\tb"},
        {"newline", QStringLiteral("line 1\nline 2"), "line 1\\nline 2"},
        {"carriage return", QStringLiteral("a\r\nb"), "a\\r\\nb"},
        {"backslash", QStringLiteral("C:\\bom\\"), "C:\\\\bom\\\\"},
        {"backslash before t", QStringLiteral("\\t"), "\\\\t"},
        {"quotes", QStringLiteral("it's \"red\""), "it's \"red\""},
        {"chinese", QStringLiteral("合成件 红色\t个"), QStringLiteral("合成件 红色\\t个").toUtf8()},
        {"only specials", QStringLiteral("\t\n\r\\"), "\\t\\n\\r\\\\"},
    };
    return all;
}

} // namespace

TEST(CopyText, EachSpecialByteIsEscapedAndNothingElse)
{
    for (const Case& c : cases()) {
        const QByteArray field = c.value ? copytext::escaped(c.value->toUtf8()) : copytext::Null.toByteArray();
        EXPECT_EQ(field, c.field) << c.what;
        // an escaped field never ends its field or row early
        EXPECT_FALSE(field.contains('\t') || field.contains('\n') || field.contains('\r')) << c.what;
    }
    QByteArray row("x");
    copytext::appendEscaped(row, "a\tb");
    EXPECT_EQ(row, "xa\\tb");
}

TEST(CopyText, TheServerReadsBackWhatTheLoaderWrote)
{
    Q7_NEEDS_SERVER();
    const fake::ServerDatabase database;
    q7::data::Connection connection;
    connection.Open(database.account());
    QSqlDatabase& db = connection.database();
    SqlInserter::exec(db, "CREATE TABLE copied (n bigint, t text, r double precision, k text, \"offset\" bigint)");
    {
        // the constants of the statement go with every row: a quoted one with its doubled quote and a tab, a number
        SqlInserter inserter(db, QStringLiteral("INSERT INTO copied (n, t, r, k, Offset) VALUES (?, ?, ?, 'it''s\ta, b', 7)"));
        int n = 0;
        for (const Case& c : cases())
            inserter.insert({++n, c.value ? QVariant(*c.value) : QVariant(), 0.1 * n});
        inserter.insert({++n, QByteArray("UTF-8 已编码"), QVariant()});
    } // sent as the inserter ends
    QSqlQuery query(db);
    ASSERT_TRUE(query.exec(QStringLiteral("SELECT n, t, r, k, \"offset\" FROM copied ORDER BY n")));
    int n = 0;
    for (const Case& c : cases()) {
        ASSERT_TRUE(query.next()) << c.what;
        ++n;
        EXPECT_EQ(query.value(0).toInt(), n);
        EXPECT_EQ(query.value(1).isNull(), !c.value) << c.what;
        if (c.value) {
            EXPECT_EQ(query.value(1).toString(), *c.value) << c.what;
        }
        EXPECT_DOUBLE_EQ(query.value(2).toDouble(), 0.1 * n) << c.what;
        EXPECT_EQ(query.value(3).toString(), QStringLiteral("it's\ta, b")) << c.what;
        EXPECT_EQ(query.value(4).toInt(), 7) << c.what;
    }
    ASSERT_TRUE(query.next());
    EXPECT_EQ(query.value(1).toString(), QStringLiteral("UTF-8 已编码"));
    EXPECT_TRUE(query.value(2).isNull());
    EXPECT_FALSE(query.next());
}

TEST(CopyText, ABadRowFailsTheLoadWithTheServersMessage)
{
    Q7_NEEDS_SERVER();
    const fake::ServerDatabase database;
    q7::data::Connection connection;
    connection.Open(database.account());
    QSqlDatabase& db = connection.database();
    SqlInserter::exec(db, "CREATE TABLE copied (n bigint PRIMARY KEY)");
    try {
        SqlInserter inserter(db, QStringLiteral("INSERT INTO copied (n) VALUES (?)"));
        inserter.insertInts({1});
        inserter.insertInts({1});
        SqlInserter::exec(db, "SELECT 1"); // sends the gathered rows first
        FAIL() << "a duplicate key was loaded";
    } catch (const std::exception&) {
    }
    QSqlQuery query(db);
    ASSERT_TRUE(query.exec(QStringLiteral("SELECT count(*) FROM copied")));
    ASSERT_TRUE(query.next());
    EXPECT_EQ(query.value(0).toInt(), 0);
}
