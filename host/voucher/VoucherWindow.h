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
    VoucherForm& voucher() const { return *voucher_; }

    Q_INVOKABLE void cmdTool_Click(int index);
    Q_INVOKABLE void txtHead_Validate(int index, QVariant& cancel);
    // A line typed into the body grid; the blank row below the lines adds a line.
    Q_INVOKABLE void grdBody_CellChanged(int row, int col, const QString& text, QVariant& cancel);
    Q_INVOKABLE void Form_Resize();

private:
    QSharedPointer<VoucherForm> voucher_;
    QStringList buttonKeys_;
    QStringList headKeys_;
    QStringList bodyColumns_; // the body keys shown, in grid column order from 1
    QList<forms::CommandButton*> buttons_;
    QList<forms::Label*> labels_;
    QList<forms::TextBox*> fields_;
    forms::Grid* grid_ = nullptr;
};

} // namespace q7::host::voucher
