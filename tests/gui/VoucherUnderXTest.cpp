// The voucher inside the workbench on a real X server, driven with the mouse
// and keyboard: what the user sees when a save is refused or goes through.
#include "app/gui/MainWindow.h"
#include "app/gui/VoucherHostWindow.h"
#include "gui/UnderX.h"
#include "host/voucher/VoucherWindow.h"
#include "support/FakeHost.h"
#include "support/ScratchAccount.h"

#include <QApplication>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace q7::app::gui;
using q7::host::voucher::VoucherWindow;

namespace {

QPushButton* toolButton(QWidget* window, const QString& caption)
{
    for (QPushButton* b : window->findChildren<QPushButton*>())
        if (b->text() == caption && b->isVisible())
            return b;
    return nullptr;
}

void click(QWidget* window, const QString& caption)
{
    QPushButton* button = toolButton(window, caption);
    ASSERT_NE(button, nullptr) << caption.toStdString();
    ASSERT_TRUE(button->isEnabled()) << caption.toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
}

// Types a text into a body cell as a person does: double-click, type, Enter.
void typeIntoCell(QTableWidget* table, int row, int col, const QString& text)
{
    const QRect cell = table->visualRect(table->model()->index(row, col));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    const auto cellEditor = [table] {
        auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        return edit && table->isAncestorOf(edit) ? edit : nullptr;
    };
    ASSERT_TRUE(underx::waitUntil([&] { return cellEditor() != nullptr; }));
    QLineEdit* editor = cellEditor();
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    // the cell's text reaches the grid once the editor has closed
    ASSERT_TRUE(underx::waitUntil([&] { return table->item(row, col) && table->item(row, col)->text() == text && !cellEditor(); }));
}

int columnOf(QTableWidget* table, const QString& caption)
{
    for (int c = 0; c < table->columnCount(); ++c)
        if (table->item(0, c) && table->item(0, c)->text() == caption)
            return c;
    return -1;
}

struct OpenVoucher {
    explicit OpenVoucher(const QString& account) : main(account)
    {
        main.resize(1200, 760);
        main.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&main));
        QMdiSubWindow* sub = main.openEntry(QStringLiteral("BO01001"));
        host = sub ? qobject_cast<VoucherHostWindow*>(sub->widget()) : nullptr;
        if (sub)
            sub->showMaximized();
    }
    VoucherWindow& form() { return host->form(); }
    QTableWidget* grid() { return host->findChild<QTableWidget*>(); }
    MainWindow main;
    VoucherHostWindow* host = nullptr;
};

} // namespace

TEST_F(UnderX, AVoucherRefusedForACycleShowsItsMessageBoxAndPutsTheFocusOnTheCell)
{
    OpenVoucher v(fake::demoAccountPath());
    ASSERT_NE(v.host, nullptr);
    ASSERT_TRUE(v.form().voucher().ShowBom(QStringLiteral("FR-200")));
    v.form().refresh();
    click(v.host, QStringLiteral("修改"));
    QTableWidget* table = v.grid();
    ASSERT_NE(table, nullptr);
    const int code = columnOf(table, QStringLiteral("子件编码"));
    ASSERT_GT(code, 0);
    typeIntoCell(table, 1, code, QStringLiteral("FR-200"));
    ASSERT_TRUE(underx::waitUntil([&] { return v.form().voucher().voucher().bodyText(1, QStringLiteral("DInvCode")).toString() == QStringLiteral("FR-200"); }));

    underx::Answered box;
    underx::whenModal(
        [](QWidget& modal) {
            underx::saveScreen(QStringLiteral("voucher-refusal"));
            QTest::keyClick(&modal, Qt::Key_Escape);
        },
        &box);
    click(v.host, QStringLiteral("保存"));
    ASSERT_TRUE(underx::waitUntil([&] { return !box.className.isEmpty(); }));
    EXPECT_EQ(box.className, QStringLiteral("QMessageBox"));
    EXPECT_TRUE(box.text.startsWith(QStringLiteral("母件 [ FR-200 ] 不能成为自己的子件"))) << box.text.toStdString();
    EXPECT_TRUE(box.ownedByWorkbench) << box.ownerTitle.toStdString();
    // still entering, the focus on the cell at fault
    EXPECT_EQ(v.form().voucher().voucher().status(), 1);
    ASSERT_TRUE(underx::waitUntil([&] { return QApplication::focusWidget() == table; }));
    EXPECT_EQ(table->currentRow(), 1);
    EXPECT_EQ(table->currentColumn(), code);
    EXPECT_TRUE(v.main.statusText().isEmpty() || !v.main.statusText().startsWith(QStringLiteral("已保存")));
}

