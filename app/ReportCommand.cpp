#include "app/ReportCommand.h"

#include "app/OutputTable.h"
#include "host/db/AccountDatabase.h"
#include "host/report/ReportViewer.h"
#include "platform/AutomationError.h"
#include "platform/ObjectRef.h"
#include "platform/Values.h"

#include <QFile>

#include <cstdio>

namespace {

using q7::host::report::FilterSetting;
using q7::host::report::ItemDefinition;

void printHelp()
{
    std::fputs("Usage: q7bom report KEY [--db FILE] [--filter NAME=VALUE]... [--filter NAME=LOW..HIGH]...\n"
               "                        [--angle N] [--list-filters] [--sql] [--format table|csv|json]\n"
               "Runs a BOM report (BO02003 … BO02010) as the report viewer does: the handler writes its\n"
               "defaults, the filters are applied as typed into the filter dialog, the handler checks\n"
               "them and builds the statement, which runs on the account database.\n"
               "  --db FILE        account database (default: the demo account, created on first use)\n"
               "  --filter N=V     value of item N; N=LOW..HIGH, N=LOW.. or N=..HIGH for a range;\n"
               "                   N= empties the item\n"
               "  --angle N        comparison angle of BO02010 (1 versions, 2 main and substitute,\n"
               "                   3 two substitutes)\n"
               "  --list-filters   the report's items: name, caption, single/range, list, default\n"
               "  --sql            print the statement the viewer would run, and stop\n"
               "A refused filter prints the handler's message and exits with status 2.\n",
               stdout);
}

} // namespace

FilterSetting parseFilterSetting(const QString& text)
{
    const qsizetype eq = text.indexOf(u'=');
    if (eq <= 0)
        throw q7::AutomationError(q7::ErrBadCallOrArgument, QStringLiteral("--filter expects NAME=VALUE, got '%1'").arg(text));
    FilterSetting setting{text.left(eq), text.mid(eq + 1), std::nullopt};
    const qsizetype dots = setting.low.indexOf(QStringLiteral(".."));
    if (dots >= 0) {
        setting.high = setting.low.mid(dots + 2);
        setting.low = setting.low.left(dots);
    }
    return setting;
}

namespace {

QString cellText(const QVariant& value)
{
    if (q7::isNull(value) || !value.isValid())
        return QString();
    if (value.metaType().id() == QMetaType::Double)
        return QString::number(value.toDouble(), 'g', 10);
    return value.toString();
}

} // namespace

int runReport(const QStringList& args)
{
    if (args.isEmpty() || args.first() == QLatin1String("--help")) {
        printHelp();
        return args.isEmpty() ? 2 : 0;
    }
    const QString key = args.first();
    QString dbPath;
    QList<FilterSetting> settings;
    int angle = 0;
    bool listFilters = false, sqlOnly = false;
    OutputTable::Format format = OutputTable::Format::Table;
    try {
        for (qsizetype i = 1; i < args.size(); ++i) {
            const QString& a = args[i];
            const bool hasValue = i + 1 < args.size();
            if (a == QLatin1String("--help")) {
                printHelp();
                return 0;
            } else if (a == QLatin1String("--db") && hasValue) {
                dbPath = args[++i];
            } else if (a == QLatin1String("--filter") && hasValue) {
                settings.append(parseFilterSetting(args[++i]));
            } else if (a == QLatin1String("--angle") && hasValue) {
                angle = args[++i].toInt();
            } else if (a == QLatin1String("--list-filters")) {
                listFilters = true;
            } else if (a == QLatin1String("--sql")) {
                sqlOnly = true;
            } else if (a == QLatin1String("--format") && hasValue && OutputTable::parseFormat(args[i + 1], format)) {
                ++i;
            } else {
                std::fprintf(stderr, "q7bom report: unexpected argument '%s' (see --help)\n", a.toUtf8().constData());
                return 2;
            }
        }

        q7::host::report::ReportViewer viewer(key);
        if (listFilters) {
            for (const auto& item : viewer.filter().items()) {
                const ItemDefinition& d = item->definition;
                std::printf("%s\t%s\t%s\t%s\t%s\n", d.name.toUtf8().constData(), d.caption.toUtf8().constData(),
                            d.range ? "range" : "single", d.list.join(u'|').toUtf8().constData(),
                            q7::values::toTextOrEmpty(item->varValue).toUtf8().constData());
            }
            return 0;
        }

        q7::ado::Connection connection;
        if (!sqlOnly) {
            if (dbPath.isEmpty())
                dbPath = q7::host::account::ensureDemoAccount();
            q7::host::account::openAccount(connection, dbPath);
        }
        const auto outcome = viewer.run(settings, angle, sqlOnly ? nullptr : &connection);
        if (outcome.refused) {
            std::fprintf(stderr, "%s\n", outcome.message.toUtf8().constData());
            return 2;
        }
        if (sqlOnly) {
            std::printf("%s\n", outcome.statement.toUtf8().constData());
            return 0;
        }
        OutputTable table;
        table.headers = outcome.rows.columns;
        for (const auto& row : outcome.rows.rows) {
            QStringList cells;
            for (const QVariant& value : row)
                cells.append(cellText(value));
            table.rows.append(cells);
        }
        table.print(format, stdout);
        std::fflush(stdout);
        std::fprintf(stderr, "%lld rows\n", static_cast<long long>(outcome.rows.rows.size()));
        return 0;
    } catch (const q7::AutomationError& error) {
        std::fprintf(stderr, "q7bom report: %s\n", error.description().toUtf8().constData());
        return error.number() == q7::ErrBadCallOrArgument ? 2 : 1;
    }
}
