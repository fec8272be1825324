#include "app/DiffCommand.h"

#include "app/CommandParser.h"
#include "app/DiffTables.h"
#include "app/gui/DiffWindow.h"
#include "host/db/AccountDatabase.h"
#include "host/db/procedures/ProcedureSupport.h"
#include "host/process/ops/Parts.h"
#include "host/voucher/BomChecks.h"
#include "platform/AutomationError.h"
#include "platform/data/Ado.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>

#include <cstdio>

namespace q7::app {

using namespace q7::host::db::procedures;
using q7::host::process::ops::PartKey;

namespace {

int partOf(q7::data::Connection& connection, const QString& label, const QString& option)
{
    const PartKey key = PartKey::fromLabel(label);
    if (const auto part = q7::host::process::ops::findPart(connection.database(), key))
        return *part;
    QSqlQuery parts = q7::data::runBound(connection.database(),
                                        QStringLiteral("SELECT InvCode, Free1, Free2 FROM bas_part WHERE InvCode = ? ORDER BY PartId"), {key.invCode});
    QStringList known;
    while (parts.next()) {
        PartKey found{parts.value(0).toString()};
        found.free[0] = parts.value(1).toString();
        found.free[1] = parts.value(2).toString();
        known.append(found.label());
    }
    throw q7::AutomationError(q7::ErrBadCallOrArgument,
                              known.isEmpty() ? QStringLiteral("%1: no item %2").arg(option, label)
                                              : QStringLiteral("%1: %2 names no part; give one of %3").arg(option, label, known.join(QStringLiteral(", "))));
}

int versionBom(q7::data::Connection& connection, int part, const QString& version)
{
    QSqlQuery query = q7::data::runBound(connection.database(),
                                        QStringLiteral("SELECT b.BomId FROM bom_bom b JOIN bom_parent t ON t.BomId = b.BomId "
                                                       "WHERE t.ParentId = ? AND t.SharingPartId IS NULL AND b.BomType = 1 AND b.Version = ? ORDER BY b.BomId"),
                                        {part, version.toDouble()});
    if (!query.next())
        throw q7::AutomationError(q7::ErrBadCallOrArgument, QStringLiteral("--against-version: no main BOM of version %1").arg(version));
    return query.value(0).toInt();
}

QString versionDate(q7::data::Connection& connection, int bom)
{
    QSqlQuery query = q7::data::runBound(connection.database(), QStringLiteral("SELECT VersionEffDate FROM bom_bom WHERE BomId = ?"), {bom});
    return query.next() ? query.value(0).toString() : QString();
}

int showDiffWindow(const QString& db, const QString& item, const QString& at, const QString& against, const QString& screenshot)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fputs("q7bom diff: the window needs a widget application\n", stderr);
        return 1;
    }
    q7::app::gui::DiffWindow window(db, item, at, against);
    window.resize(1100, 640);
    window.show();
    if (screenshot.isEmpty())
        return QApplication::exec();
    QApplication::processEvents();
    if (!window.grab().save(screenshot, "PNG")) {
        std::fprintf(stderr, "q7bom diff: cannot write %s\n", screenshot.toUtf8().constData());
        return 1;
    }
    std::printf("%s\n%s\n", screenshot.toUtf8().constData(), window.status().toUtf8().constData());
    return 0;
}

} // namespace

bool diffNeedsWidgets(int argc, char* argv[])
{
    if (argc < 2 || qstrcmp(argv[1], "diff") != 0)
        return false;
    for (int i = 2; i < argc; ++i)
        if (qstrcmp(argv[i], "--window") == 0 || qstrcmp(argv[i], "--screenshot") == 0)
            return true;
    return false;
}

