#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>

// Window tests that need a real X server (scripts/xvfb-tests.sh runs them on
// Xvfb with a window manager); on the offscreen platform they are skipped.
class UnderX : public testing::Test {
protected:
    void SetUp() override;
    QTemporaryDir settingsDir;
};

namespace underx {

// What a modal window that came up showed, once it was answered.
struct Answered {
    QString className;
    QString text;        // a message box's text, else the window title
    QString ownerTitle;  // the title of the window that owns it ("" when it has no owner)
    bool ownedByWorkbench = false;
};

// Arms a watch for the next modal window (a message box, a pick list): when it
// is up, `act` answers it as a person would (keys, clicks). Returns at once;
// the result is filled in when the modal window has been answered.
void whenModal(std::function<void(QWidget&)> act, Answered* result);
// Waits (events running) until the condition holds; false after the timeout.
bool waitUntil(const std::function<bool()>& condition, int milliseconds = 5000);
// Saves a picture of the whole screen (what a planner sees) as NAME.png in the
// folder named by Q7_SCREENSHOT_DIR; does nothing when that is not set.
void saveScreen(const QString& name);

} // namespace underx
