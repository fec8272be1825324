#include "platform/forms/Canvas.h"

#include <QPainter>
#include <QPointer>

namespace q7::forms {

namespace {

// Shows the invert-mode rectangles over a window: a transparent child on top
// that keeps the rectangles drawn an odd number of times.
class OverlayWidget : public QWidget {
public:
    explicit OverlayWidget(QWidget* window) : QWidget(window)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setGeometry(window->rect());
        raise();
        show();
    }
    void toggle(const QRect& r)
    {
        if (!rects_.removeOne(r))
            rects_.append(r);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.setPen(Qt::black);
        for (const QRect& r : rects_)
            painter.drawRect(r.adjusted(0, 0, -1, -1));
    }

private:
    QList<QRect> rects_;
};

class OverlayCanvas : public Canvas {
public:
    explicit OverlayCanvas(QWidget* window) : overlay_(window ? new OverlayWidget(window) : nullptr) {}
    ~OverlayCanvas() override { delete overlay_.data(); }
    void removeClipRegion() override {}
    void setInvertMode() override {}
    void selectHollowBrush() override {}
    void rectangle(int left, int top, int right, int bottom) override
    {
        if (overlay_)
            overlay_->toggle(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
    }

private:
    QPointer<OverlayWidget> overlay_;
};

class RecordingCanvas : public Canvas {
public:
    explicit RecordingCanvas(CanvasRecorder& recorder) : recorder_(recorder) { recorder_.calls.append(QStringLiteral("GetDCEx")); }
    ~RecordingCanvas() override { recorder_.calls.append(QStringLiteral("ReleaseDC")); }
    void removeClipRegion() override { recorder_.calls.append(QStringLiteral("SelectClipRgn")); }
    void setInvertMode() override { recorder_.calls.append(QStringLiteral("SetROP2")); }
    void selectHollowBrush() override { recorder_.calls.append(QStringLiteral("SelectObject")); }
    void rectangle(int left, int top, int right, int bottom) override
    {
        recorder_.calls.append(QStringLiteral("Rectangle %1,%2,%3,%4").arg(left).arg(top).arg(right).arg(bottom));
        const QRect r(QPoint(left, top), QPoint(right, bottom));
        if (!recorder_.visible.removeOne(r))
            recorder_.visible.append(r);
    }

private:
    CanvasRecorder& recorder_;
};

CanvasFactory& factorySlot()
{
    static CanvasFactory factory;
    return factory;
}

} // namespace

void setCanvasFactory(CanvasFactory factory) { factorySlot() = std::move(factory); }

std::unique_ptr<Canvas> takeCanvas(QWidget* window)
{
    if (factorySlot())
        return factorySlot()(window);
    return std::make_unique<OverlayCanvas>(window);
}

CanvasFactory CanvasRecorder::factory()
{
    return [this](QWidget*) { return std::unique_ptr<Canvas>(new RecordingCanvas(*this)); };
}

} // namespace q7::forms
