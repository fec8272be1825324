// The server's client library, opened when first needed: its functions work
// once taken, and a command on an account file never loads it.
#include "platform/data/LibPq.h"
#include "support/FakeHost.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <memory>

TEST(LibPq, FunctionsTakenOnFirstUseParseAConnectionString)
{
    const q7::data::LibPq& pq = q7::data::libpq();
    EXPECT_EQ(&pq, &q7::data::libpq()); // loaded once
    char* error = nullptr;
    const std::unique_ptr<PQconninfoOption, void (*)(PQconninfoOption*)> options(pq.conninfoParse("host=db7 dbname=syn", &error), pq.conninfoFree);
    ASSERT_NE(options, nullptr);
    pq.freemem(error);
    QStringList set;
    for (const PQconninfoOption* option = options.get(); option->keyword; ++option)
        if (option->val)
            set.append(QString::fromUtf8(option->keyword) + u'=' + QString::fromUtf8(option->val));
    EXPECT_TRUE(set.contains(QLatin1String("host=db7")));
    EXPECT_TRUE(set.contains(QLatin1String("dbname=syn")));
}

TEST(LibPq, AReportOnAnAccountFileDoesNotLoadTheClientLibrary)
{
    const struct {
        QStringList args;
        bool loads;
    } cases[] = {
        {{QStringLiteral("report"), QStringLiteral("BO02008"), QStringLiteral("--db"), fake::demoAccountPath(), QStringLiteral("--format"), QStringLiteral("csv")}, false},
        {{QStringLiteral("--version")}, false},
        // a server account: the library is loaded to reach it (the refusal comes after)
        {{QStringLiteral("report"), QStringLiteral("BO02008"), QStringLiteral("--server"), QStringLiteral("host=/nonexistent-q7 dbname=none connect_timeout=1")}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("files"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(Q7BOM_PATH), c.args);
        ASSERT_TRUE(process.waitForFinished(60000));
        const QByteArray loader = process.readAllStandardError();
        EXPECT_TRUE(loader.contains("file=libQt6Core.so.6")); // the loader's report was read
        EXPECT_EQ(loader.contains("file=libpq.so.5"), c.loads);
    }
}
