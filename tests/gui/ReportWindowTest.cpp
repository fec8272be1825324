// The report window as a planner works in it: a large result sorted and
// closed, the explosion as a tree, a double click to the part's BOM, the
// printed filters, the keys, the account's names and pick lists in the filter.
#include "app/gui/FilterDialog.h"
#include "app/gui/MainWindow.h"
#include "app/gui/ReportSortProxy.h"
#include "app/gui/ReportTree.h"
#include "app/gui/ReportWindow.h"
#include "app/gui/VoucherHostWindow.h"
#include "host/db/AccountDatabase.h"
#include "host/ui/CalendarDialog.h"
#include "host/ui/PickDialog.h"
#include "host/voucher/BomStore.h"
#include "host/voucher/VoucherForm.h"
#include "support/FakeHost.h"
#include "support/GuiDriving.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDate>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QStandardPaths>
#include <QFileInfo>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <functional>

using namespace q7::app::gui;
using q7::host::report::FilterSetting;
using ReportWindowTest = fake::GuiSettings;

namespace {

const QString Today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));

QList<FilterSetting> parts(const QString& from, const QString& to) { return {{QStringLiteral("InvCode"), from, to}}; }

int column(const ReportWindow& window, const char* heading) { return static_cast<int>(window.headings().indexOf(QString::fromUtf8(heading))); }

// The rows of the tree depth first: (report row, parent's report row or -1, the group's caption).
struct TreeRow {
    int row = -1;
    int parentRow = -1;
    QString group;
};
void walk(const ReportTreeModel& model, const QModelIndex& parent, const QString& group, QList<TreeRow>& out)
{
    for (int r = 0; r < model.rowCount(parent); ++r) {
        const QModelIndex index = model.index(r, 0, parent);
        const int row = model.data(index, ReportTreeModel::SourceRowRole).toInt();
        const QString caption = row < 0 ? model.data(model.index(r, model.shape().treeColumn, parent)).toString() : group;
        if (row >= 0)
            out.append({row, parent.isValid() ? model.data(parent, ReportTreeModel::SourceRowRole).toInt() : -1, group});
        walk(model, index, caption, out);
    }
}

QString cell(const ReportWindow& window, int row, const char* heading)
{
    return window.treeModel()->data(window.treeModel()->indexOfRow(row, column(window, heading))).toString().section(u' ', 0, 0);
}

// Waits for the modal dialog of a type and lets act drive it.
template <typename Dialog>
void whenShown(const std::function<void(Dialog*)>& act)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start(10);
}

} // namespace

TEST_F(ReportWindowTest, ASortedLargeResultClosesAtOnceAndGoesBackToTheReportsOrder)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("syn.db"));
    q7::host::db::SyntheticOptions options;
    options.parts = 3000;
    options.depth = 6;
    options.fanout = 6;
    q7::host::db::createSyntheticAccount(path, options);

    auto window = std::make_unique<ReportWindow>(QStringLiteral("BO02004"), path);
    window->resize(900, 600);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get(), 2000))
        QApplication::setActiveWindow(window.get()); // the offscreen platform activates no window by itself
    window->runWith(parts(QStringLiteral("S0000001"), QStringLiteral("S0000012")) + QList<FilterSetting>{{QStringLiteral("EffDate"), Today, {}}});
    // a run long enough to show its progress gives the keys back to the window
    // (the offscreen platform keeps no active window once a dialog has gone)
    if (!QTest::qWaitForWindowActive(window.get(), 2000) || QApplication::activeWindow() != window.get())
        QApplication::setActiveWindow(window.get());
    const int rows = window->grid()->model()->rowCount();
    ASSERT_GT(rows, 80000);
    const QVariant firstInReportOrder = window->gridRows().first().at(4);

    window->showTree(false);
    QHeaderView* header = window->grid()->horizontalHeader();
    const int sortBy = column(*window, "子件编码");
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(sortBy) + 5, 5));
    EXPECT_EQ(window->sorter()->sortColumn(), sortBy);
    const auto sorted = window->gridRows();
    ASSERT_EQ(sorted.size(), rows);
    for (int r = 1; r < sorted.size(); r += 997)
        EXPECT_LE(sorted[r - 1][sortBy].toString(), sorted[r][sortBy].toString()) << r;

    QTest::keyClick(window->grid(), Qt::Key_R, Qt::ControlModifier); // structure order
    EXPECT_TRUE(window->sorter()->inReportOrder());
    EXPECT_EQ(window->gridRows().first().at(4), firstInReportOrder);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(sortBy) + 5, 5));
    window->grid()->scrollToBottom();
    QApplication::processEvents();

    // Sorted item models took minutes to let a result this size go; the
    // bound only tells a hang from a close.
    QElapsedTimer closing;
    closing.start();
    window.reset();
    EXPECT_LT(closing.elapsed(), 5000);
}

