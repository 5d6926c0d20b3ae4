// Reading four-, six- and eight-channel MOD modules.
//
// The reader turns every MOD pattern into XM packing (five bytes per cell),
// and every sample into a one-sample instrument, so the player never knows
// which format it plays.
#include "music/byte_reader.h"
#include "music/module_reader.h"
#include "music/reader_support.h"
#include "music/song.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace music {

// The three classic MOD octaves, then a fourth, shorter one: the octave-0
// periods (1712, 1616, 1525, 1440, 1357, 1281, 1209, 1141, 1077, 1017, 961,
// 907) divided by 16 and rounded to the nearest integer.
const std::int16_t kModPeriods[48] = {
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113,
    107, 101, 95,  90,  85,  80,  76,  71,  67,  64,  60,  57,
};

namespace {

constexpr std::size_t kTagOffset = 1080;
constexpr std::size_t kPatternsOffset = 1084;
constexpr int kModSamples = 31;
constexpr int kModRows = 64;

} // namespace

int modChannelsForTag(const std::uint8_t* tag)
{
    const std::string t(reinterpret_cast<const char*>(tag), 4);
    // "M.K." and its relatives from other four-channel trackers share one layout.
    if (t == "M.K." || t == "M!K!" || t == "4CHN" || t == "FLT4")
        return 4;
    // Eight-channel tags of other trackers with the same pattern layout
    // ("FLT8" interleaves two four-channel patterns and is not read).
    if (t == "CD81" || t == "OKTA" || t == "OCTA")
        return 8;
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    // "2CHN" to "9CHN" and "10CH" to "32CH", as trackers write MODs of other
    // channel counts: the same layout with that many cells a row.
    if (digit(t[0]) && t.compare(1, 3, "CHN") == 0 && t[0] >= '2')
        return t[0] - '0';
    if (digit(t[0]) && digit(t[1]) && t.compare(2, 2, "CH") == 0) {
        const int n = (t[0] - '0') * 10 + (t[1] - '0');
        return n >= 10 && n <= kMaxChannels ? n : 0;
    }
    return 0;
}

