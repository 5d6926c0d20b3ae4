#pragma once
// A small painting kit for the generator's pictures: a floating-point colour
// canvas, anti-aliased shapes given by signed distance functions, coverage
// masks (for text) and the conversion to finished 32-bit images.
#include "assets/common/det_math.h"
#include "assets/common/image.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace assets {

struct Rgb {
    double r = 0, g = 0, b = 0; // 0..1
};

inline Rgb rgb(std::uint32_t hex)
{
    return {double((hex >> 16) & 0xff) / 255.0, double((hex >> 8) & 0xff) / 255.0, double(hex & 0xff) / 255.0};
}
inline Rgb mix(const Rgb& a, const Rgb& b, double t)
{
    return {dmath::mix(a.r, b.r, t), dmath::mix(a.g, b.g, t), dmath::mix(a.b, b.b, t)};
}
inline Rgb scale(const Rgb& a, double s) { return {a.r * s, a.g * s, a.b * s}; }
inline Rgb add(const Rgb& a, const Rgb& b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }

// Colour along a gradient of evenly spaced stops, t in 0..1.
Rgb gradient(const std::vector<Rgb>& stops, double t);

// Rounds a 0..1 channel to 0..255 (to nearest, clamped).
std::uint32_t toByte(double v);
std::uint32_t packRgb(const Rgb& c);

// A coverage mask, 0..1 per pixel.
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<double> value;

    Mask() = default;
    Mask(int w, int h) : width(w), height(h), value(std::size_t(w) * std::size_t(h), 0.0) {}
    double at(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return 0.0;
        return value[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
    double& ref(int x, int y) { return value[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

// The mask grown by `radius` pixels: each pixel takes the largest coverage
// found within the radius, softened at the rim so the result stays smooth.
Mask dilate(const Mask& m, double radius);
// Box blur of the given radius, applied three times (close to a Gaussian).
Mask blur(const Mask& m, int radius);
// The mask placed at an offset inside a larger frame of the given size.
Mask place(const Mask& m, int width, int height, int dx, int dy);
// Slants the mask: row y moves right by (baseline - y) * slope pixels,
// with linear resampling.
Mask shear(const Mask& m, double slope, double baseline);

// Signed distance helpers: negative inside, positive outside, in pixels.
namespace sdf {
inline double circle(double x, double y, double cx, double cy, double r)
{
    return std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) - r;
}
// Distance to the segment a-b, minus a radius that runs from ra at a to rb at b.
double capsule(double x, double y, double ax, double ay, double bx, double by, double ra, double rb);
// Parameter (0..1) of the nearest point of segment a-b.
double segmentParam(double x, double y, double ax, double ay, double bx, double by);
double roundedBox(double x, double y, double cx, double cy, double hw, double hh, double radius);
double ellipse(double x, double y, double cx, double cy, double rx, double ry);
// Any simple polygon, given as x0, y0, x1, y1, ... (either winding).
double polygon(double x, double y, const std::vector<double>& xy);
} // namespace sdf

class Canvas {
public:
    Canvas(int width, int height, const Rgb& fill = {});

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb& at(int x, int y) { return px_[std::size_t(y) * std::size_t(width_) + std::size_t(x)]; }
    const Rgb& at(int x, int y) const { return px_[std::size_t(y) * std::size_t(width_) + std::size_t(x)]; }
    double body(int x, int y) const { return body_[std::size_t(y) * std::size_t(width_) + std::size_t(x)]; }

    // Mixes colour c into pixel (x, y) by alpha a (0..1).
    void blend(int x, int y, const Rgb& c, double a)
    {
        if (a <= 0.0 || x < 0 || y < 0 || x >= width_ || y >= height_)
            return;
        a = std::min(a, 1.0);
        at(x, y) = mix(at(x, y), c, a);
    }
    // Adds colour c scaled by a (light).
    void addLight(int x, int y, const Rgb& c, double a)
    {
        if (a <= 0.0 || x < 0 || y < 0 || x >= width_ || y >= height_)
            return;
        Rgb& p = at(x, y);
        p = add(p, scale(c, a));
    }

    // Every pixel takes colour(x, y) at pixel centres.
    template <class Colour>
    void fill(Colour colour)
    {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                at(x, y) = colour(x + 0.5, y + 0.5);
    }

    // Paints the shape whose signed distance is dist(x, y), anti-aliased over
    // one pixel, with colour(x, y, d) and the given opacity.
    template <class Dist, class Colour>
    void shape(Dist dist, Colour colour, double opacity = 1.0)
    {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                const double px = x + 0.5, py = y + 0.5;
                const double d = dist(px, py);
                const double cover = dmath::clamp01(0.5 - d);
                if (cover > 0.0)
                    blend(x, y, colour(px, py, d), cover * opacity);
            }
    }

    // Marks the shape as part of the overlay's body (see keyed()). The body
    // edge is hard: a pixel belongs to it when its centre lies inside.
    template <class Dist>
    void markBody(Dist dist)
    {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (dist(x + 0.5, y + 0.5) < 0.0)
                    body_[std::size_t(y) * std::size_t(width_) + std::size_t(x)] = 1.0;
    }
    // Marks every pixel where the mask (placed at dx, dy) is at least `level`.
    void markBody(const Mask& m, int dx, int dy, double level);

    // Paints colour(x, y) through a coverage mask placed at (dx, dy).
    template <class Colour>
    void paintMask(const Mask& m, int dx, int dy, Colour colour, double opacity = 1.0)
    {
        for (int y = 0; y < m.height; ++y)
            for (int x = 0; x < m.width; ++x) {
                const double a = m.value[std::size_t(y) * std::size_t(m.width) + std::size_t(x)];
                if (a > 0.0)
                    blend(x + dx, y + dy, colour(x + dx + 0.5, y + dy + 0.5), a * opacity);
            }
    }
    // Adds colour(x, y) times the mask (glows on black pictures).
    template <class Colour>
    void lightMask(const Mask& m, int dx, int dy, Colour colour, double strength = 1.0)
    {
        for (int y = 0; y < m.height; ++y)
            for (int x = 0; x < m.width; ++x) {
                const double a = m.value[std::size_t(y) * std::size_t(m.width) + std::size_t(x)];
                if (a > 0.0)
                    addLight(x + dx, y + dy, colour(x + dx + 0.5, y + dy + 0.5), a * strength);
            }
    }

    // The picture as 32-bit pixels, top byte `alpha`.
    Image opaque(std::uint8_t alpha = 0) const;
    // An overlay: body pixels get their colour with top byte `alpha`, every
    // other pixel is exactly `key`. A body pixel that would equal the key is
    // moved one step of blue away, so the key stays exclusive to the
    // background.
    Image keyed(std::uint32_t key, std::uint8_t alpha = 0) const;

private:
    int width_;
    int height_;
    std::vector<Rgb> px_;
    std::vector<double> body_;
};

// Closes pin-holes of an overlay: every patch of key pixels (4-connected)
// smaller than `minArea` that does not touch the picture's border is painted
// with `fill`. Such specks appear where outlines and shadows nearly meet;
// with the key colour they would show the background through the figure.
void closeSmallHoles(Image& image, std::uint32_t key, std::size_t minArea, std::uint32_t fill);

} // namespace assets
