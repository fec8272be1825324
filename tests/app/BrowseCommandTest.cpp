#include "support/FakeHost.h"

#include "app/BrowseCommand.h"
#include "frame/ModBOM.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace q7::app;
using namespace q7::component;

TEST(BrowseCommand, PrintsTheGrownTreeOrRefuses)
{
    struct Case {
        QStringList args;
        int status;
        QStringList lines; // the first lines printed
        int lineCount;     // -1: not checked
    };
    const QList<Case> cases{
        {{"BK-100", "--free", "1=红", "--depth", "2"},
         0,
         {"BK-100 自行车 [红] 版本2", "  FR-200 车架组件  1.020408163 套", "  WH-200 车轮组件  2.040816327 套"},
         6},
        {{"BK-100", "--free", "1=红", "--date", "2025-06-30", "--depth", "2"}, 0, {"BK-100 自行车 [红] 版本2"}, 6},
        {{"BK-100", "--free", "1=红", "--version", "1", "--date", "2024-12-31", "--plan-ratio"}, 0, {"BK-100 自行车 [红] 版本1"}, 12},
        {{"TB-300", "--where-used"},
         0,
         {"TB-300 钢管", "  FR-210 车架焊接件  3.090909091 根", "    FR-200 车架组件  1 套", "      BK-100 自行车 [红]  1.020408163 套"},
         6},
        {{"FN-100", "--free", "1=白", "--free", "2=16寸", "--level-list", "--plan-ratio", "--depth", "2"}, 0, {"FN-100 电风扇 [白,16寸] 版本1"}, 5},
        {{"ST-400"}, 1, {}, 0},                        // bought: nothing to browse
        {{"BK-100", "--free", "1=绿"}, 2, {}, 0},      // no such free-item value
        {{"BK-100"}, 1, {}, 0},                        // the colour is required: the dialog refuses
        {{"XX-1"}, 2, {}, 0},                          // no such item
        {{"BK'100"}, 2, {}, 0},                        // the code box refuses the apostrophe
        {{"BK-100", "--depth", "0"}, 2, {}, 0},
        {{"BK-100", "--date", "2026-02-30"}, 2, {}, 0},
        {{"BK-100", "--free", "11=x"}, 2, {}, 0},
        {{"--where-used"}, 2, {}, 0},
        {{"BK-100", "--colour"}, 2, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        QStringList args = c.args;
        args << QStringLiteral("--db") << fake::demoAccountPath();
        testing::internal::CaptureStdout();
        const int status = runBrowseCommand(args);
        const QString out = QString::fromStdString(testing::internal::GetCapturedStdout());
        ModBOM::resetThread();
        EXPECT_EQ(status, c.status);
        const QStringList lines = out.split(u'\n', Qt::SkipEmptyParts);
        EXPECT_EQ(lines.mid(0, c.lines.size()), c.lines);
        if (c.lineCount >= 0) {
            EXPECT_EQ(lines.size(), c.lineCount) << out.toStdString();
        }
    }
}

TEST(BrowseCommand, Screenshots)
{
    QTemporaryDir dir;
    const QString window = dir.filePath(QStringLiteral("w.png")), dialog = dir.filePath(QStringLiteral("c.png"));
    testing::internal::CaptureStdout();
    const int status = runBrowseCommand({QStringLiteral("PT-220"), QStringLiteral("--where-used"), QStringLiteral("--db"), fake::demoAccountPath(),
                                         QStringLiteral("--screenshot"), window, QStringLiteral("--condition-screenshot"), dialog});
    const QString out = QString::fromStdString(testing::internal::GetCapturedStdout());
    ModBOM::resetThread();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, window + u'\n' + dialog + u'\n');
    EXPECT_FALSE(QImage(window).isNull());
    EXPECT_GT(QImage(window).width(), QImage(dialog).width());
}
