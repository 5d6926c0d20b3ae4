#pragma once
// The loaded module together with its playback state: the one object the
// music's output side drives.
//
// Life cycle (what an output driver does):
//
//   auto song = std::make_unique<music::Song>();   // initialised (Song is large: keep it on the heap)
//   music::loadModule(*song, "data/tp.xm");         // module_reader.h
//   song->start(44100);                              // tempo, order position 0, pitch table for the rate
//   song->setOutputOptions({.flip = false, .mute = false, .mmxMixer = false});
//   song->syncReset(600);                            // before the output thread starts
//   ... output thread: song->fillBuffer(block, bytes) for each block ...
//   ... driver thread: song->takeSync(n) once per query ...
//   song->syncRelease();                             // after the output thread has stopped
//
// Threads: fillBuffer (and with it playTick and the mixer) runs on one output
// thread only; takeSync runs on one other thread (the driver's). The two share
// only the SyncEventTable and markerCounters (see sync_events.h), without a
// lock. Everything else - start, syncReset, syncRelease, setClock, loading -
// happens while no output thread runs. setOutputOptions may be called at any
// time (the options are atomic).
#include "music/block_pool.h"
#include "music/mixer.h"
#include "music/periods.h"
#include "music/song_types.h"
#include "music/sync_events.h"
#include "platform/clock.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>

namespace music {

// How fillBuffer renders (the sound options that concern the player).
struct OutputOptions {
    bool flip = false;     // negate the right channel
    bool mute = false;     // render silence instead of mixing (the player still runs)
    bool mmxMixer = false; // use the saturating 8-bit mixer (mixer.h)
};

// What a recorded synchronisation event looked like when the player made it;
// for offline tools that want the marker list (xmrender --markers).
struct SyncNotice {
    std::uint64_t frame = 0;   // output frames rendered before the tick that played it
    std::int32_t dueTime = 0;  // the time stored in the table (ms on the song's clock)
    std::uint16_t channel = 0;
    std::uint16_t value = 0;
    bool stored = false;       // false when the table was full (or not created) and it was dropped
};

class Song {
public:
    Song();
    Song(const Song&) = delete;
    Song& operator=(const Song&) = delete;

    // ---- the module (filled by the reader) ----
    BlockPool pool;
    std::int32_t frequencyMode = kFrequencyLinear; // 1 Amiga, 2 linear
    std::int32_t portamentoUnit = 4;
    std::int16_t numPatterns = 0;
    std::int16_t songLength = 0;      // valid entries of the order table (at most 256)
    std::int16_t restartPosition = 0; // below songLength (the reader makes it so)
    std::int16_t numChannels = 0;     // 0 (nothing loaded) or 1..32
    std::int16_t numInstruments = 0;
    std::int16_t bpm = 125;
    std::int16_t speed = 6;
    std::array<std::uint8_t, kOrderTableSize> orderTable{};
    std::array<char, 20> moduleName{};  // not NUL-terminated when 20 characters long
    std::array<char, 20> trackerName{}; // XM only

    // ---- playback state ----
    std::int16_t tickCounter = 0;
    std::int16_t nextRow = 0;
    std::int16_t orderPosition = 0;
    std::int16_t patternNumber = 0;
    std::int32_t framesLeftInTick = 0;
    std::int32_t framesPerTick = 0;
    std::int32_t amplification = 8; // 9 for four-channel songs once the output starts
    std::int16_t globalVolume = 64;
    std::int32_t syncLatency = 0; // ms, from the output side

    std::array<Pattern, kMaxPatterns> patterns{};
    std::array<RowCell, kMaxChannels> currentRow{};
    std::int16_t semitoneStep = -64;
    std::array<Channel, kMaxChannels> channels{};
    std::array<Instrument, kMaxInstruments> instruments{};
    std::int16_t patternDelay = 0;
    SyncEventTable syncEvents;
    // Occurrences of each marker value reached and not yet taken. Changed only
    // by the thread that calls takeSync.
    std::array<std::uint8_t, 256> markerCounters{};

    // ---- operations ----

    // Pool of 5000 slots (earlier blocks freed), nothing loaded, pattern delay
    // 0, linear frequency mode, channels and instruments cleared, global
    // volume 64, amplification 8, semitone step -64.
    void initialise();
    // Clears the module part (header, orders, patterns, instruments, channels)
    // without touching the pool: the song then plays silence.
    void clearModule();

