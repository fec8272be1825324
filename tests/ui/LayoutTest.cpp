#include "support/FakeHost.h"

#include "frame/ModBOM.h"
#include "platform/AutomationError.h"
#include "platform/forms/Units.h"
#include "ui/clsLayout.h"

#include <gtest/gtest.h>

using namespace q7;
using namespace q7::component;

namespace {

struct ScreenScope {
    explicit ScreenScope(double tpp) { forms::Screen::setTwipsPerPixel(tpp, tpp); }
    ~ScreenScope() { forms::Screen::setTwipsPerPixel(15, 15); }
};

QSharedPointer<fake::Recorder> formOf(double width, double height, int windowState, bool toolbar)
{
    auto form = makeObject<fake::Recorder>();
    form->properties = {{QStringLiteral("Width"), width}, {QStringLiteral("Height"), height}, {QStringLiteral("WindowState"), windowState}};
    if (toolbar) {
        auto bar = makeObject<fake::Recorder>();
        bar->properties = {{QStringLiteral("Width"), 20000.0}, {QStringLiteral("Align"), 0}};
        form->properties.insert(QStringLiteral("Toolbar1"), fromObject(bar));
    }
    return form;
}

} // namespace

TEST(Layout, ValuesByScreen)
{
    {
        ScreenScope screen(15);
        clsLayout layout;
        EXPECT_EQ(layout.NormalFont, -1);
        EXPECT_EQ(std::vector<short>({layout.XNullTwip, layout.YNullPixel, layout.YNullTwip, layout.ToolHeight, layout.WordTwip}),
                  std::vector<short>({120, 27, 405, 600, 180}));
    }
    ScreenScope screen(12);
    clsLayout layout;
    EXPECT_EQ(layout.NormalFont, 0);
    EXPECT_EQ(std::vector<short>({layout.XNullTwip, layout.YNullPixel, layout.YNullTwip, layout.ToolHeight}),
              std::vector<short>({96, 32, 384, 528}));
}

TEST(Layout, TwipWord)
{
    ScreenScope screen(15);
    clsLayout layout;
    struct Case {
        int chars;
        QVariant size;
        int expected;
    };
    const Case cases[] = {{2, 9, 360}, {2, 13, 0}, {1, 20, 405}, {3, QVariant(), 540}, {0, 9, 0}, {10, 8, 1650}};
    for (const Case& c : cases) {
        QVariant chars = c.chars;
        EXPECT_EQ(layout.TwipWord(chars, c.size.isValid() ? c.size : missingValue()).toInt(), c.expected) << c.chars;
    }
    QVariant many = 100;
    EXPECT_EQ(fake::errorOf([&] { layout.TwipWord(many, 20); }), ErrOverflow); // 100 × 27 × 15 = 40500
}

TEST(Layout, InitFormResize)
{
    ScreenScope screen(15);
    clsLayout layout;
    struct Case {
        double width, height;
        int state;
        double expectedWidth, expectedHeight;
        int usableWidth, usableHeight;
    };
    const Case cases[] = {
        {1000, 1000, 0, 7200, 5400, 7200, 5400},  // enlarged to 180 × (40, 30); no room for the frame
        {1000, 1000, 1, 1000, 1000, 7200, 5400},  // minimised: left alone, usable stays at the minimum
        {9000, 6000, 0, 9000, 6000, 8880, 5595},
    };
    for (const Case& c : cases) {
        auto form = formOf(c.width, c.height, c.state, false);
        QVariant f = fromObject(form), w = 40, h = 30;
        layout.InitFormResize(f, w, h);
        EXPECT_EQ(form->properties.value(QStringLiteral("Width")).toDouble(), c.expectedWidth);
        EXPECT_EQ(form->properties.value(QStringLiteral("Height")).toDouble(), c.expectedHeight);
        EXPECT_EQ(layout.usableWidth(), c.usableWidth);
        EXPECT_EQ(layout.usableHeight(), c.usableHeight);
        EXPECT_FALSE(layout.hasToolbar());
    }
    auto withBar = formOf(9000, 6000, 0, true);
    QVariant f = fromObject(withBar), w = 40, h = 30, small = true;
    layout.InitFormResize(f, w, h, small);
    EXPECT_TRUE(layout.hasToolbar());
    EXPECT_EQ(layout.ToolHeight, 405);
    auto bar = objectCast<fake::Recorder>(toObject(withBar->properties.value(QStringLiteral("Toolbar1"))));
    EXPECT_EQ(bar->properties.value(QStringLiteral("Width")).toDouble(), 9000); // narrowed to the form
}

TEST(Layout, ArrCtrlEveryCombination)
{
    ScreenScope screen(15);
    clsLayout layout;
    auto form = formOf(9000, 6000, 0, false); // usable 8880 × 5595
    QVariant f = fromObject(form), w = 40, h = 30;
    layout.InitFormResize(f, w, h);
    const QVariant none = missingValue();
    struct Case {
        const char* what;
        QVariantList args; // W, H, L, R, T, B, b1, b2
        QStringList writes;
    };
    const QList<Case> cases = {
        {"browse splitter", {40, 30, 0, 0, 0.6, 0.2, none, none}, {"Left=0", "Width=8880", "Top=108", "Height=5451", "Visible=true"}},
        {"L only", {10, 2, 1, none, none, none, none, none}, {"Left=180", "Width=1800", "Visible=true"}},
        {"L only, mid", {10, 2, 1, none, none, none, true, none}, {"Left=180", "Width=4260", "Visible=true"}},
        {"R only", {10, 2, none, 1, none, none, none, none}, {"Left=6900", "Width=1800", "Visible=true"}},
        {"R only, mid", {10, 2, none, 1, none, none, true, none}, {"Left=4440", "Width=4260", "Visible=true"}},
        {"L and R, mid", {10, 2, 1, 1, none, none, true, none}, {"Left=3540", "Width=1800", "Visible=true"}},
        {"T only", {10, 2, none, none, 1, none, none, none}, {"Top=180", "Height=360", "Visible=true"}},
        {"B only", {10, 2, none, none, none, 1, none, none}, {"Top=5055", "Height=360", "Visible=true"}},
        {"nothing present, hidden", {10, 2, none, none, none, none, none, true}, {}},
        {"Null width reads the control", {nullValue(), 2, 1, none, none, none, none, none}, {"Left=180", "Width=900", "Visible=true"}},
    };
    for (const Case& c : cases) {
        auto control = makeObject<fake::Recorder>();
        control->properties = {{QStringLiteral("Width"), 900.0}, {QStringLiteral("Height"), 300.0}};
        control->log.clear();
        QVariant ctrl = fromObject(control);
        const QVariantList& a = c.args;
        layout.ArrCtrl(ctrl, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
        EXPECT_EQ(control->log, c.writes) << c.what;
    }
}

TEST(Layout, SharedInstanceInModule)
{
    const Object layout = ModBOM::objLayout();
    EXPECT_EQ(layout, ModBOM::objLayout());
    EXPECT_EQ(getProperty(layout, QStringLiteral("WordTwip")).toInt(), 180);
    ModBOM::resetThread();
}

TEST(Layout, InitFormSizesInUnits)
{
    clsLayout layout;
    auto form = formOf(100, 100, 0, false);
    QVariant f = fromObject(form), w = 40.5, h = 30;
    layout.InitForm(f, w, h);
    EXPECT_EQ(form->properties.value(QStringLiteral("Width")).toDouble(), 7290);
    EXPECT_EQ(form->properties.value(QStringLiteral("Height")).toDouble(), 5400);
}
