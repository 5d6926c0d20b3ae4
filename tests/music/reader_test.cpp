// Module reader: XM and MOD files built by the tests' own writer.
#include "music/module_reader.h"
#include "music/pattern_packing.h"
#include "music/song.h"
#include "tests/music/module_writer.h"
#include "tests/support/message_recorder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace music;
using namespace music_test;

namespace {

std::unique_ptr<Song> newSong() { return std::make_unique<Song>(); }

XmSample sample8(std::vector<std::int16_t> frames)
{
    XmSample s;
    s.frames = std::move(frames);
    return s;
}

XmInstrument instrumentWith(std::vector<XmSample> samples)
{
    XmInstrument ins;
    ins.samples = std::move(samples);
    return ins;
}

std::string text(const std::array<char, 20>& a) { return std::string(a.data(), strnlen(a.data(), a.size())); }

} // namespace

TEST(XmReader, HeaderFieldsAndOrderTable)
{
    XmModule m;
    m.name = "Header Test";
    m.channels = 6;
    m.orders = {2, 0, 1};
    m.restart = 1;
    m.linear = false;
    m.speed = 3;
    m.bpm = 140;
    m.patterns.resize(3);
    for (auto& p : m.patterns)
        p.rows = 16;
    const auto file = writeXm(m);
    auto song = newSong();
    const LoadResult r = readModule(*song, file);
    ASSERT_TRUE(r.loaded());
    EXPECT_TRUE(r.messages.empty());
    EXPECT_EQ(text(song->moduleName), "Header Test");
    EXPECT_EQ(text(song->trackerName), "module writer");
    EXPECT_EQ(song->numChannels, 6);
    EXPECT_EQ(song->numPatterns, 3);
    EXPECT_EQ(song->songLength, 3);
    EXPECT_EQ(song->restartPosition, 1);
    EXPECT_EQ(song->frequencyMode, kFrequencyAmiga);
    EXPECT_EQ(song->speed, 3);
    EXPECT_EQ(song->bpm, 140);
    EXPECT_EQ(song->orderTable[0], 2);
    EXPECT_EQ(song->orderTable[2], 1);
    EXPECT_EQ(song->patterns[1].rows, 16);
    EXPECT_EQ(song->patterns[1].channels, 6);
}

TEST(XmReader, PackingAndRowOffsets)
{
    // Two channels, three rows. Row 0: a full five-byte cell and an empty
    // flag byte (1 byte); row 1: flag cells with note only (2) and
    // effect+parameter (3); row 2: two empty cells (1 + 1).
    XmModule m;
    m.channels = 2;
    XmPattern p;
    p.rows = 3;
    p.rawData = {0x31, 2, 0x40, 0x0C, 0x20, 0x80,    //
                 0x81, 0xB5, 0x98, 0x0F, 0x03,        // note byte 0xB5 keeps 0x35
                 0x80, 0x80};
    m.patterns.push_back(p);
    auto song = newSong();
    ASSERT_TRUE(readModule(*song, writeXm(m)).loaded());
    const Pattern& pat = song->patterns[0];
    ASSERT_NE(pat.data, nullptr);
    EXPECT_EQ(pat.packedSize, 13);
    EXPECT_EQ(pat.rowOffsets[0] - pat.data, 0);
    EXPECT_EQ(pat.rowOffsets[1] - pat.data, 6);
    EXPECT_EQ(pat.rowOffsets[2] - pat.data, 11);
    EXPECT_EQ(pat.rowOffsets[3], nullptr);

    RowCell cells[32];
    unpackRow(&pat, 0, 2, cells);
    EXPECT_EQ(cells[0].note, 0x31);
    EXPECT_EQ(cells[0].instrument, 2);
    EXPECT_EQ(cells[0].volumeColumn, 0x40);
    EXPECT_EQ(cells[0].effect, 0x0C);
    EXPECT_EQ(cells[0].parameter, 0x20);
    EXPECT_EQ(cells[1].note, 0);
    unpackRow(&pat, 1, 2, cells);
    EXPECT_EQ(cells[0].note, 0x35);
    EXPECT_EQ(cells[0].instrument, 0);
    EXPECT_EQ(cells[1].effect, 0x0F);
    EXPECT_EQ(cells[1].parameter, 0x03);
    EXPECT_EQ(cells[1].note, 0);
    // Rows beyond the pattern's data and channels beyond the song's count are empty.
    cells[5].note = 9;
    unpackRow(&pat, 3, 2, cells);
    EXPECT_EQ(cells[0].note, 0);
    EXPECT_EQ(cells[5].note, 0);
}

