// The script host's bridge: script values to the run-time's variants and
// back, by-reference results, event handlers written in the script, and
// run-time errors crossing in both directions with their numbers.
#include "host/script/ScriptHost.h"
#include "platform/AutomationError.h"
#include "platform/ClassRegistry.h"
#include "platform/ObjectRef.h"
#include "support/ScratchAccount.h"

#include <QDate>
#include <QDateTime>
#include <QPoint>

#include <gtest/gtest.h>

using q7::host::script::ScriptHost;

namespace {

enum class Kind { Empty, Null, Missing, Nothing, Object, Value };

struct ToVariantCase {
    const char* expression;
    Kind kind;
    QVariant expected; // for Kind::Value: type and value
};

std::string text(const QVariant& v) { return (QString::fromLatin1(v.typeName()) + u' ' + v.toString()).toStdString(); }

// Evaluates an expression that must not throw.
QJSValue value(ScriptHost& host, const char* expression)
{
    bool thrown = false;
    const QJSValue v = host.evaluate(QString::fromUtf8(expression), &thrown);
    EXPECT_FALSE(thrown) << expression << ": " << v.toString().toStdString();
    return v;
}

bool isTrue(ScriptHost& host, const char* expression) { return value(host, expression).toBool(); }

} // namespace

TEST(ScriptBridge, ScriptValuesBecomeVariants)
{
    ScriptHost host;
    const ToVariantCase cases[] = {
        {"undefined", Kind::Empty, {}},
        {"Empty", Kind::Empty, {}},
        {"null", Kind::Null, {}},
        {"Missing", Kind::Missing, {}},
        {"Nothing", Kind::Nothing, {}},
        {"createObject('q7host.account')", Kind::Object, {}},
        {"true", Kind::Value, QVariant(true)},
        {"42", Kind::Value, QVariant(42)},
        {"-2147483648", Kind::Value, QVariant(-2147483647 - 1)},
        {"2147483648", Kind::Value, QVariant(2147483648.0)}, // past a Long: a Double
        {"2.5", Kind::Value, QVariant(2.5)},
        {"-0.5", Kind::Value, QVariant(-0.5)},
        {"'螺栓 M8'", Kind::Value, QVariant(QStringLiteral("螺栓 M8"))},
        {"''", Kind::Value, QVariant(QString())},
        {"new Date(2025, 6, 1)", Kind::Value, QVariant(QDate(2025, 7, 1))},
        {"dateValue('2099-12-31')", Kind::Value, QVariant(QDate(2099, 12, 31))},
        {"new Date(2025, 6, 1, 13, 5, 9)", Kind::Value, QVariant(QDateTime(QDate(2025, 7, 1), QTime(13, 5, 9)))},
        {"[1, 'a', null, [2.5]]", Kind::Value,
         QVariant(QVariantList{1, QStringLiteral("a"), q7::nullValue(), QVariant(QVariantList{2.5})})},
        {"[]", Kind::Value, QVariant(QVariantList{})},
        {"({code: 'BK-100', qty: 2})", Kind::Value, QVariant(QVariantMap{{"code", QStringLiteral("BK-100")}, {"qty", 2}})},
        {"ref(7)", Kind::Value, QVariant(7)}, // a reference passes its value
    };
    for (const ToVariantCase& c : cases) {
        SCOPED_TRACE(c.expression);
        const QVariant v = host.values().toVariant(value(host, c.expression));
        switch (c.kind) {
        case Kind::Empty: EXPECT_TRUE(q7::isEmpty(v)) << text(v); break;
        case Kind::Null: EXPECT_TRUE(q7::isNull(v)) << text(v); break;
        case Kind::Missing: EXPECT_TRUE(q7::isMissing(v)) << text(v); break;
        case Kind::Nothing: EXPECT_TRUE(q7::isNothing(v)) << text(v); break;
        case Kind::Object:
            ASSERT_TRUE(q7::isObject(v) && !q7::isNothing(v)) << text(v);
            EXPECT_STREQ(q7::toObject(v)->metaObject()->className(), "q7::host::script::AccountObject");
            break;
        case Kind::Value:
            EXPECT_EQ(v.metaType(), c.expected.metaType()) << text(v);
            if (c.expected.metaType() == QMetaType::fromType<QVariantList>()) {
                EXPECT_EQ(v.toList().size(), c.expected.toList().size());
            } else {
                EXPECT_EQ(v, c.expected) << text(v);
            }
            break;
        }
    }
    // A function has no variant form; a member that cannot be read carries its error
    const struct {
        const char* expression;
        int number;
    } refused[] = {{"(function () {})", q7::ErrTypeMismatch}, {"Nothing.Anything", q7::ErrObjectNotSet}};
    for (const auto& r : refused) {
        try {
            host.values().toVariant(value(host, r.expression));
            ADD_FAILURE() << r.expression << " converted";
        } catch (const q7::AutomationError& error) {
            EXPECT_EQ(error.number(), r.number) << r.expression;
        }
    }
}

