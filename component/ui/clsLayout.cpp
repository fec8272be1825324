#include "ui/clsLayout.h"

#include "platform/ErrorsIgnored.h"
#include "platform/LateBinding.h"
#include "platform/ObjectRef.h"
#include "platform/values/Values.h"
#include "platform/forms/Units.h"

#include <cmath>

namespace q7::component {


namespace {

// An omitted optional argument reads as Null, as the platform's optional variants do.
bool isNullArg(const QVariant& v) { return !v.isValid() || isNull(v) || isMissing(v); }
bool flag(const QVariant& v) { return !isNullArg(v) && values::toBoolean(v); }
double whole(double v) { return std::nearbyint(v); }

} // namespace

clsLayout::clsLayout()
    : NormalFont(forms::Screen::twipsPerPixelX() == 15 ? -1 : 0),
      XNullTwip(NormalFont ? 120 : 96),
      YNullPixel(NormalFont ? 27 : 32),
      YNullTwip(NormalFont ? 405 : 384),
      ToolHeight(NormalFont ? 600 : 528),
      iTwipsX_(values::toInteger(forms::Screen::twipsPerPixelX())),
      iTwipsY_(values::toInteger(forms::Screen::twipsPerPixelY()))
{
}

QVariant clsLayout::TwipWord(QVariant& WordNum, const QVariant& FontSize)
{
    static const int sizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20};
    static const int normal[] = {11, 12, 13, 15, 16, 19, 21, 24, 27};
    static const int large[] = {14, 15, 16, 19, 20, 24, 26, 30, 34};
    const int size = isNullArg(FontSize) ? 9 : values::toLong(FontSize);
    int p = 0;
    for (size_t i = 0; i < std::size(sizes); ++i)
        if (sizes[i] == size)
            p = NormalFont ? normal[i] : large[i];
    return QVariant::fromValue(short(values::toInteger(double(values::toInteger(WordNum)) * p * iTwipsX_)));
}

// The layout members below size and place whatever they are given; each
// step is tried on its own and a failed one is skipped. A form or control
// that lacks a size, a window state or a toolbar, or a bad unit argument,
// only keeps the value it had: nothing here is worth stopping a form for.

void clsLayout::InitForm(QVariant& form, QVariant& WordWidth, QVariant& WordHeight, const QVariant&)
{
    const Object f = toObject(form);
    ignoringErrors([&] { letProperty(f, QStringLiteral("Width"), whole(180 * values::toDouble(WordWidth))); });
    ignoringErrors([&] { letProperty(f, QStringLiteral("Height"), whole(180 * values::toDouble(WordHeight))); });
}

void clsLayout::InitFormResize(QVariant& frmObj, QVariant& MinWordWidth, QVariant& MinWordHeight, const QVariant& SmallToolBar)
{
    frm_ = frmObj;
    const Object form = toObject(frmObj);
    const bool small = flag(SmallToolBar);
    ToolHeight = NormalFont ? (small ? 405 : 600) : (small ? 384 : 528);

    Object toolbar;
    // a form without a Toolbar1 (or one that cannot report its width) has none
    bToolBar_ = ignoringErrors([&] {
        toolbar = toObject(getProperty(form, QStringLiteral("Toolbar1")));
        getProperty(toolbar, QStringLiteral("Width"));
    });
    ignoringErrors([&] { iWidth_ = values::toInteger(180 * values::toDouble(MinWordWidth)); });
    ignoringErrors([&] { iHeight_ = values::toInteger(180 * values::toDouble(MinWordHeight)); });

    ignoringErrors([&] {
        if (values::toLong(getProperty(form, QStringLiteral("WindowState"))) != 0)
            return;
        if (values::toDouble(getProperty(form, QStringLiteral("Width"))) < iWidth_)
            letProperty(form, QStringLiteral("Width"), double(iWidth_));
        if (values::toDouble(getProperty(form, QStringLiteral("Height"))) < iHeight_)
            letProperty(form, QStringLiteral("Height"), double(iHeight_));
    });
    if (bToolBar_)
        ignoringErrors([&] {
            const double formWidth = values::toDouble(getProperty(form, QStringLiteral("Width")));
            if (values::toLong(getProperty(toolbar, QStringLiteral("Align"))) == 0
                && values::toDouble(getProperty(toolbar, QStringLiteral("Width"))) > formWidth)
                letProperty(toolbar, QStringLiteral("Width"), formWidth);
        });
    ignoringErrors([&] {
        const double formWidth = values::toDouble(getProperty(form, QStringLiteral("Width")));
        if (formWidth - XNullTwip - iWidth_ >= 0)
            iWidth_ = values::toInteger(formWidth - XNullTwip);
    });
    ignoringErrors([&] {
        const double formHeight = values::toDouble(getProperty(form, QStringLiteral("Height")));
        if (formHeight - YNullTwip - iHeight_ >= 0)
            iHeight_ = values::toInteger(formHeight - YNullTwip);
    });
}

