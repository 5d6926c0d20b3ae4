// The TGA reader on files written by the tests: every depth and type, both
// orientations, colour maps, ID fields, and damaged files of every kind.
#include "console/display.h"
#include "platform/environment.h"
#include "tests/support/surface_helpers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

using display::Surface;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Header {
    int idLength = 0;
    int mapType = 0;
    int type = 2;
    int firstIndex = 0;
    int mapLength = 0;
    int mapBits = 0;
    int width = 1;
    int height = 1;
    int depth = 24;
    int descriptor = 0;
};

void put16(Bytes& b, int v)
{
    b.push_back(static_cast<std::uint8_t>(v & 0xff));
    b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xff));
}

Bytes tga(const Header& h, const Bytes& rest)
{
    Bytes b;
    b.push_back(static_cast<std::uint8_t>(h.idLength));
    b.push_back(static_cast<std::uint8_t>(h.mapType));
    b.push_back(static_cast<std::uint8_t>(h.type));
    put16(b, h.firstIndex);
    put16(b, h.mapLength);
    b.push_back(static_cast<std::uint8_t>(h.mapBits));
    put16(b, 0); // x origin
    put16(b, 0); // y origin
    put16(b, h.width);
    put16(b, h.height);
    b.push_back(static_cast<std::uint8_t>(h.depth));
    b.push_back(static_cast<std::uint8_t>(h.descriptor));
    b.insert(b.end(), rest.begin(), rest.end());
    return b;
}

std::string writeFile(const Bytes& bytes)
{
    // The process id keeps parallel test processes off each other's files.
    static int counter = 0;
    std::string path = testing::TempDir() + "console_tga_" + std::to_string(platform::processId()) + "_" +
                       std::to_string(++counter) + ".tga";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

// Loads the bytes as an image, from a file and from memory; returns its pixels top row first (empty when
// the image could not be read), and what the reader printed.
struct Loaded {
    int width = 0, height = 0;
    bool empty = true;
    std::vector<std::uint32_t> pixels;
    std::string output;
};

Loaded load(const Bytes& bytes)
{
    std::string path = writeFile(bytes);
    Loaded result;
    testing::internal::CaptureStdout();
    {
        Surface image(path.c_str());
        result.empty = image.empty();
        result.width = image.width();
        result.height = image.height();
        if (!image.empty()) {
            EXPECT_EQ(image.format(), display::format32());
            EXPECT_EQ(image.pitch(), image.width() * 4);
            result.pixels = testing_support::pixelsOf(image);
        }
        // The same bytes read from memory give the same image.
        Surface fromMemory{std::span<const std::uint8_t>(bytes)};
        EXPECT_EQ(fromMemory.empty(), image.empty());
        EXPECT_EQ(fromMemory.width(), image.width());
        EXPECT_EQ(fromMemory.height(), image.height());
        if (!fromMemory.empty()) {
            EXPECT_EQ(testing_support::pixelsOf(fromMemory), result.pixels);
        }
    }
    result.output = testing::internal::GetCapturedStdout();
    std::remove(path.c_str());
    // Only the engine's messages may appear besides the reader's own.
    const std::string engine = "Converter initialising: 1\n";
    if (result.output.rfind(engine, 0) == 0)
        result.output.erase(0, engine.size());
    const std::string shutdown = "Converter shutting down\n";
    if (result.output.size() >= shutdown.size() &&
        result.output.compare(result.output.size() - shutdown.size(), shutdown.size(), shutdown) == 0)
        result.output.erase(result.output.size() - shutdown.size());
    return result;
}

using Pixels = std::vector<std::uint32_t>;

} // namespace

TEST(TgaTrueColour, RowsBottomFirstUnlessDescriptorSaysTopFirst)
{
    // Two rows of two 24-bit pixels (blue, green, red bytes); file row 0 is A B, row 1 is C D.
    const Bytes data = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b, 0x0c};
    const std::uint32_t a = 0x030201, b = 0x060504, c = 0x090807, d = 0x0c0b0a;
    Header h;
    h.width = 2;
    h.height = 2;
    Loaded bottomFirst = load(tga(h, data));
    ASSERT_FALSE(bottomFirst.empty);
    EXPECT_EQ(bottomFirst.width, 2);
    EXPECT_EQ(bottomFirst.height, 2);
    EXPECT_EQ(bottomFirst.pixels, (Pixels{c, d, a, b}));
    EXPECT_EQ(bottomFirst.output, "");

    for (int descriptor : {0x10, 0x20, 0x30, 0x28}) {
        h.descriptor = descriptor;
        EXPECT_EQ(load(tga(h, data)).pixels, (Pixels{a, b, c, d})) << descriptor;
    }
    h.descriptor = 0x08; // attribute bits alone change nothing
    EXPECT_EQ(load(tga(h, data)).pixels, (Pixels{c, d, a, b}));
}

