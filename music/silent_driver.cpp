#include "music/silent_driver.h"

#include "music/song.h"

namespace music {

SilentDriver::SilentDriver(Song& song, std::int32_t mixingRate) : song_(song), bytes_(silentBufferBytes(mixingRate)) {}

SilentDriver::~SilentDriver()
{
    stop();
}

int SilentDriver::start()
{
    if (started_)
        return 0;
    song_.syncReset(kSilentLatencyMs);
    started_ = true;
    scratch_.assign(bytes_, 0);
    timer_ = platform::PeriodicTimer::start(std::chrono::milliseconds(kSilentPeriodMs),
                                            [this] { song_.fillBuffer(scratch_.data(), bytes_); });
    return timer_ ? 0 : 1;
}

void SilentDriver::stop()
{
    if (!started_)
        return;
    if (timer_)
        timer_->kill(); // returns once no callback runs
    timer_.reset();
    song_.syncRelease();
    scratch_.clear();
    started_ = false;
}

} // namespace music
