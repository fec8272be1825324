#include "host/TemplateService.h"

#include "host/browse/VoucherTemplates.h"

namespace q7::host {

QVariant TemplateService::GetTemplate(const QVariant&, const QString& voucherType)
{
    const QVariantList entries = browse::voucherTemplate(voucherType);
    return entries.isEmpty() ? QVariant(voucherType) : QVariant(entries);
}

} // namespace q7::host
