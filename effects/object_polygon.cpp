#include "effects/object_polygon.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cmath>

namespace effects {

int planeOutcode(double x, double y, int width, int height)
{
    int code = 0;
    if (!(x >= 0.0))
        code |= 1;
    if (!(x <= width))
        code |= 2;
    if (!(y >= 0.0))
        code |= 4;
    if (!(y <= height))
        code |= 8;
    return code;
}

std::int64_t roundUp(double value)
{
    constexpr double kLimit = 4503599627370496.0; // 2^52
    if (!(value > -kLimit))
        value = -kLimit; // also catches NaN
    if (value > kLimit)
        value = kLimit;
    return static_cast<std::int64_t>(std::ceil(value));
}

void spanFill(std::uint32_t* span, int count, std::uint32_t colour)
{
    for (int i = 0; i < count; ++i)
        span[i] = colour;
}

void spanAddRgb(std::uint32_t* span, int count, std::uint32_t colour)
{
    const std::uint32_t red = (colour >> 16) & 0xffu;
    const std::uint32_t green = (colour >> 8) & 0xffu;
    const std::uint32_t blue = colour & 0xffu;
    for (int i = 0; i < count; ++i) {
        std::uint32_t p = span[i];
        std::uint32_t r = ((p >> 16) & 0xffu) + red;
        std::uint32_t g = ((p >> 8) & 0xffu) + green;
        std::uint32_t b = (p & 0xffu) + blue;
        r = r > 0xffu ? 0xffu : r;
        g = g > 0xffu ? 0xffu : g;
        b = b > 0xffu ? 0xffu : b;
        span[i] = (p & 0xff000000u) | r << 16 | g << 8 | b;
    }
}

void spanAddPacked(std::uint32_t* span, int count, std::uint32_t colour)
{
#if !defined(__SSE2__)
    // Each of the four bytes added with saturation, like the vector form.
    for (int i = 0; i < count; ++i) {
        std::uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const std::uint32_t sum = ((span[i] >> shift) & 0xffu) + ((colour >> shift) & 0xffu);
            out |= (sum > 0xffu ? 0xffu : sum) << shift;
        }
        span[i] = out;
    }
#else
    const __m128i add4 = _mm_set1_epi32(static_cast<int>(colour));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        auto* p = reinterpret_cast<__m128i*>(span + i);
        _mm_storeu_si128(p, _mm_adds_epu8(_mm_loadu_si128(p), add4));
    }
    for (; i < count; ++i) {
        __m128i p = _mm_cvtsi32_si128(static_cast<int>(span[i]));
        span[i] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_adds_epu8(p, add4)));
    }
#endif
}

PolygonDrawer::PolygonDrawer() : pool_(kPoolSize)
{
    list_.reserve(kPoolSize + 64);
    scratch_.reserve(kPoolSize + 64);
}

PlaneVertex* PolygonDrawer::takeVertex()
{
    if (used_ >= kPoolSize)
        return nullptr;
    return &pool_[static_cast<std::size_t>(used_++)];
}

// One Sutherland-Hodgman pass over list_ into scratch_, then swapped back.
// Inside corners are kept in order; an edge that crosses the boundary gets a
// new corner on it, interpolated from its inside end toward its outside end
// so that two polygons sharing the edge cut it at exactly the same point.
// False when the pool runs dry.
template <class Inside, class Cut>
bool PolygonDrawer::clipPass(Inside inside, Cut cut, int width, int height)
{
    scratch_.clear();
    const std::size_t n = list_.size();
    if (n == 0)
        return true;
    const PlaneVertex* s = list_[n - 1];
    bool sInside = inside(*s);
    for (const PlaneVertex* e : list_) {
        bool eInside = inside(*e);
        if (eInside != sInside) {
            PlaneVertex* fresh = takeVertex();
            if (!fresh)
                return false;
            if (sInside)
                cut(*s, *e, *fresh);
            else
                cut(*e, *s, *fresh);
            fresh->outcode = planeOutcode(fresh->tx, fresh->ty, width, height);
            scratch_.push_back(fresh);
        }
        if (eInside)
            scratch_.push_back(e);
        s = e;
        sInside = eInside;
    }
    list_.swap(scratch_);
    return true;
}

