#pragma once
// The music's output: the wave-output driver (eight blocks queued on the
// wave-out device, refilled by a mixing thread) or the silent driver (a
// 100 ms timer that runs the player into a scratch buffer), behind one
// start/stop pair chosen by the driver number.
#include "platform/audio_stream.h"
#include "platform/wave_out.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace music {

class Song;

constexpr int kWaveBufferCount = 8;
constexpr std::int32_t kWaveLatencyMs = 600;  // about the length of the eight queued blocks
constexpr std::int32_t kSilentLatencyMs = 10;
constexpr int kSilentPeriodMs = 100;

// Bytes of one wave block: floor(floor(floor(rate x 2400 / 1000) / 8) / 16) x 16,
// that is rate x 0.3 rounded down to a multiple of 16 (13216 at 44100).
std::uint32_t waveBufferBytes(std::int32_t rate);
// Bytes of the silent driver's scratch buffer: floor(rate x 4 / 10), 100 ms.
std::uint32_t silentBufferBytes(std::int32_t rate);

// Caption of the fatal sound-device errors.
inline constexpr const char* kSoundErrorCaption = "Ert resultat av iq-testet";
// Shows `text` in a message box with the caption above and ends the process
// with status 1.
[[noreturn]] void soundFatal(const char* text);

// One output driver: start returns 0 when the music runs, 1 when it could not
// be started; stop waits until no music thread runs any more and then
// releases the song's marker table. stop is harmless when not started.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    virtual int start() = 0;
    virtual void stop() = 0;
};

using WaveOutFactory = std::function<std::unique_ptr<platform::WaveOut>()>;

// The driver chosen by number: 0 silent, 1 wave output, anything else
// neither (nothing plays, start returns 1). Given a stream factory, the wave
// output plays on that pulled stream instead of the queued-block device.
class OutputDriver {
public:
    OutputDriver(Song& song, int driverNumber, std::int32_t mixingRate,
                 WaveOutFactory makeDevice = platform::createDefaultWaveOut,
                 platform::AudioStreamFactory makeStream = nullptr);
    ~OutputDriver();
    OutputDriver(const OutputDriver&) = delete;
    OutputDriver& operator=(const OutputDriver&) = delete;

    int start();
    void stop();
    int driverNumber() const { return driverNumber_; }

private:
    int driverNumber_;
    std::unique_ptr<SoundOutput> output_;
};

} // namespace music
