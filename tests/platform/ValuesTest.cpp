#include "support/FakeHost.h"
#include "platform/AutomationError.h"
#include "platform/ObjectRef.h"
#include "platform/values/Values.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace q7;
using fake::errorOf;
using namespace q7::values;

namespace {


} // namespace

TEST(Values, IntegerConversionRoundsHalfToEvenAndAcceptsPlatformNumbers)
{
    struct Case {
        QVariant in;
        int expected;
    };
    const Case cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {2.6, 3}, {QStringLiteral("2.5"), 2}, {QStringLiteral("&H10"), 16},
        {QStringLiteral("1,000"), 1000}, {QStringLiteral(" 7 "), 7}, {true, -1}, {QVariant(), 0}, {QStringLiteral("&HFFFF"), -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toLong(c.in), c.expected) << c.in.toString().toStdString();
        EXPECT_EQ(toInteger(c.in), c.expected) << c.in.toString().toStdString();
    }
}

// Numbers written plainly are read at once; every other spelling the general way. Both readings
// must agree: a plain number reads as QString::toDouble reads it, to the last bit.
TEST(Values, PlainAndOtherNumbersReadAlike)
{
    struct Case {
        const char* text;
        double expected;
    };
    const Case cases[] = {
        {"0", 0.0},           {"7", 7.0},      {"-7", -7.0},          {"007", 7.0},   {"3.5", 3.5},       {"-0.25", -0.25},
        {"0.1", 0.1},         {"100", 100.0},  {"123456789.123456789", 123456789.123456789},                 {" 3.5 ", 3.5},
        {"1,000.5", 1000.5},  {".5", 0.5},     {"5.", 5.0},           {"1e3", 1000.0}, {"+4", 4.0},       {"&H10", 16.0},
        {"12345678901234567890123456789012", 12345678901234567890123456789012.0}, // 32 digits: the longest read at once
        {"123456789012345678901234567890123", 123456789012345678901234567890123.0}, // 33: read the general way
    };
    for (const Case& c : cases) {
        const QString text = QString::fromLatin1(c.text);
        EXPECT_EQ(toDouble(text), c.expected) << c.text;
        EXPECT_TRUE(isNumeric(text)) << c.text;
        if (text.trimmed() == text && !text.contains(u',') && !text.startsWith(u'&')) {
            EXPECT_EQ(toDouble(text), text.toDouble()) << c.text;
        }
    }
    EXPECT_EQ(toDouble(QStringLiteral("&HFF")), 255.0); // no decimal digit, but a hexadecimal number
    for (const char* text : {"-", "1.2.3", "1-2", "--1", "-.", "1..2", "abc", "1 2", " ", "false", "inf", "nan", "e", "."})
        EXPECT_FALSE(isNumeric(QString::fromLatin1(text))) << text;
    EXPECT_EQ(toDouble(QStringLiteral("-0")), 0.0);
    EXPECT_TRUE(std::signbit(toDouble(QStringLiteral("-0"))));
    EXPECT_FALSE(isNumeric(QString(QChar(0x0661)))); // a digit, but not one a number is written with
}

TEST(Values, ConversionErrors)
{
    EXPECT_EQ(errorOf([] { toInteger(32767.5); }), ErrOverflow); // rounds to 32768
    EXPECT_EQ(errorOf([] { toInteger(-32768.5); }), 0);          // rounds to -32768
    EXPECT_EQ(errorOf([] { toInteger(40000); }), ErrOverflow);
    EXPECT_EQ(errorOf([] { toLong(2147483648.0); }), ErrOverflow);
    EXPECT_EQ(errorOf([] { toLong(QStringLiteral("abc")); }), ErrTypeMismatch);
    EXPECT_EQ(errorOf([] { toBoolean(QStringLiteral("abc")); }), ErrTypeMismatch);
    EXPECT_EQ(errorOf([] { toText(nullValue()); }), ErrInvalidUseOfNull);
    EXPECT_EQ(errorOf([] { toLong(nullValue()); }), ErrInvalidUseOfNull);
    EXPECT_EQ(errorOf([] { toLong(missingValue()); }), ErrTypeMismatch);
}

