#pragma once

#include "platform/ObjectRef.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>

namespace q7::host::browse {

inline constexpr const char* DataManagerClassId = "Q7MDataHelper.clsDataManager";
inline constexpr const char* DataSourceClassId = "IDataSource.DefaultDataSource";

// The browse voucher templates: "BO21" (a parent's BOM) and "BO25" (an item's
// users). Entries are maps of Section ("T" title, "H" head, "B" body), Key,
// Caption and Width (twips); empty for an unknown template.
QVariantList voucherTemplate(const QString& templateId);

// What the data manager knows about a voucher type.
class VoucherInfo : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString DefVTID MEMBER defaultTemplate)
    Q_PROPERTY(QString VoucherType MEMBER voucherType)
public:
    QString defaultTemplate;
    QString voucherType;
};

// The voucher data manager: templates and their numbering by voucher type.
class DataManager : public QObject {
    Q_OBJECT
public:
    // Hands the account back with the voucher type's template numbering applied.
    Q_INVOKABLE void SetTemplatePointNumber(QVariant& account, const QString& voucherType);
    // info receives a VoucherInfo; run-time error 5 for a voucher type without templates.
    Q_INVOKABLE bool GetVouchInfo(const QString& voucherType, QVariant& info, const QVariant& connection);
};

// The voucher control's data source: the login it reads data as.
class DefaultDataSource : public QObject {
    Q_OBJECT
    Q_PROPERTY(QVariant Login MEMBER login)
public:
    Q_INVOKABLE void SetLogin(const QVariant& value) { login = value; }
    QVariant login;
};

} // namespace q7::host::browse
