#include "platform/forms/UserControl.h"

#include "platform/forms/Form.h"

#include <QPointer>

namespace q7::forms {

UserControl::UserControl(Container* container, QString name, int index) : Control(container, std::move(name), index) {}

UserControl::Ambient UserControl::ambient() const
{
    Ambient a{QColor(0xf0, 0xf0, 0xf0), false, true, name()};
    Container* c = container();
    while (c) {
        if (auto* form = dynamic_cast<Form*>(c)) {
            a.backColor = form->ambientBackColor;
            a.rightToLeft = form->ambientRightToLeft;
            a.userMode = form->userMode;
            break;
        }
        auto* control = dynamic_cast<Control*>(c);
        c = control ? control->container() : nullptr;
    }
    return a;
}

namespace {

// The user control's window: paints raise the control's Paint.
class UserControlWidget : public QWidget {
public:
    UserControlWidget(UserControl* control, QWidget* parent) : QWidget(parent), control_(control) { setAutoFillBackground(true); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (control_)
            control_->UserControl_Paint();
    }

private:
    QPointer<UserControl> control_;
};

} // namespace

QWidget* UserControl::createWidget(QWidget* parent) { return new UserControlWidget(this, parent); }

void UserControl::visibilityChanged(bool visible)
{
    if (visible)
        UserControl_Show();
    else
        UserControl_Hide();
}

void notifyWindowShown(Container& container, bool shown)
{
    for (Control* control : container.controls()) {
        if (auto* user = dynamic_cast<UserControl*>(control); user && control->isVisible()) {
            if (shown)
                user->UserControl_Show();
            else
                user->UserControl_Hide();
        }
        if (auto* inner = dynamic_cast<Container*>(control))
            notifyWindowShown(*inner, shown);
    }
}

void notifyAmbientChanged(Container& container, const QString& name)
{
    for (Control* control : container.controls())
        if (auto* user = dynamic_cast<UserControl*>(control))
            user->AmbientChanged(name);
}

void UserControl::geometryChanged(bool sizeChanged)
{
    if (sizeChanged) {
        scaleChanged();
        UserControl_Resize();
    }
}

} // namespace q7::forms
