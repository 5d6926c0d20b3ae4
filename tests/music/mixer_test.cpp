// The mixer: expected frames worked out by hand from the product table, the
// loop rules and the clipping.
#include "music/mixer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

using namespace music;

namespace {

// A sample with the guard bytes every pool block has around its data.
struct TestSample {
    std::vector<std::uint8_t> block;
    const std::uint8_t* data() const { return block.data() + 128; }
    explicit TestSample(const std::vector<std::int8_t>& values)
        : block(128 + values.size() + 128 + 1024, 0)
    {
        std::memcpy(block.data() + 128, values.data(), values.size());
    }
    explicit TestSample(const std::vector<std::int16_t>& values)
        : block(128 + 2 * values.size() + 128 + 1024, 0)
    {
        std::memcpy(block.data() + 128, values.data(), 2 * values.size());
    }
};

Channel channelFor(const TestSample& s, int frames, int bits = 8)
{
    Channel ch;
    ch.sampleData = s.data();
    ch.active = 1;
    ch.length = frames;
    ch.bits = bits;
    ch.stepInt = 1;
    ch.leftGain = 1;
    ch.rightGain = 1;
    return ch;
}

std::vector<std::int16_t> mix(std::vector<Channel>& channels, int frames, bool flip = false, bool mmx = false)
{
    static Mixer mixer;
    std::vector<std::int16_t> out(2 * static_cast<std::size_t>(frames), 0x5555);
    if (mmx)
        mixer.mixChannelsMmx(channels, out.data(), static_cast<std::uint32_t>(4 * frames), volumeTable(), flip);
    else
        mixer.mixChannels(channels, out.data(), static_cast<std::uint32_t>(4 * frames), volumeTable(), flip);
    return out;
}

std::vector<std::int8_t> ramp(int n)
{
    std::vector<std::int8_t> v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        v[static_cast<std::size_t>(i)] = static_cast<std::int8_t>(i);
    return v;
}

// Left values of the frames (both sides carry the same value with gains 1/1).
std::vector<int> lefts(const std::vector<std::int16_t>& out)
{
    std::vector<int> v;
    for (std::size_t i = 0; i < out.size(); i += 2)
        v.push_back(out[i]);
    return v;
}

} // namespace

TEST(VolumeTable, ProductsOfGainAndSignedByteOnAlignedRows)
{
    const VolumeTable& t = volumeTable();
    EXPECT_EQ(t.rows[63][100], 6300);
    EXPECT_EQ(t.rows[63][0x80], 63 * -128);
    EXPECT_EQ(t.rows[71][255], -71);
    EXPECT_EQ(t.rows[0][77], 0);
    EXPECT_EQ(t.rows[255][127], 32385);
    for (int g : {0, 1, 100, 255})
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(t.rows[g]) % 1024, 0u);
}

TEST(Mixer, EqualGainsAddTheProductToBothSidesAndChannelsSum)
{
    const TestSample s(std::vector<std::int8_t>(64, 100));
    std::vector<Channel> one{channelFor(s, 64)};
    one[0].leftGain = one[0].rightGain = 63;
    auto out = mix(one, 4);
    EXPECT_EQ(out[0], 6300);
    EXPECT_EQ(out[1], 6300);
    std::vector<Channel> two{channelFor(s, 64), channelFor(s, 64)};
    for (Channel& ch : two)
        ch.leftGain = ch.rightGain = 63;
    out = mix(two, 4);
    EXPECT_EQ(out[6], 12600);
    EXPECT_EQ(out[7], 12600);
}

TEST(Mixer, TwoGainsAndSilentChannels)
{
    const TestSample s(std::vector<std::int8_t>(64, -3));
    std::vector<Channel> chs{channelFor(s, 64), channelFor(s, 64)};
    chs[0].leftGain = 10;
    chs[0].rightGain = 0;
    chs[1].leftGain = 0;
    chs[1].rightGain = 0; // nothing read or added, but the position moves
    chs[1].stepInt = 2;
    const auto out = mix(chs, 21);
    for (int i = 0; i < 21; ++i) {
        EXPECT_EQ(out[2 * i], -30);
        EXPECT_EQ(out[2 * i + 1], 0);
    }
    EXPECT_EQ(chs[0].positionInt, 21);
    EXPECT_EQ(chs[1].positionInt, 42);
}

