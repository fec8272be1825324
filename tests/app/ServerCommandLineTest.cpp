#include "support/FakeHost.h"
#include "support/ServerDatabase.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Outcome {
    int status;
    QString out, err;
};

Outcome q7bom(const QStringList& args, const QByteArray& password = {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    if (!password.isEmpty())
        environment.insert(QStringLiteral("PGPASSWORD"), QString::fromLatin1(password));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(Q7BOM_PATH), args);
    process.waitForFinished(120000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

// The commands on a server account, as a user runs them: the same rows as on the file, clear refusals.
TEST(ServerCommandLine, CommandsTakeAServerAccount)
{
    Q7_NEEDS_SERVER();
    const fake::ServerDatabase database;
    const QString server = database.connection();
    const QString demo = fake::demoAccountPath();

    Outcome made = q7bom({"init-db", "--server", server});
    ASSERT_EQ(made.status, 0) << made.err.toStdString();
    EXPECT_TRUE(made.out.contains(QStringLiteral("the database %1 on").arg(database.name()))) << made.out.toStdString();
    EXPECT_TRUE(made.out.contains(QStringLiteral("34 BOM lines")));
    EXPECT_FALSE(made.err.contains(QStringLiteral("NOTICE")));

    struct Case {
        QStringList args;
        int status;
        const char* stderrHas;
    };
    const QList<Case> cases{
        {{"init-db", "--server", server}, 2, "already exists in the database"},
        {{"init-db", "--server", server, "--path", "/tmp/x.db"}, 2, "--path and --server"},
        {{"init-db", "--server", server + QStringLiteral(" password=secret")}, 1, "holds a password"},
        {{"report", "BO02003", "--server", server, "--db", demo}, 2, "--db and --server name two accounts"},
        {{"report", "BO02003", "--server", ""}, 2, "--server needs"},
        {{"maintain", "replace", "--server", server, "--OldInvCode", "HB-220", "--NewInvCode", "hb-220"}, 2, "是同一物料"},
        {{"maintain", "--undo", "9", "--server", server}, 2, "没有运行记录 9"},
    };
    for (const Case& c : cases) {
        const Outcome o = q7bom(c.args);
        const std::string what = c.args.join(u' ').toStdString();
        EXPECT_EQ(o.status, c.status) << what << "\n" << o.err.toStdString();
        EXPECT_TRUE(o.err.contains(QString::fromUtf8(c.stderrHas)) || o.out.contains(QString::fromUtf8(c.stderrHas))) << what << "\n" << o.err.toStdString();
        EXPECT_FALSE(o.err.contains(QStringLiteral("secret"))) << what;
    }

    // the same tree from the file and the server
    for (const QStringList& browse : {QStringList{"browse", "BK-100", "--free", "1=红"}, QStringList{"browse", "ST-400", "--where-used"}}) {
        const Outcome onFile = q7bom(browse + QStringList{"--db", demo});
        const Outcome onServer = q7bom(browse + QStringList{"--server", server});
        EXPECT_EQ(onServer.status, 0) << onServer.err.toStdString();
        EXPECT_TRUE(onFile.out.contains(QStringLiteral("ST-400"))) << onFile.out.toStdString();
        EXPECT_EQ(onServer.out.toStdString(), onFile.out.toStdString()) << browse.join(u' ').toStdString();
    }

    // the same rows from the file and the server
    for (const QStringList& report : {QStringList{"report", "BO02008"}, QStringList{"report", "BO02003", "--filter", "vp.InvCode=bk-100"},
                                      QStringList{"report", "BO02004", "--filter", "InvCode=BK-100"},
                                      QStringList{"report", "BO02004", "--filter", "QueryType=阶列式"}, QStringList{"report", "BO02006"},
                                      QStringList{"bom", "show", "FR-200"}}) {
        const Outcome onFile = q7bom(report + QStringList{"--db", demo, "--format", "csv"});
        const Outcome onServer = q7bom(report + QStringList{"--server", server, "--format", "csv"});
        EXPECT_EQ(onServer.status, 0) << onServer.err.toStdString();
        EXPECT_FALSE(onFile.out.isEmpty());
        EXPECT_EQ(onServer.out.toStdString(), onFile.out.toStdString()) << report.join(u' ').toStdString();
    }

    // the maintenance commands print the same on a copy of the file and on the server (last: they change the account)
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("demo.db"));
    ASSERT_TRUE(QFile::copy(demo, copy));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    const QList<QStringList> maintain{
        {"maintain", "replace", "--OldInvCode", "HB-220", "--NewInvCode", "HB-210", "--dry-run"},
        {"maintain", "replace", "--OldInvCode", "HB-220", "--NewInvCode", "HB-210"},
        {"maintain", "remove", "--InvCode", "CP-400", "--dry-run"},
        {"maintain", "remove", "--InvCode", "CP-400"},
        {"maintain", "llc", "--date", "2026-12-07"},
        {"maintain", "check", "--TotLevel", "2"},
        {"bom", "show", "FR-200"},
        {"maintain", "--undo", "2"},
        {"maintain", "--undo", "1"},
        {"maintain", "--undo", "1"},
        {"bom", "show", "FR-200"},
    };
    for (const QStringList& command : maintain) {
        const Outcome onFile = q7bom(command + QStringList{"--db", copy, "--user", "tester"});
        const Outcome onServer = q7bom(command + QStringList{"--server", server, "--user", "tester"});
        const std::string what = command.join(u' ').toStdString();
        EXPECT_EQ(onServer.status, onFile.status) << what << "\n" << onServer.err.toStdString();
        EXPECT_EQ(onServer.out.toStdString(), onFile.out.toStdString()) << what;
        const QRegularExpression when(QStringLiteral("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d")); // an undone run's time
        EXPECT_EQ(QString(onServer.err).replace(when, QStringLiteral("TIME")).toStdString(), QString(onFile.err).replace(when, QStringLiteral("TIME")).toStdString())
            << what;
    }
}
