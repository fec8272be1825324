#pragma once

#include <QSqlDatabase>

namespace q7::data {

// Registers SQL Server functions the component's statements use on an open
// embedded connection: len (length without trailing blanks), getdate.
void registerSqlServerFunctions(QSqlDatabase& db);

} // namespace q7::data
