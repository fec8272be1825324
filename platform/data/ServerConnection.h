#pragma once

#include <QSqlDatabase>
#include <QString>

// The account database on a PostgreSQL server, reached through Qt's QPSQL
// driver. The connection is named by a libpq connection string
// ("host=db1 port=5432 dbname=acme user=planner") or URI
// ("postgresql://planner@db1/acme"); the password never goes into it: libpq
// reads PGPASSWORD or ~/.pgpass itself.
namespace q7::data {

// The ADO connection string of a server account: Provider=PostgreSQL;Connection="…".
QString serverConnectionString(const QString& libpqConnection);

// The libpq text inside a server account's ADO connection string, or a URI
// given as it is; empty when the text names no server account.
QString serverConnectionOf(const QString& adoConnectionString);

// Where a server account is, for messages: "the database acme on db1" (never the whole text).
QString describeServerConnection(const QString& libpqConnection);

// Sets up db (a QPSQL database) from a libpq connection string or URI. Throws
// a run-time error for text libpq does not read, and for text holding a password.
void configureServerDatabase(QSqlDatabase& db, const QString& libpqConnection);

} // namespace q7::data
