// The generated module: reproducible bytes, the scene and beat markers where
// the show's plan puts them, a length and shape the player supports, and the
// instruments and effects the piece promises.
#include "assets/generator.h"
#include "assets/music/composition.h"
#include "tests/assets/module_scan.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

namespace {

std::vector<std::uint8_t> readFile(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::vector<std::uint8_t>& moduleBytes()
{
    static const std::vector<std::uint8_t> bytes = assets::music::moduleBytes();
    return bytes;
}

const module_scan::Module& module()
{
    static const module_scan::Module m = module_scan::read(moduleBytes());
    return m;
}

struct Marker {
    int value;
    double time;
    int order, row;
};

// Every W effect in playing order (effect 32, the letter W), with its time.
std::vector<Marker> markers()
{
    std::vector<Marker> out;
    const auto& m = module();
    for (const auto& r : module_scan::playedRows(m))
        for (int c = 0; c < m.channels; ++c) {
            const auto& cell = m.cell(r.pattern, r.row, c);
            if (cell.effect == 32)
                out.push_back({cell.param, r.start, r.order, r.row});
        }
    return out;
}

// The plan, worked out by hand: 125 BPM at speed 6 is 50 ticks a second,
// 0.12 s a row, 7.68 s a 64-row pattern; order 19 breaks after 32 rows.
constexpr std::array<double, 14> kSceneStart = {
    0.0,    15.36,  30.72,  46.08,  61.44,  76.80,  92.16, // scenes 0..6
    107.52, 122.88, 130.56, 138.24, 149.76, 165.12,         // scenes 7..12
    180.36};                                                // scene 13 (W13 on the last row)

TEST(ModuleFile, SameBytesEveryTimeAndOnDisk)
{
    EXPECT_EQ(assets::music::moduleBytes(), moduleBytes());
    const testing_support::ScratchDir scratch("assetmusic_module_test");
    const auto& dir = scratch.path();
    assets::writeModule(dir);
    EXPECT_EQ(readFile(dir / "tp.xm"), moduleBytes());
    assets::writeModule(dir); // overwriting gives the same file again
    EXPECT_EQ(readFile(dir / "tp.xm"), moduleBytes());
}

TEST(ModuleFile, LayoutTheReaderAssumes)
{
    const auto& m = module();
    EXPECT_EQ(m.id, "Extended Module: ");
    EXPECT_EQ(m.headerSize, 276u);
    EXPECT_EQ(m.flags & 1, 1); // linear frequency table
    EXPECT_GE(m.channels, 8);
    EXPECT_LE(m.channels, 16);
    EXPECT_EQ(m.bytesRead, moduleBytes().size()); // nothing left over, nothing missing
    EXPECT_LE(m.patternCount, 256);
    for (int i = 0; i < m.songLength; ++i)
        EXPECT_LT(m.orders[static_cast<std::size_t>(i)], m.patternCount);
    for (const auto& p : m.patterns) {
        EXPECT_LE(p.rows, 256);
        for (int bytes : p.rowBytes)
            EXPECT_LE(bytes, 255); // row positions are counted in 8 bits
    }
    for (const auto& ins : m.instruments) {
        EXPECT_EQ(ins.headerSize, 263u) << ins.name;
        EXPECT_GE(ins.sampleCount, 1) << ins.name;
        EXPECT_LE(ins.sampleCount, 16) << ins.name;
        for (std::uint8_t k : ins.keymap)
            EXPECT_LT(k, ins.sampleCount) << ins.name;
        for (const auto& s : ins.samples) {
            EXPECT_EQ(s.reserved, 0) << ins.name;
            EXPECT_LE(s.volume, 64) << ins.name;
            EXPECT_LE(s.loopStartBytes + s.loopLengthBytes, s.lengthBytes) << ins.name;
            if (s.sixteenBit()) {
                EXPECT_EQ(s.lengthBytes % 2, 0u) << ins.name;
            }
        }
    }
    // Notes name instruments that exist; notes stay in range.
    for (const auto& p : m.patterns)
        for (const auto& c : p.cells) {
            EXPECT_LE(c.instrument, m.instrumentCount);
            EXPECT_LE(c.note, 97);
        }
}

TEST(ModuleFile, LengthBetweenTwoAndAHalfAndFourMinutes)
{
    double end = 0.0;
    const auto rows = module_scan::playedRows(module(), &end);
    EXPECT_GE(end, 150.0);
    EXPECT_LE(end, 240.0);
    EXPECT_NEAR(end, 180.48, 1e-9); // 23.5 patterns of 7.68 s
    // Every order position is reached and the break cuts order 19 to 32 rows.
    std::map<int, int> rowsPerOrder;
    for (const auto& r : rows)
        ++rowsPerOrder[r.order];
    EXPECT_EQ(static_cast<int>(rowsPerOrder.size()), module().songLength);
    EXPECT_EQ(rowsPerOrder[19], 32);
}

TEST(ModuleMarkers, SceneMarkersOneToThirteenOnceEachInOrderAtThePlannedTimes)
{
    std::vector<Marker> scenes;
    for (const Marker& mk : markers())
        if (mk.value >= 1 && mk.value <= 13)
            scenes.push_back(mk);
    ASSERT_EQ(scenes.size(), 13u);
    for (std::size_t i = 0; i < scenes.size(); ++i) {
        EXPECT_EQ(scenes[i].value, static_cast<int>(i) + 1);
        EXPECT_NEAR(scenes[i].time, kSceneStart[i + 1], 1e-9) << "marker " << scenes[i].value;
    }
    // Only scene values and the three beat values appear.
    for (const Marker& mk : markers())
        EXPECT_TRUE((mk.value >= 1 && mk.value <= 13) || mk.value >= 253) << mk.value;
    // A pattern is used once in the order table, so no marker repeats on a second pass.
    const auto& m = module();
    std::set<int> used(m.orders.begin(), m.orders.begin() + m.songLength);
    EXPECT_EQ(static_cast<int>(used.size()), m.songLength);
}

TEST(ModuleMarkers, ScenesLastLongEnoughForWhatTheyShow)
{
    // The intro's shapes grow for 7 s.
    EXPECT_GE(kSceneStart[1], 7.0 + 3.0);
    // Greetings scroll from x = 319 to -630 at 40 px/s (949 px, 23.7 s) from
    // the start of scene 8: still on screen when scene 10 begins, gone before
    // scene 10 ends (after that scene 10 no longer draws them).
    const double scroll = 949.0 / 40.0;
    EXPECT_LT(kSceneStart[10] - kSceneStart[8], scroll);
    EXPECT_GT(kSceneStart[11] - kSceneStart[8], scroll);
    // The end picture stays for more than ten seconds.
    EXPECT_GE(kSceneStart[13] - kSceneStart[12], 10.0);
}

// Beat markers counted per scene (a marker on a scene's first row belongs to
// that scene), as planned: zooms where an overlay pair should swap with a
// jolt, flips without zoom where text must stay readable, flashes at drops.
TEST(ModuleMarkers, BeatMarkersWhereTheScenesUseThem)
{
    struct Counts {
        int zoom, flash, flip;
    };
    constexpr std::array<Counts, 13> planned = {{
        {0, 0, 0},   // 0 intro: calm
        {16, 1, 0},  // 1 tunnel, fjollah pair: zoom on beats 1 and 3
        {8, 1, 0},   // 2 grid blob, voodoo: zoom on each bar
        {4, 5, 0},   // 3 ribbons, breakdown: flash every bar of the build, zooms on its last beats
        {16, 1, 0},  // 4 disco, groovy pair
        {8, 1, 0},   // 5 ribbons, skiva
        {16, 1, 16}, // 6 dancers: zoom on 1 and 3, flip on 2 and 4
        {32, 2, 0},  // 7 climax: zoom on every beat
        {0, 1, 16},  // 8 greetings: flips only
        {0, 0, 16},  // 9 greetings
        {4, 1, 16},  // 10 ball: flips, then the build's zooms after the text has gone
        {16, 2, 16}, // 11 disco, fjollah pair dancing
        {0, 0, 0},   // 12 end picture
    }};
    std::array<Counts, 14> got{};
    int scene = 0;
    std::vector<Marker> all = markers();
    // Within one row, the scene change comes first, whatever its channel.
    std::stable_sort(all.begin(), all.end(), [](const Marker& a, const Marker& b) {
        return a.time < b.time || (a.time == b.time && a.value <= 13 && b.value > 13);
    });
    for (const Marker& mk : all) {
        if (mk.value >= 1 && mk.value <= 13) {
            scene = mk.value;
            continue;
        }
        auto& c = got[static_cast<std::size_t>(scene)];
        (mk.value == 255 ? c.zoom : mk.value == 254 ? c.flash : c.flip) += 1;
    }
    for (std::size_t s = 0; s < planned.size(); ++s) {
        EXPECT_EQ(got[s].zoom, planned[s].zoom) << "scene " << s;
        EXPECT_EQ(got[s].flash, planned[s].flash) << "scene " << s;
        EXPECT_EQ(got[s].flip, planned[s].flip) << "scene " << s;
    }
    EXPECT_EQ(got[13].zoom + got[13].flash + got[13].flip, 0);
    // Zooms in scene 10 come only after the greetings have left the screen
    // (scrollX reaches -630 at 122.88 + 23.725 s).
    for (const Marker& mk : markers())
        if (mk.value == 255 && mk.time >= kSceneStart[8] && mk.time < kSceneStart[11]) {
            EXPECT_GT(mk.time, kSceneStart[8] + 949.0 / 40.0);
        }
}

TEST(ModuleMarkers, BeatMarkersFallOnBeats)
{
    for (const Marker& mk : markers())
        if (mk.value >= 253) {
            EXPECT_EQ(mk.row % 4, 0) << "value " << mk.value << " at order " << mk.order << " row " << mk.row;
        }
}

TEST(ModuleInstruments, SampleKindsLoopsAndEnvelopes)
{
    bool eight = false, sixteen = false, forward = false, pingPong = false, oneShot = false;
    bool sustain = false, loop = false, sustainAndFade = false, panEnvelope = false, keymapSplit = false;
    for (const auto& ins : module().instruments) {
        for (const auto& s : ins.samples) {
            (s.sixteenBit() ? sixteen : eight) = true;
            forward |= s.loopType() == 1;
            pingPong |= s.loopType() == 2;
            oneShot |= s.loopType() == 0;
        }
        sustain |= (ins.volumeType & 3) == 3;
        loop |= (ins.volumeType & 5) == 5;
        sustainAndFade |= (ins.volumeType & 3) == 3 && ins.fadeout > 0;
        panEnvelope |= (ins.panningType & 1) != 0;
        for (std::uint8_t k : ins.keymap)
            keymapSplit |= k != ins.keymap[0];
    }
    EXPECT_TRUE(eight);
    EXPECT_TRUE(sixteen);
    EXPECT_TRUE(forward);
    EXPECT_TRUE(pingPong);
    EXPECT_TRUE(oneShot);
    EXPECT_TRUE(sustain);
    EXPECT_TRUE(loop);
    EXPECT_TRUE(sustainAndFade);
    EXPECT_TRUE(panEnvelope);
    EXPECT_TRUE(keymapSplit);
}

TEST(ModuleInstruments, LoopedTonesCloseSeamlessly)
{
    // A player may read the frame just past a forward loop's end before it
    // wraps: that frame repeats the loop's first one, so the wave goes on.
    for (const auto& ins : module().instruments)
        for (const auto& s : ins.samples) {
            if (s.loopType() != 1)
                continue;
            const std::size_t bytesPerFrame = s.sixteenBit() ? 2 : 1;
            const std::size_t start = s.loopStartBytes / bytesPerFrame;
            const std::size_t end = (s.loopStartBytes + s.loopLengthBytes) / bytesPerFrame;
            ASSERT_LT(end, s.frames.size()) << ins.name;
            EXPECT_EQ(s.frames[end], s.frames[start]) << ins.name;
        }
}

TEST(ModuleInstruments, SamplesUseTheirRangeWithoutClipping)
{
    for (const auto& ins : module().instruments)
        for (const auto& s : ins.samples) {
            int peak = 0;
            for (std::int16_t v : s.frames)
                peak = std::max(peak, std::abs(int{v}));
            const int full = s.sixteenBit() ? 32767 : 127;
            EXPECT_GT(peak, full * 3 / 4) << ins.name; // well used
            EXPECT_LT(peak, full) << ins.name;         // headroom kept
        }
}

// Note A-4 of every tonal sample sounds at 440 Hz. In the linear table note
// A-4 (index 57) with relative note n and finetune f plays a sample at
// 8363 x 2^((57 - 48 + n) / 12 + f / 1536) frames a second; the sample's
// period is measured from its data (the lag of the strongest
// autocorrelation), so the test needs nothing from the generator's code.
TEST(ModuleInstruments, TonesPlayInTuneAtA440)
{
    int checked = 0;
    for (const auto& ins : module().instruments) {
        if (ins.name != "Bass" && ins.name != "Long bass" && ins.name != "Pad" && ins.name != "Gate pad" && ins.name != "Lead" &&
            ins.name.rfind("Chip", 0) != 0)
            continue;
        for (const auto& s : ins.samples) {
            // The loop holds whole cycles: read it circularly.
            const std::size_t loop = s.loopLengthBytes / (s.sixteenBit() ? 2 : 1);
            ASSERT_GT(loop, 0u) << ins.name;
            // Normalised autocorrelation over 2048 frames.
            std::vector<double> r(1201, 0.0);
            for (std::size_t lag = 24; lag <= 1200; ++lag) {
                double xy = 0.0, xx = 0.0, yy = 0.0;
                for (std::size_t i = 0; i < 2048; ++i) {
                    const double x = s.frames[i % loop], y = s.frames[(i + lag) % loop];
                    xy += x * y;
                    xx += x * x;
                    yy += y * y;
                }
                r[lag] = xy / std::sqrt(xx * yy);
            }
            const double top = *std::max_element(r.begin(), r.end());
            // The period is the first local peak close to the highest one
            // (its multiples score as high).
            int bestLag = 0;
            for (std::size_t lag = 25; lag < 1200 && bestLag == 0; ++lag)
                if (r[lag] >= 0.9 * top && r[lag] >= r[lag - 1] && r[lag] >= r[lag + 1])
                    bestLag = static_cast<int>(lag);
            ASSERT_GT(bestLag, 0) << ins.name;
            const double rate = 8363.0 * std::pow(2.0, (57 - 48 + s.relativeNote) / 12.0 + s.finetune / 1536.0);
            const double cents = 1200.0 * std::log2(rate / bestLag / 440.0);
            EXPECT_NEAR(cents, 0.0, 5.0) << ins.name << ": period " << bestLag;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 8); // two basses, pad, gate pad, three lead samples, chip
}

// A held note (a looping sample whose volume envelope sustains or loops)
// must be released or cut before a stretch where its channel plays nothing, or it drones
// on under the next section. Every instrument is also played somewhere.
TEST(ModuleInstruments, NoHeldNoteDronesIntoASilentSectionAndAllArePlayed)
{
    const auto& m = module();
    const auto rows = module_scan::playedRows(m);
    std::vector<int> sounding(static_cast<std::size_t>(m.channels), 0); // held instrument, 0 = none
    std::set<int> played;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& r = rows[i];
        if (r.row == 0) {
            // A pattern that leaves a channel silent: nothing may still be held there.
            for (int c = 0; c < m.channels; ++c) {
                bool any = false;
                for (int k = 0; k < m.patterns[static_cast<std::size_t>(r.pattern)].rows; ++k)
                    any |= m.cell(r.pattern, k, c).note != 0;
                EXPECT_TRUE(any || sounding[static_cast<std::size_t>(c)] == 0)
                    << "instrument " << sounding[static_cast<std::size_t>(c)] << " held on channel " << c
                    << " into order " << r.order;
            }
        }
        for (int c = 0; c < m.channels; ++c) {
            const auto& cell = m.cell(r.pattern, r.row, c);
            auto& held = sounding[static_cast<std::size_t>(c)];
            if (cell.note != 0 && cell.note != 97 && cell.instrument != 0) {
                played.insert(cell.instrument);
                const auto& ins = m.instruments[static_cast<std::size_t>(cell.instrument - 1)];
                bool loops = false; // a one-shot sample ends by itself
                for (const auto& smp : ins.samples)
                    loops |= smp.loopType() != 0;
                held = loops && (ins.volumeType & 1) && (ins.volumeType & 6) ? cell.instrument : 0;
            }
            if (cell.note == 97 || (cell.effect == 0xE && (cell.param >> 4) == 0xC))
                held = 0; // key-off, or a note cut
        }
    }
    EXPECT_EQ(static_cast<int>(played.size()), m.instrumentCount);
}

TEST(ModuleEffects, TheTrackerEffectsOfThePiece)
{
    std::map<int, int> uses; // effect number (E sub-effects as 0xE0 + x) -> count
    const auto& m = module();
    for (const auto& r : module_scan::playedRows(m))
        for (int c = 0; c < m.channels; ++c) {
            const auto& cell = m.cell(r.pattern, r.row, c);
            if (cell.effect == 0 && cell.param == 0)
                continue;
            uses[cell.effect == 0xE ? 0xE0 + (cell.param >> 4) : cell.effect] += 1;
        }
    EXPECT_GT(uses[0x0], 0) << "arpeggio";
    EXPECT_GT(uses[0x1], 0) << "portamento up";
    EXPECT_GT(uses[0x2], 0) << "portamento down";
    EXPECT_GT(uses[0x3], 0) << "tone portamento";
    EXPECT_GT(uses[0x4], 0) << "vibrato";
    EXPECT_GT(uses[0x8], 0) << "panning";
    EXPECT_GT(uses[0xA], 0) << "volume slide";
    EXPECT_EQ(uses[0xD], 1) << "pattern break";
    EXPECT_GT(uses[0xE9], 0) << "retrigger";
    EXPECT_GT(uses[0xEC], 0) << "note cut";
    EXPECT_GT(uses[0xED], 0) << "note delay";
    EXPECT_GT(uses[32], 0) << "markers";
}

} // namespace
