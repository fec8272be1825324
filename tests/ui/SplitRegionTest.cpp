#include "support/FakeHost.h"

#include "platform/AutomationError.h"
#include "platform/forms/Canvas.h"
#include "platform/forms/Form.h"
#include "platform/forms/PictureBox.h"
#include "ui/SplitRegion.h"

#include <gtest/gtest.h>

using namespace q7;
using namespace q7::component;
using forms::PictureBox;

namespace {

// A form with two panes and a splitter over them, recording the splitter's events.
class SplitForm : public forms::Form {
    Q_OBJECT
public:
    SplitForm()
    {
        forms::Screen::setTwipsPerPixel(15, 15);
        setWidthTwips(6000 + FramePixelsX * 15);
        setHeightTwips(3000 + FramePixelsY * 15);
        left = add<PictureBox>(QStringLiteral("picLeft"));
        right = add<PictureBox>(QStringLiteral("picRight"));
        spr = add<SplitRegion>(QStringLiteral("spr"));
        spr->setGeometryTwips(0, 0, 6000, 3000);
        spr->setControl1(QStringLiteral("picLeft"));
        spr->setControl2(QStringLiteral("picRight"));
        Show(); // the window shows: the splitter's Show measures and lays out
        events.clear();
        spr->propertyChanges.clear();
    }
    Q_INVOKABLE void spr_RepositionSplit() { events.append(QStringLiteral("RepositionSplit")); }
    Q_INVOKABLE void spr_Resize() { events.append(QStringLiteral("Resize")); }
    Q_INVOKABLE void spr_ReJustSize() { events.append(QStringLiteral("ReJustSize")); }

    QString geometry(const forms::Control* c) const
    {
        if (!c->isVisible())
            return QStringLiteral("hidden");
        return QStringLiteral("%1,%2 %3x%4").arg(c->leftTwips()).arg(c->topTwips()).arg(c->widthTwips()).arg(c->heightTwips());
    }

    PictureBox* left;
    PictureBox* right;
    SplitRegion* spr;
    QStringList events;
};

} // namespace

TEST(SplitRegion, LayoutAtPercentagesWithTheMargins)
{
    struct Case {
        double percent;
        bool hiding;
        bool rightToLeft;
        bool vertical;
        const char* first;
        const char* second;
        double stored;
    };
    // 6000 × 3000 twips, bar 100: first = f × W − 50 (+20 wide), second starts 5 past the bar (5 narrower)
    const Case cases[] = {
        {50, false, false, true, "0,0 2970x3000", "3055,0 2945x3000", 50},
        {25, false, false, true, "0,0 1470x3000", "1555,0 4445x3000", 25},
        {0, true, false, true, "hidden", "55,0 5945x3000", 0},       // the second gets the region less half the bar
        {100, true, false, true, "0,0 5970x3000", "hidden", 100},
        // held at Control1MinSize: 100 / 5900 of 6000, less half the bar, plus 20
        {0, false, false, true, "0,0 71.6949x3000", "156.695,0 5843.31x3000", 100.0 / 5900 * 100},
        {50, false, true, true, "3050,0 2970x3000", "5,0 2945x3000", 50}, // mirrored: Control1 on the right
        {50, false, true, false, "0,0 6020x1450", "0,1555 6000x1450", 50}, // right-to-left plays no part
    };
    for (const Case& c : cases) {
        SplitForm form;
        form.spr->setSplitterBarVertical(c.vertical);
        form.spr->setRightToLeft(c.rightToLeft);
        form.spr->setAllowControlHiding(c.hiding);
        form.spr->setSplitPercent(c.percent);
        EXPECT_EQ(form.geometry(form.left), QString::fromLatin1(c.first)) << c.percent << " rtl " << c.rightToLeft << " vertical " << c.vertical;
        EXPECT_EQ(form.geometry(form.right), QString::fromLatin1(c.second)) << c.percent << " rtl " << c.rightToLeft << " vertical " << c.vertical;
        EXPECT_NEAR(form.spr->splitPercent(), c.stored, 1e-9);
    }
}

