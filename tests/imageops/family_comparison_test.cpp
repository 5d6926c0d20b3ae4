// The plain and the vector family run over the same random pixels, over runs
// of many lengths (odd ones, short tails of 1 to 3 pixels after the four-pixel
// steps) and from starts that are not 16-byte aligned. Every byte is checked
// against its row of the routine table: equal where the families agree, the
// stated difference where they do not. Pixels outside the run must be left
// alone.
#include "imageops/routines.h"
#include "imageops/scale_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

namespace {

using namespace imageops;

int byteOf(std::uint32_t p, int i) { return (p >> (8 * i)) & 0xff; }
int sat(int v) { return std::min(v, 255); }

// Random pixels whose bytes favour the values where arithmetic goes wrong.
class PixelSource {
public:
    explicit PixelSource(unsigned seed) : random_(seed) {}
    std::uint32_t pixel()
    {
        static const int edges[] = {0, 1, 2, 127, 128, 129, 253, 254, 255};
        std::uint32_t p = 0;
        for (int i = 0; i < 4; ++i) {
            const int b = random_() % 3 == 0 ? edges[random_() % 9] : static_cast<int>(random_() % 256);
            p |= static_cast<std::uint32_t>(b) << (8 * i);
        }
        return p;
    }
    std::vector<std::uint32_t> pixels(std::size_t n)
    {
        std::vector<std::uint32_t> v(n);
        for (auto& p : v)
            p = pixel();
        return v;
    }
    unsigned next() { return random_(); }

private:
    std::mt19937 random_;
};

// (run length, start offset in pixels)
class FamilyComparison : public testing::TestWithParam<std::tuple<int, int>> {
protected:
    FamilyComparison() : table(scaleTableSize), source(1000u * count() + 7u * offset() + 1u)
    {
        buildScaleTable(table.data());
    }
    int count() const { return std::get<0>(GetParam()); }
    int offset() const { return std::get<1>(GetParam()); }
    int T(int i, int j) const { return table[i * 256 + j]; }