TEST(ScriptBridge, VariantsBecomeScriptValuesAndComeBackTheSame)
{
    ScriptHost host;
    const struct {
        QVariant variant;
        const char* check; // about v
        bool roundTrip;
    } cases[] = {
        {q7::emptyValue(), "v === undefined && isEmpty(v) && typeName(v) === 'Empty'", true},
        {q7::nullValue(), "v === null && isNull(v) && typeName(v) === 'Null'", true},
        {q7::missingValue(), "v === Missing && isMissing(v) && !isObject(v)", true},
        {q7::nothing(), "v === Nothing && isNothing(v) && isObject(v) && typeName(v) === 'Nothing'", true},
        {QVariant(true), "v === true", true},
        {QVariant::fromValue(short(-3)), "v === -3", false}, // comes back a Long
        {QVariant(2147483647), "v === 2147483647", true},
        {QVariant(qlonglong(50000000000)), "v === 50000000000", false}, // a Double
        {QVariant(1.0204081632653061), "v === 1.0204081632653061", true},
        {QVariant(QStringLiteral("a'b\"c")), "v === 'a\\'b\"c'", true},
        {QVariant(QDate(2025, 7, 1)), "v instanceof Date && dateText(v) === '2025-07-01' && v.getHours() === 0", true},
        {QVariant(QDate(2024, 2, 29)), "v.getMonth() === 1 && v.getDate() === 29", true},
        {QVariant(QDateTime(QDate(2099, 12, 31), QTime(23, 59, 59))), "dateText(v) === '2099-12-31 23:59:59'", true},
        {QVariant(QStringList{"a", "b"}), "Array.isArray(v) && v.join() === 'a,b'", false}, // a variant array
        {QVariant(QVariantList{1, q7::nullValue(), QDate(2025, 1, 1), q7::nothing()}),
         "v.length === 4 && v[1] === null && v[2] instanceof Date && v[3] === Nothing", false},
        {QVariant(QVariantMap{{"n", 1}, {"t", "x"}}), "v.n === 1 && v.t === 'x'", false},
        {q7::fromObject(q7::createObject("Q7Host.ReportViewer")), "isObject(v) && typeName(v) === 'ReportViewerObject' && v.Key === ''", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(text(c.variant));
        host.engine().globalObject().setProperty(QStringLiteral("v"), host.values().toScript(c.variant));
        EXPECT_TRUE(isTrue(host, c.check)) << c.check;
        if (c.roundTrip) {
            const QVariant back = host.values().toVariant(host.engine().globalObject().property(QStringLiteral("v")));
            EXPECT_EQ(back.metaType(), c.variant.metaType()) << text(back);
            if (!q7::isObject(c.variant)) {
                EXPECT_EQ(back, c.variant) << text(back);
            }
        }
    }
    try {
        host.values().toScript(QVariant(QPoint(1, 2)));
        ADD_FAILURE() << "a point reached the script";
    } catch (const q7::AutomationError& error) {
        EXPECT_EQ(error.number(), q7::ErrTypeMismatch);
    }
}

TEST(ScriptBridge, MembersByNameAndByReferenceResults)
{
    ScriptHost host;
    value(host, "var pd = createObject('Q7BomLib.clsProgramDefine');");
    const char* const checks[] = {
        // call() answers the result and the arguments as the callee left them
        "var r = call(pd, 'SetProgramType', ['BO02004', '', Empty, Empty, Nothing]);"
        "r.result === undefined && r.args[2] === 5 && r.args[3] === Empty && typeName(r.args[4]) === 'clsBO02004'",
        // ref() arguments are written back; the member's name in any case
        "var t = ref(0), v = ref(''), h = ref(Nothing); pd.setprogramTYPE('BO01001', '', t, v, h);"
        "t.value === 3 && v.value === 'BO11' && typeName(h.value) === 'clsBO01001'",
        // plain arguments stay as they were
        "var plainArgs = ['BO01002', '', 0, '', Nothing]; call(pd, 'SetProgramType', plainArgs); plainArgs[2] === 0",
        // a menu key without a handler leaves the handler argument as it was
        "var n = ref(Nothing); pd.SetProgramType('BO02000', '', ref(0), ref(0), n); n.value === Nothing",
        // properties read and written by name, through the run-time
        "var viewer = createObject('Q7Host.ReportViewer'); viewer.Open('bo02004'); viewer.angle = 0; viewer.KEY === 'BO02004'",
        "viewer.Filters().length === 16 && viewer.Filters()[15].name === 'EffDate'",
        "getProperty(viewer, 'key') === 'BO02004'",
        "sameObject(r.args[4], r.args[4]) && !sameObject(pd, createObject('Q7BomLib.clsProgramDefine'))",
    };
    for (const char* check : checks)
        EXPECT_TRUE(isTrue(host, check)) << check;
}

TEST(ScriptBridge, RunTimeErrorsArriveWithTheirNumbers)
{
    ScriptHost host;
    value(host, "var pd = createObject('Q7BomLib.clsProgramDefine'); var viewer = createObject('Q7Host.ReportViewer');");
    const struct {
        const char* statement;
        int number;
    } cases[] = {
        {"createObject('Q7BomLib.clsNoSuchClass')", q7::ErrCannotCreateObject},
        {"pd.NoSuchMember(1)", q7::ErrNoSuchMember},
        {"var x = pd.NoSuchProperty; String(x)", q7::ErrNoSuchMember},
        {"pd.NoSuchProperty = 1", q7::ErrNoSuchMember},
        {"pd.SetProgramType('BO01001')", q7::ErrWrongArgumentCount},
        {"Nothing.Open('BO02004')", q7::ErrObjectNotSet},
        {"call(Nothing, 'Open', ['BO02004'])", q7::ErrObjectNotSet},
        {"call(5, 'Open', [])", q7::ErrTypeMismatch},
        {"viewer.Filters()", q7::ErrObjectNotSet}, // no report open
        {"viewer.Open('BO09999')", q7::ErrBadCallOrArgument},
        {"viewer.Open('BO02004'); viewer.SetFilter('NoSuchItem', 1)", q7::ErrBadCallOrArgument},
        {"viewer.Angle = 'abc'", q7::ErrTypeMismatch},
        {"raiseError(380)", q7::ErrInvalidPropertyValue},
        {"account.Query('select 1')", q7::ErrObjectNotSet}, // no account given
    };
    for (const auto& c : cases) {
        const QString program = QStringLiteral("try { %1; 'no error' } catch (e) { e.number + '|' + e.description }").arg(QString::fromUtf8(c.statement));
        const QString answer = value(host, program.toUtf8().constData()).toString();
        EXPECT_TRUE(answer.startsWith(QString::number(c.number) + u'|')) << c.statement << " → " << answer.toStdString();
        EXPECT_GT(answer.size(), QString::number(c.number).size() + 1) << c.statement << ": a description";
    }
}

TEST(ScriptBridge, ScriptEventHandlersTakeArgumentsByReferenceAndReturnTheirErrors)
{
    ScriptHost host;
    value(host, "var source = createObject('Q7Host.Account'); var heard = [];"
                "var binding = bindEvents(source, 'objSource', {"
                "  OBJSOURCE_changed(qty, note) { heard.push(qty.value); qty.value = qty.value * 2; note.value = 'seen'; },"
                "  objSource_Fail(number) { if (number.value) raiseError(number.value, 'refused by the script'); Nothing.Anything(); },"
                "  objSource_Thrown() { throw new TypeError('plain script error'); },"
                "});");
    const struct {
        const char* statement;
        const char* answer; // what the statement evaluates to, or the error's "number|description"
    } cases[] = {
        {"var note = ref('x'); var out = raiseEvent(source, 'Changed', [21, note]);"
         "return [out[0], out[1], note.value, heard].join()",
         "42,seen,seen,21"},
        {"return raiseEvent(source, 'NobodyListens', [1]).length", "1"},
        {"raiseEvent(source, 'Fail', [380])", "380|refused by the script"},
        {"raiseEvent(source, 'Fail', [0])", "91|Object variable or With block variable not set"},
        {"raiseEvent(source, 'Thrown', [])", "5|TypeError: plain script error"},
        {"binding.unbind(); return raiseEvent(source, 'Fail', [380]).length", "1"},
    };
    for (const auto& c : cases) {
        const QString program =
            QStringLiteral("(function () { try { %1; return 'no error'; } catch (e) { return e.number + '|' + e.description; } })()").arg(QString::fromUtf8(c.statement));
        EXPECT_EQ(value(host, program.toUtf8().constData()).toString(), QString::fromUtf8(c.answer)) << c.statement;
    }
}

TEST(ScriptBridge, AnErrorInAHandlerOfTheHostsEventReachesTheScript)
{
    // The process form raises ColumnChanging on its event source when a field
    // is typed; the component's handler and the script's handler hear it.
    fake::ScratchAccount account;
    ScriptHost host({}, account.path());
    const QString answer =
        value(host, "var library = createObject('Q7Host.Process');"
                    "var form = library.OpenForm('BO01002', account.Path, 'tester');"
                    "var changing = [];"
                    "bindEvents(form.EventHandler, 'objScript', {"
                    "  objScript_ColumnChanging(key, value, accept) { changing.push(key.value);"
                    "    if (value.value === 'ZZ-100') accept.value = 0;"
                    "    if (value.value === 'XX-999') raiseError(13, 'not an item'); },"
                    "});"
                    "var first = form.EnterField('OldInvCode', 'HB-220');"
                    "var second; try { form.EnterField('NewInvCode', 'XX-999'); second = 'no error'; }"
                    "catch (e) { second = e.number + '|' + e.description; }"
                    "var third = form.EnterField('NewInvCode', 'ZZ-100');"
                    "[first, second, third, changing.join()].join(';')")
            .toString();
    // the value refused through the by-reference argument is the form's own refusal
    EXPECT_EQ(answer, QStringLiteral(";13|not an item;[ 新子件编码 ] 不接受 ZZ-100;OldInvCode,NewInvCode,NewInvCode"));
}

TEST(ScriptBridge, UncaughtErrorsEndTheScriptWithWhereAndNumber)
{
    const struct {
        const char* program;
        int status;
        int number;
        const char* error;
    } cases[] = {
        {"var fine = 1;", 0, 0, ""},
        {"var a = 1;\n\nNothing.Open('x');\n", 1, 91, "t.js:3: run-time error 91: Object variable or With block variable not set"},
        {"\ncreateObject('No.Such');", 1, 429, "t.js:2: run-time error 429: "},
        {"undefinedName + 1;", 1, 0, "t.js:1: ReferenceError: undefinedName is not defined"},
        {"exit(3); print('not reached');", 3, 0, ""},
        {"try { exit(4); } catch (e) {} exit(0);", 4, 0, ""}, // exit cannot be caught
        {"raiseError(9, 'index out of range');", 1, 9, "t.js:1: run-time error 9: index out of range"},
    };
    for (const auto& c : cases) {
        ScriptHost host;
        const auto outcome = host.run(QString::fromUtf8(c.program), QStringLiteral("t.js"));
        EXPECT_EQ(outcome.status, c.status) << c.program;
        EXPECT_EQ(outcome.errorNumber, c.number) << c.program;
        if (*c.error)
            EXPECT_TRUE(outcome.error.startsWith(QString::fromUtf8(c.error))) << c.program << " → " << outcome.error.toStdString();
        else
            EXPECT_TRUE(outcome.error.isEmpty()) << c.program << " → " << outcome.error.toStdString();
    }
}

TEST(ScriptBridge, TheAccountAnswersRowsAndRecordsets)
{
    fake::ScratchAccount account;
    ScriptHost host({}, account.path());
    value(host, "var rs = account.Execute(\"select cInvCode, cInvName from Inventory where cInvCode like 'BK-%' order by cInvCode\");");
    const char* const checks[] = {
        "account.path.endsWith('.db') && typeName(account) === 'AccountObject'",
        // EOF is answered by the recordset itself: read as a property, not as a member to call
        "rs.RecordCount === 2 && rs.eof === false",
        "var codes = []; while (!rs.EOF) { codes.push(rs.Fields('CINVCODE')); rs.MoveNext(); } codes.join() === 'BK-100,BK-120' && rs.EOF === true",
        "rs.Filter = \"cInvCode='bk-120'\"; rs.RecordCount === 1",
        "var q = account.Query(\"select cInvCode, cInvName from Inventory where cInvCode = 'ZZ-999'\");"
        "q.columns.length === 2 && q.rows.length === 0",
        "(function () { try { rs.Fields('nope'); } catch (e) { return e.number === 3265; } })()",
    };
    for (const char* check : checks)
        EXPECT_TRUE(isTrue(host, check)) << check;
}