LoadResult readMod(Song& song, std::span<const std::uint8_t> file)
{
    LoadResult result;
    song.clearModule();
    auto fail = [&](const std::string& text) {
        reportBroken(result, text);
        song.clearModule();
        return result;
    };
    auto poolFailed = [&] {
        song.clearModule();
        return result;
    };
    if (file.size() < kPatternsOffset)
        return fail("The file is too short for a MOD module (" + std::to_string(file.size()) + " bytes).");
    int channels = modChannelsForTag(file.data() + kTagOffset);
    if (channels == 0) {
        result.status = LoadStatus::BadTag;
        result.messages.push_back({"ChanTag failure", std::string(reinterpret_cast<const char*>(file.data() + kTagOffset), 4)});
        return result;
    }

    ByteReader r(file);
    song.speed = 6;
    song.bpm = 125;
    song.frequencyMode = kFrequencyAmiga;
    song.portamentoUnit = 4;
    song.numInstruments = kModSamples;
    song.numChannels = static_cast<std::int16_t>(channels);
    r.bytes(song.moduleName.data(), song.moduleName.size());

    std::int64_t sampleBytes = 0;
    bool samplesAtDefaults = true; // every sample with data has finetune 0 and volume 64
    std::uint8_t* blocks[kModSamples] = {};
    for (int i = 0; i < kModSamples; ++i) {
        Instrument& inst = song.instruments[static_cast<std::size_t>(i)];
        r.bytes(inst.name.data(), inst.name.size());
        const std::uint16_t lengthWords = r.u16be();
        const std::uint8_t finetune = r.u8() & 0x0F; // a signed nibble
        const std::uint8_t volume = r.u8();
        const std::uint16_t loopStartWords = r.u16be();
        const std::uint16_t loopLengthWords = r.u16be();

        inst.headerSize = 0;
        inst.type = 0;
        inst.numSamples = 1;
        inst.inUse = 1;
        Sample& s = inst.samples[0];
        std::memcpy(s.name.data(), inst.name.data(), s.name.size());
        s.length = 2 * lengthWords;
        // One MOD finetune step is an eighth of a semitone, which is 16 units
        // of the sample's finetune (128 units to the semitone).
        s.finetune = static_cast<std::int8_t>((finetune > 7 ? finetune - 16 : finetune) * 16);
        s.volume = std::min<std::uint8_t>(volume, 64);
        s.loopStart = 2 * loopStartWords;
        s.panning = 128;
        s.bits = 8;
        s.relativeNote = 25;
        if (loopLengthWords < 2) {
            s.loopType = 0;
            s.loopEnd = 2 * loopLengthWords;
        } else {
            s.loopType = 1;
            s.loopEnd = 2 * loopLengthWords + s.loopStart;
        }
        sanitiseLoop(s);
        if (s.length != 0) {
            samplesAtDefaults = samplesAtDefaults && finetune == 0 && volume == 64;
            s.hasData = 1;
            std::uint8_t* block = allocateFromPool(song, static_cast<std::size_t>(s.length) + 256, result);
            if (!block)
                return poolFailed();
            std::memset(block, 0, static_cast<std::size_t>(s.length) + 256);
            s.data = block + 128;
            blocks[i] = block + 128;
            sampleBytes += s.length;
        }
    }

    int songLength = r.u8();
    const std::uint8_t restartByte = r.u8(); // otherwise ignored: the song restarts at position 0
    r.bytes(song.orderTable.data(), 128);
    if (songLength > 128) {
        reportWarning(result, "Song length " + std::to_string(songLength) +
                                  " is more than the 128 order positions of a MOD; 128 are played.");
        songLength = 128;
    }
    song.songLength = static_cast<std::int16_t>(songLength);
    song.restartPosition = 0;
    int patterns = 1;
    for (int i = 0; i < songLength; ++i)
        patterns = std::max(patterns, song.orderTable[static_cast<std::size_t>(i)] + 1);
    // Trackers store every pattern the 128 order entries name, also those
    // after the song's end. Counting only the played ones would read the
    // sample data from the wrong place, so the larger count is used when the
    // file holds it.
    int allPatterns = 1;
    for (int i = 0; i < 128; ++i)
        allPatterns = std::max(allPatterns, song.orderTable[static_cast<std::size_t>(i)] + 1);
    // Some eight-channel modules carry the four-channel tag. They are told
    // apart by what such a file looks like: restart byte 0, every sample at
    // finetune 0 and volume 64, and exactly the size eight-channel patterns
    // give (the size rounded down to even, the patterns counted over all 128
    // order entries).
    if (channels == 4 && std::memcmp(file.data() + kTagOffset, "M.K.", 4) == 0 && restartByte == 0 &&
        samplesAtDefaults &&
        (file.size() & ~std::size_t{1}) ==
            kPatternsOffset + static_cast<std::size_t>(allPatterns) * kModRows * 8 * 4 +
                static_cast<std::size_t>(sampleBytes)) {
        channels = 8;
        song.numChannels = 8;
    }
    const std::size_t patternBytes = static_cast<std::size_t>(kModRows) * channels * 4;
    if (allPatterns > patterns &&
        kPatternsOffset + allPatterns * patternBytes + static_cast<std::size_t>(sampleBytes) <= file.size())
        patterns = allPatterns;
    song.numPatterns = static_cast<std::int16_t>(patterns);
    r.skip(4); // tag

    for (int p = 0; p < patterns; ++p) {
        if (r.remaining() < patternBytes)
            return fail("The file ends inside the data of pattern " + std::to_string(p) + ".");
        Pattern& pattern = song.patterns[static_cast<std::size_t>(p)];
        const std::size_t packed = static_cast<std::size_t>(channels) * 320;
        pattern.data = allocateFromPool(song, packed, result);
        if (!pattern.data)
            return poolFailed();
        pattern.rows = kModRows;
        pattern.channels = static_cast<std::int16_t>(channels);
        std::uint8_t* out = pattern.data;
        for (int row = 0; row < kModRows; ++row) {
            for (int c = 0; c < channels; ++c) {
                const std::uint8_t b0 = r.u8(), b1 = r.u8(), b2 = r.u8(), b3 = r.u8();
                const int period = (b0 & 0x0F) * 256 + b1;
                std::uint8_t note = 0;
                if (period != 0) {
                    const auto* end = kModPeriods + 48;
                    const auto* found = std::find(kModPeriods, end, period);
                    if (found != end)
                        note = static_cast<std::uint8_t>((found - kModPeriods) + 12);
                    else
                        result.messages.push_back({"failed", std::to_string(period)});
                }
                *out++ = note;
                *out++ = static_cast<std::uint8_t>((b0 & 0xF0) | (b2 >> 4));
                *out++ = 0;
                *out++ = b2 & 0x0F;
                *out++ = b3;
            }
        }
        pattern.packedSize = static_cast<std::uint16_t>(out - pattern.data);
        checkPackedSize(pattern, result);
    }

    for (int i = 0; i < kModSamples; ++i) {
        Sample& s = song.instruments[static_cast<std::size_t>(i)].samples[0];
        if (s.length == 0)
            continue;
        const std::size_t want = static_cast<std::size_t>(s.length);
        if (want > r.remaining()) {
            // Keep what is there: the rest of the sample stays silent (zero).
            reportWarning(result, "The file ends inside the data of sample " + std::to_string(i + 1) +
                                      "; the samples are cut short.");
            const std::size_t have = r.remaining();
            r.bytes(blocks[i], have);
            break;
        }
        r.bytes(blocks[i], want);
    }
    return result;
}

} // namespace music
