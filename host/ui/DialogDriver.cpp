#include "host/ui/DialogDriver.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>

namespace q7::host::ui {

namespace {
DialogDriver& driver()
{
    static DialogDriver d;
    return d;
}
bool offscreen() { return QGuiApplication::platformName() == QLatin1String("offscreen"); }
} // namespace

void setDialogDriver(DialogDriver d) { driver() = std::move(d); }

int runDialog(QDialog& dialog)
{
    if (driver()) {
        dialog.setResult(QDialog::Rejected);
        dialog.show();
        driver()(dialog);
        const int result = dialog.result();
        dialog.hide();
        return result;
    }
    if (offscreen())
        return QDialog::Rejected;
    return dialog.exec();
}

QAction* runMenu(QMenu& menu)
{
    if (driver()) {
        QAction* chosen = nullptr;
        const auto connection = QObject::connect(&menu, &QMenu::triggered, [&chosen](QAction* action) { chosen = action; });
        driver()(menu);
        QObject::disconnect(connection);
        return chosen;
    }
    if (offscreen())
        return nullptr;
    return menu.exec(QCursor::pos());
}

void pressKey(QWidget& widget, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &release);
}

} // namespace q7::host::ui
