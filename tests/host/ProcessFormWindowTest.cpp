// The parameter form's window: what the user types and picks reaches the
// handler through the model, and the buttons preview or run the operation.
#include "host/browse/AccountContext.h"
#include "host/process/ProcessForm.h"
#include "host/process/ProcessFormWindow.h"
#include "host/process/ProcessLibrary.h"
#include "host/process/RunsDialog.h"
#include "host/ui/DialogDriver.h"
#include "platform/ClassRegistry.h"
#include "platform/LateBinding.h"
#include "platform/forms/BasicControls.h"
#include "platform/forms/Grid.h"
#include "platform/forms/HelpWindow.h"
#include "support/FakeHost.h"
#include "support/ScratchAccount.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

using namespace q7::host::process;

namespace {
void type(q7::forms::TextBox* box, const QString& text)
{
    ASSERT_NE(box, nullptr);
    box->setText(text);
    box->leave();
}
} // namespace

TEST(ProcessFormWindow, TypingAndPickingGoThroughTheHandler)
{
    fake::ScratchAccount account;
    ProcessSession session(QStringLiteral("BO01002"), account.path(), QStringLiteral("tester"));
    ProcessFormWindow window(session.form());

    // Only the free items the account uses are shown; flags never are.
    EXPECT_NE(window.textBox(QStringLiteral("InvFree_2")), nullptr);
    EXPECT_EQ(window.textBox(QStringLiteral("InvFree_3")), nullptr);
    EXPECT_EQ(window.textBox(QStringLiteral("BStrFree_1")), nullptr);
    EXPECT_FALSE(window.textBox(QStringLiteral("EffDate"))->isEnabled());
    EXPECT_EQ(window.listBox(QStringLiteral("BomType"))->text(), QStringLiteral("全部"));

    type(window.textBox(QStringLiteral("OldInvCode")), QStringLiteral("hb-220"));
    EXPECT_EQ(window.textBox(QStringLiteral("OldInvCode"))->text(), QStringLiteral("HB-220"));
    EXPECT_EQ(window.textBox(QStringLiteral("OldInvName"))->text(), QStringLiteral("车把(新款)"));

    window.listBox(QStringLiteral("Select"))->setListIndex(1); // 有效BOM
    EXPECT_TRUE(window.textBox(QStringLiteral("EffDate"))->isEnabled());
    EXPECT_EQ(window.textBox(QStringLiteral("EffDate"))->text(), QStringLiteral("2026-12-07"));

    // Run without the new item: the handler refuses, nothing is written.
    const QString before = account.dump();
    fake::resetRecords();
    window.cmdRun_Click();
    ASSERT_EQ(fake::messages()->messages.size(), 1);
    EXPECT_EQ(fake::messages()->messages.first().text, QStringLiteral("[ 新子件编码 ] 必须输入！"));
    EXPECT_EQ(account.dump(), before);

    // Typed but not yet confirmed: the buttons take the text as entered.
    window.textBox(QStringLiteral("NewInvCode"))->setText(QStringLiteral("HB-210"));
    window.cmdPreview_Click();
    EXPECT_EQ(window.status(), QStringLiteral("3 行将替换"));
    EXPECT_EQ(window.resultGrid().rows(), 4);
    EXPECT_EQ(window.resultGrid().TextMatrix(1, 0), QStringLiteral("BK-100(红)"));
    EXPECT_EQ(account.dump(), before);

    // An input refused after a preview leaves no rows of that preview behind.
    window.textBox(QStringLiteral("NewInvCode"))->setText(QStringLiteral("BK-100")); // a parent of the old part: a cycle
    window.cmdPreview_Click();
    EXPECT_EQ(window.resultGrid().rows(), 1) << window.status().toStdString();
    window.textBox(QStringLiteral("NewInvCode"))->setText(QStringLiteral("HB-210"));

    // A run asks first, with the preview's count; No writes nothing, Yes runs.
    for (const bool yes : {false, true}) {
        QString asked;
        q7::host::ui::setDialogDriver([&asked, yes](QWidget& shown) {
            auto* box = qobject_cast<QMessageBox*>(&shown);
            ASSERT_NE(box, nullptr);
            asked = box->text();
            box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
        });
        const auto driverOff = qScopeGuard([] { q7::host::ui::setDialogDriver({}); });
        window.cmdRun_Click();
        EXPECT_TRUE(asked.contains(QStringLiteral("修改以上 3 行"))) << asked.toStdString();
        if (!yes) {
            EXPECT_EQ(window.status(), QStringLiteral("3 行将替换（未运行）"));
            EXPECT_EQ(account.dump(), before);
        }
    }
    EXPECT_EQ(window.status(), QStringLiteral("运行 1：3 行替换：HB-220 → HB-210"));
    EXPECT_NE(account.dump(), before);
}

TEST(ProcessFormWindow, LowLevelCodeWindowShowsTheDescription)
{
    fake::ScratchAccount account;
    ProcessSession session(QStringLiteral("BO01004"), account.path(), QStringLiteral("tester"));
    ProcessFormWindow window(session.form());
    auto* label = qobject_cast<q7::forms::Label*>(window.control(QStringLiteral("lblDesc")));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->caption(), QStringLiteral("计算物料的低阶码（Low Level Code），作为成本管理系统物料成本计算的依据。"));
}

