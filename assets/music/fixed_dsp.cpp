#include "assets/music/fixed_dsp.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace assets::music {

namespace {

constexpr std::int64_t kOneQ30 = std::int64_t{1} << 30;
constexpr std::int64_t kHalfPiQ30 = 1686629713; // round(pi / 2 x 2^30)

std::int64_t mulQ30(std::int64_t a, std::int64_t b) { return (a * b) >> 30; }

// sin x for 0 <= x <= pi/2 (Q30) by the Taylor series to x^11 in Horner form:
// x (1 - x^2/(2.3) (1 - x^2/(4.5) (1 - ... (1 - x^2/(10.11))))).
std::int64_t sineQ30(std::int64_t x)
{
    const std::int64_t x2 = mulQ30(x, x);
    std::int64_t r = kOneQ30;
    for (int k = 10; k >= 2; k -= 2)
        r = kOneQ30 - mulQ30(x2, r) / (k * (k + 1));
    return mulQ30(x, r);
}

std::array<std::int32_t, 4097> buildTable()
{
    std::array<std::int32_t, 1025> quarter{};
    for (int j = 0; j <= 1024; ++j) {
        const std::int64_t s = sineQ30(kHalfPiQ30 * j / 1024);
        std::int64_t q15 = (s + (1 << 14)) >> 15;
        quarter[static_cast<std::size_t>(j)] = static_cast<std::int32_t>(q15 > 32767 ? 32767 : q15);
    }
    std::array<std::int32_t, 4097> t{};
    for (int i = 0; i < 4096; ++i) {
        const int j = i & 1023;
        const int quadrant = i >> 10;
        const std::int32_t rising = quarter[static_cast<std::size_t>(j)];
        const std::int32_t falling = quarter[static_cast<std::size_t>(1024 - j)];
        std::int32_t v = 0;
        switch (quadrant) {
        case 0: v = rising; break;
        case 1: v = falling; break;
        case 2: v = -rising; break;
        default: v = -falling; break;
        }
        t[static_cast<std::size_t>(i)] = v;
    }
    t[4096] = t[0];
    return t;
}

const std::array<std::int32_t, 4097>& table()
{
    static const std::array<std::int32_t, 4097> t = buildTable();
    return t;
}

} // namespace

std::int32_t sineTableEntry(int index) { return table()[static_cast<std::size_t>(index & 4095)]; }

std::int32_t sineQ15(std::uint32_t phase)
{
    const auto& t = table();
    const std::uint32_t i = phase >> 20;
    const std::int64_t frac = (phase >> 4) & 0xFFFF;
    const std::int64_t a = t[i];
    const std::int64_t b = t[i + 1];
    return static_cast<std::int32_t>(a + (((b - a) * frac) >> 16));
}

std::vector<std::int16_t> normalise(const std::vector<std::int32_t>& signal, std::int32_t peak)
{
    std::int64_t largest = 1;
    for (std::int32_t v : signal)
        largest = std::max<std::int64_t>(largest, std::llabs(v));
    std::vector<std::int16_t> out(signal.size());
    for (std::size_t i = 0; i < signal.size(); ++i)
        out[i] = static_cast<std::int16_t>(static_cast<std::int64_t>(signal[i]) * peak / largest);
    return out;
}

std::vector<std::int16_t> toEightBit(const std::vector<std::int16_t>& frames)
{
    std::vector<std::int16_t> out(frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        std::int32_t v = (frames[i] + 128) >> 8;
        out[i] = static_cast<std::int16_t>(v > 127 ? 127 : (v < -128 ? -128 : v));
    }
    return out;
}

} // namespace assets::music
