#pragma once

#include "bench/team/BomState.h"
#include "bench/team/WriteRecord.h"

#include <QHash>
#include <QList>
#include <QStringList>

// The audit of the writes a load made, against the BOMs as they ended.
//
// Writers race, so the commit order of two writes of a BOM is not the order
// in which their clients saw them return. The audit orders them by the BOM's
// change counter instead (host/db/BomChanges), which every write of a BOM's
// lines moves on inside its own transaction: a voucher save by claiming the
// counter it loaded (compare-and-move, so of two saves of one load only one
// commits), a replace and an undo once per line they rewrite. A counter
// value therefore names one committed state of the BOM, and the greater
// value the later one. Each journaled write carries such a pair:
//  - a save knows its pair exactly: the counter it loaded plus one, and the
//    lines it wrote;
//  - a replace or an undo commits inside the maintenance library, so its
//    client reads the counter and the lines in one snapshot right after the
//    commit. That is its own state or a later writer's, never an earlier
//    one's, and in either case a true pair; and the counter must have moved
//    by at least the lines it rewrote since it was read before the write.
// The audit then holds when, for every BOM:
//  - every write moved the counter by at least its own changes;
//  - writes that name the same counter name the same lines;
//  - the BOM ends at the greatest counter journaled for it, with that
//    write's lines (a lower counter means a committed write nobody
//    journaled, a lost or phantom change; other lines mean an update lost
//    or a write that did not do what it answered);
// and no BOM whose counter moved lacks a journaled write.
namespace q7::bench::team {

// What is wrong, one text per problem; empty when the audit holds. `finals`
// holds the end state of every BOM written or with a counter that moved.
QStringList auditWrites(const QList<WriteRecord>& writes, const QHash<int, BomState>& finals);

} // namespace q7::bench::team
