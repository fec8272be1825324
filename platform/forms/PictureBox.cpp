#include "platform/forms/PictureBox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace q7::forms {

namespace {

class PictureWidget : public QWidget {
public:
    PictureWidget(PictureBox* box, QWidget* parent) : QWidget(parent), box_(box) { setAutoFillBackground(true); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!box_)
            return;
        QPainter painter(this);
        const double tx = Screen::twipsPerPixelX(), ty = Screen::twipsPerPixelY();
        for (const auto& line : box_->lines()) {
            painter.setPen(QPen(line.color, line.width));
            painter.drawLine(QPointF(box_->xToTwips(line.x1) / tx, box_->yToTwips(line.y1) / ty),
                             QPointF(box_->xToTwips(line.x2) / tx, box_->yToTwips(line.y2) / ty));
        }
    }
    void mousePressEvent(QMouseEvent* e) override { pass(QStringLiteral("MouseDown"), e, e->buttons()); }
    void mouseMoveEvent(QMouseEvent* e) override { pass(QStringLiteral("MouseMove"), e, e->buttons()); }
    void mouseReleaseEvent(QMouseEvent* e) override { pass(QStringLiteral("MouseUp"), e, e->button()); }

private:
    void pass(const QString& event, QMouseEvent* e, Qt::MouseButtons buttons)
    {
        if (!box_)
            return;
        int button = 0;
        if (buttons & Qt::LeftButton)
            button |= LeftButton;
        if (buttons & Qt::RightButton)
            button |= RightButton;
        if (buttons & Qt::MiddleButton)
            button |= MiddleButton;
        const int shift = (e->modifiers() & Qt::ShiftModifier ? 1 : 0) | (e->modifiers() & Qt::ControlModifier ? 2 : 0)
            | (e->modifiers() & Qt::AltModifier ? 4 : 0);
        // positions in the box's own scale units
        const double x = box_->xFromTwips(e->position().x() * Screen::twipsPerPixelX());
        const double y = box_->yFromTwips(e->position().y() * Screen::twipsPerPixelY());
        box_->raise(event, QVariantList{button, shift, x, y});
    }
    QPointer<PictureBox> box_;
};

} // namespace

void PictureBox::Line(double x1, double y1, double x2, double y2, const QColor& color)
{
    lines_.append({x1, y1, x2, y2, color, drawWidth});
    if (QWidget* w = existingWidget())
        w->update();
}

void PictureBox::Cls()
{
    lines_.clear();
    if (QWidget* w = existingWidget())
        w->update();
}

QWidget* PictureBox::createWidget(QWidget* parent) { return new PictureWidget(this, parent); }

} // namespace q7::forms
