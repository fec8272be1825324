#include "support/FakeHost.h"

#include "browse/BrowseDriver.h"
#include "frame/ModBOM.h"
#include "host/CalendarPicker.h"
#include "host/PopupMenuService.h"
#include "host/ReferService.h"
#include "host/browse/AccountContext.h"
#include "host/ui/CalendarDialog.h"
#include "host/ui/DialogDriver.h"
#include "host/ui/PickDialog.h"
#include "platform/LateBinding.h"
#include "platform/ReferKinds.h"
#include "platform/values/Values.h"
#include "platform/data/Ado.h"

#include <QCalendarWidget>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace q7;
using namespace q7::host;
using namespace q7::component;
using namespace q7::host::browse;

namespace {

// A user at the keyboard: types into a pick list's search box, then presses keys.
struct ScriptedUser {
    ScriptedUser(QString search, QList<int> keys) : search(std::move(search)), keys(std::move(keys))
    {
        ui::setDialogDriver([this](QWidget& w) {
            ++dialogs;
            if (auto* pick = qobject_cast<ui::PickDialog*>(&w)) {
                if (!this->search.isNull())
                    pick->searchBox()->setText(this->search);
                shownRows = static_cast<int>(pick->shownRows().size());
            }
            if (auto* menu = qobject_cast<QMenu*>(&w)) {
                if (menuEntry > 0)
                    menu->actions().value(menuEntry - 1)->trigger();
                return;
            }
            for (int key : this->keys)
                ui::pressKey(w, key);
        });
    }
    ~ScriptedUser() { ui::setDialogDriver({}); }
    QString search;
    QList<int> keys;
    int menuEntry = 0;
    int dialogs = 0;
    int shownRows = -1;
};

class UiServices : public testing::Test {
protected:
    void SetUp() override { account = AccountContext::open(fake::demoAccountPath()); }
    QSharedPointer<AccountContext> account;
    ReferService refer;
};

} // namespace

