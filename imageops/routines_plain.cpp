// The plain family: 32-bit integer arithmetic and the scale table, no
// multiplication per pixel.
#include "imageops/routines.h"

namespace imageops {

namespace {

constexpr std::uint32_t lowMsbs = 0x00808080; // top bit of blue, green, red
constexpr std::uint32_t colourBytes = 0x00ffffff;

// Per-channel min(d + s, 255) on the three low bytes of each 32-bit pixel
// in a word (one pixel in 32 bits, two in 64), without branches: the
// channels are added as 7-bit values (no carry can cross a byte), the top bit
// of each byte is put back with an exclusive or, and the carry out of each
// byte (the majority of the two top bits and the carry into them) becomes a
// full byte of ones. The top byte of each pixel comes out 0.
template <typename Word>
inline Word addSaturate3(Word d, Word s)
{
    constexpr Word ones = static_cast<Word>(0x0000000100000001ull);
    constexpr Word msbs = static_cast<Word>(lowMsbs) * ones;
    constexpr Word low7 = static_cast<Word>(0x007f7f7f) * ones;
    const Word low = (d & low7) + (s & low7);
    const Word sum = low ^ ((d ^ s) & msbs);
    const Word carry = ((d & s) | ((d | s) & ~sum)) & msbs;
    return (sum | ((carry << 1) - (carry >> 7))) & (static_cast<Word>(colourBytes) * ones);
}

// The three colour channels of p looked up in one row of the scale table.
inline std::uint32_t scale3(const std::uint8_t* row, std::uint32_t p)
{
    return static_cast<std::uint32_t>(row[p & 0xff]) | static_cast<std::uint32_t>(row[(p >> 8) & 0xff]) << 8 |
           static_cast<std::uint32_t>(row[(p >> 16) & 0xff]) << 16;
}

// One row of the scale table spread to each channel's place in a pixel, so
// that a pixel's three looked-up channels combine with two additions. Built
// per call on the stack (3 KB, a small fraction of a frame's work).
struct SpreadRow {
    explicit SpreadRow(const std::uint8_t* row)
    {
        for (int j = 0; j < 256; ++j) {
            blue[j] = row[j];
            green[j] = static_cast<std::uint32_t>(row[j]) << 8;
            red[j] = static_cast<std::uint32_t>(row[j]) << 16;
        }
    }
    std::uint32_t operator()(std::uint32_t p) const { return blue[p & 0xff] + green[(p >> 8) & 0xff] + red[(p >> 16) & 0xff]; }
    std::uint32_t blue[256], green[256], red[256];
};

// m - s when s <= m, else s - m - 1, on one byte: the difference's sign
// (all ones when negative) is xored in, which turns -(s - m) into s - m - 1.
inline std::uint32_t invertChannel(std::uint32_t m, std::uint32_t s)
{
    const std::int32_t diff = static_cast<std::int32_t>(m) - static_cast<std::int32_t>(s);
    return static_cast<std::uint32_t>(diff ^ (diff >> 31)) & 0xff;
}

} // namespace

void _saturatenommx(std::uint32_t* dst, const std::uint32_t* src, int width, int rows, int dstSkip, int srcSkip)
{
    for (int row = 0; row < rows; ++row) {
        for (int i = 0; i < width; ++i) {
            const std::uint32_t d = dst[i];
            dst[i] = addSaturate3(d, src[i]) | (d & ~colourBytes);
        }
        if (row + 1 == rows)
            break; // not past the last row: that address may lie beyond the picture
        dst += width + dstSkip;
        src += width + srcSkip;
    }
}

void _saturateintnommx(std::uint32_t* dst, const std::uint32_t* src, int width, int rows, int dstSkip, int srcSkip,
                       const std::uint8_t* scaleTable, std::uint8_t intensity)
{
    // In runs of up to 64 pixels: the table lookups first, into a small
    // buffer that also carries src's top byte, then the saturating add over
    // the run, a loop of plain integer operations that the compiler can run
    // several pixels wide.
    const SpreadRow scale(scaleTable + intensity * 256);
    constexpr int run = 64;
    std::uint32_t scaled[run];
    for (int row = 0; row < rows; ++row) {
        for (int start = 0; start < width; start += run) {
            const int n = width - start < run ? width - start : run;
            const std::uint32_t* s = src + start;
            std::uint32_t* d = dst + start;
            for (int i = 0; i < n; ++i)
                scaled[i] = scale(s[i]) | (s[i] & ~colourBytes);
            for (int i = 0; i < n; ++i)
                d[i] = addSaturate3(d[i], scaled[i]) | (scaled[i] & ~colourBytes);
        }
        if (row + 1 == rows)
            break; // not past the last row: that address may lie beyond the picture
        dst += width + dstSkip;
        src += width + srcSkip;
    }
}

void _joinscreennommx(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b, int count)
{
    // Clearing each channel's lowest bit first halves every channel on its
    // own; the red channel's carry lands in bit 24 and is shifted back into
    // red, so the top byte comes out 0.
    for (int i = 0; i < count; ++i)
        dst[i] = ((a[i] & 0x00fefefe) + (b[i] & 0x00fefefe)) >> 1;
}

void _fade2colnommx(std::uint32_t* dst, const std::uint32_t* src, std::uint32_t colour, std::uint16_t intensity,
                    int count, const std::uint8_t* scaleTable)
{
    // Both rows and the colour's term are chosen once. T[255 - k][s] +
    // T[k][c] never exceeds 255, so one 32-bit addition combines the three
    // channels without carries.
    const int k = intensity >> 8;
    const SpreadRow picture(scaleTable + (255 - k) * 256);
    const std::uint32_t colourTerm = scale3(scaleTable + k * 256, colour);
    for (int i = 0; i < count; ++i)
        dst[i] = picture(src[i]) + colourTerm;
}

void _invertnommx(std::uint32_t* dst, const std::uint32_t* src, std::uint32_t mask, int count)
{
    const std::uint32_t mb = mask & 0xff, mg = (mask >> 8) & 0xff, mr = (mask >> 16) & 0xff;
    for (int i = 0; i < count; ++i) {
        const std::uint32_t s = src[i];
        dst[i] = (dst[i] & ~colourBytes) | invertChannel(mr, (s >> 16) & 0xff) << 16 |
                 invertChannel(mg, (s >> 8) & 0xff) << 8 | invertChannel(mb, s & 0xff);
    }
}

} // namespace imageops
