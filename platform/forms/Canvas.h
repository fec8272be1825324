#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

namespace q7::forms {

// A device context on a control's window for drag feedback: it may draw
// outside the usual clipping, draws hollow rectangles in invert mode (the
// same rectangle drawn twice disappears), and is released when destroyed.
class Canvas {
public:
    virtual ~Canvas() = default;          // ReleaseDC
    virtual void removeClipRegion() = 0;  // SelectClipRgn with no region
    virtual void setInvertMode() = 0;     // SetROP2 R2_NOT
    virtual void selectHollowBrush() = 0; // SelectObject(GetStockObject(NULL_BRUSH))
    virtual void rectangle(int left, int top, int right, int bottom) = 0; // pixels of the window
};

// Takes a canvas for a window (GetDCEx with DCX_PARENTCLIP).
using CanvasFactory = std::function<std::unique_ptr<Canvas>(QWidget* window)>;
void setCanvasFactory(CanvasFactory factory); // empty restores the overlay canvas
std::unique_ptr<Canvas> takeCanvas(QWidget* window);

// Records what was drawn, for tests: "GetDCEx", "SelectClipRgn", "SetROP2",
// "SelectObject", "Rectangle l,t,r,b", "ReleaseDC"; and the rectangles that
// are visible (drawn an odd number of times).
class CanvasRecorder {
public:
    CanvasFactory factory();
    QStringList calls;
    QList<QRect> visible;
};

} // namespace q7::forms
