// The generated module read back through the program's own module reader
// and played through its player and mixer: no warning from the reader, the
// markers arrive in order at the planned times, and the sound is sound:
// no clipping, no silent gaps where music should play, both channels used.
#include "assets/music/composition.h"
#include "music/module_reader.h"
#include "music/song.h"
#include "platform/clock.h"
#include "tests/support/message_recorder.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

namespace {

constexpr int kRate = 44100;

// Scene starts in music time (see module_content_test.cpp and assets/README.md).
constexpr std::array<double, 13> kMarkerTime = {15.36,  30.72,  46.08,  61.44,  76.80,  92.16, 107.52,
                                                122.88, 130.56, 138.24, 149.76, 165.12, 180.36};

// The module written into a folder of this test process's own.
std::filesystem::path writeModuleFile()
{
    static const testing_support::ScratchDir scratch("assetmusic_through_music");
    const auto path = scratch / "tp.xm";
    const std::vector<std::uint8_t> bytes = assets::music::moduleBytes();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path;
}

// One pass through the song at 44100 Hz, summarised in 100 ms windows.
struct Render {
    std::vector<music::SyncNotice> notices;
    std::vector<double> windowRms; // both channels, full scale = 1
    std::vector<int> windowPeak;
    long long clipped = 0;
    long long framesWithDifferentSides = 0;
    long long frames = 0;
};

const Render& render()
{
    static const Render r = [] {
        Render out;
        auto song = std::make_unique<music::Song>();
        platform::ManualClock clock;
        song->setClock(clock);
        const auto path = writeModuleFile();
        EXPECT_TRUE(music::loadModule(*song, path.string()));
        song->start(kRate);
        song->syncReset(600);
        song->setSyncListener([&out](const music::SyncNotice& n) { out.notices.push_back(n); });
        const long long total = static_cast<long long>(181.0 * kRate);
        const int window = kRate / 10;
        std::vector<std::int16_t> block(static_cast<std::size_t>(window) * 2);
        for (long long done = 0; done + window <= total; done += window) {
            song->fillBuffer(block.data(), static_cast<std::uint32_t>(block.size() * 2));
            double sum = 0.0;
            int peak = 0;
            for (std::size_t i = 0; i < block.size(); i += 2) {
                const int l = block[i], r = block[i + 1];
                sum += double(l) * l + double(r) * r;
                peak = std::max({peak, std::abs(l), std::abs(r)});
                out.clipped += (std::abs(l) >= 32767) + (std::abs(r) >= 32767);
                out.framesWithDifferentSides += l != r;
            }
            out.windowRms.push_back(std::sqrt(sum / double(block.size())) / 32768.0);
            out.windowPeak.push_back(peak);
            out.frames += window;
        }
        song->syncRelease();
        std::filesystem::remove(path);
        return out;
    }();
    return r;
}

double dbfs(double rms) { return 20.0 * std::log10(std::max(rms, 1e-9)); }

TEST(ModuleThroughMusic, ReaderLoadsItWithoutAnyMessage)
{
    testing_support::MessageRecorder recorder;
    auto song = std::make_unique<music::Song>();
    const auto path = writeModuleFile();
    ASSERT_TRUE(music::loadModule(*song, path.string()));
    EXPECT_TRUE(recorder.messages().empty()) << recorder.messages().front().caption << ": "
                                             << recorder.messages().front().text;
    EXPECT_EQ(song->numChannels, assets::music::kChannelCount);
    EXPECT_EQ(song->frequencyMode, 2); // linear
    EXPECT_EQ(song->songLength, 24);
    EXPECT_EQ(song->numPatterns, 24);
    EXPECT_EQ(song->numInstruments, 14);
    EXPECT_EQ(song->speed, assets::music::kSpeed);
    EXPECT_EQ(song->bpm, assets::music::kTempo);
}

TEST(ModuleThroughMusic, SceneMarkersArriveInOrderAtThePlannedTimes)
{
    const Render& r = render();
    std::vector<music::SyncNotice> scenes;
    int zoom = 0, flash = 0, flip = 0;
    for (const auto& n : r.notices) {
        EXPECT_TRUE(n.stored);
        if (n.value >= 1 && n.value <= 13)
            scenes.push_back(n);
        zoom += n.value == 255;
        flash += n.value == 254;
        flip += n.value == 253;
    }
    ASSERT_EQ(scenes.size(), 13u);
    // The player starts one row late (the first row is read on the tick
    // numbered by the speed): the same small offset for every marker.
    const double offset = double(scenes[0].frame) / kRate - kMarkerTime[0];
    EXPECT_GE(offset, 0.0);
    EXPECT_LE(offset, 0.15);
    for (std::size_t i = 0; i < scenes.size(); ++i) {
        EXPECT_EQ(scenes[i].value, i + 1);
        EXPECT_NEAR(double(scenes[i].frame) / kRate - kMarkerTime[i], offset, 0.5 / 50) << "marker " << i + 1;
    }
    // Totals of the plan in assets/README.md.
    EXPECT_EQ(zoom, 16 + 8 + 4 + 16 + 8 + 16 + 32 + 4 + 16);
    EXPECT_EQ(flash, 1 + 1 + 5 + 1 + 1 + 1 + 2 + 1 + 1 + 2);
    EXPECT_EQ(flip, 16 + 16 + 16 + 16 + 16);
}

TEST(ModuleThroughMusic, SoundsWithoutClippingGapsOrMonoCollapse)
{
    const Render& r = render();
    ASSERT_GE(r.windowRms.size(), 1800u);
    EXPECT_EQ(r.clipped, 0);
    // Music from the first second to the last chord: no window below -45 dBFS.
    for (std::size_t w = 10; w < 1780; ++w)
        EXPECT_GT(dbfs(r.windowRms[w]), -45.0) << "quiet at " << double(w) / 10 << " s";
    // The drops are loud, with headroom: mean level of scenes 1 to 11.
    double sum = 0.0;
    for (std::size_t w = 154; w < 1650; ++w)
        sum += r.windowRms[w] * r.windowRms[w];
    const double level = dbfs(std::sqrt(sum / (1650 - 154)));
    EXPECT_GT(level, -24.0);
    EXPECT_LT(level, -8.0);
    // Panned instruments make the two sides differ most of the time.
    EXPECT_GT(double(r.framesWithDifferentSides) / double(r.frames), 0.5);
}

TEST(ModuleThroughMusic, BuildsAndDropsShowInTheLevel)
{
    const Render& r = render();
    auto mean = [&](double from, double to) {
        double s = 0.0;
        const auto a = static_cast<std::size_t>(from * 10), b = static_cast<std::size_t>(to * 10);
        for (std::size_t w = a; w < b; ++w)
            s += r.windowRms[w] * r.windowRms[w];
        return dbfs(std::sqrt(s / double(b - a)));
    };
    const double intro = mean(0.5, 7.5);
    const double drop = mean(16.0, 30.0);
    const double breakdown = mean(46.5, 53.0);
    const double climax = mean(108.0, 122.0);
    const double fading = mean(178.5, 180.3);
    EXPECT_GT(drop, intro + 6.0);
    EXPECT_GT(drop, breakdown + 2.0);
    EXPECT_GT(climax, breakdown + 2.0);
    EXPECT_LT(fading, climax - 12.0);
}

} // namespace
