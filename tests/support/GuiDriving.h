#pragma once

#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

class QWidget;

namespace q7::app::gui {
class FilterDialog;
}

// Driving the workbench's windows as a user does: keys into editors, clicks on buttons.
namespace fake {

// Keeps the workbench's settings in a folder of the test's own.
class GuiSettings : public testing::Test {
protected:
    void SetUp() override;
    QTemporaryDir settingsDir;
};

// Types text into a line edit (Chinese through the input method) or picks it in a drop-down list.
void typeInto(QWidget* editor, const QString& text);
void clickOk(q7::app::gui::FilterDialog* dialog);

// Answers the next message box that opens with OK and keeps its text (the
// runs go on a thread of their own, so the box opens some time after the click).
class MessageBoxAnswer {
public:
    MessageBoxAnswer();
    const QString& text() const { return text_; }

private:
    QTimer timer_;
    QString text_;
};

} // namespace fake
