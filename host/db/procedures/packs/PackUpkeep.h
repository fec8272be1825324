#pragma once

#include <QSqlDatabase>

struct sqlite3;

// Keeping the packs of an embedded account: their tables, the triggers that
// drop a pack when anything it holds changes, and packing again what they dropped.
namespace q7::host::db::procedures::packs {

// Creates the pack tables when missing (a bulk load fills them before the triggers exist).
void prepareTables(sqlite3* db);
// Creates the pack tables and the triggers that keep them (dropping those of
// the format before, a pack of BOMs and one of descriptions), and packs every
// part that has no pack yet.
void packAll(sqlite3* db);
// Packs again the parts whose packs the triggers dropped. To be called in the
// transaction that changed the BOM tables, before it commits. Does nothing on
// an account without packs.
void refresh(sqlite3* db);
// The same on a connection of any kind (on a server account it does nothing).
void refresh(QSqlDatabase& db);
// A bulk write (an import) in one transaction: the triggers that drop packs
// row by row rest while it runs and the keys of the rows it changes are kept
// (on this connection only); releaseTriggers, in the same transaction before
// refresh, drops the packs those rows are held in, each watch once over all
// its keys, and puts the triggers back. The keys are resolved against the
// tables as the write leaves them, which names the same packs as the rows'
// own triggers would so long as the write removes lines only, never a BOM or
// a part. Packs are not to be read while held. False (nothing held) on an
// account without pack triggers.
bool holdTriggers(sqlite3* db);
void releaseTriggers(sqlite3* db);
// Whether the account keeps packs (an account packed by an earlier version has none until packed again).
bool kept(sqlite3* db);
// Whether it keeps where-used packs too (an account packed by an earlier version has none until packed again).
bool usesKept(sqlite3* db);

} // namespace q7::host::db::procedures::packs