TEST(TgaTrueColour, SixteenAndThirtyTwoBitPixels)
{
    Header h;
    h.width = 3;
    h.depth = 16;
    h.descriptor = 0x20;
    // 0x7fff: every channel 31 -> 0xf8; 0x8000: only the ignored bit; 0x7c1f: red and blue.
    EXPECT_EQ(load(tga(h, {0xff, 0x7f, 0x00, 0x80, 0x1f, 0x7c})).pixels, (Pixels{0x00f8f8f8, 0, 0x00f800f8}));

    h.width = 1;
    h.depth = 32;
    EXPECT_EQ(load(tga(h, {0x10, 0x20, 0x30, 0x40})).pixels, (Pixels{0x40302010}));
}

TEST(TgaTrueColour, IdFieldAndColourMapAreSkipped)
{
    Header h;
    h.idLength = 5;
    h.mapType = 1;
    h.mapLength = 3;
    h.mapBits = 15; // 45 bits: 5 whole bytes are skipped
    const Bytes rest = {'h', 'e', 'l', 'l', 'o', 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0x11, 0x22, 0x33};
    EXPECT_EQ(load(tga(h, rest)).pixels, (Pixels{0x332211}));

    // With colour-map type 0 the map fields are ignored.
    h.mapType = 0;
    h.mapLength = 100;
    h.mapBits = 24;
    EXPECT_EQ(load(tga(h, {'h', 'e', 'l', 'l', 'o', 0x11, 0x22, 0x33})).pixels, (Pixels{0x332211}));
}

TEST(TgaColourMapped, IndicesLookUpTheMap)
{
    Header h;
    h.type = 1;
    h.mapType = 1;
    h.mapLength = 3;
    h.mapBits = 24;
    h.width = 4;
    h.depth = 8;
    h.idLength = 2;
    // ID, then map entries (blue, green, red) 0x112233, 0x445566, 0x778899, then indices.
    const Bytes rest = {0xfe, 0xff, 0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0x99, 0x88, 0x77, 2, 0, 1, 3};
    // Index 3 is outside a three-entry map: black.
    EXPECT_EQ(load(tga(h, rest)).pixels, (Pixels{0x778899, 0x112233, 0x445566, 0}));
}

TEST(TgaColourMapped, FirstIndexShiftsTheMap)
{
    Header h;
    h.type = 1;
    h.firstIndex = 5;
    h.mapLength = 2;
    h.mapBits = 32;
    h.width = 4;
    h.depth = 8;
    const Bytes rest = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 5, 6, 4, 7};
    EXPECT_EQ(load(tga(h, rest)).pixels, (Pixels{0x04030201, 0x08070605, 0, 0}));
}

TEST(TgaColourMapped, SixteenBitEntriesAndSignedSixteenBitIndices)
{
    Header h;
    h.type = 1;
    h.mapLength = 2;
    h.mapBits = 16;
    h.width = 3;
    h.depth = 16;
    const Bytes rest = {0xff, 0x7f, 0x1f, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x80};
    EXPECT_EQ(load(tga(h, rest)).pixels, (Pixels{0x0000f8, 0xf8f8f8, 0}));

    h.mapBits = 15; // stored in two bytes like 16-bit entries
    EXPECT_EQ(load(tga(h, rest)).pixels, (Pixels{0x0000f8, 0xf8f8f8, 0}));
}

TEST(TgaColourMapped, UnusableMapsAndDepths)
{
    Header h;
    h.type = 1;
    h.mapLength = 1;
    h.mapBits = 8; // one byte per entry: not a colour
    h.depth = 8;
    EXPECT_TRUE(load(tga(h, {0x10, 0})).empty);
    h.mapBits = 24;
    h.depth = 24; // colour-mapped pixels are 8 or 16 bits
    EXPECT_TRUE(load(tga(h, {1, 2, 3, 0, 0, 0})).empty);
    // A negative map length is an empty map: every pixel black.
    h.depth = 8;
    h.mapLength = -1;
    EXPECT_EQ(load(tga(h, {0})).pixels, (Pixels{0}));
}

TEST(TgaFailures, MissingFileSaysCantFindAndGivesAnEmptyImage)
{
    testing::internal::CaptureStdout();
    std::string path = testing::TempDir() + "no_such_image.tga";
    {
        Surface image(path.c_str());
        EXPECT_TRUE(image.empty());
        EXPECT_EQ(image.width(), 0);
        EXPECT_EQ(image.height(), 0);
        EXPECT_EQ(image.pitch(), 0);
    }
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("Can't find" + path + "Converter shutting down"), std::string::npos) << output;
}

