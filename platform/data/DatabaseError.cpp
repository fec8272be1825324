#include "platform/data/DatabaseError.h"

#include "platform/AutomationError.h"

#include <QRegularExpression>
#include <QStringList>

#include <mutex>

namespace q7::data {

namespace {

bool fromServerDriver(const QSqlError& error) { return error.driverText().startsWith(QLatin1String("QPSQL: ")); }

bool isSqlState(const QString& code)
{
    static const QRegularExpression state(QStringLiteral("^[0-9A-Z]{5}$"));
    return state.match(code).hasMatch();
}

QtMessageHandler previousHandler = nullptr;

void serverDriverFilter(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("Unable to free statement")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

QString sqlState(const QSqlError& error)
{
    return fromServerDriver(error) && isSqlState(error.nativeErrorCode()) ? error.nativeErrorCode() : QString();
}

QString errorText(const QSqlError& error)
{
    if (!fromServerDriver(error) || error.databaseText().trimmed().isEmpty())
        return error.text();
    QString message = error.databaseText().trimmed();
    const QString state = sqlState(error);
    // The driver appends the state as "(40001)"; it is given once, named.
    // An error with no state leaves "()" behind.
    for (const QString& tail : {QLatin1Char('(') + state + QLatin1Char(')'), QStringLiteral("()")})
        if (message.endsWith(tail)) {
            message.chop(tail.size());
            break;
        }
    message = message.trimmed();
    QStringList lines;
    for (const QString& line : message.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QString text = line.trimmed();
        for (const char* severity : {"ERROR:", "FATAL:", "PANIC:"})
            if (text.startsWith(QLatin1String(severity)))
                text = text.mid(static_cast<qsizetype>(qstrlen(severity))).trimmed();
        if (!text.isEmpty())
            lines.append(text);
    }
    QString text = lines.join(QLatin1Char(' '));
    if (!state.isEmpty())
        text += QStringLiteral(" (SQLSTATE %1)").arg(state);
    return text;
}

bool quietServerDriver()
{
    static std::once_flag installed;
    bool now = false;
    std::call_once(installed, [&now] {
        previousHandler = qInstallMessageHandler(serverDriverFilter);
        now = true;
    });
    return now;
}

void throwProviderError(const QSqlError& error) { throw AutomationError(ErrProvider, errorText(error)); }

void throwProviderError(const QString& message) { throw AutomationError(ErrProvider, message); }

} // namespace q7::data
