#pragma once

#include "platform/ObjectRef.h"
#include "platform/VoucherTypes.h"

#include <optional>

namespace q7::component {

class VoucherFormAccess;

// The statement that finds the BOM before the current one that passes the
// voucher's filter. Every value goes between quotes with its quotes doubled;
// a filter item whose name is not a plain column name (letters, digits, "_"
// and ".") is refused with a message and no statement is made.
namespace VoucherLocate {

std::optional<q7::LocateSqlString> build(const q7::Object& filter, const VoucherFormAccess& form);

// Whether a filter item's name may stand in the statement as a column name.
bool isColumnName(const QString& name);

} // namespace VoucherLocate

} // namespace q7::component
