#pragma once
// An independent, minimal reading of an XM file for the generator's tests:
// the header, the unpacked patterns, the instrument and sample headers, and
// the rows in the order they are played (following pattern breaks and
// jumps, with the time at which each row starts).
#include <cstdint>
#include <string>
#include <vector>

namespace module_scan {

struct Cell {
    std::uint8_t note = 0, instrument = 0, volume = 0, effect = 0, param = 0;
};

struct Pattern {
    int rows = 0;
    int packedSize = 0;
    std::vector<Cell> cells; // rows x channels
    std::vector<int> rowBytes; // packed length of each row
};

struct Sample {
    std::uint32_t lengthBytes = 0, loopStartBytes = 0, loopLengthBytes = 0;
    std::uint8_t volume = 0, type = 0, panning = 0, reserved = 0;
    std::int8_t finetune = 0, relativeNote = 0;
    std::vector<std::int16_t> frames; // delta coding undone
    bool sixteenBit() const { return (type & 0x10) != 0; }
    int loopType() const { return type & 3; }
};

struct Instrument {
    std::uint32_t headerSize = 0;
    std::string name;
    int sampleCount = 0;
    std::uint8_t keymap[96] = {};
    std::uint16_t volumePoints[24] = {}, panningPoints[24] = {};
    std::uint8_t volumeCount = 0, panningCount = 0, volumeSustain = 0, volumeLoopStart = 0, volumeLoopEnd = 0;
    std::uint8_t panningSustain = 0, panningLoopStart = 0, panningLoopEnd = 0, volumeType = 0, panningType = 0;
    std::uint16_t fadeout = 0;
    std::vector<Sample> samples;
};

struct Module {
    std::string id, name, tracker;
    std::uint16_t version = 0;
    std::uint32_t headerSize = 0;
    int songLength = 0, restart = 0, channels = 0, patternCount = 0, instrumentCount = 0, flags = 0, speed = 0,
        bpm = 0;
    std::vector<int> orders;
    std::vector<Pattern> patterns;
    std::vector<Instrument> instruments;
    std::size_t bytesRead = 0;

    const Cell& cell(int pattern, int row, int channel) const
    {
        const Pattern& p = patterns.at(static_cast<std::size_t>(pattern));
        return p.cells.at(static_cast<std::size_t>(row * channels + channel));
    }
};

// Throws std::runtime_error on truncated or malformed data.
Module read(const std::vector<std::uint8_t>& bytes);

struct PlayedRow {
    int order = 0, pattern = 0, row = 0;
    double start = 0.0; // seconds from the first row
    int speed = 0, bpm = 0;
};

// Rows in playing order from order 0 until the song would repeat itself,
// with Bxx, Dxx and Fxx applied as a tracker does. `end` receives the time
// at which the last played row finishes.
std::vector<PlayedRow> playedRows(const Module& m, double* end = nullptr);

} // namespace module_scan
