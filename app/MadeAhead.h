#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <utility>

namespace q7::app {

// Items 0 … count-1 made in order on a thread of their own, at most `ahead` of them waiting to be
// taken, so that making the next ones goes on while the caller works on the one it took. What
// making an item throws is thrown again by the take that would have had it, and nothing is made
// after it. Going away before every item is taken stops the making.
template <typename T>
class MadeAhead {
public:
    MadeAhead(long long count, long long ahead, std::function<T(long long)> make)
        : count_(count), ahead_(ahead < 1 ? 1 : ahead), make_(std::move(make)), maker_([this](std::stop_token stop) { run(stop); })
    {
    }
    ~MadeAhead()
    {
        {
            const std::lock_guard lock(mutex_); // not between the maker's look at the stop and its wait
            maker_.request_stop();
        }
        changed_.notify_all();
    }
    MadeAhead(const MadeAhead&) = delete;
    MadeAhead& operator=(const MadeAhead&) = delete;

    // The next item, waiting for it to be made; there are `count` to take.
    T take()
    {
        if (taken_++ >= count_)
            throw std::out_of_range("every item has been taken");
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !made_.empty() || failed_; });
        if (made_.empty())
            std::rethrow_exception(failed_);
        T item = std::move(made_.front());
        made_.pop_front();
        changed_.notify_all();
        return item;
    }

private:
    void run(std::stop_token stop)
    {
        for (long long n = 0; n < count_; ++n) {
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return stop.stop_requested() || (long long)made_.size() < ahead_; });
                if (stop.stop_requested())
                    return;
            }
            std::optional<T> item;
            try {
                item.emplace(make_(n));
            } catch (...) {
                const std::lock_guard lock(mutex_);
                failed_ = std::current_exception();
                changed_.notify_all();
                return;
            }
            const std::lock_guard lock(mutex_);
            made_.push_back(std::move(*item));
            changed_.notify_all();
        }
    }

    const long long count_, ahead_;
    long long taken_ = 0;
    std::function<T(long long)> make_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<T> made_;
    std::exception_ptr failed_;
    std::jthread maker_; // last: it starts once the rest is in place, and is joined before the rest goes
};

} // namespace q7::app
