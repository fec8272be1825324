#include "host/voucher/BomServer.h"

#include "host/voucher/VoucherLibrary.h"

#include "host/db/AccountDatabase.h"
#include "host/voucher/VoucherForm.h"
#include "platform/ClassRegistry.h"
#include "platform/HostServices.h"
#include "platform/values/Values.h"

namespace q7::host::voucher {

void BomServer::BomCopyRef(const QVariant& login, QVariant& bomId, short kind, QVariant&, QVariant&, const QVariant&)
{
    const Object refer = createObject(QString::fromLatin1(ReferClassId));
    QVariant recordset;
    QVariant picked;
    bomId = 0;
    if (dynamic_cast<IRefer&>(*refer).ShowRefer(login, QStringLiteral("BomCopy"), {int(kind)}, recordset, picked, 0, 0))
        bomId = values::toLong(picked);
}

void AdoConnection::Open(const QString& connectionString, const QString&, const QString&, int)
{
    data::Connection::Open(connectionString);
}

void registerVoucherClasses()
{
    auto& registry = ClassRegistry::instance();
    registry.registerClass(QStringLiteral("MvQ7MBOMISrv.clsBom"), [] { return Object(makeObject<BomServer>()); });
    registry.registerClass(QStringLiteral("ADODB.Connection"), [] { return Object(makeObject<AdoConnection>()); });
    registry.registerClass(QString::fromLatin1(VoucherLibraryClassId), [] { return Object(makeObject<VoucherLibrary>()); });
    registry.registerClass(QStringLiteral("Q7Host.BomVoucher"), [] {
        return Object(VoucherForm::create(QStringLiteral("BO11"), db::ensureDemoAccount()));
    });
}

} // namespace q7::host::voucher
