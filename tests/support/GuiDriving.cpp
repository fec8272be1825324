#include "support/GuiDriving.h"

#include "app/gui/FilterDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace fake {

void GuiSettings::SetUp()
{
    ASSERT_TRUE(settingsDir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QCoreApplication::setOrganizationName(QStringLiteral("Q7BomLib"));
    QCoreApplication::setApplicationName(QStringLiteral("q7bom-test"));
    QSettings().clear();
}

void typeInto(QWidget* editor, const QString& text)
{
    ASSERT_NE(editor, nullptr);
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        // A drop-down list: pick the entry with the keyboard, as a user would.
        const int index = box->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(box, Qt::Key_Down);
        ASSERT_EQ(box->currentText(), text);
        return;
    }
    auto* edit = qobject_cast<QLineEdit*>(editor);
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(edit, c.toLatin1());
        } else {
            // Chinese text arrives through the input method, committed character by character.
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(edit, &commit);
        }
    }
    ASSERT_EQ(edit->text(), text);
}

void clickOk(q7::app::gui::FilterDialog* dialog)
{
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

MessageBoxAnswer::MessageBoxAnswer()
{
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            text_ = box->text();
            timer_.stop();
            box->accept();
        }
    });
    timer_.start(10);
}

} // namespace fake
