#include "app/gui/ReportWindow.h"

#include "app/OutputTable.h"
#include "app/gui/CellValue.h"
#include "app/gui/FilterDialog.h"
#include "app/gui/FilterMemory.h"
#include "app/gui/ReportExport.h"
#include "app/gui/ReportPrint.h"
#include "platform/AutomationError.h"

#include <QAction>
#include <QDialog>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

#include <limits>

namespace q7::gui {

namespace {

constexpr int ValueRole = Qt::UserRole + 1;

QStandardItem* cell(const QVariant& value)
{
    auto* item = new QStandardItem;
    item->setEditable(false);
    if (isEmptyCell(value)) {
        item->setData(QVariant(), ValueRole);
        return item;
    }
    item->setData(value, ValueRole);
    if (isNumberCell(value)) {
        item->setText(OutputTable::displayNumber(value.toDouble()));
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    } else {
        item->setText(value.toString());
    }
    return item;
}

} // namespace

ReportWindow::ReportWindow(const QString& reportKey, const QString& accountPath, QWidget* parent)
    : QWidget(parent), document_(reportKey, accountPath)
{
    setObjectName(QStringLiteral("report_") + reportKey);
    setWindowTitle(document_.title());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* tools = new QToolBar(this);
    const auto tool = [this, tools](const QString& text, auto slot) {
        QAction* action = tools->addAction(text);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    QAction* filter = tool(QStringLiteral("过滤 (F3)"), [this] { openFilter(); });
    filter->setShortcut(QKeySequence(Qt::Key_F3));
    filter->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(filter); // F3 anywhere in the window, not only on the toolbar
    tool(QStringLiteral("导出 CSV"), [this] { chooseExport(false); });
    tool(QStringLiteral("导出 XLSX"), [this] { chooseExport(true); });
    tool(QStringLiteral("导出 PDF"), [this] { choosePdf(); });
    tool(QStringLiteral("打印预览"), [this] { printPreview(); });
    tool(QStringLiteral("语句"), [this] { showStatement(); });
    layout->addWidget(tools);

    model_ = new QStandardItemModel(this);
    model_->setSortRole(ValueRole);
    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("grid"));
    grid_->setModel(model_);
    grid_->setSortingEnabled(true);
    grid_->horizontalHeader()->setSortIndicatorShown(true);
    grid_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder); // report order until the user sorts
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    layout->addWidget(grid_, 1);
    status_ = new QLabel(QStringLiteral("按 F3 设置过滤条件"), this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setContentsMargins(6, 2, 6, 2);
    layout->addWidget(status_);
}

ReportWindow::~ReportWindow() = default;

FilterDialog* ReportWindow::filterDialog() const { return dialog_.data(); }

FilterDialog* ReportWindow::openFilter()
{
    if (dialog_)
        return dialog_;
    auto* dialog = new FilterDialog(document_, [this](const auto& settings, int angle) { return runWithProgress(settings, angle); }, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    if (const auto remembered = rememberedFilter(document_.key()))
        dialog->setValues(remembered->settings, remembered->angle);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        rememberFilter(document_.key(), {dialog->settings(), dialog->angle()});
        showRun(dialog->lastRun());
    });
    dialog_ = dialog;
    dialog->open();
    return dialog;
}

ReportRun ReportWindow::runWithProgress(const QList<host::report::FilterSetting>& settings, int angle)
{
    // A run that takes more than half a second shows how far it got and can be
    // stopped. Events are handled only while the (application-modal) progress
    // dialog is up, so nothing else can close this window or start another run.
    QProgressDialog progress(QStringLiteral("正在查询…"), QStringLiteral("取消"), 0, 0, this);
    progress.setWindowTitle(document_.title());
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(std::numeric_limits<int>::max()); // shown below, not by its own timer
    QElapsedTimer running, sinceEvents;
    running.start();
    sinceEvents.start();
    const ReportRun run = document_.run(settings, angle, [&](qint64 rows) {
        if (running.elapsed() < 500 || sinceEvents.elapsed() < 100)
            return true;
        sinceEvents.restart();
        if (!progress.isVisible())
            progress.show();
        progress.setLabelText(QStringLiteral("已读 %1 行…").arg(rows));
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    });
    if (run.cancelled)
        status_->setText(QStringLiteral("已取消（%1 秒）").arg(run.elapsedMs / 1000.0, 0, 'f', 3));
    return run;
}

void ReportWindow::showRun(const ReportRun& run)
{
    statement_ = run.statement;
    model_->clear();
    model_->setHorizontalHeaderLabels(run.rows.columns);
    for (const auto& row : run.rows.rows) {
        QList<QStandardItem*> items;
        for (const QVariant& value : row)
            items.append(cell(value));
        model_->appendRow(items);
    }
    grid_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    grid_->resizeColumnsToContents();
    status_->setText(QStringLiteral("%1 行，用时 %2 秒").arg(run.rows.rows.size()).arg(run.elapsedMs / 1000.0, 0, 'f', 3));
}

QStringList ReportWindow::headings() const
{
    QStringList list;
    for (int c = 0; c < model_->columnCount(); ++c)
        list.append(model_->headerData(c, Qt::Horizontal).toString());
    return list;
}

QList<QVariantList> ReportWindow::gridRows() const
{
    QList<QVariantList> rows;
    for (int r = 0; r < model_->rowCount(); ++r) {
        QVariantList row;
        for (int c = 0; c < model_->columnCount(); ++c)
            row.append(model_->item(r, c)->data(ValueRole));
        rows.append(row);
    }
    return rows;
}

QString ReportWindow::status() const { return status_->text(); }

void ReportWindow::exportCsv(const QString& path) const { writeCsv(path, headings(), gridRows()); }
void ReportWindow::exportXlsx(const QString& path) const { writeXlsx(path, document_.title(), headings(), gridRows()); }

PrintedReport ReportWindow::printed() const { return {document_.title(), status(), headings(), gridRows()}; }

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

} // namespace q7::gui
