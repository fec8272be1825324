#include "app/ReportCommand.h"

#include "app/CommandParser.h"
#include "app/OutputTable.h"
#include "host/db/AccountDatabase.h"
#include "host/db/procedures/ProcedureSupport.h"
#include "host/report/ReportViewer.h"
#include "platform/AutomationError.h"
#include "platform/ObjectRef.h"
#include "platform/values/Values.h"
#include "platform/data/TSqlBridge.h"

#include <QFile>

#include <cstdio>

namespace q7::app {

using q7::host::report::FilterSetting;
using q7::host::report::ItemDefinition;

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

QList<FilterSetting> effectiveSettings(const QList<FilterSetting>& typed, const q7::host::report::ViewerFilter& filter)
{
    QList<FilterSetting> settings;
    for (FilterSetting setting : typed) {
        const auto* item = filter.item(setting.name);
        if (item && item->definition.range && !setting.high)
            setting.high = setting.low; // one value on a range item: exactly that value
        for (qsizetype i = 0; i < settings.size(); ++i)
            if (q7::values::textEquals(settings[i].name, setting.name))
                settings.removeAt(i--); // the last setting of an item wins whole
        settings.append(setting);
    }
    return settings;
}

int runReport(const QStringList& args)
{
    CommandParser command(QStringLiteral("report"), QStringLiteral("[options] KEY"),
                          QStringLiteral("Runs a BOM report (BO02003 … BO02010) as the report viewer does: the handler writes its\n"
                                         "defaults, the filters are applied as typed into the filter dialog, the handler checks\n"
                                         "them and builds the statement, which runs on the account database. A refused filter\n"
                                         "prints the handler's message and exits with status 2; a database error exits with 1."));
    command.addOption({QStringLiteral("db"), QStringLiteral("Account database (default: the demo account, created on first use)."),
                       QStringLiteral("FILE")});
    command.addOption({QStringLiteral("filter"),
                       QStringLiteral("Item N: N=VALUE (on a range item: exactly that value), N=LOW..HIGH, N=LOW.., N=..HIGH; "
                                      "N= empties the item. Repeatable; the last setting of an item wins."),
                       QStringLiteral("N=V")});
    command.addOption({QStringLiteral("angle"), QStringLiteral("Comparison angle of BO02010: 1 versions, 2 main and substitute, 3 two substitutes."),
                       QStringLiteral("N")});
    command.addOption({QStringLiteral("list-filters"), QStringLiteral("The report's items: name, caption, single/range, list, default.")});
    command.addOption({QStringLiteral("sql"), QStringLiteral("Print the statement the viewer would run, and stop.")});
    command.addOption({QStringLiteral("bridged"),
                       QStringLiteral("Print the statement as a file account runs it (after the T-SQL bridge), and stop:\n"
                                      "plain SQL of the embedded database, for its own shell.")});
    command.addOption({QStringLiteral("max-rows"),
                       QStringLiteral("Stop with a message when a multi-level report passes N rows (default %1).")
                           .arg(q7::host::db::procedures::DefaultRowLimit),
                       QStringLiteral("N")});
    command.addOption({QStringLiteral("format"), QStringLiteral("table (default), csv or json."), QStringLiteral("FORMAT")});
    if (const auto done = command.parse(args, 1, 1))
        return *done;

    const QString key = command.positionals().first();
    OutputTable::Format format = OutputTable::Format::Table;
    if (command.isSet(QStringLiteral("format")) && !OutputTable::parseFormat(command.value(QStringLiteral("format")), format))
        return command.refuse(QStringLiteral("--format takes table, csv or json, not '%1'").arg(command.value(QStringLiteral("format"))));
    int angle = 0;
    if (command.isSet(QStringLiteral("angle"))) {
        const auto parsed = command.integer(QStringLiteral("angle"), 1, 9);
        if (!parsed)
            return 2;
        angle = static_cast<int>(*parsed);
    }
    long long maxRows = q7::host::db::procedures::DefaultRowLimit;
    if (command.isSet(QStringLiteral("max-rows"))) {
        const auto parsed = command.integer(QStringLiteral("max-rows"), 1, 1'000'000'000);
        if (!parsed)
            return 2;
        maxRows = *parsed;
    }
    const bool bridged = command.isSet(QStringLiteral("bridged"));
    const bool sqlOnly = command.isSet(QStringLiteral("sql")) || bridged;
    QString dbPath = command.value(QStringLiteral("db"));
    if (command.isSet(QStringLiteral("db")) && dbPath.trimmed().isEmpty())
        return command.refuse(QStringLiteral("--db needs the path of an account database"));

    try {
        q7::host::report::ReportViewer viewer(key);
        if (command.isSet(QStringLiteral("list-filters"))) {
            for (const auto& item : viewer.filter().items()) {
                const ItemDefinition& d = item->definition;
                std::printf("%s\t%s\t%s\t%s\t%s\n", d.name.toUtf8().constData(), d.caption.toUtf8().constData(),
                            d.range ? "range" : "single", d.list.join(u'|').toUtf8().constData(),
                            q7::values::toTextOrEmpty(item->varValue).toUtf8().constData());
            }
            return 0;
        }
        QList<FilterSetting> typed;
        for (const QString& text : command.values(QStringLiteral("filter")))
            typed.append(parseFilterSetting(text));

        q7::data::Connection connection;
        if (!sqlOnly) {
            if (dbPath.isEmpty())
                dbPath = q7::host::db::ensureDemoAccount();
            q7::host::db::openAccount(connection, dbPath);
            q7::host::db::procedures::setRowLimit(connection, maxRows);
        }
        // CSV and JSON go out as the rows are read: a long explosion needs no memory for its rows
        struct Printer : q7::data::RowConsumer {
            OutputStream out;
            explicit Printer(OutputTable::Format format) : out(format, stdout) {}
            void columns(const QStringList& names) override { out.begin(names); }
            void row(const QVector<QVariant>& values) override { out.row(QVariantList(values.begin(), values.end())); }
            q7::data::RawRowSink* rawSink() override { return out.raw(); }
        } printer(format);
        const bool streamed = format != OutputTable::Format::Table && !sqlOnly;
        const auto outcome = viewer.run(effectiveSettings(typed, viewer.filter()), angle, sqlOnly ? nullptr : &connection,
                                        streamed ? &printer : nullptr);
        if (streamed && !outcome.refused) {
            printer.out.end();
            std::fflush(stdout); // the count follows the rows also where both streams go to one file
            std::fprintf(stderr, "%lld rows\n", printer.out.rows());
            return 0;
        }
        if (outcome.refused) {
            std::fprintf(stderr, "%s\n", outcome.message.toUtf8().constData());
            return 2;
        }
        if (bridged) {
            q7::data::ProcedureCall call;
            if (q7::data::parseProcedureCall(outcome.statement, call)) {
                std::fprintf(stderr, "q7bom report: %s runs the procedure %s, not a statement\n", key.toUtf8().constData(),
                             call.name.toUtf8().constData());
                return 2;
            }
            try {
                std::printf("%s\n", q7::data::translateSelect(outcome.statement).toUtf8().constData());
            } catch (const q7::data::BridgeError& error) {
                std::fprintf(stderr, "q7bom report: statement not supported: %s\n", error.what());
                return 1;
            }
            return 0;
        }
        if (sqlOnly) {
            std::printf("%s\n", outcome.statement.toUtf8().constData());
            return 0;
        }
        OutputTable table;
        table.headers = outcome.rows.columns;
        for (const auto& row : outcome.rows.rows)
            table.rows.append(QVariantList(row.begin(), row.end()));
        table.print(format, stdout);
        std::fflush(stdout);
        std::fprintf(stderr, "%lld rows\n", static_cast<long long>(outcome.rows.rows.size()));
        return 0;
    } catch (const q7::AutomationError& error) {
        std::fprintf(stderr, "q7bom report: %s\n", error.description().toUtf8().constData());
        return error.number() == q7::ErrBadCallOrArgument ? 2 : 1;
    }
}

} // namespace q7::app
