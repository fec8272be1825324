#pragma once

#include <QSharedPointer>
#include <QWidget>

#include <memory>

namespace q7::host::browse {
class AccountContext;
}
namespace q7::host::process {
class ProcessSession;
class ProcessFormWindow;
} // namespace q7::host::process

namespace q7::app::gui {

// A maintenance form as the host opens it inside the workbench: the session
// (handler made by the program definition, form set up by it) and the form's
// window, embedded. When the form unloads itself (its Exit button) the
// window closes.
class ProcessWindow : public QWidget {
    Q_OBJECT
public:
    ProcessWindow(const QString& menuKey, const QString& accountPath, QWidget* parent = nullptr);
    ~ProcessWindow() override;

    host::process::ProcessFormWindow& form() { return *window_; }

signals:
    void formUnloaded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing the sub-window closes the form: it unloads as from its own title bar, or stays.
    void closeEvent(QCloseEvent* event) override;

private:
    QSharedPointer<host::browse::AccountContext> account_; // the session's account: the references look up in it
    std::unique_ptr<host::process::ProcessSession> session_;
    std::unique_ptr<host::process::ProcessFormWindow> window_;
    QWidget* formWidget_ = nullptr;
};

} // namespace q7::app::gui
