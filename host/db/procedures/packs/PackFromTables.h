#pragma once

#include "host/db/procedures/packs/PackRecords.h"
#include "host/db/procedures/Statement.h"

#include <QByteArray>
#include <QVector>

// Packs made from the account's tables, for the upkeep.
namespace q7::host::db::procedures::packs {

// A date column as the packs keep it (a NULL as whenNull); false when it is
// not a yyyy-mm-dd text, or NULL and whenNull is 0.
bool dateOf(const Statement& statement, int column, int whenNull, int& out);

// The description of descriptionColumns, from the column first on, to be packed.
DescriptionBytes readDescriptionBytes(const Statement& statement, int first);

// The rows the down packs are made of: of one part (bound as ?1), or of every part without a pack.
QByteArray downPackQuery(bool onePart);
// Packs the parts downPackQuery's rows give, replacing their packs.
void packDown(const Database& db, Statement& rows);

// Packs the uses of the parts from the tables, replacing their packs (a part
// that cannot be packed loses its pack and is read from the tables).
void packUses(const Database& db, const QVector<int>& parts);
// Packs the uses of every part that has no use pack yet.
void packMissingUses(const Database& db);

} // namespace q7::host::db::procedures::packs
