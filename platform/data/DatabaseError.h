#pragma once

#include <QSqlError>
#include <QString>

namespace q7::data {

// What a failed statement or connection says to the user. A server error
// reads as the server's own message with its SQLSTATE ("could not serialize
// access due to concurrent update (SQLSTATE 40001)"); a refused connection as
// libpq's reason ("connection to server … failed: Connection refused"),
// without the driver's own words. Other drivers' errors read as they come.
QString errorText(const QSqlError& error);

// The run-time error a failed statement or connection raises (ErrProvider)
// with errorText's words, or with the caller's own.
[[noreturn]] void throwProviderError(const QSqlError& error);
[[noreturn]] void throwProviderError(const QString& message);

// The SQLSTATE of a server error ("40001"), empty for other errors.
QString sqlState(const QSqlError& error);

// Keeps the PostgreSQL driver's warnings about statements it could not
// free in an aborted transaction off standard error: the error that aborted
// it is reported once, where it happened. Installed once per process: true
// for the call that installed it.
bool quietServerDriver();

} // namespace q7::data
