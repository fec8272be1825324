#pragma once

#include <QSqlDatabase>

struct sqlite3;

// Keeping the packs of an embedded account: their tables, the triggers that
// drop a pack when anything it holds changes, and packing again what they dropped.
namespace q7::host::procedures::packs {

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
// Whether the account keeps packs (an account packed by an earlier version has none until packed again).
bool kept(sqlite3* db);
// Whether it keeps where-used packs too (an account packed by an earlier version has none until packed again).
bool usesKept(sqlite3* db);

} // namespace q7::host::procedures::packs
