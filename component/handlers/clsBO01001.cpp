#include "handlers/clsBO01001.h"

#include "frame/FormBinding.h"

void clsBO01001::FormVoucher(const QVariant& frm) { bindFormEventHandler(frm, m_frmVoucher, objEvent); }
void clsBO01001::FormVoucherEntry(const QVariant& frm) { bindFormEventHandler(frm, m_frmEntry, objEntryEvent); }
