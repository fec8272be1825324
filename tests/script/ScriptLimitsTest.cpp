// A runaway script ends with a clear error and status 1, bounded in memory and
// time, and the host that ran it goes on running scripts.
#include "host/script/ScriptHost.h"
#include "support/ScratchAccount.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using q7::host::script::ScriptHost;
using q7::host::script::ScriptLimits;

namespace {

struct Finished {
    int status = -1;
    QString out, err;
};

Finished q7bomScript(const QStringList& options, const QString& program)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("runaway.js"));
    QFile source(file);
    if (!source.open(QIODevice::WriteOnly) || source.write(program.toUtf8()) < 0)
        return {};
    source.close();
    QProcess process;
    process.start(QStringLiteral(Q7BOM_PATH), QStringList{QStringLiteral("script")} + options + QStringList{file});
    EXPECT_TRUE(process.waitForFinished(120000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

long long megabytes(long long bytes) { return bytes / (1024 * 1024); }

} // namespace

TEST(ScriptLimits, ARunawayScriptStopsWithAClearError)
{
    // The ceiling sits well above what the program needs to start (sanitized builds need more).
    const QString ceiling = QString::number(megabytes(q7::host::script::residentBytes()) + 400);
    struct Case {
        const char* what;
        QStringList options;
        const char* program;
        int status;
        const char* stderrHas;
        const char* stdoutIs;
    };
    const Case cases[] = {
        // a string that doubles until its length no longer fits: stopped, never a wrong length
        {"doubling string", {"--max-memory", "300"}, "var s = 'x'; for (var i = 0; i < 40; i++) s = s + s; print(s.length)", 1,
         "runaway.js: the script was stopped: it used more than 300 MB of memory (--max-memory)", ""},
        {"growing array", {"--max-memory", "300"}, "var a = []; while (true) a.push({n: a.length, t: 'line ' + a.length});", 1,
         "used more than 300 MB of memory", ""},
        // one native call that fills more than the ceiling: the process ends near it
        {"native fill", {"--max-memory", "300"}, "var a = new Array(4e8).fill(1.5); print(a.length)", 1, "used more than 300 MB of memory", ""},
        {"endless loop", {"--timeout", "1"}, "print('started'); while (true) {}", 1,
         "runaway.js: the script was stopped: it ran longer than 1 s (--timeout)", "started\n"},
        {"within both", {"--timeout", "30"}, "var a = []; for (var i = 0; i < 100000; i++) a.push(i); print(a.length)", 0, "", "100000\n"},
        {"no ceiling", {"--max-memory", "0"}, "print('x'.repeat(1 << 20).length)", 0, "", "1048576\n"},
        {"ceiling not a number", {"--max-memory", "lots"}, "print(1)", 2, "--max-memory takes a whole number", ""},
        {"negative timeout", {"--timeout", "-1"}, "print(1)", 2, "--timeout takes a whole number", ""},
    };
    for (const Case& c : cases) {
        QStringList options = c.options;
        if (options.first() == QLatin1String("--max-memory") && options.last() == QLatin1String("300"))
            options.last() = ceiling;
        const Finished run = q7bomScript(options, QString::fromUtf8(c.program));
        EXPECT_EQ(run.status, c.status) << c.what << ": " << run.err.toStdString();
        const QString expected = QString::fromUtf8(c.stderrHas).replace(QStringLiteral("300"), options.last());
        EXPECT_TRUE(run.err.contains(expected)) << c.what << ": " << run.err.toStdString();
        EXPECT_EQ(run.out, QString::fromUtf8(c.stdoutIs)) << c.what;
    }
}

TEST(ScriptLimits, TheHostRunsTheNextScriptAfterAStop)
{
    fake::ScratchAccount account;
    ScriptHost host({}, account.path());
    ScriptLimits limits;
    limits.timeoutSeconds = 1;
    host.setLimits(limits);
    const auto stopped = host.run(QStringLiteral("while (true) {}"), QStringLiteral("loop.js"));
    EXPECT_EQ(stopped.status, 1);
    EXPECT_EQ(stopped.error, QStringLiteral("loop.js: the script was stopped: it ran longer than 1 s (--timeout)"));

    // the engine is no longer interrupted, and the account is still open
    const auto next = host.run(QStringLiteral("var n = 0; for (var i = 0; i < 1000; i++) n += i; "
                                              "if (n !== 499500 || account.Query('SELECT count(*) FROM bom_bom').rows[0][0] < 1) throw 'wrong';"),
                               QStringLiteral("next.js"));
    EXPECT_EQ(next.status, 0) << next.error.toStdString();
}
