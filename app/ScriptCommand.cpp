#include "app/ScriptCommand.h"

#include "app/CommandParser.h"
#include "host/db/AccountDatabase.h"
#include "host/script/ScriptHost.h"
#include "platform/AutomationError.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <limits>

#include <unistd.h>

namespace q7::app {

int runScriptCommand(const QStringList& args)
{
    CommandParser command(QStringLiteral("script"), QStringLiteral("[--db FILE] FILE.js [ARGS…]"),
                          QStringLiteral("Runs an automation script on the JavaScript engine (FILE.js, or - for standard input).\n"
                                         "The script makes objects by class identifier (createObject(\"Q7BomLib.clsProgramDefine\"),\n"
                                         "\"Q7Host.ReportViewer\", \"Q7Host.Process\", …) and uses their members by name; `account` is\n"
                                         "the account database, `args` the script's arguments. print writes to standard output,\n"
                                         "console.log to standard error. An uncaught run-time error ends the script with status 1.\n"
                                         "Options after FILE.js belong to the script.\n"
                                         "A script runs with the rights of the user who starts it: it reads and writes the account and\n"
                                         "files as any program of that user does. Run only scripts you trust. Each operation it calls\n"
                                         "commits whole or not at all; a stopped script leaves the operations it finished."));
    command.addOption({QStringLiteral("db"), QStringLiteral("Account database (default: the demo account, created on first use)."),
                       QStringLiteral("FILE")});
    command.addOption({QStringLiteral("max-memory"),
                       QStringLiteral("Memory ceiling of the process in MB (default %1, 0 for none): past it the script is stopped with status 1.")
                           .arg(q7::host::script::ScriptLimits::DefaultMaxMemoryMb),
                       QStringLiteral("MB")});
    command.addOption({QStringLiteral("timeout"), QStringLiteral("Time limit in seconds (default none): past it the script is stopped with status 1."),
                       QStringLiteral("SECONDS")});
    command.parser().setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (const auto done = command.parse(args, 1, std::numeric_limits<int>::max()))
        return *done;

    q7::host::script::ScriptLimits limits;
    if (command.isSet(QStringLiteral("max-memory"))) {
        const auto mb = command.integer(QStringLiteral("max-memory"), 0, 1LL << 30);
        if (!mb)
            return 2;
        limits.maxMemoryMb = *mb;
    }
    if (command.isSet(QStringLiteral("timeout"))) {
        const auto seconds = command.integer(QStringLiteral("timeout"), 0, 1LL << 31);
        if (!seconds)
            return 2;
        limits.timeoutSeconds = *seconds;
    }

    QStringList positionals = command.positionals();
    const QString file = positionals.takeFirst();
    QString dbPath = command.value(QStringLiteral("db"));
    if (command.isSet(QStringLiteral("db")) && dbPath.trimmed().isEmpty())
        return command.refuse(QStringLiteral("--db needs the path of an account database"));
    if (command.isSet(QStringLiteral("db")) && !q7::host::db::isServerAccount(dbPath) && !QFile::exists(dbPath))
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
        dbPath = q7::host::db::ensureDemoAccount();

    // A script stuck in a native call past its bounds ends the process: the
    // account's open transaction is rolled back by the database, as after any crash.
    limits.runaway = [name](const QString& reason) {
        std::fflush(stdout);
        std::fprintf(stderr, "q7bom script: %s: %s\n", name.toUtf8().constData(), reason.toUtf8().constData());
        std::fflush(stderr);
        _exit(1);
    };

    q7::host::script::ScriptOutcome outcome;
    {
        q7::host::script::ScriptHost host(positionals, dbPath);
        host.setLimits(limits);
        outcome = host.run(program, name);
    }
    std::fflush(stdout);
    if (!outcome.error.isEmpty())
        std::fprintf(stderr, "q7bom script: %s\n", outcome.error.toUtf8().constData());
    return outcome.status;
}

} // namespace q7::app
