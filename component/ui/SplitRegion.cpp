#include "ui/SplitRegion.h"

#include "platform/AutomationError.h"
#include "platform/ErrorsIgnored.h"
#include "platform/LateBinding.h"
#include "platform/values/Values.h"

#include <cmath>

namespace q7::component {

using q7::forms::Container;
using q7::forms::Control;

namespace {

constexpr int PointerSizeWE = 9;
constexpr int PointerSizeNS = 7;

// round(): to the nearest whole number, halves to the even one.
double roundEven(double v) { return std::nearbyint(v); }

// System colours of the bar's lines.
const QColor buttonFace(0xf0, 0xf0, 0xf0);
const QColor windowBackground(0xff, 0xff, 0xff);
const QColor inactiveTitleBar(0xbf, 0xcd, 0xdb);

} // namespace

SplitRegion::SplitRegion(Container* container, QString name, int index)
    : UserControl(container, std::move(name), index), lblSplitterBar(add<forms::PictureBox>(QStringLiteral("lblSplitterBar")))
{
    InitProperties();
    drawBar(); // a new splitter shows its bar's lines at once
}

double SplitRegion::defaultSize() const
{
    const Container* c = container();
    return roundEven(c ? 100.0 / std::fabs(c->twipsPerUnitX()) : 100.0);
}

void SplitRegion::InitProperties()
{
    const Ambient a = ambient();
    control1_.clear();
    control2_.clear();
    c1Min_ = c2Min_ = defaultSize();
    requestedPercent_ = splitPercent_ = 30;
    barColor_ = a.backColor;
    lblSplitterBar->setBackColor(barColor_);
    allowHiding_ = false;
    keepPercent_ = true;
    rightToLeft_ = a.rightToLeft;
    vertical_ = true;
    lblSplitterBar->setMousePointer(PointerSizeWE);
    lblSplitterBar->setGeometryTwips(0, 0, lblSplitterBar->widthTwips(), heightTwips());
    setSplitterBarThickness(defaultSize());
    propertyChanges.clear(); // a new instance has changed nothing yet
}

// ---- names ---------------------------------------------------------------

Control* SplitRegion::sibling(const QString& name) const
{
    const Container* c = container();
    if (!c)
        return nullptr;
    for (Control* control : c->controls()) {
        QString controlName;
        // a control that cannot tell its name is not one the splitter can mean
        if (!ignoringErrors([&] { controlName = control->name(); }))
            continue;
        if (values::textEquals(controlName, name))
            return control;
    }
    return nullptr;
}

bool SplitRegion::nameAccepted(const QString& name) const
{
    if (name.isEmpty())
        return true;
    const Container* c = container();
    if (!c || c->controls().isEmpty())
        return true;
    if (values::textEquals(name, ambient().displayName))
        return false;
    return sibling(name) != nullptr;
}

QString SplitRegion::control1()
{
    if (!nameAccepted(control1_))
        control1_.clear();
    return control1_;
}

QString SplitRegion::control2()
{
    if (!nameAccepted(control2_))
        control2_.clear();
    return control2_;
}

void SplitRegion::setControlName(QString& slot, QString& other, const QString& name, const char* property)
{
    if (name == slot)
        return;
    if (!nameAccepted(name))
        throw AutomationError(ErrNameInvalid, QStringLiteral("Invalid control name: %1").arg(name));
    if (values::textEquals(slot, other)) // the two stored names designate one control: forget the other
        other.clear();
    slot = name;
    layout();
    PropertyChanged(QString::fromLatin1(property));
}

void SplitRegion::setControl1(const QString& name) { setControlName(control1_, control2_, name, "Control1"); }
void SplitRegion::setControl2(const QString& name) { setControlName(control2_, control1_, name, "Control2"); }

// ---- property setters ----------------------------------------------------

void SplitRegion::setControl1MinSize(double size)
{
    if (size == c1Min_)
        return;
    c1Min_ = size;
    splitPercent_ = clamp(splitPercent_);
    layout();
    PropertyChanged(QStringLiteral("Control1MinSize"));
}

void SplitRegion::setControl2MinSize(double size)
{
    if (size == c2Min_)
        return;
    c2Min_ = size;
    splitPercent_ = clamp(splitPercent_);
    layout();
    PropertyChanged(QStringLiteral("Control2MinSize"));
}

void SplitRegion::setSplitPercent(double percent)
{
    raiseEvent("ReJustSize");
    if (percent == splitPercent_)
        return;
    requestedPercent_ = percent;
    storeSplitPosition(percent);
    splitPercent_ = clamp(percent);
    layout();
    raiseEvent("RepositionSplit");
    PropertyChanged(QStringLiteral("SplitPercent"));
}

void SplitRegion::setSplitterBarVertical(bool vertical)
{
    if (vertical == vertical_)
        return;
    vertical_ = vertical;
    setSplitterBarThickness(thickness_);
    if (vertical_) {
        lblSplitterBar->setMousePointer(PointerSizeWE);
        lblSplitterBar->setGeometryTwips(lblSplitterBar->leftTwips(), 0, lblSplitterBar->widthTwips(), scaleHeight());
    } else {
        lblSplitterBar->setMousePointer(PointerSizeNS);
        lblSplitterBar->setGeometryTwips(0, lblSplitterBar->topTwips(), scaleWidth(), lblSplitterBar->heightTwips());
    }
    splitPercent_ = clamp(splitPercent_);
    layout();
    storeSplitPosition(splitPercent_);
    PropertyChanged(QStringLiteral("SplitterBarVertical"));
    drawBar();
}

void SplitRegion::setSplitterBarThickness(double thickness)
{
    const Container* c = container();
    // the bar's size in own units for the thickness in container units
    const double containerWidth = c ? widthTwips() / c->twipsPerUnitX() : widthTwips();
    const double containerHeight = c ? heightTwips() / c->twipsPerUnitY() : heightTwips();
    if (vertical_ && containerWidth != 0)
        lblSplitterBar->setGeometryTwips(lblSplitterBar->leftTwips(), lblSplitterBar->topTwips(),
                                         std::trunc(thickness * scaleWidth() / containerWidth), lblSplitterBar->heightTwips());
    else if (!vertical_ && containerHeight != 0)
        lblSplitterBar->setGeometryTwips(lblSplitterBar->leftTwips(), lblSplitterBar->topTwips(), lblSplitterBar->widthTwips(),
                                         std::trunc(thickness * scaleHeight() / containerHeight));
    const double perUnit = c ? (vertical_ ? c->twipsPerUnitX() : c->twipsPerUnitY()) : 1.0;
    const double twipsPerPixel = vertical_ ? forms::Screen::twipsPerPixelX() : forms::Screen::twipsPerPixelY();
    thicknessPixels_ = static_cast<int>(roundEven(std::fabs(thickness * perUnit / twipsPerPixel)));
    thickness_ = thickness;
    splitPercent_ = clamp(splitPercent_);
    layout();
    PropertyChanged(QStringLiteral("SplitterBarThickness"));
}

void SplitRegion::setSplitterBarColor(const QColor& color)
{
    if (color == barColor_)
        return;
    barColor_ = color;
    lblSplitterBar->setBackColor(color);
    PropertyChanged(QStringLiteral("SplitterBarColor"));
}

void SplitRegion::setAllowControlHiding(bool allow)
{
    if (allow == allowHiding_)
        return;
    allowHiding_ = allow;
    splitPercent_ = clamp(splitPercent_);
    layout();
    PropertyChanged(QStringLiteral("AllowControlHiding"));
}

void SplitRegion::setKeepSplitPercentOnResize(bool keep)
{
    if (keep == keepPercent_)
        return;
    keepPercent_ = keep;
    PropertyChanged(QStringLiteral("KeepSplitPercentOnResize"));
}

void SplitRegion::setRightToLeft(bool rightToLeft)
{
    if (rightToLeft == rightToLeft_)
        return;
    rightToLeft_ = rightToLeft;
    layout();
    storeSplitPosition(splitPercent_);
    PropertyChanged(QStringLiteral("RightToLeft"));
}

// Measuring goes as far as it can (see measure); asking the two controls
// to repaint is a courtesy that a control without Refresh may refuse.
void SplitRegion::Refresh()
{
    ++refreshCount;
    ignoringErrors([&] { measure(); });
    layout();
    for (const QString& name : {control1_, control2_})
        ignoringErrors([&] {
            if (Control* c = sibling(name))
                c->Refresh();
        });
}

// ---- geometry --------------------------------------------------------------

void SplitRegion::measure()
{
    const Container* c = container();
    if (!c)
        return;
    left_ = left();
    top_ = top();
    double width = widthTwips() / c->twipsPerUnitX();
    double height = heightTwips() / c->twipsPerUnitY();
    widthPixels_ = widthTwips() / forms::Screen::twipsPerPixelX();
    heightPixels_ = heightTwips() / forms::Screen::twipsPerPixelY();
    widthSign_ = width < 0 ? -1 : 1;
    heightSign_ = height < 0 ? -1 : 1;
    width_ = std::fabs(width);
    height_ = std::fabs(height);
    geometryValid_ = true;
}

double SplitRegion::clamp(double percent)
{
    if (!geometryValid_)
        return percent;
    const Container* c = container();
    const double minExtent = c1Min_ + c2Min_ + thickness_;
    if (c) {
        if (vertical_ && std::fabs(minExtent * c->twipsPerUnitX()) > widthTwips()) {
            setGeometryTwips(leftTwips(), topTwips(), std::fabs(minExtent * c->twipsPerUnitX()), heightTwips());
            measure();
        } else if (!vertical_ && std::fabs(minExtent * c->twipsPerUnitY()) > heightTwips()) {
            setGeometryTwips(leftTwips(), topTwips(), widthTwips(), std::fabs(minExtent * c->twipsPerUnitY()));
            measure();
        }
    }
    const double usable = (vertical_ ? width_ : height_) - thickness_;
    if (usable <= 0)
        return percent;
    const double lower = c1Min_ / usable * 100;
    const double upper = (1 - c2Min_ / usable) * 100;
    if (percent < lower) {
        PropertyChanged(QStringLiteral("SplitPercent"));
        return allowHiding_ ? 0 : lower;
    }
    if (percent > upper) {
        PropertyChanged(QStringLiteral("SplitPercent"));
        return allowHiding_ ? 100 : upper;
    }
    return percent;
}

double SplitRegion::splitX(double percent) const
{
    if (!vertical_)
        return 0;
    return (rightToLeft_ ? 1 - percent / 100 : percent / 100) * scaleWidth();
}

double SplitRegion::splitY(double percent) const { return vertical_ ? 0 : percent / 100 * scaleHeight(); }

void SplitRegion::storeSplitPosition(double percent)
{
    splitX_ = splitX(percent);
    splitY_ = splitY(percent);
}

void SplitRegion::place(Control* control, double left, double top, double width, double height)
{
    // a nested splitter skips the resize that this move causes
    const bool nested = control->typeName().toLower() == QLatin1String("splitregion")
        && values::toBoolean(getProperty(control, QStringLiteral("mbInOCX")));
    if (nested)
        letProperty(control, QStringLiteral("mbLock"), true);
    control->Move(left, top, width, height);
    if (nested)
        letProperty(control, QStringLiteral("mbLock"), false);
    control->setVisible(true);
    ignoringErrors([&] { control->Refresh(); }); // a control without Refresh is still placed
}

void SplitRegion::layout()
{
    const Container* c = container();
    if (inLayout_ || !geometryValid_ || !c || c->controls().isEmpty())
        return;
    Control* first = sibling(control1_);
    Control* second = sibling(control2_);
    if (!shown_) {
        for (Control* control : {first, second})
            if (control)
                control->setVisible(false);
        return;
    }
    inLayout_ = true;
    // cleared however the layout ends, so that a failed layout never stops the next one
    const struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{inLayout_};
    const double f = splitPercent_ / 100, t = thickness_;
    const double L = left_, T = top_, W = width_, H = height_;
    const int sx = widthSign_, sy = heightSign_;
    if (vertical_) {
        const double s1 = f * W - t * 0.5;
        if (first) {
            if (s1 <= 0)
                first->setVisible(false);
            else
                place(first, rightToLeft_ ? L + (W - s1) * sx : L, T, s1 + 20, H);
        }
        lblSplitterBar->setGeometryTwips(splitX(splitPercent_) - lblSplitterBar->widthTwips() * 0.5, lblSplitterBar->topTwips(),
                                         lblSplitterBar->widthTwips(), lblSplitterBar->heightTwips());
        const double s2 = (1 - f) * W - t * 0.5;
        if (second) {
            if (s2 - 5 <= 0) // no room left once it starts 5 units past the bar
                second->setVisible(false);
            else
                place(second, (rightToLeft_ ? L : L + (s1 + t) * sx) + 5, T, s2 - 5, H);
        }
    } else {
        const double s1 = f * H - t * 0.5;
        if (first) {
            if (s1 <= 0)
                first->setVisible(false);
            else
                place(first, L, T, W + 20, s1);
        }
        lblSplitterBar->setGeometryTwips(lblSplitterBar->leftTwips(), splitY(splitPercent_) - lblSplitterBar->heightTwips() * 0.5 - 2,
                                         lblSplitterBar->widthTwips(), lblSplitterBar->heightTwips());
        const double s2 = (1 - f) * H - t * 0.5;
        if (second) {
            if (s2 <= 0)
                second->setVisible(false);
            else
                place(second, L, T + (s1 + t) * sy + 5, W, s2);
        }
    }
}

// ---- life cycle ------------------------------------------------------------

// A resize is passed over when it fails part way: the controls keep their
// last places until the next resize, show or refresh.
void SplitRegion::UserControl_Resize()
{
    if (inResize_ || mbLock)
        return;
    inResize_ = true;
    ignoringErrors([&] {
        measure();
        if (vertical_)
            lblSplitterBar->setGeometryTwips(lblSplitterBar->leftTwips(), 0, lblSplitterBar->widthTwips(), scaleHeight());
        else
            lblSplitterBar->setGeometryTwips(0, lblSplitterBar->topTwips(), scaleWidth(), lblSplitterBar->heightTwips());
        if (!runModePainted_) {
            storeSplitPosition(requestedPercent_);
        } else if (!keepPercent_) {
            double percent = vertical_ ? splitX_ / scaleWidth() * 100 : splitY_ / scaleHeight() * 100;
            if (vertical_ && rightToLeft_)
                percent = (1 - splitX_ / scaleWidth()) * 100;
            requestedPercent_ = std::min(percent, 100.0);
        }
        splitPercent_ = clamp(requestedPercent_);
        raiseEvent("Resize");
        layout();
    });
    inResize_ = false;
}

// As in Refresh, a measurement that fails part way keeps the values it got.
void SplitRegion::UserControl_Show()
{
    shown_ = true;
    ignoringErrors([&] { measure(); });
    layout();
}

void SplitRegion::UserControl_Hide()
{
    shown_ = false;
    layout();
}

void SplitRegion::UserControl_Paint()
{
    if (ambient().userMode)
        runModePainted_ = true;
}

void SplitRegion::AmbientChanged(const QString& name)
{
    if (!values::textEquals(name, QStringLiteral("ScaleUnits")))
        return;
    const Container* c = container();
    if (!c)
        return;
    const double oldThickness = thickness_;
    const double newThickness = vertical_ ? lblSplitterBar->widthTwips() / scaleWidth() * std::fabs(widthTwips() / c->twipsPerUnitX())
                                           : lblSplitterBar->heightTwips() / scaleHeight() * std::fabs(heightTwips() / c->twipsPerUnitY());
    if (oldThickness != 0) {
        c1Min_ *= newThickness / oldThickness;
        c2Min_ *= newThickness / oldThickness;
    }
    thickness_ = newThickness;
    PropertyChanged(QStringLiteral("SplitterBarThickness"));
    PropertyChanged(QStringLiteral("Control1MinSize"));
    PropertyChanged(QStringLiteral("Control2MinSize"));
}

// ---- persistence -----------------------------------------------------------

// The container's property bag may refuse a value: saving then stops there
// (the keys not written read back as their defaults), and restoring goes
// property by property, a value that cannot be read leaving that setting as
// it was. Neither is worth failing the container's save or load for.
void SplitRegion::WriteProperties(forms::PropertyBag& bag)
{
    const Ambient a = ambient();
    ignoringErrors([&] {
        bag.WriteProperty(QStringLiteral("Control1"), control1_, QString(""));
        bag.WriteProperty(QStringLiteral("Control2"), control2_, QString(""));
        bag.WriteProperty(QStringLiteral("Control1MinSize"), control1MinSize(), defaultSize());
        bag.WriteProperty(QStringLiteral("Control2MinSize"), control2MinSize(), defaultSize());
        bag.WriteProperty(QStringLiteral("SplitPercent"), splitPercent(), 30.0);
        bag.WriteProperty(QStringLiteral("SplitterBarVertical"), vertical_, true);
        bag.WriteProperty(QStringLiteral("SplitterBarThickness"), splitterBarThickness(), defaultSize());
        bag.WriteProperty(QStringLiteral("SplitterBarColor"), barColor_, a.backColor);
        bag.WriteProperty(QStringLiteral("AllowControlHiding"), allowHiding_, false);
        bag.WriteProperty(QStringLiteral("KeepSplitPercentOnResize"), keepPercent_, true);
        bag.WriteProperty(QStringLiteral("RightToLeft"), rightToLeft_, a.rightToLeft);
    });
}

void SplitRegion::ReadProperties(forms::PropertyBag& bag)
{
    const Ambient a = ambient();
    ignoringErrors([&] { setControl1MinSize(values::toDouble(bag.ReadProperty(QStringLiteral("Control1MinSize"), defaultSize()))); });
    ignoringErrors([&] { setControl2MinSize(values::toDouble(bag.ReadProperty(QStringLiteral("Control2MinSize"), defaultSize()))); });
    ignoringErrors([&] { setSplitPercent(values::toDouble(bag.ReadProperty(QStringLiteral("SplitPercent"), 30.0))); });
    ignoringErrors([&] { setSplitterBarVertical(values::toBoolean(bag.ReadProperty(QStringLiteral("SplitterBarVertical"), true))); });
    ignoringErrors([&] { setSplitterBarThickness(values::toDouble(bag.ReadProperty(QStringLiteral("SplitterBarThickness"), defaultSize()))); });
    ignoringErrors([&] { setSplitterBarColor(bag.ReadProperty(QStringLiteral("SplitterBarColor"), a.backColor).value<QColor>()); });
    ignoringErrors([&] { setAllowControlHiding(values::toBoolean(bag.ReadProperty(QStringLiteral("AllowControlHiding"), false))); });
    ignoringErrors([&] { setKeepSplitPercentOnResize(values::toBoolean(bag.ReadProperty(QStringLiteral("KeepSplitPercentOnResize"), true))); });
    ignoringErrors([&] { setRightToLeft(values::toBoolean(bag.ReadProperty(QStringLiteral("RightToLeft"), a.rightToLeft))); });
    // names are stored as they were saved, without the sibling check
    ignoringErrors([&] { control1_ = values::toTextOrEmpty(bag.ReadProperty(QStringLiteral("Control1"), QString(""))); });
    ignoringErrors([&] { control2_ = values::toTextOrEmpty(bag.ReadProperty(QStringLiteral("Control2"), QString(""))); });
    drawBar();
}

// ---- the bar ---------------------------------------------------------------

void SplitRegion::drawBar()
{
    lblSplitterBar->drawWidth = 1;
    lblSplitterBar->Cls();
    if (vertical_)
        lblSplitterBar->setGeometryTwips(lblSplitterBar->leftTwips(), lblSplitterBar->topTwips(), lblSplitterBar->widthTwips(),
                                         forms::Screen::heightTwips());
    else
        lblSplitterBar->setGeometryTwips(lblSplitterBar->leftTwips(), lblSplitterBar->topTwips(), forms::Screen::widthTwips(),
                                         lblSplitterBar->heightTwips());
    static const int offsets[] = {3, 15, 30, 45, 60, 75, 90, 105, 120};
    const QColor colours[] = {buttonFace, windowBackground, buttonFace, inactiveTitleBar, buttonFace,
                              windowBackground, buttonFace, inactiveTitleBar, buttonFace};
    for (int i = 0; i < 9; ++i) {
        if (vertical_)
            lblSplitterBar->Line(offsets[i], 0, offsets[i], lblSplitterBar->scaleHeight(), colours[i]);
        else
            lblSplitterBar->Line(0, offsets[i], lblSplitterBar->scaleWidth(), offsets[i], colours[i]);
    }
    lblSplitterBar->ZOrder(0);
}

double SplitRegion::percentAt(double x, double y) const
{
    if (vertical_) {
        const double p = x / scaleWidth() * 100;
        return rightToLeft_ ? 100 - p : p;
    }
    return y / scaleHeight() * 100;
}

void SplitRegion::drawOutline(double percent)
{
    if (!dc_)
        return;
    const int t = thicknessPixels_;
    if (vertical_) {
        const double c = roundEven((rightToLeft_ ? 1 - percent / 100 : percent / 100) * widthPixels_);
        const int left = static_cast<int>(roundEven(c - t / 2.0));
        dc_->rectangle(left, 0, left + t, static_cast<int>(roundEven(heightPixels_)));
    } else {
        const int top = static_cast<int>(roundEven(roundEven(percent / 100 * heightPixels_) - t / 2.0));
        dc_->rectangle(0, top, static_cast<int>(roundEven(widthPixels_)), top + t);
    }
}

void SplitRegion::lblSplitterBar_MouseDown(int Button, int, double X, double Y)
{
    if (Button != forms::LeftButton)
        return;
    const double x = X + lblSplitterBar->leftTwips(), y = Y + lblSplitterBar->topTwips();
    ignoringErrors([&] { measure(); }); // the drag uses the last good measurement
    dc_ = forms::takeCanvas(widget());
    dc_->removeClipRegion();
    dc_->setInvertMode();
    dc_->selectHollowBrush();
    const double p = percentAt(x, y);
    drawOutline(p);
    lastDrawn_ = p;
    dragging_ = true;
}

void SplitRegion::lblSplitterBar_MouseMove(int, int, double X, double Y)
{
    lblSplitterBar->setMousePointer(vertical_ ? PointerSizeWE : PointerSizeNS);
    if (!dragging_)
        return;
    const double p = clamp(percentAt(X + lblSplitterBar->leftTwips(), Y + lblSplitterBar->topTwips()));
    if (std::fabs(p - lastDrawn_) > 0.1) {
        drawOutline(lastDrawn_);
        drawOutline(p);
        lastDrawn_ = p;
    }
}

void SplitRegion::lblSplitterBar_MouseUp(int, int, double X, double Y)
{
    if (!dragging_)
        return;
    drawOutline(lastDrawn_);
    dc_.reset();
    dragging_ = false;
    setSplitPercent(percentAt(X + lblSplitterBar->leftTwips(), Y + lblSplitterBar->topTwips()));
}

void SplitRegion::raiseEvent(const char* event)
{
    QVariantList none;
    raise(QString::fromLatin1(event), none);
}

} // namespace q7::component