TEST(SplitRegion, EventsAndNotifications)
{
    SplitForm form;
    form.spr->setSplitPercent(60);
    EXPECT_EQ(form.events, (QStringList{"ReJustSize", "RepositionSplit"}));
    EXPECT_EQ(form.spr->propertyChanges, QStringList{"SplitPercent"});
    const int refreshes = form.left->refreshCount;
    form.events.clear();
    form.spr->setSplitPercent(60); // the same value: no layout, no reposition
    EXPECT_EQ(form.events, QStringList{"ReJustSize"});
    EXPECT_EQ(form.left->refreshCount, refreshes);

    form.events.clear();
    form.spr->setGeometryTwips(0, 0, 8000, 3000); // a resize
    EXPECT_EQ(form.events, QStringList{"Resize"});
    EXPECT_EQ(form.geometry(form.left), QStringLiteral("0,0 4770x3000")); // 60 % kept
}

TEST(SplitRegion, ResizeKeepsPercentOrPosition)
{
    SplitForm form;
    form.spr->setSplitPercent(50);
    form.spr->widget()->grab(); // painted in run mode: later resizes follow KeepSplitPercentOnResize
    form.spr->setKeepSplitPercentOnResize(false);
    form.spr->setGeometryTwips(0, 0, 8000, 3000);
    EXPECT_DOUBLE_EQ(form.spr->requestedPercent(), 37.5); // the bar stays 3000 twips from the left
    EXPECT_EQ(form.geometry(form.left), QStringLiteral("0,0 2970x3000"));
    form.spr->setGeometryTwips(0, 0, 2000, 3000); // 3000 / 2000 → capped at 100, then clamped
    EXPECT_NEAR(form.spr->splitPercent(), (1 - 100.0 / 1900) * 100, 1e-9);
}

TEST(SplitRegion, GrowsToTheMinimumExtent)
{
    SplitForm form;
    form.spr->setGeometryTwips(0, 0, 250, 3000); // less than 100 + 100 + 100
    EXPECT_EQ(form.spr->widthTwips(), 300);
}

TEST(SplitRegion, NamesAreCheckedAgainstSiblings)
{
    SplitForm form;
    form.spr->setControl1(QStringLiteral("picright")); // other case finds picRight
    EXPECT_EQ(form.spr->control1(), QStringLiteral("picright"));
    for (const char* bad : {"nosuch", "SPR"}) {
        EXPECT_EQ(fake::errorOf([&] { form.spr->setControl1(QString::fromLatin1(bad)); }), ErrNameInvalid) << bad;
        EXPECT_EQ(form.spr->control1(), QStringLiteral("picright"));
    }
    EXPECT_EQ(fake::errorOf([&] { letProperty(form.spr, QStringLiteral("Control2"), QStringLiteral("missing")); }), ErrNameInvalid);
    form.remove(form.right); // a control that disappeared reads back as ""
    EXPECT_EQ(form.spr->control1(), QString());
    form.spr->setControl1(QString()); // an empty name is accepted
}

TEST(SplitRegion, PersistenceRoundTrip)
{
    SplitForm form;
    form.spr->setSplitPercent(42);
    form.spr->setAllowControlHiding(true);
    form.spr->setSplitterBarColor(QColor(Qt::red));
    forms::PropertyBag bag;
    form.spr->WriteProperties(bag);
    EXPECT_EQ(bag.written, (QStringList{"Control1", "Control2", "Control1MinSize", "Control2MinSize", "SplitPercent", "SplitterBarVertical",
                                        "SplitterBarThickness", "SplitterBarColor", "AllowControlHiding", "KeepSplitPercentOnResize",
                                        "RightToLeft"}));
    bag.values.insert(QStringLiteral("Control2"), QStringLiteral("gone")); // names are restored without a check

    SplitForm other;
    other.spr->ReadProperties(bag);
    EXPECT_EQ(bag.read, (QStringList{"Control1MinSize", "Control2MinSize", "SplitPercent", "SplitterBarVertical", "SplitterBarThickness",
                                     "SplitterBarColor", "AllowControlHiding", "KeepSplitPercentOnResize", "RightToLeft", "Control1",
                                     "Control2"}));
    EXPECT_DOUBLE_EQ(other.spr->splitPercent(), 42);
    EXPECT_TRUE(other.spr->allowControlHiding());
    EXPECT_EQ(other.spr->splitterBarColor(), QColor(Qt::red));
    EXPECT_EQ(other.spr->control1(), QStringLiteral("picLeft"));
    EXPECT_EQ(other.spr->bar()->lines().size(), 9); // the bar is redrawn
}