TEST(XmReader, PackedSizeMismatchShowsBothSizesAndGoesOn)
{
    XmModule m;
    m.channels = 2;
    XmPattern p;
    p.rows = 2;
    p.rawData = {0x80, 0x80, 0x80}; // rows need 4 bytes: the walk ends at 4 (a zero past the end takes 5... see below)
    m.patterns.push_back(p);
    m.patterns.push_back(XmPattern{});
    m.patterns[1].rows = 4;
    auto song = newSong();
    const LoadResult r = readModule(*song, writeXm(m));
    ASSERT_TRUE(r.loaded());
    // Cells at 0,1,2 are flag bytes (1 byte each); the fourth cell starts at 3,
    // past the data, where a zero byte counts as a five-byte cell: 3 + 5 = 8.
    ASSERT_EQ(r.messages.size(), 2u);
    EXPECT_EQ(r.messages[0], (LoadMessage{"PACKSIZE", "3"}));
    EXPECT_EQ(r.messages[1], (LoadMessage{"FC", "8"}));
    EXPECT_EQ(song->patterns[1].rows, 4); // reading went on
}

TEST(XmReader, EmptyPatternHasNullRowsAndStillTakesAPoolBlock)
{
    XmModule m;
    m.patterns.resize(2);
    auto song = newSong();
    const std::int32_t before = song->pool.count();
    ASSERT_TRUE(readModule(*song, writeXm(m)).loaded());
    EXPECT_EQ(song->pool.count() - before, 2);
    EXPECT_EQ(song->patterns[0].packedSize, 0);
    for (const auto* row : song->patterns[0].rowOffsets)
        EXPECT_EQ(row, nullptr);
    // Its block is 0 + 1024 zero bytes.
    EXPECT_EQ(song->pool.blockEnd(before), song->pool.blockStart(before));
}

TEST(XmReader, InstrumentWithoutSamplesTakes33Bytes)
{
    XmModule m;
    m.patterns.resize(1);
    m.instruments.push_back(XmInstrument{}); // header size 29 + the 4-byte sample header size
    m.instruments.push_back(instrumentWith({sample8({10, 20, 30})}));
    const auto file = writeXm(m);
    auto song = newSong();
    const LoadResult r = readModule(*song, file);
    ASSERT_TRUE(r.loaded());
    EXPECT_TRUE(r.messages.empty());
    EXPECT_EQ(song->instruments[0].inUse, 0);
    EXPECT_EQ(song->instruments[0].headerSize, 29);
    EXPECT_EQ(song->instruments[1].inUse, 1);
    const Sample& s = song->instruments[1].samples[0];
    ASSERT_EQ(s.length, 3);
    EXPECT_EQ(static_cast<std::int8_t>(s.data[2]), 30);
}

TEST(XmReader, FollowsStoredHeaderSizesOfOtherTrackers)
{
    // Song header of 280 bytes, a pattern header of 11, an empty instrument
    // whose stored size is 263, a full instrument of 300 and sample headers of 44.
    XmModule m;
    m.headerSize = 280;
    m.channels = 1;
    XmPattern p;
    p.rows = 2;
    p.cells = {Cell{49, 2, 0, 0, 0}, Cell{}};
    p.headerLength = 11;
    p.headerExtra = {0xAA, 0xBB};
    m.patterns.push_back(p);
    XmInstrument empty;
    empty.headerSize = 263;
    m.instruments.push_back(empty);
    XmInstrument full = instrumentWith({sample8({1, 2, 3, 4}), sample8({-5, -6})});
    full.headerSize = 300;
    full.sampleHeaderSize = 44;
    full.fadeOut = 0x1234;
    m.instruments.push_back(full);
    auto song = newSong();
    const LoadResult r = readModule(*song, writeXm(m));
    ASSERT_TRUE(r.loaded());
    EXPECT_TRUE(r.messages.empty());
    RowCell cells[32];
    unpackRow(&song->patterns[0], 0, 1, cells);
    EXPECT_EQ(cells[0].note, 49);
    EXPECT_EQ(cells[0].instrument, 2);
    EXPECT_EQ(song->instruments[0].inUse, 0);
    const Instrument& ins = song->instruments[1];
    EXPECT_EQ(ins.fadeOut, 0x1234);
    EXPECT_EQ(ins.numSamples, 2);
    EXPECT_EQ(ins.samples[1].length, 2);
    EXPECT_EQ(static_cast<std::int8_t>(ins.samples[1].data[1]), -6);
}