TEST(Values, BooleanAndText)
{
    EXPECT_TRUE(toBoolean(QStringLiteral("true")));
    EXPECT_FALSE(toBoolean(QStringLiteral("False")));
    EXPECT_TRUE(toBoolean(QStringLiteral("-1")));
    EXPECT_FALSE(toBoolean(QVariant()));
    EXPECT_EQ(toText(true), QStringLiteral("True"));
    EXPECT_EQ(toText(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(toText(2.0), QStringLiteral("2"));
    EXPECT_EQ(toText(QVariant()), QStringLiteral(""));
    EXPECT_EQ(toTextOrEmpty(nullValue()), QStringLiteral(""));
    EXPECT_EQ(dateText(QDate(2005, 6, 30)), QStringLiteral("2005-06-30"));
}

TEST(Values, EmptyNullAndMissingStayApart)
{
    const QVariant empty = emptyValue(), null = nullValue(), missing = missingValue(), none = nothing();
    EXPECT_TRUE(isEmpty(empty) && !isNull(empty) && !isMissing(empty));
    EXPECT_TRUE(isNull(null) && !isEmpty(null) && !isMissing(null));
    EXPECT_TRUE(isMissing(missing) && !isEmpty(missing) && !isNull(missing));
    EXPECT_TRUE(isNothing(none) && isObject(none) && !isEmpty(none));
    EXPECT_FALSE(isNull(QVariant(QString()))); // a null QString is still a text
    EXPECT_TRUE(isNumeric(QStringLiteral("1,000.5")));
    EXPECT_FALSE(isNumeric(QStringLiteral("12a")));
    EXPECT_FALSE(isNumeric(null));
}

TEST(Values, TextSearchIgnoresCaseAndHandlesChinese)
{
    EXPECT_TRUE(textEquals(QStringLiteral("bo02003"), QStringLiteral("BO02003")));
    EXPECT_TRUE(textEquals(QStringLiteral("替代"), QStringLiteral("替代")));
    EXPECT_FALSE(textEquals(QStringLiteral("替代 "), QStringLiteral("替代")));
    EXPECT_EQ(findText(QStringLiteral("aXb"), QStringLiteral("x")), 2);
    EXPECT_EQ(findText(QStringLiteral("偏置期,供应类型"), QStringLiteral("供应类型")), 5);
    EXPECT_EQ(findText(QStringLiteral("abc"), QStringLiteral("z")), 0);
    EXPECT_EQ(replaceText(QStringLiteral("'cbno' or 'CBNO'"), QStringLiteral("CbNo"), QStringLiteral("否")), QStringLiteral("'否' or '否'"));
    EXPECT_EQ(trim(QStringLiteral("  替代  ")), QStringLiteral("替代"));
    EXPECT_EQ(trim(QStringLiteral("\tx ")), QStringLiteral("\tx")); // only blanks are trimmed
    EXPECT_EQ(mid(QStringLiteral("Morvex.Q7.ab.BO02001"), 13), QStringLiteral(".BO02001"));
}

TEST(Values, PositionsAreOneBasedAndChecked)
{
    EXPECT_EQ(findText(QStringLiteral("abc"), QStringLiteral("c"), 3), 3);
    EXPECT_EQ(findText(QStringLiteral("abc"), QStringLiteral("a"), 2), 0);
    EXPECT_EQ(findText(QStringLiteral("abc"), QStringLiteral("a"), 9), 0);
    EXPECT_EQ(findText(QStringLiteral("abc"), QString(), 2), 2);
    EXPECT_EQ(errorOf([] { findText(QStringLiteral("abc"), QStringLiteral("a"), 0); }), ErrBadCallOrArgument);
    EXPECT_EQ(errorOf([] { mid(QStringLiteral("abc"), 0); }), ErrBadCallOrArgument);
    EXPECT_EQ(mid(QStringLiteral("母件编码"), 3, 1), QStringLiteral("编"));
    EXPECT_EQ(left(QStringLiteral("abc"), -1), QString());
    EXPECT_EQ(right(QStringLiteral("abc"), 5), QStringLiteral("abc"));
}
