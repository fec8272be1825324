#pragma once

#include "app/gui/ModuleMenu.h"

#include <QMainWindow>

class QMdiArea;
class QMdiSubWindow;

namespace q7::gui {

// The workbench: plays the host for the BOM module. Each menu entry asks the
// component's program definition what it is and opens the matching window
// in the MDI area: 5 the report viewer, 6 the maintenance form, 3 the voucher;
// 8 says in the status bar that the browse is not opened here yet; 2 opens nothing.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(const QString& accountPath);

    const QString& accountPath() const { return accountPath_; }
    void setAccount(const QString& path);
    // Opens a menu entry as the host does; the new subwindow, or nullptr when none opened.
    QMdiSubWindow* openEntry(const QString& menuKey);
    QMdiArea* area() const { return area_; }
    QString statusText() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void chooseAccount();
    QMdiSubWindow* addWindow(QWidget* widget, const QString& menuKey);

    QString accountPath_;
    QMdiArea* area_ = nullptr;
};

} // namespace q7::gui
