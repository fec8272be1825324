#include "support/FakeHost.h"

#include "platform/AutomationError.h"
#include "reports/ProcArguments.h"
#include "reports/ReportProtocol.h"

#include <gtest/gtest.h>

using namespace q7::component;

using namespace ReportProtocol;

TEST(ReportProtocol, QuotingAndPlainNumbers)
{
    EXPECT_EQ(quoted(QStringLiteral("O'Brien")), QStringLiteral("'O''Brien'"));
    EXPECT_EQ(quoted(QString()), QStringLiteral("''"));
    struct Case {
        const char* text;
        bool number;
    };
    // what the statement's parser takes unquoted, and nothing else
    const Case cases[] = {{"5", true},     {" 5 ", true},   {"-1", true},     {"1.", true},    {".5", true},   {"+2.5", false},
                          {"+2", false},   {"", false},     {"   ", false},   {"1e3", false},  {"1,000", false}, {"0x10", false},
                          {"1 2", false},  {"1;", false},   {"1--", false},   {"&H10", false}, {"-", false},   {".", false}};
    for (const Case& c : cases)
        EXPECT_EQ(isPlainNumber(QString::fromLatin1(c.text)), c.number) << c.text;
    // quantities: positive and exact in a double
    const Case quantities[] = {{"1", true}, {" 2.5 ", true}, {"9007199254740992", true}, {"9007199254740993", false},
                               {"9223372036854775808", false}, {"0", false}, {"-1", false}, {"0.0", false}, {"1e20", false},
                               {"  ", false}};
    for (const Case& c : quantities)
        EXPECT_EQ(isQuantity(QString::fromLatin1(c.text)), c.number) << c.text;
    EXPECT_FALSE(isQuantity(QString(400, u'9')));
    EXPECT_FALSE(isQuantity(QString(400, u'9') + QStringLiteral(".0")));
}

TEST(ReportProtocol, BoundsAndQuantityTexts)
{
    EXPECT_EQ(codeBounds(QStringLiteral("vc.InvCode"), QStringLiteral("A"), QStringLiteral("B'")),
              QStringLiteral(" AND vc.InvCode >= 'A' AND vc.InvCode <= 'B'''"));
    EXPECT_EQ(codeBounds(QStringLiteral("vc.InvCode"), QString(), QString()), QString());
    // free items: no blank before the upper bound's operator
    EXPECT_EQ(freeItemBounds(QStringLiteral("bc.Free2"), QStringLiteral("red"), QStringLiteral("blue")),
              QStringLiteral(" AND bc.Free2 >= 'red' AND bc.Free2<= 'blue'"));
    // the texts as the statements carry them, written out (two blanks before the first coalesce)
    EXPECT_EQ(quantityText(false), QStringLiteral("c.FVFlag = 0 then c.BaseQtyN / c.BaseQtyD * (1 + c.CompScrap / 100)"
                                                  " when c.FVFlag = 1 then c.BaseQtyN / c.BaseQtyD / (1 - p.ParentScrap / 100 ) * (1 + c.CompScrap / 100) end"));
    EXPECT_EQ(quantityText(true), QStringLiteral("c.FVFlag = 0 then c.BaseQtyN / c.BaseQtyD * (1 + c.CompScrap / 100) *  coalesce(o.PlanFactor,100) /100"
                                                 " when c.FVFlag = 1 then c.BaseQtyN / c.BaseQtyD / (1 - p.ParentScrap / 100 ) * (1 + c.CompScrap / 100)"
                                                 " * coalesce(o.PlanFactor,100) /100 end"));
}

TEST(ProcArguments, SharedEncodings)
{
    using namespace ProcArguments;
    struct Case {
        QString piece;
        const char* expected;
    };
    const Case cases[] = {
        {codeRange(QString(), QString()), "'','zzzzzzzzzzzzzzzzzzzz',"},
        {codeRange(QStringLiteral("A'"), QStringLiteral("B")), "'A''','B',"},
        {versionRange(QString(), QStringLiteral("5")), " 0,5,"},
        {versionRange(QStringLiteral("3"), QString()), "3,99999999 ,"},
        {dateRange(QString(), QString()), "'2000-01-01','2099-12-31',"},
        {freeRange(QStringLiteral("x"), QString()), "'x','',"},
        {planRate(QStringLiteral("是")), " 1, "},
        {planRate(QStringLiteral(" 是")), " 0, "}, // compared untrimmed
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.piece.toStdString(), std::string(c.expected));
    EXPECT_EQ(fake::errorOf([] { versionRange(QStringLiteral("1 or 1"), QString()); }), q7::ErrBadCallOrArgument);
    struct Key {
        const char* key;
        int n;
    };
    const Key keys[] = {{"cFree1", 1}, {"CFREE10", 10}, {"cFree11", 0}, {"cFree0", 0}, {"cFree", 0}, {"xcFree1", 0}};
    for (const Key& k : keys)
        EXPECT_EQ(freeItemNumber(QString::fromLatin1(k.key)), k.n) << k.key;
}