TEST(Mixer, ClipsToPlusMinus32767AndFlipNegatesTheRight)
{
    const TestSample up(std::vector<std::int8_t>(16, 100));
    const TestSample down(std::vector<std::int8_t>(16, -100));
    std::vector<Channel> chs{channelFor(up, 16), channelFor(up, 16), channelFor(down, 16), channelFor(down, 16)};
    for (int i = 0; i < 2; ++i) {
        chs[static_cast<std::size_t>(i)].leftGain = 200; // 2 x 20000 = 40000 on the left
        chs[static_cast<std::size_t>(i)].rightGain = 0;
        chs[static_cast<std::size_t>(i + 2)].leftGain = 0; // -40000 on the right
        chs[static_cast<std::size_t>(i + 2)].rightGain = 200;
    }
    std::vector<Channel> again = chs;
    auto out = mix(chs, 2);
    EXPECT_EQ(out[0], 32767);
    EXPECT_EQ(out[1], -32767); // not -32768
    out = mix(again, 2, /*flip=*/true);
    EXPECT_EQ(out[0], 32767);
    EXPECT_EQ(out[1], 32767);
}

TEST(Mixer, NonLoopingSampleRendersOneFramePastItsEndThenStops)
{
    // Values 1..100 at frames 0..99; frame 100 is the first zero guard byte.
    std::vector<std::int8_t> v(100);
    for (int i = 0; i < 100; ++i)
        v[static_cast<std::size_t>(i)] = static_cast<std::int8_t>(i + 1);
    const TestSample s(v);
    std::vector<Channel> chs{channelFor(s, 100)};
    auto out = lefts(mix(chs, 100));
    EXPECT_EQ(out[99], 100);
    EXPECT_EQ(chs[0].active, 1); // 101 frames to its event: still playing
    out = lefts(mix(chs, 10));
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(chs[0].active, 0);
    EXPECT_EQ(chs[0].positionInt, 101); // stays where it stopped
}

TEST(Mixer, LoopsPlayFromTheirStartAndTurnOnTheirEndFrames)
{
    // Frames 0..99 hold their index; loop 50..100. Forward: 0..99, then 50..99
    // again. Ping-pong: 0..99, 99 down to 50, 50 up to 99, 99 down...
    const TestSample s(ramp(100));
    for (int type : {1, 2}) {
        std::vector<Channel> chs{channelFor(s, 100)};
        chs[0].loopType = type;
        chs[0].loopStart = 50;
        chs[0].loopEnd = 100;
        const auto out = lefts(mix(chs, 100 + 50 + 50 + 1));
        for (int i = 0; i < 100; ++i)
            ASSERT_EQ(out[static_cast<std::size_t>(i)], i);
        for (int j = 0; j < 50; ++j) {
            ASSERT_EQ(out[static_cast<std::size_t>(100 + j)], type == 1 ? 50 + j : 99 - j) << type;
            ASSERT_EQ(out[static_cast<std::size_t>(150 + j)], 50 + j) << type;
        }
        EXPECT_EQ(out[200], type == 1 ? 50 : 99);
        EXPECT_EQ(chs[0].direction, type == 1 ? 1 : -1);
        EXPECT_EQ(chs[0].bounced, type == 1 ? 0 : 1);
    }
}

