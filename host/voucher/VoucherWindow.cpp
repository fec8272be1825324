#include "host/voucher/VoucherWindow.h"

#include "host/MessagePresenter.h"
#include "host/ui/DialogDriver.h"
#include "host/voucher/VoucherToolbar.h"
#include "platform/VoucherTypes.h"
#include "platform/values/Values.h"
#include "platform/forms/BasicControls.h"
#include "platform/forms/Grid.h"
#include "platform/forms/Keys.h"
#include "platform/forms/Units.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

namespace q7::host::voucher {

namespace {
constexpr double Margin = 90;
constexpr double ButtonWidth = 900, ButtonHeight = 390;
constexpr double LabelWidth = 1250, FieldWidth = 2700, RowHeight = 400;
constexpr int HeadColumns = 3;
} // namespace

VoucherWindow::VoucherWindow(QSharedPointer<VoucherForm> voucher) : voucher_(std::move(voucher))
{
    setCaption(QStringLiteral("物料清单 - q7bom"));
    helpContextId = voucher_->helpId();
    setWidthTwips(15600 + FramePixelsX * forms::Screen::twipsPerPixelX());
    setHeightTwips(8400 + FramePixelsY * forms::Screen::twipsPerPixelY());
    for (const QString& key : voucher_->voucher().headKeys())
        if (key != QLatin1String("ParentId"))
            headKeys_.append(key);
    for (int i = 0; i < headKeys_.size(); ++i) {
        auto* label = add<forms::Label>(QStringLiteral("lblHead"), i);
        label->setCaption(voucher_->voucher().itemState(headKeys_[i], VoucherControl::Head).sFieldName);
        labels_.append(label);
        fields_.append(add<forms::TextBox>(QStringLiteral("txtHead"), i));
    }
    grid_ = add<forms::Grid>(QStringLiteral("grdBody"));
    Form_Resize();
    refresh();
    auto* go = new QAction(QStringLiteral("转到物料…"), window());
    go->setObjectName(QStringLiteral("goToItem"));
    go->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    go->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    window()->addAction(go);
    QObject::connect(go, &QAction::triggered, this, [this] { goToItem(); });
}

void VoucherWindow::goToItem()
{
    if (voucher_->voucher().status() != q7::StatusBrowse) {
        setStatus(QStringLiteral("录入中不能转到其他物料"));
        return;
    }
    QDialog dialog(window());
    dialog.setObjectName(QStringLiteral("goToItemDialog"));
    dialog.setWindowTitle(QStringLiteral("转到物料"));
    auto* code = new QLineEdit(&dialog);
    code->setObjectName(QStringLiteral("code"));
    auto* pick = new QAction(code);
    pick->setShortcut(QKeySequence(Qt::Key_F2));
    pick->setShortcutContext(Qt::WidgetShortcut);
    code->addAction(pick);
    QObject::connect(pick, &QAction::triggered, &dialog, [this, code] {
        if (const QVariant picked = voucher_->pickItem(code->text()); picked.isValid())
            code->setText(values::toTextOrEmpty(picked));
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QFormLayout(&dialog);
    layout->addRow(QStringLiteral("母件编码（F2 参照）"), code);
    layout->addRow(buttons);
    if (ui::runDialog(dialog) != QDialog::Accepted || code->text().trimmed().isEmpty())
        return;
    if (!voucher_->goToItem(code->text())) {
        const QString said = QStringLiteral("物料 [ %1 ] 没有物料清单").arg(code->text().trimmed());
        setStatus(said);
        messagePresenter().present({MessageKind::Info, said, {}, said});
        return;
    }
    refresh();
    setStatus(QStringLiteral("%1 的物料清单").arg(code->text().trimmed()));
}

void VoucherWindow::Form_Resize()
{
    for (int i = 0; i < fields_.size(); ++i) {
        const double left = Margin + (i % HeadColumns) * (LabelWidth + FieldWidth + 2 * Margin);
        const double top = Margin * 2 + ButtonHeight + (i / HeadColumns) * RowHeight;
        labels_[i]->setGeometryTwips(left, top + 45, LabelWidth, RowHeight - 90);
        fields_[i]->setGeometryTwips(left + LabelWidth, top, FieldWidth, RowHeight - 60);
    }
    const double gridTop = Margin * 3 + ButtonHeight + ((fields_.size() + HeadColumns - 1) / HeadColumns) * RowHeight;
    if (grid_)
        grid_->setGeometryTwips(Margin, gridTop, std::max(0.0, innerWidthTwips() - 2 * Margin), std::max(0.0, innerHeightTwips() - gridTop - Margin));
}

void VoucherWindow::refresh()
{
    // Toolbar: one button per voucher button, in its order (made when new ones appear).
    const auto& vbuttons = voucher_->buttons().buttons();
    for (qsizetype i = buttonKeys_.size(); i < vbuttons.size(); ++i) {
        auto* button = add<forms::CommandButton>(QStringLiteral("cmdTool"), int(i));
        button->setGeometryTwips(Margin + i * (ButtonWidth + 30), Margin, ButtonWidth, ButtonHeight);
        buttons_.append(button);
        buttonKeys_.append(vbuttons[i]->key);
    }
    for (qsizetype i = 0; i < vbuttons.size(); ++i) {
        buttons_[i]->setCaption(vbuttons[i]->caption);
        buttons_[i]->setEnabled(vbuttons[i]->enabled);
    }

    VoucherControl& ctl = voucher_->voucher();
    for (int i = 0; i < headKeys_.size(); ++i) {
        fields_[i]->setText(values::toTextOrEmpty(ctl.headerText(headKeys_[i])));
        // Browsing shows every field plainly; while entering, locked fields are greyed.
        const bool open = ctl.headEnabled(headKeys_[i]) && ctl.itemState(headKeys_[i], VoucherControl::Head).bCanModify;
        fields_[i]->locked = ctl.status() == 0;
        fields_[i]->setEnabled(ctl.status() == 0 || open);
    }

    QStringList columns;
    for (const QString& key : ctl.bodyKeys())
        if (ctl.itemState(key, VoucherControl::Body).bVisible)
            columns.append(key);
    bodyColumns_ = columns;
    const bool editing = ctl.status() != 0;
    grid_->editable = editing;
    grid_->setRedraw(false);
    grid_->setCols(int(columns.size()) + 1);
    grid_->setRows(ctl.rows() + 1 + (editing ? 1 : 0)); // while editing, a blank row to type a new line into
    grid_->setFixedRows(1);
    grid_->setFixedCols(1);
    grid_->SetColWidth(0, 400);
    for (int c = 0; c < columns.size(); ++c) {
        const QString caption = ctl.itemState(columns[c], VoucherControl::Body).sFieldName;
        grid_->SetTextMatrix(0, c + 1, caption);
        grid_->SetColWidth(c + 1, std::max(900.0, caption.size() * 210.0 + 120));
    }
    for (int r = 1; r <= ctl.rows(); ++r) {
        grid_->SetTextMatrix(r, 0, QString::number(r));
        for (int c = 0; c < columns.size(); ++c) {
            QString text = values::toTextOrEmpty(ctl.bodyText(r, columns[c]));
            if (columns[c] == QLatin1String("DQty") && !text.isEmpty())
                text = QString::number(values::toDouble(text), 'f', 4);
            grid_->SetTextMatrix(r, c + 1, text);
        }
    }
    if (editing) {
        grid_->SetTextMatrix(ctl.rows() + 1, 0, QStringLiteral("*"));
        for (int c = 0; c < columns.size(); ++c)
            grid_->SetTextMatrix(ctl.rows() + 1, c + 1, QString());
    }
    grid_->setRedraw(true);
}

void VoucherWindow::grdBody_CellChanged(int row, int col, const QString& text, QVariant& cancel)
{
    const QString key = bodyColumns_.value(col - 1);
    int line = row;
    if (key.isEmpty() || (line > voucher_->voucher().rows() && values::trim(text).isEmpty())) {
        cancel = true;
        return;
    }
    if (line > voucher_->voucher().rows())
        line = voucher_->addRow();
    if (!voucher_->typeBody(line, key, text))
        cancel = true;
    refresh();
}

void VoucherWindow::cmdTool_Click(int index)
{
    const QString key = buttonKeys_.value(index);
    const bool saving = key == QLatin1String("tlbSave") && voucher_->voucher().status() != 0;
    if (VoucherToolbar::standardKeys().contains(key))
        voucher_->ExecuteMenuTask(key);
    else
        voucher_->runTask(key);
    refresh();
    if (saving)
        afterSave(voucher_->voucher().status() == 0);
}

// A save that went through says so in the status bar; a refused one leaves the
// voucher as it was (its message has been shown) with the focus on the field at fault.
void VoucherWindow::afterSave(bool saved)
{
    if (!saved) {
        setStatus(QString());
        focusField(voucher_->lastRefusal().line, voucher_->lastRefusal().field);
        return;
    }
    const VoucherControl& ctl = voucher_->voucher();
    const QString code = values::toTextOrEmpty(ctl.headerText(QStringLiteral("cInvCode")));
    const QString version = values::toTextOrEmpty(ctl.headerText(QStringLiteral("Version")));
    const QString ident = values::toTextOrEmpty(ctl.headerText(QStringLiteral("IdentCode")));
    QString which = code;
    if (!version.isEmpty())
        which += QStringLiteral(" 版本 ") + version;
    else if (!ident.isEmpty())
        which += QStringLiteral(" 替代标识 ") + ident;
    setStatus(QStringLiteral("已保存：%1（%2 行）").arg(which).arg(ctl.rows()));
}

void VoucherWindow::focusField(int line, const QString& key)
{
    if (key.isEmpty())
        return;
    if (const qsizetype head = headKeys_.indexOf(key); head >= 0 && line <= 0) {
        fields_[head]->SetFocus();
        return;
    }
    const qsizetype column = bodyColumns_.indexOf(key);
    if (column < 0 || line < 1 || line >= grid_->rows())
        return;
    grid_->selectCell(line, int(column) + 1);
    grid_->SetFocus();
}

QWidget* VoucherWindow::fieldEdit(const QString& key) const
{
    const qsizetype i = headKeys_.indexOf(key);
    return i >= 0 ? fields_[i]->existingWidget() : nullptr;
}

void VoucherWindow::setStatus(const QString& text)
{
    status_ = text;
    if (!text.isEmpty())
        emit statusChanged(text);
}

void VoucherWindow::txtHead_KeyDown(int index, QVariant& keyCode, const QVariant&)
{
    if (values::toLong(keyCode) != forms::KeyF2)
        return;
    if (voucher_->browseHead(headKeys_.value(index)))
        keyCode = 0;
    refresh();
}

void VoucherWindow::grdBody_KeyDown(QVariant& keyCode, const QVariant&)
{
    if (values::toLong(keyCode) != forms::KeyF2)
        return;
    keyCode = 0; // F2 is the reference here, not the grid's own editing key
    const int row = grid_->row(), col = grid_->col();
    const QString key = bodyColumns_.value(col - 1);
    VoucherControl& ctl = voucher_->voucher();
    if (key.isEmpty() || ctl.status() == 0 || row < 1)
        return;
    int line = row;
    const bool newLine = line > ctl.rows();
    if (newLine)
        line = voucher_->addRow();
    if (!voucher_->browseBody(line, key) && newLine)
        voucher_->voucher().removeRow(line);
    refresh();
    grid_->selectCell(line, col);
}

void VoucherWindow::txtHead_Validate(int index, QVariant& cancel)
{
    const QString key = headKeys_.value(index);
    const QString typed = fields_[index]->text();
    if (typed == values::toTextOrEmpty(voucher_->voucher().headerText(key)))
        return;
    if (!voucher_->typeHead(key, typed))
        cancel = true;
    refresh();
}

} // namespace q7::host::voucher
