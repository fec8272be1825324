#include "app/CommandParser.h"

#include "host/db/AccountDatabase.h"

#include <cmath>
#include <cstdio>

namespace q7::app {

CommandParser::CommandParser(QString command, QString usage, QString description)
    : command_(std::move(command)), usage_(std::move(usage)), description_(std::move(description))
{
    parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser_.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help.")));
}

void CommandParser::addOption(const QCommandLineOption& option)
{
    parser_.addOption(option);
    if (option.names().contains(QStringLiteral("db")) && !server_) {
        server_ = true;
        parser_.addOption({QStringLiteral("server"),
                           QStringLiteral("Server account instead: a PostgreSQL connection string or URI (password from PGPASSWORD or ~/.pgpass)."),
                           QStringLiteral("CONNECTION")});
    }
}

QString CommandParser::value(const QString& name) const
{
    if (server_ && name == QLatin1String("db") && parser_.isSet(QStringLiteral("server")))
        return q7::host::db::serverAccount(parser_.value(QStringLiteral("server")));
    return parser_.value(name);
}

bool CommandParser::isSet(const QString& name) const
{
    return parser_.isSet(name) || (server_ && name == QLatin1String("db") && parser_.isSet(QStringLiteral("server")));
}

QString CommandParser::helpText() const
{
    QString options = parser_.helpText();
    // Qt's text starts with its own usage line (the program's path): ours replaces it.
    const qsizetype optionsStart = options.indexOf(QStringLiteral("Options:"));
    options = optionsStart >= 0 ? options.mid(optionsStart) : QString();
    return QStringLiteral("Usage: q7bom %1 %2\n%3\n\n%4").arg(command_, usage_, description_, options);
}

int CommandParser::refuse(const QString& message) const
{
    std::fprintf(stderr, "q7bom %s: %s\n", command_.toUtf8().constData(), message.toUtf8().constData());
    return 2;
}

std::optional<int> CommandParser::parse(const QStringList& arguments, int minPositionals, int maxPositionals)
{
    if (!parser_.parse(QStringList{QStringLiteral("q7bom")} + arguments))
        return refuse(parser_.errorText() + QStringLiteral(" (see --help)"));
    if (parser_.isSet(QStringLiteral("help"))) {
        std::fputs(helpText().toUtf8().constData(), stdout);
        return 0;
    }
    if (server_ && parser_.isSet(QStringLiteral("server"))) {
        if (parser_.isSet(QStringLiteral("db")))
            return refuse(QStringLiteral("--db and --server name two accounts; give one"));
        if (parser_.value(QStringLiteral("server")).trimmed().isEmpty())
            return refuse(QStringLiteral("--server needs a PostgreSQL connection string or URI"));
    }
    const qsizetype count = parser_.positionalArguments().size();
    if (count < minPositionals)
        return refuse(QStringLiteral("missing argument (usage: q7bom %1 %2)").arg(command_, usage_));
    if (count > maxPositionals)
        return refuse(QStringLiteral("unexpected argument '%1' (see --help)").arg(parser_.positionalArguments().at(maxPositionals)));
    return std::nullopt;
}

std::optional<long long> CommandParser::integer(const QString& name, long long min, long long max) const
{
    bool ok = false;
    const long long value = parser_.value(name).trimmed().toLongLong(&ok);
    if (!ok || value < min || value > max) {
        refuse(QStringLiteral("--%1 takes a whole number from %2 to %3, not '%4'").arg(name).arg(min).arg(max).arg(parser_.value(name)));
        return std::nullopt;
    }
    return value;
}

std::optional<double> CommandParser::number(const QString& name, double min, double max) const
{
    bool ok = false;
    const double value = parser_.value(name).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < min || value > max) {
        refuse(QStringLiteral("--%1 takes a number from %2 to %3, not '%4'").arg(name).arg(min).arg(max).arg(parser_.value(name)));
        return std::nullopt;
    }
    return value;
}

} // namespace q7::app
