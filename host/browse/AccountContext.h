#pragma once

#include "platform/ObjectRef.h"
#include "platform/data/Ado.h"

#include <QDate>
#include <QEnableSharedFromThis>
#include <QObject>
#include <QString>
#include <QVariant>

namespace q7::host::browse {

inline constexpr const char* AccountContextClassId = "Q7Host.AccountContext";

// Who is logged in, to which account, on which date.
class LoginInfo : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString UserId MEMBER userId)
    Q_PROPERTY(QString AccountId MEMBER accountId)
    Q_PROPERTY(QString LoginDate READ loginDateText)
public:
    QString userId = QStringLiteral("demo");
    QString accountId;
    QDate loginDate;
    QString loginDateText() const { return loginDate.toString(QStringLiteral("yyyy-MM-dd")); }
    // The text that identifies the login to stores of per-user settings.
    Q_INVOKABLE QString Text() const { return userId + u'@' + accountId; }
};

// The account context that the host hands to its views: the login object,
// the login date and the open connection to the account database. Opening a
// context makes it the calling thread's current account, which the browse
// query objects work on.
class AccountContext : public QObject, public QEnableSharedFromThis<AccountContext> {
    Q_OBJECT
    Q_PROPERTY(QVariant Login READ login)
    Q_PROPERTY(QDate LoginDate READ loginDate)
    Q_PROPERTY(QVariant Connection READ connection)
public:
    AccountContext();

    // Opens the account database ("Data Source=FILE" or a plain path) for the
    // user on the date (an invalid date: today). Run-time error on failure.
    Q_INVOKABLE void Open(const QString& connectionString, const QString& userId = QStringLiteral("demo"),
                          const QDate& loginDate = QDate());

    QVariant login() const { return fromObject(login_); }
    QDate loginDate() const { return login_->loginDate; }
    QVariant connection() const { return fromObject(connection_); }
    data::Connection* connectionObject() const { return connection_.data(); }

    // The context opened last on this thread and still alive, or null.
    static QSharedPointer<AccountContext> current();
    // Opens a context over an account file and makes it current.
    static QSharedPointer<AccountContext> open(const QString& path, const QDate& loginDate = QDate());

private:
    QSharedPointer<LoginInfo> login_;
    QSharedPointer<data::Connection> connection_;
};

// The connection of the current account; run-time error 91 when no account is open.
data::Connection& currentConnection();

} // namespace q7::host::browse
