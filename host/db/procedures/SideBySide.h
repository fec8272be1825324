#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <future>
#include <system_error>
#include <thread>
#include <vector>

namespace q7::host::db::procedures {

// Runs job(0) … job(count - 1) side by side on the machine's cores (at most
// four threads, the calling one among them), each job once. After a job
// throws no further job starts; once every thread is done the first
// exception is thrown again. Jobs share nothing they write unless they say so.
template <typename Job>
void runSideBySide(size_t count, Job&& job)
{
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    const auto work = [&] {
        try {
            for (size_t i = next++; i < count && !failed; i = next++)
                job(i);
        } catch (...) {
            failed = true;
            throw;
        }
    };
    const size_t threads = std::min<size_t>({count, std::max(1u, std::thread::hardware_concurrency()), 4});
    std::vector<std::future<void>> helpers;
    try {
        for (size_t t = 1; t < threads; ++t)
            helpers.push_back(std::async(std::launch::async, work));
    } catch (const std::system_error&) { // no thread to be had: fewer run side by side
    }
    std::exception_ptr failure;
    try {
        work();
    } catch (...) {
        failure = std::current_exception();
    }
    for (std::future<void>& helper : helpers) {
        try {
            helper.get();
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace q7::host::db::procedures
