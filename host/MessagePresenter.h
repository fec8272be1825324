#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <memory>

namespace q7::host {

enum class MessageKind { Check, Error, Info };

struct PresentedMessage {
    MessageKind kind;
    QVariant message;   // resource number or text, as the caller passed it
    QVariantList arguments;
    QString text;       // what the user sees
};

// Shows messages to the user: a message box, the console, or a recorder.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual void present(const PresentedMessage& message) = 0;
};

class ConsolePresenter : public MessagePresenter {
public:
    void present(const PresentedMessage& message) override; // one line on standard error
};

class DesktopPresenter : public MessagePresenter {
public:
    void present(const PresentedMessage& message) override; // a modal message box
};

class RecordingPresenter : public MessagePresenter {
public:
    void present(const PresentedMessage& message) override { messages.append(message); }
    QList<PresentedMessage> messages;
};

// The presenter that the host's message service uses (console by default).
void setMessagePresenter(std::shared_ptr<MessagePresenter> presenter);
MessagePresenter& messagePresenter();
std::shared_ptr<MessagePresenter> currentMessagePresenter();

} // namespace q7::host