TEST(SplitRegion, DragDrawsOneOutlinePerAcceptedMoveAndMovesControlsOnce)
{
    SplitForm form;
    forms::CanvasRecorder canvas;
    forms::setCanvasFactory(canvas.factory());
    form.spr->setSplitPercent(50); // bar at 2950..3050 twips
    const QString before = form.geometry(form.left);
    // positions on the bar, in its units; the bar's left is 2950
    form.spr->lblSplitterBar_MouseDown(forms::LeftButton, 0, 50, 10);   // 3000 = 50 %
    form.spr->lblSplitterBar_MouseMove(forms::LeftButton, 0, 53, 10);   // 50.05 %: ignored
    form.spr->lblSplitterBar_MouseMove(forms::LeftButton, 0, 650, 10);  // 3600 = 60 %
    form.spr->lblSplitterBar_MouseMove(forms::LeftButton, 0, 1250, 10); // 4200 = 70 %
    EXPECT_EQ(form.geometry(form.left), before); // nothing moves while dragging
    form.spr->lblSplitterBar_MouseUp(forms::LeftButton, 0, 1250, 10);
    forms::setCanvasFactory({});

    // 6000 twips = 400 pixels, bar 100 twips = 7 pixels (6.67 rounded), height 200 pixels
    EXPECT_EQ(canvas.calls, (QStringList{"GetDCEx", "SelectClipRgn", "SetROP2", "SelectObject", "Rectangle 196,0,203,200",
                                         "Rectangle 196,0,203,200", "Rectangle 236,0,243,200", "Rectangle 236,0,243,200",
                                         "Rectangle 276,0,283,200", "Rectangle 276,0,283,200", "ReleaseDC"}));
    EXPECT_TRUE(canvas.visible.isEmpty()); // every outline erased
    EXPECT_DOUBLE_EQ(form.spr->splitPercent(), 70);
    EXPECT_EQ(form.geometry(form.left), QStringLiteral("0,0 4170x3000"));
    EXPECT_FALSE(form.spr->dragging());
}

TEST(SplitRegion, DragBeyondTheMinimumStopsOrSnaps)
{
    for (bool hiding : {false, true}) {
        SplitForm form;
        forms::CanvasRecorder canvas;
        forms::setCanvasFactory(canvas.factory());
        form.spr->setAllowControlHiding(hiding);
        form.spr->setSplitPercent(50);
        form.spr->lblSplitterBar_MouseDown(forms::LeftButton, 0, 50, 10);
        form.spr->lblSplitterBar_MouseUp(forms::LeftButton, 0, -2900, 10); // 50 twips from the left edge
        forms::setCanvasFactory({});
        EXPECT_NEAR(form.spr->splitPercent(), hiding ? 0 : 100.0 / 5900 * 100, 1e-9) << hiding;
        EXPECT_EQ(form.left->isVisible(), !hiding);
    }
}

TEST(SplitRegion, NestedSplitterIsLockedWhileMoved)
{
    SplitForm form;
    auto* inner = form.add<SplitRegion>(QStringLiteral("sprInner"));
    inner->mbInOCX = true;
    inner->setGeometryTwips(3055, 0, 2945, 3000);
    inner->setVisible(false);
    inner->setVisible(true); // shown: measured and laid out
    form.events.clear();
    form.spr->setControl2(QStringLiteral("sprInner"));
    form.spr->setSplitPercent(40);
    EXPECT_FALSE(inner->mbLock); // set back after the move
    EXPECT_EQ(QStringLiteral("%1x%2").arg(inner->widthTwips()).arg(inner->heightTwips()), QStringLiteral("3545x3000"));
    EXPECT_DOUBLE_EQ(inner->requestedPercent(), 30); // its own resize was skipped while locked
    EXPECT_EQ(inner->refreshCount, 2);                // and it was asked to refresh after each of the two moves
}