int runDiffCommand(const QStringList& args)
{
    CommandParser command(QStringLiteral("diff"), QStringLiteral("[options] ITEM"),
                          QStringLiteral("What differs between two indented explosions of ITEM (全阶, as BO02004 lists them), through all\n"
                                         "levels: the explosion on --at against the one on --against (default: the same date), of\n"
                                         "--against-item, or of version --against-version of the item's main BOM. Lines are matched\n"
                                         "by their path (component and line number from the top down), so a component on two\n"
                                         "lines stays two lines. Lists the lines added, removed and changed (base quantity, scrap,\n"
                                         "cumulative quantity, supply type, warehouse, 循环/产出品 mark) with level and path, then per\n"
                                         "component the cumulative quantity per top on both sides (by-products not counted).\n"
                                         "ITEM is a code, with free items in parentheses where the item has them: BK-100(红)."));
    command.addOption({QStringLiteral("db"), QStringLiteral("Account database (default: the demo account, created on first use)."), QStringLiteral("FILE")});
    command.addOption({QStringLiteral("at"), QStringLiteral("The date of the first explosion (default: today)."), QStringLiteral("D1")});
    command.addOption({QStringLiteral("against"), QStringLiteral("The date of the second explosion (default: --at)."), QStringLiteral("D2")});
    command.addOption({QStringLiteral("against-item"), QStringLiteral("The second explosion is of this item."), QStringLiteral("ITEM2")});
    command.addOption({QStringLiteral("against-version"),
                       QStringLiteral("The second explosion is of this version of the item's main BOM (on --against, else on the version's own date)."),
                       QStringLiteral("V")});
    command.addOption({QStringLiteral("all"), QStringLiteral("List the unchanged lines too.")});
    command.addOption({QStringLiteral("plan-rate"), QStringLiteral("Quantities with the lines' plan factors, as BO02004's 计划比例.")});
    command.addOption({QStringLiteral("format"), QStringLiteral("table (default), csv or json."), QStringLiteral("FORMAT")});
    command.addOption({QStringLiteral("window"), QStringLiteral("Show the diff in the workbench's window (two dates only).")});
    command.addOption({QStringLiteral("screenshot"), QStringLiteral("Draw the window into a PNG file instead."), QStringLiteral("FILE")});
    if (const auto done = command.parse(args, 1, 1))
        return *done;
    OutputTable::Format format = OutputTable::Format::Table;
    if (command.isSet(QStringLiteral("format")) && !OutputTable::parseFormat(command.value(QStringLiteral("format")), format))
        return command.refuse(QStringLiteral("--format takes table, csv or json, not '%1'").arg(command.value(QStringLiteral("format"))));
    const QString at = command.isSet(QStringLiteral("at")) ? command.value(QStringLiteral("at")) : QDate::currentDate().toString(Qt::ISODate);
    for (const QString& option : {QStringLiteral("at"), QStringLiteral("against")})
        if (command.isSet(option) && !q7::host::voucher::isDateText(command.value(option)))
            return command.refuse(QStringLiteral("--%1 takes a date written yyyy-mm-dd, not '%2'").arg(option, command.value(option)));
    if (command.isSet(QStringLiteral("against-item")) && command.isSet(QStringLiteral("against-version")))
        return command.refuse(QStringLiteral("--against-item and --against-version name two second explosions; give one"));
    QString db = command.value(QStringLiteral("db"));
    if (db.isEmpty())
        db = q7::host::db::ensureDemoAccount();
    else if (!q7::host::db::isServerAccount(db) && !QFile::exists(db))
        return command.refuse(QStringLiteral("no account database at %1 (q7bom init-db --path %1 makes one)").arg(db));

    if (command.isSet(QStringLiteral("window")) || command.isSet(QStringLiteral("screenshot"))) {
        if (command.isSet(QStringLiteral("against-item")) || command.isSet(QStringLiteral("against-version")))
            return command.refuse(QStringLiteral("the window compares two dates: --against-item and --against-version are for the listing"));
        return showDiffWindow(db, command.positionals().first(), at, command.isSet(QStringLiteral("against")) ? command.value(QStringLiteral("against")) : at,
                              command.value(QStringLiteral("screenshot")));
    }
    try {
        q7::data::Connection connection;
        connection.Open(q7::host::db::connectionStringFor(db));
        const QString item = command.positionals().first();
        ExplosionSide before{partOf(connection, item, QStringLiteral("ITEM")), at, 0};
        ExplosionSide after = before;
        if (command.isSet(QStringLiteral("against")))
            after.date = command.value(QStringLiteral("against"));
        if (command.isSet(QStringLiteral("against-item")))
            after.part = partOf(connection, command.value(QStringLiteral("against-item")), QStringLiteral("--against-item"));
        if (command.isSet(QStringLiteral("against-version"))) {
            after.bomId = versionBom(connection, before.part, command.value(QStringLiteral("against-version")));
            if (!command.isSet(QStringLiteral("against")))
                after.date = versionDate(connection, after.bomId);
        }
        const ExplosionDiff diff = diffExplosions(connection, before, after, command.isSet(QStringLiteral("plan-rate")));
        const OutputTable lines = diffLinesTable(diff, command.isSet(QStringLiteral("all")));
        const OutputTable totals = diffTotalsTable(diff);
        if (format == OutputTable::Format::Json) {
            QJsonObject out{{QStringLiteral("lines"), QJsonDocument::fromJson(lines.render(format).toUtf8()).object()},
                            {QStringLiteral("totals"), QJsonDocument::fromJson(totals.render(format).toUtf8()).object()}};
            std::fputs(QJsonDocument(out).toJson(QJsonDocument::Compact).constData(), stdout);
            std::fputs("\n", stdout);
        } else {
            lines.print(format, stdout);
            std::fputs("\n", stdout);
            totals.print(format, stdout);
        }
        std::fprintf(stderr, "%d rows against %d: %d added, %d removed, %d changed; %d components change in total\n", diff.rowsBefore,
                     diff.rowsAfter, diff.count(DiffChange::Added), diff.count(DiffChange::Removed), diff.count(DiffChange::Changed),
                     static_cast<int>(diff.totals.size()));
        return 0;
    } catch (const q7::AutomationError& error) {
        return command.refuse(error.description());
    }
}

} // namespace q7::app
