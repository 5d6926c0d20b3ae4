#pragma once
// Builds small XM and MOD files in memory for the music tests, so no test
// needs a file from elsewhere. The writers produce what trackers write; a few
// knobs make them write what some trackers do differently (header sizes).
#include <cstdint>
#include <string>
#include <vector>

namespace music_test {

struct Cell {
    std::uint8_t note = 0, instrument = 0, volume = 0, effect = 0, parameter = 0;
};

struct XmPattern {
    int rows = 64;
    std::vector<Cell> cells;            // rows x channels, row-major; missing cells are empty
    std::vector<std::uint8_t> rawData;  // when not empty, written instead of packing `cells`
    bool rawPackedSizeSet = false;
    std::uint16_t rawPackedSize = 0;    // stored packed size for rawData (default: its length)
    std::uint32_t headerLength = 9;
    std::vector<std::uint8_t> headerExtra; // bytes after the 9 header bytes
};

struct XmSample {
    std::vector<std::int16_t> frames; // values after decoding (8-bit samples use -128..127)
    bool sixteenBit = false;
    std::uint32_t loopStart = 0, loopLength = 0; // in frames
    std::uint8_t loopType = 0;
    std::uint8_t volume = 64;
    std::int8_t finetune = 0;
    std::uint8_t panning = 128;
    std::int8_t relativeNote = 0;
    std::string name;
    // When set, these bytes are written as the stored data instead (no delta coding).
    bool rawDataSet = false;
    std::vector<std::uint8_t> rawData;
    std::uint32_t storedLength = 0; // used with rawDataSet: the header's length field
};

struct XmEnvelope {
    std::vector<std::pair<std::int16_t, std::int16_t>> points;
    std::uint8_t sustain = 0, loopStart = 0, loopEnd = 0, type = 0;
};

struct XmInstrument {
    std::string name;
    std::vector<XmSample> samples;
    std::vector<std::uint8_t> keymap; // 96 entries, default all 0
    XmEnvelope volumeEnvelope, panningEnvelope;
    std::uint8_t vibratoType = 0, vibratoSweep = 0, vibratoDepth = 0, vibratoRate = 0;
    std::uint16_t fadeOut = 0;
    // 0 = the usual size: 263 with samples, 29 without (the reader then takes 33).
    std::uint32_t headerSize = 0;
    std::uint32_t sampleHeaderSize = 40;
};

struct XmModule {
    std::string name = "test";
    int channels = 4;
    std::vector<std::uint8_t> orders{0};
    int songLengthOverride = -1;
    std::uint16_t restart = 0;
    bool linear = true;
    std::uint16_t speed = 6, bpm = 125;
    std::uint32_t headerSize = 276;
    // 0x0104; 0x0103 and 0x0102 write the instruments (without their sample
    // data) before the patterns and all sample data last; 0x0102 also writes
    // 8-byte pattern headers with the rows minus one in a single byte.
    std::uint16_t version = 0x0104;
    std::vector<XmPattern> patterns;
    std::vector<XmInstrument> instruments;
};

std::vector<std::uint8_t> writeXm(const XmModule& module);
// Packs one row's cells the way trackers do: flag bytes for sparse cells, five
// plain bytes when every field is present.
void packCell(std::vector<std::uint8_t>& out, const Cell& cell);

struct ModSample {
    std::string name;
    std::uint16_t lengthWords = 0;
    std::uint8_t finetune = 0; // as stored (low nibble is the signed finetune)
    std::uint8_t volume = 64;
    std::uint16_t loopStartWords = 0, loopLengthWords = 1;
    std::vector<std::int8_t> data; // written as is (2 x lengthWords bytes expected)
};

struct ModCell {
    std::uint16_t period = 0;
    std::uint8_t instrument = 0, effect = 0, parameter = 0;
};

struct ModModule {
    std::string title = "mod test";
    std::string tag = "M.K.";
    int channels = 4;
    std::uint8_t songLength = 1;
    std::uint8_t restartByte = 127;
    std::vector<std::uint8_t> orders{0};
    int patternsToWrite = -1; // -1: 1 + the largest order among the first songLength
    std::vector<std::vector<ModCell>> patterns; // each 64 x channels, missing cells empty
    std::vector<ModSample> samples;             // up to 31
};

std::vector<std::uint8_t> writeMod(const ModModule& module);

// A one-cycle square wave of the given length and amplitude, as 8-bit frames.
std::vector<std::int16_t> squareWave(int frames, int amplitude);

} // namespace music_test
