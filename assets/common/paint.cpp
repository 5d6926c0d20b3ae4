#include "assets/common/paint.h"

namespace assets {

Rgb gradient(const std::vector<Rgb>& stops, double t)
{
    if (stops.empty())
        return {};
    if (stops.size() == 1)
        return stops.front();
    t = dmath::clamp01(t) * double(stops.size() - 1);
    const std::size_t i = std::min(std::size_t(t), stops.size() - 2);
    return mix(stops[i], stops[i + 1], t - double(i));
}

std::uint32_t toByte(double v)
{
    const double s = std::floor(dmath::clamp01(v) * 255.0 + 0.5);
    return std::uint32_t(s);
}

std::uint32_t packRgb(const Rgb& c) { return (toByte(c.r) << 16) | (toByte(c.g) << 8) | toByte(c.b); }

Mask dilate(const Mask& m, double radius)
{
    Mask out(m.width, m.height);
    const int r = int(std::ceil(radius)) + 1;
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) {
            double best = 0.0;
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx) {
                    const double v = m.at(x + dx, y + dy);
                    if (v <= best)
                        continue;
                    const double d = std::sqrt(double(dx * dx + dy * dy));
                    const double rim = dmath::clamp01(radius + 0.5 - d);
                    best = std::max(best, v * rim);
                }
            out.ref(x, y) = best;
        }
    return out;
}

namespace {
Mask boxBlur(const Mask& m, int r, bool horizontal)
{
    Mask out(m.width, m.height);
    const double norm = 1.0 / double(2 * r + 1);
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) {
            double sum = 0.0;
            for (int k = -r; k <= r; ++k)
                sum += horizontal ? m.at(x + k, y) : m.at(x, y + k);
            out.ref(x, y) = sum * norm;
        }
    return out;
}
} // namespace

Mask blur(const Mask& m, int radius)
{
    Mask out = m;
    for (int pass = 0; pass < 3; ++pass)
        out = boxBlur(boxBlur(out, radius, true), radius, false);
    return out;
}

Mask place(const Mask& m, int width, int height, int dx, int dy)
{
    Mask out(width, height);
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) {
            const int tx = x + dx, ty = y + dy;
            if (tx >= 0 && ty >= 0 && tx < width && ty < height)
                out.ref(tx, ty) = m.at(x, y);
        }
    return out;
}

Mask shear(const Mask& m, double slope, double baseline)
{
    const int extra = int(std::ceil(std::fabs(slope) * double(m.height) + 2.0));
    Mask out(m.width + extra, m.height);
    for (int y = 0; y < m.height; ++y) {
        const double shift = (baseline - (y + 0.5)) * slope + (slope < 0 ? double(extra) : 0.0);
        for (int x = 0; x < out.width; ++x) {
            const double sx = x - shift;
            const int x0 = int(std::floor(sx));
            const double f = sx - x0;
            out.ref(x, y) = m.at(x0, y) * (1.0 - f) + m.at(x0 + 1, y) * f;
        }
    }
    return out;
}