void clsLayout::ArrCtrl(QVariant& ctrl, const QVariant& XMinWidth, const QVariant& YMinHeight, const QVariant& XLeftSize,
                        const QVariant& XRightSize, const QVariant& YTopSize, const QVariant& YBottomSize, const QVariant& XMid,
                        const QVariant& NoVisible)
{
    const Object control = toObject(ctrl);
    const double u = WordTwip;
    const double wd = iWidth_, ht = iHeight_;
    const double offset = bToolBar_ ? ToolHeight : 0;
    double w = 0, h = 0;
    ignoringErrors([&] { w = isNullArg(XMinWidth) ? values::toDouble(getProperty(control, QStringLiteral("Width"))) / u : values::toDouble(XMinWidth); });
    ignoringErrors([&] { h = isNullArg(YMinHeight) ? values::toDouble(getProperty(control, QStringLiteral("Height"))) / u : values::toDouble(YMinHeight); });
    const bool hasL = !isNullArg(XLeftSize), hasR = !isNullArg(XRightSize), hasT = !isNullArg(YTopSize), hasB = !isNullArg(YBottomSize);
    double l = 0, r = 0, t = 0, b = 0;
    ignoringErrors([&] { l = hasL ? values::toDouble(XLeftSize) : 0; });
    ignoringErrors([&] { r = hasR ? values::toDouble(XRightSize) : 0; });
    ignoringErrors([&] { t = hasT ? values::toDouble(YTopSize) : 0; });
    ignoringErrors([&] { b = hasB ? values::toDouble(YBottomSize) : 0; });
    const bool mid = flag(XMid), hidden = flag(NoVisible);

    double left = 0, width = 0, top = 0, height = 0;
    if (hasL || hasR) {
        if (hasL && !hasR) {
            left = u * l;
            width = mid ? wd / 2 - u * l : u * w;
        } else if (hasR && !hasL) {
            left = mid ? wd / 2 : wd - u * (w + r);
            width = mid ? wd / 2 - u * r : u * w;
        } else {
            left = mid ? (wd - u * w) / 2 : u * l;
            width = mid ? u * w : wd - u * (l + r);
        }
    }
    if (hasT || hasB) {
        if (hasT && !hasB) {
            top = offset + u * t;
            height = u * h;
        } else if (hasB && !hasT) {
            top = ht - u * (h + b);
            height = u * h;
        } else {
            top = offset + u * t;
            height = ht - u * (t + b) - offset;
        }
    }
    if (hasL || hasR || mid) {
        ignoringErrors([&] { letProperty(control, QStringLiteral("Left"), whole(left)); });
        ignoringErrors([&] { letProperty(control, QStringLiteral("Width"), whole(width)); });
    }
    if (hasT || hasB) {
        ignoringErrors([&] { letProperty(control, QStringLiteral("Top"), whole(top)); });
        ignoringErrors([&] { letProperty(control, QStringLiteral("Height"), whole(height)); });
    }
    if (!hidden)
        ignoringErrors([&] { letProperty(control, QStringLiteral("Visible"), true); });
}

} // namespace q7::component
