#pragma once

#include "bench/team/AccountAudit.h"
#include "bench/team/Round.h"

#include <QList>
#include <QString>

// The table a load prints: one row per round.
namespace q7::bench::team {

struct RoundRow {
    RoundResult round;
    AuditResult audit;
};

// clients, operations done per second, per kind the 50th and 99th
// percentile of the latencies of the attempts done (ms) and how many,
// refusals by reason, errors, the audit.
QString resultTable(const QList<RoundRow>& rows);

// Per round, the refusals by kind: "16 clients: save busy 1586, changed 2; undo changed 57".
QString refusalsByKind(const QList<RoundRow>& rows);

// "3.1/12.4 (512)"; "-" when none was done.
QString latencyCell(const KindTally& kind);
// "changed 12, busy 3"; "0" when there were none.
QString refusalCell(const Tally& tally);

} // namespace q7::bench::team
