#pragma once
// Writes extended modules (XM, version 0x0104) in the fixed
// layout that every reader accepts: a 276-byte song header, 9-byte pattern
// headers, 263-byte instrument headers and 40-byte sample headers, with
// patterns packed and sample data delta-coded.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace assets::music {

// One cell of a pattern, unpacked. note: 0 none, 1..96 C-0..B-7, 97 key-off.
struct XmCell {
    std::uint8_t note = 0;
    std::uint8_t instrument = 0;
    std::uint8_t volume = 0; // volume column byte (0 = empty)
    std::uint8_t effect = 0;
    std::uint8_t param = 0;
    bool empty() const { return (note | instrument | volume | effect | param) == 0; }
};

struct XmPattern {
    int rows = 64;
    int channels = 0;
    std::vector<XmCell> cells; // rows * channels, row-major
    XmPattern() = default;
    XmPattern(int rowCount, int channelCount)
        : rows(rowCount), channels(channelCount),
          cells(static_cast<std::size_t>(rowCount) * static_cast<std::size_t>(channelCount))
    {
    }
    XmCell& at(int row, int channel);
    const XmCell& at(int row, int channel) const;
};

struct XmEnvelopePoint {
    std::uint16_t x = 0; // tick
    std::uint16_t y = 0; // 0..64
};

struct XmEnvelope {
    std::vector<XmEnvelopePoint> points; // at most 12, x strictly rising
    bool on = false;
    bool sustain = false;
    bool loop = false;
    std::uint8_t sustainPoint = 0;
    std::uint8_t loopStart = 0;
    std::uint8_t loopEnd = 0;
    std::uint8_t typeByte() const
    {
        return static_cast<std::uint8_t>((on ? 1 : 0) | (sustain ? 2 : 0) | (loop ? 4 : 0));
    }
};

enum class LoopType : std::uint8_t { None = 0, Forward = 1, PingPong = 2 };

struct XmSample {
    std::string name;
    bool sixteenBit = false;
    // Frames as signed values; 8-bit samples must stay within -128..127.
    std::vector<std::int16_t> frames;
    LoopType loop = LoopType::None;
    std::uint32_t loopStart = 0;  // frames
    std::uint32_t loopLength = 0; // frames
    std::uint8_t volume = 64;
    std::int8_t finetune = 0;
    std::uint8_t panning = 128;
    std::int8_t relativeNote = 0;
};

struct XmInstrument {
    std::string name;
    std::vector<XmSample> samples;        // 1..16 (an empty instrument is not written)
    std::array<std::uint8_t, 96> keymap{}; // sample index for notes 1..96
    XmEnvelope volumeEnvelope;
    XmEnvelope panningEnvelope;
    std::uint8_t vibratoType = 0, vibratoSweep = 0, vibratoDepth = 0, vibratoRate = 0;
    std::uint16_t fadeout = 0;
};

struct XmModule {
    std::string name;
    std::string tracker;
    int channels = 8;
    bool linearFrequencies = true;
    int restartPosition = 0;
    int speed = 6;
    int bpm = 125;
    std::vector<std::uint8_t> orders;
    std::vector<XmPattern> patterns;
    std::vector<XmInstrument> instruments;
};

// Packed form of one pattern's cells (XM packing: a flag byte with the
// fields that follow, or the five raw bytes when every field is present).
std::vector<std::uint8_t> packPattern(const XmPattern& pattern);

// Delta coding as XM stores sample data: each value minus the previous one,
// in 8 or 16 bits, little-endian for 16-bit.
std::vector<std::uint8_t> deltaEncode(const XmSample& sample);

// The whole file. Throws std::invalid_argument for a module that the format
// cannot hold (counts out of range, a row longer than 255 packed bytes,
// cells that disagree with the channel count, 8-bit values out of range).
std::vector<std::uint8_t> encodeXm(const XmModule& module);

} // namespace assets::music
