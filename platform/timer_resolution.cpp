#include "platform/timer_resolution.h"

namespace platform {

TimerResolutionGuard::TimerResolutionGuard(std::uint32_t periodMs, TimerResolutionService& service)
    : service_(service)
{
    std::uint32_t minimum = 0, maximum = 0;
    if (!service_.query(minimum, maximum))
        return;
    std::uint32_t wanted = periodMs < minimum ? minimum : periodMs;
    if (wanted > maximum)
        return; // nothing the service could grant
    if (!service_.begin(wanted))
        return;
    period_ = wanted;
    active_ = true;
}

TimerResolutionGuard::~TimerResolutionGuard()
{
    if (active_)
        service_.end(period_);
}

} // namespace platform
