#pragma once

#include <QString>

#include <cstdint>

// The hidden client mode: one process of the load, started by the bench for
// each client of a round.
namespace q7::bench::team {

struct ClientOptions {
    int index = 0;
    QString planFile;
    QString folder;  // the round's folder: the client writes client-<index>.json and writes-<index>.jsonl there
    int seconds = 0;
    uint64_t seed = 0;
};

// Opens the account, says "ready" on standard output, waits for "go" on
// standard input, then runs operations picked at random (seeded) for the
// given time; each failure that is not an expected refusal goes to standard
// error as it happens. Writes its tally at the end. Exit status 0 when it
// ran to the end (whatever its operations did), 1 when it could not.
int runClient(const ClientOptions& options);

// The files of a client in the round's folder.
QString tallyFile(const QString& folder, int index);
QString writeLogFile(const QString& folder, int index);

} // namespace q7::bench::team
