#include "bench/team/Client.h"

#include "bench/team/ClientSession.h"
#include "bench/team/Tally.h"
#include "bench/team/WriteRecord.h"
#include "platform/AutomationError.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <cstdio>
#include <functional>
#include <random>
#include <vector>

namespace q7::bench::team {

namespace {

bool writes(const QString& kind)
{
    return kind == QLatin1String("save") || kind == QLatin1String("replace") || kind == QLatin1String("undo");
}

// Runs one attempt, times it and counts it; a failure is classified by its message.
class Runner {
public:
    explicit Runner(int index) : index_(index) {}

    Outcome attempt(const QString& kind, const std::function<Attempt()>& operation)
    {
        QElapsedTimer timer;
        timer.start();
        Attempt a;
        try {
            a = operation();
        } catch (const AutomationError& e) {
            a = {classifyFailure(e.description(), writes(kind)), e.description()};
        } catch (const std::exception& e) {
            a = {Outcome::Error, QString::fromLocal8Bit(e.what())};
        }
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        tally_.add(kind, a.outcome, ms, a.message);
        if (a.outcome == Outcome::Error && !reported_.contains(a.message)) { // each message once per client
            reported_.insert(a.message);
            std::fprintf(stderr, "client %d: %s failed: %s\n", index_, kind.toUtf8().constData(), a.message.toUtf8().constData());
        }
        return a.outcome;
    }
    const Tally& tally() const { return tally_; }

private:
    int index_;
    Tally tally_;
    QSet<QString> reported_;
};

bool waitForGo()
{
    std::printf("ready\n");
    std::fflush(stdout);
    char line[16] = {};
    return std::fgets(line, sizeof line, stdin) && qstrncmp(line, "go", 2) == 0;
}

} // namespace

QString tallyFile(const QString& folder, int index) { return QStringLiteral("%1/client-%2.json").arg(folder).arg(index); }
QString writeLogFile(const QString& folder, int index) { return QStringLiteral("%1/writes-%2.jsonl").arg(folder).arg(index); }

int runClient(const ClientOptions& options)
{
    try {
        const Plan plan = Plan::load(options.planFile);
        WriteLog log(writeLogFile(options.folder, options.index));
        ClientSession session(plan, options.index, options.seed, log);
        Runner runner(options.index);
        // Each a user's step, picked with the same chance; an undo follows the replace it undoes.
        const std::vector<std::function<void()>> steps{
            [&] { runner.attempt(QStringLiteral("explode"), [&] { return session.explode(); }); },
            [&] { runner.attempt(QStringLiteral("where-used"), [&] { return session.whereUsed(); }); },
            [&] { runner.attempt(QStringLiteral("browse"), [&] { return session.browse(); }); },
            [&] { runner.attempt(QStringLiteral("save"), [&] { return session.save(); }); },
            [&] {
                int run = 0;
                if (runner.attempt(QStringLiteral("replace"), [&] { return session.replace(run); }) == Outcome::Done && run > 0)
                    runner.attempt(QStringLiteral("undo"), [&] { return session.undo(run); });
            },
        };
        std::mt19937_64 choice(options.seed ^ 0x5DEECE66DULL);
        if (!waitForGo())
            return 1;

        QElapsedTimer clock;
        clock.start();
        const qint64 end = static_cast<qint64>(options.seconds) * 1'000'000'000;
        while (clock.nsecsElapsed() < end)
            steps[static_cast<size_t>(choice() % steps.size())]();
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;

        QFile file(tallyFile(options.folder, options.index));
        const QJsonObject result{{QStringLiteral("seconds"), seconds}, {QStringLiteral("tally"), runner.tally().toJson()}};
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(QJsonDocument(result).toJson(QJsonDocument::Compact)) < 0) {
            std::fprintf(stderr, "client %d: cannot write %s\n", options.index, file.fileName().toUtf8().constData());
            return 1;
        }
        return 0;
    } catch (const AutomationError& e) {
        std::fprintf(stderr, "client %d: %s\n", options.index, e.description().toUtf8().constData());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "client %d: %s\n", options.index, e.what());
    }
    return 1;
}

} // namespace q7::bench::team
