// The greetings scroller and the closing picture.
#include "assets/common/font.h"
#include "assets/images/figure.h"
#include "assets/images/images.h"
#include "assets/images/title.h"

#include <cmath>
#include <cstdint>

namespace assets::images {

Image greets()
{
    // Added onto the picture with saturation, so black is "nothing" and the
    // colours stay moderate: the grid behind must remain visible.
    const int w = 630, h = 200;
    struct Row {
        const char* text;
        const char* font;
        double size;
        double baseline;
        double slope;
        Rgb core, glow;
    };
    const Row rows[] = {
        {"greetings fly out to", "DejaVuSerif-Bold.ttf", 24.0, 36.0, 0.2, rgb(0xffe9a8), rgb(0xff9a2e)},
        {"Glitterdammet \xe2\x80\xa2 Kassettk\xc3\xa5ren", "DejaVuSans-Bold.ttf", 36.0, 82.0, 0.0, rgb(0xffc2e0), rgb(0xe0308a)},
        {"Neonfabriken \xe2\x80\xa2 Vektorv\xc3\xa4nner", "DejaVuSans-Bold.ttf", 36.0, 130.0, 0.0, rgb(0xc9fff6), rgb(0x2ec4b6)},
        {"Sju Sorters Brus \xe2\x80\xa2 Sub Pixel Club \xe2\x80\xa2 Bitflickorna", "DejaVuSans-Bold.ttf", 24.0, 176.0, 0.0,
         rgb(0xe6d2ff), rgb(0x8a4fd8)},
    };
    Canvas c(w, h);
    for (const Row& row : rows) {
        const Font font(fontPath(row.font));
        Font::Text t = font.render(row.text, row.size, 1.0, 8);
        Mask m = row.slope != 0.0 ? shear(t.mask, row.slope, t.baseline) : t.mask;
        const int dx = int(std::floor((w - m.width) * 0.5 + 0.5));
        const int dy = int(std::floor(row.baseline - t.baseline + 0.5));
        const Mask glow = blur(dilate(m, 1.5), 4);
        const double top = row.baseline - row.size * 0.75;
        c.lightMask(glow, dx, dy, [&](double, double) { return row.glow; }, 0.55);
        c.lightMask(m, dx, dy, [&](double, double y) {
            const double t2 = dmath::clamp01((y - top) / (row.baseline - top));
            return mix(rgb(0xffffff), row.core, 0.35 + 0.65 * t2);
        }, 0.85);
    }
    // Thin rules between the rows, fading out towards the ends.
    for (int ry : {48, 147}) {
        for (int x = 0; x < w; ++x) {
            const double fade = dmath::smoothstep(0.0, 0.3, double(x) / w) * dmath::smoothstep(0.0, 0.3, 1.0 - double(x) / w);
            c.addLight(x, ry, rgb(0xff9a2e), 0.5 * fade);
            c.addLight(x, ry - 1, rgb(0xff9a2e), 0.12 * fade);
            c.addLight(x, ry + 1, rgb(0xff9a2e), 0.12 * fade);
        }
    }
    return c.opaque();
}

Image theEnd()
{
    const int w = 320, h = 200;
    const double horizon = 124.0;
    const double sunX = 160.0, sunY = horizon - 2.0, sunR = 62.0;
    Canvas c(w, h);

    // Sky: night purple at the top through magenta to a warm horizon.
    c.fill([&](double, double y) {
        const double t = dmath::clamp01(y / horizon);
        return gradient({rgb(0x12062a), rgb(0x3a0f5c), rgb(0x9c2a7a), rgb(0xff6a5c), rgb(0xffb04a)}, t * t * 0.35 + t * 0.65);
    });
    // Stars: a fixed pseudo-random scatter in the upper sky.
    std::uint32_t seed = 0x2f6e2b1u;
    for (int i = 0; i < 70; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const double x = double(seed >> 8) / double(1u << 24) * w;
        seed = seed * 1664525u + 1013904223u;
        const double y = double(seed >> 8) / double(1u << 24) * 70.0;
        seed = seed * 1664525u + 1013904223u;
        const double b = 0.3 + 0.7 * double(seed >> 8) / double(1u << 24);
        c.shape([&](double px, double py) { return sdf::circle(px, py, x, y, 0.45 + 0.5 * b); },
                [&](double, double, double) { return rgb(0xfff4e0); }, b * (1.0 - y / 90.0));
    }
    // The sun: yellow to pink, its lower half cut by widening bands.
    c.shape([&](double x, double y) { return sdf::circle(x, y, sunX, sunY, sunR); },
            [&](double, double y, double) {
                const double t = dmath::clamp01((y - (sunY - sunR)) / sunR);
                return gradient({rgb(0xfff27a), rgb(0xffb23c), rgb(0xff4f8b)}, t);
            });
    for (int k = 0; k < 6; ++k) {
        const double y0 = sunY - sunR * 0.42 + double(k * k) * 1.3 + double(k) * 9.0;
        const double th = 1.0 + double(k) * 0.9;
        c.shape([&](double x, double y) {
                    return std::max(std::fabs(y - y0) - th * 0.5, std::fabs(x - sunX) - sunR - 2.0);
                },
                [&](double, double y, double) {
                    const double t = dmath::clamp01(y / horizon);
                    return gradient({rgb(0x12062a), rgb(0x3a0f5c), rgb(0x9c2a7a), rgb(0xff6a5c), rgb(0xffb04a)}, t * t * 0.35 + t * 0.65);
                });
    }
    // Ground: dark floor with a neon grid running to the vanishing point.
    for (int y = int(horizon); y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double depth = 90.0 / (py - horizon + 0.5); // 1 at the bottom, large at the horizon
            Rgb col = mix(rgb(0x2a0a3a), rgb(0x0c0418), dmath::clamp01((py - horizon) / 40.0));
            // Horizontal lines at whole depths, their pixel spacing shrinking with distance.
            const double dl = depth * 2.0;
            const double frac = dl - std::floor(dl + 0.5);
            const double pixelsPerUnit = (py - horizon + 0.5) * (py - horizon + 0.5) / 180.0;
            const double hd = std::fabs(frac) * pixelsPerUnit;
            double line = dmath::clamp01(1.0 - hd / 0.9);
            // Lines towards the vanishing point, every 36 pixels at the bottom row.
            const double slope = (px - sunX) / (py - horizon + 0.5) * (double(h) - horizon);
            const double u = slope / 36.0;
            const double vd = std::fabs(u - std::floor(u + 0.5)) * 36.0 * (py - horizon + 0.5) / (double(h) - horizon);
            line = std::max(line, dmath::clamp01(1.0 - vd / 0.8));
            const double fadeIn = dmath::smoothstep(0.0, 18.0, py - horizon);
            const Rgb neon = mix(rgb(0xff3d8b), rgb(0x45e0d0), dmath::clamp01((py - horizon) / 76.0));
            col = add(col, scale(neon, line * (0.35 + 0.65 * fadeIn)));
            // Reflection of the sun, shimmering on the floor.
            const double rx = std::fabs(px - sunX) / (sunR * (1.0 - (py - horizon) / 120.0));
            const double shimmer = 0.5 + 0.5 * dmath::sin(py * 1.7);
            col = add(col, scale(rgb(0xff7a5c), dmath::clamp01(1.0 - rx) * (1.0 - fadeIn * 0.8) * 0.45 * shimmer));
            c.at(x, y) = col;
        }
    // Horizon glow.
    for (int y = int(horizon) - 6; y < int(horizon) + 6; ++y)
        for (int x = 0; x < w; ++x)
            c.addLight(x, y, rgb(0xffb04a), 0.35 * (1.0 - std::fabs(y + 0.5 - horizon) / 6.0));

    // Title in chrome lettering.
    const Font bold(fontPath("DejaVuSans-Bold.ttf"));
    const double size = 64.0, baseline = 112.0;
    const std::string title = "THE END";
    const double textW = bold.measure(title, size, 1.0) + 0.18 * size * 0.75;
    Mask letters = setLetters(bold, title, size, 1.0, {}, w, h, (double(w) - textW) * 0.5, baseline);
    letters = place(shear(letters, 0.18, baseline), w, h, 0, 0);
    TitleStyle chrome;
    chrome.fill = {rgb(0xf4f8ff), rgb(0x9fc4ff), rgb(0x2a3a8c), rgb(0xffb0d8), rgb(0xffffff)};
    chrome.outlineWidth = 2.2;
    chrome.shadowX = 3;
    chrome.shadowY = 3;
    chrome.shine = 0.25;
    paintTitle(c, letters, baseline - size * 0.73, baseline, chrome);

    // Credits: small lettering above and below.
    const Font serif(fontPath("DejaVuSerif-Bold.ttf"));
    const Font sans(fontPath("DejaVuSans.ttf"));
    auto smallLine = [&](const Font& f, const std::string& text, double sz, double base, const Rgb& colour) {
        const Font::Text t = f.render(text, sz, 0.6, 2);
        const int dx = int(std::floor((w - t.mask.width) * 0.5 + 0.5));
        const int dy = int(std::floor(base - t.baseline + 0.5));
        const Mask halo = blur(dilate(t.mask, 1.0), 1);
        c.paintMask(halo, dx, dy, [&](double, double) { return rgb(0x12062a); }, 0.8);
        c.paintMask(t.mask, dx, dy, [&](double, double) { return colour; });
    };
    smallLine(serif, "a Glittergruppen production", 13.0, 24.0, rgb(0xffc2e0));
    smallLine(sans, "code Vinylkatten  \xe2\x80\xa2  music Pulsbrus  \xe2\x80\xa2  graphics Neonsnigel", 10.0, 192.0,
              rgb(0xfff4e0));
    return c.opaque(0xff);
}

} // namespace assets::images