TEST(Mixer, LoopsAtAnyStepReadOnlyTheLoopAndPingPongIsTheLoopThenItsMirror)
{
    // Ping-pong over d (after a lead-in) must render exactly like a forward
    // loop over d followed by d reversed, in both mixers and across calls;
    // and once inside, neither loop reads the marker frames just outside it.
    constexpr int kLead = 5, kLoop = 37, kMarker = 111;
    std::vector<std::int8_t> pingPong(kLead + kLoop + 3, kMarker), mirrored;
    for (int i = 0; i < kLead + kLoop; ++i)
        pingPong[static_cast<std::size_t>(i)] = static_cast<std::int8_t>(i * 3 - 60);
    mirrored.assign(pingPong.begin(), pingPong.begin() + kLead + kLoop);
    mirrored.insert(mirrored.end(), mirrored.rbegin(), mirrored.rbegin() + kLoop);
    mirrored.push_back(kMarker);
    const TestSample ppSample(pingPong), fwSample(mirrored);
    const struct {
        const char* name;
        std::uint32_t fraction;
        int integer;
    } steps[] = {{"1.0", 0, 1}, {"0.7", 45875u << 16, 0}, {"1.37", 24248u << 16, 1}, {"2.9", 58982u << 16, 2}};
    for (const auto& step : steps)
        for (bool mmx : {false, true}) {
            std::vector<Channel> pp{channelFor(ppSample, kLead + kLoop + 3)};
            pp[0].loopType = 2;
            pp[0].loopStart = kLead;
            pp[0].loopEnd = kLead + kLoop;
            std::vector<Channel> fw{channelFor(fwSample, kLead + 2 * kLoop + 1)};
            fw[0].loopType = 1;
            fw[0].loopStart = kLead;
            fw[0].loopEnd = kLead + 2 * kLoop;
            for (Channel* ch : {&pp[0], &fw[0]}) {
                ch->stepInt = step.integer;
                ch->stepFrac = step.fraction;
            }
            std::vector<int> a, b;
            for (int call = 0; call < 9; ++call) { // 9 uneven calls, 1000 frames
                const int frames = call == 8 ? 1000 - 8 * 113 : 113;
                const auto x = lefts(mix(pp, frames, false, mmx));
                const auto y = lefts(mix(fw, frames, false, mmx));
                a.insert(a.end(), x.begin(), x.end());
                b.insert(b.end(), y.begin(), y.end());
            }
            ASSERT_EQ(a, b) << step.name << (mmx ? " second mixer" : "");
            for (int v : a)
                ASSERT_NE(v, kMarker) << step.name;
        }
}

TEST(Mixer, SegmentLengthIsDistanceOverStepPlusOne)
{
    // Step 1.5, loop end 100: 100 / 1.5 + 1 = 67 frames before the wrap.
    const TestSample s(ramp(100));
    std::vector<Channel> chs{channelFor(s, 100)};
    chs[0].loopType = 1;
    chs[0].loopStart = 50;
    chs[0].loopEnd = 100;
    chs[0].stepFrac = 0x80000000u;
    std::vector<Channel> before = chs;
    mix(before, 66);
    EXPECT_EQ(before[0].positionInt, 99); // 66 x 1.5, not wrapped yet
    mix(chs, 67);
    EXPECT_EQ(chs[0].positionInt, 50); // 100.5 - 50
    EXPECT_EQ(chs[0].positionFrac, 0x80000000u);
}

TEST(Mixer, SixteenBitContributions)
{
    // hi 0x12, lo 0x80, gain 64: (64 x -128 >> 8) + 64 x 18 = -32 + 1152 = 1120.
    // 0xFF00 (-256): (0 >> 8) + 64 x -1 = -64. 0x00FF: (64 x -1 >> 8) + 0 = -1.
    const TestSample s(std::vector<std::int16_t>{0x1280, static_cast<std::int16_t>(0xFF00), 0x00FF, 0x7FFF});
    std::vector<Channel> chs{channelFor(s, 4, 16)};
    chs[0].leftGain = 64;
    chs[0].rightGain = 32;
    const auto out = mix(chs, 4);
    EXPECT_EQ(out[0], 1120);
    EXPECT_EQ(out[1], (32 * -128 >> 8) + 32 * 18);
    EXPECT_EQ(out[2], -64);
    EXPECT_EQ(out[4], -1);
    EXPECT_EQ(out[6], (64 * -1 >> 8) + 64 * 127);
}

TEST(Mixer, SixteenBitPingPongPlaysBackward)
{
    std::vector<std::int16_t> v(40);
    for (int i = 0; i < 40; ++i)
        v[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i * 256); // hi byte = i, lo 0
    const TestSample s(v);
    std::vector<Channel> chs{channelFor(s, 40, 16)};
    chs[0].loopType = 2;
    chs[0].loopStart = 10;
    chs[0].loopEnd = 40;
    chs[0].leftGain = chs[0].rightGain = 2;
    const auto out = lefts(mix(chs, 40 + 31));
    EXPECT_EQ(out[39], 2 * 39);
    EXPECT_EQ(out[40], 2 * 39); // the end frame twice, then downward
    EXPECT_EQ(out[41], 2 * 38);
    EXPECT_EQ(out[69], 2 * 10);
    EXPECT_EQ(out[70], 2 * 10); // the start frame twice
}