TEST(XmReader, ImpossibleSizesAndCountsAreRejectedWithAMessage)
{
    struct Case {
        const char* what;
        void (*change)(XmModule&);
    };
    const Case cases[] = {
        {"33 channels", [](XmModule& m) { m.channels = 33; }},
        {"0 channels", [](XmModule& m) { m.channels = 0; }},
        {"257 rows", [](XmModule& m) { m.patterns[0].rows = 257; }},
        {"header size 19", [](XmModule& m) { m.headerSize = 19; }},
        {"pattern header past the end", [](XmModule& m) { m.patterns[0].headerLength = 0x7FFFFFFF; }},
        {"33 samples", [](XmModule& m) {
             m.instruments.push_back(instrumentWith(std::vector<XmSample>(33, sample8({1}))));
         }},
    };
    for (const Case& c : cases) {
        XmModule m;
        m.patterns.resize(1);
        c.change(m);
        auto song = newSong();
        const LoadResult r = readModule(*song, writeXm(m));
        EXPECT_EQ(r.status, LoadStatus::Broken) << c.what;
        ASSERT_FALSE(r.messages.empty()) << c.what;
        EXPECT_EQ(r.messages.back().caption, "Broken module") << c.what;
        EXPECT_EQ(song->numChannels, 0) << c.what << ": nothing stays loaded";
    }
    // A song header size the file cannot hold.
    XmModule m;
    m.patterns.resize(1);
    auto file = writeXm(m);
    file[60] = 0xA0;
    file[61] = 0x86;
    file[62] = 0x01; // 100000
    auto song = newSong();
    const LoadResult r = readModule(*song, file);
    EXPECT_EQ(r.status, LoadStatus::Broken);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_NE(r.messages[0].text.find("100000"), std::string::npos);
}

// Files of versions 0x0102 and 0x0103 keep their instruments before the
// patterns and the sample data at the end (0x0102 with 8-byte pattern
// headers); they must give the same song as the 0x0104 file.
TEST(XmReader, OlderLayoutsReadTheSameSongAsTheirTwin)
{
    XmModule m;
    m.channels = 2;
    m.orders = {1, 0};
    m.patterns.resize(3);
    m.patterns[0].rows = 256;
    m.patterns[0].cells = {{49, 1, 0x30, 0x4, 0x21}, {0, 2}, {97}};
    m.patterns[1].rows = 1; // a one-row pattern: row byte 0 in 0x0102
    m.patterns[1].cells = {{61, 2}};
    m.patterns[2].rows = 9; // no data
    XmSample wide = sample8({-300, 5, 7000});
    wide.sixteenBit = true;
    wide.loopType = 2;
    wide.loopLength = 2;
    m.instruments = {instrumentWith({sample8({1, -2, 3}), wide}), XmInstrument{}, instrumentWith({sample8({9})})};
    m.instruments[0].keymap.assign(96, 1);
    m.instruments[0].volumeEnvelope = {{{0, 64}, {5, 10}}, 1, 0, 0, 3};
    const auto twin = newSong();
    ASSERT_TRUE(readModule(*twin, writeXm(m)).loaded());
    for (std::uint16_t version : {0x0102, 0x0103}) {
        m.version = version;
        const auto song = newSong();
        const LoadResult r = readModule(*song, writeXm(m));
        ASSERT_TRUE(r.loaded()) << version;
        EXPECT_TRUE(r.messages.empty()) << version;
        EXPECT_EQ(song->numPatterns, 3);
        EXPECT_EQ(song->numInstruments, 3);
        EXPECT_EQ(song->orderTable, twin->orderTable);
        for (int p = 0; p < 3; ++p) {
            const Pattern& a = song->patterns[static_cast<std::size_t>(p)];
            const Pattern& b = twin->patterns[static_cast<std::size_t>(p)];
            EXPECT_EQ(a.rows, b.rows) << version << " pattern " << p;
            ASSERT_EQ(a.packedSize, b.packedSize) << version << " pattern " << p;
            EXPECT_EQ(std::memcmp(a.data, b.data, a.packedSize), 0) << version << " pattern " << p;
        }
        for (int i = 0; i < 3; ++i) {
            const Instrument& a = song->instruments[static_cast<std::size_t>(i)];
            const Instrument& b = twin->instruments[static_cast<std::size_t>(i)];
            EXPECT_EQ(a.inUse, b.inUse);
            EXPECT_EQ(a.numSamples, b.numSamples);
            EXPECT_EQ(a.keymap, b.keymap);
            EXPECT_EQ(a.volumeEnvelope.points[1].y, b.volumeEnvelope.points[1].y);
            for (int k = 0; k < a.numSamples; ++k) {
                const Sample& x = a.samples[static_cast<std::size_t>(k)];
                const Sample& y = b.samples[static_cast<std::size_t>(k)];
                EXPECT_EQ(std::tie(x.length, x.bits, x.loopStart, x.loopEnd, x.loopType),
                          std::tie(y.length, y.bits, y.loopStart, y.loopEnd, y.loopType))
                    << version << " instrument " << i << " sample " << k;
                EXPECT_EQ(std::memcmp(x.data, y.data, static_cast<std::size_t>(x.length * x.bits / 8)), 0);
            }
        }
    }
}

