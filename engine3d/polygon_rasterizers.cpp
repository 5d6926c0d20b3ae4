#include "engine3d/polygon_rasterizers.h"

#include "engine3d/edge_walker.h"
#include "engine3d/fixed_point.h"

namespace engine3d {

namespace {

constexpr float kFix16 = 65536.0f;
constexpr float kFix24 = 16777216.0f;

// Right edge of the affine rasterizer: x in floats.
struct FloatRightEdge {
    float x = 0.0f;
    float step = 0.0f;

    void setup(const ScreenVertex& a, const ScreenVertex& b)
    {
        step = (b.sx - a.sx) / (b.sy - a.sy);
        x = a.sx + (float(ceilToInt(a.sy)) - a.sy) * step;
    }
    void advance() { x += step; }
};

// Left edge of the affine rasterizer: x, u, v and 1/z in floats, started
// exactly on the first row the edge covers.
struct TexturedLeftEdge {
    float x = 0.0f, u = 0.0f, v = 0.0f, w = 0.0f;
    float stepX = 0.0f, stepU = 0.0f, stepV = 0.0f, stepW = 0.0f;

    void setup(const ScreenVertex& a, const ScreenVertex& b)
    {
        const float height = b.sy - a.sy;
        const float pre = float(ceilToInt(a.sy)) - a.sy;
        stepX = (b.sx - a.sx) / height;
        stepU = (b.u - a.u) / height;
        stepV = (b.v - a.v) / height;
        stepW = (b.w - a.w) / height;
        x = a.sx + pre * stepX;
        u = a.u + pre * stepU;
        v = a.v + pre * stepV;
        w = a.w + pre * stepW;
    }
    void advance()
    {
        x += stepX;
        u += stepU;
        v += stepV;
        w += stepW;
    }
};

// Edges of the flat rasterizer: x in 16.16 and (left) 1/z in 8.24, both
// rounded up from the float start and step and then advanced by integer
// additions (in unsigned arithmetic, which wraps instead of overflowing).
struct FixedRightEdge {
    std::uint32_t x16 = 0, step16 = 0;

    void setup(const ScreenVertex& a, const ScreenVertex& b)
    {
        const float step = (b.sx - a.sx) / (b.sy - a.sy);
        x16 = static_cast<std::uint32_t>(ceilToInt((a.sx + (float(ceilToInt(a.sy)) - a.sy) * step) * kFix16));
        step16 = static_cast<std::uint32_t>(ceilToInt(step * kFix16));
    }
    void advance() { x16 += step16; }
    // The ceiling of the 16.16 value.
    int column() const { return static_cast<int>((static_cast<std::int64_t>(static_cast<std::int32_t>(x16)) + 0xffff) >> 16); }
};

struct FlatLeftEdge : FixedRightEdge {
    std::uint32_t z24 = 0, stepZ24 = 0;

    void setup(const ScreenVertex& a, const ScreenVertex& b)
    {
        FixedRightEdge::setup(a, b);
        const float step = (b.w - a.w) / (b.sy - a.sy);
        z24 = static_cast<std::uint32_t>(ceilToInt((a.w + (float(ceilToInt(a.sy)) - a.sy) * step) * kFix24));
        stepZ24 = static_cast<std::uint32_t>(ceilToInt(step * kFix24));
    }
    void advance()
    {
        FixedRightEdge::advance();
        z24 += stepZ24;
    }
};

} // namespace

void _tmapasm32b(const ScreenVertex* const* cornpek, int vertices, std::int32_t stepu, std::int32_t stepv,
                 std::int32_t stepz, const std::uint32_t* texpek, std::uint32_t* dest, std::int32_t* zbuffer,
                 int pitch)
{
    TexturedLeftEdge left;
    FloatRightEdge right;
    const float fu = static_cast<float>(stepu);
    const float fv = static_cast<float>(stepv);
    const float fz = static_cast<float>(stepz);
    walkPolygon(cornpek, vertices, left, right, [&](int row, const TexturedLeftEdge& l, const FloatRightEdge& r) {
        const int xl = ceilToInt(l.x);
        const int xr = ceilToInt(r.x);
        if (xr <= xl)
            return;
        // Pre-step from the edge to the first pixel centre, so that the
        // start values are exact there.
        const float pre = static_cast<float>(xl) - l.x;
        const auto u = static_cast<std::uint32_t>(ceilToInt(l.u * kFix16 + pre * fu));
        const auto v = static_cast<std::uint32_t>(ceilToInt(l.v * kFix16 + pre * fv));
        const auto z = static_cast<std::uint32_t>(ceilToInt(l.w * kFix24 + pre * fz));
        texturedSpan(rowAt(dest, row, pitch) + xl, rowAt(zbuffer, row, pitch) + xl, xr - xl, u, v, z,
                     static_cast<std::uint32_t>(stepu), static_cast<std::uint32_t>(stepv),
                     static_cast<std::uint32_t>(stepz), texpek);
    });
}

void _flatasm32b(const ScreenVertex* const* cornpek, int vertices, std::int32_t zstep, std::uint32_t col,
                 std::uint32_t* dest, std::int32_t* zbuffer, int pitch)
{
    FlatLeftEdge left;
    FixedRightEdge right;
    walkPolygon(cornpek, vertices, left, right, [&](int row, const FlatLeftEdge& l, const FixedRightEdge& r) {
        const int xl = l.column();
        const int xr = r.column();
        std::uint32_t* pixels = rowAt(dest, row, pitch);
        std::int32_t* depth = rowAt(zbuffer, row, pitch);
        std::uint32_t z = l.z24; // no horizontal pre-step
        for (int x = xl; x < xr; ++x) {
            if (static_cast<std::int32_t>(z) > depth[x]) {
                pixels[x] = col;
                depth[x] = static_cast<std::int32_t>(z);
            }
            z += static_cast<std::uint32_t>(zstep);
        }
    });
}

} // namespace engine3d
