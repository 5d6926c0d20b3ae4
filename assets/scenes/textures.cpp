#include "assets/scenes/textures.h"

#include "assets/common/paint.h"

#include <cmath>
#include <cstdint>

namespace assets::scenes {
namespace {

// A small fixed generator so the tile pattern is the same everywhere.
struct Lcg {
    std::uint32_t state;
    double next()
    {
        state = state * 1664525u + 1013904223u;
        return double(state >> 8) / double(1u << 24);
    }
};

} // namespace

Image mirrorTiles(bool warm)
{
    const int size = 256, tiles = 16, cell = size / tiles;
    const std::vector<Rgb> palette = warm
        ? std::vector<Rgb>{rgb(0xff5fa8), rgb(0xffb23c), rgb(0xfff27a), rgb(0xd8d0ff), rgb(0x7df9ff), rgb(0xff7a5c)}
        : std::vector<Rgb>{rgb(0xe8ecff), rgb(0xb8c4e8), rgb(0x8a9ad0), rgb(0xd0b8ff), rgb(0xf4f0ff), rgb(0x9fe8ff)};
    Lcg rng{warm ? 0x1234567u : 0x7654321u};
    std::vector<Rgb> tileColour(std::size_t(tiles * tiles));
    std::vector<double> tileLight(tileColour.size()), tileGlint(tileColour.size());
    for (std::size_t i = 0; i < tileColour.size(); ++i) {
        const double pick = rng.next();
        tileColour[i] = palette[std::size_t(pick * double(palette.size())) % palette.size()];
        tileLight[i] = 0.45 + 0.7 * rng.next();
        tileGlint[i] = rng.next() > 0.9 ? 1.0 : 0.0;
    }
    Canvas c(size, size, rgb(0x141020));
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int tx = x / cell, ty = y / cell;
            const std::size_t i = std::size_t(ty * tiles + tx);
            const double fx = (x % cell + 0.5) / cell, fy = (y % cell + 0.5) / cell;
            // Dark grout between tiles, a bevel lighting the upper left edges.
            const double edge = std::min(std::min(fx, 1.0 - fx), std::min(fy, 1.0 - fy)) * cell;
            const double grout = dmath::smoothstep(0.6, 1.6, edge);
            const double bevel = (fx < 0.18 || fy < 0.18) ? 1.25 : ((fx > 0.85 || fy > 0.85) ? 0.7 : 1.0);
            Rgb col = scale(tileColour[i], tileLight[i] * bevel);
            // A diagonal sheen inside each tile.
            col = add(col, scale(Rgb{1, 1, 1}, 0.15 * dmath::smoothstep(0.3, 0.0, std::fabs(fx - fy))));
            if (tileGlint[i] > 0.0) {
                const double dx = std::fabs(fx - 0.5) * cell, dy = std::fabs(fy - 0.5) * cell;
                const double star = dmath::clamp01(1.2 - std::min(dx * 0.25 + dy * 2.0, dx * 2.0 + dy * 0.25));
                col = add(col, scale(Rgb{1, 1, 1}, star));
            }
            c.at(x, y) = mix(rgb(0x141020), col, grout);
        }
    return c.opaque();
}

Image danceFloor()
{
    const int size = 256, tiles = 4, cell = size / tiles;
    // Colour of each tile; columns mirror so the picture is symmetric.
    const Rgb colours[4][2] = {{rgb(0xff3d8b), rgb(0xffd34d)},
                               {rgb(0x3fd9c4), rgb(0x8a4fd8)},
                               {rgb(0xffa531), rgb(0xff3d8b)},
                               {rgb(0x8a4fd8), rgb(0x3fd9c4)}};
    Canvas c(size, size);
    c.fill([&](double x, double y) {
        const int tx = int(x) / cell, ty = int(y) / cell;
        const int col = tx < 2 ? tx : 3 - tx;
        const double fx = (x - tx * cell) / cell, fy = (y - ty * cell) / cell;
        const double ex = std::min(fx, 1.0 - fx), ey = std::min(fy, 1.0 - fy);
        const double edge = std::min(ex, ey) * cell;
        // Each tile glows from its middle; a dark frame separates the tiles.
        const double rx = (fx - 0.5) * 2.0, ry = (fy - 0.5) * 2.0;
        const double glow = 1.0 - 0.55 * std::sqrt(rx * rx + ry * ry) / std::sqrt(2.0);
        Rgb lit = scale(colours[ty][col], 0.35 + 0.75 * glow);
        lit = add(lit, scale(Rgb{1, 1, 1}, 0.35 * dmath::smoothstep(0.35, 0.0, std::sqrt(rx * rx + ry * ry))));
        const double frame = dmath::smoothstep(2.0, 4.0, edge);
        const Rgb metal = mix(rgb(0x2a1a3a), rgb(0x6a5a8a), dmath::smoothstep(0.0, 2.0, edge) * (1.0 - frame));
        return mix(metal, lit, frame);
    });
    return c.opaque();
}

Image neonBands()
{
    const int size = 256;
    const std::vector<Rgb> hues = {rgb(0xff3d8b), rgb(0xffd34d), rgb(0x3fd9c4), rgb(0x8a4fd8), rgb(0xff3d8b)};
    Canvas c(size, size);
    c.fill([&](double x, double y) {
        // Eight bands down the texture (around the tube), with chevrons across u.
        const double band = y / 32.0;
        const double k = std::floor(band);
        const double f = band - k;
        const Rgb base = gradient(hues, std::fmod(k / 4.0, 1.0));
        const double tube = std::sqrt(std::max(0.0, 1.0 - (f * 2.0 - 1.0) * (f * 2.0 - 1.0)));
        Rgb col = scale(base, 0.25 + 0.85 * tube);
        const double u = std::fabs(x - 128.0) / 16.0;
        const double chevron = std::fabs(std::fmod(u + f * 0.8, 1.0) - 0.5);
        col = add(col, scale(Rgb{1, 1, 1}, 0.35 * dmath::smoothstep(0.12, 0.0, chevron) * tube));
        return col;
    });
    return c.opaque();
}

} // namespace assets::scenes
