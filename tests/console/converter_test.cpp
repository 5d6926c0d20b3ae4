// The conversion engine: every row of the table against values worked out by
// hand, the generic converter, the reuse rule and the engine's messages.
#include "console/converter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using display::Converter;
using display::Format;

namespace {

const Format rgb32 = display::format32();

// Holds one reference so that the engine is set up during the test.
struct EngineTest : testing::Test {
    display::ConverterHold hold;
    void SetUp() override
    {
        testing::internal::CaptureStdout();
        hold.acquire();
        testing::internal::GetCapturedStdout();
    }
};

// Converts one source pixel and returns the destination's bytes.
std::vector<std::uint8_t> convertOne(std::uint32_t c, const Format& destination)
{
    EXPECT_TRUE(Converter::request(rgb32, destination));
    std::vector<std::uint8_t> out(4, 0xee);
    Converter::convert(&c, 0, 0, 1, 1, 4, out.data(), 0, 0, 1, 1, 4);
    out.resize(static_cast<std::size_t>(destination.bytes()));
    return out;
}

std::uint32_t valueOf(const std::vector<std::uint8_t>& bytes)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        v |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return v;
}

std::uint32_t convertValue(std::uint32_t c, const Format& destination)
{
    testing::internal::CaptureStdout();
    std::uint32_t v = valueOf(convertOne(c, destination));
    testing::internal::GetCapturedStdout();
    return v;
}

} // namespace

TEST(MaskTop, OneAboveTheLowestRunOfOnes)
{
    EXPECT_EQ(display::maskTop(0), 0);
    EXPECT_EQ(display::maskTop(0x1f), 5);
    EXPECT_EQ(display::maskTop(0xf800), 16);
    EXPECT_EQ(display::maskTop(0xff000000), 32);
    EXPECT_EQ(display::maskTop(0x0f0f), 4); // lowest run only
}

TEST_F(EngineTest, ThirtyTwoBitRows)
{
    // Copy keeps the top byte; the exchange swaps red and blue and keeps it.
    EXPECT_EQ(convertValue(0x12345678, rgb32), 0x12345678u);
    EXPECT_EQ(convertValue(0x12345678, Format(32, 0xff, 0xff00, 0xff0000)), 0x12785634u);
    // Alpha masks take no part in the choice.
    EXPECT_EQ(convertValue(0x12345678, Format(32, 0xff0000, 0xff00, 0xff, 0xff000000)), 0x12345678u);
}

TEST_F(EngineTest, TwentyFourBitRowsWriteBytesInMemoryOrder)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(convertOne(0xaa112233, Format(24, 0xff0000, 0xff00, 0xff)), (std::vector<std::uint8_t>{0x33, 0x22, 0x11}));
    EXPECT_EQ(convertOne(0xaa112233, Format(24, 0xff, 0xff00, 0xff0000)), (std::vector<std::uint8_t>{0x11, 0x22, 0x33}));
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(Converter::request(rgb32, Format(24, 0xff00, 0xff0000, 0xff)));
}

TEST_F(EngineTest, SixteenBitRows)
{
    // 0x00ff8040: red 11111(1..), green 100000(00), blue 01000(000).
    EXPECT_EQ(convertValue(0x00ff8040, Format(16, 0xf800, 0x7e0, 0x1f)), 0xfc08u); // 11111 100000 01000
    EXPECT_EQ(convertValue(0x00ff8040, Format(16, 0x7c00, 0x3e0, 0x1f)), 0x7e08u); // 0 11111 10000 01000
    EXPECT_EQ(convertValue(0x00ff8040, Format(16, 0x1f, 0x7e0, 0xf800)), 0x441fu); // 01000 100000 11111
    EXPECT_EQ(convertValue(0x00ff8040, Format(16, 0x1f, 0x3e0, 0x7c00)), 0x221fu); // 0 01000 10000 11111
    // Low bits are dropped, never rounded: 0x07 in each channel gives 0.
    EXPECT_EQ(convertValue(0x00070307, Format(16, 0xf800, 0x7e0, 0x1f)), 0u);
    EXPECT_EQ(convertValue(0xffffffff, Format(16, 0xf800, 0x7e0, 0x1f)), 0xffffu);
}

TEST_F(EngineTest, EightBitRow)
{
    const Format rgb332(8, 0xe0, 0x1c, 0x3);
    EXPECT_EQ(convertValue(0x00ffffff, rgb332), 0xffu);
    EXPECT_EQ(convertValue(0x00808080, rgb332), 0x92u); // 100 100 10
    EXPECT_EQ(convertValue(0x00ff8040, rgb332), 0xf1u); // 111 100 01
    EXPECT_FALSE(Converter::request(rgb32, Format(8, 0x3, 0x1c, 0xe0)));
    EXPECT_FALSE(Converter::request(rgb32, Format(8)));
}

