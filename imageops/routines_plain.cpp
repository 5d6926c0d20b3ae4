// The plain family: 32-bit integer arithmetic and the scale table, no
// multiplication per pixel.
#include "imageops/routines.h"

namespace imageops {

namespace {

constexpr std::uint32_t lowMsbs = 0x00808080; // top bit of blue, green, red
constexpr std::uint32_t colourBytes = 0x00ffffff;

// Per-channel min(d + s, 255) on the three low bytes without branches: the
// channels are added as 7-bit values (no carry can cross a byte), the top bit
// of each byte is put back with an exclusive or, and the carry out of each
// byte (the majority of the two top bits and the carry into them) becomes a
// full byte of ones. The top byte of the result is 0.
inline std::uint32_t addSaturate3(std::uint32_t d, std::uint32_t s)
{
    const std::uint32_t low = (d & 0x007f7f7f) + (s & 0x007f7f7f);
    const std::uint32_t sum = low ^ ((d ^ s) & lowMsbs);
    const std::uint32_t carry = ((d & s) | ((d | s) & ~sum)) & lowMsbs;
    return (sum | ((carry << 1) - (carry >> 7))) & colourBytes;
}

// The three colour channels of p looked up in one row of the scale table.
inline std::uint32_t scale3(const std::uint8_t* row, std::uint32_t p)
{
    return static_cast<std::uint32_t>(row[p & 0xff]) | static_cast<std::uint32_t>(row[(p >> 8) & 0xff]) << 8 |
           static_cast<std::uint32_t>(row[(p >> 16) & 0xff]) << 16;
}

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
        dst += width + dstSkip;
        src += width + srcSkip;
    }
}

void _saturateintnommx(std::uint32_t* dst, const std::uint32_t* src, int width, int rows, int dstSkip, int srcSkip,
                       const std::uint8_t* scaleTable, std::uint8_t intensity)
{
    const std::uint8_t* scaleRow = scaleTable + intensity * 256;
    for (int row = 0; row < rows; ++row) {
        for (int i = 0; i < width; ++i) {
            const std::uint32_t s = src[i];
            dst[i] = addSaturate3(dst[i], scale3(scaleRow, s)) | (s & ~colourBytes);
        }
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
    const std::uint8_t* pictureRow = scaleTable + (255 - k) * 256;
    const std::uint32_t colourTerm = scale3(scaleTable + k * 256, colour);
    for (int i = 0; i < count; ++i)
        dst[i] = scale3(pictureRow, src[i]) + colourTerm;
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
