#pragma once

#include <QString>

#include <mutex>

namespace q7 {

// A shared library opened on first use rather than at start-up: a command
// that never needs it loads neither it nor what it brings along (the
// server's client library alone brings a TLS stack and its start-up work).
class LazyLibrary {
public:
    explicit LazyLibrary(const char* fileName) : fileName_(fileName) {}
    ~LazyLibrary(); // the library stays loaded: functions taken from it may still be held
    LazyLibrary(const LazyLibrary&) = delete;
    LazyLibrary& operator=(const LazyLibrary&) = delete;

    // The named function, nullptr when the library or the function is missing
    // (error() then says which).
    template <typename Function>
    Function* function(const char* name)
    {
        return reinterpret_cast<Function*>(symbol(name));
    }
    // Fills slot with the named function (nullptr when missing).
    template <typename Function>
    void take(Function*& slot, const char* name)
    {
        slot = function<Function>(name);
    }
    // What was missing so far: the library, or the last function not found; empty when all were found.
    QString error() const { return error_; }

private:
    void* symbol(const char* name);

    const char* fileName_;
    std::once_flag opened_;
    void* handle_ = nullptr;
    QString error_;
};

} // namespace q7
