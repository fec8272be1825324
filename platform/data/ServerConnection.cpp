#include "platform/data/ServerConnection.h"

#include "platform/AutomationError.h"
#include "platform/data/ConnectionString.h"
#include "platform/data/DatabaseError.h"
#include "platform/data/LibPq.h"


#include <memory>

namespace q7::data {

namespace {


bool isUri(const QString& text)
{
    return text.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) || text.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

// A value as a libpq connection string writes it: in single quotes, ' and \ escaped.
QString quoteLibpq(const QString& value)
{
    QString escaped = value;
    escaped.replace(u'\\', QStringLiteral("\\\\"));
    escaped.replace(u'\'', QStringLiteral("\\'"));
    return u'\'' + escaped + u'\'';
}

} // namespace

QString serverConnectionString(const QString& libpqConnection)
{
    return QStringLiteral("Provider=PostgreSQL;Connection=") + data::quoteConnectionValue(libpqConnection);
}

QString serverConnectionOf(const QString& adoConnectionString)
{
    const QString text = adoConnectionString.trimmed();
    if (isUri(text))
        return text;
    QList<std::pair<QString, QString>> pairs;
    if (!data::parseConnectionString(text, pairs))
        return {};
    bool server = false;
    QString connection;
    for (const auto& [key, value] : pairs) {
        if (key.compare(QLatin1String("Provider"), Qt::CaseInsensitive) == 0)
            server = value.compare(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) == 0;
        else if (key.compare(QLatin1String("Connection"), Qt::CaseInsensitive) == 0)
            connection = value;
    }
    if (!server)
        return {};
    if (connection.trimmed().isEmpty())
        q7::data::throwProviderError(QStringLiteral("A PostgreSQL connection string needs Connection=\"host=… dbname=…\""));
    return connection;
}

QString describeServerConnection(const QString& libpqConnection)
{
    char* error = nullptr;
    const std::unique_ptr<PQconninfoOption, void (*)(PQconninfoOption*)> options(libpq().conninfoParse(libpqConnection.toUtf8().constData(), &error),
                                                                                libpq().conninfoFree);
    libpq().freemem(error);
    QString database, host;
    for (const PQconninfoOption* option = options.get(); option && option->keyword; ++option) {
        if (!option->val)
            continue;
        if (qstrcmp(option->keyword, "dbname") == 0)
            database = QString::fromUtf8(option->val);
        else if (qstrcmp(option->keyword, "host") == 0)
            host = QString::fromUtf8(option->val);
    }
    return QStringLiteral("the database %1 on %2")
        .arg(database.isEmpty() ? QStringLiteral("(the user's)") : database, host.isEmpty() ? QStringLiteral("the local server") : host);
}

void configureServerDatabase(QSqlDatabase& db, const QString& libpqConnection)
{
    char* error = nullptr;
    const QByteArray text = libpqConnection.toUtf8();
    const std::unique_ptr<PQconninfoOption, void (*)(PQconninfoOption*)> options(libpq().conninfoParse(text.constData(), &error), libpq().conninfoFree);
    if (!options) {
        const QString reason = error ? QString::fromUtf8(error).trimmed() : QStringLiteral("out of memory");
        libpq().freemem(error);
        q7::data::throwProviderError(QStringLiteral("Not a PostgreSQL connection string or URI: %1").arg(reason));
    }
    QStringList rest;
    for (const PQconninfoOption* option = options.get(); option->keyword; ++option) {
        if (!option->val)
            continue;
        const QString key = QString::fromUtf8(option->keyword);
        const QString value = QString::fromUtf8(option->val);
        if (key == QLatin1String("password"))
            q7::data::throwProviderError(QStringLiteral("The connection string holds a password: give it in PGPASSWORD or ~/.pgpass "
                                                              "instead, never on the command line"));
        if (key == QLatin1String("host"))
            db.setHostName(value);
        else if (key == QLatin1String("dbname"))
            db.setDatabaseName(value);
        else if (key == QLatin1String("user"))
            db.setUserName(value);
        else if (key == QLatin1String("port"))
            db.setPort(value.toInt());
        else if (value.contains(u';'))
            q7::data::throwProviderError(QStringLiteral("The connection option %1 cannot hold ';'").arg(key));
        else
            rest.append(key + u'=' + quoteLibpq(value)); // the driver joins the options with blanks
    }
    db.setConnectOptions(rest.join(u';'));
}

} // namespace q7::data
