#include "app/BomCommand.h"

#include "app/CommandParser.h"

#include "app/OutputTable.h"
#include "host/db/AccountDatabase.h"
#include "host/voucher/VoucherForm.h"
#include "host/browse/AccountContext.h"
#include "host/voucher/VoucherWindow.h"
#include "platform/AutomationError.h"
#include "platform/ClassRegistry.h"
#include "platform/Values.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QFile>

#include <cstdio>
#include <optional>

using namespace q7;
using q7::host::voucher::BomDocument;
using q7::host::voucher::VoucherForm;

namespace {

const QStringList headColumns{QStringLiteral("cInvCode"),    QStringLiteral("InvFree_1"),   QStringLiteral("InvFree_2"),
                              QStringLiteral("BomType"),     QStringLiteral("Version"),     QStringLiteral("VersionDesc"),
                              QStringLiteral("VersionEffDate"), QStringLiteral("IdentCode"), QStringLiteral("IdentDesc"),
                              QStringLiteral("ParentScrap")};
const QStringList lineColumns{QStringLiteral("DSortSeq"),     QStringLiteral("DInvCode"),      QStringLiteral("DInvFree_1"),
                              QStringLiteral("DInvFree_2"),   QStringLiteral("DOpSeq"),        QStringLiteral("DBaseQtyN"),
                              QStringLiteral("DBaseQtyD"),    QStringLiteral("DCompScrap"),    QStringLiteral("DFVFlag"),
                              QStringLiteral("DWIPType"),     QStringLiteral("DPlanRate"),     QStringLiteral("DByproductFlag"),
                              QStringLiteral("DAccuCostFlag"), QStringLiteral("DOptionalFlag"), QStringLiteral("DMutexRule"),
                              QStringLiteral("DWhCode"),      QStringLiteral("DDeptCode"),     QStringLiteral("DEffBegDate"),
                              QStringLiteral("DEffEndDate"),  QStringLiteral("DOffset"),       QStringLiteral("DRemark")};

void printHelp()
{
    std::fputs("Usage: q7bom bom show ITEM [--version V] [--date D] [--db FILE] [--format table|csv|json]\n"
               "       q7bom bom export ITEM [--version V] [--db FILE] [--out FILE]\n"
               "       q7bom bom import FILE.csv [--db FILE]\n"
               "       q7bom bom window [ITEM] [--version V] [--db FILE] [--screenshot FILE]\n"
               "The BOM voucher without a window.\n"
               "  show     the item's main BOM (the highest version, or --version V): head and lines\n"
               "           with the quantity per parent unit; --date D keeps the lines valid on D\n"
               "  export   every BOM of the item (or its version V) as CSV, one row per line\n"
               "  import   creates or changes the BOMs of the CSV through the voucher: a BOM whose\n"
               "           values the voucher or its checks refuse is reported with the voucher's\n"
               "           message, nothing of the file is written and the exit status is 2\n"
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
    command.addOption({QStringLiteral("format"), QStringLiteral("show: table (default), csv or json."), QStringLiteral("FORMAT")});
    if (const auto done = command.parse(args, window ? 0 : 1, 1))
        return done;
    o.target = command.positionals().value(0);
    o.version = command.value(QStringLiteral("version"));
    o.date = command.value(QStringLiteral("date"));
    o.db = command.value(QStringLiteral("db"));
    o.out = command.value(QStringLiteral("out"));
    o.screenshot = command.value(QStringLiteral("screenshot"));
    if (command.isSet(QStringLiteral("format")) && !OutputTable::parseFormat(command.value(QStringLiteral("format")), o.format))
        return command.refuse(QStringLiteral("--format takes table, csv or json, not '%1'").arg(command.value(QStringLiteral("format"))));
    if (command.isSet(QStringLiteral("db")) && o.db.trimmed().isEmpty())
        return command.refuse(QStringLiteral("--db needs the path of an account database"));
    if (o.db.isEmpty())
        o.db = host::account::ensureDemoAccount();
    else if (!host::account::isServerAccount(o.db) && !QFile::exists(o.db))
        return command.refuse(QStringLiteral("no account database at %1 (q7bom init-db --path %1 makes one)").arg(o.db));
    return std::nullopt;
}

// The voucher over the account, with its handler bound and opened.
QSharedPointer<VoucherForm> openVoucher(const QString& db)
{
    auto form = VoucherForm::create(QStringLiteral("BO11"), db, QStringLiteral("q7bom"));
    form->open(createObject(QStringLiteral("Q7BomLib.clsBO01001")));
    return form;
}

QString text(const QVariant& v) { return values::toTextOrEmpty(v); }

QList<int> bomsToShow(VoucherForm& form, const Options& o, bool mainOnly)
{
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
                     o.version.isEmpty() ? "" : qPrintable(QStringLiteral(" of version ") + o.version));
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
        if (!o.date.isEmpty() && !(begin <= o.date && o.date < end))
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

struct ImportBom {
    QMap<QString, QString> head;
    int headLine = 0;                    // the file's line of the BOM's first row
    QList<QMap<QString, QString>> lines;
    QList<int> fileLines;                // the file's line of each line
};

// The stored BOM the CSV's head names: same item, free items, type and version or identifier.
int findStored(VoucherForm& form, const QMap<QString, QString>& head)
{
    const QVariantMap fields{{QStringLiteral("cInvCode"), head.value(QStringLiteral("cInvCode"))},
                             {QStringLiteral("InvFree_1"), head.value(QStringLiteral("InvFree_1"))},
                             {QStringLiteral("InvFree_2"), head.value(QStringLiteral("InvFree_2"))}};
    const int part = form.store().existingPartId(fields, QString());
    if (!part)
        return 0;
    const int type = host::voucher::lists::textToCode(3, head.value(QStringLiteral("BomType"))) == QLatin1String("2") ? 2 : 1;
    return form.store().findBom(part, type, head.value(QStringLiteral("Version")), head.value(QStringLiteral("IdentCode")));
}

// Enters one BOM into the voucher; the refusal's text, or empty.
QString enter(VoucherForm& form, const ImportBom& bom)
{
    auto& ctl = form.voucher();
    const int stored = findStored(form, bom.head);
    if (stored) {
        form.loadBom(stored);
        form.ExecuteMenuTask(QStringLiteral("tlbEdit"));
        while (ctl.rows() > 0)
            ctl.removeRow(ctl.rows());
    } else {
        form.ExecuteMenuTask(QStringLiteral("tlbAdd"));
    }
    if (!stored && !form.typeHead(QStringLiteral("cInvCode"), bom.head.value(QStringLiteral("cInvCode")),
                                  {bom.head.value(QStringLiteral("InvFree_1")), bom.head.value(QStringLiteral("InvFree_2"))}))
        return QStringLiteral("line %1: item '%2' is not in the account").arg(bom.headLine).arg(bom.head.value(QStringLiteral("cInvCode")));
    for (const QString& key : headColumns) {
        const QString value = bom.head.value(key);
        if (text(ctl.headerText(key)) == value || (value.isEmpty() && key != QLatin1String("VersionEffDate")))
            continue;
        if (!form.typeHead(key, value))
            return QStringLiteral("line %1: %2 = '%3' is not accepted").arg(bom.headLine).arg(key, value);
    }
    for (int i = 0; i < bom.lines.size(); ++i) {
        const int row = form.addRow();
        for (const QString& key : lineColumns) {
            const QString value = bom.lines[i].value(key);
            if (text(ctl.bodyText(row, key)) == value)
                continue;
            if (!form.typeBody(row, key, value))
                return QStringLiteral("line %1: %2 = '%3' is not accepted").arg(bom.fileLines[i]).arg(key, value);
        }
    }
    if (!form.save())
        return QStringLiteral("the BOM of %1 on line %2 is refused").arg(bom.head.value(QStringLiteral("cInvCode"))).arg(bom.headLine);
    return {};
}

int importBoms(const Options& o)
{
    QFile file(o.target);
    if (!file.open(QIODevice::ReadOnly))
        throw AutomationError(53, QStringLiteral("cannot read %1").arg(o.target));
    const QList<QStringList> records = parseCsv(QString::fromUtf8(file.readAll()));
    if (records.isEmpty())
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("%1 is empty").arg(o.target));
    const QStringList header = records.first();
    for (const QString& column : header)
        if (!bomCsvColumns().contains(column))
            throw AutomationError(ErrBadCallOrArgument, QStringLiteral("unknown column '%1'").arg(column));
    if (!header.contains(QStringLiteral("cInvCode")))
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("the column cInvCode is missing"));

