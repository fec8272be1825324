#pragma once

#include "platform/data/Ado.h"

#include <QObject>
#include <QVariant>

namespace q7::host::voucher {

// The BOM server object: lets the user choose the BOM a new voucher is
// copied from, through the reference service (refer kind "BomCopy", the
// parameter being the voucher kind: 1 BOM voucher, 2 other).
class BomServer : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE void BomCopyRef(const QVariant& login, QVariant& bomId, short kind, QVariant& connection, QVariant& text,
                                const QVariant& extra);
};

// The platform's database connection object, opened with a connection
// string, a user, a password and options.
class AdoConnection : public data::Connection {
    Q_OBJECT
public:
    Q_INVOKABLE void Open(const QString& connectionString, const QString& user, const QString& password, int options);
};

// Registers the voucher library's creatable classes.
void registerVoucherClasses();

} // namespace q7::host::voucher