TEST_F(ReportWindowTest, TheTreeHoldsTheReportsRowsInItsOrder)
{
    const struct {
        const char* key;
        QList<FilterSetting> settings;
        TreeShape::Kind kind;
        const char* parentCode; // the heading the parent row's part must match ("" for by level)
        const char* ownCode;    // the heading of the row that names its parent
    } cases[] = {
        {"BO02004", parts(QStringLiteral("BK-100"), QStringLiteral("BK-120")), TreeShape::Kind::Indented, "子件编码", "母件编码"},
        {"BO02004", parts(QStringLiteral("A"), QStringLiteral("Z")) + QList<FilterSetting>{{QStringLiteral("QueryType"), QStringLiteral("阶列式"), {}}},
         TreeShape::Kind::ByLevel, "", ""},
        {"BO02007", parts(QStringLiteral("BK-100"), QStringLiteral("BK-100")), TreeShape::Kind::Indented, "子件编码", "母件编码"},
        {"BO02006", parts(QStringLiteral("ST-400"), QStringLiteral("ST-400")), TreeShape::Kind::Indented, "母件编码", "下阶编码"},
        {"BO02005", {{QStringLiteral("vc.InvCode"), QStringLiteral("A"), QStringLiteral("Z")}}, TreeShape::Kind::None, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + c.settings.last().low.toStdString());
        ReportWindow window(QString::fromLatin1(c.key), fake::demoAccountPath());
        window.show();
        window.runWith(c.settings);
        const int rows = window.grid()->model()->rowCount();
        ASSERT_GT(rows, 2);
        EXPECT_EQ(window.treeModel()->shape().kind, c.kind);
        EXPECT_EQ(window.treeShown(), c.kind != TreeShape::Kind::None); // an explosion opens as a tree
        if (c.kind == TreeShape::Kind::None)
            continue;
        QList<TreeRow> tree;
        walk(*window.treeModel(), {}, {}, tree);
        ASSERT_EQ(tree.size(), rows); // every row once
        for (int i = 0; i < tree.size(); ++i) {
            ASSERT_EQ(tree[i].row, i); // in the report's order
            const int level = cell(window, i, "层级").toInt();
            if (c.kind == TreeShape::Kind::ByLevel) {
                EXPECT_EQ(tree[i].group, QStringLiteral("第 %1 层").arg(level));
            } else if (level > 1) {
                ASSERT_GE(tree[i].parentRow, 0) << i;
                EXPECT_EQ(cell(window, tree[i].parentRow, "层级").toInt(), level - 1);
                EXPECT_EQ(cell(window, tree[i].parentRow, c.parentCode), cell(window, i, c.ownCode)) << i;
            } else {
                EXPECT_EQ(tree[i].parentRow, -1) << i; // a first level hangs on its top
            }
        }
    }
}

