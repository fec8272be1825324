#include "app/gui/ProcessWindow.h"

#include "host/browse/AccountContext.h"
#include "host/process/ProcessForm.h"
#include "host/process/ProcessFormWindow.h"

#include <QCloseEvent>
#include <QEvent>
#include <QVBoxLayout>

namespace q7::app::gui {

namespace {
QString currentUser()
{
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? QStringLiteral("q7bom") : user;
}
} // namespace

ProcessWindow::ProcessWindow(const QString& menuKey, const QString& accountPath, QWidget* parent)
    : QWidget(parent),
      account_(host::browse::AccountContext::open(accountPath)),
      session_(std::make_unique<host::process::ProcessSession>(menuKey, accountPath, currentUser())),
      window_(std::make_unique<host::process::ProcessFormWindow>(session_->form()))
{
    setObjectName(QStringLiteral("process_") + menuKey);
    formWidget_ = window_->window();
    formWidget_->setParent(this, Qt::Widget);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(formWidget_);
    setWindowTitle(formWidget_->windowTitle());
    resize(formWidget_->size());
    window_->Show();
    formWidget_->installEventFilter(this);
}

// The form's window goes before the session that owns its model.
ProcessWindow::~ProcessWindow()
{
    if (formWidget_)
        formWidget_->removeEventFilter(this);
    window_.reset();
    session_.reset();
    account_.reset();
}

void ProcessWindow::closeEvent(QCloseEvent* event)
{
    if (formWidget_ && !formWidget_->isHidden() && !formWidget_->close())
        event->ignore();
    else
        event->accept();
}

bool ProcessWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == formWidget_ && event->type() == QEvent::Hide && !window_->isVisible())
        emit formUnloaded();
    return QWidget::eventFilter(watched, event);
}

} // namespace q7::app::gui