// Instruments may hold up to 32 samples; each keeps its slot, so the keymap
// plays the samples it names.
TEST(XmReader, InstrumentWith24SamplesPlaysTheSamplesItsKeymapNames)
{
    XmModule m;
    m.channels = 3;
    std::vector<XmSample> samples;
    for (int k = 0; k < 24; ++k)
        samples.push_back(sample8(std::vector<std::int16_t>(64, static_cast<std::int16_t>(k + 1))));
    m.instruments = {instrumentWith(samples)};
    m.instruments[0].keymap.resize(96);
    for (int n = 0; n < 96; ++n)
        m.instruments[0].keymap[static_cast<std::size_t>(n)] = static_cast<std::uint8_t>(23 - n % 24);
    m.patterns.resize(1);
    // Notes 1, 7 and 24 map to samples 23, 17 and 0.
    m.patterns[0].cells = {{1, 1}, {7, 1}, {24, 1}};
    auto song = newSong();
    ASSERT_TRUE(readModule(*song, writeXm(m)).loaded());
    EXPECT_EQ(song->instruments[0].numSamples, 24);
    song->start(44100);
    for (int t = 0; t < 6; ++t)
        song->playTick();
    const int expected[] = {24, 18, 1};
    for (int c = 0; c < 3; ++c) {
        const Channel& ch = song->channels[static_cast<std::size_t>(c)];
        ASSERT_EQ(ch.active, 1) << c;
        EXPECT_EQ(ch.sampleData[0], expected[c]) << c;
    }
}

TEST(XmReader, SixteenBitSamplesAreHalvedAndDeltaDecoded)
{
    XmModule m;
    m.patterns.resize(1);
    XmSample s;
    s.sixteenBit = true;
    s.frames.assign(500, 0);
    s.frames[0] = 1000;
    s.frames[1] = -2000;
    s.frames[499] = 32767;
    s.loopStart = 100;  // written as 200 bytes
    s.loopLength = 200; // written as 400 bytes
    s.loopType = 1;
    m.instruments.push_back(instrumentWith({s}));
    auto song = newSong();
    ASSERT_TRUE(readModule(*song, writeXm(m)).loaded());
    const Sample& got = song->instruments[0].samples[0];
    EXPECT_EQ(got.bits, 16);
    EXPECT_EQ(got.length, 500);
    EXPECT_EQ(got.loopStart, 100);
    EXPECT_EQ(got.loopEnd, 300);
    EXPECT_EQ(got.loopType, 1);
    EXPECT_EQ(got.hasData, 1);
    std::int16_t v;
    std::memcpy(&v, got.data + 2, 2);
    EXPECT_EQ(v, -2000);
    std::memcpy(&v, got.data + 998, 2);
    EXPECT_EQ(v, 32767);
}

TEST(XmReader, EightBitDeltaAndGuardBytes)
{
    XmModule m;
    m.patterns.resize(1);
    XmSample s;
    s.rawDataSet = true;
    s.rawData = {1, 1, 1, 0xFD}; // deltas 1, 1, 1, -3
    s.storedLength = 4;
    m.instruments.push_back(instrumentWith({s}));
    auto song = newSong();
    ASSERT_TRUE(readModule(*song, writeXm(m)).loaded());
    const Sample& got = song->instruments[0].samples[0];
    ASSERT_EQ(got.length, 4);
    EXPECT_EQ(got.data[0], 1);
    EXPECT_EQ(got.data[1], 2);
    EXPECT_EQ(got.data[2], 3);
    EXPECT_EQ(got.data[3], 0);
    for (int i = 1; i <= 128; ++i) {
        EXPECT_EQ(got.data[-i], 0);
        EXPECT_EQ(got.data[3 + i], 0);
    }
}

