#pragma once

#include "platform/data/ResultSet.h"

#include "platform/data/Ado.h"
#include <QVariantList>

// The account database's BOM procedures, taking the argument lists that the
// report handlers build from the shipped filter definitions.
namespace q7::host::db::procedures {

// Registers the four procedures with the embedded database's registry.
void registerAccountProcedures();

// Multi-level explosion from parents. Arguments: item code range, ten free-item
// ranges, version range, version-date range, mode (1 全阶 indented rows,
// 2 阶列式 summed per level and component), plan rate, 0, 1, effective date.
data::ResultSet expandByParent(data::Connection& connection, const QVariantList& args);
// Multi-level where-used from components. Arguments: item code range, ten
// free-item ranges, effective date, plan rate, 0, 1.
data::ResultSet expandByComp(data::Connection& connection, const QVariantList& args);
// Explosion of a quantity of parents. Arguments: item code range, identifier
// range, BOM type (1 main, 2 substitute, 0 all), version range, version-date
// range, effective date, quantity, plan rate, ten free-item ranges.
data::ResultSet quantityExplosion(data::Connection& connection, const QVariantList& args);
// Comparison of two BOMs of one part. Arguments: angle, item code, version 1,
// version 2, identifier 1, identifier 2, show-same (1/0), five attribute
// flags, ten free-item values.
data::ResultSet compareBoms(data::Connection& connection, const QVariantList& args);

} // namespace q7::host::db::procedures
