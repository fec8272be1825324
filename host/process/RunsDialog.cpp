#include "host/process/RunsDialog.h"

#include "host/MessagePresenter.h"
#include "host/process/ops/Journal.h"
#include "host/ui/Confirm.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace q7::host::process {

namespace {
constexpr int RunIdRole = Qt::UserRole + 1;
constexpr int UndoneRole = Qt::UserRole + 2;
} // namespace

RunsDialog::RunsDialog(data::Connection& connection, QString user, QWidget* parent)
    : QDialog(parent), connection_(connection), user_(std::move(user))
{
    setWindowTitle(QStringLiteral("运行记录"));
    setObjectName(QStringLiteral("maintenanceRuns"));
    table_ = new QTableWidget(this);
    table_->setColumnCount(7);
    table_->setHorizontalHeaderLabels({QStringLiteral("运行"), QStringLiteral("操作"), QStringLiteral("用户"), QStringLiteral("时间"),
                                       QStringLiteral("行数"), QStringLiteral("摘要"), QStringLiteral("撤销")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    auto* buttons = new QDialogButtonBox(this);
    undo_ = buttons->addButton(QStringLiteral("撤销所选运行"), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close)->setText(QStringLiteral("关闭"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("撤销把一次运行改过的行恢复原样；这些行在运行后又被修改时不能撤销。"), this));
    layout->addWidget(table_);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(undo_, &QPushButton::clicked, this, [this] { undoRow(table_->currentRow()); });
    connect(table_, &QTableWidget::currentCellChanged, this, [this] { updateButtons(); });
    resize(900, 420);
    refresh();
}

void RunsDialog::refresh()
{
    QList<ops::RunRecord> runs = ops::maintenanceRuns(connection_);
    std::sort(runs.begin(), runs.end(), [](const ops::RunRecord& a, const ops::RunRecord& b) { return a.runId > b.runId; });
    table_->setRowCount(static_cast<int>(runs.size()));
    for (int r = 0; r < runs.size(); ++r) {
        const ops::RunRecord& run = runs[r];
        const QString undone = run.undoneAt.isEmpty() ? QString() : QStringLiteral("%1 %2").arg(run.undoneAt, run.undoneBy);
        const QStringList cells{QString::number(run.runId), run.operation, run.user,  run.runAt,
                                QString::number(run.changes), run.summary, undone};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setData(RunIdRole, run.runId);
            item->setData(UndoneRole, !run.undoneAt.isEmpty());
            if (c == 5)
                item->setToolTip(run.summary);
            table_->setItem(r, c, item);
        }
    }
    table_->resizeColumnsToContents();
    if (!runs.isEmpty())
        table_->selectRow(0);
    updateButtons();
}

void RunsDialog::updateButtons()
{
    const QTableWidgetItem* item = table_->item(table_->currentRow(), 0);
    undo_->setEnabled(item && !item->data(UndoneRole).toBool());
}

bool RunsDialog::undoRow(int row)
{
    const QTableWidgetItem* item = table_->item(row, 0);
    if (!item || item->data(UndoneRole).toBool())
        return false;
    const int runId = item->data(RunIdRole).toInt();
    const QString summary = table_->item(row, 5)->text();
    if (!ui::confirm(this, QStringLiteral("撤销运行 %1（%2）？").arg(runId).arg(summary)))
        return false;
    try {
        const ops::OperationResult result = ops::undoRun(connection_, runId, user_);
        refresh();
        messagePresenter().present({MessageKind::Info, result.summary, {}, result.summary});
        return true;
    } catch (const AutomationError& refused) {
        messagePresenter().present({MessageKind::Error, refused.description(), {}, refused.description()});
        return false;
    }
}

} // namespace q7::host::process