TEST(XmReader, EnvelopesKeymapAndSampleFields)
{
    XmModule m;
    m.patterns.resize(1);
    XmInstrument ins = instrumentWith({sample8({1}), sample8({2})});
    ins.keymap.assign(96, 1);
    ins.keymap[0] = 0;
    ins.keymap[5] = 40; // no such sample: read as sample 0
    ins.volumeEnvelope.points = {{0, 64}, {10, 32}, {20, 0}};
    ins.volumeEnvelope.sustain = 1;
    ins.volumeEnvelope.type = 1 | 2;
    ins.panningEnvelope.points = {{0, 32}, {4, 0}};
    ins.panningEnvelope.loopStart = 0;
    ins.panningEnvelope.loopEnd = 1;
    ins.panningEnvelope.type = 1 | 4;
    ins.vibratoType = 2;
    ins.vibratoSweep = 3;
    ins.vibratoDepth = 4;
    ins.vibratoRate = 5;
    ins.samples[1].finetune = -16;
    ins.samples[1].relativeNote = -12;
    ins.samples[1].panning = 200;
    ins.samples[1].volume = 80; // above 64: clamped
    ins.samples[1].loopType = 3;
    ins.samples[1].frames = {1, 2, 3, 4};
    ins.samples[1].loopStart = 1;
    ins.samples[1].loopLength = 2;
    m.instruments.push_back(ins);
    auto song = newSong();
    ASSERT_TRUE(readModule(*song, writeXm(m)).loaded());
    const Instrument& got = song->instruments[0];
    EXPECT_EQ(got.keymap[0], 0);
    EXPECT_EQ(got.keymap[1], 1);
    EXPECT_EQ(got.keymap[5], 0);
    EXPECT_EQ(got.volumeEnvelope.numPoints, 3);
    EXPECT_EQ(got.volumeEnvelope.points[1].x, 10);
    EXPECT_EQ(got.volumeEnvelope.points[1].y, 32);
    EXPECT_EQ(got.volumeEnvelope.on, 1);
    EXPECT_EQ(got.volumeEnvelope.sustain, 1);
    EXPECT_EQ(got.volumeEnvelope.loop, 0);
    EXPECT_EQ(got.panningEnvelope.on, 1);
    EXPECT_EQ(got.panningEnvelope.sustain, 0);
    EXPECT_EQ(got.panningEnvelope.loop, 1);
    EXPECT_EQ(got.vibratoType, 2);
    EXPECT_EQ(got.vibratoSweep, 3);
    EXPECT_EQ(got.vibratoDepth, 4);
    EXPECT_EQ(got.vibratoRate, 5);
    const Sample& s = got.samples[1];
    EXPECT_EQ(s.finetune, -16);
    EXPECT_EQ(s.relativeNote, -12);
    EXPECT_EQ(s.panning, 200);
    EXPECT_EQ(s.volume, 64);
    EXPECT_EQ(s.loopType, 2); // type 3 plays as ping-pong
    EXPECT_EQ(s.loopStart, 1);
    EXPECT_EQ(s.loopEnd, 3);
}

TEST(XmReader, LoopsOutsideTheSampleAreKeptInside)
{
    XmModule m;
    m.patterns.resize(1);
    XmSample past = sample8(std::vector<std::int16_t>(100, 1));
    past.loopType = 1;
    past.loopStart = 50;
    past.loopLength = 500; // ends past the data: brought to the length
    XmSample beyond = sample8(std::vector<std::int16_t>(100, 1));
    beyond.loopType = 1;
    beyond.loopStart = 150; // starts past the end: no loop
    beyond.loopLength = 10;
    XmSample empty = sample8(std::vector<std::int16_t>(100, 1));
    empty.loopType = 2;
    empty.loopStart = 10;
    empty.loopLength = 0; // no loop at all
    m.instruments.push_back(instrumentWith({past, beyond, empty}));
    auto song = newSong();
    ASSERT_TRUE(readModule(*song, writeXm(m)).loaded());
    const auto& s = song->instruments[0].samples;
    EXPECT_EQ(s[0].loopType, 1);
    EXPECT_EQ(s[0].loopEnd, 100);
    EXPECT_EQ(s[1].loopType, 0);
    EXPECT_EQ(s[2].loopType, 0);
}

TEST(XmReader, FileCutInsideSampleDataKeepsWhatIsThere)
{
    XmModule m;
    m.patterns.resize(1);
    m.instruments.push_back(instrumentWith({sample8(std::vector<std::int16_t>(100, 5))}));
    m.instruments.push_back(instrumentWith({sample8({1, 2})}));
    auto file = writeXm(m);
    file.resize(file.size() - 2 - 40 - 263 - 60); // cuts 60 bytes into the first sample's data
    auto song = newSong();
    const LoadResult r = readModule(*song, file);
    ASSERT_TRUE(r.loaded());
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].caption, "Module warning");
    EXPECT_EQ(song->instruments[0].samples[0].length, 40);
    EXPECT_EQ(song->instruments[1].inUse, 0);
}

TEST(XmReader, RestartOutsideTheSongAndLongSongsAreClamped)
{
    XmModule m;
    m.patterns.resize(1);
    m.orders = {0, 0};
    m.restart = 5;
    auto song = newSong();
    ASSERT_TRUE(readModule(*song, writeXm(m)).loaded());
    EXPECT_EQ(song->restartPosition, 0);

    m.songLengthOverride = 300;
    const LoadResult r = readModule(*song, writeXm(m));
    ASSERT_TRUE(r.loaded());
    EXPECT_EQ(song->songLength, 256);
    ASSERT_EQ(r.messages.size(), 1u);
}

// ---------------------------------------------------------------- MOD

