#pragma once

#include "platform/forms/Canvas.h"
#include "platform/forms/PictureBox.h"
#include "platform/forms/UserControl.h"

#include <QColor>
#include <QString>

#include <memory>

namespace q7::component {

// Divides its own rectangle between two sibling controls of its container
// (Control1 left or on top, Control2 right or below) and lets the user drag
// the bar between them. The split is a percentage of the region. Events, in
// this order of numbering: RepositionSplit, Resize, ReJustSize.
class SplitRegion : public q7::forms::UserControl {
    Q_OBJECT
    Q_PROPERTY(QString Control1 READ control1 WRITE setControl1)
    Q_PROPERTY(QString Control2 READ control2 WRITE setControl2)
    Q_PROPERTY(double Control1MinSize READ control1MinSize WRITE setControl1MinSize)
    Q_PROPERTY(double Control2MinSize READ control2MinSize WRITE setControl2MinSize)
    Q_PROPERTY(double SplitPercent READ splitPercent WRITE setSplitPercent)
    Q_PROPERTY(bool SplitterBarVertical READ splitterBarVertical WRITE setSplitterBarVertical)
    Q_PROPERTY(double SplitterBarThickness READ splitterBarThickness WRITE setSplitterBarThickness)
    Q_PROPERTY(QColor SplitterBarColor READ splitterBarColor WRITE setSplitterBarColor)
    Q_PROPERTY(bool AllowControlHiding READ allowControlHiding WRITE setAllowControlHiding)
    Q_PROPERTY(bool KeepSplitPercentOnResize READ keepSplitPercentOnResize WRITE setKeepSplitPercentOnResize)
    Q_PROPERTY(bool RightToLeft READ rightToLeft WRITE setRightToLeft)
    Q_PROPERTY(bool mbLock MEMBER mbLock)
    Q_PROPERTY(bool mbInOCX MEMBER mbInOCX)
public:
    SplitRegion(q7::forms::Container* container, QString name, int index = -1);

    QString typeName() const override { return QStringLiteral("SplitRegion"); }

    QString control1();
    QString control2();
    void setControl1(const QString& name);
    void setControl2(const QString& name);
    double control1MinSize() const { return c1Min_; }
    double control2MinSize() const { return c2Min_; }
    void setControl1MinSize(double size);
    void setControl2MinSize(double size);
    double splitPercent() const { return splitPercent_; }
    void setSplitPercent(double percent);
    bool splitterBarVertical() const { return vertical_; }
    void setSplitterBarVertical(bool vertical);
    double splitterBarThickness() const { return thickness_; }
    void setSplitterBarThickness(double thickness);
    QColor splitterBarColor() const { return barColor_; }
    void setSplitterBarColor(const QColor& color);
    bool allowControlHiding() const { return allowHiding_; }
    void setAllowControlHiding(bool allow);
    bool keepSplitPercentOnResize() const { return keepPercent_; }
    void setKeepSplitPercentOnResize(bool keep);
    bool rightToLeft() const { return rightToLeft_; }
    void setRightToLeft(bool rightToLeft);

    Q_INVOKABLE void Refresh() override;

    bool mbLock = false;
    bool mbInOCX = false;

    // Life cycle.
    void InitProperties() override;
    void ReadProperties(q7::forms::PropertyBag& bag) override;
    void WriteProperties(q7::forms::PropertyBag& bag) override;
    void UserControl_Show() override;
    void UserControl_Hide() override;
    void UserControl_Paint() override;
    void UserControl_Resize() override;
    void AmbientChanged(const QString& name) override;

    // Mouse events of the bar (positions in the bar's scale units).
    Q_INVOKABLE void lblSplitterBar_MouseDown(int Button, int Shift, double X, double Y);
    Q_INVOKABLE void lblSplitterBar_MouseMove(int Button, int Shift, double X, double Y);
    Q_INVOKABLE void lblSplitterBar_MouseUp(int Button, int Shift, double X, double Y);

    q7::forms::PictureBox* bar() const { return lblSplitterBar; }
    double requestedPercent() const { return requestedPercent_; }
    bool dragging() const { return dragging_; }

private:
    double defaultSize() const;   // 100 twips in container units, whole
    bool nameAccepted(const QString& name) const;
    q7::forms::Control* sibling(const QString& name) const;
    void setControlName(QString& slot, QString& other, const QString& name, const char* property);
    void measure();
    double clamp(double percent);
    void storeSplitPosition(double percent);
    double splitX(double percent) const;
    double splitY(double percent) const;
    void layout();
    void place(q7::forms::Control* control, double left, double top, double width, double height);
    void drawBar();
    double percentAt(double x, double y) const;
    void drawOutline(double percent);
    void raiseEvent(const char* event);

    q7::forms::PictureBox* lblSplitterBar;
    QString control1_, control2_;
    double c1Min_ = 0, c2Min_ = 0;
    double splitPercent_ = 30, requestedPercent_ = 30;
    bool vertical_ = true;
    double thickness_ = 0;
    QColor barColor_;
    bool allowHiding_ = false, keepPercent_ = true, rightToLeft_ = false;

    double splitX_ = 0, splitY_ = 0;
    int thicknessPixels_ = 0;
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0, widthPixels_ = 0, heightPixels_ = 0;
    int widthSign_ = 1, heightSign_ = 1;
    bool geometryValid_ = false, shown_ = true, runModePainted_ = false;
    bool inLayout_ = false, inResize_ = false;
    bool dragging_ = false;
    std::unique_ptr<q7::forms::Canvas> dc_;
    double lastDrawn_ = 0;
};

} // namespace q7::component
