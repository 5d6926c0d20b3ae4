#pragma once
// The records a loaded module is made of (patterns, instruments, samples,
// envelopes) and the per-channel playing state the player and the mixer share.
// Plain data: the reader fills them, the player and the mixer work on them.
#include <array>
#include <cstdint>

namespace music {

// Sizes of the fixed arrays, chosen for the formats' maxima.
inline constexpr int kMaxChannels = 32;
inline constexpr int kMaxPatterns = 256;
inline constexpr int kMaxInstruments = 256;
inline constexpr int kMaxRows = 256;
// Sample slots of an instrument: the sample headers an instrument may have
// (older files write at most 16, newer trackers up to 32), each in its own
// slot so that the keymap's numbers stay as written.
inline constexpr int kSamplesPerInstrument = 32;
inline constexpr int kOrderTableSize = 256;
inline constexpr int kEnvelopePoints = 12;
inline constexpr int kKeymapSize = 96;

// Note values inside a cell.
inline constexpr std::uint8_t kNoteNone = 0;
inline constexpr std::uint8_t kNoteKeyOff = 97;

// One channel's cell of a row, unpacked.
struct RowCell {
    std::uint8_t note = 0; // 0 none, 1..96 notes, 97 key-off (bit 7 of the packed byte dropped)
    std::uint8_t instrument = 0; // 0 none, else 1-based instrument number
    std::uint8_t volumeColumn = 0;
    std::uint8_t effect = 0;
    std::uint8_t parameter = 0;
};

// A pattern as packed cell data (XM packing, see pattern_packing.h).
struct Pattern {
    std::int16_t rows = 0;        // at most 256
    std::uint16_t packedSize = 0; // bytes of packed data (the file's field is unsigned)
    std::int16_t channels = 0;    // copy of the song's channel count
    std::uint8_t* data = nullptr; // pool block of exactly packedSize bytes (+ the pool's zero tail)
    // Start of each row inside data; all null for a pattern without data.
    // A null row plays as empty cells.
    std::array<const std::uint8_t*, kMaxRows> rowOffsets{};
};

struct EnvelopePoint {
    std::int16_t x = 0; // tick
    std::int16_t y = 0; // value 0..64
};

struct Envelope {
    std::array<EnvelopePoint, kEnvelopePoints> points{};
    std::uint8_t numPoints = 0;    // clamped to 12 by the reader
    std::uint8_t sustainPoint = 0;
    std::uint8_t loopStartPoint = 0;
    std::uint8_t loopEndPoint = 0;
    std::uint8_t type = 0; // as in the file
    // Derived from type: bit 0, bit 2, bit 1.
    std::uint8_t on = 0;
    std::uint8_t loop = 0;
    std::uint8_t sustain = 0;
};

// Decodes an envelope's type byte into its three flags.
inline void decodeEnvelopeType(Envelope& envelope)
{
    envelope.on = envelope.type & 1;
    envelope.sustain = (envelope.type >> 1) & 1;
    envelope.loop = (envelope.type >> 2) & 1;
}

struct Sample {
    std::int32_t length = 0;    // frames after loading
    std::int32_t bits = 8;      // 8 or 16
    std::int32_t loopStart = 0; // frames
    std::int32_t loopEnd = 0;   // frames; loop start + loop length
    // First frame. The block around it has at least 128 zero bytes before and
    // 128 + 1024 after, so the mixer may read a little past either end.
    const std::uint8_t* data = nullptr;
    std::uint8_t panning = 128; // 0 left, 128 centre, 255 right
    std::uint8_t volume = 0;    // 0..64
    std::int8_t finetune = 0;
    std::uint8_t loopType = 0; // 0 none, 1 forward, 2 ping-pong
    std::int8_t relativeNote = 0;
    std::uint8_t reserved = 0;
    std::array<char, 22> name{};
    std::int32_t hasData = 0; // 1 when length is not 0
};

struct Instrument {
    std::array<Sample, kSamplesPerInstrument> samples{};
    std::int32_t headerSize = 0; // as read
    std::array<char, 22> name{};
    std::uint8_t type = 0; // as read
    std::int16_t numSamples = 0; // 0..32
    std::array<std::uint8_t, kKeymapSize> keymap{}; // sample number for notes 1..96 (always < 32)
    Envelope volumeEnvelope;
    Envelope panningEnvelope;
    std::uint8_t vibratoType = 0;
    std::uint8_t vibratoSweep = 0;
    std::uint8_t vibratoDepth = 0;
    std::uint8_t vibratoRate = 0;
    std::uint16_t fadeOut = 0;
    std::uint16_t reserved = 0;
    std::int32_t inUse = 0; // 1 when the instrument has at least one sample
};

struct EnvelopeState {
    const Envelope* envelope = nullptr; // null: none
    std::int32_t position = 0;          // ticks
    std::int32_t holding = 0;
    std::int32_t sustainArmed = 0;
    std::int32_t output = 0;
};

// Indices of Channel::slideMemory.
enum SlideMemory : int {
    kSlideTonePortaVolume = 0, // 5xy
    kSlideVibratoVolume,       // 6xy
    kSlideVolume,              // Axy
    kSlidePanning,             // Pxy
    kSlideGlobalVolume,        // Hxy
    kSlideFineUp,              // E1x
    kSlideFineDown,            // E2x
    kSlideFineVolumeUp,        // EAx
    kSlideFineVolumeDown,      // EBx
    kSlideMemoryCount
};

struct Channel {
    // --- read and written by the mixer ---
    const std::uint8_t* sampleData = nullptr;
    std::int32_t active = 0;
    std::int32_t positionInt = 0;
    std::uint32_t positionFrac = 0; // fraction in the upper 16 bits
    std::int32_t stepInt = 0;
    std::uint32_t stepFrac = 0; // fraction in the upper 16 bits, lower 16 always 0
    std::int32_t loopStart = 0;
    std::int32_t loopEnd = 0;
    std::int32_t loopType = 0;  // 0 none, 1 forward, 2 ping-pong
    std::int32_t direction = 1; // 1 forward, -1 backward
    std::int32_t leftGain = 0;  // row of the volume table
    std::int32_t rightGain = 0;
    std::int32_t length = 0;
    std::int32_t bits = 8;
    std::int32_t sampleNumber = 0;
    std::int16_t finalVolume = 0; // 0..256
    std::int16_t finalPeriod = 0;
    std::int16_t finalPanning = 128;
    std::uint8_t bounced = 0;

