#include "support/FakeHost.h"

#include "frame/ModBOM.h"
#include "host/CommonService.h"
#include "platform/system/SystemSettings.h"

#include <gtest/gtest.h>

#include <thread>

using namespace q7;
using namespace q7::component;

TEST(SplitText, BeforeAndAfterTheFirstSeparator)
{
    struct Case {
        const char* text;
        const char* separator;
        bool after;
        const char* expected;
    };
    const Case cases[] = {
        {"A|B", "|", false, "A"},     {"A|B", "|", true, "B"},          {"A|B", "#", false, "A|B"}, {"A|B", "#", true, "A|B"},
        {"aXb", "x", false, "a"},     {"aXb", "x", true, "b"},          {"a||b", "|", true, "|b"},  {"A|B|C", "|", true, "B|C"},
        {"母件|子件", "|", true, "子件"}, {"ab::cd", "::", true, ":cd"}, // everything after the separator's first character
    };
    for (const Case& c : cases)
        EXPECT_EQ(ModBOM::SplitText(QString::fromUtf8(c.text), QString::fromUtf8(c.separator), c.after).toString(),
                  QString::fromUtf8(c.expected))
            << c.text << " " << c.separator;
}

namespace {

QSharedPointer<fake::Recorder> column(const QString& caption, bool visible, int width, int alignment)
{
    auto c = makeObject<fake::Recorder>();
    c->properties = {{QStringLiteral("Caption"), caption},
                     {QStringLiteral("Visible"), visible},
                     {QStringLiteral("Width"), width},
                     {QStringLiteral("Alignment"), alignment}};
    return c;
}

} // namespace

TEST(InitGridHeader, HiddenColumnKeepsCaptionWithWidthZero)
{
    QList<Object> cols{column(QStringLiteral("子件编码"), true, 1200, 1), column(QStringLiteral("隐藏"), false, 900, 4),
                       column(QStringLiteral("数量"), true, 800, 7)};
    auto columns = makeObject<fake::Recorder>();
    columns->properties.insert(QStringLiteral("Count"), 3);
    columns->answers.insert(QStringLiteral("Item"), [cols](QVariantList& a) { return fromObject(cols[a[0].toInt() - 1]); });
    auto format = makeObject<fake::Recorder>();
    format->properties = {{QStringLiteral("Columns"), fromObject(columns)}, {QStringLiteral("FixedCols"), 1}};
    auto grid = makeObject<fake::Recorder>();

    ModBOM::InitGridHeader(grid, format);

    const QStringList expected{
        "Redraw=false", "Cols=3", "Rows=2", "FixedRows=1", "FormatString=子件编码|隐藏|数量",
        "SetColWidth(0,1200)", "SetColAlignment(0,1)", "SetColWidth(1,0)", "SetColAlignment(1,4)",
        "SetColWidth(2,800)", "SetColAlignment(2,7)", "Row=0", "Col=0", "CellAlignment=0", "Col=1", "CellAlignment=0",
        "Col=2", "CellAlignment=0", "FixedCols=1", "Rows=1", "SetRowHeight(0,360)", "RowHeightMin=300", "Redraw=true",
    };
    EXPECT_EQ(grid->log, expected);
}

TEST(ApplyToolbarStyle, ModeDecidesWhichToolbarShows)
{
    struct Case {
        int mode;
        int currentStyle;
        QStringList barLog;
        QStringList classicLog;
    };
    const Case cases[] = {
        {0, 0, {"SetDisplayStyle(2)", "Visible=true"}, {"Visible=false"}},
        {1, 1, {"GetToolbarStyle()"}, {}}, // already the maker's style: nothing changes
        {1, 0,
         {"GetToolbarStyle()", "SetToolbar(<object>)", "SpecialEffect=true", "SetDisplayStyle(1)", "Visible=true", "Top=0"},
         {"Visible=false"}},
    };
    for (const Case& c : cases) {
        host::CommonService::setToolbarMode(c.mode);
        system::setMousePointer(system::HourglassPointer);
        auto bar = makeObject<fake::Recorder>();
        const int style = c.currentStyle;
        bar->answers.insert(QStringLiteral("GetToolbarStyle"), [style](QVariantList&) { return QVariant(style); });
        auto classic = makeObject<fake::Recorder>();
        auto form = makeObject<fake::Recorder>();
        form->properties = {{QStringLiteral("CTBCtrl1"), fromObject(bar)}, {QStringLiteral("Toolbar1"), fromObject(classic)}};
        ModBOM::ApplyToolbarStyle(form);
        EXPECT_EQ(bar->log, c.barLog) << c.mode << "/" << c.currentStyle;
        EXPECT_EQ(classic->log, c.classicLog) << c.mode << "/" << c.currentStyle;
        EXPECT_EQ(system::mousePointer(), system::DefaultPointer);
    }
    host::CommonService::setToolbarMode(0);
}

TEST(ApplyToolbarStyle, FormWithoutControlsIsIgnoredStepByStep)
{
    auto form = makeObject<QObject>();
    EXPECT_NO_THROW(ModBOM::ApplyToolbarStyle(form));
}

TEST(ShowCalendar, WritesPickedDateAndMovesCaret)
{
    auto box = makeObject<fake::Recorder>();
    box->properties.insert(QStringLiteral("Text"), QStringLiteral("2005-06-30"));
    ModBOM::ShowCalendar(box, 0, 100, 400);
    EXPECT_EQ(box->log, (QStringList{"Text=2005-06-30", "SetFocus()", "SelStart=10"}));
}

TEST(ModBOMState, OneSetPerThreadAndServicesKept)
{
    ModBOM::state().strStructureRootKey = QStringLiteral("root");
    ICommon* first = &ModBOM::objCommon();
    EXPECT_EQ(first, &ModBOM::objCommon()); // created once, then kept
    QString seenInOtherThread = QStringLiteral("unset");
    std::thread other([&] {
        seenInOtherThread = ModBOM::state().strStructureRootKey;
        ModBOM::resetThread();
    });
    other.join();
    EXPECT_EQ(seenInOtherThread, QString());
    EXPECT_EQ(ModBOM::state().strStructureRootKey, QStringLiteral("root"));
    ModBOM::resetThread();
}
