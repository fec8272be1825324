#pragma once

#include "platform/data/Ado.h"

#include "host/db/AccountDatabase.h"

#include <QString>

#include <functional>

namespace q7::host::db {

// Creates every table and view of the account on an empty database (either kind).
void createSchema(data::Connection& connection);
// The user_version of a finished account database, set in the transaction that
// completes it. It names the schema too: a new table moves it on, and an
// account marked with an earlier one reads as unfinished for this version
// (the demo account is then built again; another account must be made again).
constexpr int FinishedAccountMark = 0x51374232; // 0x51374231 before the routing tables

// Builds a new account at path: creators of one path take turns (a lock file
// beside it); fill writes the account into a temporary file beside the path,
// which is marked finished and renamed into place. Returns false when
// existing is Keep and a finished account is already there (nothing built).
// A server account is built in one transaction instead, after the same
// checks; its mark is the row of the table q7_account.
bool buildAccountFile(const QString& path, Existing existing, const std::function<void(data::Connection&)>& fill);

// The server account's side of the functions above.
AccountState serverStateOf(data::Connection& connection);
void openServerAccount(data::Connection& connection, const QString& account);
bool buildServerAccount(const QString& account, Existing existing, const std::function<void(data::Connection&)>& fill);

} // namespace q7::host::db
