#include "app/MaintainCommand.h"

#include "app/OutputTable.h"
#include "app/Progress.h"
#include "host/db/AccountDatabase.h"
#include "host/process/ProcessForm.h"
#include "host/browse/AccountContext.h"
#include "host/process/ProcessFormWindow.h"
#include "host/process/ProcessHead.h"
#include "host/process/ops/Journal.h"
#include "platform/AutomationError.h"
#include "platform/values/Values.h"
#include "platform/data/Ado.h"

#include <QApplication>
#include <QFile>
#include <QPixmap>

#include <cstdio>

namespace q7::app {

using namespace q7::host::process;
using namespace q7::host::process::ops;

namespace {

struct Subcommand {
    const char* name;
    const char* menuKey;
    const char* summary;
};
constexpr Subcommand subcommands[] = {
    {"replace", "BO01002", "replace a component item by another in the BOMs of a parent range"},
    {"remove", "BO01003", "remove an item as component from every BOM (with its substitutes, remarks, designators)"},
    {"llc", "BO01004", "compute and store every part's low-level code from the BOMs in force"},
    {"check", "BO01005", "check the BOM structure: cycles, structures deeper than TotLevel, broken lines"},
};

void printHelp()
{
    std::fputs("Usage: q7bom maintain SUBCOMMAND [--FIELD VALUE]... [--db FILE | --server CONNECTION] [--user NAME] [--dry-run]\n"
               "                                [--date YYYY-MM-DD] [--format table|csv|json] [--list-fields]\n"
               "                                [--window] [--screenshot FILE]\n"
               "       q7bom maintain runs [--db FILE | --server CONNECTION]\n"
               "       q7bom maintain --undo RUN [--db FILE | --server CONNECTION] [--user NAME]\n"
               "\n"
               "Subcommands (the BOM maintenance forms):\n",
               stdout);
    for (const Subcommand& s : subcommands)
        std::printf("  %-8s %s  %s\n", s.name, s.menuKey, s.summary);
    std::fputs("  runs     the recorded runs that changed the account\n"
               "\n"
               "The fields of the form are options, named by their keys (--OldInvCode BK-100 --InvFree_1 红,\n"
               "--Select 有效BOM --EffDate 2025-07-01, --TotLevel 5); --list-fields shows them. They are\n"
               "entered in the form's order and checked by the form's handler before the operation starts.\n"
               "  --from-date D    replace: from D on, as an engineering change (a line in force on D ends\n"
               "                   there and a copy with the new item begins there; later lines change\n"
               "                   in place, lines ended by D stay); same as --FromDate D\n"
               "  --dry-run        print what would change and change nothing\n"
               "  --undo RUN       restore every row a run changed (refused when any has changed since)\n"
               "  --date D         the date whose BOMs in force llc and check read (default today)\n"
               "  --window         show the form; --screenshot FILE draws it into a PNG instead\n"
               "Exit status: 0 done, 1 failure, 2 refused input (the handler's or the operation's message).\n",
               stdout);
}

const Subcommand* findSubcommand(const QString& name)
{
    for (const Subcommand& s : subcommands)
        if (name == QLatin1String(s.name))
            return &s;
    return nullptr;
}

QString accountPath(const QString& given)
{
    if (given.isEmpty())
        return q7::host::db::ensureDemoAccount();
    if (q7::host::db::isServerAccount(given))
        return given;
    if (!QFile::exists(given))
        throw q7::AutomationError(q7::ErrBadCallOrArgument, QStringLiteral("No account database at %1").arg(given));
    return given;
}

QString defaultUser()
{
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? QStringLiteral("q7bom") : user;
}

void printResult(const OperationResult& result, OutputTable::Format format)
{
    if (!result.rows.isEmpty()) {
        OutputTable table;
        table.headers = result.headers;
        for (const QStringList& row : result.rows)
            table.rows.append(QVariantList(row.begin(), row.end()));
        table.print(format, stdout);
        std::fflush(stdout);
    }
    std::fprintf(stderr, "%s\n", result.summary.toUtf8().constData());
}

int listRuns(const QString& path, OutputTable::Format format)
{
    q7::data::Connection connection;
    connection.Open(q7::host::db::connectionStringFor(path));
    OutputTable table;
    table.headers = {QStringLiteral("run"), QStringLiteral("operation"), QStringLiteral("user"), QStringLiteral("at"),
                     QStringLiteral("changes"), QStringLiteral("summary"), QStringLiteral("undone")};
    for (const RunRecord& run : maintenanceRuns(connection))
        table.rows.append({QString::number(run.runId), run.operation, run.user, run.runAt, QString::number(run.changes), run.summary,
                           run.undoneAt.isEmpty() ? QString() : run.undoneAt + u' ' + run.undoneBy});
    table.print(format, stdout);
    return 0;
}

int undo(const QString& path, int runId, const QString& user, OutputTable::Format format)
{
    q7::data::Connection connection;
    connection.Open(q7::host::db::connectionStringFor(path));
    printResult(undoRun(connection, runId, user), format);
    return 0;
}

void listFields(ProcessForm& form)
{
    for (const QString& key : form.head().keys()) {
        const FieldDefinition& d = form.head().definition(key);
        if (d.kind == FieldKind::Flag || d.kind == FieldKind::Shown)
            continue;
        const QString title = form.head().state(key)->sCardFormula1;
        std::printf("%s\t%s\t%s\t%s\n", key.toUtf8().constData(), (title.isEmpty() ? d.caption : title).toUtf8().constData(),
                    form.listTexts(key).join(u'|').toUtf8().constData(),
                    q7::values::toTextOrEmpty(form.head().headerText(key)).toUtf8().constData());
    }
    if (!form.description().isEmpty())
        std::printf("%s\n", form.description().toUtf8().constData());
}

int showWindow(ProcessForm& form, const QString& screenshot, bool preview)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fputs("q7bom maintain: the window needs a widget application\n", stderr);
        return 1;
    }
    ProcessFormWindow window(form);
    window.Show();
    if (preview)
        window.preview();
    if (screenshot.isEmpty())
        return QApplication::exec();
    QApplication::processEvents();
    if (!window.window()->grab().save(screenshot, "PNG")) {
        std::fprintf(stderr, "q7bom maintain: cannot write %s\n", screenshot.toUtf8().constData());
        return 1;
    }
    std::printf("%s\n", screenshot.toUtf8().constData());
    return 0;
}

} // namespace

