#include "platform/forms/Container.h"
#include "platform/forms/UserControl.h"

#include "platform/values/Values.h"
#include "platform/forms/Control.h"

namespace q7::forms {

Container::~Container()
{
    for (const auto& control : controls_)
        control->container_ = nullptr;
}

void Container::setScaleMode(int mode)
{
    const bool changed = mode != scaleMode_;
    scaleMode_ = mode;
    if (mode != ScaleUser) {
        scaleLeft_ = scaleTop_ = 0;
    }
    scaleChanged();
    if (changed)
        notifyAmbientChanged(*this, QStringLiteral("ScaleUnits"));
}

void Container::setScale(double left, double top, double width, double height)
{
    scaleMode_ = ScaleUser;
    scaleLeft_ = left;
    scaleTop_ = top;
    scaleWidth_ = width;
    scaleHeight_ = height;
    scaleChanged();
    notifyAmbientChanged(*this, QStringLiteral("ScaleUnits"));
}

double Container::twipsPerUnitX() const
{
    if (scaleMode_ != ScaleUser)
        return twipsPerUnit(scaleMode_, true);
    return scaleWidth_ != 0 ? innerWidthTwips() / scaleWidth_ : 1.0;
}

double Container::twipsPerUnitY() const
{
    if (scaleMode_ != ScaleUser)
        return twipsPerUnit(scaleMode_, false);
    return scaleHeight_ != 0 ? innerHeightTwips() / scaleHeight_ : 1.0;
}

double Container::scaleWidth() const { return scaleMode_ == ScaleUser ? scaleWidth_ : innerWidthTwips() / twipsPerUnitX(); }
double Container::scaleHeight() const { return scaleMode_ == ScaleUser ? scaleHeight_ : innerHeightTwips() / twipsPerUnitY(); }

namespace {
double perUnit(const Container& c, int mode, bool horizontal)
{
    if (mode == ScaleUser)
        return horizontal ? c.twipsPerUnitX() : c.twipsPerUnitY();
    return twipsPerUnit(mode, horizontal);
}
} // namespace

double Container::ScaleX(double value, int fromMode, int toMode) const
{
    return value * perUnit(*this, fromMode, true) / perUnit(*this, toMode, true);
}

double Container::ScaleY(double value, int fromMode, int toMode) const
{
    return value * perUnit(*this, fromMode, false) / perUnit(*this, toMode, false);
}

QList<Control*> Container::controls() const
{
    QList<Control*> list;
    for (const auto& control : controls_)
        list.append(control.data());
    return list;
}

Control* Container::control(const QString& name, int index) const
{
    for (const auto& control : controls_)
        if (values::textEquals(control->name(), name) && control->index() == index)
            return control.data();
    return nullptr;
}

QSharedPointer<Control> Container::reference(const Control* control) const
{
    for (const auto& c : controls_)
        if (c.data() == control)
            return c;
    return {};
}

void Container::adopt(QSharedPointer<Control> control)
{
    controls_.push_back(control);
    if (hasChildWidget()) // added to a window already shown: show it there too
        control->widget();
}

void Container::remove(Control* control)
{
    for (auto it = controls_.begin(); it != controls_.end(); ++it)
        if (it->data() == control) {
            (*it)->container_ = nullptr;
            controls_.erase(it);
            return;
        }
}

} // namespace q7::forms
