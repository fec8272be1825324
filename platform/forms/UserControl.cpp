#include "platform/forms/UserControl.h"

#include "platform/forms/Form.h"

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

void UserControl::geometryChanged(bool sizeChanged)
{
    if (sizeChanged) {
        scaleChanged();
        UserControl_Resize();
    }
}

} // namespace q7::forms