bool maintainNeedsWidgets(int argc, char* argv[])
{
    if (argc < 2 || qstrcmp(argv[1], "maintain") != 0)
        return false;
    for (int i = 2; i < argc; ++i)
        if (qstrcmp(argv[i], "--window") == 0 || qstrcmp(argv[i], "--screenshot") == 0)
            return true;
    return false;
}

int runMaintainCommand(const QStringList& args)
{
    if (args.isEmpty() || args.first() == QLatin1String("--help")) {
        printHelp();
        return args.isEmpty() ? 2 : 0;
    }
    try {
        QString db, user = defaultUser(), date, screenshot;
        int undoId = 0;
        bool dryRun = false, window = false, fieldsOnly = false;
        OutputTable::Format format = OutputTable::Format::Table;
        QList<QPair<QString, QString>> fields;
        const QString sub = args.first().startsWith(QLatin1String("--")) ? QString() : args.first();
        for (qsizetype i = sub.isEmpty() ? 0 : 1; i < args.size(); ++i) {
            const QString& a = args[i];
            const bool hasValue = i + 1 < args.size();
            if (a == QLatin1String("--help")) {
                printHelp();
                return 0;
            } else if (a == QLatin1String("--db") && hasValue) {
                db = args[++i];
            } else if (a == QLatin1String("--server") && hasValue) {
                db = q7::host::db::serverAccount(args[++i]);
            } else if (a == QLatin1String("--user") && hasValue) {
                user = args[++i];
            } else if (a == QLatin1String("--date") && hasValue) {
                date = args[++i];
            } else if (a == QLatin1String("--undo") && hasValue) {
                bool ok = false;
                undoId = args[++i].toInt(&ok);
                if (!ok || undoId <= 0)
                    throw q7::AutomationError(q7::ErrBadCallOrArgument, QStringLiteral("--undo expects a run number"));
            } else if (a == QLatin1String("--from-date") && hasValue) {
                fields.append({QStringLiteral("FromDate"), args[++i]});
            } else if (a == QLatin1String("--dry-run")) {
                dryRun = true;
            } else if (a == QLatin1String("--window")) {
                window = true;
            } else if (a == QLatin1String("--screenshot") && hasValue) {
                screenshot = args[++i];
                window = true;
            } else if (a == QLatin1String("--list-fields")) {
                fieldsOnly = true;
            } else if (a == QLatin1String("--format") && hasValue && OutputTable::parseFormat(args[i + 1], format)) {
                ++i;
            } else if (a.startsWith(QLatin1String("--")) && a.contains(u'=')) {
                fields.append({a.mid(2, a.indexOf(u'=') - 2), a.mid(a.indexOf(u'=') + 1)});
            } else if (a.startsWith(QLatin1String("--")) && a.size() > 2 && hasValue) {
                fields.append({a.mid(2), args[++i]});
            } else {
                std::fprintf(stderr, "q7bom maintain: unexpected argument '%s' (see --help)\n", a.toUtf8().constData());
                return 2;
            }
        }
        const QString path = accountPath(db);
        if (undoId > 0)
            return undo(path, undoId, user, format);
        if (sub == QLatin1String("runs"))
            return listRuns(path, format);
        const Subcommand* subcommand = findSubcommand(sub);
        if (!subcommand) {
            std::fprintf(stderr, "q7bom maintain: unknown subcommand '%s' (see --help)\n", sub.toUtf8().constData());
            return 2;
        }

        ProcessSession session(QString::fromLatin1(subcommand->menuKey), path, user);
        ProcessForm& form = session.form();
        if (!date.isEmpty()) {
            const QDate d = QDate::fromString(date, Qt::ISODate);
            if (!d.isValid())
                throw q7::AutomationError(q7::ErrBadCallOrArgument, QStringLiteral("--date expects YYYY-MM-DD, got '%1'").arg(date));
            form.setOperationDate(d);
        }
        for (const auto& [key, value] : fields)
            if (!form.head().hasField(key) || form.head().definition(key).kind == FieldKind::Flag ||
                form.head().definition(key).kind == FieldKind::Shown)
                throw q7::AutomationError(q7::ErrBadCallOrArgument,
                                          QStringLiteral("The form %1 has no field '%2' to enter (see --list-fields)").arg(sub, key));
        // Entered in the form's order, as a user fills it from the top.
        for (const QString& key : form.head().keys())
            for (const auto& [given, value] : fields)
                if (q7::values::textEquals(given, key)) {
                    QString reason;
                    if (!form.setField(key, value, &reason)) {
                        std::fprintf(stderr, "%s\n", reason.toUtf8().constData());
                        return 2;
                    }
                }
        if (fieldsOnly) {
            listFields(form);
            return 0;
        }
        if (window) {
            const auto account = q7::host::browse::AccountContext::open(path); // the references of the window look up in it
            return showWindow(form, screenshot, dryRun);
        }

        Progress progress(QString::fromLatin1(subcommand->name));
        form.setProgress([&progress](int64_t done, int64_t total) { progress.update(done, total); });
        const auto result = form.run(dryRun);
        if (!result)
            return 2; // the handler has shown its message
        printResult(*result, format);
        return 0;
    } catch (const RefusedOperation& refused) {
        std::fprintf(stderr, "%s\n", refused.description().toUtf8().constData());
        return 2;
    } catch (const q7::AutomationError& error) {
        std::fprintf(stderr, "q7bom maintain: %s\n", error.description().toUtf8().constData());
        return error.number() == q7::ErrBadCallOrArgument ? 2 : 1;
    }
}

} // namespace q7::app
