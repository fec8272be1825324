// Fuzz target: filter values through a report handler, driven as the viewer
// drives it (created by class identifier; SetFilterList, CheckFilterCondition,
// SetReportSQL). Every value must stay inside its quoted literal, or the
// report is refused.
//
// Input: byte 0 picks the report, byte 1 the angle; the rest is UTF-8, one
// line per filter item in the report's order, "value<TAB>upper value".
#include "support/FakeHost.h"

#include "host/report/FilterDefinitions.h"
#include "platform/AutomationError.h"
#include "platform/LateBinding.h"
#include "platform/values/Values.h"
#include "platform/data/TSqlBridge.h"

#include <QApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

using namespace q7;

namespace {

struct Input {
    QString report;
    short angle = 0;
    QList<std::pair<QString, QStringList>> items; // name, value and upper value
};

// The statement as the viewer runs it, or nothing when the report is refused.
std::optional<QString> statementFor(const Input& input)
{
    fake::ReportRun run(input.report);
    if (input.angle && values::toBoolean(call(run.handler, QStringLiteral("IsMultiAngleReport"))))
        letProperty(run.handler, QStringLiteral("CurrentType"), input.angle);
    for (const auto& [name, values] : input.items)
        run.filter->add(name, values.value(0), values.value(1));
    try {
        run.setFilterList();
        if (run.check())
            return std::nullopt;
        const ReportSqlParts parts = run.sql();
        return parts.SqlSelect + u' ' + parts.SqlFrom + u' ' + parts.SqlWhere + u' ' + parts.SqlOrder;
    } catch (const AutomationError&) {
        return std::nullopt;
    }
}

// The statement's structure: words, numbers and symbols, each text literal as '#'.
QStringList structureOf(const QString& sql)
{
    QStringList shape;
    for (const data::Token& t : data::tokenize(sql))
        shape.append(t.kind == data::Token::Kind::String ? QStringLiteral("#") : t.text);
    return shape;
}

QString outsideLiterals(const QString& sql)
{
    QString rest;
    for (const data::Token& t : data::tokenize(sql))
        rest += (t.kind == data::Token::Kind::String ? QStringLiteral("#") : t.text) + u' ';
    return rest;
}

// Whether the value is one of the item's drop-down choices, or several of them.
bool isChoice(const QString& value, const QStringList& list)
{
    for (const QString& part : value.split(u','))
        if (!list.contains(part.trimmed()))
            return false;
    return true;
}

[[noreturn]] void fail(const char* what, const Input& input, const QString& sql)
{
    std::fprintf(stderr, "%s\n  report %s angle %d\n", what, input.report.toUtf8().constData(), input.angle);
    for (const auto& [name, values] : input.items)
        std::fprintf(stderr, "  %s = [%s]\n", name.toUtf8().constData(), values.join(QStringLiteral("] .. [")).toUtf8().constData());
    std::fprintf(stderr, "  statement: %s\n", sql.toUtf8().constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    static fake::HostEnvironment host;
    host.SetUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const QStringList keys = host::report::reportKeys();
    Input input;
    input.report = keys[data[0] % keys.size()];
    input.angle = static_cast<short>(data[1] % 4);
    const auto& definitions = host::report::definition(input.report).items;
    const QStringList lines = QString::fromUtf8(reinterpret_cast<const char*>(data + 2), static_cast<qsizetype>(size - 2)).split(u'\n');
    for (qsizetype i = 0; i < lines.size() && i < definitions.size(); ++i)
        input.items.append({definitions[i].name, lines[i].split(u'\t')});

    const std::optional<QString> sql = statementFor(input);
    if (!sql)
        return 0;
    QStringList shape;
    try {
        shape = structureOf(*sql);
    } catch (const data::BridgeError&) {
        fail("a value broke the statement's literals", input, *sql);
    }

    // A quote in a value may change nothing but the literal's text: the same
    // values with every quote replaced by a letter give the same structure.
    Input unquoted = input;
    bool quotes = false;
    for (auto& item : unquoted.items)
        for (QString& value : item.second)
            if (value.contains(u'\'')) {
                value.replace(u'\'', u'q');
                quotes = true;
            }
    if (quotes) {
        const std::optional<QString> plain = statementFor(unquoted);
        if (!plain || structureOf(*plain) != shape)
            fail("a quote in a value changed the statement", input, *sql);
    }

    // A value that reads as a piece of SQL (three tokens or more) never
    // appears outside the literals more often than with every value "x".
    Input neutral = input;
    for (auto& item : neutral.items)
        for (QString& value : item.second)
            value = QStringLiteral("x");
    const std::optional<QString> base = statementFor(neutral);
    const QString outside = u' ' + outsideLiterals(*sql);
    const QString baseOutside = base ? u' ' + outsideLiterals(*base) : QString();
    for (qsizetype i = 0; i < input.items.size(); ++i) {
        for (const QString& value : input.items[i].second) {
            if (isChoice(value, definitions[i].list))
                continue; // the handler's own words
            QList<data::Token> tokens;
            try {
                tokens = data::tokenize(value);
            } catch (const data::BridgeError&) {
                continue; // cannot be read as SQL at all
            }
            if (tokens.size() < 3)
                continue;
            QString fragment = QStringLiteral(" ");
            for (const data::Token& t : tokens)
                fragment += (t.kind == data::Token::Kind::String ? QStringLiteral("#") : t.text) + u' ';
            if (outside.count(fragment) > baseOutside.count(fragment))
                fail("a value was written outside a literal", input, *sql);
        }
    }
    return 0;
}
