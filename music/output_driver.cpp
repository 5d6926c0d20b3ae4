#include "music/output_driver.h"

#include "music/silent_driver.h"
#include "music/sound_options.h"
#include "music/stream_driver.h"
#include "music/wave_driver.h"
#include "platform/message_box.h"

namespace music {

std::uint32_t waveBufferBytes(std::int32_t rate)
{
    const std::uint64_t r = rate > 0 ? static_cast<std::uint64_t>(rate) : 0;
    return static_cast<std::uint32_t>(r * 2400 / 1000 / 8 / 16 * 16);
}

std::uint32_t silentBufferBytes(std::int32_t rate)
{
    const std::uint64_t r = rate > 0 ? static_cast<std::uint64_t>(rate) : 0;
    return static_cast<std::uint32_t>(r * 4 / 10);
}

void soundFatal(const char* text)
{
    platform::messageBox(kSoundErrorCaption, text);
    platform::fatalExit(1);
}

OutputDriver::OutputDriver(Song& song, int driverNumber, std::int32_t mixingRate, WaveOutFactory makeDevice,
                           platform::AudioStreamFactory makeStream)
    : driverNumber_(driverNumber)
{
    if (driverNumber == kSilentDriver)
        output_ = std::make_unique<SilentDriver>(song, mixingRate);
    else if (driverNumber == kWaveDriver && makeStream)
        output_ = std::make_unique<StreamDriver>(song, mixingRate, makeStream());
    else if (driverNumber == kWaveDriver)
        output_ = std::make_unique<WaveDriver>(song, mixingRate, makeDevice ? makeDevice() : nullptr);
}

OutputDriver::~OutputDriver()
{
    stop();
}

int OutputDriver::start()
{
    return output_ ? output_->start() : 1;
}

void OutputDriver::stop()
{
    if (output_)
        output_->stop();
}

} // namespace music
