#pragma once

#include <QObject>
#include <QVariant>

#include <cstdint>

namespace q7::component {

// Sizes forms and places controls in units of 180 twips, measured from the
// form's usable client area. Forms and controls are reached late-bound.
class clsLayout : public QObject {
    Q_OBJECT
    Q_PROPERTY(short NormalFont MEMBER NormalFont)
    Q_PROPERTY(short XNullPixel MEMBER XNullPixel)
    Q_PROPERTY(short XNullTwip MEMBER XNullTwip)
    Q_PROPERTY(short YNullPixel MEMBER YNullPixel)
    Q_PROPERTY(short YNullTwip MEMBER YNullTwip)
    Q_PROPERTY(short ToolHeight MEMBER ToolHeight)
    Q_PROPERTY(short WordTwip MEMBER WordTwip)
public:
    clsLayout();

    short NormalFont;  // True (-1) on a screen of 15 twips per pixel ("small fonts")
    short XNullPixel = 8;
    short XNullTwip;
    short YNullPixel;
    short YNullTwip;
    short ToolHeight;
    short WordTwip = 180;

    // WordNum characters at a font size, in twips (0 for an unknown size; overflow error 6 beyond 16 bits).
    Q_INVOKABLE QVariant TwipWord(QVariant& WordNum, const QVariant& FontSize = QVariant(9));
    Q_INVOKABLE void InitForm(QVariant& form, QVariant& WordWidth, QVariant& WordHeight, const QVariant& bToolBar = QVariant());
    Q_INVOKABLE void InitFormResize(QVariant& frmObj, QVariant& MinWordWidth, QVariant& MinWordHeight, const QVariant& SmallToolBar = QVariant());
    Q_INVOKABLE void ArrCtrl(QVariant& ctrl, const QVariant& XMinWidth = QVariant(), const QVariant& YMinHeight = QVariant(),
                             const QVariant& XLeftSize = QVariant(), const QVariant& XRightSize = QVariant(),
                             const QVariant& YTopSize = QVariant(), const QVariant& YBottomSize = QVariant(),
                             const QVariant& XMid = QVariant(), const QVariant& NoVisible = QVariant());

    int16_t usableWidth() const { return iWidth_; }
    int16_t usableHeight() const { return iHeight_; }
    bool hasToolbar() const { return bToolBar_; }

private:
    bool bToolBar_ = false;
    int16_t iTwipsX_;
    int16_t iTwipsY_;
    QVariant frm_;
    int16_t iWidth_ = 0;
    int16_t iHeight_ = 0;
};

} // namespace q7::component