TEST_F(UiServices, PickListsOfEveryKind)
{
    struct Case {
        int kind;
        QVariantList parameters;
        const char* search; // null: keep the list's own search
        QList<int> keys;
        int shown;
        const char* picked; // null: nothing picked
    };
    const QList<Case> cases{
        {ReferBomParent, {QStringLiteral("BK")}, nullptr, {Qt::Key_Return}, 2, "BK-100"},
        {ReferBomParent, {QString()}, "fr-2", {Qt::Key_Down, Qt::Key_Return}, 2, "FR-210"},
        {ReferBomParent, {QString()}, "BK", {Qt::Key_Escape}, 2, nullptr},
        {ReferBomParent, {QString()}, "nothing like it", {Qt::Key_Return, Qt::Key_Escape}, 0, nullptr},
        {ReferBomComponent, {QStringLiteral("TY")}, nullptr, {Qt::Key_Return}, 1, "TY-330"}, // the thicker tyre is only a substitute
        {ReferInventory, {QString(), QStringLiteral("InvAttr=4")}, nullptr, {Qt::Key_Return}, 1, "SW-300"},
        {ReferInventory, {QStringLiteral("风扇"), QStringLiteral("InvAttr = 3, 7")}, nullptr, {Qt::Key_Down, Qt::Key_Return}, 2, "PL-100"},
        {ReferInventory, {QString(), QStringLiteral("bConfigFree2=1")}, nullptr, {Qt::Key_Return}, 1, "FN-100"},
        {ReferBomVersion, {QString(), 1}, nullptr, {Qt::Key_Down, Qt::Key_Return}, 2, "2"},
        {ReferBomIdentCode, {QString(), 1}, nullptr, {Qt::Key_Return}, 1, "S1"},
        {ReferProutingOperation, {QString(), 1}, nullptr, {Qt::Key_Return}, 7, "0020"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(referKindName(c.kind).toStdString() + " " + (c.search ? c.search : ""));
        ScriptedUser user(c.search ? QString::fromUtf8(c.search) : QString(), c.keys);
        QVariant recordset = QStringLiteral("before"), picked = QStringLiteral("before");
        const bool chosen = refer.ShowRefer(account->login(), referKindName(c.kind), c.parameters, recordset, picked, 0, 0);
        EXPECT_EQ(user.dialogs, 1);
        EXPECT_EQ(user.shownRows, c.shown);
        EXPECT_EQ(chosen, c.picked != nullptr);
        if (c.picked) {
            EXPECT_EQ(values::toTextOrEmpty(picked), QString::fromUtf8(c.picked));
            const auto* rs = qobject_cast<data::Recordset*>(toObject(recordset).data());
            ASSERT_NE(rs, nullptr);
            EXPECT_EQ(values::toTextOrEmpty(rs->field(0)), QString::fromUtf8(c.picked));
        } else {
            EXPECT_EQ(picked.toString(), QStringLiteral("before")); // cancelled: nothing changes
            EXPECT_EQ(recordset.toString(), QStringLiteral("before"));
        }
    }
    EXPECT_EQ(fake::errorOf([&] {
                  QVariant rs, picked;
                  refer.ShowRefer(account->login(), referKindName(ReferInventory), {QString(), QStringLiteral("InvAttr=1 or 1=1")}, rs, picked, 0, 0);
              }),
              5);
}

TEST_F(UiServices, PickedRowIsTheRecordsetsCurrentRow)
{
    ScriptedUser user(QStringLiteral("BK-120"), {Qt::Key_Return});
    QVariant recordset, picked;
    ASSERT_TRUE(refer.ShowRefer(account->login(), referKindName(ReferBomParent), {QString()}, recordset, picked, 0, 0));
    const Object rs = toObject(recordset);
    EXPECT_EQ(values::toTextOrEmpty(call(rs, QStringLiteral("Fields"), {QStringLiteral("cInvCode")})), QStringLiteral("BK-120"));
    EXPECT_EQ(values::toTextOrEmpty(call(rs, QStringLiteral("Fields"), {QStringLiteral("cInvName")})), QStringLiteral("自行车(出口型)"));
}

TEST_F(UiServices, FreeItemPick)
{
    {
        ScriptedUser user(QStringLiteral("FN-100"), {Qt::Key_Down, Qt::Key_Return});
        QVariant code = QStringLiteral("FN"), free, rs;
        ASSERT_TRUE(refer.ShowFreeItemRefer(account->login(), code, free, 0, rs, 0));
        EXPECT_EQ(code.toString(), QStringLiteral("FN-100"));
        ASSERT_EQ(free.toList().size(), 10);
        EXPECT_EQ(free.toList()[0].toString(), QStringLiteral("黑"));
        EXPECT_EQ(free.toList()[1].toString(), QStringLiteral("16寸"));
    }
    ScriptedUser user(QString(), {Qt::Key_Escape});
    QVariant code = QStringLiteral("FN"), free, rs;
    EXPECT_FALSE(refer.ShowFreeItemRefer(account->login(), code, free, 0, rs, 0));
    EXPECT_EQ(code.toString(), QStringLiteral("FN"));
}

TEST_F(UiServices, CalendarAndPopupMenu)
{
    struct Case {
        const char* initial;
        QList<int> keys;
        const char* answer;
    };
    const QList<Case> cases{
        {"2026-02-28", {Qt::Key_Right, Qt::Key_Return}, "2026-03-01"},
        {"2026-02-28", {Qt::Key_Down, Qt::Key_Return}, "2026-03-07"},
        {"2026-02-28", {Qt::Key_Right, Qt::Key_Escape}, "2026-02-28"}, // cancelled: the text stays
        {"", {Qt::Key_Return}, "2026-12-07"},                              // not a date: today
        {"soon", {Qt::Key_Escape}, "soon"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.initial);
        ScriptedUser user(QString(), c.keys);
        CalendarPicker picker;
        picker.SetInitialDate(QString::fromLatin1(c.initial));
        EXPECT_EQ(picker.Show(QVariant()), QString::fromLatin1(c.answer));
    }
    PopupMenuService menus;
    QVariant menu;
    menus.CreateMenu(menu, 1);
    menus.AddMenuEntry(menu, 0, QStringLiteral("子件替代料"), 0);
    menus.AddMenuEntry(menu, 0, QStringLiteral("刷新"), 0);
    for (int entry : {2, 1, 0}) {
        ScriptedUser user(QString(), {});
        user.menuEntry = entry;
        QVariant chosen = -1;
        menus.ShowMenu(menu, QVariant(), chosen);
        EXPECT_EQ(chosen.toInt(), entry);
    }
}

// The condition dialog's look-ups through the same services.
TEST_F(UiServices, ConditionDialogPicks)
{
    ::browse::Session s(QStringLiteral("BO02001"), fake::demoAccountPath());
    FrmBO02001Cond& d = s.dialog();
    {
        ScriptedUser user(QStringLiteral("BK-100"), {Qt::Key_Return});
        QVariant key = 113, shift = 0; // F2
        d.txtInvCode_KeyDown(key, shift);
    }
    EXPECT_EQ(d.txtInvCode->text(), QStringLiteral("BK-100"));
    EXPECT_TRUE(d.bInvCodePicked);
    EXPECT_EQ(d.lblInvName->caption(), QStringLiteral("母件名称 自行车"));
    EXPECT_EQ(d.cboFree[1]->listCount(), 2);
    EXPECT_FALSE(d.cboFree[2]->isEnabled());
    // a picked code is not looked up again; an edited one is
    fake::resetRecords();
    EXPECT_TRUE(d.txtInvCode->leave());
    EXPECT_TRUE(fake::messages()->messages.isEmpty());
    d.txtInvCode->type(QStringLiteral("X"));
    EXPECT_FALSE(d.bInvCodePicked);
    EXPECT_FALSE(d.txtInvCode->leave());
    EXPECT_EQ(fake::messages()->messages.size(), 1);
    // Ctrl+F2: the part with its free items
    {
        ScriptedUser user(QStringLiteral("FN-100"), {Qt::Key_Down, Qt::Key_Return});
        QVariant key = 113, shift = 2;
        d.txtInvCode_KeyDown(key, shift);
    }
    EXPECT_EQ(d.txtInvCode->text(), QStringLiteral("FN-100"));
    EXPECT_EQ(d.cboFree[1]->text(), QStringLiteral("黑"));
    EXPECT_EQ(d.cboFree[2]->text(), QStringLiteral("16寸"));
    // the version look-up of the part
    {
        ScriptedUser user(QString(), {Qt::Key_Return});
        d.cmdVerRef_Click();
    }
    EXPECT_EQ(d.txtVersion->text(), QStringLiteral("1"));
    // the calendar writes the picked date into the box
    d.txtVersionEffDate->setText(QStringLiteral("2026-12-07"));
    {
        ScriptedUser user(QString(), {Qt::Key_Right, Qt::Key_Return});
        d.cmdVersionEffDate->click();
    }
    EXPECT_EQ(d.txtVersionEffDate->text(), QStringLiteral("2026-12-08"));
    // cancelled look-ups leave the fields as they were
    {
        ScriptedUser user(QString(), {Qt::Key_Escape});
        d.cmdInvCodeRef_Click();
        d.cmdVerRef_Click();
        d.cmdVersionEffDate->click();
    }
    EXPECT_EQ(d.txtInvCode->text(), QStringLiteral("FN-100"));
    EXPECT_EQ(d.txtVersion->text(), QStringLiteral("1"));
    EXPECT_EQ(d.txtVersionEffDate->text(), QStringLiteral("2026-12-08"));
}
