#pragma once
// Millisecond clock of the frame loop and of the music's marker table.
#include <atomic>
#include <cstdint>

namespace platform {

// A millisecond counter that wraps at 2^32, like a multimedia timer: callers
// take differences as unsigned 32-bit values.
class Clock {
public:
    virtual ~Clock() = default;
    // Called whenever the current time is needed; any thread may call it.
    virtual std::uint32_t nowMs() = 0;
};

// The process's steady clock (1 ms resolution, origin unspecified).
Clock& systemClock();

// A clock that only moves when told to; for tests. Safe to read from other
// threads while the test thread moves it.
class ManualClock final : public Clock {
public:
    explicit ManualClock(std::uint32_t start = 0) : now_(start) {}
    std::uint32_t nowMs() override { return now_.load(std::memory_order_acquire); }
    void set(std::uint32_t ms) { now_.store(ms, std::memory_order_release); }
    void advance(std::uint32_t ms) { now_.fetch_add(ms, std::memory_order_acq_rel); }

private:
    std::atomic<std::uint32_t> now_;
};

} // namespace platform
