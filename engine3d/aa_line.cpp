#include "engine3d/aa_line.h"

#include "engine3d/fixed_point.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace engine3d {

namespace {

constexpr std::int32_t kOne = 0x10000;
constexpr std::int32_t kAll = 0xffff;
constexpr float kFarthest = 1048576.0f;

// One line in its own axes: `major` advances one whole step per sample (y for
// steep lines, x for flat ones), `minor` follows it. Pixels are addressed as
// (major, minor) and swapped back for the picture.
class LineWriter {
public:
    LineWriter(std::uint32_t* dest, int pitch, int width, int height, bool steep, const std::uint32_t* multab, int r,
               int g, int b)
        : dest_(dest), pitch_(pitch), width_(width), height_(height), steep_(steep), multab_(multab), r_(r), g_(g),
          b_(b)
    {
    }

    // The product table's weight of two 16-bit fractions: (a >> 8)(b >> 8).
    std::uint32_t weight(std::int32_t a, std::int32_t b) const { return multab_[((a >> 8) << 8) + (b >> 8)]; }

    // Adds colour x weight / 65536 to each channel, stopping at 255; the top
    // byte becomes 0. Pixels outside the picture are skipped.
    void plot(int major, int minor, std::uint32_t w) const
    {
        const int x = steep_ ? minor : major;
        const int y = steep_ ? major : minor;
        if (x < 0 || y < 0 || x >= width_ || y >= height_)
            return;
        std::uint32_t& pixel = rowAt(dest_, y, pitch_)[x];
        const std::uint32_t old = pixel;
        pixel = (channel(old >> 16, r_, w) << 16) | (channel(old >> 8, g_, w) << 8) | channel(old, b_, w);
    }

private:
    static std::uint32_t channel(std::uint32_t old, int c, std::uint32_t w)
    {
        const std::uint32_t sum = (old & 0xff) + ((static_cast<std::uint32_t>(c) * w) >> 16);
        return sum > 255 ? 255 : sum;
    }

    std::uint32_t* dest_;
    int pitch_, width_, height_;
    bool steep_;
    const std::uint32_t* multab_;
    int r_, g_, b_;
};

// Clamps a 16-bit fraction computed from a length of exactly one pixel
// (65536) to the table's last row.
std::int32_t fraction(float length) { return std::min(floorToInt(length * 65536.0f), kAll); }

} // namespace

void _aaline32b(float x1, float y1, float x2, float y2, std::uint32_t* dest, int pitch, int width, int height,
                const std::uint32_t* multab, int r, int g, int b)
{
    for (float c : {x1, y1, x2, y2})
        if (!(std::fabs(c) <= kFarthest))
            return;
    const bool steep = !(std::fabs(y2 - y1) < std::fabs(x2 - x1));
    float a1 = steep ? y1 : x1, b1 = steep ? x1 : y1;
    float a2 = steep ? y2 : x2, b2 = steep ? x2 : y2;
    if (a1 == a2)
        return; // length 0 (a steep line has |minor| <= |major| = 0)
    if (!(a2 > a1)) {
        std::swap(a1, a2);
        std::swap(b1, b2);
    }
    const LineWriter out(dest, pitch, width, height, steep, multab, r, g, b);

    // Minor-axis change per step in 16.16; at most one pixel for these lines.
    const std::int32_t d = std::clamp(floorToInt((b2 - b1) * 65536.0f / (a2 - a1)), -kOne, kOne);
    std::int32_t fb = floorToInt((b1 - std::floor(b1)) * 65536.0f);
    const std::int32_t fa = floorToInt((a1 - std::floor(a1)) * 65536.0f);
    int wa = floorToInt(a1); // window's first row (major) and column (minor)
    int wb = floorToInt(b1);
    // Accumulators of the 2x2 window: [first/second row][first/second column].
    std::uint32_t tl = 0, tr = 0, bl = 0, br = 0;

    float a = a1;
    while (a < a2 - 1.0f) {
        tl += out.weight(kAll - fa, kAll - fb);
        tr += out.weight(kAll - fa, fb);
        bl += out.weight(fa, kAll - fb);
        br += out.weight(fa, fb);
        a += 1.0f;
        fb += d;
        out.plot(wa, wb, tl);
        out.plot(wa, wb + 1, tr);
        if (fb >= kOne) { // the sample crossed into the next column
            fb -= kOne;
            out.plot(wa + 1, wb, bl);
            tl = br;
            tr = 0;
            ++wb;
        } else if (fb < 0) { // into the previous column
            fb += kOne;
            out.plot(wa + 1, wb + 1, br);
            tr = bl;
            tl = 0;
            --wb;
        } else {
            tl = bl;
            tr = br;
        }
        bl = br = 0;
        ++wa;
    }

    // The last piece, at most one row long, weighted by its length.
    if (std::floor(a) == std::floor(a2)) {
        const std::int32_t e = fraction(a2 - a);
        out.plot(wa, wb, tl + out.weight(e, kAll - fb));
        out.plot(wa, wb + 1, tr + out.weight(e, fb));
    } else {
        const std::int32_t e1 = fraction(std::floor(a2) - a);
        const std::int32_t e2 = fraction(a2 - std::floor(a2));
        out.plot(wa, wb, tl + out.weight(e1, kAll - fb));
        out.plot(wa, wb + 1, tr + out.weight(e1, fb));
        out.plot(wa + 1, wb, out.weight(e2, kAll - fb));
        out.plot(wa + 1, wb + 1, out.weight(e2, fb));
    }
}

} // namespace engine3d
