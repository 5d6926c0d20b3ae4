// The grid distortion's texture: concentric shaded rings around the tile's
// centre. The picture is symmetric about both centre lines, so opposite
// edges match and the texture repeats without a seam when addressed modulo
// 256.
#include "assets/common/paint.h"
#include "assets/images/figure.h"
#include "assets/images/images.h"

#include <cmath>

namespace assets::images {

Image circle()
{
    const int size = 256;
    const double period = 18.0; // ring width in texels
    const std::vector<Rgb> hues = {rgb(0xff3d8b), rgb(0xffa531), rgb(0xffe45c), rgb(0x3fd9c4),
                                   rgb(0x4f7dff), rgb(0xb04dff), rgb(0xff3d8b)};
    std::vector<std::vector<Point>> dots(12);
    for (std::size_t k = 0; k < dots.size(); k += 2) {
        const int n = 4 * (2 + int(k));
        for (int i = 0; i < n; ++i) {
            const double a = 2.0 * dmath::pi * (double(i) + 0.5) / double(n);
            const double rr = (double(k) + 0.5) * period;
            dots[k].push_back({128.0 + dmath::cos(a) * rr, 128.0 + dmath::sin(a) * rr});
        }
    }
    Canvas c(size, size);
    c.fill([&](double x, double y) {
        const double dx = x - 128.0, dy = y - 128.0;
        const double r = std::sqrt(dx * dx + dy * dy);
        const double ring = r / period;
        const double k = std::floor(ring);
        const double f = ring - k; // 0..1 across one ring
        // Each ring is a tube seen from straight above, lit from the viewer:
        // the shading depends only on the distance from the ring's middle, so
        // the picture keeps the symmetry that makes it tile.
        const double across = f * 2.0 - 1.0;
        const double nz = std::sqrt(std::max(0.0, 1.0 - across * across * 0.85));
        const double hue = std::fmod(k / 6.0, 1.0);
        const Rgb base = gradient(hues, hue);
        double spec = nz;
        for (int i = 0; i < 5; ++i)
            spec *= spec; // nz^32
        Rgb lit = add(scale(base, 0.25 + 0.9 * nz), scale(Rgb{1.0, 0.96, 0.9}, 0.55 * spec));
        // Dark grooves between the rings.
        const double groove = dmath::smoothstep(0.0, 0.12, f) * dmath::smoothstep(0.0, 0.12, 1.0 - f);
        lit = scale(lit, 0.15 + 0.85 * groove);
        // Sparkle dots on every other ring, on spokes symmetric about both axes.
        if (int(k) % 2 == 0 && std::size_t(k) < dots.size()) {
            double m = 1e9;
            for (const Point& d : dots[std::size_t(k)])
                m = std::min(m, (x - d.x) * (x - d.x) + (y - d.y) * (y - d.y));
            lit = add(lit, scale(Rgb{1.0, 0.95, 0.85}, dmath::clamp01(2.2 - std::sqrt(m)) * 0.8));
        }
        return lit;
    });
    return c.opaque();
}

} // namespace assets::images
