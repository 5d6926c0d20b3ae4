// Linux: the steady clock already has 1 ms resolution, so every period from
// 1 ms up is granted and nothing changes.
#include "platform/timer_resolution.h"

namespace platform {

namespace {

class SteadyClockResolution final : public TimerResolutionService {
public:
    bool query(std::uint32_t& minimumMs, std::uint32_t& maximumMs) override
    {
        minimumMs = 1;
        maximumMs = 1000000;
        return true;
    }
    bool begin(std::uint32_t) override { return true; }
    void end(std::uint32_t) override {}
};

} // namespace

TimerResolutionService& systemTimerResolution()
{
    static SteadyClockResolution service;
    return service;
}

} // namespace platform
