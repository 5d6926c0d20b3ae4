// The lettered pictures: the groovy title pair, the voodoo title, the record
// and the closing picture.
#include "assets/common/font.h"
#include "assets/images/figure.h"
#include "assets/images/images.h"
#include "assets/images/title.h"

#include <cmath>

namespace assets::images {
namespace {

// A four-pointed sparkle: two crossed thin diamonds.
double sparkle(double x, double y, double cx, double cy, double size)
{
    const double dx = std::fabs(x - cx), dy = std::fabs(y - cy);
    const double a = dx / size + dy / (size * 0.18) - 1.0;
    const double b = dx / (size * 0.18) + dy / size - 1.0;
    return std::min(a, b) * size * 0.18;
}

} // namespace

Image groovy(int state)
{
    const int w = 165, h = 60;
    const Font font(fontPath("DejaVuSans-Bold.ttf"));
    const std::string word = "GROOVY";
    const double tracking = -1.0;
    // The largest size whose slanted word, outline and shadow fit the width.
    double size = 46.0;
    while (size > 20.0 && font.measure(word, size, tracking) + 0.22 * size * 0.75 + 12.0 > double(w))
        size -= 0.5;
    const double textW = font.measure(word, size, tracking) + 0.22 * size * 0.75;
    const double up = state == 1 ? 3.0 : -3.0;
    const std::vector<double> lift = {up, -up, up, -up, up, -up};
    const double baseline = 45.0;
    Mask letters = setLetters(font, word, size, tracking, lift, w, h, (double(w) - 4.0 - textW) * 0.5, baseline);
    letters = shear(letters, 0.22, baseline);
    letters = place(letters, w, h, 0, 0);

    Canvas c(w, h);
    TitleStyle style;
    if (state == 1)
        style.fill = {rgb(0xfff27a), rgb(0xffb23c), rgb(0xff4f8b), rgb(0xb02a9c)};
    else
        style.fill = {rgb(0xc9fff6), rgb(0x45e0d0), rgb(0x4f7dff), rgb(0x7a2fd0)};
    style.outlineWidth = 2.0;
    style.shadowX = 2;
    style.shadowY = 3;
    paintTitle(c, letters, baseline - size * 0.75, baseline, style);

    // Sparkles in the gaps, on the other side in the other state.
    const double sx[2][3] = {{12, 150, 96}, {150, 14, 62}};
    const double sy[2][3] = {{10, 50, 6}, {9, 48, 5}};
    for (int i = 0; i < 3; ++i) {
        const double cx = sx[state == 1 ? 0 : 1][i], cy = sy[state == 1 ? 0 : 1][i];
        const double s = i == 2 ? 5.0 : 7.0;
        auto d = [&](double x, double y) { return sparkle(x, y, cx, cy, s); };
        c.markBody([&](double x, double y) { return d(x, y) - 0.8; });
        c.shape([&](double x, double y) { return d(x, y) - 0.8; }, [&](double, double, double) { return rgb(0x1a0f2e); });
        c.shape(d, [&](double x, double y, double) {
            const double r = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) / s;
            return mix(rgb(0xffffff), state == 1 ? rgb(0xffd34d) : rgb(0x7df9ff), r);
        });
    }
    return c.keyed(overlayKey);
}

Image voodoo()
{
    const int w = 320, h = 88;
    const Font font(fontPath("DejaVuSerif-Bold.ttf"));
    const std::string word = "VOODOO";
    const double tracking = 1.0, baseline = 66.0;
    double size = 76.0;
    while (font.measure(word, size, tracking) + 16.0 > double(w))
        size -= 0.5;
    const double textW = font.measure(word, size, tracking);
    const double x0 = (double(w) - textW) * 0.5;
    const std::vector<double> lift = {0.0, 3.0, -2.0, 2.0, -3.0, 1.0};
    const Mask letters = setLetters(font, word, size, tracking, lift, w, h, x0, baseline);

    Canvas c(w, h);
    TitleStyle style;
    style.fill = {rgb(0xe8ff8a), rgb(0x7cf08a), rgb(0x2ec4b6), rgb(0x5a2a9c), rgb(0x2a0f4a)};
    style.outlineWidth = 2.5;
    style.shadowX = 4;
    style.shadowY = 4;
    style.shine = 0.35;
    paintTitle(c, letters, baseline - size * 0.72, baseline, style);

    // Eyes inside the O's on either side of the D: the word stares back.
    for (int k : {2, 4}) {
        const std::string letter = word.substr(std::size_t(k), 1);
        const double pen = font.measure(word.substr(0, std::size_t(k) + 1), size, tracking) - font.measure(letter, size);
        const double cx = x0 + pen + font.measure(letter, size) * 0.5;
        const double cy = baseline - size * 0.36 - lift[std::size_t(k)];
        c.markBody([&](double x, double y) { return sdf::ellipse(x, y, cx, cy, 8.0, 13.5); });
        c.shape([&](double x, double y) { return sdf::ellipse(x, y, cx, cy, 8.0, 13.5); },
                [&](double, double, double) { return rgb(0x1a0f2e); });
        c.shape([&](double x, double y) { return sdf::ellipse(x, y, cx, cy, 6.5, 12.0); },
                [&](double x, double y, double) { return shadeRound(rgb(0xfff4e0), (x - cx) / 6.5, (y - cy) / 12.0, 0.3); });
        const double ix = cx + (k == 2 ? 1.5 : -1.5), iy = cy + 2.0;
        c.shape([&](double x, double y) { return sdf::circle(x, y, ix, iy, 4.6); },
                [&](double x, double y, double) {
                    const double r = std::sqrt((x - ix) * (x - ix) + (y - iy) * (y - iy)) / 4.6;
                    return gradient({rgb(0xff9ad0), rgb(0xe0308a), rgb(0x6a1040)}, r);
                });
        c.shape([&](double x, double y) { return sdf::circle(x, y, ix, iy, 2.0); },
                [&](double, double, double) { return rgb(0x1a0f2e); });
        c.shape([&](double x, double y) { return sdf::circle(x, y, ix - 1.6, iy - 1.8, 1.0); },
                [&](double, double, double) { return rgb(0xffffff); });
    }
    return c.keyed(overlayKey);
}

