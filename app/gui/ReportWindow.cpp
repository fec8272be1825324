#include "app/gui/ReportWindow.h"

#include "app/gui/DiffWindow.h"
#include "host/voucher/BomChecks.h"

#include "app/gui/FilterDialog.h"
#include "app/gui/FilterMemory.h"
#include "app/gui/ReportExport.h"
#include "app/gui/ReportPrint.h"
#include "app/gui/ReportRunner.h"
#include "app/gui/ReportSortProxy.h"
#include "app/gui/ReportTree.h"
#include "host/voucher/BomChecks.h"
#include "platform/AutomationError.h"
#include "platform/values/Values.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDate>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace q7::app::gui {

namespace {

// How soon a run shows its progress, and how often it is refreshed.
constexpr int ProgressAfterMs = 150;
constexpr int ProgressEveryMs = 100;

QAction* menuAction(QMenu* menu, const QString& text, const QKeySequence& shortcut, QWidget* owner)
{
    QAction* action = menu->addAction(text);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        owner->addAction(action); // the key works anywhere in the window
    }
    return action;
}

} // namespace

ReportWindow::ReportWindow(const QString& reportKey, const QString& accountPath, QWidget* parent)
    : QWidget(parent), document_(reportKey, accountPath), runner_(std::make_unique<ReportRunner>(reportKey, accountPath)), account_(accountPath)
{
    setObjectName(QStringLiteral("report_") + reportKey);
    setWindowTitle(document_.title());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    rows_ = new ReportRowsModel(this);
    sorter_ = new ReportSortProxy(this);
    sorter_->setSourceModel(rows_);
    treeModel_ = new ReportTreeModel(this);

    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("grid"));
    grid_->setModel(sorter_);
    grid_->setSortingEnabled(true);
    grid_->horizontalHeader()->setSortIndicatorShown(true);
    grid_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder); // report order until the user sorts
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    tree_ = new QTreeView(this);
    tree_->setObjectName(QStringLiteral("tree"));
    tree_->setModel(treeModel_);
    tree_->setUniformRowHeights(true);
    tree_->setAlternatingRowColors(true);
    tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(grid_), static_cast<QAbstractItemView*>(tree_)})
        connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) { followPart(index, PartLink::Target::Voucher); });

    views_ = new QStackedWidget(this);
    views_->addWidget(grid_);
    views_->addWidget(tree_);

    findBar_ = new QWidget(this);
    auto* findLayout = new QHBoxLayout(findBar_);
    findLayout->setContentsMargins(6, 2, 6, 2);
    findLayout->addWidget(new QLabel(QStringLiteral("查找："), findBar_));
    findText_ = new QLineEdit(findBar_);
    findText_->setObjectName(QStringLiteral("find"));
    findLayout->addWidget(findText_, 1);
    connect(findText_, &QLineEdit::returnPressed, this, [this] {
        if (!findNext(findText_->text()))
            status_->setText(QStringLiteral("找不到“%1”").arg(findText_->text()));
    });
    findBar_->hide();

    status_ = new QLabel(QStringLiteral("按 F3 设置过滤条件"), this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setContentsMargins(6, 2, 6, 2);

    buildActions();
    layout->addWidget(views_, 1);
    layout->addWidget(findBar_);
    layout->addWidget(status_);
}

ReportWindow::~ReportWindow()
{
    runner_.reset(); // stops a run under way before the models go
}

