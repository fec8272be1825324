// The workbench driven as a user drives it: keys typed into the filter
// dialog, OK clicked, the grid read back and compared with the command line.
#include "app/gui/FilterDialog.h"
#include "app/gui/MainWindow.h"
#include "app/gui/ModuleMenu.h"
#include "app/gui/ProcessWindow.h"
#include "app/gui/ReportPrint.h"
#include "app/gui/ReportWindow.h"
#include "app/gui/SyntheticAccountDialog.h"
#include "app/gui/VoucherHostWindow.h"
#include "host/db/AccountDatabase.h"
#include "host/process/ProcessFormWindow.h"
#include "platform/AutomationError.h"
#include "support/FakeHost.h"
#include "support/GuiDriving.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QElapsedTimer>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include "browse/FrmBO02001.h"
#include "browse/FrmBO02001Cond.h"

#include <QScopeGuard>
#include "browse/FrmBO02001.h"
#include "browse/FrmBO02001Cond.h"
#include "platform/forms/Form.h"

#include <QScopeGuard>
#include <gtest/gtest.h>

using namespace q7::app::gui;
using namespace q7::component;
using q7::objectCast;
namespace forms = q7::forms;

namespace {

using Workbench = fake::GuiSettings;
using fake::clickOk;
using fake::typeInto;

struct Typed {
    const char* item;
    int which; // 0 from (or the single value), 1 to
    const char* text;
};

struct ReportCase {
    const char* key;
    QList<Typed> typed;
    int angle; // 0: the report has none
    QList<const char*> commandFilters;
};

QByteArray commandCsv(const QString& key, const QStringList& filters, int angle)
{
    QStringList args{QStringLiteral("report"), key, QStringLiteral("--db"), fake::demoAccountPath(), QStringLiteral("--format"),
                     QStringLiteral("csv")};
    for (const QString& f : filters)
        args << QStringLiteral("--filter") << f;
    if (angle > 0)
        args << QStringLiteral("--angle") << QString::number(angle);
    QProcess process;
    process.start(QStringLiteral(Q7BOM_PATH), args);
    process.waitForFinished(60000);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST_F(Workbench, ReportGridEqualsTheCommandForTheSameFilters)
{
    const QList<ReportCase> cases{
        {"BO02004",
         {{"InvCode", 0, "BK-100"}, {"InvCode", 1, "BK-100"}, {"EffDate", 0, "2026-07-01"}, {"QueryType", 0, "阶列式"}},
         0,
         {"InvCode=BK-100", "EffDate=2026-07-01", "QueryType=阶列式"}},
        {"BO02004", {{"InvCode", 0, "BK-100"}, {"InvCode", 1, "BK-100"}, {"EffDate", 0, "2026-12-07"}}, 0,
         {"InvCode=BK-100", "EffDate=2026-12-07"}},
        {"BO02003", {{"vp.InvCode", 0, "A"}, {"vp.InvCode", 1, "Z"}}, 0, {"vp.InvCode=A..Z"}},
        {"BO02005", {{"vc.InvCode", 0, "HB-210"}, {"vc.InvCode", 1, "HB-220"}}, 0, {"vc.InvCode=HB-210..HB-220"}},
        {"BO02010",
         {{"InvCode", 0, "BK-100"}, {"Version1", 0, "1"}, {"Version2", 0, "2"}, {"cFree1", 0, "红"}, {"SameYn", 0, "是"},
          {"Sel", 0, "偏置期,供应类型"}},
         1,
         {"InvCode=BK-100", "Version1=1", "Version2=2", "cFree1=红", "SameYn=是", "Sel=偏置期,供应类型"}},
    };
    QTemporaryDir out;
    for (const ReportCase& c : cases) {
        SCOPED_TRACE(c.key);
        QSettings().clear(); // each case from the handler's defaults, not the previous case's values
        ReportWindow window(QString::fromLatin1(c.key), fake::demoAccountPath());
        window.show();
        FilterDialog* dialog = window.openFilter();
        ASSERT_NE(dialog, nullptr);
        for (const Typed& t : c.typed)
            typeInto(dialog->editor(QString::fromUtf8(t.item), t.which), QString::fromUtf8(t.text));
        if (c.angle > 0) {
            ASSERT_NE(dialog->angleBox(), nullptr);
            typeInto(dialog->angleBox(), dialog->angleBox()->itemText(c.angle - 1));
        }
        clickOk(dialog);
        QApplication::processEvents();
        ASSERT_TRUE(window.filterDialog() == nullptr || !window.filterDialog()->isVisible()) << "the dialog refused the filters";

        const QByteArray expected = commandCsv(QString::fromLatin1(c.key), [&] {
            QStringList f;
            for (const char* text : c.commandFilters)
                f.append(QString::fromUtf8(text));
            return f;
        }(), c.angle);
        ASSERT_GT(expected.count('\n'), 1) << "the case should find rows";
        const QString csv = out.filePath(QStringLiteral("grid.csv"));
        window.exportCsv(csv);
        EXPECT_EQ(fileBytes(csv).toStdString(), expected.toStdString());
        const int rows = window.grid()->model()->rowCount();
        EXPECT_EQ(rows, expected.count('\n') - 1);
        EXPECT_TRUE(window.status().startsWith(QStringLiteral("%1 行").arg(rows))) << window.status().toStdString();
        EXPECT_FALSE(window.statement().isEmpty());
    }
}

TEST_F(Workbench, SortingReordersTheGridAndExportsFollowIt)
{
    ReportWindow window(QStringLiteral("BO02005"), fake::demoAccountPath());
    window.show();
    FilterDialog* dialog = window.openFilter();
    typeInto(dialog->editor(QStringLiteral("vc.InvCode"), 0), QStringLiteral("A"));
    typeInto(dialog->editor(QStringLiteral("vc.InvCode"), 1), QStringLiteral("Z"));
    clickOk(dialog);
    const auto before = window.gridRows();
    ASSERT_GT(before.size(), 2);
    const int last = static_cast<int>(window.headings().size()) - 1;
    window.grid()->sortByColumn(0, Qt::DescendingOrder);
    const auto after = window.gridRows();
    ASSERT_EQ(after.size(), before.size());
    for (int i = 1; i < after.size(); ++i)
        EXPECT_GE(after[i - 1][0].toString(), after[i][0].toString());
    EXPECT_GE(last, 0);

    QTemporaryDir out;
    const QString xlsx = out.filePath(QStringLiteral("grid.xlsx"));
    window.exportXlsx(xlsx);
    EXPECT_TRUE(fileBytes(xlsx).startsWith("PK\x03\x04")); // a zip package, as a spreadsheet expects
    const QString pdf = out.filePath(QStringLiteral("grid.pdf"));
    window.exportPdf(pdf);
    EXPECT_TRUE(fileBytes(pdf).startsWith("%PDF"));
    EXPECT_THROW(window.exportPdf(out.filePath(QStringLiteral("no/such/dir/grid.pdf"))), q7::AutomationError);
    EXPECT_THROW(window.exportCsv(out.filePath(QStringLiteral("no/such/dir/grid.csv"))), q7::AutomationError);
}

TEST(ReportPrint, TextIsEscapedAndNumbersShownAsInTheGrid)
{
    PrintedReport report;
    report.title = QStringLiteral("T<1>");
    report.headings = QStringList{QStringLiteral("a&b"), QStringLiteral("n")};
    report.rows = {{QStringLiteral("<x>"), 0.1 + 0.2}, {QVariant(), 2}};
    report.account = QStringLiteral("acme.db");
    report.printedOn = QStringLiteral("2026-12-08");
    report.filters = QStringList{QStringLiteral("母件编码：BK-100 到 BK-120"), QStringLiteral("颜色：<红>")};
    const QString html = reportHtml(report);
    // what the pages say about the run, the headings in the part that repeats on every page
    EXPECT_TRUE(html.contains(QStringLiteral("账套：acme.db")));
    EXPECT_TRUE(html.contains(QStringLiteral("日期：2026-12-08")));
    EXPECT_TRUE(html.contains(QStringLiteral("行数：2")));
    EXPECT_TRUE(html.contains(QStringLiteral("条件：母件编码：BK-100 到 BK-120；颜色：&lt;红&gt;")));
    EXPECT_TRUE(html.contains(QStringLiteral("<thead><tr><th>a&amp;b</th><th>n</th></tr></thead>")));
    EXPECT_TRUE(html.contains(QStringLiteral("T&lt;1&gt;")));
    EXPECT_TRUE(html.contains(QStringLiteral("<th>a&amp;b</th>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<td>&lt;x&gt;</td>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<td align=\"right\">0.3</td>")));
    EXPECT_FALSE(html.contains(QStringLiteral("<x>")));
}

TEST_F(Workbench, RefusalsShowTheMessageAndFocusTheItem)
{
    struct Refusal {
        const char* key;
        QList<Typed> typed;
        int angle;
        const char* message;
        const char* focused;
    };
    const QList<Refusal> refusals{
        // the viewer's own check
        {"BO02004", {{"InvCode", 0, "Z"}, {"InvCode", 1, "A"}}, 0, "[ 母件编码 ] 的下限大于上限：Z > A", "InvCode"},
        // the handler's CheckFilterCondition
        {"BO02004", {{"InvCode", 0, "BK-100"}, {"EffDate", 0, ""}}, 0, "[ 有效日期 ] 必须输入！", "EffDate"},
        // what the handler requires depends on the angle chosen
        {"BO02010", {{"InvCode", 0, "BK-100"}, {"Version1", 0, "1"}, {"Version2", 0, "2"}}, 3, "[ 替代标识一 ] 必须输入！", "Identcode1"},
        {"BO02010", {{"InvCode", 0, "BK-100"}, {"Version1", 0, "x"}, {"Version2", 0, "2"}}, 1, "版本一", "Version1"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.message);
        ReportWindow window(QString::fromLatin1(r.key), fake::demoAccountPath());
        window.show();
        FilterDialog* dialog = window.openFilter();
        for (const Typed& t : r.typed)
            typeInto(dialog->editor(QString::fromUtf8(t.item), t.which), QString::fromUtf8(t.text));
        if (r.angle > 0)
            typeInto(dialog->angleBox(), dialog->angleBox()->itemText(r.angle - 1));
        const fake::MessageBoxAnswer answer;
        clickOk(dialog);
        const QString shown = answer.text();
        EXPECT_TRUE(shown.contains(QString::fromUtf8(r.message))) << shown.toStdString();
        EXPECT_TRUE(dialog->isVisible()); // the dialog stays for a correction
        EXPECT_EQ(dialog->focusWidget(), dialog->editor(QString::fromUtf8(r.focused)));
        EXPECT_EQ(window.grid()->model()->rowCount(), 0);
    }
}

TEST_F(Workbench, ACorrectedFilterRuns)
{
    ReportWindow window(QStringLiteral("BO02004"), fake::demoAccountPath());
    window.show();
    FilterDialog* dialog = window.openFilter();
    typeInto(dialog->editor(QStringLiteral("InvCode"), 0), QStringLiteral("Z"));
    typeInto(dialog->editor(QStringLiteral("InvCode"), 1), QStringLiteral("A"));
    {
        const fake::MessageBoxAnswer answer;
        clickOk(dialog);
        ASSERT_FALSE(answer.text().isEmpty());
    }
    ASSERT_EQ(window.grid()->model()->rowCount(), 0);
    typeInto(dialog->editor(QStringLiteral("InvCode"), 0), QStringLiteral("A"));
    typeInto(dialog->editor(QStringLiteral("InvCode"), 1), QStringLiteral("Z"));
    clickOk(dialog);
    EXPECT_GT(window.grid()->model()->rowCount(), 0);
}

TEST_F(Workbench, LastFilterValuesComeBackPerReport)
{
    {
        ReportWindow window(QStringLiteral("BO02004"), fake::demoAccountPath());
        FilterDialog* dialog = window.openFilter();
        typeInto(dialog->editor(QStringLiteral("InvCode"), 0), QStringLiteral("BK-100"));
        typeInto(dialog->editor(QStringLiteral("InvCode"), 1), QStringLiteral("BK-200"));
        typeInto(dialog->editor(QStringLiteral("QueryType"), 0), QStringLiteral("阶列式"));
        clickOk(dialog);
    }
    ReportWindow again(QStringLiteral("BO02004"), fake::demoAccountPath());
    FilterDialog* dialog = again.openFilter();
    EXPECT_EQ(qobject_cast<QLineEdit*>(dialog->editor(QStringLiteral("InvCode"), 0))->text(), QStringLiteral("BK-100"));
    EXPECT_EQ(qobject_cast<QLineEdit*>(dialog->editor(QStringLiteral("InvCode"), 1))->text(), QStringLiteral("BK-200"));
    EXPECT_EQ(qobject_cast<QComboBox*>(dialog->editor(QStringLiteral("QueryType")))->currentText(), QStringLiteral("阶列式"));
    // Another report keeps its handler's defaults.
    ReportWindow other(QStringLiteral("BO02005"), fake::demoAccountPath());
    EXPECT_TRUE(qobject_cast<QLineEdit*>(other.openFilter()->editor(QStringLiteral("vc.InvCode"), 0))->text().isEmpty());
}

TEST_F(Workbench, EveryMenuEntryOpensAndClosesByItsProgramType)
{
    // the browse views open their condition dialog: cancelled, which closes the view on its first opening
    forms::Form::setModalDriver([](forms::Form& shown) {
        if (auto* dialog = qobject_cast<FrmBO02001Cond*>(&shown))
            dialog->cdmCancel->click();
    });
    const auto driverOff = qScopeGuard([] { forms::Form::setModalDriver({}); });
    MainWindow main(fake::demoAccountPath());
    main.show();
    const auto menu = moduleMenu();
    ASSERT_EQ(menu.size(), 16);
    // Captions: the string table's where it has one, else the entry's own definition.
    const QMap<QString, QString> captions{{QStringLiteral("BO02001"), QStringLiteral("母件结构查询-多阶")},
                                          {QStringLiteral("BO02002"), QStringLiteral("子件用途查询-多阶")},
                                          {QStringLiteral("BO02003"), QStringLiteral("物料清单明细表")},
                                          {QStringLiteral("BO02010"), QStringLiteral("物料清单比较表")},
                                          {QStringLiteral("BO01002"), QStringLiteral("子件替换")},
                                          {QStringLiteral("BO01004"), QStringLiteral("低阶码计算")}};
    for (const MenuEntry& entry : menu)
        if (captions.contains(entry.key)) {
            EXPECT_EQ(entry.caption, captions.value(entry.key)) << entry.key.toStdString();
        }
    for (const MenuEntry& entry : menu) {
        SCOPED_TRACE(entry.key.toStdString());
        EXPECT_FALSE(entry.caption.isEmpty());
        const int type = askProgramType(entry.key).programType;
        QMdiSubWindow* sub = main.openEntry(entry.key);
        if (type == 3 || type == 5 || type == 6) {
            ASSERT_NE(sub, nullptr);
            EXPECT_EQ(type == 3, qobject_cast<VoucherHostWindow*>(sub->widget()) != nullptr);
            EXPECT_EQ(type == 5, qobject_cast<ReportWindow*>(sub->widget()) != nullptr);
            EXPECT_EQ(type == 6, qobject_cast<ProcessWindow*>(sub->widget()) != nullptr);
            EXPECT_TRUE(sub->close());
            QApplication::processEvents();
            EXPECT_TRUE(main.area()->subWindowList().isEmpty());
        } else {
            EXPECT_EQ(sub, nullptr);
            EXPECT_EQ(main.statusText().contains(QStringLiteral("多阶查询")), type == 8) << main.statusText().toStdString();
        }
    }
    // Several at once, then all closed together.
    for (const MenuEntry& entry : menu)
        main.openEntry(entry.key);
    EXPECT_EQ(main.area()->subWindowList().size(), 13);
    main.area()->closeAllSubWindows();
    QApplication::processEvents();
    EXPECT_TRUE(main.area()->subWindowList().isEmpty());
}

TEST_F(Workbench, MaintenanceFormExitClosesItsWindow)
{
    MainWindow main(fake::demoAccountPath());
    main.show();
    QMdiSubWindow* sub = main.openEntry(QStringLiteral("BO01005"));
    ASSERT_NE(sub, nullptr);
    auto* process = qobject_cast<ProcessWindow*>(sub->widget());
    ASSERT_NE(process, nullptr);
    process->form().cmdExit_Click();
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_TRUE(main.area()->subWindowList().isEmpty());
}

TEST_F(Workbench, EnterRunsFromAnyItemTabMovesOnEscCancels)
{
    ReportWindow window(QStringLiteral("BO02004"), fake::demoAccountPath());
    window.show();
    FilterDialog* dialog = window.openFilter();
    QWidget* from = dialog->editor(QStringLiteral("InvCode"), 0);
    typeInto(from, QStringLiteral("BK-120"));
    QTest::keyClick(from, Qt::Key_Tab);
    EXPECT_EQ(dialog->focusWidget(), dialog->editor(QStringLiteral("InvCode"), 1));
    typeInto(dialog->editor(QStringLiteral("InvCode"), 1), QStringLiteral("BK-120"));
    // one Enter runs, from the item the user is in
    QTest::keyClick(dialog->editor(QStringLiteral("InvCode"), 1), Qt::Key_Enter);
    QApplication::processEvents();
    EXPECT_GT(window.grid()->model()->rowCount(), 0);
    for (const QVariantList& row : window.gridRows())
        EXPECT_EQ(row.first().toString(), QStringLiteral("BK-120"));

    FilterDialog* again = window.openFilter();
    ASSERT_NE(again, nullptr);
    const int rows = window.grid()->model()->rowCount();
    QTest::keyClick(again->editor(QStringLiteral("InvCode"), 0), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(window.filterDialog() == nullptr || !window.filterDialog()->isVisible());
    EXPECT_EQ(window.grid()->model()->rowCount(), rows); // the result stays
}

TEST_F(Workbench, AStoppedRunKeepsNoRowsAndTheNextRunIsWhole)
{
    ReportDocument document(QStringLiteral("BO02004"), fake::demoAccountPath());
    QList<q7::host::report::FilterSetting> settings{{QStringLiteral("InvCode"), QStringLiteral("A"), QStringLiteral("Z")}};
    const ReportRun whole = document.run(settings, 0);
    ASSERT_GT(whole.rows.size(), 5);

    QList<qint64> seen;
    const ReportRun stopped = document.run(settings, 0, [&](qint64 rows) {
        seen.append(rows);
        return rows < 3;
    });
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_FALSE(stopped.refused);
    EXPECT_TRUE(stopped.rows.isEmpty());
    EXPECT_EQ(seen, (QList<qint64>{1, 2, 3}));

    // The same document (and connection) runs again in full, row for row as before.
    const ReportRun again = document.run(settings, 0, [](qint64) { return true; });
    EXPECT_FALSE(again.cancelled);
    EXPECT_EQ(again.rows.columnNames(), whole.rows.columnNames());
    ASSERT_EQ(again.rows.size(), whole.rows.size());
    for (qsizetype r = 0; r < whole.rows.size(); ++r)
        EXPECT_EQ(again.rows.values(r), whole.rows.values(r)) << "row " << r;
}

TEST_F(Workbench, ASyntheticAccountIsMadeAsSizedAndOpens)
{
    QTemporaryDir dir;
    SyntheticAccountDialog dialog;
    dialog.pathEdit()->setText(dir.filePath(QStringLiteral("syn.db")));
    dialog.partsBox()->setValue(200);
    const QString made = dialog.create();
    ASSERT_EQ(made, dir.filePath(QStringLiteral("syn.db")));
    EXPECT_EQ(q7::host::db::accountStateOf(made), q7::host::db::AccountState::Finished);

    MainWindow main(fake::demoAccountPath());
    main.openEntry(QStringLiteral("BO02003"));
    main.setAccount(made);
    EXPECT_TRUE(main.area()->subWindowList().isEmpty()); // the other account's windows closed
    EXPECT_TRUE(main.windowTitle().contains(made));
    ReportDocument document(QStringLiteral("BO02003"), made);
    const ReportRun run = document.run({}, 0);
    EXPECT_FALSE(run.refused) << run.message.toStdString();
    EXPECT_GT(run.rows.size(), 0);
}

TEST(WorkbenchCommand, ScreenshotsAndRefusals)
{
    QTemporaryDir dir;
    const auto runGui = [](const QStringList& args, QString* err) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir::tempPath() + QStringLiteral("/q7bom-gui-test-config"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(Q7BOM_PATH), QStringList{QStringLiteral("gui")} + args);
        EXPECT_TRUE(process.waitForFinished(60000));
        *err = QString::fromUtf8(process.readAllStandardError());
        return process.exitCode();
    };
    QString err;
    EXPECT_EQ(runGui({QStringLiteral("--db"), dir.filePath(QStringLiteral("none.db"))}, &err), 2);
    EXPECT_TRUE(err.contains(QStringLiteral("is not an account database"))) << err.toStdString();
    EXPECT_EQ(runGui({QStringLiteral("--bogus")}, &err), 2);

    const QString pictures = dir.filePath(QStringLiteral("shots"));
    ASSERT_EQ(runGui({QStringLiteral("--db"), fake::demoAccountPath(), QStringLiteral("--screenshot"), pictures}, &err), 0) << err.toStdString();
    EXPECT_TRUE(err.isEmpty()) << err.toStdString(); // no warnings
    for (const char* name : {"main.png", "filter.png", "result.png", "menu.png"}) {
        const QImage image(QDir(pictures).filePath(QString::fromLatin1(name)));
        EXPECT_GT(image.width(), 200) << name;
        EXPECT_GT(image.height(), 100) << name;
    }
}

TEST_F(Workbench, F3OpensTheFilterAndWindowsComeBackWhereTheyWereLeft)
{
    MainWindow main(fake::demoAccountPath());
    main.show();
    QMdiSubWindow* sub = main.openEntry(QStringLiteral("BO02005"));
    ASSERT_NE(sub, nullptr);
    auto* report = qobject_cast<ReportWindow*>(sub->widget());
    report->filterDialog()->reject();
    QApplication::processEvents();
    EXPECT_EQ(report->filterDialog(), nullptr);
    main.area()->setActiveSubWindow(sub);
    QApplication::setActiveWindow(&main);
    report->grid()->setFocus();
    QTest::keyClick(report->grid(), Qt::Key_F3);
    ASSERT_NE(report->filterDialog(), nullptr);
    EXPECT_TRUE(report->filterDialog()->isVisible());
    report->filterDialog()->reject();

    sub->setGeometry(30, 40, 700, 380);
    const QRect left = sub->geometry();
    sub->close();
    QApplication::processEvents();
    QMdiSubWindow* again = main.openEntry(QStringLiteral("BO02005"));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->geometry(), left);
    main.close();
    EXPECT_TRUE(main.area()->subWindowList().isEmpty());
    EXPECT_TRUE(QSettings().contains(QStringLiteral("workbench/geometry")));
}

TEST_F(Workbench, CancelStopsALongExplosion)
{
    // 3 000 parts over six levels explode into millions of rows: far more than half a second.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("syn.db"));
    q7::host::db::SyntheticOptions options;
    options.parts = 3000;
    options.depth = 6;
    options.fanout = 6;
    q7::host::db::createSyntheticAccount(path, options);

    ReportWindow window(QStringLiteral("BO02004"), path);
    window.show();
    FilterDialog* dialog = window.openFilter();
    bool sawProgress = false;
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [&] {
        auto* progress = window.findChild<QProgressDialog*>();
        if (!progress || !progress->isVisible())
            return;
        sawProgress = progress->labelText().contains(QStringLiteral("已读"));
        auto* button = progress->findChild<QPushButton*>();
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    });
    cancel.start(50);
    QElapsedTimer timer;
    timer.start();
    clickOk(dialog);
    cancel.stop();
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_TRUE(sawProgress);
    EXPECT_TRUE(dialog->lastRun().cancelled);
    EXPECT_TRUE(dialog->isVisible()); // the filter stays for another try
    EXPECT_EQ(window.grid()->model()->rowCount(), 0);
    EXPECT_TRUE(window.status().startsWith(QStringLiteral("已取消"))) << window.status().toStdString();
}

