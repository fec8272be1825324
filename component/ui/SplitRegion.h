#pragma once

#include "platform/forms/Canvas.h"
#include "platform/forms/PictureBox.h"
#include "platform/forms/UserControl.h"

#include <QColor>
#include <QString>

#include <memory>

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
    double control1MinSize() const { return m_c1Min; }
    double control2MinSize() const { return m_c2Min; }
    void setControl1MinSize(double size);
    void setControl2MinSize(double size);
    double splitPercent() const { return m_splitPercent; }
    void setSplitPercent(double percent);
    bool splitterBarVertical() const { return m_vertical; }
    void setSplitterBarVertical(bool vertical);
    double splitterBarThickness() const { return m_thickness; }
    void setSplitterBarThickness(double thickness);
    QColor splitterBarColor() const { return m_barColor; }
    void setSplitterBarColor(const QColor& color);
    bool allowControlHiding() const { return m_allowHiding; }
    void setAllowControlHiding(bool allow);
    bool keepSplitPercentOnResize() const { return m_keepPercent; }
    void setKeepSplitPercentOnResize(bool keep);
    bool rightToLeft() const { return m_rightToLeft; }
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
    double requestedPercent() const { return m_requestedPercent; }
    bool dragging() const { return m_dragging; }

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
    QString m_control1, m_control2;
    double m_c1Min = 0, m_c2Min = 0;
    double m_splitPercent = 30, m_requestedPercent = 30;
    bool m_vertical = true;
    double m_thickness = 0;
    QColor m_barColor;
    bool m_allowHiding = false, m_keepPercent = true, m_rightToLeft = false;

    double m_splitX = 0, m_splitY = 0;
    int m_thicknessPixels = 0;
    double m_left = 0, m_top = 0, m_width = 0, m_height = 0, m_widthPixels = 0, m_heightPixels = 0;
    int m_widthSign = 1, m_heightSign = 1;
    bool m_geometryValid = false, m_shown = true, m_runModePainted = false;
    bool m_inLayout = false, m_inResize = false;
    bool m_dragging = false;
    std::unique_ptr<q7::forms::Canvas> m_dc;
    double m_lastDrawn = 0;
};
