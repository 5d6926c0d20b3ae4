// Truncated and randomly mutated modules: the reader must neither crash nor
// read outside the file, and whatever it loads must be safe to play. Run
// under AddressSanitizer and UndefinedBehaviorSanitizer (DEMO_SANITIZE=ON).
#include "music/marker_seek.h"
#include "music/module_reader.h"
#include "music/song.h"
#include "tests/music/module_writer.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

using namespace music;
using namespace music_test;

namespace {

// version: 0x0104, or 0x0102 for the older layout (instruments first, sample
// data last, short pattern headers).
std::vector<std::uint8_t> richXm(std::uint16_t version = 0x0104)
{
    XmModule m;
    m.version = version;
    m.channels = 3;
    m.orders = {0, 1, 0};
    XmPattern p;
    p.rows = 8;
    p.cells.resize(24);
    p.cells[0] = {49, 1, 0x40, 0x0, 0x37};
    p.cells[1] = {61, 2, 0, 0x4, 0x44};
    p.cells[2] = {37, 1, 0, 0x1B, 0x12};
    p.cells[4] = {0, 0, 0, 0xE, 0x62};
    p.cells[9] = {97, 0, 0, 0x20, 0x05};
    m.patterns = {p, p};
    XmInstrument a;
    a.samples.push_back({});
    a.samples[0].frames = squareWave(64, 100);
    a.samples[0].loopType = 2;
    a.samples[0].loopStart = 8;
    a.samples[0].loopLength = 40;
    a.volumeEnvelope.points = {{0, 64}, {4, 20}, {10, 50}};
    a.volumeEnvelope.type = 7;
    a.volumeEnvelope.sustain = 1;
    a.volumeEnvelope.loopEnd = 2;
    a.fadeOut = 500;
    a.vibratoDepth = 8;
    a.vibratoRate = 20;
    XmInstrument b;
    b.samples.push_back({});
    b.samples[0].sixteenBit = true;
    b.samples[0].frames = squareWave(50, 9000);
    b.samples[0].loopType = 1;
    b.samples[0].loopStart = 10;
    b.samples[0].loopLength = 30;
    m.instruments = {a, b, XmInstrument{}};
    return writeXm(m);
}

std::vector<std::uint8_t> richMod()
{
    ModModule m;
    m.songLength = 2;
    m.orders = {0, 1};
    m.patterns.resize(2);
    m.patterns[0].assign(256, ModCell{});
    m.patterns[0][0] = {428, 1, 0xA, 0x01};
    m.patterns[0][5] = {214, 2, 0x0, 0x37};
    ModSample s;
    s.lengthWords = 32;
    s.data.assign(64, 40);
    s.loopStartWords = 4;
    s.loopLengthWords = 16;
    m.samples = {s, s};
    return writeMod(m);
}

// Whatever was loaded must hold the invariants the player and mixer rely on,
// and must play without trouble.
void checkAndPlay(Song& song, const LoadResult& r)
{
    if (!r.loaded()) {
        EXPECT_EQ(song.numChannels, 0);
    }
    ASSERT_GE(song.numChannels, 0);
    ASSERT_LE(song.numChannels, kMaxChannels);
    ASSERT_LE(song.songLength, kOrderTableSize);
    ASSERT_TRUE(song.restartPosition == 0 || song.restartPosition < song.songLength);
    for (const Pattern& p : song.patterns)
        ASSERT_LE(p.rows, kMaxRows);
    for (const Instrument& ins : song.instruments)
        for (const Sample& s : ins.samples) {
            if (s.hasData) {
                ASSERT_NE(s.data, nullptr);
            }
            if (s.loopType != 0) {
                ASSERT_LE(s.loopEnd, s.length);
                ASSERT_LT(s.loopStart, s.loopEnd);
            }
        }
    song.start(11000);
    // Looking for a marker walks every row of every ordered pattern; then
    // play from wherever it found one.
    music::seekToMarker(song, 1);
    song.syncReset(10);
    std::vector<std::uint8_t> buffer(4400);
    for (int i = 0; i < 4; ++i)
        song.fillBuffer(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
    song.syncRelease();
}

// Plays a loaded song from the start for the given seconds of audio.
void playFor(Song& song, int rate, double seconds)
{
    song.start(rate);
    song.syncReset(10);
    std::vector<std::uint8_t> buffer(4 * 1000);
    for (int done = 0; done < seconds * rate; done += 1000)
        song.fillBuffer(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
    song.syncRelease();
}

} // namespace

TEST(ReaderFuzz, EveryTruncationOfAnXmAndAModIsSafe)
{
    auto song = std::make_unique<Song>();
    for (const auto& file : {richXm(), richXm(0x0102), richMod()}) {
        ASSERT_TRUE(readModule(*song, file).loaded());
        const std::size_t step = file.size() > 4000 ? 7 : 1;
        for (std::size_t n = 0; n < file.size(); n += step) {
            std::vector<std::uint8_t> cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
            song->initialise();
            const LoadResult r = readModule(*song, cut);
            ASSERT_FALSE(r.fatal()) << n;
            if (n % 61 == 0)
                checkAndPlay(*song, r);
        }
    }
}

TEST(ReaderFuzz, RandomlyMutatedModulesAreSafe)
{
    std::mt19937 rng(20240611);
    auto song = std::make_unique<Song>();
    const std::vector<std::vector<std::uint8_t>> seeds = {richXm(), richMod(), richXm(0x0102)};
    int loaded = 0;
    for (int iteration = 0; iteration < 1500; ++iteration) {
        std::vector<std::uint8_t> file = seeds[static_cast<std::size_t>(iteration) % seeds.size()];
        const int mutations = 1 + static_cast<int>(rng() % 8);
        for (int k = 0; k < mutations; ++k) {
            const std::size_t at = rng() % file.size();
            switch (rng() % 4) {
            case 0: file[at] = static_cast<std::uint8_t>(rng()); break;
            case 1: file[at] ^= static_cast<std::uint8_t>(1u << (rng() % 8)); break;
            case 2: file[at] = (rng() % 2) ? 0xFF : 0x00; break;
            case 3: file.resize(std::max<std::size_t>(1, at)); break;
            }
            if (file.empty())
                break;
        }
        song->initialise();
        const LoadResult r = readModule(*song, file);
        ASSERT_FALSE(r.fatal()) << iteration;
        loaded += r.loaded() ? 1 : 0;
        if (iteration % 5 == 0)
            checkAndPlay(*song, r);
    }
    EXPECT_GT(loaded, 100); // the mutations must not all be rejected outright
}

// Every effect with random parameters, random notes (key-off and the
// unused values above it too), both period systems and extreme finetunes:
// the player's arithmetic must stay inside its tables and the mixer inside
// its samples, for MODs of any channel count as well.
TEST(ReaderFuzz, RandomCellsPlaySafelyInBothPeriodSystems)
{
    std::mt19937 rng(31337);
    auto song = std::make_unique<Song>();
    for (int iteration = 0; iteration < 60; ++iteration) {
        XmModule m;
        m.channels = 4;
        m.linear = iteration % 2 == 0;
        m.speed = static_cast<std::uint16_t>(1 + rng() % 8);
        m.orders = {0, 1};
        for (int pi = 0; pi < 2; ++pi) {
            XmPattern p;
            p.rows = 16;
            p.cells.resize(64);
            for (Cell& c : p.cells) {
                if (rng() % 3 == 0)
                    continue;
                const std::uint32_t n = rng() % 10;
                c.note = static_cast<std::uint8_t>(n < 7 ? 1 + rng() % 96 : n == 7 ? 97 : n == 8 ? 98 + rng() % 30 : 0);
                c.instrument = static_cast<std::uint8_t>(rng() % 4);
                c.volume = static_cast<std::uint8_t>(rng() % 4 == 0 ? rng() % 256 : 0);
                c.effect = static_cast<std::uint8_t>(rng() % 36);
                if (c.effect == 0x0B || c.effect == 0x0D || c.effect == 0x0F)
                    c.effect = 0x0E; // keep the song moving; jumps and tempo are tested elsewhere
                c.parameter = static_cast<std::uint8_t>(rng());
            }
            m.patterns.push_back(p);
        }
        for (int i = 0; i < 3; ++i) {
            XmInstrument ins;
            XmSample s;
            s.sixteenBit = i == 1;
            s.frames = squareWave(16 + static_cast<int>(rng() % 200), s.sixteenBit ? 20000 : 100);
            s.loopType = static_cast<std::uint8_t>(rng() % 4);
            s.loopStart = static_cast<std::uint32_t>(rng() % s.frames.size());
            s.loopLength = static_cast<std::uint32_t>(rng() % (s.frames.size() - s.loopStart + 1));
            s.finetune = static_cast<std::int8_t>(rng() % 3 == 0 ? (rng() % 2 ? -128 : 127) : static_cast<int>(rng() % 256) - 128);
            s.relativeNote = static_cast<std::int8_t>(static_cast<int>(rng() % 96) - 48);
            ins.samples.push_back(s);
            ins.volumeEnvelope.points = {{0, 64}, {3, 10}, {9, 50}};
            ins.volumeEnvelope.type = static_cast<std::uint8_t>(rng() % 8);
            ins.volumeEnvelope.sustain = 1;
            ins.volumeEnvelope.loopEnd = 2;
            ins.fadeOut = static_cast<std::uint16_t>(rng() % 4096);
            ins.vibratoType = static_cast<std::uint8_t>(rng() % 4);
            ins.vibratoDepth = static_cast<std::uint8_t>(rng() % 16);
            ins.vibratoRate = static_cast<std::uint8_t>(rng() % 64);
            ins.vibratoSweep = static_cast<std::uint8_t>(rng() % 32);
            m.instruments.push_back(ins);
        }
        song->initialise();
        const LoadResult r = readModule(*song, writeXm(m));
        ASSERT_TRUE(r.loaded()) << iteration;
        checkAndPlay(*song, r);
        playFor(*song, iteration % 3 == 0 ? 44100 : 11000, 12.0);
    }
    // MODs of other channel counts, with random effects.
    for (const char* tag : {"2CHN", "10CH", "32CH"}) {
        ModModule m;
        m.tag = tag;
        m.channels = tag[1] == 'C' ? tag[0] - '0' : (tag[0] - '0') * 10 + (tag[1] - '0');
        m.patterns.assign(1, std::vector<ModCell>(static_cast<std::size_t>(64 * m.channels)));
        for (ModCell& c : m.patterns[0]) {
            static const std::uint16_t periods[] = {0, 856, 428, 113, 57, 1000};
            c.period = periods[rng() % 6];
            c.instrument = static_cast<std::uint8_t>(rng() % 3);
            c.effect = static_cast<std::uint8_t>(rng() % 16);
            c.parameter = static_cast<std::uint8_t>(rng());
        }
        ModSample s;
        s.lengthWords = 50;
        s.finetune = static_cast<std::uint8_t>(rng() % 16);
        s.loopStartWords = 10;
        s.loopLengthWords = 20;
        s.data.assign(100, 30);
        m.samples = {s, s};
        song->initialise();
        const LoadResult r = readModule(*song, writeMod(m));
        ASSERT_TRUE(r.loaded()) << tag;
        EXPECT_EQ(song->numChannels, m.channels);
        checkAndPlay(*song, r);
        playFor(*song, 11000, 12.0);
    }
}

TEST(ReaderFuzz, RandomBytesAreSafe)
{
    std::mt19937 rng(7);
    auto song = std::make_unique<Song>();
    for (int iteration = 0; iteration < 300; ++iteration) {
        std::vector<std::uint8_t> file(rng() % 4000);
        for (auto& b : file)
            b = static_cast<std::uint8_t>(rng());
        if (iteration % 2 == 0 && file.size() > 17)
            std::copy_n("Extended Module: ", 17, file.begin());
        if (iteration % 3 == 0 && file.size() > 1084)
            std::copy_n("M.K.", 4, file.begin() + 1080);
        song->initialise();
        checkAndPlay(*song, readModule(*song, file));
    }
}
