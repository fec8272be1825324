#include "host/script/ScriptLimits.h"

#include <QJSEngine>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include <unistd.h>

namespace q7::host::script {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto PollInterval = 10ms;
// A stopped script that has not come back to the engine after this long is a runaway.
constexpr auto Grace = 3s;

} // namespace

long long residentBytes()
{
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return 0;
    long long size = 0, resident = 0, shared = 0;
    const int read = std::fscanf(statm, "%lld %lld %lld", &size, &resident, &shared);
    std::fclose(statm);
    return read == 3 ? std::max(0LL, resident - shared) * sysconf(_SC_PAGESIZE) : 0;
}

struct ScriptWatch::State {
    std::mutex mutex;
    std::condition_variable wake;
    // Set by finish under the mutex; atomic too, since the watch reads it as
    // it wakes from a wait on a State that may sit where the last run's did
    // (ThreadSanitizer reported the plain flag there).
    std::atomic<bool> done{false};
    QString reason;
    std::thread thread;
};

ScriptWatch::ScriptWatch(QJSEngine& engine, const ScriptLimits& limits) : state_(std::make_shared<State>())
{
    const long long ceiling = limits.maxMemoryMb * 1024 * 1024;
    if (ceiling <= 0 && limits.timeoutSeconds <= 0)
        return;
    state_->thread = std::thread([state = state_, &engine, limits, ceiling] {
        const Clock::time_point start = Clock::now();
        const auto deadline = limits.timeoutSeconds > 0 ? start + std::chrono::seconds(limits.timeoutSeconds) : Clock::time_point::max();
        Clock::time_point stoppedAt;
        std::unique_lock lock(state->mutex);
        while (!state->wake.wait_for(lock, PollInterval, [&] { return state->done.load(); })) {
            const long long resident = residentBytes();
            const Clock::time_point now = Clock::now();
            if (state->reason.isEmpty()) {
                if (ceiling > 0 && resident > ceiling)
                    state->reason = QStringLiteral("the script was stopped: it used more than %1 MB of memory (--max-memory)").arg(limits.maxMemoryMb);
                else if (now >= deadline)
                    state->reason = QStringLiteral("the script was stopped: it ran longer than %1 s (--timeout)").arg(limits.timeoutSeconds);
                else
                    continue;
                stoppedAt = now;
                engine.setInterrupted(true); // safe from any thread: the engine checks it between steps
            } else if (limits.runaway && (now - stoppedAt > Grace || (ceiling > 0 && resident > 2 * ceiling))) {
                limits.runaway(state->reason);
                return;
            }
        }
    });
}

ScriptWatch::~ScriptWatch() { finish(); }

QString ScriptWatch::finish()
{
    if (!state_->thread.joinable())
        return state_->reason;
    {
        const std::lock_guard lock(state_->mutex);
        state_->done = true;
    }
    state_->wake.notify_all();
    state_->thread.join();
    return state_->reason;
}

} // namespace q7::host::script
