#include "support/FakeHost.h"

#include "host/CommonService.h"
#include "host/RecordBuilders.h"

#include <gtest/gtest.h>

using namespace q7;

TEST(CommonService, BlankTruthAndDates)
{
    host::CommonService common;
    struct Blank {
        QVariant value;
        bool blank;
    };
    const Blank blanks[] = {{QVariant(), true},          {nullValue(), true},           {missingValue(), true}, {QString(""), true},
                            {QStringLiteral("  "), true}, {QStringLiteral(" x"), false}, {0, false},             {nothing(), true}};
    for (const Blank& b : blanks)
        EXPECT_EQ(common.IsBlank(b.value), b.blank) << b.value.toString().toStdString();

    struct Truth {
        QVariant value;
        bool truth;
    };
    const Truth truths[] = {{QStringLiteral("true"), true}, {true, true}, {QStringLiteral("True"), true}, {1, true}, {-1, true},
                            {QStringLiteral("是"), true},   {0, false},   {QStringLiteral("false"), false}, {QString(""), false},
                            {QStringLiteral("abc"), false}};
    for (const Truth& t : truths)
        EXPECT_EQ(common.IsTrue(t.value), t.truth) << t.value.toString().toStdString();

    struct Date {
        const char* text;
        const char* normalised; // nullptr: refused
    };
    const Date dates[] = {{"2025-3-1", "2025-03-01"}, {"2025/03/01", "2025-03-01"}, {"20250301", "2025-03-01"},
                          {"2025-02-30", nullptr},    {"", nullptr},                {"abc", nullptr}};
    for (const Date& d : dates) {
        QVariant text = QString::fromUtf8(d.text);
        EXPECT_EQ(common.CheckDate(text, 0), d.normalised != nullptr) << d.text;
        if (d.normalised) {
            EXPECT_EQ(text.toString(), QString::fromUtf8(d.normalised));
        }
    }
}

TEST(CommonService, TasksAreGrantedOnce)
{
    host::CommonService common;
    EXPECT_TRUE(common.BeginTask(QVariant(), QStringLiteral("BO01001"), 4));
    EXPECT_FALSE(common.BeginTask(QVariant(), QStringLiteral("BO01001"), 4)); // already running
    EXPECT_TRUE(common.BeginTask(QVariant(), QStringLiteral("BO01001"), 5));
    EXPECT_TRUE(common.EndTask(QVariant(), QStringLiteral("BO01001"), 4));
    EXPECT_FALSE(common.EndTask(QVariant(), QStringLiteral("BO01001"), 4));
    EXPECT_TRUE(common.EndTask(QVariant(), QStringLiteral("BO01001"), 5));
}

TEST(RecordBuilders, DropDownCodesAndRecords)
{
    host::DropDownListBuilder lists;
    EXPECT_EQ(lists.TextToCode(QStringLiteral(" 主要 "), 3), QStringLiteral("1"));
    EXPECT_EQ(lists.TextToCode(QStringLiteral("替代"), 3), QStringLiteral("2"));
    EXPECT_EQ(lists.TextToCode(QStringLiteral("其他"), 3), QStringLiteral("其他"));
    QVariant record;
    lists.Init(record, 2);
    lists.SetEntry(record, 1, QStringLiteral("BomType"), 3);
    const QVariantList entries = record.toMap().value(QStringLiteral("Entries")).toList();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[1].toMap().value(QStringLiteral("Column")).toString(), QStringLiteral("BomType"));
    EXPECT_FALSE(entries[0].isValid());
}
