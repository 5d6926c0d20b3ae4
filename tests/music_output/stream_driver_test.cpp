// The wave output on a pulled stream (the browser's): the blocks are the
// song's output in order, each block's markers get the audio ahead of it as
// latency, and stop closes the stream before the marker table goes.
#include "music/module_reader.h"
#include "music/output_driver.h"
#include "music/sound_options.h"
#include "music/song.h"
#include "music/stream_driver.h"
#include "tests/music_output/test_module.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using namespace music;

std::unique_ptr<Song> songWithMarkers(const std::vector<std::pair<int, int>>& markers)
{
    auto song = std::make_unique<Song>();
    auto bytes = music_test::writeXm(music_output_test::markerModule(markers));
    EXPECT_TRUE(readModule(*song, bytes).loaded());
    song->start(44100);
    return song;
}

struct FakeStream final : platform::AudioStream {
    std::uint32_t* rate;
    platform::AudioFill* fill;
    bool* closed;
    FakeStream(std::uint32_t* r, platform::AudioFill* f, bool* c) : rate(r), fill(f), closed(c) {}
    bool open(std::uint32_t r, platform::AudioFill f) override
    {
        *rate = r;
        *fill = std::move(f);
        return true;
    }
    void close() override { *closed = true; }
};

TEST(StreamDriver, BlocksAreTheSongsOutputAndMarkersFallDueTheAudioAheadLessAHundredMs)
{
    auto song = songWithMarkers({{0, 7}, {1, 8}});
    auto reference = songWithMarkers({{0, 7}, {1, 8}});
    platform::ManualClock clock(20000); // the heard position stands still: only the latency moves
    song->setClock(clock);
    std::vector<SyncNotice> notices;
    song->setSyncListener([&](const SyncNotice& n) { notices.push_back(n); });

    std::uint32_t rate = 0;
    platform::AudioFill fill;
    bool closed = false;
    OutputDriver driver(*song, kWaveDriver, 44100, nullptr,
                        [&] { return std::make_unique<FakeStream>(&rate, &fill, &closed); });
    ASSERT_EQ(driver.start(), 0);
    EXPECT_EQ(rate, 44100u);
    ASSERT_TRUE(fill);

    // Three blocks, each with a different amount of audio still ahead.
    const std::uint32_t ahead[] = {0, 93, 186};
    std::vector<std::int16_t> block(4096 * 2), expected(4096 * 2);
    std::size_t seen = 0;
    for (std::uint32_t aheadMs : ahead) {
        fill(block.data(), 4096, aheadMs);
        reference->fillBuffer(expected.data(), 4096 * 4);
        EXPECT_EQ(std::memcmp(block.data(), expected.data(), block.size() * 2), 0);
        EXPECT_EQ(song->syncLatency, static_cast<std::int32_t>(aheadMs));
        // Block start on the clock, plus the tick's place in it, plus the
        // audio ahead, less 100 ms.
        const std::uint64_t blockStart = song->renderedFrames() - 4096;
        for (; seen < notices.size(); ++seen) {
            const SyncNotice& n = notices[seen];
            const auto place = static_cast<std::int32_t>(n.frame * 1000 / 44100 - blockStart * 1000 / 44100);
            EXPECT_EQ(n.dueTime, 20000 + place + static_cast<std::int32_t>(aheadMs) - 100) << "marker " << n.value;
        }
    }
    EXPECT_GE(notices.size(), 2u); // rows 0 and 1 come within the first 278 ms
    driver.stop();
    EXPECT_TRUE(closed);
    EXPECT_FALSE(song->syncEvents.created());
}

} // namespace
