#include "app/BomCommand.h"

#include "app/BomImport.h"
#include "app/CommandParser.h"
#include "app/OpenVoucher.h"

#include "app/OutputTable.h"
#include "host/db/AccountDatabase.h"
#include "host/db/InForce.h"
#include "host/process/ops/BomHistory.h"
#include "platform/data/Ado.h"
#include "host/voucher/VoucherForm.h"
#include "host/browse/AccountContext.h"
#include "host/voucher/VoucherWindow.h"
#include "platform/AutomationError.h"
#include "platform/ClassRegistry.h"
#include "platform/values/Values.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QFile>

#include <cstdio>
#include <optional>

namespace q7::app {

using q7::host::voucher::BomDocument;
using q7::host::voucher::VoucherForm;

namespace {

const QStringList& headColumns = bomCsvHeadColumns();
const QStringList& lineColumns = bomCsvLineColumns();

void printHelp()
{
    std::fputs("Usage: q7bom bom show ITEM [--version V] [--date D] [--db FILE] [--format table|csv|json]\n"
               "       q7bom bom export ITEM [--version V] [--db FILE] [--out FILE]\n"
               "       q7bom bom import FILE.csv [--dry-run] [--db FILE]\n"
               "       q7bom bom history ITEM [--db FILE] [--format table|csv|json]\n"
               "       q7bom bom window [ITEM] [--version V] [--db FILE] [--screenshot FILE]\n"
               "The BOM voucher without a window.\n"
               "  show     the item's main BOM (the highest version, or --version V): head and lines\n"
               "           with the quantity per parent unit; --date D shows the BOM in force on D\n"
               "           (unless --version is given) with the lines valid on D\n"
               "  export   every BOM of the item (or its version V) as CSV, one row per line\n"
               "  import   creates or changes the BOMs of the CSV through the voucher: a BOM the file\n"
               "           names by parent, type and version (or identifier) replaces that BOM, an\n"
               "           unchanged one is left as it is; every problem is reported with its line\n"
               "           and column, nothing of the file is written and the exit status is 2;\n"
               "           --dry-run checks the whole file the same way and writes nothing\n"
               "  history  each change of the item's BOMs by date: versions taking effect and ending, lines\n"
               "           starting and ending, with the engineering change that did it\n"
               "  window   the voucher's window on the item's main BOM (or the last BOM); with\n"
               "           --screenshot it is drawn offscreen into a PNG file instead\n"
               "  --db FILE   account database (default: the demo account, created on first use)\n",
               stdout);
}

struct Options {
    QString target;
    QString version;
    QString date;
    QString db;
    QString out;
    QString screenshot;
    bool dryRun = false;
    OutputTable::Format format = OutputTable::Format::Table;
};

// The options of an action; refused input answers an exit status.
std::optional<int> parseOptions(const QString& action, const QStringList& args, Options& o)
{
    const bool window = action == QLatin1String("window");
    CommandParser command(QStringLiteral("bom ") + action, window ? QStringLiteral("[options] [ITEM]") : QStringLiteral("[options] ITEM|FILE"),
                          QStringLiteral("The BOM voucher without a window (see q7bom bom --help)."));
    command.addOption({QStringLiteral("version"), QStringLiteral("The BOM's version."), QStringLiteral("V")});
    command.addOption({QStringLiteral("date"), QStringLiteral("The date whose BOM is shown (default: today)."), QStringLiteral("D")});
    command.addOption({QStringLiteral("db"), QStringLiteral("Account database (default: the demo account)."), QStringLiteral("FILE")});
    command.addOption({QStringLiteral("out"), QStringLiteral("export: the CSV file to write (default: standard output)."), QStringLiteral("FILE")});
    command.addOption({QStringLiteral("screenshot"), QStringLiteral("window: draw it into a PNG file."), QStringLiteral("FILE")});
    command.addOption({QStringLiteral("format"), QStringLiteral("show, history: table (default), csv or json."), QStringLiteral("FORMAT")});
    command.addOption({QStringLiteral("dry-run"), QStringLiteral("import: check the whole file and report every problem; write nothing.")});
    if (const auto done = command.parse(args, window ? 0 : 1, 1))
        return done;
    o.target = command.positionals().value(0);
    o.version = command.value(QStringLiteral("version"));
    o.date = command.value(QStringLiteral("date"));
    o.db = command.value(QStringLiteral("db"));
    o.out = command.value(QStringLiteral("out"));
    o.screenshot = command.value(QStringLiteral("screenshot"));
    o.dryRun = command.isSet(QStringLiteral("dry-run"));
    if (!o.date.isEmpty() && !host::voucher::isDateText(o.date))
        return command.refuse(QStringLiteral("--date takes a date written yyyy-mm-dd, not '%1'").arg(o.date));
    if (o.dryRun && action != QLatin1String("import"))
        return command.refuse(QStringLiteral("--dry-run is an option of import only"));
    if (command.isSet(QStringLiteral("format")) && !OutputTable::parseFormat(command.value(QStringLiteral("format")), o.format))
        return command.refuse(QStringLiteral("--format takes table, csv or json, not '%1'").arg(command.value(QStringLiteral("format"))));
    if (command.isSet(QStringLiteral("db")) && o.db.trimmed().isEmpty())
        return command.refuse(QStringLiteral("--db needs the path of an account database"));
    if (o.db.isEmpty())
        o.db = host::db::ensureDemoAccount();
    else if (!host::db::isServerAccount(o.db) && !QFile::exists(o.db))
        return command.refuse(QStringLiteral("no account database at %1 (q7bom init-db --path %1 makes one)").arg(o.db));
    return std::nullopt;
}


QString text(const QVariant& v) { return values::toTextOrEmpty(v); }

QList<int> bomsToShow(VoucherForm& form, const Options& o, bool mainOnly)
{
    if (mainOnly && o.version.isEmpty() && !o.date.isEmpty()) { // the BOM in force on the date, as every report reads it
        const int id = form.store().mainBomInForce(o.target, o.date);
        return id ? QList<int>{id} : QList<int>{};
    }
    if (!o.version.isEmpty() || mainOnly) {
        const int id = form.store().mainBomOf(o.target, o.version);
        return id ? QList<int>{id} : QList<int>{};
    }
    return form.store().bomsOf(o.target);
}

int show(const Options& o)
{
    auto form = openVoucher(o.db);
    const QList<int> ids = bomsToShow(*form, o, true);
    if (ids.isEmpty() || !form->loadBom(ids.first())) {
        std::fprintf(stderr, "q7bom bom show: %s has no main BOM%s\n", o.target.toUtf8().constData(),
                     !o.version.isEmpty()  ? qPrintable(QStringLiteral(" of version ") + o.version)
                     : !o.date.isEmpty() ? qPrintable(QStringLiteral(" in force on ") + o.date)
                                         : "");
        return 2;
    }
    auto& ctl = form->voucher();
    OutputTable table;
    const QStringList shown{QStringLiteral("DSortSeq"),  QStringLiteral("DInvCode"),   QStringLiteral("DInvName"),   QStringLiteral("DInvFree_1"),
                            QStringLiteral("DBaseQtyN"), QStringLiteral("DBaseQtyD"),  QStringLiteral("DCompScrap"), QStringLiteral("DFVFlag"),
                            QStringLiteral("DQty"),      QStringLiteral("DWIPType"),   QStringLiteral("DWhName"),    QStringLiteral("DEffBegDate"),
                            QStringLiteral("DEffEndDate")};
    for (const QString& key : shown)
        table.headers.append(ctl.itemState(key, 1).sFieldName);
    for (int r = 1; r <= ctl.rows(); ++r) {
        const QString begin = text(ctl.bodyText(r, QStringLiteral("DEffBegDate")));
        const QString end = text(ctl.bodyText(r, QStringLiteral("DEffEndDate")));
        if (!o.date.isEmpty() && !host::db::holdsOn(begin, end, o.date))
            continue;
        QStringList row;
        for (const QString& key : shown)
            row.append(text(ctl.bodyText(r, key)));
        table.rows.append(QVariantList(row.begin(), row.end()));
    }
    if (o.format == OutputTable::Format::Table) {
        QStringList head;
        for (const char* key : {"cInvCode", "cInvName", "InvFree_1", "BomType", "Version", "VersionDesc", "VersionEffDate", "IdentCode", "ParentScrap"})
            if (const QString value = text(ctl.headerText(QString::fromLatin1(key))); !value.isEmpty())
                head.append(ctl.itemState(QString::fromLatin1(key), 0).sFieldName + u'=' + value);
        std::printf("BOM %d  %s\n", form->info().currentId, head.join(QStringLiteral("  ")).toUtf8().constData());
    }
    table.print(o.format, stdout);
    return 0;
}

int exportBoms(const Options& o)
{
    auto form = openVoucher(o.db);
    OutputTable table;
    table.headers = bomCsvColumns();
    const QList<int> ids = bomsToShow(*form, o, false);
    if (ids.isEmpty()) {
        std::fprintf(stderr, "q7bom bom export: %s has no BOM\n", o.target.toUtf8().constData());
        return 2;
    }
    for (int id : ids) {
        const BomDocument d = *form->store().load(id);
        QStringList head;
        for (const QString& key : headColumns)
            head.append(text(d.head.value(key)));
        for (const auto& line : d.lines) {
            QStringList row = head;
            for (const QString& key : lineColumns)
                row.append(text(line.fields.value(key)));
            table.rows.append(QVariantList(row.begin(), row.end()));
        }
    }
    const QString csv = table.render(OutputTable::Format::Csv);
    if (o.out.isEmpty()) {
        std::fputs(csv.toUtf8().constData(), stdout);
        return 0;
    }
    QFile file(o.out);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw AutomationError(75, QStringLiteral("cannot write %1").arg(o.out));
    file.write(csv.toUtf8());
    std::printf("%lld lines of %lld BOMs written to %s\n", static_cast<long long>(table.rows.size()), static_cast<long long>(ids.size()),
                o.out.toUtf8().constData());
    return 0;
}

int showWindow(const Options& o)
{
    // the session's account: the references of the window look up in it
    const auto account = q7::host::browse::AccountContext::open(o.db);
    auto form = openVoucher(o.db);
    const int id = o.target.isEmpty() ? form->store().last() : form->store().mainBomOf(o.target, o.version);
    if (id > 0)
        form->loadBom(id);
    host::voucher::VoucherWindow window(form);
    window.Show();
    window.refresh(); // the grid's cells reach its widget once the window exists
    if (o.screenshot.isEmpty())
        return QApplication::exec();
    QApplication::processEvents();
    if (!window.window()->grab().save(o.screenshot, "PNG")) {
        std::fprintf(stderr, "q7bom bom window: cannot write %s\n", o.screenshot.toUtf8().constData());
        return 1;
    }
    std::printf("%s\n", o.screenshot.toUtf8().constData());
    return 0;
}

int history(const Options& o)
{
    data::Connection connection;
    connection.Open(host::db::connectionStringFor(o.db));
    const QList<host::process::ops::BomEvent> events = host::process::ops::bomHistory(connection, o.target);
    if (events.isEmpty()) {
        std::fprintf(stderr, "q7bom bom history: %s has no dated change in its BOMs\n", o.target.toUtf8().constData());
        return 2;
    }
    OutputTable table;
    table.headers = {QStringLiteral("日期"), QStringLiteral("母件"), QStringLiteral("BOM"), QStringLiteral("变化"), QStringLiteral("行号"),
                     QStringLiteral("子件编码"), QStringLiteral("子件名称"), QStringLiteral("基本用量"), QStringLiteral("工程变更")};
    for (const host::process::ops::BomEvent& e : events)
        table.rows.append({e.date, e.parent, e.bom, e.event, e.sortSeq ? QVariant(e.sortSeq) : QVariant(QString()), e.component, e.componentName,
                           e.quantity, e.change});
    table.print(o.format, stdout);
    return 0;
}

} // namespace

int runBomCommand(const QStringList& args)
{
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        printHelp();
        return args.isEmpty() ? 2 : 0;
    }
    const QString action = args.first();
    if (!QStringList{QStringLiteral("window"), QStringLiteral("show"), QStringLiteral("export"), QStringLiteral("import"), QStringLiteral("history")}
             .contains(action)) {
        std::fprintf(stderr, "q7bom bom: unknown action '%s' (show, export, import, history, window)\n", action.toUtf8().constData());
        return 2;
    }
    Options o;
    if (const auto done = parseOptions(action, args.mid(1), o))
        return *done;
    if (action == QLatin1String("window"))
        return showWindow(o);
    if (action == QLatin1String("show"))
        return show(o);
    if (action == QLatin1String("export"))
        return exportBoms(o);
    if (action == QLatin1String("history"))
        return history(o);
    if (action == QLatin1String("import"))
        return importBoms(o.target, o.db, o.dryRun);
    std::fprintf(stderr, "q7bom bom: unknown action '%s' (show, import, export)\n", action.toUtf8().constData());
    return 2;
}

} // namespace q7::app
