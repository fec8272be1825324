#include "host/db/AccountDatabase.h"

#include "host/db/AccountSchema.h"
#include "platform/AutomationError.h"
#include "platform/data/Ado.h"
#include "platform/data/DatabaseError.h"
#include "platform/data/ServerConnection.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

namespace q7::host::db {

namespace {


QVariant firstValue(data::Connection& connection, const QString& sql)
{
    QSqlQuery query = data::runBound(connection.database(), sql);
    return query.next() ? query.value(0) : QVariant();
}

// Where the account is, for messages: the server and database, never the whole connection text.
QString describe(data::Connection& connection)
{
    const QSqlDatabase& db = connection.database();
    return QStringLiteral("the database %1 on %2").arg(db.databaseName().isEmpty() ? QStringLiteral("(default)") : db.databaseName(),
                                                        db.hostName().isEmpty() ? QStringLiteral("the local server") : db.hostName());
}

QString refusal(AccountState state, const QString& where)
{
    switch (state) {
    case AccountState::Missing:
        return QStringLiteral("%1 holds no account (create it with q7bom init-db --server)").arg(where);
    case AccountState::Unfinished:
        return QStringLiteral("%1 holds an unfinished account (its creation did not complete, or an earlier version of q7bom made it); "
                              "create the account again")
            .arg(where);
    case AccountState::Foreign:
        return QStringLiteral("%1 holds other tables and is not an account database").arg(where);
    case AccountState::Finished:
        break;
    }
    return {};
}

} // namespace

QString columnName(const QString& name)
{
    static const QHash<QString, QString> spelled = [] {
        QHash<QString, QString> names;
        for (const char* resource : {":/q7host/schema.sql", ":/q7host/maintenance.sql"}) {
            QFile file(QString::fromLatin1(resource));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            static const QRegularExpression word(QStringLiteral("[A-Za-z_][A-Za-z0-9_]*"));
            const QString text = QString::fromUtf8(file.readAll());
            for (auto it = word.globalMatch(text); it.hasNext();) {
                const QString found = it.next().captured();
                if (found != found.toLower() && found != found.toUpper())
                    names.insert(found.toLower(), found);
            }
        }
        return names;
    }();
    return spelled.value(name, name);
}

QString serverAccount(const QString& libpqConnection) { return data::serverConnectionString(libpqConnection); }

bool isServerAccount(const QString& account) { return !data::serverConnectionOf(account).isEmpty(); }

AccountState serverStateOf(data::Connection& connection)
{
    const long long tables = firstValue(connection, QStringLiteral("SELECT count(*) FROM information_schema.tables WHERE table_schema = current_schema()"))
                                 .toLongLong();
    if (tables == 0)
        return AccountState::Missing;
    if (!firstValue(connection, QStringLiteral("SELECT to_regclass('q7_account')")).isNull()) {
        const QVariant mark = firstValue(connection, QStringLiteral("SELECT max(Mark) FROM q7_account"));
        return mark.toLongLong() == FinishedAccountMark ? AccountState::Finished : AccountState::Unfinished;
    }
    return firstValue(connection, QStringLiteral("SELECT to_regclass('bom_bom')")).isNull() ? AccountState::Foreign : AccountState::Unfinished;
}

void openServerAccount(data::Connection& connection, const QString& account)
{
    connection.Open(account);
    const AccountState state = serverStateOf(connection);
    if (state != AccountState::Finished) {
        const QString message = refusal(state, describe(connection));
        connection.Close();
        throw AutomationError(ErrBadCallOrArgument, message);
    }
}

bool buildServerAccount(const QString& account, Existing existing, const std::function<void(data::Connection&)>& fill)
{
    data::Connection connection;
    connection.Open(account);
    QSqlDatabase& db = connection.database();
    // One transaction: readers see the old account until the new one is complete; creators take turns.
    if (!db.transaction())
        q7::data::throwProviderError(db.lastError());
    data::runBound(db, QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(FinishedAccountMark));
    const AccountState state = serverStateOf(connection);
    if (state == AccountState::Finished && existing == Existing::Keep) {
        db.rollback();
        return false;
    }
    if (state == AccountState::Foreign && existing != Existing::Replace)
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("%1 holds other tables; it was left unchanged (--force replaces them)")
                                                        .arg(describe(connection)));
    if (state != AccountState::Missing && existing == Existing::Refuse)
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("An account database already exists in %1").arg(describe(connection)));
    if (state != AccountState::Missing)
        connection.executeNative(QStringLiteral("DROP SCHEMA public CASCADE; CREATE SCHEMA public"));
    fill(connection);
    data::runBound(db, QStringLiteral("INSERT INTO q7_account (Mark) VALUES (%1)").arg(FinishedAccountMark));
    if (!db.commit())
        q7::data::throwProviderError(QStringLiteral("Cannot complete the account: %1").arg(q7::data::errorText(db.lastError())));
    return true;
}

} // namespace q7::host::db
