#include "app/gui/MainWindow.h"

#include "platform/forms/FormPlacement.h"

#include "app/gui/ProcessWindow.h"
#include "app/gui/ReportWindow.h"
#include "app/gui/SyntheticAccountDialog.h"
#include "app/gui/VoucherHostWindow.h"
#include "host/MessagePresenter.h"
#include "host/db/AccountDatabase.h"
#include "platform/AutomationError.h"
#include "platform/ClassRegistry.h"
#include "platform/Framework.h"
#include "platform/LateBinding.h"
#include "platform/forms/FormPlacement.h"

#include <QAction>
#include <QCloseEvent>
#include <QDate>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QStatusBar>

namespace q7::app::gui {

namespace {
template <typename Slot>
QAction* addEntry(QMenu* menu, const QString& text, QObject* receiver, Slot slot)
{
    QAction* action = menu->addAction(text);
    QObject::connect(action, &QAction::triggered, receiver, slot);
    return action;
}

QString geometryKey(const QString& menuKey) { return QStringLiteral("windows/") + menuKey; }
} // namespace

MainWindow::MainWindow(const QString& accountPath)
    : messages_(std::make_unique<host::ScopedPresenter>(std::make_shared<host::DesktopPresenter>()))
{
    setObjectName(QStringLiteral("workbench"));
    area_ = new QMdiArea(this);
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(area_);
    buildMenus();
    statusBar()->showMessage(QStringLiteral("就绪"));
    forms::setFormOwner(this); // the browse windows and dialogs of the forms open over the workbench
    const QSettings settings;
    if (!restoreGeometry(settings.value(QStringLiteral("workbench/geometry")).toByteArray()))
        resize(1100, 720);
    setAccount(accountPath);
}

void MainWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("账套"));
    addEntry(file, QStringLiteral("打开账套…"), this, [this] { chooseAccount(); })->setShortcut(QKeySequence::Open);
    addEntry(file, QStringLiteral("演示账套"), this, [this] { setAccount(host::db::ensureDemoAccount()); });
    addEntry(file, QStringLiteral("新建模拟账套…"), this, [this] {
        SyntheticAccountDialog dialog(this);
        if (dialog.exec() == QDialog::Accepted)
            if (const QString made = dialog.create(); !made.isEmpty())
                setAccount(made);
    });
    file->addSeparator();
    addEntry(file, QStringLiteral("退出"), this, [this] { close(); })->setShortcut(QKeySequence::Quit);

    QMap<QString, QMenu*> groups;
    for (const MenuEntry& entry : moduleMenu()) {
        QMenu*& menu = groups[entry.group];
        if (!menu)
            menu = menuBar()->addMenu(entry.group);
        QAction* action = addEntry(menu, QStringLiteral("%1  %2").arg(entry.key, entry.caption), this, [this, key = entry.key] { openEntry(key); });
        action->setObjectName(QStringLiteral("menu_") + entry.key);
    }

    windowMenu_ = menuBar()->addMenu(QStringLiteral("窗口(&W)"));
    connect(windowMenu_, &QMenu::aboutToShow, this, [this] { fillWindowMenu(); });
    fillWindowMenu();
    connect(area_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) { remember(window); });
}

// The window menu: arranging, moving between windows, and the list of them.
void MainWindow::fillWindowMenu()
{
    windowMenu_->clear();
    const auto entry = [this](const QString& text, const QKeySequence& key, auto slot) {
        QAction* action = addEntry(windowMenu_, text, this, slot);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        return action;
    };
    entry(QStringLiteral("下一个窗口"), QKeySequence(Qt::CTRL | Qt::Key_Tab), [this] { area_->activateNextSubWindow(); });
    entry(QStringLiteral("上一个窗口"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), [this] { area_->activatePreviousSubWindow(); });
    entry(QStringLiteral("后退"), QKeySequence(Qt::ALT | Qt::Key_Left), [this] { goBack(); });
    entry(QStringLiteral("前进"), QKeySequence(Qt::ALT | Qt::Key_Right), [this] { goForward(); });
    entry(QStringLiteral("关闭窗口"), QKeySequence(Qt::CTRL | Qt::Key_F4), [this] { area_->closeActiveSubWindow(); });
    windowMenu_->addSeparator();
    addEntry(windowMenu_, QStringLiteral("层叠"), area_, [this] { area_->cascadeSubWindows(); });
    addEntry(windowMenu_, QStringLiteral("平铺"), area_, [this] { area_->tileSubWindows(); });
    addEntry(windowMenu_, QStringLiteral("关闭全部"), area_, [this] { area_->closeAllSubWindows(); });
    const QList<QMdiSubWindow*> windows = area_->subWindowList();
    if (!windows.isEmpty())
        windowMenu_->addSeparator();
    for (qsizetype i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        QAction* action = addEntry(windowMenu_, QStringLiteral("&%1 %2").arg(i + 1).arg(window->windowTitle()), this,
                                   [this, window = QPointer<QMdiSubWindow>(window)] {
                                       if (window)
                                           area_->setActiveSubWindow(window);
                                   });
        action->setCheckable(true);
        action->setChecked(window == area_->activeSubWindow());
    }
}

