#include "platform/forms/Control.h"

#include "platform/AutomationError.h"
#include "platform/values/Values.h"
#include "platform/forms/Container.h"

#include <QMouseEvent>
#include <cmath>

namespace q7::forms {

namespace {

// Shows a control and passes the mouse to it as the platform's events.
class ControlWidget : public QWidget {
public:
    ControlWidget(Control* control, QWidget* parent) : QWidget(parent), control_(control) { setAutoFillBackground(true); }

protected:
    void mousePressEvent(QMouseEvent* e) override { pass(QStringLiteral("MouseDown"), e); }
    void mouseMoveEvent(QMouseEvent* e) override { pass(QStringLiteral("MouseMove"), e); }
    void mouseReleaseEvent(QMouseEvent* e) override { pass(QStringLiteral("MouseUp"), e); }

private:
    void pass(const QString& event, QMouseEvent* e)
    {
        if (!control_)
            return;
        const Qt::MouseButtons buttons = event == QLatin1String("MouseUp") ? Qt::MouseButtons(e->button()) : e->buttons();
        int button = 0;
        if (buttons & Qt::LeftButton)
            button |= LeftButton;
        if (buttons & Qt::RightButton)
            button |= RightButton;
        if (buttons & Qt::MiddleButton)
            button |= MiddleButton;
        int shift = 0;
        if (e->modifiers() & Qt::ShiftModifier)
            shift |= 1;
        if (e->modifiers() & Qt::ControlModifier)
            shift |= 2;
        if (e->modifiers() & Qt::AltModifier)
            shift |= 4;
        // positions in twips of the control
        const double x = e->position().x() * Screen::twipsPerPixelX();
        const double y = e->position().y() * Screen::twipsPerPixelY();
        control_->raise(event, QVariantList{button, shift, x, y});
    }
    QPointer<Control> control_;
};

} // namespace

Control::Control(Container* container, QString name, int index) : container_(container), name_(std::move(name)), index_(index) {}

Control::~Control() { delete widget_.data(); }

double Control::left() const { return container_ ? container_->xFromTwips(left_) : left_; }
double Control::top() const { return container_ ? container_->yFromTwips(top_) : top_; }
double Control::width() const { return container_ ? width_ / container_->twipsPerUnitX() : width_; }
double Control::height() const { return container_ ? height_ / container_->twipsPerUnitY() : height_; }

void Control::setLeft(double value) { setGeometryTwips(container_ ? container_->xToTwips(value) : value, top_, width_, height_); }
void Control::setTop(double value) { setGeometryTwips(left_, container_ ? container_->yToTwips(value) : value, width_, height_); }
void Control::setWidth(double value)
{
    if (value < 0)
        throw AutomationError(ErrInvalidPropertyValue);
    setGeometryTwips(left_, top_, container_ ? value * container_->twipsPerUnitX() : value, height_);
}
void Control::setHeight(double value)
{
    if (value < 0)
        throw AutomationError(ErrInvalidPropertyValue);
    setGeometryTwips(left_, top_, width_, container_ ? value * container_->twipsPerUnitY() : value);
}

void Control::Move(double left, const QVariant& top, const QVariant& width, const QVariant& height)
{
    const auto given = [](const QVariant& v) { return v.isValid() && !isMissing(v); };
    const double l = container_ ? container_->xToTwips(left) : left;
    const double t = given(top) ? (container_ ? container_->yToTwips(values::toDouble(top)) : values::toDouble(top)) : top_;
    const double w = given(width) ? (container_ ? values::toDouble(width) * container_->twipsPerUnitX() : values::toDouble(width)) : width_;
    const double h = given(height) ? (container_ ? values::toDouble(height) * container_->twipsPerUnitY() : values::toDouble(height)) : height_;
    if (w < 0 || h < 0)
        throw AutomationError(ErrInvalidPropertyValue);
    setGeometryTwips(l, t, w, h);
}

void Control::setGeometryTwips(double left, double top, double width, double height)
{
    const bool sizeChanged = width != width_ || height != height_;
    const bool changed = sizeChanged || left != left_ || top != top_;
    left_ = left;
    top_ = top;
    width_ = std::fabs(width);
    height_ = std::fabs(height);
    if (!changed)
        return;
    syncWidget();
    geometryChanged(sizeChanged);
}

void Control::setVisible(bool visible)
{
    const bool changed = visible != visible_;
    visible_ = visible;
    if (widget_)
        widget_->setVisible(visible);
    if (changed)
        visibilityChanged(visible);
}

void Control::setEnabled(bool enabled)
{
    enabled_ = enabled;
    if (widget_)
        widget_->setEnabled(enabled);
}

void Control::setMousePointer(int pointer)
{
    mousePointer_ = pointer;
    if (!widget_)
        return;
    switch (pointer) {
    case 7: widget_->setCursor(Qt::SizeVerCursor); break;
    case 9: widget_->setCursor(Qt::SizeHorCursor); break;
    case 11: widget_->setCursor(Qt::WaitCursor); break;
    default: widget_->unsetCursor();
    }
}

void Control::setBackColor(const QColor& color)
{
    backColor_ = color;
    if (widget_) {
        QPalette palette = widget_->palette();
        palette.setColor(QPalette::Window, color);
        widget_->setPalette(palette);
    }
}

void Control::Refresh()
{
    ++refreshCount;
    if (widget_)
        widget_->update();
}

void Control::ZOrder(int position)
{
    if (!widget_)
        return;
    if (position == 0)
        widget_->raise();
    else
        widget_->lower();
}

void Control::SetFocus()
{
    if (widget_)
        widget_->setFocus();
    QVariantList none;
    raise(QStringLiteral("GotFocus"), none);
}

QWidget* Control::widget()
{
    if (!widget_ && container_) {
        widget_ = createWidget(container_->childWidget());
        syncWidget();
        setBackColor(backColor_);
        setMousePointer(mousePointer_);
        widget_->setVisible(visible_);
        widget_->setEnabled(enabled_);
        if (auto* self = dynamic_cast<Container*>(this)) // the controls held here show inside
            for (Control* child : self->controls())
                child->widget();
    }
    return widget_;
}

QWidget* Control::createWidget(QWidget* parent) { return new ControlWidget(this, parent); }

void Control::geometryChanged(bool) {}

void Control::syncWidget()
{
    if (!widget_)
        return;
    const double tx = Screen::twipsPerPixelX(), ty = Screen::twipsPerPixelY();
    widget_->setGeometry(static_cast<int>(std::lround(left_ / tx)), static_cast<int>(std::lround(top_ / ty)),
                         static_cast<int>(std::lround(width_ / tx)), static_cast<int>(std::lround(height_ / ty)));
}

void Control::raise(const QString& event, QVariantList& args)
{
    if (!container_)
        return;
    QObject* module = container_->codeModule();
    const QString member = name_ + u'_' + event;
    if (!module || !hasDeclaredMember(module, member))
        return;
    if (index_ < 0) {
        callByName(module, member, args);
        return;
    }
    QVariantList withIndex{index_};
    withIndex += args;
    callByName(module, member, withIndex);
    for (qsizetype i = 0; i < args.size(); ++i)
        args[i] = withIndex[i + 1];
}

bool Control::dispatch(Access access, const QString& name, QVariantList& args, QVariant& result)
{
    if (metaObject()->indexOfProperty(name.toLatin1().constData()) >= 0 || hasDeclaredMember(this, name))
        return false;
    if (access == Access::Let) {
        extra_.insert(name.toLower(), args.value(0));
        return true;
    }
    if (access == Access::Get && args.isEmpty() && extra_.contains(name.toLower())) {
        result = extra_.value(name.toLower());
        return true;
    }
    return false;
}

} // namespace q7::forms
