#pragma once
// Guard that asks for a finer system timer resolution for its lifetime.
#include <cstdint>

namespace platform {

// The system's timer-resolution service, in the shape of a multimedia timer:
// a range of supported periods, a request and its release.
class TimerResolutionService {
public:
    virtual ~TimerResolutionService() = default;
    // Called once by a guard; false when the capabilities cannot be read.
    virtual bool query(std::uint32_t& minimumMs, std::uint32_t& maximumMs) = 0;
    // Called to start a period; false when the request was refused.
    virtual bool begin(std::uint32_t periodMs) = 0;
    // Called once for every successful begin, with the same period.
    virtual void end(std::uint32_t periodMs) = 0;
};

// The process's service. On Linux the steady clock already has 1 ms
// resolution, so every period from 1 ms up is granted and nothing changes.
TimerResolutionService& systemTimerResolution();

// Requests `periodMs` (raised to the service's minimum when below it) and
// releases it on destruction. A failed query, a period above the maximum or a
// refused request leave the guard inactive; that is never an error.
class TimerResolutionGuard {
public:
    explicit TimerResolutionGuard(std::uint32_t periodMs,
                                  TimerResolutionService& service = systemTimerResolution());
    ~TimerResolutionGuard();
    TimerResolutionGuard(const TimerResolutionGuard&) = delete;
    TimerResolutionGuard& operator=(const TimerResolutionGuard&) = delete;

    bool active() const { return active_; }
    // The period that was requested and is held; 0 while inactive.
    std::uint32_t period() const { return active_ ? period_ : 0; }

private:
    TimerResolutionService& service_;
    std::uint32_t period_ = 0;
    bool active_ = false;
};

} // namespace platform