TEST_F(ReportWindowTest, ADoubleClickOpensThePartsBomAtTheReportsDateAndBackReturns)
{
    MainWindow main(fake::demoAccountPath());
    main.resize(1200, 800);
    main.show();
    QMdiSubWindow* sub = main.openEntry(QStringLiteral("BO02004"));
    ASSERT_NE(sub, nullptr);
    auto* report = qobject_cast<ReportWindow*>(sub->widget());
    report->filterDialog()->reject();
    const QString date = QStringLiteral("2025-07-01");
    report->runWith(parts(QStringLiteral("BK-100"), QStringLiteral("BK-100")) + QList<FilterSetting>{{QStringLiteral("EffDate"), date, {}}});
    ASSERT_TRUE(report->treeShown());
    QTreeView* tree = report->tree();
    const int code = column(*report, "子件编码");
    QModelIndex target;
    for (int row = 0; row < report->grid()->model()->rowCount() && !target.isValid(); ++row)
        if (cell(*report, row, "子件编码") == QStringLiteral("FR-200"))
            target = report->treeModel()->indexOfRow(row, code);
    ASSERT_TRUE(target.isValid());
    tree->scrollTo(target);
    const QPoint at = tree->visualRect(target).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    QApplication::processEvents();

    auto* voucher = main.area()->activeSubWindow() ? qobject_cast<VoucherHostWindow*>(main.area()->activeSubWindow()->widget()) : nullptr;
    ASSERT_NE(voucher, nullptr);
    const int inForce = voucher->voucher().store().mainBomInForce(QStringLiteral("FR-200"), date);
    ASSERT_GT(inForce, 0);
    EXPECT_EQ(voucher->voucher().document().bomId, inForce);

    // its uses, from the same row
    report->tree()->setCurrentIndex(target);
    QMdiSubWindow* uses = main.followLink({PartLink::Target::WhereUsed, QStringLiteral("FR-200"), date});
    ASSERT_NE(uses, nullptr);
    auto* whereUsed = qobject_cast<ReportWindow*>(uses->widget());
    ASSERT_GT(whereUsed->gridRows().size(), 0);
    for (const QVariantList& row : whereUsed->gridRows())
        EXPECT_EQ(row.first().toString(), QStringLiteral("FR-200"));

    // back: the voucher, then the report; forward: the voucher again
    main.goBack();
    EXPECT_EQ(main.area()->activeSubWindow()->widget(), voucher);
    main.goBack();
    EXPECT_EQ(main.area()->activeSubWindow(), sub);
    main.goForward();
    EXPECT_EQ(main.area()->activeSubWindow()->widget(), voucher);
    main.close();
}

TEST_F(ReportWindowTest, ThePdfNamesTheAccountTheFiltersAndTheRowsOnEveryPage)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed (scripts/setup.sh installs poppler-utils)";
    ReportWindow window(QStringLiteral("BO02004"), fake::demoAccountPath());
    window.show();
    window.runWith(parts(QStringLiteral("A"), QStringLiteral("Z")) + QList<FilterSetting>{{QStringLiteral("EffDate"), QStringLiteral("2025-07-01"), {}}});
    const int rows = window.grid()->model()->rowCount();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    window.exportPdf(pdf);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(60000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(printed.contains(window.document().title()));
    EXPECT_TRUE(printed.contains(QStringLiteral("账套：%1").arg(QFileInfo(fake::demoAccountPath()).fileName()))) << printed.left(400).toStdString();
    EXPECT_TRUE(printed.contains(QStringLiteral("行数：%1").arg(rows)));
    EXPECT_TRUE(printed.contains(QStringLiteral("母件编码：A 到 Z")));
    EXPECT_TRUE(printed.contains(QStringLiteral("有效日期：2025-07-01")));
    EXPECT_FALSE(printed.contains(QStringLiteral("已导出")));
    const qsizetype pages = printed.count(u'\f');
    ASSERT_GE(pages, 2) << "enough rows for more than one page";
    EXPECT_GE(printed.count(QStringLiteral("顶层母件")), pages); // the headings on every page
    const QStringList pageTexts = printed.split(u'\f', Qt::SkipEmptyParts);
    for (int page = 0; page < pageTexts.size(); ++page) { // numbered at the foot
        const QStringList lines = pageTexts[page].trimmed().split(u'\n');
        EXPECT_EQ(lines.last().trimmed(), QString::number(page + 1)) << page;
    }
}

