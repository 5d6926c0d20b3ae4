// The multimedia timer's resolution service: the supported range and the
// period requests that make sleeps and timer events 1 ms accurate.
#include "platform/timer_resolution.h"

#include <windows.h>

#include <mmsystem.h>

namespace platform {

namespace {

class MultimediaTimerResolution final : public TimerResolutionService {
public:
    bool query(std::uint32_t& minimumMs, std::uint32_t& maximumMs) override
    {
        TIMECAPS caps{};
        if (timeGetDevCaps(&caps, sizeof caps) != TIMERR_NOERROR)
            return false;
        minimumMs = caps.wPeriodMin;
        maximumMs = caps.wPeriodMax;
        return true;
    }
    bool begin(std::uint32_t periodMs) override { return timeBeginPeriod(periodMs) == TIMERR_NOERROR; }
    void end(std::uint32_t periodMs) override { timeEndPeriod(periodMs); }
};

} // namespace

TimerResolutionService& systemTimerResolution()
{
    static MultimediaTimerResolution service;
    return service;
}

} // namespace platform
