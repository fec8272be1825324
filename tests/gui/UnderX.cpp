#include "gui/UnderX.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QTimer>

void UnderX::SetUp()
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        GTEST_SKIP() << "needs a real X server (scripts/xvfb-tests.sh)";
    ASSERT_TRUE(settingsDir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QCoreApplication::setOrganizationName(QStringLiteral("Q7BomLib"));
    QCoreApplication::setApplicationName(QStringLiteral("q7bom-test"));
    QSettings().clear();
}

namespace underx {

void whenModal(std::function<void(QWidget&)> act, Answered* result)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(50);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act = std::move(act), result] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || !QTest::qWaitForWindowExposed(modal, 10))
            return;
        timer->stop();
        timer->deleteLater();
        if (result) {
            result->className = QString::fromLatin1(modal->metaObject()->className());
            auto* box = qobject_cast<QMessageBox*>(modal);
            result->text = box ? box->text() : modal->windowTitle();
            QWidget* owner = modal->parentWidget() ? modal->parentWidget()->window() : nullptr;
            result->ownerTitle = owner ? owner->windowTitle() : QString();
            result->ownedByWorkbench = owner && owner->objectName() == QLatin1String("workbench");
        }
        act(*modal);
    });
    timer->start();
}

bool waitUntil(const std::function<bool()>& condition, int milliseconds) { return QTest::qWaitFor(condition, milliseconds); }

void saveScreen(const QString& name)
{
    const QString dir = qEnvironmentVariable("Q7_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    QTest::qWait(200); // what was typed last is drawn
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_TRUE(screen->grabWindow(0).save(QDir(dir).filePath(name + QStringLiteral(".png")), "PNG"));
}

} // namespace underx
