#include "platform/clock.h"

#include <chrono>

namespace platform {

namespace {

class SteadyClock final : public Clock {
public:
    std::uint32_t nowMs() override
    {
        using namespace std::chrono;
        auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
        return static_cast<std::uint32_t>(ms); // wraps at 2^32 like the original timer
    }
};

} // namespace

Clock& systemClock()
{
    static SteadyClock clock;
    return clock;
}

} // namespace platform
