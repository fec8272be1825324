#include "app/SplitterDemoCommand.h"

#include "app/CommandParser.h"

#include "platform/forms/Form.h"
#include "platform/forms/PictureBox.h"
#include "ui/SplitRegion.h"

#include <QApplication>
#include <QPixmap>

#include <cstdio>

namespace q7::app {

namespace {

// The demo window: a tree-coloured pane and a document-coloured pane with the
// splitter between them; the splitter follows the window's size.
class DemoForm : public q7::forms::Form {
    Q_OBJECT
public:
    explicit DemoForm(double percent)
    {
        setCaption(QStringLiteral("q7bom splitter demo"));
        setWidthTwips(9600 + FramePixelsX * q7::forms::Screen::twipsPerPixelX());
        setHeightTwips(6000 + FramePixelsY * q7::forms::Screen::twipsPerPixelY());
        left = add<q7::forms::PictureBox>(QStringLiteral("picTree"));
        left->setBackColor(QColor(0xdd, 0xe8, 0xf6));
        right = add<q7::forms::PictureBox>(QStringLiteral("picDocument"));
        right->setBackColor(QColor(0xff, 0xfb, 0xe6));
        for (int row = 1; row <= 12; ++row) { // a few ruled lines, so each pane is recognisable
            left->Line(200, row * 400.0, 2400, row * 400.0, QColor(0x7a, 0x9c, 0xc6));
            right->Line(300, row * 400.0, 9000, row * 400.0, QColor(0xc9, 0xb0, 0x6b));
        }
        spr = add<component::SplitRegion>(QStringLiteral("spr"));
        spr->setGeometryTwips(0, 0, innerWidthTwips(), innerHeightTwips());
        window();
        spr->ZOrder(1); // behind the panes: only the bar shows between them
        spr->setControl1(QStringLiteral("picTree"));
        spr->setControl2(QStringLiteral("picDocument"));
        spr->setSplitterBarColor(QColor(0x9a, 0xa4, 0xb0));
        spr->setSplitPercent(percent);
    }
    Q_INVOKABLE void Form_Resize()
    {
        if (spr)
            spr->setGeometryTwips(0, 0, innerWidthTwips(), innerHeightTwips());
    }

    q7::forms::PictureBox* left = nullptr;
    q7::forms::PictureBox* right = nullptr;
    component::SplitRegion* spr = nullptr;
};

} // namespace

int runSplitterDemo(const QStringList& args)
{
    CommandParser command(QStringLiteral("splitter-demo"), QStringLiteral("[options]"),
                          QStringLiteral("Shows two panes divided by a draggable splitter bar. With --screenshot the window\n"
                                         "is drawn offscreen into a PNG file instead."));
    command.addOption({QStringLiteral("percent"), QStringLiteral("Where the bar stands, in percent of the width (default 35)."), QStringLiteral("P")});
    command.addOption({QStringLiteral("screenshot"), QStringLiteral("Write the window to a PNG file and stop."), QStringLiteral("FILE")});
    if (const auto done = command.parse(args))
        return *done;
    double percent = 35;
    if (command.isSet(QStringLiteral("percent"))) {
        const auto parsed = command.number(QStringLiteral("percent"), 0, 100);
        if (!parsed)
            return 2;
        percent = *parsed;
    }
    const QString screenshot = command.value(QStringLiteral("screenshot"));
    if (command.isSet(QStringLiteral("screenshot")) && screenshot.trimmed().isEmpty())
        return command.refuse(QStringLiteral("--screenshot needs a file name"));
    DemoForm form(percent);
    form.Show();
    if (screenshot.isEmpty())
        return QApplication::exec();
    QApplication::processEvents();

    if (!form.window()->grab().save(screenshot, "PNG")) {
        std::fprintf(stderr, "q7bom splitter-demo: cannot write %s\n", screenshot.toUtf8().constData());
        return 1;
    }
    std::printf("%s\n", screenshot.toUtf8().constData());
    return 0;
}

} // namespace q7::app

#include "SplitterDemoCommand.moc"
