#pragma once

#include <QDialog>
#include <QMenu>

#include <functional>

// How the host's own dialogs and menus meet the user. A driver, when set,
// acts for the user (scripted sessions, tests): it gets the dialog or menu
// while it is up and presses its keys or triggers its entries. Without a
// driver a dialog runs modally; on the offscreen platform, where nobody can
// answer, it is cancelled.
namespace q7::host::ui {

using DialogDriver = std::function<void(QWidget&)>;
void setDialogDriver(DialogDriver driver);

// Runs the dialog; QDialog::Accepted or QDialog::Rejected.
int runDialog(QDialog& dialog);
// Shows the menu at the cursor; the chosen action or null.
QAction* runMenu(QMenu& menu);

// Sends a key press (and release) to a widget, as the keyboard does.
void pressKey(QWidget& widget, int key);

} // namespace q7::host::ui
