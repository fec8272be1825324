// `q7bom maintain`: exit status and what reaches the account for the
// subcommands, through the same handler checks as the form.
#include "app/MaintainCommand.h"
#include "support/FakeHost.h"
#include "support/ScratchAccount.h"

#include <gtest/gtest.h>

using namespace q7::app;

TEST(MaintainCommand, ExitStatusAndEffectOnTheAccount)
{
    struct Case {
        QStringList args;
        int exit;
        bool changes;
        const char* message; // the handler's message, if any
    };
    const Case cases[] = {
        {{"replace", "--OldInvCode", "HB-220", "--NewInvCode", "HB-210", "--dry-run"}, 0, false, nullptr},
        {{"replace", "--OldInvCode", "HB-220", "--NewInvCode", "HB-210"}, 0, true, nullptr},
        {{"replace", "--OldInvCode=HB-220", "--NewInvCode=HB-210", "--BomType", "替代BOM"}, 0, true, nullptr},
        {{"replace", "--OldInvCode", "BK-100", "--NewInvCode", "HB-210"}, 2, false, "[ 颜色 ] 必须输入！"},
        {{"replace", "--OldInvCode", "HB-220", "--NewInvCode", "HB-220"}, 2, false, nullptr},
        {{"replace", "--OldInvCode", "HB-220", "--NewInvCode", "HB-210", "--EffDate", "2025-01-01"}, 2, false, nullptr}, // locked
        {{"replace", "--BomType", "主要"}, 2, false, nullptr},
        {{"replace", "--BStrFree_1", "True"}, 2, false, nullptr}, // flags are not typed
        {{"remove", "--InvCode", "SP-320"}, 0, true, nullptr},
        {{"remove"}, 2, false, "[ 物料编码 ] 必须输入！"},
        {{"llc", "--date", "2026-12-07"}, 0, true, nullptr},
        {{"llc", "--date", "2026-13-01"}, 2, false, nullptr},
        {{"check", "--TotLevel", "4"}, 0, false, nullptr},
        {{"check", "--TotLevel", "51"}, 2, false, "[ 检查层数 ] 输入范围为 1 - 50 ！"},
        {{"frobnicate"}, 2, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        fake::ScratchAccount account;
        const QString before = account.dump();
        fake::resetRecords();
        EXPECT_EQ(runMaintainCommand(c.args + QStringList{"--db", account.path(), "--user", "tester"}), c.exit);
        EXPECT_EQ(account.dump() != before, c.changes);
        if (c.message) {
            ASSERT_FALSE(fake::messages()->messages.isEmpty());
            EXPECT_EQ(fake::messages()->messages.first().text, QString::fromUtf8(c.message));
        }
    }
}

TEST(MaintainCommand, UndoRestoresTheRunOnce)
{
    fake::ScratchAccount account;
    const QStringList db{"--db", account.path()};
    const QString before = account.dump();
    ASSERT_EQ(runMaintainCommand(QStringList{"remove", "--InvCode", "CP-400"} + db), 0);
    EXPECT_EQ(runMaintainCommand(QStringList{"runs"} + db), 0);
    EXPECT_EQ(runMaintainCommand(QStringList{"--undo", "1"} + db), 0);
    EXPECT_EQ(account.dump(), before);
    EXPECT_EQ(runMaintainCommand(QStringList{"--undo", "1"} + db), 2);
    EXPECT_EQ(runMaintainCommand(QStringList{"--undo", "7"} + db), 2);
    EXPECT_EQ(runMaintainCommand(QStringList{"--undo", "x"} + db), 2);
}
