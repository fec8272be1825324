#include "app/BomCommand.h"
#include "app/BrowseCommand.h"
#include "app/DiffCommand.h"
#include "app/InitDbCommand.h"
#include "app/MaintainCommand.h"
#include "app/PackCommand.h"
#include "app/ProgramTypesCommand.h"
#include "app/ReportCommand.h"
#include "app/ScriptCommand.h"
#include "app/SplitterDemoCommand.h"
#include "app/gui/GuiCommand.h"
#include "frame/Registration.h"
#include "host/HostRegistration.h"
#include "platform/AutomationError.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <unistd.h>

#include <memory>

#include <cstdio>

namespace {

void printUsage(std::FILE* out)
{
    std::fputs("Usage: q7bom SUBCOMMAND [options]\n"
               "\n"
               "Subcommands:\n"
               "  program-types   list every BOM menu key with its program type, voucher type and handler\n"
               "  init-db         create the demo account database, or a synthetic one for scale\n"
               "  report KEY      run a BOM report (BO02003 … BO02010) on the account database\n"
               "  splitter-demo   two panes and a draggable splitter bar (--screenshot FILE for a PNG)\n"
               "  maintain SUB    BOM maintenance: replace, remove, llc, check, runs, --undo RUN\n"
               "  gui             the desktop workbench: the module's menu, reports and maintenance forms\n"
               "  bom ACTION      the BOM voucher: show ITEM, export ITEM, import FILE.csv\n"
               "  diff ITEM       what differs between two explosions of an item (dates, items, versions)\n"
               "  browse ITEM     the multi-level BOM browse of an item as an indented tree (or a PNG)\n"
               "  script FILE.js  run an automation script (JavaScript) on the component and the host\n"
               "  pack            pack the BOMs of an account file made by an earlier version\n"
               "\n"
               "Run 'q7bom SUBCOMMAND --help' for the options of a subcommand, 'q7bom --version' for the version.\n"
               "Exit status: 0 success, 1 failure, 2 refused input.\n",
               out);
}

// Qt warns on every run when the session has no runtime directory (a login
// without a desktop, CI): give it a private one, as the desktop would.
void ensureRuntimeDirectory()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const QByteArray path = QDir::tempPath().toUtf8() + "/q7bom-runtime-" + QByteArray::number(static_cast<qulonglong>(getuid()));
    QDir().mkpath(QString::fromUtf8(path));
    QFile::setPermissions(QString::fromUtf8(path), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", path);
}

} // namespace

int main(int argc, char* argv[])
{
    ensureRuntimeDirectory();
    // Only the window needs a GUI session; a screenshot is drawn offscreen.
    const bool browse = argc > 1 && qstrcmp(argv[1], "browse") == 0; // its window is always drawn offscreen
    const bool gui = browse || (argc > 1 && (qstrcmp(argv[1], "splitter-demo") == 0 || qstrcmp(argv[1], "gui") == 0)) ||
                     q7::app::maintainNeedsWidgets(argc, argv) ||
                     (argc > 2 && qstrcmp(argv[1], "bom") == 0 && qstrcmp(argv[2], "window") == 0) || q7::app::diffNeedsWidgets(argc, argv);
    bool screenshot = false, help = false;
    for (int i = 2; i < argc; ++i) {
        screenshot = screenshot || qstrcmp(argv[i], "--screenshot") == 0;
        help = help || qstrcmp(argv[i], "--help") == 0 || qstrcmp(argv[i], "-h") == 0;
    }
    if (gui && (screenshot || browse) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // help needs no display: a command's help is printed without a window system
    std::unique_ptr<QCoreApplication> app =
        gui && !help ? std::make_unique<QApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    QStringList args = app->arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        printUsage(args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? 2 : 0;
    }
    if (args.first() == QLatin1String("--version")) {
        std::printf("q7bom %s\n", Q7_VERSION);
        return 0;
    }

    q7::host::registerHostServices();
    q7::component::DllRegisterServer();

    const QString command = args.takeFirst();
    try {
        if (command == QLatin1String("program-types"))
            return q7::app::runProgramTypes(args);
        if (command == QLatin1String("init-db"))
            return q7::app::runInitDb(args);
        if (command == QLatin1String("report"))
            return q7::app::runReport(args);
        if (command == QLatin1String("splitter-demo"))
            return q7::app::runSplitterDemo(args);
        if (command == QLatin1String("maintain"))
            return q7::app::runMaintainCommand(args);
        if (command == QLatin1String("gui"))
            return q7::app::gui::runGui(args);
        if (command == QLatin1String("bom"))
            return q7::app::runBomCommand(args);
        if (command == QLatin1String("diff"))
            return q7::app::runDiffCommand(args);
        if (command == QLatin1String("browse"))
            return q7::app::runBrowseCommand(args);
        if (command == QLatin1String("script"))
            return q7::app::runScriptCommand(args);
        if (command == QLatin1String("pack"))
            return q7::app::runPackCommand(args);
    } catch (const q7::AutomationError& error) {
        std::fprintf(stderr, "q7bom %s: %s\n", command.toUtf8().constData(), error.what());
        return 1;
    }
    std::fprintf(stderr, "q7bom: unknown subcommand '%s'\n", command.toUtf8().constData());
    printUsage(stderr);
    return 2;
}
