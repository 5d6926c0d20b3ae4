// Fuzz target: the bytes as a module (XM or MOD) through the reading core,
// which never shows a box nor ends the process. A module that loads is played
// for a quarter of a second, in stretches of a sixteenth that take turns
// between the two mixers with flip off and on, so that the tick, loop and
// envelope paths with speed and tempo from the file are reached too. The
// environment variable FUZZ_MODULE_SECONDS sets a longer playback, for runs
// that look for what a quarter of a second does not reach.
#include "music/module_reader.h"
#include "music/output_driver.h"
#include "music/song.h"
#include "platform/clock.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

// Mixing rates of the set-up window; the input's size picks one, so an input
// always plays the same way.
constexpr std::int32_t kRates[] = {11000, 22050, 44100};
constexpr int kStretchesPerSecond = 16;
int stretches = kStretchesPerSecond / 4;

// What the player and the mixer rely on in whatever was loaded.
void checkInvariants(const music::Song& song)
{
    bool ok = song.numChannels >= 0 && song.numChannels <= music::kMaxChannels &&
              song.songLength <= music::kOrderTableSize &&
              (song.restartPosition == 0 || song.restartPosition < song.songLength);
    for (const music::Instrument& instrument : song.instruments)
        for (const music::Sample& s : instrument.samples) {
            ok = ok && (!s.hasData || s.data) && s.length >= 0;
            ok = ok && (s.loopType == 0 || (s.loopStart >= 0 && s.loopStart < s.loopEnd && s.loopEnd <= s.length));
        }
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (const char* seconds = std::getenv("FUZZ_MODULE_SECONDS"))
        stretches = std::max(stretches, static_cast<int>(std::atof(seconds) * kStretchesPerSecond));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A song is large and its pool is reset by initialise(): made once.
    static platform::ManualClock clock(1000);
    static music::Song* song = [] {
        auto* s = new music::Song();
        s->setClock(clock);
        return s;
    }();
    song->initialise();
    const music::LoadResult result = music::readModule(*song, std::span<const std::uint8_t>(data, size));
    if (result.fatal())
        std::abort(); // a file in memory can neither be missing nor exhaust the pool
    if (!result.loaded())
        return 0;
    checkInvariants(*song);

    const std::int32_t rate = kRates[size % 3];
    song->start(rate);
    song->syncReset(music::kSilentLatencyMs);
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(rate / kStretchesPerSecond) * 4);
    for (int i = 0; i < stretches; ++i) {
        song->setOutputOptions({(i & 1) != 0, false, (i & 2) != 0});
        song->fillBuffer(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
        clock.advance(1000 / kStretchesPerSecond);
        song->takeSync(i & 0xFF);
    }
    song->syncRelease();
    return 0;
}
