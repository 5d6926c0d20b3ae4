#pragma once
// The silent driver: a periodic timer renders 100 ms of music every 100 ms
// into a scratch buffer that is never played, so that the player and its
// markers keep time without a sound device.
#include "music/output_driver.h"
#include "platform/periodic_timer.h"

#include <memory>
#include <vector>

namespace music {

class SilentDriver final : public SoundOutput {
public:
    SilentDriver(Song& song, std::int32_t mixingRate);
    ~SilentDriver() override;

    // Latency 10 ms, sync reset, scratch buffer, timer (first call after
    // 100 ms). Returns 1 when no timer could be started.
    int start() override;
    // Kills the timer (waiting for a running call), then releases the table.
    void stop() override;

    std::uint32_t bufferBytes() const { return bytes_; }

private:
    Song& song_;
    std::uint32_t bytes_;
    std::vector<std::uint8_t> scratch_;
    std::unique_ptr<platform::PeriodicTimer> timer_;
    bool started_ = false;
};

} // namespace music