namespace {

// A point on the segment from `in` toward `out` at parameter t (position,
// texture coordinates).
inline void interpolate(const PlaneVertex& in, const PlaneVertex& out, double t, PlaneVertex& result)
{
    result.tx = in.tx + (out.tx - in.tx) * t;
    result.ty = in.ty + (out.ty - in.ty) * t;
    result.u = in.u + (out.u - in.u) * t;
    result.v = in.v + (out.v - in.v) * t;
}

void cutAtX(const PlaneVertex& in, const PlaneVertex& out, double x, PlaneVertex& result)
{
    interpolate(in, out, (x - in.tx) / (out.tx - in.tx), result);
    result.tx = x;
}

void cutAtY(const PlaneVertex& in, const PlaneVertex& out, double y, PlaneVertex& result)
{
    interpolate(in, out, (y - in.ty) / (out.ty - in.ty), result);
    result.ty = y;
}

constexpr double kFixedOne = 65536.0;
constexpr double kSlopeLimit = 1099511627776.0; // 2^40: far steeper than any edge on the surface

// Walks one side of the polygon from the top corner down, edge by edge.
struct EdgeWalker {
    const PlaneVertex* const* corners;
    int count;
    int direction; // +1 forward through the list, -1 backward
    int current;
    int rowsLeft = 0;
    std::int64_t x = 0; // 16.16
    std::int64_t slope = 0;

    // Moves to the next edge that spans at least one row. False when the
    // chain would climb again (or runs round the whole polygon), which a
    // convex polygon never does before its bottom row.
    bool nextEdge()
    {
        for (int steps = 0; steps < count; ++steps) {
            int next = current + direction;
            if (next < 0)
                next += count;
            else if (next >= count)
                next -= count;
            const PlaneVertex& a = *corners[current];
            const PlaneVertex& b = *corners[next];
            current = next;
            std::int64_t ya = roundUp(a.ty);
            std::int64_t yb = roundUp(b.ty);
            if (ya == yb)
                continue;
            if (yb < ya)
                return false;
            double edgeSlope = (b.tx - a.tx) / (b.ty - a.ty);
            double startX = a.tx + (static_cast<double>(ya) - a.ty) * edgeSlope;
            double fixedSlope = edgeSlope * kFixedOne;
            if (fixedSlope > kSlopeLimit)
                fixedSlope = kSlopeLimit;
            if (fixedSlope < -kSlopeLimit)
                fixedSlope = -kSlopeLimit;
            slope = roundUp(fixedSlope);
            x = roundUp(startX * kFixedOne);
            rowsLeft = static_cast<int>(yb - ya);
            return true;
        }
        return false;
    }
};

// ceil of a 16.16 number (the shift rounds toward minus infinity).
inline std::int64_t ceilFixed(std::int64_t x) { return (x + 0xffff) >> 16; }

} // namespace

