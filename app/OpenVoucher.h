#pragma once

#include <QSharedPointer>
#include <QString>

namespace q7::host::voucher {
class VoucherForm;
}

namespace q7::app {

// The BOM voucher over the account, with its handler bound and opened, as the
// commands that show, export and import BOMs use it.
QSharedPointer<q7::host::voucher::VoucherForm> openVoucher(const QString& db);

} // namespace q7::app
