#pragma once

#include "platform/HostServices.h"

#include <QObject>

namespace q7::host {

// Voucher templates by voucher type: the template's name only.
class TemplateService : public QObject, public ITemplate {
    Q_OBJECT
public:
    QVariant GetTemplate(const QVariant& account, const QString& voucherType) override;
};

} // namespace q7::host
