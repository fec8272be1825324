#pragma once

#include "platform/ObjectRef.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QVariant>

namespace q7::host::process {

// Who opened the form, on which account (what reference look-ups and the
// operations are given).
class ProcessLogin : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString UserId MEMBER userId)
    Q_PROPERTY(QString AccountPath MEMBER accountPath)
public:
    QString userId;
    QString accountPath;
};

class LoginInformation : public QObject {
    Q_OBJECT
    Q_PROPERTY(QVariant LoginObject READ loginObject)
public:
    explicit LoginInformation(Object login) : login_(std::move(login)) {}
    QVariant loginObject() const { return fromObject(login_); }

private:
    Object login_;
};

// The parameter form's settings bag (`ProcessInfo`): what the handler
// configures at InitForm, and the condition values handed to the library.
class ProcessInfo : public QObject {
    Q_OBJECT
    Q_PROPERTY(QVariant LoginInformation READ loginInformation)
    Q_PROPERTY(int RefreshInventoryListCount MEMBER refreshInventoryListCount)
    Q_PROPERTY(QVariant RefreshInventoryList MEMBER refreshInventoryList)
    Q_PROPERTY(QVariant DropDownListColumnField MEMBER dropDownListColumnField)
    Q_PROPERTY(QString MenuKey MEMBER menuKey)
public:
    ProcessInfo(QString menuKey, Object login);

    // The server-side operation the handler calls through CallServerWithParams:
    // names and values of conditions handed to the library.
    Q_INVOKABLE QVariant SetConditionColumn(const QVariant& names, const QVariant& values);

    QVariant loginInformation() const { return fromObject(loginInformation_); }
    const Object& login() const { return login_; }

    QString menuKey;
    int refreshInventoryListCount = 0;
    QVariant refreshInventoryList;
    QVariant dropDownListColumnField;
    QMap<QString, QVariant> conditions; // condition values by field key

private:
    Object login_;
    Object loginInformation_;
};

} // namespace q7::host::process