    QList<ImportBom> boms;
    QMap<QString, int> byKey;
    for (int i = 1; i < records.size(); ++i) {
        QMap<QString, QString> head, line;
        for (int c = 0; c < header.size(); ++c)
            (headColumns.contains(header[c]) ? head : line).insert(header[c], records[i].value(c).trimmed());
        QStringList keyParts;
        for (const char* key : {"cInvCode", "InvFree_1", "InvFree_2", "BomType", "Version", "IdentCode"})
            keyParts.append(head.value(QString::fromLatin1(key)));
        const QString key = keyParts.join(u'\x1f');
        if (!byKey.contains(key)) {
            byKey.insert(key, int(boms.size()));
            boms.append({head, i + 1, {}, {}});
        }
        ImportBom& bom = boms[byKey.value(key)];
        if (!line.value(QStringLiteral("DInvCode")).isEmpty()) {
            bom.lines.append(line);
            bom.fileLines.append(i + 1);
        }
    }

    auto form = openVoucher(o.db);
    QElapsedTimer timer;
    timer.start();
    form->store().beginBatch();
    int lines = 0;
    for (const ImportBom& bom : boms) {
        const QString refusal = enter(*form, bom);
        if (!refusal.isEmpty()) {
            form->store().rollbackBatch();
            std::fprintf(stderr, "q7bom bom import: %s; nothing of %s was written\n", refusal.toUtf8().constData(), o.target.toUtf8().constData());
            return 2;
        }
        lines += int(bom.lines.size());
    }
    form->store().commitBatch();
    const double seconds = std::max(0.001, timer.elapsed() / 1000.0);
    std::printf("imported %lld BOMs with %d lines (%.0f lines/s)\n", static_cast<long long>(boms.size()), lines, lines / seconds);
    return 0;
}

