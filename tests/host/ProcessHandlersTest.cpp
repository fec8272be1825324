// The maintenance handlers driven through the host's process library: the
// form is opened from its menu key, the handler made by the component and
// bound to the form's events, and every check runs as the user's input does.
#include "host/process/ProcessForm.h"
#include "host/process/ProcessHead.h"
#include "host/process/ProcessInfo.h"
#include "platform/AutomationError.h"
#include "platform/system/SystemSettings.h"
#include "support/FakeHost.h"
#include "support/ScratchAccount.h"

#include <gtest/gtest.h>

using q7::host::process::ProcessSession;

namespace {

struct Opened {
    explicit Opened(const QString& menu) : session(menu, account.path(), QStringLiteral("tester")) { fake::resetRecords(); }
    q7::host::process::ProcessForm& form() { return session.form(); }
    QString text(const QString& key) { return form().head().headerText(key).toString(); }
    void set(const QString& key, const QString& value)
    {
        QString reason;
        ASSERT_TRUE(form().setField(key, value, &reason)) << key.toStdString() << ": " << reason.toStdString();
    }
    fake::ScratchAccount account;
    ProcessSession session;
};

QString refreshListText(const QVariant& list)
{
    QStringList entries;
    for (const QVariant& entry : list.toList()) {
        const QVariantMap map = entry.toMap();
        QStringList fields;
        for (const QVariant& field : map.value(QStringLiteral("Entries")).toList())
            fields.append(QStringLiteral("%1 %2").arg(field.toMap().value(QStringLiteral("Field")).toString())
                              .arg(field.toMap().value(QStringLiteral("Column")).toInt()));
        entries.append(map.value(QStringLiteral("Hook")).toString() + QStringLiteral(": ") + fields.join(QStringLiteral(", ")));
    }
    return entries.join(QStringLiteral("; "));
}

QString dropDownText(const QVariant& record)
{
    QStringList entries;
    for (const QVariant& entry : record.toMap().value(QStringLiteral("Entries")).toList())
        entries.append(QStringLiteral("%1 %2").arg(entry.toMap().value(QStringLiteral("Column")).toString())
                           .arg(entry.toMap().value(QStringLiteral("Kind")).toInt()));
    return entries.join(QStringLiteral(", "));
}

QStringList shownMessages()
{
    QStringList texts;
    for (const auto& m : fake::messages()->messages)
        texts.append(m.text);
    return texts;
}

} // namespace

TEST(ProcessHandlers, InitFormConfiguresEachForm)
{
    struct Case {
        const char* menu;
        int refreshCount;
        const char* refreshList;
        const char* dropDowns;
        int helpId;
    } const cases[] = {
        {"BO01002", 2,
         "SetOldPartId: OldInvCode 0, OldInvAddCode 1, OldInvName 2, OldInvStd 3, InvFree_ 19, BStrFree_ 18; "
         "SetNewPartId: NewInvCode 0, NewInvAddCode 1, NewInvName 2, NewInvStd 3, DInvFree_ 19, DBStrFree_ 18",
         "BomType 39, Select 40", 91101002},
        {"BO01003", 1, "SetOldPartId: InvCode 0, InvAddCode 1, InvName 2, InvStd 3, InvFree_ 19, BStrFree_ 18", "", 91101003},
        {"BO01004", 0, "", "", 91101004},
        {"BO01005", 0, "", "", 91101005},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.menu);
        Opened opened(QString::fromLatin1(c.menu));
        auto& info = opened.form().info();
        EXPECT_EQ(info.refreshInventoryListCount, c.refreshCount);
        EXPECT_EQ(refreshListText(info.refreshInventoryList), QString::fromUtf8(c.refreshList));
        EXPECT_EQ(dropDownText(info.dropDownListColumnField), QString::fromUtf8(c.dropDowns));
        EXPECT_EQ(opened.form().helpId(), c.helpId);
    }
}

