#pragma once

#include "platform/data/Ado.h"

#include <QString>

namespace q7::host::account {

// Creates every table and view of the account on an empty database.
void createSchema(ado::Connection& connection);
// Makes the folder of a new account file and removes an old file there.
void prepareFile(const QString& path);

} // namespace q7::host::account
