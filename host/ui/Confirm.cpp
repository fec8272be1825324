#include "host/ui/Confirm.h"

#include "host/ui/DialogDriver.h"

#include <QMessageBox>

namespace q7::host::ui {

bool confirm(QWidget* owner, const QString& question)
{
    QWidget* window = owner ? owner->window() : nullptr;
    QMessageBox box(QMessageBox::Question, window ? window->windowTitle() : QString(), question, QMessageBox::Yes | QMessageBox::No, window);
    box.setObjectName(QStringLiteral("confirm"));
    box.setDefaultButton(QMessageBox::No);
    return runDialog(box) == QMessageBox::Yes;
}

} // namespace q7::host::ui
