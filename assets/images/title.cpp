#include "assets/images/title.h"

#include <cmath>

namespace assets::images {

void paintTitle(Canvas& canvas, const Mask& text, double top, double bottom, const TitleStyle& style)
{
    const Mask outline = dilate(text, style.outlineWidth);
    const Mask shadow = place(outline, outline.width, outline.height, style.shadowX, style.shadowY);
    canvas.markBody(outline, 0, 0, 0.5);
    canvas.markBody(shadow, 0, 0, 0.5);
    canvas.paintMask(shadow, 0, 0, [&](double, double) { return style.shadow; });
    canvas.paintMask(outline, 0, 0, [&](double, double) { return style.outline; });
    canvas.paintMask(text, 0, 0, [&](double, double y) {
        const double t = dmath::clamp01((y - top) / (bottom - top));
        Rgb c = gradient(style.fill, t);
        // A bright band just above the middle, fading downwards: a glossy look.
        const double band = dmath::smoothstep(0.18, 0.3, t) * (1.0 - dmath::smoothstep(0.3, 0.52, t));
        return add(c, scale(Rgb{1.0, 1.0, 1.0}, band * style.shine));
    });
    // Inner shade along the lower edge of the strokes: the letter looks embossed.
    const Mask lower = place(text, text.width, text.height, 0, -2);
    for (int y = 0; y < text.height; ++y)
        for (int x = 0; x < text.width; ++x) {
            const double inside = text.at(x, y);
            const double edge = inside * (1.0 - lower.at(x, y));
            if (edge > 0.0)
                canvas.blend(x, y, scale(gradient(style.fill, dmath::clamp01((y + 0.5 - top) / (bottom - top))), 0.45), edge * 0.8);
        }
}

Mask setLetters(const Font& font, const std::string& utf8, double pixelHeight, double tracking,
                const std::vector<double>& lift, int width, int height, double x, double baseline)
{
    Mask out(width, height);
    const std::vector<int> cps = decodeUtf8(utf8);
    // Encode each code point back to UTF-8 to render it alone; the pen moves
    // by the width of the text up to and including it, so kerning is kept.
    std::string sofar;
    double pen = x;
    for (std::size_t i = 0; i < cps.size(); ++i) {
        std::string one;
        const int cp = cps[i];
        if (cp < 0x80) {
            one += char(cp);
        } else if (cp < 0x800) {
            one += char(0xc0 | (cp >> 6));
            one += char(0x80 | (cp & 0x3f));
        } else {
            one += char(0xe0 | (cp >> 12));
            one += char(0x80 | ((cp >> 6) & 0x3f));
            one += char(0x80 | (cp & 0x3f));
        }
        pen = x + (sofar.empty() ? 0.0 : font.measure(sofar + one, pixelHeight, tracking) - font.measure(one, pixelHeight));
        const Font::Text t = font.render(one, pixelHeight, 0.0, 2);
        const double l = i < lift.size() ? lift[i] : 0.0;
        const int dx = int(std::floor(pen)) - 2;
        const int dy = int(std::floor(baseline - t.baseline - l + 0.5));
        for (int yy = 0; yy < t.mask.height; ++yy)
            for (int xx = 0; xx < t.mask.width; ++xx) {
                const int tx = dx + xx, ty = dy + yy;
                if (tx >= 0 && ty >= 0 && tx < width && ty < height)
                    out.ref(tx, ty) = std::min(1.0, out.at(tx, ty) + t.mask.at(xx, yy));
            }
        sofar += one;
    }
    return out;
}

} // namespace assets::images
