#include "app/gui/VoucherHostWindow.h"

#include "host/browse/AccountContext.h"
#include "host/voucher/VoucherForm.h"
#include "host/voucher/VoucherWindow.h"

#include <QCloseEvent>
#include <QDate>
#include <QVBoxLayout>

namespace q7::app::gui {

VoucherHostWindow::VoucherHostWindow(const QString& voucherType, const Object& handler, const QString& accountPath, QWidget* parent)
    : QWidget(parent), account_(host::browse::AccountContext::open(accountPath))
{
    setObjectName(QStringLiteral("voucher_") + voucherType);
    const QString user = qEnvironmentVariable("USER");
    voucher_ = host::voucher::VoucherForm::create(voucherType, accountPath, user.isEmpty() ? QStringLiteral("q7bom") : user);
    voucher_->open(handler);
    if (const int last = voucher_->store().last(); last > 0)
        voucher_->loadBom(last);
    window_ = std::make_unique<host::voucher::VoucherWindow>(voucher_);
    QWidget* formWidget = window_->window();
    formWidget->setParent(this, Qt::Widget);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(formWidget);
    setWindowTitle(formWidget->windowTitle());
    resize(formWidget->size());
    window_->Show();
    window_->refresh(); // the grid's cells reach its widget once the window exists
    connect(window_.get(), &host::voucher::VoucherWindow::statusChanged, this, &VoucherHostWindow::statusMessage);
}

void VoucherHostWindow::closeEvent(QCloseEvent* event)
{
    QWidget* formWidget = window_->window();
    if (!formWidget->isHidden() && !formWidget->close())
        event->ignore();
    else
        event->accept();
}

bool VoucherHostWindow::showItem(const QString& code, const QString& date)
{
    const QString day = date.isEmpty() ? QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) : date;
    const int bom = voucher_->store().mainBomInForce(code, day);
    if (bom <= 0 || !voucher_->loadBom(bom))
        return false;
    window_->refresh();
    return true;
}

// The window goes before the voucher it shows, the voucher before the account.
VoucherHostWindow::~VoucherHostWindow()
{
    window_.reset();
    voucher_->close();
    voucher_.reset();
    account_.reset();
}

} // namespace q7::app::gui