TEST(TgaFailures, UnsupportedTypesDepthsAndSizesAreQuietlyEmpty)
{
    const Bytes pixel = {1, 2, 3, 4};
    for (int type : {0, 3, 9, 10, 11, 255}) {
        Header h;
        h.type = type;
        Loaded l = load(tga(h, pixel));
        EXPECT_TRUE(l.empty) << type;
        EXPECT_EQ(l.output, "");
    }
    for (int depth : {0, 8, 15, 40, 255}) {
        Header h;
        h.depth = depth;
        EXPECT_TRUE(load(tga(h, Bytes(64, 7))).empty) << depth;
    }
    for (auto [w, hgt] : {std::pair{0, 1}, {1, 0}, {-1, 1}, {1, -5}, {-32768, -32768}}) {
        Header h;
        h.width = w;
        h.height = hgt;
        EXPECT_TRUE(load(tga(h, Bytes(64, 7))).empty) << w << "x" << hgt;
    }
}

TEST(TgaFailures, TruncatedFilesAreEmptyAndNeverReadPastTheEnd)
{
    Header h;
    h.width = 4;
    h.height = 4;
    h.idLength = 3;
    h.mapType = 1;
    h.mapLength = 2;
    h.mapBits = 24;
    const Bytes full = tga(h, Bytes(3 + 6 + 16 * 3, 0x5a));
    ASSERT_FALSE(load(full).empty);
    for (std::size_t size = 0; size < full.size(); ++size) {
        Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_TRUE(load(cut).empty) << size;
    }

    Header mapped;
    mapped.type = 1;
    mapped.mapLength = 200;
    mapped.mapBits = 32;
    EXPECT_TRUE(load(tga(mapped, Bytes(100, 1))).empty); // map longer than the file
}

TEST(TgaFailures, ADeviceThatNeverEndsGivesAnEmptyImage)
{
    testing::internal::CaptureStdout();
    Surface image("/dev/zero");
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(image.empty());
    EXPECT_EQ(output.find("Can't find"), std::string::npos);
}

TEST(TgaFailures, AbsurdSizeIsRefusedWithoutAllocatingIt)
{
    Header h;
    h.width = 32767;
    h.height = 32767;
    h.depth = 32;
    EXPECT_TRUE(load(tga(h, Bytes(1024, 0xff))).empty);
}

TEST(TgaFailures, RandomAndMutatedFilesNeverCrash)
{
    std::mt19937 random(20240611);
    Header h;
    h.width = 7;
    h.height = 5;
    h.type = 1;
    h.mapLength = 16;
    h.mapBits = 24;
    h.depth = 8;
    const Bytes valid = tga(h, Bytes(16 * 3 + 35, 9));
    for (int round = 0; round < 300; ++round) {
        Bytes bytes;
        if (round % 2 == 0) {
            bytes.resize(random() % 200);
            for (auto& b : bytes)
                b = static_cast<std::uint8_t>(random());
            if (bytes.size() > 2)
                bytes[2] = static_cast<std::uint8_t>(random() % 3); // often a readable type
        } else {
            bytes = valid;
            for (int k = 0; k < 4; ++k)
                bytes[random() % 18] = static_cast<std::uint8_t>(random());
            bytes.resize(random() % (bytes.size() + 50), 0x77);
        }
        Loaded l = load(bytes);
        if (!l.empty) {
            ASSERT_GT(l.width, 0);
            ASSERT_GT(l.height, 0);
            ASSERT_LE(static_cast<std::size_t>(l.width) * l.height, bytes.size());
        }
    }
}

TEST(TgaEmptyImage, IsNothingToDrawEverywhere)
{
    testing::internal::CaptureStdout();
    {
        Surface image((testing::TempDir() + "missing.tga").c_str());
        Surface target(4, 4, display::format32());
        target.clear(display::Color(1.0f, 1.0f, 1.0f));
        EXPECT_NO_THROW(image.copy(target));
        EXPECT_NO_THROW(image.copy(target, display::Area(0, 0, 4, 4), display::Area(0, 0, 4, 4)));
        EXPECT_NO_THROW(target.copy(image));
        EXPECT_NO_THROW(image.clear(display::Color(0.0f, 0.0f, 0.0f)));
        auto* p = static_cast<std::uint32_t*>(target.lock());
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(p[i], 0x00ffffffu);
        target.unlock();
        EXPECT_EQ(image.lock(), nullptr);
        image.unlock();
    }
    testing::internal::GetCapturedStdout();
}
