#include "platform/periodic_timer.h"

#include <system_error>

namespace platform {

PeriodicTimer::PeriodicTimer(std::chrono::milliseconds period, std::function<void()> callback)
    : period_(period.count() > 0 ? period : std::chrono::milliseconds(1)), callback_(std::move(callback))
{
}

std::unique_ptr<PeriodicTimer> PeriodicTimer::start(std::chrono::milliseconds period, std::function<void()> callback)
{
    std::unique_ptr<PeriodicTimer> timer(new PeriodicTimer(period, std::move(callback)));
    try {
        timer->thread_ = std::thread(&PeriodicTimer::run, timer.get());
    } catch (const std::system_error&) {
        return nullptr;
    }
    return timer;
}

PeriodicTimer::~PeriodicTimer()
{
    kill();
}

void PeriodicTimer::kill()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
}

void PeriodicTimer::run()
{
    using clock = std::chrono::steady_clock;
    auto next = clock::now() + period_;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        // A condition-variable wait with a deadline is sleep_until that kill
        // can cut short.
        if (wake_.wait_until(lock, next, [this] { return stop_; }))
            return;
        lock.unlock();
        callback_();
        lock.lock();
        if (stop_)
            return;
        next += period_;
        auto now = clock::now();
        if (next <= now) // overran: skip the calls that are already past
            next += ((now - next) / period_ + 1) * period_;
    }
}

} // namespace platform
