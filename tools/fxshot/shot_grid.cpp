// Stills of the grid distortion: grid-blob T and grid-warp T, T in
// milliseconds of demo time, drawn with the phase the scenes use (T x 0.0004).
#include "effects/grid_distortion.h"
#include "tools/fxshot/fxshot.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

// A 256x256 stand-in for the circle image: rings of colour inside a disc,
// a checkerboard outside it, with lines every 32 texels so that the
// distortion is easy to follow.
std::unique_ptr<display::Surface> makeTestTexture()
{
    auto texture = std::make_unique<display::Surface>(256, 256, display::format32());
    auto* texels = static_cast<std::uint32_t*>(texture->lock());
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const double dx = x - 127.5, dy = y - 127.5;
            const double radius = std::sqrt(dx * dx + dy * dy);
            std::uint32_t r, g, b;
            if (radius < 112) {
                const bool ring = (static_cast<int>(radius) / 14) % 2 == 0;
                r = ring ? 255 : static_cast<std::uint32_t>(2 * radius);
                g = ring ? static_cast<std::uint32_t>(220 - radius) : 40;
                b = ring ? 60 : 255 - static_cast<std::uint32_t>(radius);
            } else {
                const bool dark = ((x >> 4) + (y >> 4)) % 2 == 0;
                r = dark ? 30 : 90;
                g = dark ? 30 : 160;
                b = dark ? 80 : 200;
            }
            if (x % 32 == 0 || y % 32 == 0)
                r = g = b = 255;
            texels[y * 256 + x] = r << 16 | g << 8 | b;
        }
    }
    texture->unlock();
    return texture;
}

std::unique_ptr<display::Surface> loadTexture(const fxshot::Options& options)
{
    if (options.texturePath.empty())
        return makeTestTexture();
    auto texture = std::make_unique<display::Surface>(options.texturePath.c_str());
    if (texture->empty())
        throw std::runtime_error("could not read the texture \"" + options.texturePath +
                                 "\" (missing, or not a TGA image that can be read)");
    if (!effects::GridDistortion::textureUsable(*texture))
        throw std::runtime_error("the texture \"" + options.texturePath + "\" is " + std::to_string(texture->width()) +
                                 "x" + std::to_string(texture->height()) + "; the grid distortion needs 256x256");
    return texture;
}

double phaseOf(const std::vector<std::string>& arguments)
{
    return fxshot::parseNumber(arguments[0], "T (milliseconds)") * 0.0004;
}

fxshot::Registrar blob({"grid-blob", "T", 1,
                        [](const std::vector<std::string>& arguments, const fxshot::Options& options,
                           display::Surface& frame) {
                            double phase = phaseOf(arguments);
                            auto texture = loadTexture(options);
                            effects::GridDistortion grid;
                            grid.renderBlob(frame, *texture, phase);
                        }});

fxshot::Registrar warp({"grid-warp", "T", 1,
                        [](const std::vector<std::string>& arguments, const fxshot::Options& options,
                           display::Surface& frame) {
                            double phase = phaseOf(arguments);
                            auto texture = loadTexture(options);
                            effects::GridDistortion grid;
                            grid.renderWarp(frame, *texture, phase);
                        }});

} // namespace
