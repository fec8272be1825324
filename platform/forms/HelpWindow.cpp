#include "platform/forms/HelpWindow.h"

#include "platform/forms/HelpContexts.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextBrowser>
#include <QUrl>

#include <memory>

namespace q7::forms {

namespace {

std::unique_ptr<QTextBrowser>& theWindow()
{
    static std::unique_ptr<QTextBrowser> window;
    return window;
}

// The window goes while the application still runs: a widget must not
// outlive it.
void dropWindow() { theWindow().reset(); }

QTextBrowser& makeWindow()
{
    auto window = std::make_unique<QTextBrowser>();
    window->setWindowTitle(QStringLiteral("帮助"));
    window->setOpenLinks(true);
    window->setOpenExternalLinks(true);
    window->resize(640, 520);
    QTextBrowser* shown = window.get();
    QObject::connect(shown, &QTextBrowser::sourceChanged, shown, [shown] {
        const QString title = shown->documentTitle();
        shown->setWindowTitle(title.isEmpty() ? QStringLiteral("帮助") : QStringLiteral("帮助 - ") + title);
    });
    theWindow() = std::move(window);
    qAddPostRoutine(dropWindow);
    return *shown;
}

} // namespace

QTextBrowser* helpWindow() { return theWindow().get(); }

void showHelp(int contextId)
{
    QTextBrowser& window = theWindow() ? *theWindow() : makeWindow();
    const QString page = helpContexts().pageOf(contextId);
    window.setSource(QUrl(QStringLiteral("qrc") + helpFolder() + u'/' + page));
    window.show();
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) { // which cannot raise a window
        window.raise();
        window.activateWindow();
    }
}

} // namespace q7::forms