TEST(Mixer, StartsBeyondTheEndAtTheEnd)
{
    const TestSample s(ramp(100));
    std::vector<Channel> chs{channelFor(s, 100)};
    chs[0].positionInt = 5000; // e.g. a sample offset past the data
    const auto out = lefts(mix(chs, 3));
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(chs[0].active, 0);
}

TEST(Mixer, StepZeroAndStepsLongerThanTheLoopStayInside)
{
    const TestSample s(ramp(100));
    std::vector<Channel> still{channelFor(s, 100)};
    still[0].stepInt = 0;
    still[0].positionInt = 100; // at its end, not moving: no division by zero, no hang
    mix(still, 50);
    EXPECT_EQ(still[0].positionInt, 100);

    for (int type : {1, 2}) {
        std::vector<Channel> fast{channelFor(s, 100)};
        fast[0].loopType = type;
        fast[0].loopStart = 90;
        fast[0].loopEnd = 97;
        fast[0].stepInt = 45;
        fast[0].stepFrac = 0x12340000u;
        const auto out = lefts(mix(fast, 4000));
        for (int v : out)
            ASSERT_TRUE(v == 0 || (v >= 0 && v < 100)) << v;
        EXPECT_EQ(fast[0].active, 1);
        EXPECT_GE(fast[0].positionInt, 90);
        EXPECT_LE(fast[0].positionInt, 97);
    }
}

TEST(Mixer, LongRequestsAreRenderedInPasses)
{
    const TestSample s(std::vector<std::int8_t>(64, 7));
    std::vector<Channel> chs{channelFor(s, 64)};
    chs[0].loopType = 1;
    chs[0].loopStart = 0;
    chs[0].loopEnd = 64;
    const auto out = lefts(mix(chs, 20000));
    for (std::size_t i = 0; i < out.size(); ++i)
        ASSERT_EQ(out[i], 7) << i; // the second pass too; the loop never reads the guard frame
}

TEST(Mixer, TailsOfEveryLengthMatchFrameByFrameRendering)
{
    // The unrolled body and the tail must give the same frames as rendering
    // one frame per call.
    std::vector<std::int8_t> v(300);
    for (int i = 0; i < 300; ++i)
        v[static_cast<std::size_t>(i)] = static_cast<std::int8_t>((i * 37) % 251 - 125);
    const TestSample s(v);
    for (int frames : {1, 15, 16, 17, 33, 47}) {
        std::vector<Channel> block{channelFor(s, 300)};
        block[0].leftGain = 9;
        block[0].rightGain = 5;
        block[0].stepFrac = 0x60000000u;
        std::vector<Channel> single = block;
        const auto whole = mix(block, frames);
        for (int i = 0; i < frames; ++i) {
            const auto one = mix(single, 1);
            ASSERT_EQ(one[0], whole[2 * static_cast<std::size_t>(i)]) << frames << " " << i;
            ASSERT_EQ(one[1], whole[2 * static_cast<std::size_t>(i) + 1]);
        }
    }
}

TEST(MixerMmx, SaturatesIn16BitsSkipsSixteenBitSamplesAndIgnoresFlip)
{
    const TestSample loud(std::vector<std::int8_t>(32, 127));
    const TestSample quiet(std::vector<std::int8_t>(32, -128));
    const TestSample wide(std::vector<std::int16_t>(32, 0x4000));
    std::vector<Channel> chs{channelFor(loud, 32), channelFor(loud, 32), channelFor(wide, 32, 16)};
    for (Channel& ch : chs)
        ch.leftGain = ch.rightGain = 255; // 255 x 127 = 32385 per channel
    chs[1].rightGain = 1;
    auto out = mix(chs, 20, /*flip=*/true, /*mmx=*/true);
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(out[2 * static_cast<std::size_t>(i)], 32767);
        ASSERT_EQ(out[2 * static_cast<std::size_t>(i) + 1], 32385 + 127);
    }
    EXPECT_EQ(chs[2].positionInt, 20); // moved on, added nothing
    std::vector<Channel> low{channelFor(quiet, 32), channelFor(quiet, 32)};
    for (Channel& ch : low)
        ch.leftGain = ch.rightGain = 255;
    out = mix(low, 3, false, true);
    EXPECT_EQ(out[0], -32768); // saturating add: no final clip to -32767
}