MainWindow::~MainWindow()
{
    if (forms::formOwner() == this)
        forms::setFormOwner(nullptr);
    // The windows go with the area after this object is no longer a main
    // window: nothing they signal on the way may reach it.
    area_->disconnect(this);
    for (QMdiSubWindow* sub : area_->subWindowList())
        sub->removeEventFilter(this);
}

void MainWindow::remember(QMdiSubWindow* window)
{
    if (!window || travelling_)
        return;
    // closed windows leave the list; where the user is moves with what stays before it
    qsizetype kept = 0, keptHere = -1;
    for (qsizetype i = 0; i < visited_.size(); ++i) {
        if (visited_[i].isNull())
            continue;
        visited_[kept] = visited_[i];
        if (i <= here_)
            keptHere = kept;
        ++kept;
    }
    visited_.resize(kept);
    here_ = keptHere;
    if (here_ >= 0 && visited_[here_] == window)
        return;
    visited_.erase(visited_.begin() + (here_ + 1), visited_.end()); // a new way forward
    visited_.append(window);
    here_ = visited_.size() - 1;
}

void MainWindow::goBack()
{
    travelling_ = true;
    while (here_ > 0) {
        if (QMdiSubWindow* window = visited_[--here_]) {
            area_->setActiveSubWindow(window);
            break;
        }
    }
    travelling_ = false;
}

void MainWindow::goForward()
{
    travelling_ = true;
    while (here_ + 1 < visited_.size()) {
        if (QMdiSubWindow* window = visited_[++here_]) {
            area_->setActiveSubWindow(window);
            break;
        }
    }
    travelling_ = false;
}

QMdiSubWindow* MainWindow::openReport(const QString& menuKey, const QList<host::report::FilterSetting>& settings)
{
    const QPointer<ReportWindow> report = new ReportWindow(menuKey, accountPath_);
    const QPointer<QMdiSubWindow> sub = addWindow(report, menuKey, false);
    report->runWith(settings);
    if (!sub || !report) // the account was changed or the workbench closed while it ran
        return nullptr;
    sub->setWindowTitle(QStringLiteral("%1 — %2").arg(report->windowTitle(), settings.value(0).low));
    return sub;
}

QMdiSubWindow* MainWindow::followLink(const PartLink& link)
{
    using Target = PartLink::Target;
    const QList<host::report::FilterSetting> settings{{QStringLiteral("InvCode"), link.code, link.code},
                                                      {QStringLiteral("EffDate"), link.date.isEmpty() ? QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) : link.date, std::nullopt}};
    switch (link.target) {
    case Target::WhereUsed: return openReport(QStringLiteral("BO02006"), settings);
    case Target::Explosion: return openReport(QStringLiteral("BO02004"), settings);
    case Target::Browse: openView(QStringLiteral("BO02001")); return nullptr;
    case Target::Voucher: break;
    }
    QMdiSubWindow* sub = openEntry(QStringLiteral("BO01001"));
    auto* voucher = sub ? qobject_cast<VoucherHostWindow*>(sub->widget()) : nullptr;
    if (!voucher)
        return sub;
    if (voucher->showItem(link.code, link.date))
        statusBar()->showMessage(QStringLiteral("%1 的物料清单（%2）").arg(link.code, link.date));
    else
        QMessageBox::information(this, windowTitle(), QStringLiteral("%1 在 %2 没有生效的主物料清单").arg(link.code, link.date));
    return sub;
}

// Every view the workbench made is told to unload, even when one before it
// failed; what failed is shown once they all are gone.
void MainWindow::unloadViews()
{
    QStringList failures;
    for (const Object& view : std::as_const(views_)) {
        try {
            call(view, QStringLiteral("Unload"));
        } catch (const AutomationError& error) {
            failures << error.description();
        }
    }
    views_.clear();
    if (!failures.isEmpty())
        QMessageBox::warning(this, windowTitle(), QStringLiteral("关闭窗口时出错：\n%1").arg(failures.join(QLatin1Char('\n'))));
}

