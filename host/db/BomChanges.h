#pragma once

#include <QSqlDatabase>

// Each BOM's change counter (table q7_bom_change, made by the first change in
// an account made before it; no row is 0): every change of a
// BOM's head or lines moves it on, in the transaction of the change. A
// client that loaded a BOM claims its save with the counter it loaded; a
// claim fails when someone else changed the BOM since, and the save is refused
// instead of overwriting their change. Readers never wait for it.
namespace q7::host::db {

// On a server the writers of BOM lines (voucher saves, maintenance runs and
// their undo) take turns on this advisory lock, each before it touches a row:
// new ids are the highest plus one, and two writers never wait for each
// other's rows in opposite orders. Readers never take it.
inline constexpr qint64 LineWritersLock = 20260001;

qint64 changeCountOf(QSqlDatabase& db, int bomId);
// Moves the counter on when it still is `loaded`; false when the BOM changed since.
bool claimChange(QSqlDatabase& db, int bomId, qint64 loaded);
// Moves the counter on, whatever it is (maintenance operations that rewrite lines).
void noteChange(QSqlDatabase& db, int bomId);

} // namespace q7::host::db
