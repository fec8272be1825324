#pragma once

#include "platform/forms/Container.h"
#include "platform/forms/Control.h"

namespace q7::forms {

// A picture box: a control that holds controls, has its own scale and can
// draw lines (kept and repainted).
class PictureBox : public Control, public Container {
    Q_OBJECT
    Q_PROPERTY(double ScaleWidth READ scaleWidth)
    Q_PROPERTY(double ScaleHeight READ scaleHeight)
    Q_PROPERTY(int DrawWidth MEMBER drawWidth)
public:
    using Control::Control;

    struct DrawnLine {
        double x1, y1, x2, y2; // own scale units
        QColor color;
        int width;
    };
    Q_INVOKABLE void Line(double x1, double y1, double x2, double y2, const QColor& color);
    Q_INVOKABLE void Cls();
    const QList<DrawnLine>& lines() const { return lines_; }
    int drawWidth = 1;

    double innerWidthTwips() const override { return widthTwips(); }
    double innerHeightTwips() const override { return heightTwips(); }
    QWidget* childWidget() override { return widget(); }
    QObject* codeModule() override { return container() ? container()->codeModule() : nullptr; }
    QObject* asObject() override { return this; }
    bool hasChildWidget() const override { return existingWidget() != nullptr; }

protected:
    QWidget* createWidget(QWidget* parent) override;

private:
    QList<DrawnLine> lines_;
};

} // namespace q7::forms