TEST(ProcessHandlers, ReplaceFormStartsWithAllAndALockedDate)
{
    Opened opened(QStringLiteral("BO01002"));
    EXPECT_EQ(opened.text(QStringLiteral("BomType")), QStringLiteral("全部"));
    EXPECT_EQ(opened.text(QStringLiteral("Select")), QStringLiteral("全部"));
    EXPECT_FALSE(opened.form().head().isEnabled(QStringLiteral("EffDate")));
    EXPECT_EQ(opened.form().listTexts(QStringLiteral("BomType")), (QStringList{"全部", "主BOM", "替代BOM"}));
    EXPECT_EQ(opened.form().listTexts(QStringLiteral("Select")), (QStringList{"全部", "有效BOM"}));
    QString reason;
    EXPECT_FALSE(opened.form().setField(QStringLiteral("EffDate"), QStringLiteral("2025-01-01"), &reason));
    EXPECT_EQ(reason, QStringLiteral("[ 有效日期 ] 已锁定"));
    EXPECT_FALSE(opened.form().setField(QStringLiteral("BomType"), QStringLiteral("主要"), &reason)); // list kind 3's text, not 39's
}

TEST(ProcessHandlers, LowLevelCodeFormDescribesItself)
{
    Opened opened(QStringLiteral("BO01004"));
    EXPECT_EQ(opened.form().description(), QStringLiteral("计算物料的低阶码（Low Level Code），作为成本管理系统物料成本计算的依据。"));
}

TEST(ProcessHandlers, SelectionClearsLocksOrFillsTheDateOnce)
{
    Opened opened(QStringLiteral("BO01002"));
    auto& head = opened.form().head();
    auto& conditions = opened.form().info().conditions;

    opened.set(QStringLiteral("Select"), QStringLiteral("有效BOM"));
    EXPECT_TRUE(head.isEnabled(QStringLiteral("EffDate")));
    EXPECT_EQ(opened.text(QStringLiteral("EffDate")), QStringLiteral("2026-12-07")); // today, once
    EXPECT_EQ(conditions.value(QStringLiteral("EffDate")).toString(), QStringLiteral("2026-12-07"));

    // A date already entered is left as it is, and not handed on again.
    opened.set(QStringLiteral("EffDate"), QStringLiteral("2025-07-01"));
    conditions.clear();
    opened.set(QStringLiteral("Select"), QStringLiteral("有效BOM"));
    EXPECT_EQ(opened.text(QStringLiteral("EffDate")), QStringLiteral("2025-07-01"));
    EXPECT_TRUE(conditions.isEmpty());

    // Back to all: cleared and locked; then a blank date is filled with today again.
    opened.set(QStringLiteral("Select"), QStringLiteral("全部"));
    EXPECT_EQ(opened.text(QStringLiteral("EffDate")), QString());
    EXPECT_FALSE(head.isEnabled(QStringLiteral("EffDate")));
    q7::system::setToday(QDate(2026, 12, 31));
    opened.set(QStringLiteral("Select"), QStringLiteral("有效BOM"));
    q7::system::setToday(QDate(2026, 12, 7));
    EXPECT_EQ(opened.text(QStringLiteral("EffDate")), QStringLiteral("2026-12-31"));
    EXPECT_EQ(conditions.value(QStringLiteral("EffDate")).toString(), QStringLiteral("2026-12-31"));
}

