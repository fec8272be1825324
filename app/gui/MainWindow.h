#pragma once

#include "app/gui/ModuleMenu.h"

#include "host/browse/AccountContext.h"
#include "host/report/ReportViewer.h"
#include "platform/ObjectRef.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <memory>

class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace q7::host {
class ScopedPresenter;
}

namespace q7::app::gui {

struct PartLink;

// The workbench: plays the host for the BOM module. Each menu entry asks the
// component's program definition what it is and opens the matching window
// in the MDI area: 5 the report viewer, 6 the maintenance form, 3 the voucher;
// 8 asks the component's view factory for the browse view and enters it with
// the account context (the view is a window of its own and opens its
// condition dialog when it first shows); 2 opens nothing.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(const QString& accountPath);
    ~MainWindow() override;

    const QString& accountPath() const { return accountPath_; }
    void setAccount(const QString& path);
    // Opens a menu entry as the host does; the new subwindow, or nullptr when none opened.
    QMdiSubWindow* openEntry(const QString& menuKey);
    QMdiArea* area() const { return area_; }
    QString statusText() const;
    const QList<Object>& views() const { return views_; }
    // Opens where a part in a report leads: its BOM, its uses, its explosion, its browse.
    QMdiSubWindow* followLink(const PartLink& link);
    // Back to the window shown before, and forward again.
    void goBack();
    void goForward();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void unloadViews();
    void buildMenus();
    void chooseAccount();
    QMdiSubWindow* addWindow(QWidget* widget, const QString& menuKey, bool openFilter);
    void openView(const QString& menuKey);
    QMdiSubWindow* openReport(const QString& menuKey, const QList<host::report::FilterSetting>& settings);
    void fillWindowMenu();
    void remember(QMdiSubWindow* window);

    QString accountPath_;
    QSharedPointer<host::browse::AccountContext> account_; // the views' account, opened with the first view
    QList<Object> views_;                          // the views entered, held as the host holds them
    QMdiArea* area_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QList<QPointer<QMdiSubWindow>> visited_; // the windows in the order the user went to them
    qsizetype here_ = -1;                     // where in visited_ the user is
    bool travelling_ = false;                 // going back or forward: nothing new to remember
    std::unique_ptr<host::ScopedPresenter> messages_; // the libraries' messages as message boxes of this window
};

} // namespace q7::app::gui
