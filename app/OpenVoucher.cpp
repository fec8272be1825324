#include "app/OpenVoucher.h"

#include "host/voucher/VoucherForm.h"
#include "platform/ClassRegistry.h"

namespace q7::app {

using q7::host::voucher::VoucherForm;

QSharedPointer<VoucherForm> openVoucher(const QString& db)
{
    auto form = VoucherForm::create(QStringLiteral("BO11"), db, QStringLiteral("q7bom"));
    form->open(q7::createObject(QStringLiteral("Q7BomLib.clsBO01001")));
    return form;
}

} // namespace q7::app
