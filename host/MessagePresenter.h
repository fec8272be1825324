#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
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

// A message box owned by the window the user works in (the active modal
// dialog, else the active window) and titled with its title; the text wraps
// in full. It runs through the host's dialog driver, so a scripted session
// answers it and the offscreen platform never waits for a click.
class DesktopPresenter : public MessagePresenter {
public:
    void present(const PresentedMessage& message) override;
};

// Puts a presenter in place for as long as it lives, then the previous one back.
class ScopedPresenter {
public:
    explicit ScopedPresenter(std::shared_ptr<MessagePresenter> presenter);
    ~ScopedPresenter();
    ScopedPresenter(const ScopedPresenter&) = delete;
    ScopedPresenter& operator=(const ScopedPresenter&) = delete;

private:
    std::shared_ptr<MessagePresenter> previous_;
};

// Keeps every message; with a presenter to pass them on to, the user sees them too.
class RecordingPresenter : public MessagePresenter {
public:
    RecordingPresenter() = default;
    explicit RecordingPresenter(std::shared_ptr<MessagePresenter> passOn) : passOn_(std::move(passOn)) {}
    void present(const PresentedMessage& message) override
    {
        messages.append(message);
        if (passOn_)
            passOn_->present(message);
    }
    QList<PresentedMessage> messages;

private:
    std::shared_ptr<MessagePresenter> passOn_;
};

// Runs work with every message it shows kept (the user still sees them) and
// returns those messages: a caller learns what a refusal said and where.
QList<PresentedMessage> heardWhile(const std::function<void()>& work);

// The presenter that the host's message service uses (console by default).
void setMessagePresenter(std::shared_ptr<MessagePresenter> presenter);
MessagePresenter& messagePresenter();
std::shared_ptr<MessagePresenter> currentMessagePresenter();

} // namespace q7::host
