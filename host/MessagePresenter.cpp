#include "host/MessagePresenter.h"

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
    switch (message.kind) {
    case MessageKind::Error:
        QMessageBox::critical(nullptr, QString(), message.text);
        break;
    case MessageKind::Check:
        QMessageBox::warning(nullptr, QString(), message.text);
        break;
    case MessageKind::Info:
        QMessageBox::information(nullptr, QString(), message.text);
        break;
    }
}

void setMessagePresenter(std::shared_ptr<MessagePresenter> presenter) { current() = std::move(presenter); }
MessagePresenter& messagePresenter() { return *current(); }
std::shared_ptr<MessagePresenter> currentMessagePresenter() { return current(); }

} // namespace q7::host