void ReportWindow::buildActions()
{
    auto* menus = new QMenuBar(this);
    menus->setNativeMenuBar(false);
    auto* tools = new QToolBar(this);
    tools->setObjectName(QStringLiteral("tools"));

    QMenu* file = menus->addMenu(QStringLiteral("文件(&F)"));
    QAction* csv = menuAction(file, QStringLiteral("导出 CSV…"), QKeySequence(Qt::CTRL | Qt::Key_E), this);
    QAction* xlsx = menuAction(file, QStringLiteral("导出 XLSX…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), this);
    QAction* pdf = menuAction(file, QStringLiteral("导出 PDF…"), {}, this);
    QAction* print = menuAction(file, QStringLiteral("打印预览…"), QKeySequence(Qt::CTRL | Qt::Key_P), this);
    file->addSeparator();
    QAction* close = menuAction(file, QStringLiteral("关闭"), {}, this); // Ctrl+F4: the workbench's window menu
    connect(csv, &QAction::triggered, this, [this] { chooseExport(false); });
    connect(xlsx, &QAction::triggered, this, [this] { chooseExport(true); });
    connect(pdf, &QAction::triggered, this, [this] { choosePdf(); });
    connect(print, &QAction::triggered, this, [this] { printPreview(); });
    connect(close, &QAction::triggered, this, [this] {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
            sub->close();
        else
            QWidget::close();
    });

    QMenu* query = menus->addMenu(QStringLiteral("查询(&Q)"));
    QAction* filter = menuAction(query, QStringLiteral("过滤…"), QKeySequence(Qt::Key_F3), this);
    QAction* again = menuAction(query, QStringLiteral("重新运行"), QKeySequence(Qt::Key_F5), this);
    QAction* find = menuAction(query, QStringLiteral("查找…"), QKeySequence(Qt::CTRL | Qt::Key_F), this);
    query->addSeparator();
    QAction* statement = menuAction(query, QStringLiteral("语句"), {}, this);
    connect(filter, &QAction::triggered, this, [this] { openFilter(); });
    connect(again, &QAction::triggered, this, [this] { runAgain(); });
    connect(find, &QAction::triggered, this, [this] {
        findBar_->show();
        findText_->setFocus();
        findText_->selectAll();
    });
    connect(statement, &QAction::triggered, this, [this] { showStatement(); });

    QMenu* view = menus->addMenu(QStringLiteral("视图(&V)"));
    QAction* treeAction = menuAction(view, QStringLiteral("树形"), QKeySequence(Qt::CTRL | Qt::Key_T), this);
    treeAction->setObjectName(QStringLiteral("treeAction"));
    treeAction->setCheckable(true);
    connect(treeAction, &QAction::toggled, this, [this](bool on) { showTree(on); });
    connect(views_, &QStackedWidget::currentChanged, treeAction, [this, treeAction] { treeAction->setChecked(treeShown()); });
    QAction* order = menuAction(view, QStringLiteral("结构顺序"), QKeySequence(Qt::CTRL | Qt::Key_R), this);
    order->setObjectName(QStringLiteral("reportOrder"));
    connect(order, &QAction::triggered, this, [this] {
        sorter_->showReportOrder();
        grid_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    });
    QAction* sort = menuAction(view, QStringLiteral("按当前列排序"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this);
    connect(sort, &QAction::triggered, this, [this] { sortByCurrentColumn(); });
    view->addSeparator();
    QAction* expand = menuAction(view, QStringLiteral("全部展开"), QKeySequence(Qt::CTRL | Qt::Key_Plus), this);
    QAction* collapse = menuAction(view, QStringLiteral("全部折叠"), QKeySequence(Qt::CTRL | Qt::Key_Minus), this);
    connect(expand, &QAction::triggered, tree_, &QTreeView::expandAll);
    connect(collapse, &QAction::triggered, tree_, &QTreeView::collapseAll);
    QMenu* levels = view->addMenu(QStringLiteral("展开到层级"));
    connect(levels, &QMenu::aboutToShow, this, [this, levels] {
        levels->clear();
        for (int level = 1; level <= std::max(1, treeModel_->depth()); ++level)
            connect(levels->addAction(QString::number(level)), &QAction::triggered, tree_, [this, level] {
                tree_->collapseAll();
                tree_->expandToDepth(level - 1);
            });
    });

    QMenu* go = menus->addMenu(QStringLiteral("转到(&G)"));
    const auto link = [this, go](const QString& text, const QKeySequence& key, PartLink::Target target) {
        QAction* action = menuAction(go, text, key, this);
        connect(action, &QAction::triggered, this, [this, target] { followPart(currentIndex(), target); });
        return action;
    };
    link(QStringLiteral("物料清单"), QKeySequence(Qt::CTRL | Qt::Key_B), PartLink::Target::Voucher);
    link(QStringLiteral("母件用途（BO02006）"), QKeySequence(Qt::CTRL | Qt::Key_U), PartLink::Target::WhereUsed);
    link(QStringLiteral("展开（BO02004）"), QKeySequence(Qt::CTRL | Qt::Key_D), PartLink::Target::Explosion);
    link(QStringLiteral("多阶浏览"), QKeySequence(Qt::CTRL | Qt::Key_W), PartLink::Target::Browse);

    for (QAction* action : {filter, again, csv, xlsx, pdf, print, treeAction, order, statement})
        tools->addAction(action);
    filter->setText(QStringLiteral("过滤 (F3)"));
    for (QToolButton* button : tools->findChildren<QToolButton*>())
        button->setFocusPolicy(Qt::TabFocus); // Tab reaches the tools too
    static_cast<QVBoxLayout*>(layout())->setMenuBar(menus);
    layout()->addWidget(tools);
}

FilterDialog* ReportWindow::filterDialog() const { return dialog_.data(); }

FilterDialog* ReportWindow::openFilter()
{
    if (dialog_)
        return dialog_;
    auto* dialog = new FilterDialog(document_, [this](const auto& settings, int angle) { return runWithProgress(settings, angle); }, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    if (hasRun_)
        dialog->setValues(lastSettings_, lastAngle_);
    else if (const auto remembered = rememberedFilter(document_.key()))
        dialog->setValues(remembered->settings, remembered->angle);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        rememberFilter(document_.key(), {dialog->settings(), dialog->angle()});
        showRun(dialog->takeLastRun());
    });
    dialog_ = dialog;
    dialog->open();
    return dialog;
}

void ReportWindow::runWith(const QList<host::report::FilterSetting>& settings, int angle)
{
    ReportRun run = runWithProgress(settings, angle);
    if (run.refused)
        QMessageBox::warning(this, windowTitle(), run.message);
    else if (!run.cancelled)
        showRun(std::move(run));
}

void ReportWindow::runAgain()
{
    if (!hasRun_) {
        openFilter();
        return;
    }
    runWith(lastSettings_, lastAngle_);
}

ReportRun ReportWindow::runWithProgress(const QList<host::report::FilterSetting>& settings, int angle)
{
    // The run goes on its own thread; this one waits in an event loop, so the
    // windows repaint. A run that takes a moment shows how far it got and can
    // be stopped; the (application-modal) progress dialog keeps the user from
    // closing this window or starting another run meanwhile.
    if (runner_->busy())
        return ReportRun{true, false, QStringLiteral("上一次查询尚未结束"), {}, {}, {}, 0};
    std::shared_ptr<ReportRun> result;
    QEventLoop wait;
    connect(runner_.get(), &ReportRunner::finished, &wait, [&](std::shared_ptr<ReportRun> run) {
        result = std::move(run);
        wait.quit();
    });
    // The dialog lives on the heap: whatever happens in the loop below, it
    // goes with this window and never from under the loop.
    const QPointer<QWidget> active = QApplication::activeWindow();
    const QPointer<QWidget> focus = QApplication::focusWidget();
    const QPointer<QProgressDialog> progress = new QProgressDialog(QStringLiteral("正在查询…"), QStringLiteral("取消"), 0, 0, this);
    progress->setWindowTitle(document_.title());
    progress->setWindowModality(Qt::ApplicationModal);
    progress->setMinimumDuration(std::numeric_limits<int>::max()); // shown by the timer below
    progress->reset();
    QTimer tick;
    connect(progress, &QProgressDialog::canceled, runner_.get(), &ReportRunner::stop);
    connect(progress, &QProgressDialog::canceled, &tick, &QTimer::stop);
    connect(&tick, &QTimer::timeout, progress, [&] {
        if (!progress->isVisible()) {
            progress->show();
            tick.setInterval(ProgressEveryMs);
        }
        progress->setLabelText(QStringLiteral("已读 %1 行…").arg(runner_->rowsRead()));
    });
    tick.start(ProgressAfterMs);
    runner_->start(settings, angle);
    wait.exec();
    tick.stop();
    if (progress) {
        const bool shown = progress->isVisible();
        progress->hide();
        progress->deleteLater();
        if (shown && active) { // the keys go back where they were before the dialog took them
            active->activateWindow();
            if (focus)
                focus->setFocus(Qt::OtherFocusReason);
        }
    }
    ReportRun run = result ? std::move(*result) : ReportRun{};
    if (run.cancelled)
        status_->setText(QStringLiteral("已取消（%1 秒）").arg(run.elapsedMs / 1000.0, 0, 'f', 3));
    if (!run.refused && !run.cancelled) {
        lastSettings_ = settings;
        lastAngle_ = angle;
        hasRun_ = true;
    }
    return run;
}

void ReportWindow::closeEvent(QCloseEvent* event)
{
    if (runner_->busy()) { // the run's Cancel stops it first
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void ReportWindow::showRun(ReportRun run)
{
    statement_ = run.statement;
    auto rows = std::make_shared<data::RowStore>(std::move(run.rows));
    const qsizetype count = rows->size();
    rows_->setRows(rows);
    treeModel_->setRows(treeShapeOf(rows->columnNames()).kind != TreeShape::Kind::None ? rows : nullptr);
    rows.reset();
    grid_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    // widths from the first rows: measuring a million rows would hold the window up
    grid_->horizontalHeader()->setResizeContentsPrecision(200);
    grid_->resizeColumnsToContents();
    if (treeModel_->shape().kind != TreeShape::Kind::None) {
        tree_->header()->setResizeContentsPrecision(200);
        tree_->setTreePosition(treeModel_->shape().treeColumn);
        if (tree_->header()->visualIndex(treeModel_->shape().treeColumn) != 0)
            tree_->header()->moveSection(tree_->header()->visualIndex(treeModel_->shape().treeColumn), 0);
        tree_->expandToDepth(count <= 20000 ? treeModel_->depth() : 1);
        for (int c = 0; c < treeModel_->columnCount(); ++c)
            tree_->resizeColumnToContents(c);
        showTree(true);
    } else {
        showTree(false);
    }
    status_->setText(QStringLiteral("%1 行，用时 %2 秒").arg(count).arg(run.elapsedMs / 1000.0, 0, 'f', 3));
    views_->currentWidget()->setFocus(Qt::OtherFocusReason); // the arrow keys and the window's keys work on the rows at once
}

bool ReportWindow::treeShown() const { return views_->currentWidget() == tree_; }

void ReportWindow::showTree(bool tree)
{
    const bool possible = treeModel_->shape().kind != TreeShape::Kind::None;
    QWidget* const shown = tree && possible ? static_cast<QWidget*>(tree_) : grid_;
    const bool hadFocus = focusWidget() == views_->currentWidget();
    views_->setCurrentWidget(shown);
    if (hadFocus)
        shown->setFocus(Qt::OtherFocusReason);
}

QStringList ReportWindow::headings() const
{
    QStringList list;
    for (int c = 0; c < sorter_->columnCount(); ++c)
        list.append(sorter_->headerData(c, Qt::Horizontal).toString());
    return list;
}

QList<QVariantList> ReportWindow::gridRows() const
{
    QList<QVariantList> list;
    if (!rows_->rows())
        return list;
    list.reserve(sorter_->rowCount());
    for (int r = 0; r < sorter_->rowCount(); ++r) {
        QVariantList row;
        const int source = sorter_->mapToSource(sorter_->index(r, 0)).row();
        for (int c = 0; c < sorter_->columnCount(); ++c)
            row.append(rows_->data(rows_->index(source, c), ReportRowsModel::ValueRole));
        list.append(row);
    }
    return list;
}

QString ReportWindow::status() const { return status_->text(); }

QModelIndex ReportWindow::currentIndex() const { return treeShown() ? tree_->currentIndex() : grid_->currentIndex(); }

QString ReportWindow::partAt(const QModelIndex& index) const
{
    if (!index.isValid() || !rows_->rows())
        return {};
    int row = -1;
    if (index.model() == treeModel_)
        row = treeModel_->data(index, ReportTreeModel::SourceRowRole).toInt();
    else if (index.model() == sorter_)
        row = sorter_->mapToSource(index).row();
    if (row < 0)
        return {};
    const data::RowStore& data = *rows_->rows();
    const QStringList& columns = data.columnNames();
    const auto codeIn = [&](int column) { return values::trim(values::toTextOrEmpty(data.value(row, column))); };
    // the code the user pointed at, else the part the row is about
    if (index.column() < columns.size() &&
        (columns[index.column()].endsWith(QStringLiteral("编码")) || columns[index.column()] == QStringLiteral("顶层母件")))
        if (const QString code = codeIn(index.column()); !code.isEmpty())
            return code;
    const TreeShape shape = treeShapeOf(columns);
    if (shape.treeColumn >= 0)
        return codeIn(shape.treeColumn);
    for (const QString& heading : {QStringLiteral("子件编码"), QStringLiteral("母件编码"), QStringLiteral("物料编码")})
        if (const int column = static_cast<int>(columns.indexOf(heading)); column >= 0)
            return codeIn(column);
    return {};
}

QString ReportWindow::partLabelAt(const QModelIndex& index) const
{
    const QString code = partAt(index);
    if (code.isEmpty())
        return {};
    int row = index.model() == treeModel_ ? treeModel_->data(index, ReportTreeModel::SourceRowRole).toInt() : sorter_->mapToSource(index).row();
    const data::RowStore& data = *rows_->rows();
    const QStringList& columns = data.columnNames();
    // the free item next to the code it belongs to
    for (const auto& [codeHeading, freeHeading] : {std::pair{QStringLiteral("子件编码"), QStringLiteral("子件自由项1")},
                                                   std::pair{QStringLiteral("顶层母件"), QStringLiteral("顶层自由项1")},
                                                   std::pair{QStringLiteral("母件编码"), QStringLiteral("母件自由项1")}}) {
        const int codeColumn = static_cast<int>(columns.indexOf(codeHeading)), freeColumn = static_cast<int>(columns.indexOf(freeHeading));
        if (row < 0 || codeColumn < 0 || freeColumn < 0 || values::trim(values::toTextOrEmpty(data.value(row, codeColumn))) != code)
            continue;
        const QString free = values::trim(values::toTextOrEmpty(data.value(row, freeColumn)));
        return free.isEmpty() ? code : QStringLiteral("%1(%2)").arg(code, free);
    }
    return code;
}

DiffWindow* ReportWindow::compareWithDate(const QModelIndex& index, const QString& against)
{
    const QString item = partLabelAt(index);
    if (item.isEmpty())
        return nullptr;
    QString at = QDate::currentDate().toString(Qt::ISODate);
    for (const auto& setting : std::as_const(lastSettings_))
        if (values::textEquals(setting.name, QStringLiteral("EffDate")) && !values::trim(setting.low).isEmpty())
            at = values::trim(setting.low);
    auto* window = new DiffWindow(account_, item, at, against, this);
    window->setWindowFlag(Qt::Window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->resize(980, 620);
    window->show();
    return window;
}

void ReportWindow::followPart(const QModelIndex& index, PartLink::Target target)
{
    const QString code = partAt(index);
    if (code.isEmpty()) {
        status_->setText(QStringLiteral("这一行没有物料"));
        return;
    }
    QString date;
    for (const auto& setting : std::as_const(lastSettings_))
        if (values::textEquals(setting.name, QStringLiteral("EffDate")))
            date = values::trim(setting.low);
    emit partLinkRequested({target, code, date});
}

QMenu* ReportWindow::partMenu(const QModelIndex& index)
{
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QString code = partAt(index);
    const auto add = [&](const QString& text, PartLink::Target target) {
        QAction* action = menu->addAction(text.arg(code));
        action->setEnabled(!code.isEmpty());
        connect(action, &QAction::triggered, this, [this, index = QPersistentModelIndex(index), target] { followPart(index, target); });
    };
    add(QStringLiteral("%1 的物料清单"), PartLink::Target::Voucher);
    add(QStringLiteral("%1 的母件用途"), PartLink::Target::WhereUsed);
    add(QStringLiteral("%1 的展开"), PartLink::Target::Explosion);
    add(QStringLiteral("%1 的多阶浏览"), PartLink::Target::Browse);
    menu->addSeparator();
    QAction* compare = menu->addAction(QStringLiteral("%1 与日期比较…").arg(code));
    compare->setEnabled(!code.isEmpty());
    connect(compare, &QAction::triggered, this, [this, index = QPersistentModelIndex(index)] {
        bool ok = false;
        const QString date = QInputDialog::getText(this, QStringLiteral("与日期比较"), QStringLiteral("比较日期 (yyyy-mm-dd)："), QLineEdit::Normal,
                                                   QDate::currentDate().toString(Qt::ISODate), &ok)
                                 .trimmed();
        if (!ok)
            return;
        if (!host::voucher::isDateText(date)) {
            status_->setText(QStringLiteral("不是日期：%1").arg(date));
            return;
        }
        compareWithDate(index, date);
    });
    return menu;
}

void ReportWindow::contextMenuEvent(QContextMenuEvent* event)
{
    QAbstractItemView* view = treeShown() ? static_cast<QAbstractItemView*>(tree_) : grid_;
    const QModelIndex index = view->indexAt(view->viewport()->mapFromGlobal(event->globalPos()));
    if (!index.isValid()) {
        QWidget::contextMenuEvent(event);
        return;
    }
    view->setCurrentIndex(index);
    partMenu(index)->popup(event->globalPos());
}

bool ReportWindow::findNext(const QString& text)
{
    if (text.isEmpty() || !rows_->rows())
        return false;
    QAbstractItemView* view = treeShown() ? static_cast<QAbstractItemView*>(tree_) : grid_;
    const auto matches = [&](int sourceRow) {
        for (const QVariant& value : rows_->rows()->values(sourceRow))
            if (cellDisplay(value).toString().contains(text, Qt::CaseInsensitive))
                return true;
        return false;
    };
    const int count = sorter_->rowCount();
    if (count == 0)
        return false;
    // rows in the order the view shows them: the grid's sorted order, the tree's report order
    const auto sourceAt = [&](int position) { return treeShown() ? position : sorter_->mapToSource(sorter_->index(position, 0)).row(); };
    int from = 0;
    if (const QModelIndex current = currentIndex(); current.isValid()) {
        const int source = treeShown() ? treeModel_->data(current, ReportTreeModel::SourceRowRole).toInt()
                                       : sorter_->mapToSource(current).row();
        from = (treeShown() ? source : sorter_->mapFromSource(rows_->index(source, 0)).row()) + 1;
    }
    for (int step = 0; step < count; ++step) {
        const int position = (from + step) % count;
        const int source = sourceAt(position);
        if (source < 0 || !matches(source))
            continue;
        const QModelIndex found = treeShown() ? treeModel_->indexOfRow(source) : sorter_->index(position, 0);
        view->setCurrentIndex(found);
        view->scrollTo(found);
        status_->setText(QStringLiteral("第 %1 行").arg(position + 1));
        return true;
    }
    return false;
}

void ReportWindow::sortByCurrentColumn()
{
    const int column = std::max(0, grid_->currentIndex().column());
    const bool again = sorter_->sortColumn() == column && grid_->horizontalHeader()->sortIndicatorOrder() == Qt::AscendingOrder;
    showTree(false);
    grid_->sortByColumn(column, again ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void ReportWindow::exportCsv(const QString& path) const { writeCsv(path, headings(), gridRows()); }
void ReportWindow::exportXlsx(const QString& path) const { writeXlsx(path, document_.title(), headings(), gridRows()); }

PrintedReport ReportWindow::printed() const
{
    PrintedReport report;
    report.title = document_.title();
    report.account = QFileInfo(account_).fileName();
    report.printedOn = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    for (const FilterField& field : document_.fields())
        for (const auto& setting : lastSettings_)
            if (values::textEquals(setting.name, field.definition.name)) {
                const QString low = values::trim(setting.low), high = values::trim(setting.high.value_or(QString()));
                if (low.isEmpty() && high.isEmpty())
                    continue;
                const QString value = field.definition.range ? QStringLiteral("%1 到 %2").arg(low, high) : low;
                report.filters.append(QStringLiteral("%1：%2").arg(values::trim(field.definition.caption), value));
            }
    if (lastAngle_ > 0 && lastAngle_ <= document_.angles().size())
        report.filters.append(QStringLiteral("比较角度：%1").arg(document_.angles().at(lastAngle_ - 1)));
    report.headings = headings();
    report.rows = gridRows();
    return report;
}

void ReportWindow::exportPdf(const QString& path) const { writePdf(path, printed()); }

void ReportWindow::choosePdf()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出"), document_.key() + QStringLiteral(".pdf"),
                                                      QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    try {
        exportPdf(path);
        status_->setText(QStringLiteral("已导出 %1").arg(path));
    } catch (const AutomationError& error) {
        QMessageBox::warning(this, windowTitle(), error.description());
    }
}

void ReportWindow::printPreview()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog preview(&printer, this);
    const PrintedReport report = printed();
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [&report](QPrinter* target) { printReport(report, *target); });
    preview.exec();
}

void ReportWindow::chooseExport(bool xlsx)
{
    const QString suffix = xlsx ? QStringLiteral("xlsx") : QStringLiteral("csv");
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出"), document_.key() + u'.' + suffix,
                                                      xlsx ? QStringLiteral("Excel (*.xlsx)") : QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    try {
        xlsx ? exportXlsx(path) : exportCsv(path);
        status_->setText(QStringLiteral("已导出 %1").arg(path));
    } catch (const AutomationError& error) {
        QMessageBox::warning(this, windowTitle(), error.description());
    }
}

void ReportWindow::showStatement()
{
    QDialog box(this);
    box.setWindowTitle(QStringLiteral("%1 — 语句").arg(document_.title()));
    auto* layout = new QVBoxLayout(&box);
    auto* text = new QPlainTextEdit(statement_.isEmpty() ? QStringLiteral("（尚未运行）") : statement_, &box);
    text->setReadOnly(true);
    layout->addWidget(text);
    box.resize(640, 320);
    box.exec();
}

} // namespace q7::app::gui