TEST(SplitRegion, HorizontalAndMirroredOutlines)
{
    struct Case {
        bool vertical;
        bool rightToLeft;
        double x, y;         // where the button goes down, on the bar
        const char* outline; // the rectangle drawn there
        double percent;      // the split after releasing there
    };
    const Case cases[] = {
        // horizontal: 3000 twips = 200 pixels high, the bar 7 pixels; the bar's top is 1500 - 50 - 2
        // top = round(round(0.7 × 200) − 3.5) = 136
        {false, false, 10, 652, "Rectangle 0,136,400,143", 70},
        // mirrored: a point 1200 twips (80 pixels) from the left is 80 %, drawn round(80 − 3.5) = 76 from the left
        {true, true, -1750, 10, "Rectangle 76,0,83,200", 80},
    };
    for (const Case& c : cases) {
        SplitForm form;
        form.spr->setSplitterBarVertical(c.vertical);
        form.spr->setRightToLeft(c.rightToLeft);
        form.spr->setSplitPercent(50);
        forms::CanvasRecorder canvas;
        forms::setCanvasFactory(canvas.factory());
        form.spr->lblSplitterBar_MouseDown(forms::LeftButton, 0, c.x, c.y);
        form.spr->lblSplitterBar_MouseUp(forms::LeftButton, 0, c.x, c.y);
        forms::setCanvasFactory({});
        EXPECT_EQ(canvas.calls.value(4), QString::fromLatin1(c.outline)) << c.vertical;
        EXPECT_NEAR(form.spr->splitPercent(), c.percent, 1e-9) << c.vertical;
    }
}

TEST(SplitRegion, RightButtonDoesNotDrag)
{
    SplitForm form;
    forms::CanvasRecorder canvas;
    forms::setCanvasFactory(canvas.factory());
    form.spr->lblSplitterBar_MouseDown(forms::RightButton, 0, 50, 10);
    form.spr->lblSplitterBar_MouseUp(forms::RightButton, 0, 900, 10);
    forms::setCanvasFactory({});
    EXPECT_TRUE(canvas.calls.isEmpty());
    EXPECT_DOUBLE_EQ(form.spr->splitPercent(), 30);
}

TEST(SplitRegion, ScaleUnitsChangeConvertsSizes)
{
    SplitForm form;
    form.spr->propertyChanges.clear();
    form.setScaleMode(forms::ScalePixels); // the form tells its user controls
    // the 100-twip bar is 6.67 pixels: thickness and both minimum sizes follow
    EXPECT_NEAR(form.spr->splitterBarThickness(), 100.0 / 15, 1e-9);
    EXPECT_NEAR(form.spr->control1MinSize(), 100.0 / 15, 1e-9);
    EXPECT_EQ(form.spr->propertyChanges, (QStringList{"SplitterBarThickness", "Control1MinSize", "Control2MinSize"}));
}

TEST(SplitRegion, HideShowAndRefresh)
{
    SplitForm form;
    form.spr->setVisible(false);
    EXPECT_FALSE(form.left->isVisible());
    EXPECT_FALSE(form.right->isVisible());
    form.spr->setVisible(true);
    EXPECT_TRUE(form.left->isVisible() && form.right->isVisible());
    form.Hide(); // the window hides: so do the panes, until it shows again
    EXPECT_FALSE(form.left->isVisible());
    form.Show();
    EXPECT_TRUE(form.left->isVisible() && form.right->isVisible());
    const int before = form.right->refreshCount;
    form.spr->Refresh();
    EXPECT_GT(form.right->refreshCount, before); // the named controls are asked to refresh
}

TEST(SplitRegion, SettingANameForgetsTheOtherWhenBothWereEqual)
{
    SplitForm form;
    form.spr->setControl2(QStringLiteral("PICLEFT")); // both names now designate picLeft
    form.spr->setControl1(QStringLiteral("picRight")); // Control1's setter empties Control2
    EXPECT_EQ(form.spr->control1(), QStringLiteral("picRight"));
    EXPECT_EQ(form.spr->control2(), QString());
}

