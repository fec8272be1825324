#pragma once

#include "platform/data/ResultSet.h"

#include <QString>
#include <QVariantList>

#include <functional>

namespace q7::data {
class Connection;
}

namespace q7::data {

// The account database's stored procedures, reached by "Exec name args".
// Arguments arrive as values (texts, numbers, Null; an omitted one as the
// platform's Missing).
using Procedure = std::function<ResultSet(data::Connection& connection, const QVariantList& arguments)>;

void registerProcedure(const QString& name, Procedure procedure);
const Procedure* findProcedure(const QString& name); // ignoring case; nullptr when unknown

} // namespace q7::data