TEST_F(Workbench, BrowseEntriesOpenTheViewThroughTheFactory)
{
    // the condition dialog filled as a user fills it: the export bicycle's structure, the steel's users, OK
    QString item;
    forms::Form::setModalDriver([&item](forms::Form& shown) {
        auto* dialog = qobject_cast<FrmBO02001Cond*>(&shown);
        if (!dialog)
            return;
        dialog->txtInvCode->SetFocus();
        dialog->txtInvCode->type(item);
        dialog->txtInvCode->leave();
        dialog->cmdOK->click();
    });
    const auto driverOff = qScopeGuard([] { forms::Form::setModalDriver({}); });
    MainWindow main(fake::demoAccountPath());
    main.show();
    for (const auto& [key, code] : {std::pair{"BO02001", "BK-120"}, std::pair{"BO02002", "ST-400"}}) {
        item = QString::fromLatin1(code);
        EXPECT_EQ(main.openEntry(QString::fromLatin1(key)), nullptr); // a window of its own, not a subwindow
        ASSERT_FALSE(main.views().isEmpty());
        auto form = objectCast<FrmBO02001>(main.views().last());
        ASSERT_TRUE(form);
        ASSERT_FALSE(form->tvBOM->roots().isEmpty()) << key;
        EXPECT_TRUE(form->tvBOM->roots().first()->text().startsWith(item)) << form->tvBOM->roots().first()->text().toStdString();
    }
    main.close(); // unloads the views with the workbench
    EXPECT_TRUE(main.views().isEmpty());
}
