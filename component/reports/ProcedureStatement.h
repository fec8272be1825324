#pragma once

#include "platform/ObjectRef.h"

#include <QString>
#include <QVariant>

#include <functional>

namespace q7::component {

// Walks the filter items in order, marking each with group token 0 before and
// 1 after its argument piece, and returns the concatenated pieces.
QString procedureArguments(const q7::Object& filter,
                           const std::function<QString(const QString& key, const QString& v1, const QString& v2)>& piece);
// Hands a procedure statement to the viewer in SqlSelect of a fresh record.
void locateProcedureStatement(const QVariant& reportInfo, const QString& statement);

} // namespace q7::component
