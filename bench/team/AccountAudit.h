#pragma once

#include "bench/team/Plan.h"
#include "bench/team/WriteRecord.h"

#include <QString>
#include <QStringList>

// The audit after a round, on the account itself: the journaled writes
// against the BOMs as they ended (Audit.h), the structure check of the
// maintenance operations, and on the file SQLite's own integrity check.
namespace q7::bench::team {

struct AuditResult {
    int boms = 0;         // BOMs compared
    QStringList problems;
    bool ok() const { return problems.isEmpty(); }
    QString summary() const; // "ok (24 BOMs)" or "FAILED (3 problems)"
};

AuditResult auditAccount(const Plan& plan, const QList<WriteRecord>& writes);

} // namespace q7::bench::team
