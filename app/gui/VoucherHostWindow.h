#pragma once

#include "platform/ObjectRef.h"

#include <QSharedPointer>
#include <QWidget>

#include <memory>

namespace q7::host::browse {
class AccountContext;
}
namespace q7::host::voucher {
class VoucherForm;
class VoucherWindow;
} // namespace q7::host::voucher

namespace q7::app::gui {

// The BOM voucher as the host opens it inside the workbench: the voucher
// library's form of the voucher type the program definition answered, opened
// with the handler it made, on the account (made the session's account, so
// the window's references look up in it), showing the last BOM.
class VoucherHostWindow : public QWidget {
    Q_OBJECT
public:
    VoucherHostWindow(const QString& voucherType, const Object& handler, const QString& accountPath, QWidget* parent = nullptr);
    ~VoucherHostWindow() override;

    host::voucher::VoucherWindow& form() { return *window_; }
    host::voucher::VoucherForm& voucher() { return *voucher_; }
    // Shows the item's main BOM in force on date (yyyy-mm-dd, "" for today); false when it has none.
    bool showItem(const QString& code, const QString& date);

protected:
    // Closing the sub-window closes the voucher's form: it unloads as from its own title bar, or stays.
    void closeEvent(QCloseEvent* event) override;

signals:
    // Something for the workbench's status bar (a save that went through).
    void statusMessage(const QString& text);

private:
    QSharedPointer<host::browse::AccountContext> account_;
    QSharedPointer<host::voucher::VoucherForm> voucher_;
    std::unique_ptr<host::voucher::VoucherWindow> window_;
};

} // namespace q7::app::gui