TEST_F(UnderX, ANewVoucherSavedWithoutItsParentNamesTheFieldAndFocusesIt)
{
    OpenVoucher v(fake::demoAccountPath());
    ASSERT_NE(v.host, nullptr);
    click(v.host, QStringLiteral("增加"));
    underx::Answered box;
    underx::whenModal([](QWidget& modal) { QTest::keyClick(&modal, Qt::Key_Return); }, &box);
    click(v.host, QStringLiteral("保存"));
    ASSERT_TRUE(underx::waitUntil([&] { return !box.className.isEmpty(); }));
    // a new main BOM without a parent has no version yet: the first required field
    EXPECT_EQ(box.text, QStringLiteral("[ 版本代号 ] 必须输入！"));
    EXPECT_TRUE(box.ownedByWorkbench);
    const QString field = v.form().voucher().lastRefusal().field;
    EXPECT_EQ(field, QStringLiteral("Version"));
    QWidget* edit = v.form().fieldEdit(field);
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(underx::waitUntil([&] { return QApplication::focusWidget() == edit; }));
    EXPECT_EQ(v.form().voucher().voucher().status(), 2);
}

TEST_F(UnderX, ASaveThatGoesThroughSaysSoInTheStatusBar)
{
    const fake::ScratchAccount account;
    OpenVoucher v(account.path());
    ASSERT_NE(v.host, nullptr);
    ASSERT_TRUE(v.form().voucher().ShowBom(QStringLiteral("BK-100")));
    v.form().refresh();
    click(v.host, QStringLiteral("修改"));
    const int quantity = columnOf(v.grid(), QStringLiteral("基本用量分子"));
    ASSERT_GT(quantity, 0);
    typeIntoCell(v.grid(), 1, quantity, QStringLiteral("2"));
    ASSERT_TRUE(underx::waitUntil([&] { return v.form().voucher().voucher().bodyText(1, QStringLiteral("DBaseQtyN")).toString() == QStringLiteral("2"); }));
    click(v.host, QStringLiteral("保存"));
    EXPECT_EQ(v.form().voucher().voucher().status(), 0);
    EXPECT_TRUE(v.main.statusText().startsWith(QStringLiteral("已保存：BK-100"))) << v.main.statusText().toStdString();
}

// F2 in a body cell opens the inventory list under the headings a user reads;
// a search narrows it and Enter enters the row's code into the cell.
TEST_F(UnderX, F2InABodyCellPicksTheComponentFromTheInventoryList)
{
    OpenVoucher v(fake::demoAccountPath());
    ASSERT_NE(v.host, nullptr);
    ASSERT_TRUE(v.form().voucher().ShowBom(QStringLiteral("WH-200")));
    v.form().refresh();
    click(v.host, QStringLiteral("修改"));
    QTableWidget* table = v.grid();
    const int code = columnOf(table, QStringLiteral("子件编码"));
    ASSERT_GT(code, 0);
    const int blank = table->rowCount() - 1; // the row below the lines starts a new line
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(table->model()->index(blank, code)).center());
    QStringList headings;
    underx::Answered list;
    underx::whenModal(
        [&headings](QWidget& modal) {
            auto* rows = modal.findChild<QTableWidget*>();
            for (int c = 0; rows && c < rows->columnCount(); ++c)
                headings.append(rows->horizontalHeaderItem(c)->text());
            auto* search = modal.findChild<QLineEdit*>();
            QTest::keyClicks(search, QStringLiteral("HB-22"));
            underx::saveScreen(QStringLiteral("pick-list"));
            QTest::keyClick(search, Qt::Key_Return);
        },
        &list);
    QTest::keyClick(table, Qt::Key_F2);
    ASSERT_TRUE(underx::waitUntil([&] { return !list.className.isEmpty(); }));
    EXPECT_EQ(list.className, QStringLiteral("q7::host::ui::PickDialog"));
    EXPECT_EQ(headings.mid(0, 3), (QStringList{QStringLiteral("编码"), QStringLiteral("名称"), QStringLiteral("规格型号")}));
    const int line = blank;
    ASSERT_TRUE(underx::waitUntil([&] { return v.form().voucher().voucher().rows() == line; }));
    EXPECT_EQ(v.form().voucher().voucher().bodyText(line, QStringLiteral("DInvCode")).toString(), QStringLiteral("HB-220"));
    EXPECT_EQ(v.form().voucher().voucher().bodyText(line, QStringLiteral("DInvName")).toString(), QStringLiteral("车把(新款)"));
    EXPECT_EQ(table->item(line, code)->text(), QStringLiteral("HB-220"));
}
