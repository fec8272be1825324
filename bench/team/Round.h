#pragma once

#include "bench/team/Tally.h"

#include <QString>
#include <QStringList>

#include <cstdint>

// A round of the load: N client processes (this program again, in its
// hidden client mode) started together on the account, for a fixed time.
namespace q7::bench::team {

struct RoundSetup {
    int clients = 1;
    int seconds = 20;
    uint64_t seed = 1;
    QString planFile;
    QString folder; // the round's own folder for the clients' files
};

struct RoundResult {
    int clients = 0;
    Tally tally;              // every client's, merged
    double opsPerSecond = 0;  // operations done per second, all clients together
    QStringList failures;     // clients that did not run to the end, and why
};

RoundResult runRound(const RoundSetup& setup);

} // namespace q7::bench::team