namespace {
ModModule modWithSamples()
{
    ModModule m;
    ModSample a;
    a.name = "first";
    a.lengthWords = 4;
    a.data = {1, 2, 3, 4, 5, 6, 7, 8};
    a.volume = 40;
    a.finetune = 7;
    a.loopStartWords = 0;
    a.loopLengthWords = 1;
    ModSample b;
    b.lengthWords = 40;
    b.data.assign(80, -1);
    b.finetune = 8;
    b.loopStartWords = 10;
    b.loopLengthWords = 20;
    ModSample c;
    c.lengthWords = 1;
    c.data = {9, 9};
    c.finetune = 15;
    m.samples = {a, b, c};
    return m;
}
} // namespace

TEST(ModReader, HeaderSamplesFinetuneAndLoops)
{
    auto song = newSong();
    const auto file = writeMod(modWithSamples());
    ASSERT_EQ(detectModuleKind(file), ModuleKind::Mod);
    const LoadResult r = readModule(*song, file);
    ASSERT_TRUE(r.loaded());
    EXPECT_TRUE(r.messages.empty());
    EXPECT_EQ(song->numChannels, 4);
    EXPECT_EQ(song->numInstruments, 31);
    EXPECT_EQ(song->speed, 6);
    EXPECT_EQ(song->bpm, 125);
    EXPECT_EQ(song->frequencyMode, kFrequencyAmiga);
    EXPECT_EQ(song->restartPosition, 0);
    EXPECT_EQ(text(song->moduleName), "mod test");

    const Instrument& a = song->instruments[0];
    EXPECT_EQ(a.inUse, 1);
    EXPECT_EQ(a.numSamples, 1);
    EXPECT_EQ(std::string(a.name.data(), 5), "first");
    const Sample& sa = a.samples[0];
    EXPECT_EQ(sa.length, 8);
    EXPECT_EQ(sa.volume, 40);
    EXPECT_EQ(sa.finetune, 112); // 7 eighths of a semitone, x 16
    EXPECT_EQ(sa.relativeNote, 25);
    EXPECT_EQ(sa.panning, 128);
    EXPECT_EQ(sa.bits, 8);
    EXPECT_EQ(sa.loopType, 0); // loop length word 1: no loop
    EXPECT_EQ(sa.loopEnd, 2);
    EXPECT_EQ(sa.data[7], 8); // plain signed bytes, no delta
    const Sample& sb = song->instruments[1].samples[0];
    EXPECT_EQ(sb.finetune, -128); // 8 - 16 = -8, x 16: a whole semitone down
    EXPECT_EQ(sb.loopType, 1);
    EXPECT_EQ(sb.loopStart, 20);
    EXPECT_EQ(sb.loopEnd, 60);
    EXPECT_EQ(static_cast<std::int8_t>(sb.data[79]), -1);
    EXPECT_EQ(song->instruments[2].samples[0].finetune, -16); // 15 - 16 = -1, x 16
    // Unused sample slots are instruments without data.
    EXPECT_EQ(song->instruments[30].inUse, 1);
    EXPECT_EQ(song->instruments[30].samples[0].hasData, 0);
}

TEST(ModReader, PatternCountFromTheSongsOrders)
{
    ModModule m = modWithSamples();
    m.songLength = 3;
    m.orders = {0, 5, 2};
    auto song = newSong();
    ASSERT_TRUE(readModule(*song, writeMod(m)).loaded());
    EXPECT_EQ(song->numPatterns, 6);
    EXPECT_EQ(song->songLength, 3);
    // The samples after the six patterns were found.
    EXPECT_EQ(song->instruments[1].samples[0].data[0], 0xFF);
}

TEST(ModReader, PatternsNamedOnlyAfterTheSongEndAreSkippedCorrectly)
{
    // Trackers store pattern 3 although the song plays only pattern 0.
    ModModule m = modWithSamples();
    m.songLength = 1;
    m.orders = {0, 3};
    m.patternsToWrite = 4;
    auto song = newSong();
    ASSERT_TRUE(readModule(*song, writeMod(m)).loaded());
    EXPECT_EQ(song->numPatterns, 4);
    EXPECT_EQ(song->instruments[0].samples[0].data[0], 1);
}

