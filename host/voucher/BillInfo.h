#pragma once

#include "host/voucher/VoucherXml.h"
#include "platform/LateBinding.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QVariantMap>

namespace q7::host::voucher {

class VoucherForm;

class LoginInformation : public QObject {
    Q_OBJECT
    Q_PROPERTY(QVariant LoginObject MEMBER loginObject)
    Q_PROPERTY(QString AccountConnection MEMBER accountConnection)
public:
    QVariant loginObject;
    QString accountConnection;
};

// The voucher's settings and data bag. Besides its declared members it keeps
// whatever configuration the handler stores (plain or indexed properties:
// `RefreshColumnList(2) = record`), and it is the target of the voucher's
// named server operations.
class BillInfo : public QObject, public DynamicDispatch {
    Q_OBJECT
    Q_PROPERTY(QVariant LoginInformation READ loginInformation)
    Q_PROPERTY(QString AuthID MEMBER authId)
    Q_PROPERTY(QString cVouType MEMBER vouType)
    Q_PROPERTY(int lCurVouchId MEMBER currentId)
    Q_PROPERTY(QVariant Headxml READ headXml)
    Q_PROPERTY(QVariant Bodyxml READ bodyXml)
    Q_PROPERTY(bool bSuccess MEMBER success)
    Q_PROPERTY(QVariant LocateSQLString MEMBER locate)
public:
    explicit BillInfo(VoucherForm* form);

    bool dispatch(Access access, const QString& name, QVariantList& args, QVariant& result) override;

    QVariant loginInformation() const { return fromObject(login); }
    QVariant headXml() const { return fromObject(headDocument); }
    QVariant bodyXml() const { return fromObject(bodyDocument); }

    // A stored configuration value; an indexed one by its index.
    QVariant config(const QString& name) const;
    QVariant config(const QString& name, int index) const;
    QVariantList configList(const QString& name) const; // the entries of an indexed one
    // How many times the configuration was stored: what is read from it stands while this does.
    quint64 configChanges() const { return configChanges_; }

    // Named server operations (reached through the common service's CallServer).
    Q_INVOKABLE QVariant LoadVoucherEntryData(const QVariant& names, const QVariant& values);
    Q_INVOKABLE QVariant BomCopy(const QVariant& names, const QVariant& values);
    Q_INVOKABLE QVariant LoadCopyData(const QVariant& names, const QVariant& values);

    QSharedPointer<LoginInformation> login = makeObject<LoginInformation>();
    QString authId = QStringLiteral("BO01001");
    QString vouType;
    int currentId = 0;
    QSharedPointer<XmlDocument> headDocument = makeObject<XmlDocument>();
    QSharedPointer<XmlDocument> bodyDocument = makeObject<XmlDocument>();
    bool success = true;
    QVariant locate;

private:
    QPointer<VoucherForm> form_;
    QHash<QString, QVariant> bag_;               // by lower-case name
    QHash<QString, QMap<int, QVariant>> indexed_; // by lower-case name
    quint64 configChanges_ = 0;
};

} // namespace q7::host::voucher
