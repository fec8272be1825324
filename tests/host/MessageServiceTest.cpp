#include "host/MessageService.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>

TEST(MessageService, FillsPlaceholdersInOrder)
{
    q7::host::MessageService service;
    struct Case {
        QVariant message;
        QVariantList args;
        const char* expected;
    };
    const Case cases[] = {
        {2509, {QStringLiteral("版本")}, "[ 版本 ] 必须输入！"},
        {2510, {3, QStringLiteral("子件编码")}, "第 3 行 [ 子件编码 ] 必须输入！"},
        {2510, {QStringLiteral("%s"), QStringLiteral("x")}, "第 %s 行 [ x ] 必须输入！"}, // a value is never refilled
        {2509, {}, "[ %s ] 必须输入！"},
        {QStringLiteral("2509"), {QStringLiteral("x")}, "2509"}, // a text is shown unchanged
        {QStringLiteral("保存成功"), {}, "保存成功"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(service.format(c.message, c.args), QString::fromUtf8(c.expected));
}

TEST(MessageService, ShowsThroughThePresenter)
{
    fake::resetRecords();
    q7::host::MessageService service;
    service.ShowCheckMessage(20453, q7::missingValue(), QVariantList{QStringLiteral("展开方式")});
    ASSERT_EQ(fake::messages()->messages.size(), 1);
    const auto& shown = fake::messages()->messages.first();
    EXPECT_EQ(shown.kind, q7::host::MessageKind::Check);
    EXPECT_EQ(shown.text, QStringLiteral("[ 展开方式 ] 输入非法，请从列表中选择！"));
}

TEST(MessageService, KindsOfMessages)
{
    fake::resetRecords();
    q7::host::MessageService service;
    service.ShowErrorMessage(8008);
    service.ShowMessage(QStringLiteral("完成"));
    ASSERT_EQ(fake::messages()->messages.size(), 2);
    EXPECT_EQ(fake::messages()->messages[0].kind, q7::host::MessageKind::Error);
    EXPECT_EQ(fake::messages()->messages[0].text, QStringLiteral("设置单据数据源对象失败！"));
    EXPECT_EQ(fake::messages()->messages[1].kind, q7::host::MessageKind::Info);
    EXPECT_EQ(service.format(99999, {}), QStringLiteral("#99999")); // an unknown number is shown as such
}
