#include "music/stream_driver.h"

#include "music/song.h"

namespace music {

StreamDriver::StreamDriver(Song& song, std::int32_t mixingRate, std::unique_ptr<platform::AudioStream> stream)
    : song_(song), rate_(mixingRate), stream_(std::move(stream))
{
}

StreamDriver::~StreamDriver()
{
    stop();
}

int StreamDriver::start()
{
    if (started_)
        return 0;
    if (!stream_ || rate_ <= 0)
        soundFatal("Inge output ledig!");
    song_.syncReset(kWaveLatencyMs);
    const bool opened = stream_->open(static_cast<std::uint32_t>(rate_),
                                      [this](std::int16_t* samples, std::uint32_t frames, std::uint32_t aheadMs) {
                                          song_.syncLatency = static_cast<std::int32_t>(aheadMs);
                                          song_.fillBuffer(samples, frames * 4);
                                      });
    if (!opened) {
        song_.syncRelease();
        soundFatal("Setup handle failed / Threader");
    }
    started_ = true;
    return 0;
}

void StreamDriver::stop()
{
    if (!started_)
        return;
    stream_->close();
    song_.syncRelease();
    started_ = false;
}

} // namespace music
