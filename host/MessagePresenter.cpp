#include "host/MessagePresenter.h"

#include "host/ui/DialogDriver.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace q7::host {

namespace {
std::shared_ptr<MessagePresenter>& current()
{
    static std::shared_ptr<MessagePresenter> presenter = std::make_shared<ConsolePresenter>();
    return presenter;
}
} // namespace

void ConsolePresenter::present(const PresentedMessage& message)
{
    std::fprintf(stderr, "%s\n", message.text.toUtf8().constData());
}

void DesktopPresenter::present(const PresentedMessage& message)
{
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner)
        owner = QApplication::activeWindow();
    const QMessageBox::Icon icon = message.kind == MessageKind::Error   ? QMessageBox::Critical
                                   : message.kind == MessageKind::Check ? QMessageBox::Warning
                                                                        : QMessageBox::Information;
    QMessageBox box(icon, owner ? owner->window()->windowTitle() : QString(), message.text, QMessageBox::Ok, owner);
    box.setObjectName(QStringLiteral("hostMessage"));
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    ui::runDialog(box);
}

ScopedPresenter::ScopedPresenter(std::shared_ptr<MessagePresenter> presenter) : previous_(currentMessagePresenter())
{
    setMessagePresenter(std::move(presenter));
}

ScopedPresenter::~ScopedPresenter() { setMessagePresenter(previous_); }

QList<PresentedMessage> heardWhile(const std::function<void()>& work)
{
    const auto heard = std::make_shared<RecordingPresenter>(currentMessagePresenter());
    {
        const ScopedPresenter listening(heard);
        work();
    }
    return heard->messages;
}

void setMessagePresenter(std::shared_ptr<MessagePresenter> presenter) { current() = std::move(presenter); }
MessagePresenter& messagePresenter() { return *current(); }
std::shared_ptr<MessagePresenter> currentMessagePresenter() { return current(); }

} // namespace q7::host