void PolygonDrawer::draw(const PlaneCanvas& canvas, const PlaneVertex* const* corners, int count, int fillMode,
                         std::uint32_t colour)
{
    used_ = 0;
    if (count < 3 || !canvas.pixels || canvas.width <= 0 || canvas.height <= 0)
        return;
    const int width = canvas.width;
    const int height = canvas.height;

    int common = 0xf;
    int any = 0;
    for (int i = 0; i < count; ++i) {
        int code = planeOutcode(corners[i]->tx, corners[i]->ty, width, height);
        common &= code;
        any |= code;
    }
    if (common != 0)
        return;

    const PlaneVertex& p0 = *corners[0];
    const PlaneVertex& p1 = *corners[1];
    const PlaneVertex& p2 = *corners[2];
    if ((p0.tx - p2.tx) * (p1.ty - p2.ty) - (p0.ty - p2.ty) * (p1.tx - p2.tx) == 0.0)
        return;

    list_.assign(corners, corners + count);
    if (any != 0) {
        const double w = width;
        const double h = height;
        if (!clipPass([](const PlaneVertex& v) { return v.tx >= 0.0; },
                      [](const PlaneVertex& in, const PlaneVertex& out, PlaneVertex& r) { cutAtX(in, out, 0.0, r); },
                      width, height))
            return;
        if (!clipPass([h](const PlaneVertex& v) { return v.ty <= h; },
                      [h](const PlaneVertex& in, const PlaneVertex& out, PlaneVertex& r) { cutAtY(in, out, h, r); },
                      width, height))
            return;
        if (!clipPass([w](const PlaneVertex& v) { return v.tx <= w; },
                      [w](const PlaneVertex& in, const PlaneVertex& out, PlaneVertex& r) { cutAtX(in, out, w, r); },
                      width, height))
            return;
        if (!clipPass([](const PlaneVertex& v) { return v.ty >= 0.0; },
                      [](const PlaneVertex& in, const PlaneVertex& out, PlaneVertex& r) { cutAtY(in, out, 0.0, r); },
                      width, height))
            return;
        if (list_.size() < 3)
            return;
        for (const PlaneVertex* v : list_)
            if (planeOutcode(v->tx, v->ty, width, height) != 0)
                return;
    }
    scanConvert(canvas, fillMode, colour);
}

void PolygonDrawer::scanConvert(const PlaneCanvas& canvas, int fillMode, std::uint32_t colour) const
{
    void (*fill)(std::uint32_t*, int, std::uint32_t) = nullptr;
    switch (fillMode) {
    case kFillSolid: fill = spanFill; break;
    case kFillAdd: fill = spanAddRgb; break;
    case kFillAddPacked: fill = spanAddPacked; break;
    default: return; // no other fill is defined: draw nothing
    }

    const int count = static_cast<int>(list_.size());
    int top = 0;
    int bottom = 0;
    for (int i = 1; i < count; ++i) {
        if (list_[static_cast<std::size_t>(i)]->ty < list_[static_cast<std::size_t>(top)]->ty)
            top = i;
        if (list_[static_cast<std::size_t>(i)]->ty > list_[static_cast<std::size_t>(bottom)]->ty)
            bottom = i;
    }
    std::int64_t firstRow = roundUp(list_[static_cast<std::size_t>(top)]->ty);
    std::int64_t endRow = roundUp(list_[static_cast<std::size_t>(bottom)]->ty);
    if (firstRow >= endRow)
        return;

    EdgeWalker forward{list_.data(), count, +1, top};
    EdgeWalker backward{list_.data(), count, -1, top};
    const std::int64_t lastColumn = canvas.width - 1;
    for (std::int64_t row = firstRow; row < endRow; ++row) {
        if (forward.rowsLeft == 0 && !forward.nextEdge())
            return;
        if (backward.rowsLeft == 0 && !backward.nextEdge())
            return;
        // The clipper keeps every corner inside the surface, but x is
        // stepped with a rounded fixed-point slope and can drift a fraction
        // of a pixel past the frame edge: the span and the row are held to
        // the surface so that nothing is ever written beyond it.
        std::int64_t left = ceilFixed(forward.x);
        std::int64_t right = ceilFixed(backward.x) - 1;
        if (left < 0)
            left = 0;
        if (right > lastColumn)
            right = lastColumn;
        if (left <= right && row >= 0 && row < canvas.height)
            fill(canvas.pixels + row * canvas.pitch + left, static_cast<int>(right - left + 1), colour);
        forward.x += forward.slope;
        backward.x += backward.slope;
        --forward.rowsLeft;
        --backward.rowsLeft;
    }
}

} // namespace effects