TEST_F(EngineTest, GenericConverterShiftsEachChannelToItsMask)
{
    // Red moves left by 8 bits; green and blue likewise; the top byte is lost.
    EXPECT_EQ(convertValue(0xaaff8040, Format(32, 0xff000000, 0xff0000, 0xff00)), 0xff804000u);
    // 4-4-4 in the top nibbles: red (c >> 8) & 0xf000, green (c >> 4) & 0xf00, blue c & 0xf0.
    EXPECT_EQ(convertValue(0x00ff8040, Format(16, 0xf000, 0x0f00, 0x00f0)), 0xf840u);
    // 4-4-4 low: tops 12, 8, 4.
    EXPECT_EQ(convertValue(0x00ff8040, Format(16, 0x0f00, 0x00f0, 0x000f)), 0x0f84u);
    // 10-10-10: channels wider than the source take the neighbour's top bits
    // (left shifts of the whole word): red (c << 6) & 0x3ff00000 = 0x3fe00000,
    // green (c << 4) & 0xffc00 = 0x80400, blue (c << 2) & 0x3ff = 0x100.
    EXPECT_EQ(convertValue(0x00ff8040, Format(32, 0x3ff00000, 0xffc00, 0x3ff)), 0x3fe80500u);
}

TEST_F(EngineTest, IndexedDestinationsAreRefused)
{
    EXPECT_FALSE(Converter::request(rgb32, Format(8)));
    EXPECT_FALSE(Converter::request(Format(16, 0xf800, 0x7e0, 0x1f), rgb32)); // no 16-bit source rows
}

TEST_F(EngineTest, SelectionMessagesAndReuse)
{
    const Format rgb565(16, 0xf800, 0x7e0, 0x1f);
    const Format shifted(32, 0xff000000, 0xff0000, 0xff00);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(Converter::request(rgb32, rgb565));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "C Converter \n");

    testing::internal::CaptureStdout();
    ASSERT_TRUE(Converter::request(rgb32, rgb565)); // same pair: silent
    ASSERT_TRUE(Converter::request(rgb32, Format(16, 0xf800, 0x7e0, 0x1f, 0xffff0000))); // alpha takes no part
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    testing::internal::CaptureStdout();
    ASSERT_TRUE(Converter::request(rgb32, shifted));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "C Converter (Generic)\n");

    testing::internal::CaptureStdout();
    EXPECT_FALSE(Converter::request(rgb32, Format(8))); // refused: prints nothing, keeps the last pair
    ASSERT_TRUE(Converter::request(rgb32, shifted));
    ASSERT_TRUE(Converter::request(rgb32, rgb565));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "C Converter \n");
}

TEST_F(EngineTest, ConvertsTheSmallerSizeOfEachSideAtTheGivenPositions)
{
    testing::internal::CaptureStdout();
    ASSERT_TRUE(Converter::request(rgb32, rgb32));
    testing::internal::GetCapturedStdout();
    // 320x200 source into a 320x240 destination: 200 rows.
    std::vector<std::uint32_t> source(320 * 200, 0x00123456);
    std::vector<std::uint32_t> destination(320 * 240, 0xdeadbeef);
    Converter::convert(source.data(), 0, 0, 320, 200, 1280, destination.data(), 0, 0, 320, 240, 1280);
    EXPECT_EQ(destination[320 * 199 + 319], 0x00123456u);
    EXPECT_EQ(destination[320 * 200], 0xdeadbeefu);

    // A source wider than the destination: only the destination's width.
    std::vector<std::uint32_t> narrow(3 * 2, 0xdeadbeef);
    Converter::convert(source.data(), 0, 0, 5, 2, 1280, narrow.data(), 0, 0, 2, 2, 12);
    EXPECT_EQ(narrow[0], 0x00123456u);
    EXPECT_EQ(narrow[1], 0x00123456u);
    EXPECT_EQ(narrow[2], 0xdeadbeefu);
    EXPECT_EQ(narrow[4], 0x00123456u);

    // Positions count in each side's own pixels; nothing happens for empty sizes.
    testing::internal::CaptureStdout();
    ASSERT_TRUE(Converter::request(rgb32, Format(16, 0xf800, 0x7e0, 0x1f)));
    testing::internal::GetCapturedStdout();
    std::uint32_t src[4] = {0, 0x00ff0000, 0x0000ff00, 0x000000ff};
    std::uint16_t dst[6] = {};
    Converter::convert(src, 1, 0, 3, 1, 16, dst, 2, 1, 1, 1, 6); // one pixel: the destination is 1 wide
    const std::uint16_t expected[6] = {0, 0, 0, 0, 0, 0xf800};
    EXPECT_EQ(std::memcmp(dst, expected, sizeof dst), 0);
    Converter::convert(src, 0, 0, 0, 1, 16, dst, 0, 0, 3, 1, 6);
    Converter::convert(src, 0, 0, 3, -1, 16, dst, 0, 0, 3, 1, 6);
    EXPECT_EQ(std::memcmp(dst, expected, sizeof dst), 0);
}