// Each handler names its help topic; F1 in the window opens that part of the maintenance page.
TEST(ProcessFormWindow, F1OpensTheHelpOfTheOperation)
{
    fake::ScratchAccount account;
    const std::pair<const char*, const char*> cases[] = {
        {"BO01002", "replace"}, {"BO01003", "remove"}, {"BO01004", "llc"}, {"BO01005", "check"}};
    for (const auto& [menuKey, anchor] : cases) {
        SCOPED_TRACE(menuKey);
        ProcessSession session(QString::fromLatin1(menuKey), account.path(), QStringLiteral("tester"));
        ProcessFormWindow window(session.form());
        EXPECT_EQ(window.helpContextId, session.form().helpId());
        window.Show();
        QTest::keyClick(window.window(), Qt::Key_F1);
        ASSERT_NE(q7::forms::helpWindow(), nullptr);
        EXPECT_EQ(q7::forms::helpWindow()->source().toString(), QStringLiteral("qrc:/q7help/maintenance.html#") + QString::fromLatin1(anchor));
    }
}

TEST(ProcessLibrary, OpensFormsByMenuKeyThroughTheRuntime)
{
    fake::ScratchAccount account;
    const q7::Object library = q7::createObject(QString::fromLatin1(ProcessLibraryClassId));
    const q7::Object form = q7::toObject(q7::call(library, QStringLiteral("OpenForm"), {QStringLiteral("BO01005"), account.path(), QStringLiteral("tester")}));
    ASSERT_FALSE(form.isNull());
    EXPECT_EQ(q7::getProperty(library, QStringLiteral("FormCount")).toInt(), 1);
    const q7::Object head = q7::toObject(q7::getProperty(form, QStringLiteral("ctlProcess")));
    EXPECT_EQ(q7::getProperty(head, QStringLiteral("headerText"), {QStringLiteral("TotLevel")}).toString(), QString());
    q7::call(library, QStringLiteral("CloseForm"), {q7::fromObject(form)});
    EXPECT_EQ(q7::getProperty(library, QStringLiteral("FormCount")).toInt(), 0);
    EXPECT_NE(fake::errorOf([&] { q7::call(library, QStringLiteral("OpenForm"), {QStringLiteral("BO02004"), account.path(), QString()}); }), 0);
}

// F2 pressed in the parent range's first field opens the parents' list under
// the headings a user reads; Enter takes the row the search left current.
TEST(ProcessFormWindow, F2InAFieldOpensItsReferenceAndEnterTakesTheRow)
{
    fake::ScratchAccount account;
    const auto context = q7::host::browse::AccountContext::open(account.path()); // the session's account, as the workbench opens it
    ProcessSession session(QStringLiteral("BO01002"), account.path(), QStringLiteral("tester"));
    ProcessFormWindow window(session.form());
    window.Show();
    QStringList headings;
    q7::host::ui::setDialogDriver([&headings](QWidget& shown) {
        auto* rows = shown.findChild<QTableWidget*>();
        for (int c = 0; rows && c < rows->columnCount(); ++c)
            headings.append(rows->horizontalHeaderItem(c)->text());
        QTest::keyClicks(shown.findChild<QLineEdit*>(), QStringLiteral("WH-2"));
        QTest::keyClick(shown.findChild<QLineEdit*>(), Qt::Key_Return);
    });
    const auto driverOff = qScopeGuard([] { q7::host::ui::setDialogDriver({}); });
    QTest::keyClick(window.textBox(QStringLiteral("SInv"))->widget(), Qt::Key_F2);
    EXPECT_EQ(headings, (QStringList{QStringLiteral("编码"), QStringLiteral("名称"), QStringLiteral("规格型号")}));
    EXPECT_EQ(window.textBox(QStringLiteral("SInv"))->text(), QStringLiteral("WH-200"));
}

// The runs list shows the account's runs newest first; Undo, once confirmed,
// gives the rows back, and an undone run cannot be undone again.
TEST(ProcessFormWindow, TheRunsListUndoesARunOnceConfirmed)
{
    fake::ScratchAccount account;
    ProcessSession session(QStringLiteral("BO01002"), account.path(), QStringLiteral("tester"));
    ProcessFormWindow window(session.form());
    const QString before = account.dump();
    type(window.textBox(QStringLiteral("OldInvCode")), QStringLiteral("HB-220"));
    type(window.textBox(QStringLiteral("NewInvCode")), QStringLiteral("HB-210"));
    QStringList runCells;
    bool undone = false, undoneAgain = true;
    QString said;
    q7::host::ui::setDialogDriver([&](QWidget& shown) {
        if (auto* box = qobject_cast<QMessageBox*>(&shown)) {
            box->button(QMessageBox::Yes)->click();
            return;
        }
        auto* runs = qobject_cast<RunsDialog*>(&shown);
        ASSERT_NE(runs, nullptr);
        for (int c = 0; c < runs->table()->columnCount(); ++c)
            runCells.append(runs->table()->item(0, c)->text());
        undone = runs->undoRow(0);
        undoneAgain = runs->undoRow(0);
    });
    const auto driverOff = qScopeGuard([] { q7::host::ui::setDialogDriver({}); });
    window.cmdRun_Click();
    ASSERT_NE(account.dump(), before);
    fake::resetRecords();
    window.cmdRuns_Click();
    ASSERT_EQ(runCells.size(), 7);
    EXPECT_EQ(runCells[0], QStringLiteral("1"));
    EXPECT_EQ(runCells[2], QStringLiteral("tester"));
    EXPECT_EQ(runCells[4], QStringLiteral("3"));
    EXPECT_TRUE(runCells[6].isEmpty());
    EXPECT_TRUE(undone);
    EXPECT_FALSE(undoneAgain);
    EXPECT_EQ(account.dump(), before);
    ASSERT_FALSE(fake::messages()->messages.isEmpty());
}
