#include "engine3d/perspective_rasterizer.h"

#include "engine3d/edge_walker.h"
#include "engine3d/fixed_point.h"
#include "engine3d/polygon_rasterizers.h"

namespace engine3d {

namespace {

constexpr int kBlock = 16;

// u/z, v/z and 1/z along a span, and the exact 16.16 texture coordinates at
// a pixel k from its start: (u/z) / (1/z) x 65536 rounded up, through the
// reciprocal.
struct SpanTerms {
    float u, v, z, ustep, vstep, zstep;

    float depthAt(int k) const { return z + static_cast<float>(k) * zstep; }
    void exactAt(int k, std::int64_t& U, std::int64_t& V) const
    {
        const float reciprocal = 1.0f / depthAt(k);
        U = ceilToInt((u + static_cast<float>(k) * ustep) * reciprocal * 65536.0f);
        V = ceilToInt((v + static_cast<float>(k) * vstep) * reciprocal * 65536.0f);
    }
};

// One block of a span: `length` pixels from k, and the exact coordinates at
// `end`, normally k + length (the pixel after the block). A block end can lie
// a pixel past the polygon, where 1/z of a face seen nearly edge-on reaches 0
// or below: the block then ends on the span's last pixel, which lies on the
// face.
struct Block {
    int length = 0;
    int end = 0;
    std::int64_t endU = 0, endV = 0;
};

Block planBlock(const SpanTerms& terms, int k, int n)
{
    Block b;
    b.length = n - k < kBlock ? n - k : kBlock;
    b.end = k + b.length;
    if (!(terms.depthAt(b.end) > 0.0f))
        b.end = n - 1;
    terms.exactAt(b.end, b.endU, b.endV);
    return b;
}

// Left edge of the perspective scan converter, in doubles: x, u/z, v/z, 1/z.
struct PerspectiveLeftEdge {
    double x = 0, u = 0, v = 0, z = 0;
    double stepX = 0, stepU = 0, stepV = 0, stepZ = 0;

    void setup(const ScreenVertex& a, const ScreenVertex& b)
    {
        const float r = static_cast<float>(1.0 / static_cast<double>(b.sy - a.sy));
        const float pre = float(ceilToInt(a.sy)) - a.sy;
        stepX = (b.sx - a.sx) * r; // float times float, kept as the float it is
        stepU = (b.uz - a.uz) * static_cast<double>(r);
        stepV = (b.vz - a.vz) * static_cast<double>(r);
        stepZ = (b.iz - a.iz) * static_cast<double>(r);
        x = a.sx + pre * stepX;
        u = a.uz + pre * stepU;
        v = a.vz + pre * stepV;
        z = a.iz + pre * stepZ;
    }
    void advance()
    {
        x += stepX;
        u += stepU;
        v += stepV;
        z += stepZ;
    }
};

struct PerspectiveRightEdge {
    double x = 0, step = 0;

    void setup(const ScreenVertex& a, const ScreenVertex& b)
    {
        step = (b.sx - a.sx) / (b.sy - a.sy);
        x = a.sx + (float(ceilToInt(a.sy)) - a.sy) * step;
    }
    void advance() { x += step; }
};

} // namespace

void _persphline(int x1, int x2, float u, float v, float z, float ustep, float vstep, float zstep,
                 const std::uint32_t* texture, std::uint32_t* dest, std::int32_t* zb)
{
    const int n = x2 - x1;
    // A span starting where 1/z is not positive lies on a face seen exactly
    // edge-on (or is the rounding of one): it has no depth to draw with.
    if (n <= 0 || !(z > 0.0f))
        return;
    const SpanTerms terms{u, v, z, ustep, vstep, zstep};
    std::uint32_t* pixels = dest + x1;
    std::int32_t* depth = zb + x1;
    const auto Z = static_cast<std::uint32_t>(ceilToInt(z * 16777216.0f));
    const auto ZS = static_cast<std::uint32_t>(ceilToInt(zstep * 16777216.0f));

    std::int64_t U = 0, V = 0;
    terms.exactAt(0, U, V);
    std::uint32_t blockZ = Z;
    // The exact values at the end of the next block are worked out before
    // the current block is drawn: the division then runs alongside the
    // pixel loop instead of before it.
    Block block = planBlock(terms, 0, n);
    for (int k = 0; k < n;) {
        std::int64_t stepU = 0, stepV = 0;
        const int distance = block.end - k;
        if (n > kBlock && distance == kBlock) {
            stepU = (block.endU - U) >> 4; // a whole block: floor division by 16
            stepV = (block.endV - V) >> 4;
        } else if (distance > 0) {
            stepU = (block.endU - U) / distance; // a short span or the last piece: toward zero
            stepV = (block.endV - V) / distance;
        }
        const int next = k + block.length;
        const Block following = next < n ? planBlock(terms, next, n) : Block{};
        texturedSpan(pixels + k, depth + k, block.length, static_cast<std::uint32_t>(U),
                     static_cast<std::uint32_t>(V), blockZ, static_cast<std::uint32_t>(stepU),
                     static_cast<std::uint32_t>(stepV), ZS, texture);
        blockZ += ZS * static_cast<std::uint32_t>(block.length);
        U = block.endU;
        V = block.endV;
        k = next;
        block = following;
    }
}

void scanPerspective(const ScreenVertex* const* corners, int count, float dudx, float dvdx, float dzdx,
                     const std::uint32_t* texels, const SpanTarget& target)
{
    PerspectiveLeftEdge left;
    PerspectiveRightEdge right;
    walkPolygon(corners, count, left, right,
                [&](int row, const PerspectiveLeftEdge& l, const PerspectiveRightEdge& r) {
                    const int x1 = ceilToInt(l.x);
                    const int x2 = ceilToInt(r.x);
                    const auto pre = static_cast<float>(x1 - l.x);
                    _persphline(x1, x2, static_cast<float>(l.u + pre * dudx), static_cast<float>(l.v + pre * dvdx),
                                static_cast<float>(l.z + pre * dzdx), dudx, dvdx, dzdx, texels,
                                rowAt(target.pixels, row, target.pitch), rowAt(target.depth, row, target.pitch));
                });
}

} // namespace engine3d