TEST_F(EngineTest, LongRowsMatchThePixelFormulaEverywhere)
{
    // The rows work eight pixels at a time: check every position of rows of
    // several lengths and unaligned starts against the table's formulas.
    std::vector<std::uint32_t> source(340);
    std::uint32_t seed = 12345;
    for (auto& c : source) {
        seed = seed * 1103515245u + 12345u;
        c = seed ^ (seed >> 13);
    }
    struct Case {
        Format format;
        std::uint32_t (*formula)(std::uint32_t c);
    };
    const Case cases[] = {
        {Format(16, 0xf800, 0x7e0, 0x1f), [](std::uint32_t c) { return ((c >> 8) & 0xf800) | ((c >> 5) & 0x7e0) | ((c >> 3) & 0x1f); }},
        {Format(16, 0x1f, 0x7e0, 0xf800), [](std::uint32_t c) { return ((c & 0xf8) << 8) | ((c >> 5) & 0x7e0) | ((c >> 19) & 0x1f); }},
        {Format(16, 0x7c00, 0x3e0, 0x1f), [](std::uint32_t c) { return ((c >> 9) & 0x7c00) | ((c >> 6) & 0x3e0) | ((c >> 3) & 0x1f); }},
        {Format(16, 0x1f, 0x3e0, 0x7c00), [](std::uint32_t c) { return ((c & 0xf8) << 7) | ((c >> 6) & 0x3e0) | ((c >> 19) & 0x1f); }},
        {Format(16, 0x0f00, 0xf0, 0xf), [](std::uint32_t c) { return ((c >> 12) & 0xf00) | ((c >> 8) & 0xf0) | ((c >> 4) & 0xf); }},
        {Format(8, 0xe0, 0x1c, 0x3), [](std::uint32_t c) { return ((c >> 16) & 0xe0) | ((c >> 11) & 0x1c) | ((c >> 6) & 0x3); }},
        {Format(32, 0xff, 0xff00, 0xff0000), [](std::uint32_t c) { return (c & 0xff000000) | ((c & 0xff) << 16) | (c & 0xff00) | ((c >> 16) & 0xff); }},
        {Format(32, 0xff000000, 0xff0000, 0xff00), [](std::uint32_t c) { return c << 8; }},
        {Format(24, 0xff0000, 0xff00, 0xff), [](std::uint32_t c) { return c & 0xffffff; }},                         // B, G, R bytes
        {Format(24, 0xff, 0xff00, 0xff0000), [](std::uint32_t c) { return ((c & 0xff) << 16) | (c & 0xff00) | ((c >> 16) & 0xff); }}, // R, G, B
    };
    for (const Case& k : cases) {
        testing::internal::CaptureStdout();
        const bool accepted = Converter::request(rgb32, k.format);
        testing::internal::GetCapturedStdout();
        ASSERT_TRUE(accepted);
        const int bytes = k.format.bytes();
        for (int start : {0, 1, 3}) {
            for (int count : {1, 7, 8, 9, 15, 16, 17, 333}) {
                std::vector<std::uint8_t> out(static_cast<std::size_t>(count + 2) * bytes, 0xee);
                Converter::convert(source.data(), start, 0, count, 1, 0, out.data(), 1, 0, count, 1, 0);
                for (int x = 0; x < count; ++x) {
                    std::uint32_t got = 0;
                    for (int b = 0; b < bytes; ++b)
                        got |= static_cast<std::uint32_t>(out[static_cast<std::size_t>((x + 1) * bytes + b)]) << (8 * b);
                    ASSERT_EQ(got, k.formula(source[static_cast<std::size_t>(start + x)]))
                        << k.format.bits() << " bits, start " << start << ", count " << count << ", pixel " << x;
                }
                // Nothing outside the row is touched.
                for (int b = 0; b < bytes; ++b) {
                    ASSERT_EQ(out[static_cast<std::size_t>(b)], 0xee);
                    ASSERT_EQ(out[static_cast<std::size_t>((count + 1) * bytes + b)], 0xee);
                }
            }
        }
    }
}

TEST(ConverterReferences, FirstAndLastReferencePrint)
{
    ASSERT_EQ(Converter::references(), 0) << "a surface outlived its test";
    testing::internal::CaptureStdout();
    {
        display::Surface a(1, 1, rgb32);
        EXPECT_EQ(Converter::references(), 1);
        display::Surface b(1, 1, rgb32);
        EXPECT_EQ(Converter::references(), 2);
    }
    EXPECT_EQ(Converter::references(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Converter initialising: 1\nConverter shutting down\n");

    // A surface that is refused takes no reference.
    testing::internal::CaptureStdout();
    EXPECT_THROW(display::Surface(0, 1, rgb32), display::Error);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(Converter::references(), 0);
}
