#include "support/FakeHost.h"

#include "browse/BrowseDriver.h"
#include "frame/ModBOM.h"

#include <gtest/gtest.h>

using namespace q7;

TEST(BrowseForms, Smoke)
{
    browse::Session s(QStringLiteral("BO02001"), fake::demoAccountPath());
    s.enterItem(QStringLiteral("BK-100"));
    s.chooseFree(1, QStringLiteral("红"));
    s.ok();
    s.growAll();
    for (const QString& line : s.treeLines())
        std::printf("%s\n", line.toUtf8().constData());
    for (const auto& m : fake::messages()->messages)
        std::printf("MSG %s\n", m.text.toUtf8().constData());
}
