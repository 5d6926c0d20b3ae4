#include "assets/common/font.h"

#define STB_TRUETYPE_IMPLEMENTATION
#include <stb/stb_truetype.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace assets {

std::filesystem::path fontPath(const char* fileName)
{
    // The folder the build found the font package in.
    return std::filesystem::path(DEMO_FONT_DIR) / fileName;
}

std::vector<int> decodeUtf8(const std::string& s)
{
    std::vector<int> out;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int need = 0, cp = 0;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xe0) == 0xc0) {
            need = 1;
            cp = c & 0x1f;
        } else if ((c & 0xf0) == 0xe0) {
            need = 2;
            cp = c & 0x0f;
        } else {
            out.push_back('?');
            ++i;
            continue;
        }
        if (i + std::size_t(need) >= s.size()) { // sequence cut off by the end of the text
            out.push_back('?');
            break;
        }
        bool ok = true;
        for (int k = 1; k <= need; ++k) {
            const unsigned char n = static_cast<unsigned char>(s[i + std::size_t(k)]);
            if ((n & 0xc0) != 0x80)
                ok = false;
            cp = (cp << 6) | (n & 0x3f);
        }
        out.push_back(ok ? cp : '?');
        i += std::size_t(need) + 1;
    }
    return out;
}

struct Font::Impl {
    std::vector<unsigned char> data;
    stbtt_fontinfo info{};
};

Font::Font(const std::filesystem::path& path) : impl_(new Impl)
{
    std::ifstream f(path, std::ios::binary);
    impl_->data.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    if (impl_->data.empty() ||
        !stbtt_InitFont(&impl_->info, impl_->data.data(), stbtt_GetFontOffsetForIndex(impl_->data.data(), 0))) {
        delete impl_;
        throw std::runtime_error("cannot read the font " + path.string());
    }
}

Font::~Font() { delete impl_; }

double Font::measure(const std::string& utf8, double pixelHeight, double tracking) const
{
    const float scale = stbtt_ScaleForPixelHeight(&impl_->info, float(pixelHeight));
    const std::vector<int> cps = decodeUtf8(utf8);
    double x = 0;
    for (std::size_t i = 0; i < cps.size(); ++i) {
        int advance = 0, lsb = 0;
        stbtt_GetCodepointHMetrics(&impl_->info, cps[i], &advance, &lsb);
        x += advance * double(scale);
        if (i + 1 < cps.size())
            x += stbtt_GetCodepointKernAdvance(&impl_->info, cps[i], cps[i + 1]) * double(scale) + tracking;
    }
    return x;
}

Font::Text Font::render(const std::string& utf8, double pixelHeight, double tracking, int pad) const
{
    const stbtt_fontinfo* info = &impl_->info;
    const float scale = stbtt_ScaleForPixelHeight(info, float(pixelHeight));
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(info, &ascent, &descent, &gap);
    const std::vector<int> cps = decodeUtf8(utf8);

    struct Placed {
        int cp;
        double x;
    };
    std::vector<Placed> glyphs;
    double pen = 0;
    for (std::size_t i = 0; i < cps.size(); ++i) {
        glyphs.push_back({cps[i], pen});
        int advance = 0, lsb = 0;
        stbtt_GetCodepointHMetrics(info, cps[i], &advance, &lsb);
        pen += advance * double(scale);
        if (i + 1 < cps.size())
            pen += stbtt_GetCodepointKernAdvance(info, cps[i], cps[i + 1]) * double(scale) + tracking;
    }

    const int base = int(std::ceil(ascent * double(scale))) + pad;
    const int height = base + int(std::ceil(-descent * double(scale))) + pad + 1;
    const int width = int(std::ceil(pen)) + 2 * pad + 2;
    Text out;
    out.mask = Mask(width, height);
    out.baseline = base;

    for (const Placed& g : glyphs) {
        const double gx = g.x + pad;
        const int ix = int(std::floor(gx));
        const float shiftX = float(gx - ix);
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        stbtt_GetCodepointBitmapBoxSubpixel(info, g.cp, scale, scale, shiftX, 0.0f, &x0, &y0, &x1, &y1);
        const int w = x1 - x0, h = y1 - y0;
        if (w <= 0 || h <= 0)
            continue;
        std::vector<unsigned char> bitmap(std::size_t(w) * std::size_t(h), 0);
        stbtt_MakeCodepointBitmapSubpixel(info, bitmap.data(), w, h, w, scale, scale, shiftX, 0.0f, g.cp);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int tx = ix + x0 + x, ty = base + y0 + y;
                if (tx < 0 || ty < 0 || tx >= width || ty >= height)
                    continue;
                double& v = out.mask.ref(tx, ty);
                v = std::min(1.0, v + bitmap[std::size_t(y) * std::size_t(w) + std::size_t(x)] / 255.0);
            }
    }
    return out;
}

} // namespace assets