int showWindow(const Options& o)
{
    // the session's account: the references of the window look up in it
    const auto account = q7::host::AccountContext::open(o.db);
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

} // namespace

QStringList bomCsvColumns() { return headColumns + lineColumns; }

QList<QStringList> parseCsv(const QString& text)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false, any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
            any = true;
        } else if (c == u',') {
            record.append(field);
            field.clear();
            any = true;
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            if (any || !field.isEmpty()) {
                record.append(field);
                records.append(record);
            }
            record.clear();
            field.clear();
            any = false;
        } else {
            field += c;
            any = true;
        }
    }
    if (quoted)
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("a quoted CSV field is not closed"));
    if (any || !field.isEmpty()) {
        record.append(field);
        records.append(record);
    }
    return records;
}

int runBomCommand(const QStringList& args)
{
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        printHelp();
        return args.isEmpty() ? 2 : 0;
    }
    const QString action = args.first();
    if (!QStringList{QStringLiteral("window"), QStringLiteral("show"), QStringLiteral("export"), QStringLiteral("import")}.contains(action)) {
        std::fprintf(stderr, "q7bom bom: unknown action '%s' (show, export, import, window)\n", action.toUtf8().constData());
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
    if (action == QLatin1String("import"))
        return importBoms(o);
    std::fprintf(stderr, "q7bom bom: unknown action '%s' (show, import, export)\n", action.toUtf8().constData());
    return 2;
}