void MainWindow::setAccount(const QString& path)
{
    area_->closeAllSubWindows();
    if (!area_->subWindowList().isEmpty()) { // a window kept open (a run going on, a change not saved)
        statusBar()->showMessage(QStringLiteral("仍有窗口未关闭，账套未切换"));
        return;
    }
    unloadViews();
    account_.reset();
    accountPath_ = path;
    setWindowTitle(QStringLiteral("Q7 物料清单 — %1").arg(QFileInfo(path).absoluteFilePath()));
}

void MainWindow::chooseAccount()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("打开账套"), QFileInfo(accountPath_).absolutePath(),
                                                      QStringLiteral("账套 (*.db *.sqlite);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    if (host::db::accountStateOf(path) != host::db::AccountState::Finished) {
        QMessageBox::warning(this, windowTitle(), QStringLiteral("%1 不是账套数据库").arg(path));
        return;
    }
    setAccount(path);
}

QMdiSubWindow* MainWindow::openEntry(const QString& menuKey)
{
    try {
        const ProgramAnswer answer = askProgramType(menuKey);
        switch (answer.programType) {
        case 5:
            return addWindow(new ReportWindow(menuKey, accountPath_), menuKey, true);
        case 6:
            return addWindow(new ProcessWindow(menuKey, accountPath_), menuKey, false);
        case 3:
            return addWindow(new VoucherHostWindow(answer.voucherType, answer.handler, accountPath_), menuKey, false);
        case 8:
            openView(menuKey);
            return nullptr;
        case 2:
            statusBar()->clearMessage();
            return nullptr;
        default:
            statusBar()->showMessage(QStringLiteral("%1：组件不认识此菜单").arg(menuKey));
            return nullptr;
        }
    } catch (const AutomationError& error) {
        statusBar()->showMessage(QStringLiteral("%1：%2").arg(menuKey, error.description()));
        QMessageBox::warning(this, windowTitle(), error.description());
        return nullptr;
    }
}

void MainWindow::openView(const QString& menuKey)
{
    if (!account_)
        account_ = host::browse::AccountContext::open(accountPath_);
    const Object factory = createObject(QStringLiteral("Q7BomLib.clsViewFactory"));
    const Object view = toObject(call(factory, QStringLiteral("CreateView"), {QStringLiteral("Morvex.Q7.BO.") + menuKey}));
    auto* formView = dynamic_cast<IFormView*>(view.data());
    if (!formView) {
        statusBar()->showMessage(QStringLiteral("%1：组件没有此视图").arg(menuKey));
        return;
    }
    QVariant first = fromObject(account_), second = menuKey;
    if (!formView->Enter(first, second)) {
        statusBar()->showMessage(QStringLiteral("%1：视图未能进入").arg(menuKey));
        return;
    }
    views_.append(view);
    statusBar()->showMessage(QStringLiteral("%1：多阶查询").arg(menuKey));
    call(view, QStringLiteral("Show")); // its first activation opens the condition dialog
}

QMdiSubWindow* MainWindow::addWindow(QWidget* widget, const QString& menuKey, bool openFilter)
{
    QMdiSubWindow* sub = area_->addSubWindow(widget);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setObjectName(QStringLiteral("sub_") + menuKey);
    sub->setWindowTitle(widget->windowTitle());
    const QSettings settings;
    const QByteArray geometry = settings.value(geometryKey(menuKey)).toByteArray();
    if (geometry.isEmpty() || !sub->restoreGeometry(geometry))
        sub->resize(qMax(widget->sizeHint().width(), 640), qMax(widget->sizeHint().height(), 420));
    sub->installEventFilter(this); // remembers where the user left it
    if (auto* process = qobject_cast<ProcessWindow*>(widget))
        connect(process, &ProcessWindow::formUnloaded, sub, &QMdiSubWindow::close, Qt::QueuedConnection);
    if (auto* voucher = qobject_cast<VoucherHostWindow*>(widget))
        connect(voucher, &VoucherHostWindow::statusMessage, this, [this](const QString& text) { statusBar()->showMessage(text); });
    sub->show();
    if (auto* report = qobject_cast<ReportWindow*>(widget)) {
        connect(report, &ReportWindow::partLinkRequested, this, [this](const PartLink& link) { followLink(link); });
        if (openFilter)
            report->openFilter();
    }
    statusBar()->showMessage(QStringLiteral("%1：%2").arg(menuKey, widget->windowTitle()));
    return sub;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    area_->closeAllSubWindows();
    if (!area_->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    unloadViews();
    QSettings().setValue(QStringLiteral("workbench/geometry"), saveGeometry());
    event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Close)
        if (auto* sub = qobject_cast<QMdiSubWindow*>(watched))
            QSettings().setValue(geometryKey(sub->objectName().mid(4)), sub->saveGeometry());
    return QMainWindow::eventFilter(watched, event);
}

QString MainWindow::statusText() const { return statusBar()->currentMessage(); }

} // namespace q7::app::gui
