// q7bom diff and q7bom bom history as a planner types them on the demo account.
#include "support/ScratchAccount.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct Outcome {
    int status = -1;
    QString out, err;
};

Outcome q7bom(const QStringList& args)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(Q7BOM_PATH), args);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

TEST(DiffCommand, TheLockBoltsOfTwentyTwentySevenAsJson)
{
    const fake::ScratchAccount account;
    const Outcome run = q7bom({QStringLiteral("diff"), QStringLiteral("BK-100(红)"), QStringLiteral("--db"), account.path(), QStringLiteral("--at"),
                           QStringLiteral("2026-12-31"), QStringLiteral("--against"), QStringLiteral("2027-01-01"), QStringLiteral("--format"),
                           QStringLiteral("json")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject out = QJsonDocument::fromJson(run.out.toUtf8()).object();
    const QJsonArray lines = out[QStringLiteral("lines")][QStringLiteral("rows")].toArray();
    ASSERT_EQ(lines.size(), 1) << run.out.toStdString();
    EXPECT_EQ(lines[0][0].toString(), QStringLiteral("新增"));
    EXPECT_EQ(lines[0][2].toString(), QStringLiteral("BL-210#60"));
    const QJsonArray totals = out[QStringLiteral("totals")][QStringLiteral("rows")].toArray();
    ASSERT_EQ(totals.size(), 1);
    EXPECT_EQ(totals[0][6].toDouble(), 4); // four more bolts per bicycle
    EXPECT_TRUE(run.err.contains(QStringLiteral("13 rows against 14: 1 added, 0 removed, 0 changed"))) << run.err.toStdString();
}

TEST(DiffCommand, RefusesWhatNamesNoPartOrNoDate)
{
    const fake::ScratchAccount account;
    struct Case {
        QStringList args;
        const char* message;
    };
    const QList<Case> cases{
        {{QStringLiteral("BK-100")}, "BK-100 names no part; give one of BK-100(红), BK-100(蓝)"},
        {{QStringLiteral("ZZ-1")}, "no item ZZ-1"},
        {{QStringLiteral("BK-120"), QStringLiteral("--at"), QStringLiteral("2026-02-30")}, "--at takes a date"},
        {{QStringLiteral("BK-100(红)"), QStringLiteral("--against-version"), QStringLiteral("7")}, "no main BOM of version 7"},
    };
    for (const Case& c : cases) {
        const Outcome run = q7bom(QStringList{QStringLiteral("diff"), QStringLiteral("--db"), account.path()} + c.args);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.message))) << run.err.toStdString();
    }
}

TEST(DiffCommand, HistoryListsTheHandlebarChangeAndTheVersionsChange)
{
    const fake::ScratchAccount account;
    const Outcome run = q7bom({QStringLiteral("bom"), QStringLiteral("history"), QStringLiteral("BK-100"), QStringLiteral("--db"), account.path(),
                           QStringLiteral("--format"), QStringLiteral("csv")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("2025-01-01,BK-100(红),主BOM 2,版本生效,,,,,ECN-2025-001"))) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("2025-07-01,BK-100(红),主BOM 2,行结束,30,HB-210"))) << run.out.toStdString();
    EXPECT_EQ(q7bom({QStringLiteral("bom"), QStringLiteral("history"), QStringLiteral("ZZ-1"), QStringLiteral("--db"), account.path()}).status, 2);
}