Image skiva()
{
    const int w = 240, h = 182;
    const double cx = 91.0, cy = 91.0, radius = 88.0, labelR = 31.0;
    Canvas c(w, h);
    const Rgb ink = rgb(0x1a0f2e);

    // The disc: fine grooves, an anisotropic sheen and a bevelled rim.
    c.markBody([&](double x, double y) { return sdf::circle(x, y, cx, cy, radius + 1.5); });
    c.shape([&](double x, double y) { return sdf::circle(x, y, cx, cy, radius + 1.5); }, [&](double, double, double) { return ink; });
    c.shape([&](double x, double y) { return sdf::circle(x, y, cx, cy, radius); },
            [&](double x, double y, double d) {
                const double dx = x - cx, dy = y - cy;
                const double r2 = std::max(dx * dx + dy * dy, 1e-9);
                const double r = std::sqrt(r2);
                const double cos2 = (dx * dx - dy * dy) / r2, sin2 = 2.0 * dx * dy / r2;
                // Sheen along the direction 35 degrees: cos(2 (angle - 35 deg)).
                const double a0c = 0.34202014332566866, a0s = 0.9396926207859083; // cos, sin of 70 degrees
                const double along = cos2 * a0c + sin2 * a0s;
                double sheen = std::max(0.0, along);
                sheen = sheen * sheen * sheen * sheen;
                const double groove = 0.75 + 0.25 * dmath::sin(r * 2.7) * dmath::sin(r * 0.41);
                const double band = (r > labelR + 6.0 && std::fmod(r, 19.0) < 1.1) ? 0.55 : 1.0; // track gaps
                Rgb col = rgb(0x16111f);
                col = add(col, scale(Rgb{0.42, 0.36, 0.58}, sheen * groove * band));
                col = add(col, scale(Rgb{0.9, 0.5, 0.8}, sheen * sheen * 0.25));
                const double rim = dmath::clamp01(1.0 + d / 2.5);
                return add(col, scale(Rgb{0.3, 0.25, 0.4}, rim * 0.6));
            });
    // The label.
    c.shape([&](double x, double y) { return sdf::circle(x, y, cx, cy, labelR); },
            [&](double, double y, double) {
                const double t = dmath::clamp01((y - (cy - labelR)) / (2.0 * labelR));
                return gradient({rgb(0xffd34d), rgb(0xff7a3c), rgb(0xe0308a)}, t);
            });
    c.shape([&](double x, double y) { return std::fabs(sdf::circle(x, y, cx, cy, labelR - 3.0)) - 0.6; },
            [&](double, double, double) { return rgb(0xfff4e0); }, 0.8);
    const Font font(fontPath("DejaVuSans-Bold.ttf"));
    for (int line = 0; line < 2; ++line) {
        const std::string text = line == 0 ? "GLITTER" : "33 RPM";
        const double size = line == 0 ? 11.0 : 8.5;
        const Font::Text t = font.render(text, size, line == 0 ? 0.5 : 0.3, 1);
        const int dx = int(std::floor(cx - t.mask.width * 0.5 + 0.5));
        const int dy = int(std::floor((line == 0 ? cy - 8.0 : cy + 16.0) - t.baseline + 0.5));
        c.paintMask(t.mask, dx, dy, [&](double, double) { return rgb(0x2a0f4a); });
    }
    c.shape([&](double x, double y) { return sdf::circle(x, y, cx, cy, 3.2); },
            [&](double x, double y, double) { return shadeRound(rgb(0xc8c8d8), (x - cx) / 3.2, (y - cy) / 3.2, 0.8); });

    // Tone arm: base, counterweight, arm and head shell, in brushed metal.
    const double px = 212.0, py = 30.0;
    auto metalTube = [&](double ax, double ay, double bx, double by, double r, const Rgb& tone) {
        auto d = [=](double x, double y) { return sdf::capsule(x, y, ax, ay, bx, by, r, r); };
        c.markBody([&](double x, double y) { return d(x, y) - 1.5; });
        c.shape([&](double x, double y) { return d(x, y) - 1.5; }, [&](double, double, double) { return ink; });
        c.shape(d, [&](double x, double y, double) {
            const double s = sdf::segmentParam(x, y, ax, ay, bx, by);
            const double qx = ax + (bx - ax) * s, qy = ay + (by - ay) * s;
            return shadeRound(tone, (x - qx) / r, (y - qy) / r, 0.9);
        });
    };
    metalTube(px, py, px, py, 17.0, rgb(0x585070));
    metalTube(px + 8.0, py - 14.0, px + 14.0, py - 22.0, 8.0, rgb(0x8a8aa0));
    metalTube(px, py, 176.0, 118.0, 3.2, rgb(0xd8d8e8));
    metalTube(176.0, 118.0, 160.0, 134.0, 5.0, rgb(0xb8b8cc));
    metalTube(px, py, px, py, 7.0, rgb(0xe8e8f0));
    return c.keyed(overlayKey, 0xff);
}

} // namespace assets::images
