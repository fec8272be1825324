#pragma once

#include <QString>

#include <cstdint>
#include <functional>

// The account database on disk: where it lives, how it is created.
namespace q7::host::account {

// The demo account's path in the user's data directory (XDG).
QString defaultDemoPath();
// The connection string of an embedded account file.
QString connectionStringFor(const QString& path);

// Creates a new account file (replacing one at the path) with the schema
// and the demo data set. Returns a description of what it holds.
QString createDemoAccount(const QString& path);

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
// Creates a deterministic BOM forest. progress(done, total) is called now and then.
SyntheticSummary createSyntheticAccount(const QString& path, const SyntheticOptions& options,
                                        const std::function<void(int64_t, int64_t)>& progress = {});

// Opens the demo account, creating it first when it does not exist.
QString ensureDemoAccount();

} // namespace q7::host::account