namespace sdf {

double segmentParam(double x, double y, double ax, double ay, double bx, double by)
{
    const double vx = bx - ax, vy = by - ay;
    const double len2 = vx * vx + vy * vy;
    if (len2 <= 0.0)
        return 0.0;
    return dmath::clamp01(((x - ax) * vx + (y - ay) * vy) / len2);
}

double capsule(double x, double y, double ax, double ay, double bx, double by, double ra, double rb)
{
    const double t = segmentParam(x, y, ax, ay, bx, by);
    const double px = ax + (bx - ax) * t - x, py = ay + (by - ay) * t - y;
    return std::sqrt(px * px + py * py) - dmath::mix(ra, rb, t);
}

double roundedBox(double x, double y, double cx, double cy, double hw, double hh, double radius)
{
    const double qx = std::fabs(x - cx) - hw + radius, qy = std::fabs(y - cy) - hh + radius;
    const double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - radius;
}

double ellipse(double x, double y, double cx, double cy, double rx, double ry)
{
    // Scaled circle distance, corrected by the local stretch: good near the rim.
    const double nx = (x - cx) / rx, ny = (y - cy) / ry;
    const double k = std::sqrt(nx * nx + ny * ny);
    if (k <= 0.0)
        return -std::min(rx, ry);
    const double gx = nx / rx, gy = ny / ry;
    const double g = std::sqrt(gx * gx + gy * gy);
    return (k - 1.0) * k / std::max(g, 1e-9);
}

double polygon(double x, double y, const std::vector<double>& xy)
{
    const std::size_t n = xy.size() / 2;
    if (n < 3)
        return 1e9;
    double best = 1e300;
    bool inside = false;
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const double xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
        const double ex = xj - xi, ey = yj - yi, wx = x - xi, wy = y - yi;
        const double len2 = ex * ex + ey * ey;
        const double t = len2 > 0.0 ? dmath::clamp01((wx * ex + wy * ey) / len2) : 0.0;
        const double dx = wx - ex * t, dy = wy - ey * t;
        best = std::min(best, dx * dx + dy * dy);
        // Crossing-number test on a ray to the right.
        if ((yi > y) != (yj > y) && x < xi + (y - yi) * (xj - xi) / (yj - yi))
            inside = !inside;
    }
    const double d = std::sqrt(best);
    return inside ? -d : d;
}

} // namespace sdf

Canvas::Canvas(int width, int height, const Rgb& fill)
    : width_(width), height_(height), px_(std::size_t(width) * std::size_t(height), fill),
      body_(std::size_t(width) * std::size_t(height), 0.0)
{
}

void Canvas::markBody(const Mask& m, int dx, int dy, double level)
{
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) {
            const int tx = x + dx, ty = y + dy;
            if (tx >= 0 && ty >= 0 && tx < width_ && ty < height_ && m.at(x, y) >= level)
                body_[std::size_t(ty) * std::size_t(width_) + std::size_t(tx)] = 1.0;
        }
}

Image Canvas::opaque(std::uint8_t alpha) const
{
    Image img(width_, height_);
    for (std::size_t i = 0; i < px_.size(); ++i)
        img.pixels[i] = (std::uint32_t(alpha) << 24) | packRgb(px_[i]);
    return img;
}

Image Canvas::keyed(std::uint32_t key, std::uint8_t alpha) const
{
    Image img(width_, height_);
    for (std::size_t i = 0; i < px_.size(); ++i) {
        if (body_[i] < 0.5) {
            img.pixels[i] = key;
            continue;
        }
        std::uint32_t c = (std::uint32_t(alpha) << 24) | packRgb(px_[i]);
        if (c == key)
            c ^= 1u;
        img.pixels[i] = c;
    }
    return img;
}

void closeSmallHoles(Image& image, std::uint32_t key, std::size_t minArea, std::uint32_t fill)
{
    const std::size_t w = std::size_t(image.width), h = std::size_t(image.height);
    std::vector<char> seen(image.pixels.size(), 0);
    std::vector<std::size_t> patch, stack;
    for (std::size_t start = 0; start < image.pixels.size(); ++start) {
        if (seen[start] || image.pixels[start] != key)
            continue;
        patch.clear();
        stack.assign(1, start);
        seen[start] = 1;
        bool border = false;
        while (!stack.empty()) {
            const std::size_t i = stack.back();
            stack.pop_back();
            patch.push_back(i);
            const std::size_t x = i % w, y = i / w;
            border = border || x == 0 || y == 0 || x + 1 == w || y + 1 == h;
            const std::size_t next[4] = {x + 1 < w ? i + 1 : i, x > 0 ? i - 1 : i, y + 1 < h ? i + w : i, y > 0 ? i - w : i};
            for (std::size_t j : next)
                if (!seen[j] && image.pixels[j] == key) {
                    seen[j] = 1;
                    stack.push_back(j);
                }
        }
        if (!border && patch.size() < minArea)
            for (std::size_t i : patch)
                image.pixels[i] = fill;
    }
}

} // namespace assets
