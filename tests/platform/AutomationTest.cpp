#include "support/FakeHost.h"
#include "platform/AutomationError.h"
#include "platform/ClassRegistry.h"
#include "platform/ErrorsIgnored.h"
#include "platform/Events.h"
#include "platform/LateBinding.h"

#include <QObject>
#include <gtest/gtest.h>

using namespace q7;
using fake::errorOf;

namespace {

class Callee : public QObject {
    Q_OBJECT
    Q_PROPERTY(QVariant Value MEMBER value)
    Q_PROPERTY(int Count MEMBER count)
public:
    Q_INVOKABLE void Twice(QVariant& x) { x = x.toInt() * 2; }
    Q_INVOKABLE void SetOut(int& n, QString& s) { n = 42; s = QStringLiteral("写"); }
    Q_INVOKABLE QString Join(const QString& a, int b) { return a + QString::number(b); }
    Q_INVOKABLE void Fail() { throw AutomationError(ErrObjectNotSet); }
    QVariant value;
    int count = 0;
};

class Sink : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE void objSource_Changed(QVariant& cancel) { ++calls; cancel = true; }
    Q_INVOKABLE void other_Changed(QVariant&) { ++otherCalls; }
    int calls = 0;
    int otherCalls = 0;
};


} // namespace

TEST(LateBinding, ByReferenceArgumentsReachTheCaller)
{
    Callee callee;
    QVariantList args{21};
    callByName(&callee, QStringLiteral("Twice"), args);
    EXPECT_EQ(args[0].toInt(), 42);

    QVariantList out{0, QString("")};
    callByName(&callee, QStringLiteral("setout"), out); // names ignore case
    EXPECT_EQ(out[0].toInt(), 42);
    EXPECT_EQ(out[1].toString(), QStringLiteral("写"));

    EXPECT_EQ(call(&callee, QStringLiteral("Join"), {QStringLiteral("a"), QStringLiteral("2.5")}).toString(), QStringLiteral("a2"));
}

TEST(LateBinding, PropertiesAndErrors)
{
    auto callee = makeObject<Callee>();
    letProperty(callee, QStringLiteral("value"), QStringLiteral("x"));
    EXPECT_EQ(getProperty(callee, QStringLiteral("Value")).toString(), QStringLiteral("x"));
    letProperty(callee, QStringLiteral("Count"), QStringLiteral("7"));
    EXPECT_EQ(callee->count, 7);

    EXPECT_EQ(errorOf([&] { letProperty(callee, QStringLiteral("NoSuch"), 1); }), ErrNoSuchMember);
    EXPECT_FALSE(callee->dynamicPropertyNames().contains("NoSuch")); // no dynamic property slipped in
    EXPECT_EQ(errorOf([&] { call(callee, QStringLiteral("NoSuch")); }), ErrNoSuchMember);
    EXPECT_EQ(errorOf([&] { call(callee, QStringLiteral("Join"), {1}); }), ErrWrongArgumentCount);
    EXPECT_EQ(errorOf([&] { call(callee, QStringLiteral("Join"), {QStringLiteral("a"), QStringLiteral("b")}); }), ErrTypeMismatch);
    EXPECT_EQ(errorOf([&] { letProperty(callee, QStringLiteral("Count"), 1e12); }), ErrOverflow);
    EXPECT_EQ(errorOf([] { call(Object(), QStringLiteral("Any")); }), ErrObjectNotSet);
    EXPECT_EQ(errorOf([&] { call(callee, QStringLiteral("Fail")); }), ErrObjectNotSet);
}

TEST(ClassRegistry, CreatesByIdentifierIgnoringCase)
{
    ClassRegistry::instance().registerClass(QStringLiteral("Test.Callee"), [] { return Object(makeObject<Callee>()); });
    const Object a = createObject(QStringLiteral("test.callee"));
    const Object b = createObject(QStringLiteral("Test.Callee"));
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b); // every creation is a new object
    EXPECT_EQ(errorOf([] { createObject(QStringLiteral("Test.Unknown")); }), ErrCannotCreateObject);
    ClassRegistry::instance().unregisterClass(QStringLiteral("Test.Callee"));
}

TEST(Events, LaterBindingReplacesEarlierAndEndsWithVariable)
{
    auto first = makeObject<QObject>();
    auto second = makeObject<QObject>();
    Sink sink;
    {
        EventVariable objSource(&sink, QStringLiteral("objSource"));
        objSource.bind(first);
        objSource.bind(second);
        QVariantList args{false};
        raiseEvent(first.data(), QStringLiteral("Changed"), args);
        EXPECT_EQ(sink.calls, 0); // the old source is no longer bound
        raiseEvent(second.data(), QStringLiteral("Changed"), args);
        EXPECT_EQ(sink.calls, 1);
        EXPECT_TRUE(args[0].toBool()); // by-reference write reaches the raiser
        EXPECT_EQ(sink.otherCalls, 0);
        raiseEvent(second.data(), QStringLiteral("Unhandled"), args); // ignored
        EXPECT_EQ(boundSinkCount(second.data()), 1);
    }
    EXPECT_EQ(boundSinkCount(second.data()), 0);
}

TEST(Events, EverySinkHearsTheEventInBindingOrder)
{
    auto source = makeObject<QObject>();
    Sink first, second;
    EventVariable a(&first, QStringLiteral("objSource"));
    EventVariable b(&second, QStringLiteral("other"));
    a.bind(source);
    b.bind(source);
    QVariantList args{false};
    raiseEvent(source.data(), QStringLiteral("Changed"), args);
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(second.otherCalls, 1);
    EXPECT_EQ(boundSinkCount(source.data()), 2);
}

TEST(Events, VariableKeepsItsSourceAlive)
{
    Sink sink;
    EventVariable objSource(&sink, QStringLiteral("objSource"));
    QWeakPointer<QObject> weak;
    {
        auto source = makeObject<QObject>();
        weak = source;
        objSource.bind(source);
    }
    EXPECT_FALSE(weak.isNull());
    objSource.bind(Object());
    EXPECT_TRUE(weak.isNull());
}

TEST(ErrorsIgnored, StepFailsAndRoutineGoesOn)
{
    int steps = 0;
    EXPECT_FALSE(ignoringErrors([&] { ++steps; throw AutomationError(ErrTypeMismatch); }));
    EXPECT_TRUE(ignoringErrors([&] { ++steps; }));
    EXPECT_EQ(steps, 2);
}

#include "AutomationTest.moc"
