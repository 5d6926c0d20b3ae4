// Truncated and randomly mutated modules: the reader must neither crash nor
// read outside the file, and whatever it loads must be safe to play. Run
// under AddressSanitizer and UndefinedBehaviorSanitizer (DEMO_SANITIZE=ON).
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

std::vector<std::uint8_t> richXm()
{
    XmModule m;
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
    song.syncReset(10);
    std::vector<std::uint8_t> buffer(4400);
    for (int i = 0; i < 4; ++i)
        song.fillBuffer(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
    song.syncRelease();
}

} // namespace

TEST(ReaderFuzz, EveryTruncationOfAnXmAndAModIsSafe)
{
    auto song = std::make_unique<Song>();
    for (const auto& file : {richXm(), richMod()}) {
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
    const std::vector<std::vector<std::uint8_t>> seeds = {richXm(), richMod()};
    int loaded = 0;
    for (int iteration = 0; iteration < 1500; ++iteration) {
        std::vector<std::uint8_t> file = seeds[static_cast<std::size_t>(iteration % 2)];
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
