#include "app/gui/GuiCommand.h"

#include "app/CommandParser.h"
#include "app/gui/FilterDialog.h"
#include "app/gui/MainWindow.h"
#include "app/gui/ReportTree.h"
#include "app/gui/ReportWindow.h"
#include "host/db/AccountDatabase.h"
#include "platform/AutomationError.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QSettings>
#include <QTreeView>

#include <cstdio>

namespace q7::app::gui {

namespace {

// The offscreen platform says for each window what it cannot do (raise it,
// grab the keyboard, pass size hints); none of it matters for a picture.
QtMessageHandler previousHandler = nullptr;
void quietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
        return;
    previousHandler(type, context, message);
}

bool save(QWidget* widget, const QString& path)
{
    QApplication::processEvents();
    if (!widget->grab().save(path, "PNG")) {
        std::fprintf(stderr, "q7bom gui: cannot write %s\n", path.toUtf8().constData());
        return false;
    }
    std::printf("%s\n", path.toUtf8().constData());
    return true;
}

// The module's menus side by side, as they drop down.
bool saveMenus(QMainWindow& window, const QString& path)
{
    QList<QPixmap> pictures;
    for (QAction* action : window.menuBar()->actions())
        if (QMenu* menu = action->menu(); menu && action->text().startsWith(QStringLiteral("物料清单"))) {
            menu->popup(window.mapToGlobal(QPoint(0, 0)));
            QApplication::processEvents();
            pictures.append(menu->grab());
            menu->hide();
        }
    int width = 0, height = 0;
    for (const QPixmap& p : pictures) {
        width += p.width() + 8;
        height = std::max(height, p.height());
    }
    QPixmap all(std::max(width, 1), std::max(height, 1));
    all.fill(Qt::white);
    QPainter painter(&all);
    int x = 0;
    for (const QPixmap& p : pictures) {
        painter.drawPixmap(x, 0, p);
        x += p.width() + 8;
    }
    painter.end();
    if (!all.save(path, "PNG")) {
        std::fprintf(stderr, "q7bom gui: cannot write %s\n", path.toUtf8().constData());
        return false;
    }
    std::printf("%s\n", path.toUtf8().constData());
    return true;
}

// Draws the workbench with a report and a maintenance form open, the report's
// filter dialog, its result as a tree and as a grid, the module's menus, and
// the voucher a double click on a row opens, into DIR (main.png, filter.png,
// tree.png, result.png, menu.png, double-click.png).
int screenshots(const QString& accountPath, const QString& dir)
{
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "q7bom gui: cannot create %s\n", dir.toUtf8().constData());
        return 1;
    }
    QSettings().clear(); // the pictures show the defaults, not what a user left behind
    q7::app::gui::MainWindow window(accountPath);
    window.resize(1500, 900);
    window.show();
    window.openEntry(QStringLiteral("BO01001"));
    window.openEntry(QStringLiteral("BO01002"));
    QMdiSubWindow* sub = window.openEntry(QStringLiteral("BO02004"));
    if (!sub)
        return 1;
    auto* report = qobject_cast<q7::app::gui::ReportWindow*>(sub->widget());
    q7::app::gui::FilterDialog* dialog = report->filterDialog();
    for (int which : {0, 1})
        if (auto* parent = qobject_cast<QLineEdit*>(dialog->editor(QStringLiteral("InvCode"), which)))
            parent->setText(QStringLiteral("BK-100"));
    dialog->adjustSize();
    if (!save(dialog, QDir(dir).filePath(QStringLiteral("filter.png"))))
        return 1;
    dialog->accept();
    window.area()->tileSubWindows();
    if (!save(&window, QDir(dir).filePath(QStringLiteral("main.png"))))
        return 1;
    if (!saveMenus(window, QDir(dir).filePath(QStringLiteral("menu.png"))))
        return 1;
    // the explosion as a tree, then the same rows as a grid
    sub->resize(1150, 600);
    report->showTree(true);
    if (!save(report, QDir(dir).filePath(QStringLiteral("tree.png"))))
        return 1;
    report->showTree(false);
    if (!save(report, QDir(dir).filePath(QStringLiteral("result.png"))))
        return 1;
    // a double click on a component's row opens its BOM in the voucher
    report->showTree(true);
    const q7::app::gui::ReportTreeModel* tree = report->treeModel();
    for (int row = 0; tree->indexOfRow(row).isValid(); ++row) {
        const QModelIndex index = tree->indexOfRow(row, tree->shape().treeColumn);
        if (!tree->data(index).toString().startsWith(QStringLiteral("FR-200")))
            continue;
        report->tree()->setCurrentIndex(index);
        emit report->tree()->doubleClicked(index);
        break;
    }
    window.area()->tileSubWindows();
    return save(&window, QDir(dir).filePath(QStringLiteral("double-click.png"))) ? 0 : 1;
}

} // namespace

int runGui(const QStringList& args)
{
    CommandParser command(QStringLiteral("gui"), QStringLiteral("[options]"),
                          QStringLiteral("Opens the desktop workbench of the BOM module: the module's menu, each entry opened as the\n"
                                         "host opens it (reports in the report viewer, maintenance forms), several windows at once."));
    command.addOption({QStringLiteral("db"), QStringLiteral("Account database (default: the demo account, created on first use)."),
                       QStringLiteral("FILE")});
    command.addOption({QStringLiteral("screenshot"), QStringLiteral("Write PNGs of the main window, a filter dialog and a result into DIR, and stop."),
                       QStringLiteral("DIR")});
    if (const auto done = command.parse(args))
        return *done;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fputs("q7bom gui: the workbench needs a widget application\n", stderr);
        return 1;
    }
    QString path = command.value(QStringLiteral("db"));
    if (command.isSet(QStringLiteral("db"))) {
        if (path.trimmed().isEmpty())
            return command.refuse(QStringLiteral("--db needs the path of an account database"));
        if (q7::host::db::accountStateOf(path) != q7::host::db::AccountState::Finished)
            return command.refuse(QStringLiteral("%1 is not an account database").arg(path));
    } else {
        path = q7::host::db::ensureDemoAccount();
    }
    QCoreApplication::setOrganizationName(QStringLiteral("Q7BomLib"));
    if (command.isSet(QStringLiteral("screenshot"))) {
        QCoreApplication::setApplicationName(QStringLiteral("q7bom-screenshot"));
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            previousHandler = qInstallMessageHandler(quietOffscreen);
        return screenshots(path, command.value(QStringLiteral("screenshot")));
    }
    QCoreApplication::setApplicationName(QStringLiteral("q7bom"));
    q7::app::gui::MainWindow window(path);
    window.show();
    return QApplication::exec();
}

} // namespace q7::app::gui
