#pragma once

#include "host/process/ops/OperationResult.h"
#include "platform/forms/Form.h"

#include <QStringList>
#include <QVariant>

#include <optional>

namespace q7::forms {
class Label;
class TextBox;
class ComboBox;
class CommandButton;
class Grid;
} // namespace q7::forms

namespace q7::host::process {

class ProcessForm;

// The window of a maintenance parameter form: a label and an edit box (or a
// drop-down list) per head field the user fills, the item's name and
// model beside its code, the form's description, buttons to preview
// and run the operation, and a grid of the rows it reports. Every input goes
// to the ProcessForm model, which raises the handler's events; the window
// then shows the model again.
class ProcessFormWindow : public forms::Form {
    Q_OBJECT
public:
    explicit ProcessFormWindow(ProcessForm& model);

    // Shows the model's values, enabled states and lists.
    void showModel();
    // What the buttons do (also reached by tests and the screenshot).
    void preview();
    // Asks first, with the count of rows the preview found.
    void runOperation();
    // The account's runs, with undo.
    void showRuns();

    // Control events (index first for the control arrays).
    Q_INVOKABLE void txtField_Validate(int index, QVariant& cancel);
    Q_INVOKABLE void cboField_Click(int index);
    // F2 in a field opens its reference list (the handler's ColumnBrowUser).
    Q_INVOKABLE void txtField_KeyDown(int index, QVariant& keyCode, const QVariant& shift);
    Q_INVOKABLE void cmdPreview_Click() { preview(); }
    Q_INVOKABLE void cmdRun_Click() { runOperation(); }
    Q_INVOKABLE void cmdExit_Click() { Unload(); }
    Q_INVOKABLE void cmdRuns_Click() { showRuns(); }

    QString status() const;
    // The edit box or drop-down list that shows a field (nullptr when the window does not show it).
    forms::TextBox* textBox(const QString& key) const;
    forms::ComboBox* listBox(const QString& key) const;
    const forms::Grid& resultGrid() const { return *grid_; }

private:
    void layOut();
    bool commitTyped();
    // Runs (or previews) the operation and shows its rows; nothing on a refusal, which is shown.
    std::optional<ops::OperationResult> attempt(bool dryRun);
    void showResult(const ops::OperationResult& result);
    void clearResult();
    void setStatus(const QString& text);

    ProcessForm& model_;
    QStringList textKeys_;  // txtField(i) shows textKeys_[i]
    QStringList listKeys_;  // cboField(i) shows listKeys_[i]
    QList<forms::TextBox*> texts_;
    QList<forms::ComboBox*> lists_;
    forms::Label* status_ = nullptr;
    forms::Grid* grid_ = nullptr;
    bool showing_ = false;
};

} // namespace q7::host::process
