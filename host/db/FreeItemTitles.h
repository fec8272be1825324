#pragma once

#include <QSqlDatabase>
#include <QStringList>

namespace q7::host::db {

// What the account calls its ten free items (颜色, 尺寸, …), in order; an
// unnamed one is "". The user definitions 20, 21 and 28 … 35 name them.
QStringList freeItemTitles(const QSqlDatabase& db);

} // namespace q7::host::db
