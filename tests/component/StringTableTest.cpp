#include "frame/Bitmaps.h"
#include "frame/ModBOM.h"
#include "frame/StringTable.h"

#include <gtest/gtest.h>

using namespace q7::component;

TEST(StringTable, TextsExactToTheCharacter)
{
    struct Row {
        int number;
        const char* text;
    };
    const Row rows[] = {
        {2509, "[ %s ] 必须输入！"},
        {20449, "[ %s ] 数字太大，请重新输入！"},
        {20453, "[ %s ] 输入非法，请从列表中选择！"},
        {40001, "母件名称 "}, // the trailing blank belongs to the text
        {40012, "全阶"},
        {40056, "物料为'产出品'，不再往下阶展开！"},
        {40088, "主BOM"},
        {40136, "当前和将来"},
        {40446, "被公用物料"},
        {61301, "[ %s ] 必须输入数字！"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(StringTable::find(row.number), QString::fromUtf8(row.text)) << row.number;
        EXPECT_EQ(ModBOM::resText(row.number), QString::fromUtf8(row.text)) << row.number; // through objCommon
    }
    EXPECT_FALSE(StringTable::find(99999).has_value());
    EXPECT_GE(StringTable::count(), 80);
}

TEST(Bitmaps, EveryToolbarNumberHasAnImage)
{
    for (int number : {219, 308, 501, 502, 503, 504, 507, 901, 1108}) {
        const QImage image = Bitmaps::bitmap(number);
        EXPECT_EQ(image.size(), QSize(16, 16)) << number;
    }
    EXPECT_TRUE(Bitmaps::bitmap(1).isNull());
}