TEST(ProcessHandlers, ItemCodeFillsItsFieldsFromTheInventory)
{
    Opened opened(QStringLiteral("BO01002"));
    opened.set(QStringLiteral("OldInvCode"), QStringLiteral("fn-100"));
    EXPECT_EQ(opened.text(QStringLiteral("OldInvCode")), QStringLiteral("FN-100"));
    EXPECT_EQ(opened.text(QStringLiteral("OldInvName")), QStringLiteral("电风扇"));
    EXPECT_EQ(opened.text(QStringLiteral("OldInvStd")), QStringLiteral("16寸"));
    EXPECT_EQ(opened.text(QStringLiteral("BStrFree_1")), QStringLiteral("True"));
    EXPECT_EQ(opened.text(QStringLiteral("BStrFree_2")), QStringLiteral("True"));
    EXPECT_EQ(opened.text(QStringLiteral("BStrFree_3")), QStringLiteral("False"));
    EXPECT_EQ(opened.text(QStringLiteral("NewInvName")), QString()); // the other entry is untouched

    opened.set(QStringLiteral("OldInvCode"), QStringLiteral("XX-999"));
    EXPECT_EQ(opened.text(QStringLiteral("OldInvName")), QString());
    EXPECT_EQ(opened.text(QStringLiteral("BStrFree_1")), QStringLiteral("False"));
}