TEST_F(ReportWindowTest, KeysReachFindRunAgainCloseAndTheNextWindow)
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        GTEST_SKIP() << "shortcuts need a window system that activates windows: this test runs under Xvfb (scripts/xvfb-smoke.sh)";
    MainWindow main(fake::demoAccountPath());
    main.show();
    main.activateWindow();
    if (!QTest::qWaitForWindowActive(&main, 2000))
        QApplication::setActiveWindow(&main); // the offscreen platform activates no window by itself
    QMdiSubWindow* first = main.openEntry(QStringLiteral("BO02004"));
    auto* report = qobject_cast<ReportWindow*>(first->widget());
    report->filterDialog()->reject();
    report->runWith(parts(QStringLiteral("BK-100"), QStringLiteral("BK-100")));
    report->showTree(false);
    report->grid()->setFocus();
    const QString before = report->status();

    // Ctrl+F, a code, Enter: the row that holds it becomes current
    QTest::keyClick(report->grid(), Qt::Key_F, Qt::ControlModifier);
    auto* find = report->findChild<QLineEdit*>(QStringLiteral("find"));
    ASSERT_NE(find, nullptr);
    ASSERT_TRUE(find->isVisible());
    fake::typeInto(find, QStringLiteral("FR-210"));
    QTest::keyClick(find, Qt::Key_Return);
    const QModelIndex found = report->grid()->currentIndex();
    ASSERT_TRUE(found.isValid());
    EXPECT_TRUE(report->gridRows().at(found.row()).contains(QStringLiteral("FR-210"))) << report->status().toStdString();

    // F5 runs the same filters again
    report->grid()->setFocus();
    QTest::keyClick(report->grid(), Qt::Key_F5);
    EXPECT_EQ(report->grid()->model()->rowCount(), report->gridRows().size());
    EXPECT_TRUE(report->status().startsWith(before.section(u'，', 0, 0))) << report->status().toStdString() << " / " << before.toStdString();

    // Ctrl+Tab to the next window, Ctrl+F4 closes it
    QMdiSubWindow* second = main.openEntry(QStringLiteral("BO02006"));
    qobject_cast<ReportWindow*>(second->widget())->filterDialog()->reject();
    main.area()->setActiveSubWindow(second);
    QTest::keyClick(&main, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(main.area()->activeSubWindow(), first);
    QTest::keyClick(report->grid(), Qt::Key_F4, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(main.area()->subWindowList().size(), 1);
    main.close();
}

TEST_F(ReportWindowTest, FilterItemsGoByTheAccountsNamesAndF2Picks)
{
    ReportWindow window(QStringLiteral("BO02004"), fake::demoAccountPath());
    window.show();
    FilterDialog* dialog = window.openFilter();
    EXPECT_EQ(dialog->captionOf(QStringLiteral("cFree1")), QStringLiteral("颜色"));
    EXPECT_EQ(dialog->captionOf(QStringLiteral("cFree2")), QStringLiteral("尺寸"));
    EXPECT_EQ(dialog->captionOf(QStringLiteral("cFree3")), QStringLiteral("自由项3")); // unnamed: its own caption
    bool labelled = false;
    for (const QLabel* label : dialog->findChildren<QLabel*>())
        labelled = labelled || label->text() == QStringLiteral("颜色");
    EXPECT_TRUE(labelled);

    // F2 in the parent's code: the parents' pick list, searched and taken with Enter
    QWidget* code = dialog->editor(QStringLiteral("InvCode"), 0);
    whenShown<q7::host::ui::PickDialog>([](q7::host::ui::PickDialog* pick) {
        fake::typeInto(pick->searchBox(), QStringLiteral("BK-120"));
        QTest::keyClick(pick->searchBox(), Qt::Key_Return);
    });
    code->setFocus();
    QTest::keyClick(code, Qt::Key_F2);
    EXPECT_EQ(qobject_cast<QLineEdit*>(code)->text(), QStringLiteral("BK-120"));

    // F2 in a date: the calendar, its day taken with Enter
    QWidget* date = dialog->editor(QStringLiteral("EffDate"));
    qobject_cast<QLineEdit*>(date)->setText(QStringLiteral("2025-07-01"));
    whenShown<q7::host::ui::CalendarDialog>([](q7::host::ui::CalendarDialog* calendar) {
        QTest::keyClick(calendar->calendar(), Qt::Key_Right);
        QTest::keyClick(calendar, Qt::Key_Return);
    });
    QTest::keyClick(date, Qt::Key_F2);
    EXPECT_EQ(qobject_cast<QLineEdit*>(date)->text(), QStringLiteral("2025-07-02"));

    // a text item without a reference has no pick list
    QWidget* free = dialog->editor(QStringLiteral("cFree1"), 0);
    EXPECT_FALSE(dialog->pick(free));
}
