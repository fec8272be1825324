#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace q7::data {
class Connection;
}

// The account database on disk: where it lives, how it is created.
namespace q7::host::db {

// An account is named by a path (the embedded file) or by the ADO connection
// string of a server account (Provider=PostgreSQL;Connection="…"); every
// function below takes both.

// The server account reached by a libpq connection string or URI.
QString serverAccount(const QString& libpqConnection);
bool isServerAccount(const QString& account);

// A column name as the account's schema spells it ("bomid" -> "BomId"): a
// server folds unquoted names to lower case. Other names come back unchanged.
QString columnName(const QString& name);

// The demo account's path in the user's data directory (XDG).
QString defaultDemoPath();
// The connection string of an embedded account file (a server account's is itself).
QString connectionStringFor(const QString& path);

// What a file at an account path holds.
enum class AccountState {
    Missing,    // nothing there
    Finished,   // a complete account database
    Unfinished, // an account database whose creation never completed (or made before accounts were marked)
    Foreign,    // anything else: not a database, or another program's database
};
AccountState accountStateOf(const QString& path);

// What creating an account does with an account already at the path. Anything
// that is not an account database is never replaced.
enum class Existing {
    Refuse,  // fail
    Replace, // replace it, finished or not
    Keep,    // keep a finished account, replace an unfinished one
};

// Opens the account at path; refuses (run-time error) anything but a finished account.
void openAccount(data::Connection& connection, const QString& path);

// Creates a new account file with the schema and the demo data set. The account
// is built beside the path and moved there only when complete, so a reader sees
// the old account or the new one, never a part. Returns a description of what it holds.
QString createDemoAccount(const QString& path, Existing existing = Existing::Refuse);

struct SyntheticOptions {
    int parts = 1000;   // items (one part each)
    int depth = 5;      // levels of the BOM forest
    int fanout = 5;     // lines per BOM
    uint64_t seed = 1;
};
struct SyntheticSummary {
    int64_t parts = 0;
    int64_t boms = 0;
    int64_t lines = 0;
};
// Why these sizes make no synthetic account (empty when they do).
QString syntheticOptionsRefusal(const SyntheticOptions& options);
// Creates a deterministic BOM forest. progress(done, total) is called now and then.
// Built like the demo account.
SyntheticSummary createSyntheticAccount(const QString& path, const SyntheticOptions& options,
                                        const std::function<void(int64_t, int64_t)>& progress = {},
                                        Existing existing = Existing::Refuse);

// The demo account's path, creating the account first when it does not exist
// or its creation never completed.
QString ensureDemoAccount();

} // namespace q7::host::db
