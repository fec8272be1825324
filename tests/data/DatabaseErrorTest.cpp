// What a database error says to the user, as the drivers hand errors over.
#include "platform/data/DatabaseError.h"

#include <gtest/gtest.h>

TEST(DatabaseError, TheServersOwnWordsWithTheirState)
{
    const struct {
        const char* driver;
        const char* database;
        const char* code;
        const char* expected;
        const char* state;
    } cases[] = {
        {"QPSQL: Unable to create query", "ERROR:  could not serialize access due to concurrent update\n(40001)", "40001",
         "could not serialize access due to concurrent update (SQLSTATE 40001)", "40001"},
        {"QPSQL: Unable to connect",
         "connection to server at \"127.0.0.1\", port 1 failed: Connection refused\n\tIs the server running on that host and accepting TCP/IP "
         "connections?\n",
         "",
         "connection to server at \"127.0.0.1\", port 1 failed: Connection refused Is the server running on that host and accepting TCP/IP "
         "connections?",
         ""},
        {"QPSQL: Unable to connect", "FATAL:  database \"acme\" does not exist\n", "", "database \"acme\" does not exist", ""},
        {"QPSQL: Unable to prepare statement", "ERROR:  syntax error at or near \"FORM\"\nLINE 1: SELECT * FORM x\n                 ^\n(42601)", "42601",
         "syntax error at or near \"FORM\" LINE 1: SELECT * FORM x ^ (SQLSTATE 42601)", "42601"},
        // the driver's words when the server said nothing
        {"QPSQL: Unable to subscribe", "", "", "QPSQL: Unable to subscribe", ""},
        {"QPSQL: Unable to connect", "FATAL:  role \"ann\" does not exist\n()", "", "role \"ann\" does not exist", ""},
        // the embedded database's errors read as they come
        {"Unable to fetch row", "database is locked", "5", "database is locked Unable to fetch row", ""},
    };
    for (const auto& c : cases) {
        const QSqlError error(QString::fromUtf8(c.driver), QString::fromUtf8(c.database), QSqlError::StatementError, QString::fromUtf8(c.code));
        EXPECT_EQ(q7::data::errorText(error), QString::fromUtf8(c.expected)) << c.driver;
        EXPECT_EQ(q7::data::sqlState(error), QString::fromUtf8(c.state)) << c.driver;
    }
}
