#pragma once

#include <QString>

#include <functional>
#include <memory>

class QJSEngine;

namespace q7::host::script {

// How far a script may go. A script runs with the rights of the user who
// starts it; these bound what a runaway one costs the machine.
struct ScriptLimits {
    static constexpr long long DefaultMaxMemoryMb = 2048;

    long long maxMemoryMb = DefaultMaxMemoryMb; // the process's resident memory; 0: no ceiling
    long long timeoutSeconds = 0;               // 0: no time limit
    // Called from the watch's own thread when a stopped script does not come
    // back to the engine (a native call that keeps growing or running): the
    // command line ends the process there. Unset, the watch only waits.
    std::function<void(const QString& reason)> runaway;
};

// The process's own resident memory in bytes (pages shared with files, such
// as a mapped account, left out), 0 when the system does not say.
long long residentBytes();

// Watches a running script from a thread of its own: past the memory ceiling
// or the time limit it interrupts the engine (the script ends at its next
// step) and keeps the reason. Stops watching when destroyed.
class ScriptWatch {
public:
    ScriptWatch(QJSEngine& engine, const ScriptLimits& limits);
    ~ScriptWatch();
    ScriptWatch(const ScriptWatch&) = delete;
    ScriptWatch& operator=(const ScriptWatch&) = delete;

    // Stops watching and says why the watch stopped the script ("the script
    // was stopped: …"); empty when it did not. Once it returns, the watch
    // interrupts nothing more.
    QString finish();

private:
    struct State;
    std::shared_ptr<State> state_;
};

} // namespace q7::host::script
