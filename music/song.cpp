#include "music/song.h"

#include "music/pattern_packing.h"

#include <algorithm>
#include <cstring>

namespace music {

namespace {
constexpr std::uint32_t kOptionFlip = 1;
constexpr std::uint32_t kOptionMute = 2;
constexpr std::uint32_t kOptionMmx = 4;
} // namespace

void clearChannel(Channel& ch) { ch = Channel{}; }

Song::Song() : clock_(&platform::systemClock()) { initialise(); }

void Song::clearModule()
{
    numPatterns = 0;
    songLength = 0;
    restartPosition = 0;
    numChannels = 0;
    numInstruments = 0;
    bpm = 125;
    speed = 6;
    frequencyMode = kFrequencyLinear;
    portamentoUnit = 4;
    orderTable.fill(0);
    moduleName.fill(0);
    trackerName.fill(0);
    patterns.fill(Pattern{});
    instruments.fill(Instrument{});
    for (Channel& ch : channels)
        clearChannel(ch);
    currentRow.fill(RowCell{});
}

void Song::initialise()
{
    pool.reset(BlockPool::kDefaultCapacity);
    clearModule();
    patternDelay = 0;
    globalVolume = 64;
    amplification = 8;
    semitoneStep = static_cast<std::int16_t>(linearPeriod(10, 0) - linearPeriod(9, 0));
    tickCounter = 0;
    nextRow = 0;
    orderPosition = 0;
    patternNumber = 0;
    framesLeftInTick = 0;
    framesPerTick = 0;
    renderedFrames_ = 0;
}

void Song::setTempo(std::int32_t bpmValue)
{
    // A tick lasts 2.5 / BPM seconds. The rate is multiplied before the one
    // division so that tempos whose tick rate (BPM x 2 / 5) is not a whole
    // number keep their speed: BPM 133 gives 828 frames at 44100 Hz, where
    // truncating the tick rate to 53 first would give 832 and drift.
    if (bpmValue * 2 / 5 < 1) {
        framesPerTick = std::max<std::int32_t>(1, mixingRate_); // a BPM below 3 has no defined tick length
        return;
    }
    const std::int64_t frames = static_cast<std::int64_t>(mixingRate_) * 5 / (static_cast<std::int64_t>(bpmValue) * 2);
    framesPerTick = static_cast<std::int32_t>(std::max<std::int64_t>(1, frames));
}

void Song::setOrderPosition(int position)
{
    if (position >= songLength || position < 0)
        position = restartPosition;
    position = std::clamp(position, 0, kOrderTableSize - 1);
    orderPosition = static_cast<std::int16_t>(position);
    patternNumber = orderTable[static_cast<std::size_t>(position)];
    nextRow = 0;
}

void Song::start(std::int32_t mixingRate)
{
    mixingRate_ = mixingRate > 0 ? mixingRate : 44100;
    if (pitchTable_.rate() != mixingRate_)
        pitchTable_.build(mixingRate_);
    setTempo(bpm);
    framesLeftInTick = framesPerTick;
    tickCounter = 0;
    renderedFrames_ = 0;
    setOrderPosition(0);
}

void Song::syncReset(std::int32_t latencyMs)
{
    for (Channel& ch : channels)
        clearChannel(ch);
    markerCounters.fill(0);
    syncEvents.create(SyncEventTable::kRequestedCapacity);
    if (numChannels == 4)
        amplification = 9;
    syncLatency = latencyMs;
}

void Song::syncRelease() { syncEvents.release(); }

int Song::takeSync(int n)
{
    syncEvents.collectDue(clock_->nowMs(), markerCounters);
    std::uint8_t& counter = markerCounters[static_cast<std::size_t>(n & 0xFF)];
    if (counter == 0)
        return -1;
    --counter;
    return n;
}

void Song::setOutputOptions(OutputOptions options)
{
    options_.store((options.flip ? kOptionFlip : 0) | (options.mute ? kOptionMute : 0) |
                       (options.mmxMixer ? kOptionMmx : 0),
                   std::memory_order_relaxed);
}

OutputOptions Song::outputOptions() const
{
    const std::uint32_t bits = options_.load(std::memory_order_relaxed);
    return {(bits & kOptionFlip) != 0, (bits & kOptionMute) != 0, (bits & kOptionMmx) != 0};
}

void Song::fillBuffer(void* buffer, std::uint32_t bytes)
{
    auto* out = static_cast<std::uint8_t*>(buffer);
    const std::uint32_t tail = bytes & 3u;
    bytes -= tail;
    if (framesPerTick <= 0) { // never started: start at the default rate
        start(mixingRate_);
    }
    fillClock_ = clock_->nowMs();
    fillStartFrame_ = renderedFrames_;
    filling_ = true;
    const OutputOptions options = outputOptions();
    const int active = std::clamp<int>(numChannels, 0, kMaxChannels);
    std::span<Channel> mixed(channels.data(), static_cast<std::size_t>(active));
    while (bytes > 0) {
        const std::uint32_t n =
            std::min<std::uint64_t>(bytes, static_cast<std::uint64_t>(std::max(framesLeftInTick, 0)) * 4);
        if (n > 0) {
            if (options.mute || active == 0)
                std::memset(out, 0, n);
            else if (options.mmxMixer)
                mixer_.mixChannelsMmx(mixed, out, n, volumeTable(), options.flip);
            else
                mixer_.mixChannels(mixed, out, n, volumeTable(), options.flip);
            out += n;
            framesLeftInTick -= static_cast<std::int32_t>(n / 4);
            renderedFrames_ += n / 4;
            bytes -= n;
        }
        if (framesLeftInTick <= 0) {
            playTick();
            framesLeftInTick = framesPerTick;
        }
    }
    if (tail)
        std::memset(out, 0, tail);
    filling_ = false;
}

void Song::playTick()
{
    if (filling_) {
        const auto ms = [this](std::uint64_t frames) { return frames * 1000 / static_cast<std::uint64_t>(mixingRate_); };
        tickTime_ = fillClock_ + static_cast<std::uint32_t>(ms(renderedFrames_) - ms(fillStartFrame_));
    } else {
        tickTime_ = clock_->nowMs();
    }
    const int count = std::clamp<int>(numChannels, 0, kMaxChannels);
    for (int c = 0; c < count; ++c) {
        Channel& ch = channels[static_cast<std::size_t>(c)];
        ch.autoVibratoOffset = 0;
        if (!ch.active)
            continue;
        evaluateEnvelope(ch.volumeEnvelope, 64, ch.keyReleased != 0, 1);
        evaluateEnvelope(ch.panningEnvelope, 32, ch.keyReleased != 0, 1);
        ch.arpeggioOffset = 0;
        ch.tremorGate = 1;
    }

    tickCounter = static_cast<std::int16_t>(tickCounter + 1);
    if (tickCounter < speed) {
        triggerNotes(1);
        runTickEffects();
    } else {
        tickCounter = 0;
        if (patternDelay > 0) {
            patternDelay = static_cast<std::int16_t>(patternDelay - 1);
            triggerNotes(1);
        } else {
            readNextRow();
            triggerNotes(0);
            triggerNotes(1);
            runRowEffects();
        }
    }

    for (int c = 0; c < count; ++c) {
        Channel& ch = channels[static_cast<std::size_t>(c)];
        if (!ch.active)
            continue;
        autoVibrato(ch);
        fadeOut(ch);
        updateChannel(ch);
    }
}

} // namespace music