TEST(ModReader, CellsBecomeFiveBytePackingAndUnknownPeriodsAreReported)
{
    ModModule m = modWithSamples();
    m.channels = 8;
    m.tag = "8CHN";
    m.patterns.resize(1);
    m.patterns[0].assign(64 * 8, ModCell{});
    m.patterns[0][0] = {856, 0x12, 0xC, 0x30};      // first table entry: note 12
    m.patterns[0][9] = {57, 3, 0xF, 0x06};          // last entry of the fourth octave: note 59
    m.patterns[0][10] = {333, 1, 0, 0};             // in no entry
    auto song = newSong();
    const LoadResult r = readModule(*song, writeMod(m));
    ASSERT_TRUE(r.loaded());
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], (LoadMessage{"failed", "333"}));
    const Pattern& p = song->patterns[0];
    EXPECT_EQ(p.rows, 64);
    EXPECT_EQ(p.packedSize, 8 * 320);
    EXPECT_EQ(p.rowOffsets[1] - p.data, 40);
    RowCell cells[32];
    unpackRow(&p, 0, 8, cells);
    EXPECT_EQ(cells[0].note, 12);
    EXPECT_EQ(cells[0].instrument, 0x12);
    EXPECT_EQ(cells[0].effect, 0xC);
    EXPECT_EQ(cells[0].parameter, 0x30);
    unpackRow(&p, 1, 8, cells);
    EXPECT_EQ(cells[1].note, 59);
    EXPECT_EQ(cells[1].instrument, 3);
    EXPECT_EQ(cells[2].note, 0);
    EXPECT_EQ(cells[2].instrument, 1);
}

TEST(ModReader, TagsAndShortFiles)
{
    ModModule m = modWithSamples();
    m.tag = "XXXX";
    const auto file = writeMod(m);
    auto song = newSong();
    EXPECT_EQ(detectModuleKind(file), ModuleKind::Unknown);
    LoadResult r = readMod(*song, file);
    EXPECT_EQ(r.status, LoadStatus::BadTag);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], (LoadMessage{"ChanTag failure", "XXXX"}));
    EXPECT_EQ(song->numChannels, 0);

    m.tag = "6CHN";
    m.channels = 6;
    ASSERT_TRUE(readModule(*song, writeMod(m)).loaded());
    EXPECT_EQ(song->numChannels, 6);

    // Tags other trackers write for the same layout with other channel counts.
    for (const auto& [tag, channels] : std::vector<std::pair<std::string, int>>{
             {"2CHN", 2}, {"9CHN", 9}, {"10CH", 10}, {"32CH", 32}, {"CD81", 8}, {"OKTA", 8}, {"FLT4", 4}}) {
        ModModule n = modWithSamples();
        n.tag = tag;
        n.channels = channels;
        n.patterns.assign(1, std::vector<ModCell>(static_cast<std::size_t>(64 * channels)));
        n.patterns[0][static_cast<std::size_t>(channels - 1)] = {428, 2, 0xC, 0x20}; // last cell of row 0
        const auto file = writeMod(n);
        EXPECT_EQ(detectModuleKind(file), ModuleKind::Mod) << tag;
        ASSERT_TRUE(readModule(*song, file).loaded()) << tag;
        EXPECT_EQ(song->numChannels, channels) << tag;
        RowCell cells[32];
        unpackRow(&song->patterns[0], 0, channels, cells);
        EXPECT_EQ(cells[channels - 1].note, 24) << tag;
        EXPECT_EQ(cells[channels - 1].parameter, 0x20) << tag;
        EXPECT_EQ(song->instruments[1].samples[0].data[79], 0xFF) << tag; // sample data found after the patterns
    }
    // Counts outside 2..32, and the interleaved eight-channel layout, stay unknown.
    for (const char* tag : {"1CHN", "0CHN", "33CH", "99CH", "08CH", "FLT8", "ACHN"}) {
        m.tag = tag;
        EXPECT_EQ(detectModuleKind(writeMod(m)), ModuleKind::Unknown) << tag;
    }
    m.tag = "6CHN";

    auto cut = writeMod(m);
    cut.resize(1084 + 100);
    EXPECT_EQ(readModule(*song, cut).status, LoadStatus::Broken);
    EXPECT_EQ(song->numChannels, 0);
}

// ---------------------------------------------------------------- dispatch and failures

