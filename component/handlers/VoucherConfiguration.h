#pragma once

namespace q7::component {

class VoucherFormAccess;

// The configuration records that the BOM voucher's handler stores in the
// voucher's settings bag, for the voucher library to apply: pop-up menu,
// inventory refresh lists, column refresh rules, drop-down lists, default
// fields, template field, column authority and references.
namespace VoucherConfiguration {

void storeListForm(const VoucherFormAccess& form);
// By the entry form's voucher type: substitutes, users of a common BOM; the
// location-designator form gets none.
void storeEntryForm(const VoucherFormAccess& form);

} // namespace VoucherConfiguration

} // namespace q7::component