    std::vector<std::uint8_t> table;
    PixelSource source;
    static constexpr int guard = 9;
};

TEST_P(FamilyComparison, SaturatingAdd)
{
    // Three rows of `count` pixels; the destination rows are 2 pixels apart,
    // the source rows 5, and both runs start `offset` pixels in.
    const int rows = 3, dstSkip = 2, srcSkip = 5, n = count();
    const std::size_t dstSize = offset() + rows * (n + dstSkip) + guard;
    const std::size_t srcSize = offset() + rows * (n + srcSkip) + guard;
    const auto dst = source.pixels(dstSize), src = source.pixels(srcSize);
    auto plain = dst, vector = dst;
    _saturatenommx(plain.data() + offset(), src.data() + offset(), n, rows, dstSkip, srcSkip);
    _saturatemmx(vector.data() + offset(), src.data() + offset(), n, rows, dstSkip, srcSkip);

    std::vector<bool> inRun(dstSize, false);
    for (int r = 0; r < rows; ++r)
        for (int i = 0; i < n; ++i) {
            const std::size_t di = offset() + r * (n + dstSkip) + i;
            const std::size_t si = offset() + r * (n + srcSkip) + i;
            inRun[di] = true;
            for (int c = 0; c < 3; ++c) {
                ASSERT_EQ(byteOf(plain[di], c), sat(byteOf(dst[di], c) + byteOf(src[si], c))) << di;
                ASSERT_EQ(byteOf(vector[di], c), byteOf(plain[di], c)) << di;
            }
            ASSERT_EQ(byteOf(plain[di], 3), byteOf(dst[di], 3)) << di;
            ASSERT_EQ(byteOf(vector[di], 3), sat(byteOf(dst[di], 3) + byteOf(src[si], 3))) << di;
        }
    for (std::size_t i = 0; i < dstSize; ++i)
        if (!inRun[i]) {
            ASSERT_EQ(plain[i], dst[i]) << i;
            ASSERT_EQ(vector[i], dst[i]) << i;
        }
}

TEST_P(FamilyComparison, ScaledAdd)
{
    const int rows = 2, dstSkip = 3, srcSkip = 1, n = count();
    const std::size_t dstSize = offset() + rows * (n + dstSkip) + guard;
    const std::size_t srcSize = offset() + rows * (n + srcSkip) + guard;
    const auto dst = source.pixels(dstSize), src = source.pixels(srcSize);
    const auto plainLevel = static_cast<std::uint8_t>(source.next());
    const auto vectorLevel = static_cast<std::uint16_t>(source.next());
    auto plain = dst, vector = dst;
    _saturateintnommx(plain.data() + offset(), src.data() + offset(), n, rows, dstSkip, srcSkip, table.data(),
                      plainLevel);
    _saturateintmmx(vector.data() + offset(), src.data() + offset(), n, rows, dstSkip, srcSkip, vectorLevel);

    std::vector<bool> inRun(dstSize, false);
    for (int r = 0; r < rows; ++r)
        for (int i = 0; i < n; ++i) {
            const std::size_t di = offset() + r * (n + dstSkip) + i;
            const std::size_t si = offset() + r * (n + srcSkip) + i;
            inRun[di] = true;
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(byteOf(plain[di], c), sat(byteOf(dst[di], c) + T(plainLevel, byteOf(src[si], c)))) << di;
            ASSERT_EQ(byteOf(plain[di], 3), byteOf(src[si], 3)) << di;
            for (int c = 0; c < 4; ++c) {
                const int scaled = (2 * byteOf(src[si], c) * (vectorLevel >> 1)) >> 16;
                ASSERT_EQ(byteOf(vector[di], c), sat(byteOf(dst[di], c) + scaled)) << di << " byte " << c;
            }
        }
    for (std::size_t i = 0; i < dstSize; ++i)
        if (!inRun[i]) {
            ASSERT_EQ(plain[i], dst[i]) << i;
            ASSERT_EQ(vector[i], dst[i]) << i;
        }
}

TEST_P(FamilyComparison, Average)
{
    const int n = count();
    const std::size_t size = offset() + n + guard;
    const auto a = source.pixels(size), b = source.pixels(size), dst = source.pixels(size);
    auto plain = dst, vector = dst;
    _joinscreennommx(plain.data() + offset(), a.data() + offset(), b.data() + offset(), n);
    _joinscreenmmx(vector.data() + offset(), a.data() + offset(), b.data() + offset(), n);
    for (std::size_t i = 0; i < size; ++i) {
        const int at = static_cast<int>(i) - offset();
        if (at < 0 || at >= n) {
            ASSERT_EQ(plain[i], dst[i]) << i;
            ASSERT_EQ(vector[i], dst[i]) << i;
            continue;
        }
        for (int c = 0; c < 3; ++c)
            ASSERT_EQ(byteOf(plain[i], c), byteOf(a[i], c) / 2 + byteOf(b[i], c) / 2) << i;
        ASSERT_EQ(byteOf(plain[i], 3), 0) << i;
        if (at >= (n & ~1)) { // the vector form's unpaired last pixel
            ASSERT_EQ(vector[i], dst[i]) << i;
            continue;
        }
        for (int c = 0; c < 3; ++c)
            ASSERT_EQ(byteOf(vector[i], c), byteOf(plain[i], c)) << i;
        ASSERT_EQ(byteOf(vector[i], 3), byteOf(a[i], 3) / 2 + byteOf(b[i], 3) / 2) << i;
    }
}

TEST_P(FamilyComparison, Fade)
{
    const int n = count();
    const std::size_t size = offset() + n + guard;
    const auto src = source.pixels(size), dst = source.pixels(size);
    const std::uint32_t colour = source.pixel();
    // Random levels, both ends of each family, and the edges of k.
    std::vector<int> levels = {0, 1, 0x00ff, 0x0100, 0x7fff, 0x8000, 0xfeff, 0xff00, 0xfffe, 0xffff};
    for (int i = 0; i < 6; ++i)
        levels.push_back(static_cast<int>(source.next() & 0xffff));

    for (const int level : levels) {
        auto plain = dst, vector = dst;
        const auto intensity = static_cast<std::uint16_t>(level);
        _fade2colnommx(plain.data() + offset(), src.data() + offset(), colour, intensity, n, table.data());
        _fade2colmmx(vector.data() + offset(), src.data() + offset(), colour, intensity, n);
        const int k = level >> 8;
        for (std::size_t i = 0; i < size; ++i) {
            const int at = static_cast<int>(i) - offset();
            if (at < 0 || at >= n) {
                ASSERT_EQ(plain[i], dst[i]) << i;
                ASSERT_EQ(vector[i], dst[i]) << i;
                continue;
            }
            for (int c = 0; c < 3; ++c) {
                const int s = byteOf(src[i], c), col = byteOf(colour, c);
                ASSERT_EQ(byteOf(plain[i], c), T(255 - k, s) + T(k, col)) << level << " " << i;
                // The documented ends: plain gives the source or the colour
                // exactly, the vector form one less for a non-zero channel.
                if (k == 0) {
                    ASSERT_EQ(byteOf(plain[i], c), s);
                    ASSERT_EQ(byteOf(vector[i], c), std::max(s - 1, 0)) << level << " " << i;
                }
                if (k == 255) {
                    ASSERT_EQ(byteOf(plain[i], c), col);
                    ASSERT_EQ(byteOf(vector[i], c), std::max(col - 1, 0)) << level << " " << i;
                }
            }
            ASSERT_EQ(byteOf(plain[i], 3), 0);
            for (int c = 0; c < 4; ++c) {
                const int s = byteOf(src[i], c), col = byteOf(colour, c);
                const int expected = sat(((2 * s * ((0xffff - level) >> 1)) >> 16) + ((2 * col * (level >> 1)) >> 16));
                ASSERT_EQ(byteOf(vector[i], c), expected) << level << " " << i << " byte " << c;
            }
        }
    }
}

TEST_P(FamilyComparison, FadeInPlace)
{
    const int n = count();
    const auto pixels = source.pixels(offset() + n + guard);
    const std::uint32_t colour = source.pixel();
    const auto intensity = static_cast<std::uint16_t>(source.next());
    auto plainOut = pixels, vectorOut = pixels, plainInPlace = pixels, vectorInPlace = pixels;
    _fade2colnommx(plainOut.data() + offset(), pixels.data() + offset(), colour, intensity, n, table.data());
    _fade2colmmx(vectorOut.data() + offset(), pixels.data() + offset(), colour, intensity, n);
    std::uint32_t* p = plainInPlace.data() + offset();
    std::uint32_t* v = vectorInPlace.data() + offset();
    _fade2colnommx(p, p, colour, intensity, n, table.data());
    _fade2colmmx(v, v, colour, intensity, n);
    EXPECT_EQ(plainInPlace, plainOut);
    EXPECT_EQ(vectorInPlace, vectorOut);
}

TEST_P(FamilyComparison, Inversion)
{
    const int n = count();
    const std::size_t size = offset() + n + guard;
    const auto src = source.pixels(size), dst = source.pixels(size);
    const std::uint32_t mask = source.pixel();
    auto plain = dst, vector = dst;
    _invertnommx(plain.data() + offset(), src.data() + offset(), mask, n);
    _invertmmx(vector.data() + offset(), src.data() + offset(), mask, n);
    for (std::size_t i = 0; i < size; ++i) {
        const int at = static_cast<int>(i) - offset();
        if (at < 0 || at >= n) {
            ASSERT_EQ(plain[i], dst[i]) << i;
            ASSERT_EQ(vector[i], dst[i]) << i;
            continue;
        }
        const bool paired = at < (n & ~1);
        if (!paired) {
            ASSERT_EQ(vector[i], dst[i]) << i;
        }
        for (int c = 0; c < 3; ++c) {
            const int s = byteOf(src[i], c), m = byteOf(mask, c);
            ASSERT_EQ(byteOf(plain[i], c), s <= m ? m - s : s - m - 1) << i;
            // Where the source is not above the mask the families agree;
            // above it the vector form wraps to 256 - (s - m), the plain
            // form's complement.
            if (paired) {
                ASSERT_EQ(byteOf(vector[i], c), s <= m ? byteOf(plain[i], c) : 255 - byteOf(plain[i], c)) << i;
            }
        }
        ASSERT_EQ(byteOf(plain[i], 3), byteOf(dst[i], 3));
        if (paired) {
            ASSERT_EQ(byteOf(vector[i], 3), (byteOf(mask, 3) - byteOf(src[i], 3)) & 0xff);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(RunsAndStarts, FamilyComparison,
                         testing::Combine(testing::Values(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 16, 17, 31, 33, 320, 1001),
                                          testing::Values(0, 1, 2, 3)));

} // namespace