TEST(ProcessHandlers, ReplaceChecksStopAtTheFirstMissingField)
{
    struct Case {
        const char* what;
        QList<QPair<QString, QString>> fields;
        const char* message; // nullptr: the operation may start
    } const cases[] = {
        {"nothing entered", {}, "[ 原子件编码 ] 必须输入！"},
        {"old item's used free item empty, new item missing too", {{"OldInvCode", "BK-100"}}, "[ 颜色 ] 必须输入！"},
        {"new item missing", {{"OldInvCode", "BK-100"}, {"InvFree_1", "红"}}, "[ 新子件编码 ] 必须输入！"},
        {"free items in order 1 … 10: the first missing", {{"OldInvCode", "HB-220"}, {"NewInvCode", "FN-100"}}, "[ 颜色 ] 必须输入！"},
        {"new item's second free item", {{"OldInvCode", "HB-220"}, {"NewInvCode", "FN-100"}, {"DInvFree_1", "白"}}, "[ 尺寸 ] 必须输入！"},
        {"unused free items may stay empty", {{"OldInvCode", "HB-220"}, {"NewInvCode", "HB-210"}}, nullptr},
        {"a flag set by hand on a free item without a title: its name",
         {{"OldInvCode", "HB-220"}, {"NewInvCode", "HB-210"}, {"DBStrFree_3", "1"}}, "[ 自由项3 ] 必须输入！"},
        {"blank code with blanks only", {{"OldInvCode", "   "}}, "[ 原子件编码 ] 必须输入！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Opened opened(QStringLiteral("BO01002"));
        for (const auto& [key, value] : c.fields) {
            if (key.contains(QStringLiteral("StrFree")))
                opened.form().head().setHeaderText(key, value); // flags are the library's, not typed
            else
                opened.set(key, value);
        }
        fake::resetRecords();
        EXPECT_EQ(opened.form().validate(), c.message == nullptr);
        EXPECT_EQ(shownMessages(), c.message ? QStringList{QString::fromUtf8(c.message)} : QStringList{});
        if (c.message) {
            const auto& shown = fake::messages()->messages.first();
            EXPECT_EQ(shown.message.metaType().id(), QMetaType::Short); // 2509 as a 16-bit integer
            EXPECT_EQ(shown.message.toInt(), 2509);
        }
    }
}

TEST(ProcessHandlers, AFlagThatIsNoLogicalValueReachesTheHost)
{
    Opened opened(QStringLiteral("BO01002"));
    opened.set(QStringLiteral("OldInvCode"), QStringLiteral("HB-220"));
    opened.form().head().setHeaderText(QStringLiteral("BStrFree_2"), QStringLiteral("abc"));
    EXPECT_EQ(fake::errorOf([&] { opened.form().validate(); }), q7::ErrTypeMismatch);
}

TEST(ProcessHandlers, RemoveFormChecksItsItem)
{
    struct Case {
        QList<QPair<QString, QString>> fields;
        const char* message;
    } const cases[] = {
        {{}, "[ 物料编码 ] 必须输入！"},
        {{{"InvCode", "BK-100"}}, "[ 颜色 ] 必须输入！"},
        {{{"InvCode", "BK-100"}, {"InvFree_1", "红"}}, nullptr},
    };
    for (const Case& c : cases) {
        Opened opened(QStringLiteral("BO01003"));
        for (const auto& [key, value] : c.fields)
            opened.set(key, value);
        fake::resetRecords();
        EXPECT_EQ(opened.form().validate(), c.message == nullptr);
        EXPECT_EQ(shownMessages(), c.message ? QStringList{QString::fromUtf8(c.message)} : QStringList{});
    }
}

TEST(ProcessHandlers, LevelsOutsideOneToFiftyAreRefused)
{
    struct Case {
        const char* level;
        bool valid;
    } const cases[] = {
        {"1", true}, {"50", true}, {"0", false}, {"51", false}, {"-3", false}, {"2.5", true}, // 2.5 is 2
        {"", false}, {"abc", false}, {"70000", false}, // beyond the 16-bit range
    };
    Opened opened(QStringLiteral("BO01005"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        opened.set(QStringLiteral("TotLevel"), QString::fromUtf8(c.level));
        fake::resetRecords();
        EXPECT_EQ(opened.form().validate(), c.valid);
        EXPECT_EQ(shownMessages(), c.valid ? QStringList{} : QStringList{QStringLiteral("[ 检查层数 ] 输入范围为 1 - 50 ！")});
        if (!c.valid) {
            EXPECT_EQ(fake::messages()->messages.first().message.metaType().id(), QMetaType::Int); // 40127 as a 32-bit integer
        }
    }
}

TEST(ProcessHandlers, LevelFormOpensWithTheStoredLevel)
{
    fake::ScratchAccount account;
    {
        ProcessSession first(QStringLiteral("BO01005"), account.path(), QStringLiteral("tester"));
        EXPECT_EQ(first.form().head().headerText(QStringLiteral("TotLevel")).toString(), QString()); // nothing stored yet
        ASSERT_TRUE(first.form().setField(QStringLiteral("TotLevel"), QStringLiteral("7")));
        ASSERT_TRUE(first.form().run(false).has_value());
    }
    ProcessSession second(QStringLiteral("BO01005"), account.path(), QStringLiteral("tester"));
    EXPECT_EQ(second.form().head().headerText(QStringLiteral("TotLevel")).toString(), QStringLiteral("7"));
}

TEST(ProcessHandlers, ARefusedCheckStartsNoOperation)
{
    Opened opened(QStringLiteral("BO01003"));
    const QString before = opened.account.dump();
    EXPECT_FALSE(opened.form().run(false).has_value());
    EXPECT_EQ(opened.account.dump(), before);
}

TEST(ProcessHandlers, ACancelledReferenceLeavesTheValue)
{
    Opened opened(QStringLiteral("BO01002"));
    opened.set(QStringLiteral("SInv"), QStringLiteral("BK-100"));
    opened.form().browse(QStringLiteral("SInv"));
    EXPECT_EQ(opened.text(QStringLiteral("SInv")), QStringLiteral("BK-100"));
}

TEST(ProcessHandlers, AnEffectiveDateThatIsNoDateIsRefusedByTheOperation)
{
    Opened opened(QStringLiteral("BO01002"));
    opened.set(QStringLiteral("OldInvCode"), QStringLiteral("HB-220"));
    opened.set(QStringLiteral("NewInvCode"), QStringLiteral("HB-210"));
    opened.set(QStringLiteral("Select"), QStringLiteral("有效BOM"));
    opened.set(QStringLiteral("EffDate"), QStringLiteral("2025-02-30"));
    const QString before = opened.account.dump();
    try {
        opened.form().run(false);
        ADD_FAILURE() << "not refused";
    } catch (const q7::host::process::ops::RefusedOperation& refused) {
        EXPECT_EQ(refused.description(), QStringLiteral("[ 有效日期 ] 不是日期：2025-02-30"));
    }
    EXPECT_EQ(opened.account.dump(), before);
}
