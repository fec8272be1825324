#pragma once

#include <QString>
#include <QVariant>
#include <gtest/gtest.h>

// Tests of the server account run on the cluster scripts/test.sh starts
// (Q7_PG_CONNECTION, a libpq connection string). Without it they skip, unless
// Q7_REQUIRE_SERVER=1 asks for the server (CI), where they fail.
namespace fake {

QString serverConnection();
bool serverRequired();

// A database of its own on the test cluster (tests may run side by side), dropped at the end.
class ServerDatabase {
public:
    ServerDatabase();
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;

    const QString& name() const { return name_; }
    QString connection() const; // libpq text
    QString account() const;    // the account's ADO connection string

private:
    QString name_;
};

// A value as text that reads the same from both databases (numbers by value, NULL as "NULL").
QString comparableText(const QVariant& value);

// The demo account on a server database of its own, built once for the test program.
QString serverDemoAccount();

} // namespace fake

#define Q7_NEEDS_SERVER()                                                                                                  \
    do {                                                                                                                    \
        if (fake::serverConnection().isEmpty()) {                                                                           \
            if (fake::serverRequired())                                                                                     \
                FAIL() << "Q7_REQUIRE_SERVER=1 but Q7_PG_CONNECTION names no server";                                       \
            GTEST_SKIP() << "no PostgreSQL server: set Q7_PG_CONNECTION (scripts/test.sh starts one) to run this test";     \
        }                                                                                                                   \
    } while (0)
