#include "app/gui/DiffWindow.h"

#include "app/DiffTables.h"
#include "app/gui/ExplosionDiffModel.h"
#include "host/db/AccountDatabase.h"
#include "host/process/ops/Parts.h"
#include "platform/AutomationError.h"
#include "platform/data/Ado.h"

#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeView>
#include <QVBoxLayout>

namespace q7::app::gui {

using host::db::procedures::DiffChange;

DiffWindow::DiffWindow(const QString& accountPath, const QString& item, const QString& at, const QString& against, QWidget* parent)
    : QWidget(parent), model_(new ExplosionDiffModel(this))
{
    setObjectName(QStringLiteral("explosionDiff"));
    setWindowTitle(QStringLiteral("%1 的展开比较：%2 → %3").arg(item, at, against));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* legend = new QLabel(this);
    legend->setContentsMargins(6, 4, 6, 4);
    const auto swatch = [](DiffChange change, const char* text) {
        return QStringLiteral("<span style=\"background:%1\">&nbsp;%2&nbsp;</span>")
            .arg(ExplosionDiffModel::colourOf(change).name(), QString::fromUtf8(text));
    };
    legend->setText(QStringLiteral("<b>%1</b>　%2 对 %3　%4 %5 %6")
                        .arg(item.toHtmlEscaped(), at, against, swatch(DiffChange::Added, "新增"), swatch(DiffChange::Removed, "删除"),
                             swatch(DiffChange::Changed, "修改")));

    tree_ = new QTreeView(this);
    tree_->setObjectName(QStringLiteral("diffTree"));
    tree_->setModel(model_);
    tree_->setUniformRowHeights(true);
    tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    totals_ = new QTableView(this);
    totals_->setObjectName(QStringLiteral("diffTotals"));
    totals_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    totals_->verticalHeader()->hide();
    totals_->verticalHeader()->setDefaultSectionSize(totals_->fontMetrics().height() + 6);
    totals_->horizontalHeader()->setStretchLastSection(true);
    auto* totalsModel = new QStandardItemModel(this);
    totals_->setModel(totalsModel);

    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(tree_);
    split->addWidget(totals_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setContentsMargins(6, 2, 6, 2);
    layout->addWidget(legend);
    layout->addWidget(split, 1);
    layout->addWidget(status_);

    try {
        data::Connection connection;
        connection.Open(host::db::connectionStringFor(accountPath));
        const auto part = host::process::ops::findPart(connection.database(), host::process::ops::PartKey::fromLabel(item));
        if (!part)
            throw AutomationError(ErrBadCallOrArgument, QStringLiteral("%1 不是物料").arg(item));
        model_->setDiff(host::db::procedures::diffExplosions(connection, {*part, at, 0}, {*part, against, 0}));
    } catch (const AutomationError& error) {
        status_->setText(error.description());
        return;
    }
    const auto& diff = model_->diff();
    const OutputTable table = diffTotalsTable(diff);
    totalsModel->setHorizontalHeaderLabels(table.headers);
    for (const QVariantList& row : table.rows) {
        QList<QStandardItem*> items;
        for (const QVariant& cell : row) {
            auto* cellItem = new QStandardItem(cell.metaType().id() == QMetaType::Double ? OutputTable::displayNumber(cell.toDouble()) : cell.toString());
            if (cell.metaType().id() == QMetaType::Double)
                cellItem->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            items.append(cellItem);
        }
        totalsModel->appendRow(items);
    }
    tree_->expandAll();
    for (int c = 0; c < model_->columnCount(); ++c)
        tree_->resizeColumnToContents(c);
    totals_->resizeColumnsToContents();
    status_->setText(QStringLiteral("%1 行对 %2 行：新增 %3，删除 %4，修改 %5；%6 个子件的累计用量不同")
                         .arg(diff.rowsBefore)
                         .arg(diff.rowsAfter)
                         .arg(diff.count(DiffChange::Added))
                         .arg(diff.count(DiffChange::Removed))
                         .arg(diff.count(DiffChange::Changed))
                         .arg(diff.totals.size()));
}

QString DiffWindow::status() const { return status_->text(); }

} // namespace q7::app::gui
