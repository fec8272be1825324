#include "app/gui/SyntheticAccountDialog.h"

#include "platform/AutomationError.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>

namespace q7::app::gui {

namespace {
QSpinBox* sizeBox(int value, int max, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setRange(1, max);
    box->setValue(value);
    box->setGroupSeparatorShown(true);
    return box;
}
} // namespace

SyntheticAccountDialog::SyntheticAccountDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("新建模拟账套"));
    const host::db::SyntheticOptions defaults;
    auto* form = new QFormLayout(this);
    path_ = new QLineEdit(QDir::home().filePath(QStringLiteral("synthetic.db")), this);
    auto* browse = new QPushButton(QStringLiteral("…"), this);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString chosen = QFileDialog::getSaveFileName(this, windowTitle(), path_->text(), QStringLiteral("账套 (*.db)"),
                                                            nullptr, QFileDialog::DontConfirmOverwrite);
        if (!chosen.isEmpty())
            path_->setText(chosen);
    });
    auto* row = new QHBoxLayout;
    row->addWidget(path_, 1);
    row->addWidget(browse);
    form->addRow(QStringLiteral("文件"), row);
    parts_ = sizeBox(defaults.parts, 100'000'000, this);
    depth_ = sizeBox(defaults.depth, 1000, this);
    fanout_ = sizeBox(defaults.fanout, 10'000, this);
    form->addRow(QStringLiteral("物料数"), parts_);
    form->addRow(QStringLiteral("层数"), depth_);
    form->addRow(QStringLiteral("每个BOM的子件数"), fanout_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

QString SyntheticAccountDialog::path() const { return path_->text().trimmed(); }

host::db::SyntheticOptions SyntheticAccountDialog::options() const
{
    host::db::SyntheticOptions options;
    options.parts = parts_->value();
    options.depth = depth_->value();
    options.fanout = fanout_->value();
    return options;
}

QString SyntheticAccountDialog::create()
{
    const QString target = path();
    if (target.isEmpty())
        return {};
    auto existing = host::db::Existing::Refuse;
    if (QFileInfo::exists(target)) {
        if (QMessageBox::question(this, windowTitle(), QStringLiteral("%1 已存在，替换吗？").arg(target)) != QMessageBox::Yes)
            return {};
        existing = host::db::Existing::Replace;
    }
    QProgressDialog progress(QStringLiteral("正在生成账套…"), QString(), 0, 1000, this);
    progress.setWindowTitle(windowTitle());
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(300);
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    try {
        host::db::createSyntheticAccount(target, options(), [&](int64_t done, int64_t total) {
            if (sinceEvents.elapsed() < 100)
                return;
            sinceEvents.restart();
            progress.setValue(total > 0 ? static_cast<int>(done * 1000 / total) : 0);
            QCoreApplication::processEvents();
        }, existing);
    } catch (const AutomationError& error) {
        QMessageBox::warning(this, windowTitle(), error.description());
        return {};
    }
    return target;
}

} // namespace q7::app::gui
