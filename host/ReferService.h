#pragma once

#include "platform/HostServices.h"

#include <QObject>

namespace q7::host {

// Reference look-ups over the current account: a searchable pick list per
// kind (platform/ReferKinds.h); Enter picks, Esc cancels and changes nothing.
class ReferService : public QObject, public IRefer {
    Q_OBJECT
public:
    void InitReferInfo(QVariant& record, int count) override;
    void SetReferInfo(QVariant& record, int number, const QString& column, const QString& referKind,
                      const QString& filter) override;
    bool ShowRefer(const QVariant& login, const QString& referKind, const QVariantList& parameters, QVariant& recordset, QVariant& picked,
                   int a, int b) override;
    bool ShowFreeItemRefer(const QVariant& login, QVariant& itemCode, QVariant& freeValues, int a, QVariant& recordset,
                           int b) override;
};

} // namespace q7::host