TEST(SplitRegion, WindowShowsPanesAndBarWhereThePercentSays)
{
    SplitForm form;
    form.left->setBackColor(QColor(Qt::blue));
    form.right->setBackColor(QColor(Qt::yellow));
    form.spr->setSplitterBarColor(QColor(Qt::red));
    form.window();
    form.spr->ZOrder(1);
    form.spr->setSplitPercent(40);
    form.Show();
    const QImage image = form.window()->grab().toImage();
    ASSERT_EQ(image.width(), 400); // 6000 twips at 15 twips per pixel
    EXPECT_EQ(image.pixelColor(80, 100), QColor(Qt::blue));
    // 40 % of 400 pixels: the bar, ruled by its lines in the system colours
    const QColor bar = image.pixelColor(160, 100);
    EXPECT_TRUE(bar == QColor(0xf0, 0xf0, 0xf0) || bar == QColor(0xff, 0xff, 0xff) || bar == QColor(0xbf, 0xcd, 0xdb)) << bar.name().toStdString();
    EXPECT_EQ(image.pixelColor(300, 100), QColor(Qt::yellow));
}


namespace {
// A control that calls itself a splitter but offers none of a splitter's members.
class NotReallyASplitter : public PictureBox {
    Q_OBJECT
public:
    using PictureBox::PictureBox;
    QString typeName() const override { return QStringLiteral("SplitRegion"); }
};
} // namespace

TEST(SplitRegion, FarEdgeOfAPixelScaledFormHidesTheSecondPane)
{
    SplitForm form;
    form.setScaleMode(forms::ScalePixels);
    auto* spr = form.add<SplitRegion>(QStringLiteral("sprPixels")); // defaults: a 7-pixel bar and 7-pixel minimums
    spr->setGeometryTwips(0, 0, 6000, 3000);
    spr->setControl1(QStringLiteral("picLeft"));
    spr->setControl2(QStringLiteral("picRight"));
    spr->setVisible(false);
    spr->setVisible(true);
    forms::CanvasRecorder canvas;
    forms::setCanvasFactory(canvas.factory());
    spr->lblSplitterBar_MouseDown(forms::LeftButton, 0, 3, 10);
    // the far right edge: the second pane's share is 3.5 pixels, less than its 5-pixel margin
    EXPECT_EQ(fake::errorOf([&] { spr->lblSplitterBar_MouseUp(forms::LeftButton, 0, 6000, 10); }), 0);
    forms::setCanvasFactory({});
    EXPECT_FALSE(form.right->isVisible());
    EXPECT_TRUE(form.left->isVisible());
    spr->setSplitPercent(50); // and it lays out again
    EXPECT_TRUE(form.right->isVisible());
    EXPECT_NEAR(form.right->leftTwips(), 3000 + 3.5 * 15 + 5 * 15, 1e-9);
}

TEST(SplitRegion, FailedLayoutDoesNotStopTheNextOne)
{
    SplitForm form;
    form.add<NotReallyASplitter>(QStringLiteral("picOdd"));
    EXPECT_EQ(fake::errorOf([&] {
                  form.spr->setControl2(QStringLiteral("picOdd"));
                  form.spr->setSplitPercent(40);
              }),
              ErrNoSuchMember); // it has no mbInOCX
    form.spr->setControl2(QStringLiteral("picRight"));
    form.spr->setSplitPercent(60);
    EXPECT_EQ(form.geometry(form.left), QStringLiteral("0,0 3570x3000"));
    EXPECT_EQ(form.geometry(form.right), QStringLiteral("3655,0 2345x3000"));
}

TEST(SplitRegion, NewSplitterDrawsItsBarAtOnce)
{
    SplitForm form;
    auto* fresh = form.add<SplitRegion>(QStringLiteral("sprNew"));
    ASSERT_EQ(fresh->bar()->lines().size(), 9);
    QList<double> offsets;
    for (const auto& line : fresh->bar()->lines())
        offsets.append(line.x1);
    EXPECT_EQ(offsets, (QList<double>{3, 15, 30, 45, 60, 75, 90, 105, 120}));
}

TEST(SplitRegion, RealWindowKeepsTheBarWhereItWasDragged)
{
    for (bool keep : {true, false}) {
        SplitForm form;
        form.spr->setSplitPercent(50);
        form.spr->setKeepSplitPercentOnResize(keep);
        form.spr->widget()->grab(); // the window paints
        form.spr->setGeometryTwips(0, 0, 8000, 3000);
        EXPECT_DOUBLE_EQ(form.spr->requestedPercent(), keep ? 50 : 37.5) << keep;
    }
}

#include "SplitRegionTest.moc"
