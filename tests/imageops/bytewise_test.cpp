// The vector family's byte-at-a-time form (built where SSE2 is missing)
// against the SSE2 code, on random pixels with the extreme bytes mixed in,
// odd lengths, skips and in-place use.
#include "imageops/routines.h"
#include "imageops/routines_bytewise.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using Pixels = std::vector<std::uint32_t>;

Pixels randomPixels(std::mt19937& rng, std::size_t n)
{
    Pixels p(n);
    const std::uint32_t extremes[] = {0x00000000u, 0xffffffffu, 0x01fe7f80u, 0x80808080u};
    for (std::size_t i = 0; i < n; ++i)
        p[i] = rng() % 5 == 0 ? extremes[rng() % 4] : static_cast<std::uint32_t>(rng());
    return p;
}

TEST(BytewiseVectorFamily, EqualsTheSse2CodeOnEveryRoutine)
{
    std::mt19937 rng(12345);
    const std::uint16_t intensities[] = {0, 1, 0x7fff, 0x8000, 0xfffe, 0xffff, 12345};
    for (int count : {1, 2, 3, 7, 8, 9, 33}) {
        const Pixels a = randomPixels(rng, 3 * count + 8), b = randomPixels(rng, 3 * count + 8);
        const std::uint32_t colour = static_cast<std::uint32_t>(rng());
        for (std::uint16_t k : intensities) {
            Pixels vector = a, plain = a; // in place: dst is also a source
            imageops::_fade2colmmx(vector.data(), vector.data(), colour, k, count);
            imageops::bytewise::fade2col(plain.data(), plain.data(), colour, k, count);
            EXPECT_EQ(vector, plain) << "fade2col " << count << " " << k;

            vector = a, plain = a;
            imageops::_saturateintmmx(vector.data(), b.data(), count, 3, 1, 2, k);
            imageops::bytewise::saturate(plain.data(), b.data(), count, 3, 1, 2, k >> 1, true);
            EXPECT_EQ(vector, plain) << "saturateint " << count << " " << k;
        }
        Pixels vector = a, plain = a;
        imageops::_saturatemmx(vector.data(), b.data(), count, 3, 2, 1);
        imageops::bytewise::saturate(plain.data(), b.data(), count, 3, 2, 1, 0, false);
        EXPECT_EQ(vector, plain) << "saturate " << count;

        vector = b, plain = b;
        imageops::_joinscreenmmx(vector.data(), a.data(), vector.data(), count);
        imageops::bytewise::joinscreen(plain.data(), a.data(), plain.data(), count);
        EXPECT_EQ(vector, plain) << "joinscreen " << count;

        vector = a, plain = a;
        imageops::_invertmmx(vector.data(), b.data(), colour, count);
        imageops::bytewise::invert(plain.data(), b.data(), colour, count);
        EXPECT_EQ(vector, plain) << "invert " << count;
    }
}

} // namespace