    // --- player state ---
    std::int16_t volume = 0;  // 0..64
    std::int16_t period = 0;  // 10..20000
    std::int16_t panning = 128;
    std::int32_t keyReleased = 0;
    std::int32_t fadeOutLevel = 65536;
    std::int32_t fadeOutSpeed = 0;
    RowCell rowCell;
    std::int16_t finetune = 0;
    std::int16_t arpeggioCounter = 0, arpeggioX = 0, arpeggioY = 0, arpeggioOffset = 0;
    std::int16_t portaUpMemory = 0, portaDownMemory = 0;
    std::int16_t tonePortaSpeed = 0, tonePortaTarget = 0;
    std::int16_t glissandoOn = 0, glissandoPeriod = 0;
    std::int16_t vibratoOffset = 0, vibratoPosition = 0, vibratoSpeed = 0, vibratoDepth = 0,
                 vibratoWaveform = 0, vibratoNoRetrigger = 0;
    std::int16_t tremoloOffset = 0, tremoloPosition = 0, tremoloSpeed = 0, tremoloDepth = 0,
                 tremoloWaveform = 0, tremoloNoRetrigger = 0;
    std::int16_t sampleOffsetMemory = 0;
    std::array<std::int16_t, kSlideMemoryCount> slideMemory{};
    std::int16_t tremorOnTicks = 0, tremorOffTicks = 0, tremorCounter = 0, tremorGate = 1;
    std::int16_t loopStartRow = 0, loopCounter = 0;
    std::int16_t retriggerCountdown = 0;
    std::int16_t multiRetriggerCounter = 0, multiRetriggerInterval = 0, multiRetriggerVolumeCode = 0;
    std::int16_t triggerWord = 0; // 0, or 256 + x for a note delayed by EDx
    std::int16_t autoVibratoPosition = 0, autoVibratoRate = 0, autoVibratoDepth = 0, autoVibratoSweep = 0,
                 autoVibratoSweepCounter = 0, autoVibratoOffset = 0, autoVibratoType = 0;
    EnvelopeState volumeEnvelope;
    EnvelopeState panningEnvelope;
    const Instrument* instrument = nullptr;
    // The sample set up by the last note (null before the first): tone
    // portamento takes its target from this sample's relative note and
    // finetune, whatever the new note's key maps to.
    const Sample* playingSample = nullptr;
    std::int16_t defaultVolume = 0, defaultPanning = 128, defaultsLoaded = 0;
    // The command being executed (copied from the row cell when its note falls due).
    std::uint8_t effect = 0, parameter = 0, volumeColumn = 0;
};

} // namespace music
