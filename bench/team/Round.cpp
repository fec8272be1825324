#include "bench/team/Round.h"

#include "bench/team/Client.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <memory>
#include <vector>

namespace q7::bench::team {

namespace {

constexpr int StartMs = 120'000;  // for a client to open the account (64 of them share two cores)
constexpr int FinishMs = 300'000; // beyond its time, for its last operation and its tally

std::unique_ptr<QProcess> startClient(const RoundSetup& setup, int index)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel); // the clients' failures appear as they happen
    process->start(QCoreApplication::applicationFilePath(),
                   {QStringLiteral("--client"), QString::number(index), QStringLiteral("--plan"), setup.planFile, QStringLiteral("--out"),
                    setup.folder, QStringLiteral("--seconds"), QString::number(setup.seconds), QStringLiteral("--seed"),
                    QString::number(setup.seed * 1'000'003ULL + static_cast<uint64_t>(setup.clients) * 1009ULL + static_cast<uint64_t>(index))});
    return process;
}

bool saidReady(QProcess& process)
{
    while (!process.canReadLine())
        if (!process.waitForReadyRead(StartMs))
            return false;
    return process.readLine().trimmed() == "ready";
}

} // namespace

RoundResult runRound(const RoundSetup& setup)
{
    RoundResult result;
    result.clients = setup.clients;
    QDir().mkpath(setup.folder);
    std::vector<std::unique_ptr<QProcess>> clients;
    for (int i = 0; i < setup.clients; ++i)
        clients.push_back(startClient(setup, i));

    // All start together, once every one has opened the account.
    for (int i = 0; i < setup.clients; ++i)
        if (!saidReady(*clients[i]))
            result.failures.append(QStringLiteral("client %1 did not open the account").arg(i));
    const bool started = result.failures.isEmpty();
    for (auto& client : clients) {
        if (started) {
            client->write("go\n");
            client->waitForBytesWritten(StartMs); // a process's writes leave only when it is waited on
        }
        client->closeWriteChannel(); // without "go" a client stops
    }

    for (int i = 0; i < setup.clients; ++i) {
        QProcess& client = *clients[i];
        if (!client.waitForFinished(setup.seconds * 1000 + FinishMs)) {
            client.kill();
            client.waitForFinished();
            result.failures.append(QStringLiteral("client %1 did not finish").arg(i));
            continue;
        }
        if (!started)
            continue; // told to stop before it began
        if (client.exitStatus() != QProcess::NormalExit || client.exitCode() != 0) {
            result.failures.append(QStringLiteral("client %1 ended with %2")
                                       .arg(i)
                                       .arg(client.exitStatus() == QProcess::NormalExit ? QStringLiteral("status %1").arg(client.exitCode())
                                                                                          : QStringLiteral("a crash")));
            continue;
        }
        QFile file(tallyFile(setup.folder, i));
        if (!file.open(QIODevice::ReadOnly)) {
            result.failures.append(QStringLiteral("client %1 left no tally").arg(i));
            continue;
        }
        const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
        const Tally tally = Tally::fromJson(object.value(QStringLiteral("tally")).toObject());
        const double seconds = object.value(QStringLiteral("seconds")).toDouble();
        if (seconds > 0)
            result.opsPerSecond += static_cast<double>(tally.done()) / seconds;
        result.tally.merge(tally);
    }
    return result;
}

} // namespace q7::bench::team
