#include "host/browse/AccountContext.h"

#include "host/db/AccountDatabase.h"
#include "platform/AutomationError.h"
#include "platform/system/SystemSettings.h"

#include <QFileInfo>
#include <QWeakPointer>

namespace q7::host::browse {

namespace {
thread_local QWeakPointer<AccountContext> currentContext;
} // namespace

AccountContext::AccountContext() : login_(makeObject<LoginInfo>()), connection_(makeObject<data::Connection>()) {}

void AccountContext::Open(const QString& connectionString, const QString& userId, const QDate& loginDate)
{
    const QString text = connectionString.contains(u'=') ? connectionString : db::connectionStringFor(connectionString);
    connection_->Open(text);
    login_->userId = userId;
    QString file = connectionString;
    QList<std::pair<QString, QString>> pairs;
    if (data::parseConnectionString(text, pairs))
        for (const auto& [key, value] : pairs)
            if (key.compare(QStringLiteral("Data Source"), Qt::CaseInsensitive) == 0)
                file = value;
    login_->accountId = QFileInfo(file).completeBaseName();
    login_->loginDate = loginDate.isValid() ? loginDate : system::today();
    if (auto self = sharedFromThis())
        currentContext = self;
}

QSharedPointer<AccountContext> AccountContext::current()
{
    return currentContext.toStrongRef();
}

QSharedPointer<AccountContext> AccountContext::open(const QString& path, const QDate& loginDate)
{
    auto context = makeObject<AccountContext>();
    context->Open(path, QStringLiteral("demo"), loginDate);
    return context;
}

data::Connection& currentConnection()
{
    const auto context = AccountContext::current();
    if (!context || !context->connectionObject()->isOpen())
        throw AutomationError(ErrObjectNotSet, QStringLiteral("No account is open"));
    return *context->connectionObject();
}

} // namespace q7::host::browse
