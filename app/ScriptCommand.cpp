#include "app/ScriptCommand.h"

#include "app/CommandParser.h"
#include "host/db/AccountDatabase.h"
#include "host/script/ScriptHost.h"
#include "platform/AutomationError.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <limits>

int runScriptCommand(const QStringList& args)
{
    CommandParser command(QStringLiteral("script"), QStringLiteral("[--db FILE] FILE.js [ARGS…]"),
                          QStringLiteral("Runs an automation script on the JavaScript engine (FILE.js, or - for standard input).\n"
                                         "The script makes objects by class identifier (createObject(\"Q7BomLib.clsProgramDefine\"),\n"
                                         "\"Q7Host.ReportViewer\", \"Q7Host.Process\", …) and uses their members by name; `account` is\n"
                                         "the account database, `args` the script's arguments. print writes to standard output,\n"
                                         "console.log to standard error. An uncaught run-time error ends the script with status 1.\n"
                                         "Options after FILE.js belong to the script."));
    command.addOption({QStringLiteral("db"), QStringLiteral("Account database (default: the demo account, created on first use)."),
                       QStringLiteral("FILE")});
    command.parser().setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (const auto done = command.parse(args, 1, std::numeric_limits<int>::max()))
        return *done;

    QStringList positionals = command.positionals();
    const QString file = positionals.takeFirst();
    QString dbPath = command.value(QStringLiteral("db"));
    if (command.isSet(QStringLiteral("db")) && dbPath.trimmed().isEmpty())
        return command.refuse(QStringLiteral("--db needs the path of an account database"));
    if (command.isSet(QStringLiteral("db")) && !q7::host::account::isServerAccount(dbPath) && !QFile::exists(dbPath))
        return command.refuse(QStringLiteral("No account database at %1").arg(dbPath));

    QFile source;
    QString name;
    if (file == QLatin1String("-")) {
        if (!source.open(stdin, QIODevice::ReadOnly))
            return command.refuse(QStringLiteral("cannot read standard input"));
        name = QStringLiteral("<stdin>");
    } else {
        source.setFileName(file);
        if (!source.open(QIODevice::ReadOnly))
            return command.refuse(QStringLiteral("cannot read %1").arg(file));
        name = QFileInfo(file).fileName();
    }
    const QString program = QString::fromUtf8(source.readAll());
    if (dbPath.isEmpty())
        dbPath = q7::host::account::ensureDemoAccount();

    q7::host::script::ScriptOutcome outcome;
    {
        q7::host::script::ScriptHost host(positionals, dbPath);
        outcome = host.run(program, name);
    }
    std::fflush(stdout);
    if (!outcome.error.isEmpty())
        std::fprintf(stderr, "q7bom script: %s\n", outcome.error.toUtf8().constData());
    return outcome.status;
}