// An "M.K." file is read with eight channels when its restart byte is 0,
// its samples are at finetune 0 and volume 64, and its size (rounded down to
// even) is what eight-channel patterns give, counted over all 128 orders.
TEST(ModReader, EightChannelPatternsBehindTheFourChannelTag)
{
    struct Case {
        const char* what;
        void (*change)(ModModule&);
        int channels;
    };
    const Case cases[] = {
        {"all conditions", [](ModModule&) {}, 8},
        {"patterns named after the song's end", [](ModModule& m) { m.orders = {0, 0, 1}; m.patternsToWrite = 2; }, 8},
        {"an odd byte at the end", [](ModModule& m) { m.samples[1].data.push_back(0); }, 8},
        {"restart byte 127", [](ModModule& m) { m.restartByte = 127; }, 4},
        {"a sample with finetune 1", [](ModModule& m) { m.samples[1].finetune = 1; }, 4},
        {"a sample at volume 63", [](ModModule& m) { m.samples[0].volume = 63; }, 4},
        {"two bytes more", [](ModModule& m) { m.samples[1].data.resize(m.samples[1].data.size() + 2); }, 4},
        {"four-channel patterns", [](ModModule& m) { m.channels = 4; m.patterns[0].resize(256); }, 4},
        {"another four-channel tag", [](ModModule& m) { m.tag = "FLT4"; }, 4},
    };
    for (const Case& c : cases) {
        ModModule m;
        m.channels = 8;
        m.restartByte = 0;
        m.samples.resize(2);
        m.samples[0] = {"a", 2, 0, 64, 0, 1, {1, 2, 3, 4}};
        m.samples[1] = {"b", 3, 0, 64, 0, 1, {5, 6, 7, 8, 9, 10}};
        m.patterns.assign(2, std::vector<ModCell>(64 * 8));
        m.patterns[0][6] = {428, 2, 0xC, 0x20}; // channel 6 of row 0
        c.change(m);
        auto song = newSong();
        ASSERT_TRUE(readModule(*song, writeMod(m)).loaded()) << c.what;
        EXPECT_EQ(song->numChannels, c.channels) << c.what;
        RowCell cells[32];
        unpackRow(&song->patterns[0], c.channels == 8 ? 0 : 1, c.channels, cells);
        if (m.channels != c.channels)
            continue; // read as written by four-channel rules: the data lies elsewhere
        if (c.channels == 8)
            EXPECT_EQ(cells[6].note, 24) << c.what;
        EXPECT_EQ(song->instruments[1].samples[0].data[0], 5) << c.what; // the data after the patterns
    }
}

TEST(ModuleReader, UnknownFilesLoadNothing)
{
    auto song = newSong();
    const std::vector<std::uint8_t> junk(2000, 0x41);
    const LoadResult r = readModule(*song, junk);
    EXPECT_EQ(r.status, LoadStatus::UnknownType);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], (LoadMessage{"unknown", "Unknown module type"}));
    EXPECT_EQ(song->numChannels, 0);
    EXPECT_EQ(readModule(*song, std::vector<std::uint8_t>{}).status, LoadStatus::UnknownType);
}

TEST(ModuleReader, MissingFileIsReportedWithItsPath)
{
    auto song = newSong();
    const LoadResult r = readModuleFile(*song, "no/such/module.xm");
    EXPECT_EQ(r.status, LoadStatus::CannotOpen);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], (LoadMessage{"no/such/module.xm", "Kunde inte öppna file"}));
}

TEST(ModuleReader, PoolExhaustionIsReportedNotCrashed)
{
    XmModule m;
    m.patterns.resize(5);
    auto song = newSong();
    song->pool.reset(4); // three blocks at most
    const LoadResult r = readModule(*song, writeXm(m));
    EXPECT_EQ(r.status, LoadStatus::PoolExhausted);
    EXPECT_EQ(r.standardOutput, "list-outof\n");
    EXPECT_TRUE(song->pool.overflow());
    EXPECT_EQ(song->pool.count(), 3);
    EXPECT_EQ(song->numChannels, 0);
}

TEST(BlockPool, HandsOutAtMostCapacityMinusOneZeroTailedBlocks)
{
    BlockPool pool(3);
    std::uint8_t* a = pool.allocate(10);
    ASSERT_NE(a, nullptr);
    for (int i = 0; i < 1024; ++i)
        ASSERT_EQ(a[10 + i], 0);
    EXPECT_EQ(pool.blockEnd(0), a + 10);
    EXPECT_NE(pool.allocate(0), nullptr);
    EXPECT_EQ(pool.allocate(1), nullptr);
    EXPECT_EQ(pool.failure(), BlockPool::Failure::Exhausted);
    EXPECT_TRUE(pool.overflow());
}

// The program's entry points end the process on the fatal failures.
TEST(ModuleReaderDeathTest, UnopenableFileEndsTheProcessWithStatus1)
{
    EXPECT_EXIT(
        {
            Song* song = new Song;
            loadModule(*song, "/nonexistent/tp.xm");
        },
        testing::ExitedWithCode(1), "Kunde inte");
}

TEST(ModuleReaderDeathTest, ExhaustedPoolEndsTheProcessWithStatus1)
{
    XmModule m;
    m.patterns.resize(5);
    const auto file = writeXm(m);
    const std::string path = testing::TempDir() + "pool_exhaustion.xm";
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
    EXPECT_EXIT(
        {
            Song* song = new Song;
            song->pool.reset(3);
            loadModule(*song, path);
        },
        testing::ExitedWithCode(1), "");
}

TEST(ModuleReader, LoadModuleShowsTheUnknownTypeBoxAndReturns)
{
    const std::string path = testing::TempDir() + "unknown.bin";
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("definitely not a module", f);
    std::fclose(f);
    auto song = newSong();
    testing_support::MessageRecorder recorder;
    EXPECT_FALSE(loadModule(*song, path));
    const auto boxes = recorder.messages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "unknown");
    EXPECT_EQ(boxes[0].text, "Unknown module type");
}
