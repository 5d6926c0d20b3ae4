// The browser layer's pure parts, run natively: pages to canvas RGBA, the
// canvas checksum, and the heard-audio clock.
#include "platform/audio_position_clock.h"
#include "platform/rgba_pixels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(RgbaPixels, WordsBecomeRedGreenBlueAndOpaqueAlphaRowPaddingSkipped)
{
    // Two rows of two pixels, each row padded to 12 bytes; the padding and
    // the words' top bytes must not reach the output.
    const std::uint32_t words[2][3] = {{0x00123456, 0xFF0000FF, 0xDEADBEEF}, {0x7Fabcdef, 0x00000000, 0xDEADBEEF}};
    std::uint8_t page[24];
    std::memcpy(page, words, sizeof page);
    std::vector<std::uint8_t> rgba(16, 0xAA);
    platform::pageToRgba(page, 12, 2, 2, rgba.data());
    const std::vector<std::uint8_t> expected = {0x12, 0x34, 0x56, 255, 0x00, 0x00, 0xFF, 255,
                                                0xab, 0xcd, 0xef, 255, 0x00, 0x00, 0x00, 255};
    EXPECT_EQ(rgba, expected);
}

TEST(RgbaPixels, ChecksumIsFnv1aOfTheBytes)
{
    const struct {
        std::string bytes;
        std::uint32_t hash;
    } cases[] = {{"", 0x811c9dc5u}, {"a", 0xe40c292cu}, {"foobar", 0xbf9cf968u}};
    for (const auto& c : cases)
        EXPECT_EQ(platform::rgbaChecksum(reinterpret_cast<const std::uint8_t*>(c.bytes.data()),
                                         static_cast<std::uint32_t>(c.bytes.size())),
                  c.hash)
            << c.bytes;
}

TEST(AudioPositionClock, HeardFramesFollowTheBlocksPlayingTimes)
{
    platform::AudioPositionClock clock([] { return 0.0; });
    clock.reset(1000); // one frame a millisecond
    EXPECT_EQ(clock.heardFrames(5.0), 0u);  // nothing handed over yet
    clock.delivered(100, 1.0);              // frames 0-99 play from 1.0 s
    const struct {
        double seconds;
        std::uint64_t heard;
    } first[] = {{0.5, 0}, {1.0, 0}, {1.05, 50}, {1.2, 100}}; // capped at the block's end
    for (const auto& c : first)
        EXPECT_EQ(clock.heardFrames(c.seconds), c.heard) << c.seconds;
    EXPECT_EQ(clock.aheadFrames(1.2), 0u);
    clock.delivered(100, 1.25); // frames 100-199 from 1.25 s, after a gap
    EXPECT_EQ(clock.heardFrames(1.22), 100u);
    EXPECT_EQ(clock.heardFrames(1.30), 150u);
    EXPECT_EQ(clock.aheadFrames(1.30), 50u);
    clock.delivered(100, 1.33); // frames 200-299 start before 100-199 ended
    EXPECT_EQ(clock.heardFrames(1.34), 210u);
    EXPECT_EQ(clock.heardFrames(1.31), 210u); // an earlier time never goes back
    EXPECT_EQ(clock.deliveredFrames(), 300u);
}

TEST(AudioPositionClock, MillisecondsAreWholeAndStartOverOnReset)
{
    double now = 0.0;
    platform::AudioPositionClock clock([&] { return now; });
    clock.reset(44100);
    clock.delivered(4096, 0.0);
    now = 0.05; // floor(0.05 x 44100) = 2205 frames = 50 ms
    EXPECT_EQ(clock.nowMs(), 50u);
    now = 0.0501; // 2209 frames: floor(2209000 / 44100) = 50 ms
    EXPECT_EQ(clock.nowMs(), 50u);
    now = 1.0; // capped at the 4096 frames handed over: floor(4096000 / 44100) = 92 ms
    EXPECT_EQ(clock.nowMs(), 92u);
    clock.reset(44100);
    EXPECT_EQ(clock.nowMs(), 0u);
    EXPECT_EQ(clock.deliveredFrames(), 0u);
}

} // namespace
