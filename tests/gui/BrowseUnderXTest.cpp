// The browse windows inside the workbench on a real X server: the condition
// dialog and the substitutes window closed by their title bars.
#include "app/gui/MainWindow.h"
#include "browse/FrmBO02001.h"
#include "browse/FrmBO02Desc.h"
#include "browse/OpenForms.h"
#include "gui/UnderX.h"
#include "host/ui/DialogDriver.h"
#include "support/FakeHost.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QWindow>

using namespace q7;
using namespace q7::app::gui;
using namespace q7::component;

namespace {

// The title bar's close button, as the window manager passes it on.
void closeByTitleBar(QWidget& window)
{
    ASSERT_NE(window.windowHandle(), nullptr);
    window.windowHandle()->close();
}

bool anyVisibleWindowTitled(const QString& title)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == title)
            return true;
    return false;
}

QPushButton* buttonCaptioned(QWidget& window, const QString& caption)
{
    for (QPushButton* b : window.findChildren<QPushButton*>())
        if (b->text() == caption)
            return b;
    return nullptr;
}

} // namespace

TEST_F(UnderX, ClosingTheFirstConditionDialogByItsTitleBarLeavesNoBrowseWindow)
{
    MainWindow main(fake::demoAccountPath());
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    underx::Answered dialog;
    underx::whenModal([](QWidget& modal) { closeByTitleBar(modal); }, &dialog);
    main.openEntry(QStringLiteral("BO02001")); // returns once the dialog has gone
    EXPECT_EQ(dialog.text, QStringLiteral("母件结构查询-多阶 过滤"));
    QApplication::processEvents();
    EXPECT_FALSE(anyVisibleWindowTitled(QStringLiteral("母件结构查询-多阶")));
    ASSERT_FALSE(main.views().isEmpty());
    auto* browse = qobject_cast<FrmBO02001*>(main.views().last().data());
    ASSERT_NE(browse, nullptr);
    EXPECT_FALSE(browse->isVisible());
    EXPECT_FALSE(browse->window()->isVisible());
}

TEST_F(UnderX, TheSubstitutesWindowShowsAgainAfterItsTitleBarClose)
{
    MainWindow main(fake::demoAccountPath());
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    underx::Answered dialog;
    underx::whenModal(
        [](QWidget& modal) {
            auto* code = modal.findChild<QLineEdit*>();
            code->setFocus();
            QTest::keyClicks(code, QStringLiteral("WH-200"));
            QTest::keyClick(code, Qt::Key_Tab);
            QTest::mouseClick(buttonCaptioned(modal, QStringLiteral("确定")), Qt::LeftButton);
        },
        &dialog);
    main.openEntry(QStringLiteral("BO02001"));
    auto* browse = qobject_cast<FrmBO02001*>(main.views().last().data());
    ASSERT_NE(browse, nullptr);
    ASSERT_EQ(browse->Voucher->bodyRows(), 3);
    // the right click's menu: its one entry taken
    host::ui::setDialogDriver([](QWidget& shown) {
        if (auto* menu = qobject_cast<QMenu*>(&shown))
            menu->actions().first()->trigger();
    });
    const auto driverOff = qScopeGuard([] { host::ui::setDialogDriver({}); });
    for (int time = 0; time < 2; ++time) {
        SCOPED_TRACE(time);
        browse->Voucher->bodyMouseDown(2, forms::RightButton);
        auto desc = objectCast<FrmBO02Desc>(OpenForms::find(QStringLiteral("frmBO02Desc")));
        ASSERT_TRUE(desc);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(desc->window()));
        EXPECT_EQ(desc->grd->TextMatrix(1, 1), QStringLiteral("SP-321"));
        closeByTitleBar(*desc->window());
        EXPECT_TRUE(underx::waitUntil([&] { return !desc->window()->isVisible(); }));
    }
    browse->Unload();
}
