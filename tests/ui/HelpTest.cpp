// F1 in a form opens the help window on the page of the form's help context;
// the pages and their map are compiled in, and their links lead somewhere.
#include "platform/AutomationError.h"
#include "platform/LateBinding.h"
#include "platform/forms/BasicControls.h"
#include "platform/forms/Form.h"
#include "platform/forms/HelpContexts.h"
#include "platform/forms/HelpWindow.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

using namespace q7;
using namespace q7::forms;

namespace {

QString pageUrl(const QString& page) { return QStringLiteral("qrc:/q7help/") + page; }

QString resourceText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

TEST(Help, TheContextIsAFormPropertyReachedByName)
{
    Form form;
    EXPECT_EQ(getProperty(&form, QStringLiteral("HelpContextID")).toInt(), 0);
    letProperty(&form, QStringLiteral("HelpContextID"), 91102001);
    EXPECT_EQ(form.helpContextId, 91102001);
    letProperty(&form, QStringLiteral("helpcontextid"), QStringLiteral("91102002")); // names are not case-sensitive
    EXPECT_EQ(getProperty(&form, QStringLiteral("HelpContextID")).toInt(), 91102002);
}

TEST(Help, F1InAFormShowsThePageOfItsContext)
{
    struct Case {
        int context;
        const char* page;
        const char* title;
    };
    const Case cases[] = {
        {91102001, "browse-structure.html", "母件结构查询-多阶"},
        {91102002, "browse-whereused.html", "子件用途查询-多阶"},
        {91101001, "voucher.html", "物料清单单据"},
        {91101004, "maintenance.html#llc", "物料清单维护"},
        {0, "index.html", "物料清单 帮助目录"},
        {12345, "index.html", "物料清单 帮助目录"}, // a context the help has no page for
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.context);
        Form form;
        form.helpContextId = c.context;
        form.Show();
        QTest::keyClick(form.window(), Qt::Key_F1);
        QTextBrowser* help = helpWindow();
        ASSERT_NE(help, nullptr);
        EXPECT_TRUE(help->isVisible());
        EXPECT_EQ(help->source().toString(), pageUrl(QString::fromUtf8(c.page)));
        EXPECT_EQ(help->documentTitle(), QString::fromUtf8(c.title)); // the page itself was found
        EXPECT_EQ(help->windowTitle(), QStringLiteral("帮助 - ") + QString::fromUtf8(c.title));
    }
}

TEST(Help, F1InAControlReachesTheFormAndTheWindowIsReused)
{
    Form form;
    form.helpContextId = 91102002;
    auto* edit = form.add<TextBox>(QStringLiteral("txtCode"));
    form.Show();
    QTest::keyClick(edit->widget(), Qt::Key_F1);
    QTextBrowser* first = helpWindow();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->source().toString(), pageUrl(QStringLiteral("browse-whereused.html")));
    first->close();
    form.helpContextId = 91101001;
    QTest::keyClick(form.window(), Qt::Key_F1);
    EXPECT_EQ(helpWindow(), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->source().toString(), pageUrl(QStringLiteral("voucher.html")));
    // F1 with a modifier is not help
    form.helpContextId = 91102001;
    QTest::keyClick(form.window(), Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(first->source().toString(), pageUrl(QStringLiteral("voucher.html")));
}

TEST(Help, LinksBetweenPagesAreFollowed)
{
    showHelp(91102001);
    QTextBrowser* help = helpWindow();
    ASSERT_NE(help, nullptr);
    // the page's first link, reached with Tab and followed with Enter
    QTest::keyClick(help, Qt::Key_Tab);
    QTest::keyClick(help, Qt::Key_Return);
    EXPECT_EQ(help->source().toString(), pageUrl(QStringLiteral("index.html")));
    EXPECT_EQ(help->documentTitle(), QStringLiteral("物料清单 帮助目录"));
    help->backward();
    EXPECT_EQ(help->source().toString(), pageUrl(QStringLiteral("browse-structure.html")));
}

TEST(Help, ContextMapLines)
{
    const HelpContexts map = HelpContexts::parse(QStringLiteral("# comment 1 a.html\n"
                                                                "\n"
                                                                "  7   seven.html  # trailing comment\n"
                                                                "8 eight.html#part\r\n"
                                                                "0 zero.html\n"
                                                                "-3 negative.html\n"
                                                                "x9 word.html\n"
                                                                "10\n"
                                                                "11 one.html two.html\n"));
    struct Case {
        int context;
        const char* page;
    };
    const Case cases[] = {{7, "seven.html"}, {8, "eight.html#part"}, {0, "index.html"}, {-3, "index.html"},
                          {9, "index.html"}, {10, "index.html"}, {11, "index.html"}, {1, "index.html"}};
    for (const Case& c : cases)
        EXPECT_EQ(map.pageOf(c.context), QString::fromUtf8(c.page)) << c.context;
}

// Every page the map names and every link of every page is a page of the help
// (an anchor named in a link is on its page).
TEST(Help, EveryPageAndLinkExists)
{
    QStringList pages;
    for (const int context : helpContexts().contexts())
        pages.append(helpContexts().pageOf(context));
    EXPECT_GE(pages.size(), 7);
    QDirIterator files(helpFolder(), {QStringLiteral("*.html")});
    int pageCount = 0;
    static const QRegularExpression link(QStringLiteral("href=\"([^\"]+)\""));
    while (files.hasNext()) {
        const QString file = files.next();
        ++pageCount;
        for (auto m = link.globalMatch(resourceText(file)); m.hasNext();)
            pages.append(m.next().captured(1));
    }
    EXPECT_EQ(pageCount, 6);
    for (const QString& target : pages) {
        const QString page = target.section(u'#', 0, 0);
        const QString anchor = target.section(u'#', 1);
        const QString text = resourceText(helpFolder() + u'/' + page);
        EXPECT_FALSE(text.isEmpty()) << target.toStdString();
        if (!anchor.isEmpty()) {
            EXPECT_TRUE(text.contains(QStringLiteral("name=\"%1\"").arg(anchor))) << target.toStdString();
        }
    }
}
