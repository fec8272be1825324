#pragma once

#include "host/voucher/VoucherForm.h"

#include <QList>
#include <QObject>
#include <QSharedPointer>
#include <QVariant>

namespace q7::host::voucher {

inline constexpr const char* VoucherLibraryClassId = "Q7Host.Voucher";

// The voucher library as automation reaches it: opens the BOM voucher of an
// account with the component's handler bound, as the host opens menu BO01001.
class VoucherLibrary : public QObject {
    Q_OBJECT
public:
    // The voucher's form (its actions: ShowBom, TypeHead, TypeBody, AddRow,
    // Save, ExecuteMenuTask, HeadText, BodyText, Rows); kept open while the library lives.
    Q_INVOKABLE QVariant OpenVoucher(const QString& accountPath, const QString& user = QStringLiteral("demo"));

private:
    QList<QSharedPointer<VoucherForm>> open_;
};

} // namespace q7::host::voucher
