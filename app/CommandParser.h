#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

namespace q7::app {

// The options of one subcommand, parsed with QCommandLineParser: long options
// with "=" or a blank, --help, unknown options and missing values refused.
class CommandParser {
public:
    // usage: what follows "q7bom COMMAND" in the synopsis, e.g. "[options] KEY".
    CommandParser(QString command, QString usage, QString description);

    QCommandLineParser& parser() { return parser_; }
    // A command that takes the account database (--db FILE) takes a server
    // account as well (--server CONNECTION, added with it): value("db") then
    // answers the server account's connection string, which every function
    // that opens an account takes as it takes a path.
    void addOption(const QCommandLineOption& option);

    // Parses the arguments after the subcommand. Answers an exit status when
    // the command is done (0 after --help, 2 after refused input, with the
    // message printed), nothing when it should go on. positionals: how many
    // plain arguments are required (min) and allowed (max).
    std::optional<int> parse(const QStringList& arguments, int minPositionals = 0, int maxPositionals = 0);

    QString value(const QString& name) const;
    QStringList values(const QString& name) const { return parser_.values(name); }
    bool isSet(const QString& name) const;
    QStringList positionals() const { return parser_.positionalArguments(); }

    QString helpText() const;
    // Prints "q7bom COMMAND: message" on standard error and answers 2.
    int refuse(const QString& message) const;
    // A whole number of an option within [min, max], or a refusal naming the option.
    std::optional<long long> integer(const QString& name, long long min, long long max) const;
    // A finite number of an option within [min, max], or a refusal naming the option.
    std::optional<double> number(const QString& name, double min, double max) const;

private:
    QString command_, usage_, description_;
    QCommandLineParser parser_;
    bool server_ = false; // --server is an option
};

} // namespace q7::app