    // Tempo from the song's BPM, frames left = frames per tick, tick counter
    // 0, order position 0, and the linear pitch table for the rate.
    void start(std::int32_t mixingRate);
    std::int32_t mixingRate() const { return mixingRate_; }

    // Renders `bytes` bytes of 16-bit signed stereo (left first, 4 bytes per
    // frame) into buffer, running playTick at every tick boundary. A tail of
    // fewer than 4 bytes is zeroed. Output thread only.
    //
    // A tick inside the buffer is stamped with the clock read when the call
    // began plus its own place in the buffer (frames x 1000 / rate, each
    // position floored to whole ms), so the markers of one buffer keep the
    // spacing at which they will be heard.
    void fillBuffer(void* buffer, std::uint32_t bytes);
    // One tick of the player; fillBuffer calls it. Public for tests.
    void playTick();

    // Called by the output side when it starts: clears all channels and the
    // marker counters, creates the event table (2048 entries), sets the
    // amplification to 9 for a four-channel song and takes the latency.
    void syncReset(std::int32_t latencyMs);
    // Called after the output side has stopped: frees the event table.
    void syncRelease();
    // The driver's query: moves due events (by the song's clock) into the
    // counters, then consumes one occurrence of n & 0xFF. Returns n when one
    // was pending, else -1. Driver's thread only.
    int takeSync(int n);

    // The clock that stamps ticks and decides when events are due; the
    // system clock unless a test injects another. Not while playing.
    void setClock(platform::Clock& clock) { clock_ = &clock; }
    platform::Clock& clock() const { return *clock_; }

    void setOutputOptions(OutputOptions options);
    OutputOptions outputOptions() const;

    // Offline tools: called on the output thread for every W effect played.
    void setSyncListener(std::function<void(const SyncNotice&)> listener) { syncListener_ = std::move(listener); }
    // Output frames rendered since start().
    std::uint64_t renderedFrames() const { return renderedFrames_; }

    // Sets the tempo: frames per tick = rate x 5 / (BPM x 2), truncated
    // (882 at 44100 Hz and BPM 125, 735 at BPM 150). A BPM below 3 gives one
    // tick per second, and the result is at least 1 frame, so the player
    // always advances.
    void setTempo(std::int32_t bpmValue);
    // Sets the order position (at or beyond the song length: the restart
    // position), the pattern number from the order table, next row 0.
    void setOrderPosition(int position);

private:
    // player_row.cpp
    void readNextRow();
    void triggerNotes(int pass);
    void triggerChannel(Channel& ch);
    void setUpNote(Channel& ch, int noteIndex, bool portamento, bool hasOverride, int finetuneOverride);
    void runRowEffects();
    void rowEffect(int channelIndex, Channel& ch, bool& jump, int& targetPosition, int& targetRow);
    // player_tick.cpp
    void runTickEffects();
    void tickEffect(Channel& ch);
    void tonePortamento(Channel& ch);
    void vibrato(Channel& ch);
    void tremolo(Channel& ch);
    void arpeggio(Channel& ch);
    void multiRetriggerStep(Channel& ch);
    void tremorStep(Channel& ch);
    void restartNote(Channel& ch);
    void autoVibrato(Channel& ch);
    void fadeOut(Channel& ch);
    void updateChannel(Channel& ch);
    std::int32_t snapPeriod(const Channel& ch, std::int32_t period) const;

    std::int32_t mixingRate_ = 44100;
    std::uint32_t tickTime_ = 0;
    std::uint64_t renderedFrames_ = 0;
    // The clock and the frame count when the running fillBuffer began.
    bool filling_ = false;
    std::uint32_t fillClock_ = 0;
    std::uint64_t fillStartFrame_ = 0;
    PitchTable pitchTable_;
    Mixer mixer_;
    platform::Clock* clock_;
    std::atomic<std::uint32_t> options_{0};
    std::function<void(const SyncNotice&)> syncListener_;
};

// Resets a channel record to its cleared state.
void clearChannel(Channel& ch);
// Evaluates an envelope at the state's position (see player_envelope.cpp).
// range: 64 for volume, 32 for panning; advance: 1 during ticks, 0 at triggers.
void evaluateEnvelope(EnvelopeState& state, std::int32_t range, bool keyReleased, int advance);
// Restarts an envelope state: position 0, not holding, sustain armed.
void restartEnvelope(EnvelopeState& state);

} // namespace music
