#pragma once

#include "host/voucher/VoucherForm.h"
#include "platform/forms/Form.h"

#include <QStringList>

namespace q7::forms {
class CommandButton;
class Grid;
class Label;
class TextBox;
} // namespace q7::forms

namespace q7::host::voucher {

// The BOM voucher's window: the voucher's toolbar as a row of buttons, its
// head fields (locked ones greyed) and its body grid. Typing into a head
// field goes to the voucher when the field is left; a refused value keeps
// the focus there.
class VoucherWindow : public forms::Form {
    Q_OBJECT
public:
    explicit VoucherWindow(QSharedPointer<VoucherForm> voucher);

    // Shows the voucher's current state.
    void refresh();
    // What the last toolbar task came to, as the status bar shows it ("" when it said nothing).
    const QString& statusText() const { return status_; }
    // The widget that shows a head field (nullptr for a field the window does not show).
    QWidget* fieldEdit(const QString& key) const;
    VoucherForm& voucher() const { return *voucher_; }

    Q_INVOKABLE void cmdTool_Click(int index);
    Q_INVOKABLE void txtHead_Validate(int index, QVariant& cancel);
    // F2 in a head field opens its reference (the field's pick list).
    Q_INVOKABLE void txtHead_KeyDown(int index, QVariant& keyCode, const QVariant& shift);
    // A line typed into the body grid; the blank row below the lines adds a line.
    Q_INVOKABLE void grdBody_CellChanged(int row, int col, const QString& text, QVariant& cancel);
    // F2 in a body cell opens its reference; on the blank row below the lines it starts a new line.
    Q_INVOKABLE void grdBody_KeyDown(QVariant& keyCode, const QVariant& shift);
    Q_INVOKABLE void Form_Resize();
    // Go to item (Ctrl+G): asks for the parent's code (F2 picks it) and shows its BOM.
    void goToItem();

signals:
    // A task came to something the user should read in the status bar (a save that succeeded).
    void statusChanged(const QString& text);

private:
    void afterSave(bool saved);
    void focusField(int line, const QString& key);
    void setStatus(const QString& text);

    QSharedPointer<VoucherForm> voucher_;
    QString status_;
    QStringList buttonKeys_;
    QStringList headKeys_;
    QStringList bodyColumns_; // the body keys shown, in grid column order from 1
    QList<forms::CommandButton*> buttons_;
    QList<forms::Label*> labels_;
    QList<forms::TextBox*> fields_;
    forms::Grid* grid_ = nullptr;
};

} // namespace q7::host::voucher
