#include "ui/SplitRegion.h"

#include "platform/AutomationError.h"
#include "platform/ErrorsIgnored.h"
#include "platform/LateBinding.h"
#include "platform/Values.h"

#include <cmath>

using namespace q7;
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
    m_control1.clear();
    m_control2.clear();
    m_c1Min = m_c2Min = defaultSize();
    m_requestedPercent = m_splitPercent = 30;
    m_barColor = a.backColor;
    lblSplitterBar->setBackColor(m_barColor);
    m_allowHiding = false;
    m_keepPercent = true;
    m_rightToLeft = a.rightToLeft;
    m_vertical = true;
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
    if (!nameAccepted(m_control1))
        m_control1.clear();
    return m_control1;
}

QString SplitRegion::control2()
{
    if (!nameAccepted(m_control2))
        m_control2.clear();
    return m_control2;
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

void SplitRegion::setControl1(const QString& name) { setControlName(m_control1, m_control2, name, "Control1"); }
void SplitRegion::setControl2(const QString& name) { setControlName(m_control2, m_control1, name, "Control2"); }

// ---- property setters ----------------------------------------------------

void SplitRegion::setControl1MinSize(double size)
{
    if (size == m_c1Min)
        return;
    m_c1Min = size;
    m_splitPercent = clamp(m_splitPercent);
    layout();
    PropertyChanged(QStringLiteral("Control1MinSize"));
}

void SplitRegion::setControl2MinSize(double size)
{
    if (size == m_c2Min)
        return;
    m_c2Min = size;
    m_splitPercent = clamp(m_splitPercent);
    layout();
    PropertyChanged(QStringLiteral("Control2MinSize"));
}

void SplitRegion::setSplitPercent(double percent)
{
    raiseEvent("ReJustSize");
    if (percent == m_splitPercent)
        return;
    m_requestedPercent = percent;
    storeSplitPosition(percent);
    m_splitPercent = clamp(percent);
    layout();
    raiseEvent("RepositionSplit");
    PropertyChanged(QStringLiteral("SplitPercent"));
}

void SplitRegion::setSplitterBarVertical(bool vertical)
{
    if (vertical == m_vertical)
        return;
    m_vertical = vertical;
    setSplitterBarThickness(m_thickness);
    if (m_vertical) {
        lblSplitterBar->setMousePointer(PointerSizeWE);
        lblSplitterBar->setGeometryTwips(lblSplitterBar->leftTwips(), 0, lblSplitterBar->widthTwips(), scaleHeight());
    } else {
        lblSplitterBar->setMousePointer(PointerSizeNS);
        lblSplitterBar->setGeometryTwips(0, lblSplitterBar->topTwips(), scaleWidth(), lblSplitterBar->heightTwips());
    }
    m_splitPercent = clamp(m_splitPercent);
    layout();
    storeSplitPosition(m_splitPercent);
    PropertyChanged(QStringLiteral("SplitterBarVertical"));
    drawBar();
}

void SplitRegion::setSplitterBarThickness(double thickness)
{
    const Container* c = container();
    // the bar's size in own units for the thickness in container units
    const double containerWidth = c ? widthTwips() / c->twipsPerUnitX() : widthTwips();
    const double containerHeight = c ? heightTwips() / c->twipsPerUnitY() : heightTwips();
    if (m_vertical && containerWidth != 0)
        lblSplitterBar->setGeometryTwips(lblSplitterBar->leftTwips(), lblSplitterBar->topTwips(),
                                         std::trunc(thickness * scaleWidth() / containerWidth), lblSplitterBar->heightTwips());
    else if (!m_vertical && containerHeight != 0)
        lblSplitterBar->setGeometryTwips(lblSplitterBar->leftTwips(), lblSplitterBar->topTwips(), lblSplitterBar->widthTwips(),
                                         std::trunc(thickness * scaleHeight() / containerHeight));
    const double perUnit = c ? (m_vertical ? c->twipsPerUnitX() : c->twipsPerUnitY()) : 1.0;
    const double twipsPerPixel = m_vertical ? forms::Screen::twipsPerPixelX() : forms::Screen::twipsPerPixelY();
    m_thicknessPixels = static_cast<int>(roundEven(std::fabs(thickness * perUnit / twipsPerPixel)));
    m_thickness = thickness;
    m_splitPercent = clamp(m_splitPercent);
    layout();
    PropertyChanged(QStringLiteral("SplitterBarThickness"));
}

void SplitRegion::setSplitterBarColor(const QColor& color)
{
    if (color == m_barColor)
        return;
    m_barColor = color;
    lblSplitterBar->setBackColor(color);
    PropertyChanged(QStringLiteral("SplitterBarColor"));
}

void SplitRegion::setAllowControlHiding(bool allow)
{
    if (allow == m_allowHiding)
        return;
    m_allowHiding = allow;
    m_splitPercent = clamp(m_splitPercent);
    layout();
    PropertyChanged(QStringLiteral("AllowControlHiding"));
}

void SplitRegion::setKeepSplitPercentOnResize(bool keep)
{
    if (keep == m_keepPercent)
        return;
    m_keepPercent = keep;
    PropertyChanged(QStringLiteral("KeepSplitPercentOnResize"));
}

void SplitRegion::setRightToLeft(bool rightToLeft)
{
    if (rightToLeft == m_rightToLeft)
        return;
    m_rightToLeft = rightToLeft;
    layout();
    storeSplitPosition(m_splitPercent);
    PropertyChanged(QStringLiteral("RightToLeft"));
}

// Measuring goes as far as it can (see measure); asking the two controls
// to repaint is a courtesy that a control without Refresh may refuse.
void SplitRegion::Refresh()
{
    ++refreshCount;
    ignoringErrors([&] { measure(); });
    layout();
    for (const QString& name : {m_control1, m_control2})
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
    m_left = left();
    m_top = top();
    double width = widthTwips() / c->twipsPerUnitX();
    double height = heightTwips() / c->twipsPerUnitY();
    m_widthPixels = widthTwips() / forms::Screen::twipsPerPixelX();
    m_heightPixels = heightTwips() / forms::Screen::twipsPerPixelY();
    m_widthSign = width < 0 ? -1 : 1;
    m_heightSign = height < 0 ? -1 : 1;
    m_width = std::fabs(width);
    m_height = std::fabs(height);
    m_geometryValid = true;
}

double SplitRegion::clamp(double percent)
{
    if (!m_geometryValid)
        return percent;
    const Container* c = container();
    const double minExtent = m_c1Min + m_c2Min + m_thickness;
    if (c) {
        if (m_vertical && std::fabs(minExtent * c->twipsPerUnitX()) > widthTwips()) {
            setGeometryTwips(leftTwips(), topTwips(), std::fabs(minExtent * c->twipsPerUnitX()), heightTwips());
            measure();
        } else if (!m_vertical && std::fabs(minExtent * c->twipsPerUnitY()) > heightTwips()) {
            setGeometryTwips(leftTwips(), topTwips(), widthTwips(), std::fabs(minExtent * c->twipsPerUnitY()));
            measure();
        }
    }
    const double usable = (m_vertical ? m_width : m_height) - m_thickness;
    if (usable <= 0)
        return percent;
    const double lower = m_c1Min / usable * 100;
    const double upper = (1 - m_c2Min / usable) * 100;
    if (percent < lower) {
        PropertyChanged(QStringLiteral("SplitPercent"));
        return m_allowHiding ? 0 : lower;
    }
    if (percent > upper) {
        PropertyChanged(QStringLiteral("SplitPercent"));
        return m_allowHiding ? 100 : upper;
    }
    return percent;
}

double SplitRegion::splitX(double percent) const
{
    if (!m_vertical)
        return 0;
    return (m_rightToLeft ? 1 - percent / 100 : percent / 100) * scaleWidth();
}

double SplitRegion::splitY(double percent) const { return m_vertical ? 0 : percent / 100 * scaleHeight(); }

void SplitRegion::storeSplitPosition(double percent)
{
    m_splitX = splitX(percent);
    m_splitY = splitY(percent);
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
    if (m_inLayout || !m_geometryValid || !c || c->controls().isEmpty())
        return;
    Control* first = sibling(m_control1);
    Control* second = sibling(m_control2);
    if (!m_shown) {
        for (Control* control : {first, second})
            if (control)
                control->setVisible(false);
        return;
    }
    m_inLayout = true;
    // cleared however the layout ends, so that a failed layout never stops the next one
    const struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{m_inLayout};
    const double f = m_splitPercent / 100, t = m_thickness;
    const double L = m_left, T = m_top, W = m_width, H = m_height;
    const int sx = m_widthSign, sy = m_heightSign;
    if (m_vertical) {
        const double s1 = f * W - t * 0.5;
        if (first) {
            if (s1 <= 0)
                first->setVisible(false);
            else
                place(first, m_rightToLeft ? L + (W - s1) * sx : L, T, s1 + 20, H);
        }
        lblSplitterBar->setGeometryTwips(splitX(m_splitPercent) - lblSplitterBar->widthTwips() * 0.5, lblSplitterBar->topTwips(),
                                         lblSplitterBar->widthTwips(), lblSplitterBar->heightTwips());
        const double s2 = (1 - f) * W - t * 0.5;
        if (second) {
            if (s2 - 5 <= 0) // no room left once it starts 5 units past the bar
                second->setVisible(false);
            else
                place(second, (m_rightToLeft ? L : L + (s1 + t) * sx) + 5, T, s2 - 5, H);
        }
    } else {
        const double s1 = f * H - t * 0.5;
        if (first) {
            if (s1 <= 0)
                first->setVisible(false);
            else
                place(first, L, T, W + 20, s1);
        }
        lblSplitterBar->setGeometryTwips(lblSplitterBar->leftTwips(), splitY(m_splitPercent) - lblSplitterBar->heightTwips() * 0.5 - 2,
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
    if (m_inResize || mbLock)
        return;
    m_inResize = true;
    ignoringErrors([&] {
        measure();
        if (m_vertical)
            lblSplitterBar->setGeometryTwips(lblSplitterBar->leftTwips(), 0, lblSplitterBar->widthTwips(), scaleHeight());
        else
            lblSplitterBar->setGeometryTwips(0, lblSplitterBar->topTwips(), scaleWidth(), lblSplitterBar->heightTwips());
        if (!m_runModePainted) {
            storeSplitPosition(m_requestedPercent);
        } else if (!m_keepPercent) {
            double percent = m_vertical ? m_splitX / scaleWidth() * 100 : m_splitY / scaleHeight() * 100;
            if (m_vertical && m_rightToLeft)
                percent = (1 - m_splitX / scaleWidth()) * 100;
            m_requestedPercent = std::min(percent, 100.0);
        }
        m_splitPercent = clamp(m_requestedPercent);
        raiseEvent("Resize");
        layout();
    });
    m_inResize = false;
}

// As in Refresh, a measurement that fails part way keeps the values it got.
void SplitRegion::UserControl_Show()
{
    m_shown = true;
    ignoringErrors([&] { measure(); });
    layout();
}

void SplitRegion::UserControl_Hide()
{
    m_shown = false;
    layout();
}

void SplitRegion::UserControl_Paint()
{
    if (ambient().userMode)
        m_runModePainted = true;
}

void SplitRegion::AmbientChanged(const QString& name)
{
    if (!values::textEquals(name, QStringLiteral("ScaleUnits")))
        return;
    const Container* c = container();
    if (!c)
        return;
    const double oldThickness = m_thickness;
    const double newThickness = m_vertical ? lblSplitterBar->widthTwips() / scaleWidth() * std::fabs(widthTwips() / c->twipsPerUnitX())
                                           : lblSplitterBar->heightTwips() / scaleHeight() * std::fabs(heightTwips() / c->twipsPerUnitY());
    if (oldThickness != 0) {
        m_c1Min *= newThickness / oldThickness;
        m_c2Min *= newThickness / oldThickness;
    }
    m_thickness = newThickness;
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
        bag.WriteProperty(QStringLiteral("Control1"), m_control1, QString(""));
        bag.WriteProperty(QStringLiteral("Control2"), m_control2, QString(""));
        bag.WriteProperty(QStringLiteral("Control1MinSize"), control1MinSize(), defaultSize());
        bag.WriteProperty(QStringLiteral("Control2MinSize"), control2MinSize(), defaultSize());
        bag.WriteProperty(QStringLiteral("SplitPercent"), splitPercent(), 30.0);
        bag.WriteProperty(QStringLiteral("SplitterBarVertical"), m_vertical, true);
        bag.WriteProperty(QStringLiteral("SplitterBarThickness"), splitterBarThickness(), defaultSize());
        bag.WriteProperty(QStringLiteral("SplitterBarColor"), m_barColor, a.backColor);
        bag.WriteProperty(QStringLiteral("AllowControlHiding"), m_allowHiding, false);
        bag.WriteProperty(QStringLiteral("KeepSplitPercentOnResize"), m_keepPercent, true);
        bag.WriteProperty(QStringLiteral("RightToLeft"), m_rightToLeft, a.rightToLeft);
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
    ignoringErrors([&] { m_control1 = values::toTextOrEmpty(bag.ReadProperty(QStringLiteral("Control1"), QString(""))); });
    ignoringErrors([&] { m_control2 = values::toTextOrEmpty(bag.ReadProperty(QStringLiteral("Control2"), QString(""))); });
    drawBar();
}

// ---- the bar ---------------------------------------------------------------

void SplitRegion::drawBar()
{
    lblSplitterBar->drawWidth = 1;
    lblSplitterBar->Cls();
    if (m_vertical)
        lblSplitterBar->setGeometryTwips(lblSplitterBar->leftTwips(), lblSplitterBar->topTwips(), lblSplitterBar->widthTwips(),
                                         forms::Screen::heightTwips());
    else
        lblSplitterBar->setGeometryTwips(lblSplitterBar->leftTwips(), lblSplitterBar->topTwips(), forms::Screen::widthTwips(),
                                         lblSplitterBar->heightTwips());
    static const int offsets[] = {3, 15, 30, 45, 60, 75, 90, 105, 120};
    const QColor colours[] = {buttonFace, windowBackground, buttonFace, inactiveTitleBar, buttonFace,
                              windowBackground, buttonFace, inactiveTitleBar, buttonFace};
    for (int i = 0; i < 9; ++i) {
        if (m_vertical)
            lblSplitterBar->Line(offsets[i], 0, offsets[i], lblSplitterBar->scaleHeight(), colours[i]);
        else
            lblSplitterBar->Line(0, offsets[i], lblSplitterBar->scaleWidth(), offsets[i], colours[i]);
    }
    lblSplitterBar->ZOrder(0);
}

double SplitRegion::percentAt(double x, double y) const
{
    if (m_vertical) {
        const double p = x / scaleWidth() * 100;
        return m_rightToLeft ? 100 - p : p;
    }
    return y / scaleHeight() * 100;
}

void SplitRegion::drawOutline(double percent)
{
    if (!m_dc)
        return;
    const int t = m_thicknessPixels;
    if (m_vertical) {
        const double c = roundEven((m_rightToLeft ? 1 - percent / 100 : percent / 100) * m_widthPixels);
        const int left = static_cast<int>(roundEven(c - t / 2.0));
        m_dc->rectangle(left, 0, left + t, static_cast<int>(roundEven(m_heightPixels)));
    } else {
        const int top = static_cast<int>(roundEven(roundEven(percent / 100 * m_heightPixels) - t / 2.0));
        m_dc->rectangle(0, top, static_cast<int>(roundEven(m_widthPixels)), top + t);
    }
}

void SplitRegion::lblSplitterBar_MouseDown(int Button, int, double X, double Y)
{
    if (Button != forms::LeftButton)
        return;
    const double x = X + lblSplitterBar->leftTwips(), y = Y + lblSplitterBar->topTwips();
    ignoringErrors([&] { measure(); }); // the drag uses the last good measurement
    m_dc = forms::takeCanvas(widget());
    m_dc->removeClipRegion();
    m_dc->setInvertMode();
    m_dc->selectHollowBrush();
    const double p = percentAt(x, y);
    drawOutline(p);
    m_lastDrawn = p;
    m_dragging = true;
}

void SplitRegion::lblSplitterBar_MouseMove(int, int, double X, double Y)
{
    lblSplitterBar->setMousePointer(m_vertical ? PointerSizeWE : PointerSizeNS);
    if (!m_dragging)
        return;
    const double p = clamp(percentAt(X + lblSplitterBar->leftTwips(), Y + lblSplitterBar->topTwips()));
    if (std::fabs(p - m_lastDrawn) > 0.1) {
        drawOutline(m_lastDrawn);
        drawOutline(p);
        m_lastDrawn = p;
    }
}

void SplitRegion::lblSplitterBar_MouseUp(int, int, double X, double Y)
{
    if (!m_dragging)
        return;
    drawOutline(m_lastDrawn);
    m_dc.reset();
    m_dragging = false;
    setSplitPercent(percentAt(X + lblSplitterBar->leftTwips(), Y + lblSplitterBar->topTwips()));
}

void SplitRegion::raiseEvent(const char* event)
{
    QVariantList none;
    raise(QString::fromLatin1(event), none);
}
