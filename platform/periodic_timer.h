#pragma once
// A periodic timer: a callback run on a thread of its own every period, in
// the role of a multimedia periodic timer event.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace platform {

class PeriodicTimer {
public:
    // Starts the timer: the first call comes one period from now, the next
    // ones on a fixed grid of periods (a late call does not shift the grid;
    // calls missed while the callback overran are skipped). Returns nullptr
    // when no thread could be started.
    static std::unique_ptr<PeriodicTimer> start(std::chrono::milliseconds period, std::function<void()> callback);

    // Kills the timer. Must not run on the timer's own thread.
    ~PeriodicTimer();
    PeriodicTimer(const PeriodicTimer&) = delete;
    PeriodicTimer& operator=(const PeriodicTimer&) = delete;

    // No callback starts after this returns, and a running one has finished
    // (unless kill is called from the callback itself, which only stops
    // further calls). Harmless when called again.
    void kill();

private:
    PeriodicTimer(std::chrono::milliseconds period, std::function<void()> callback);
    void run();

    std::chrono::milliseconds period_;
    std::function<void()> callback_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;
};

} // namespace platform
