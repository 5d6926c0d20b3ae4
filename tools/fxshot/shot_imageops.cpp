// Stills of the image operations and the frame compositing, drawn on a test
// picture (or on --texture FILE.tga, fitted to the frame):
//   zoom F, zoom-nearest F      beat zoom by factor F (0..1)
//   fade COLOUR INTENSITY       fade towards 0xRRGGBB by 0..65535
//   fade-plain COLOUR INTENSITY the same with the plain family
//   quartertile                 the quarter-tile feedback copy, once
//   saturate X Y                a glowing disc added at (X, Y)
//   invert MASK                 inversion against 0xRRGGBB (vector family)
//   blit X Y                    a keyed sprite placed at (X, Y)
#include "driver/compositing.h"
#include "imageops/image_ops.h"
#include "platform/portable_math.h"
#include "tools/fxshot/fxshot.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

using display::Surface;

constexpr int frameWidth = 320, frameHeight = 200;

std::uint32_t rgb(double r, double g, double b)
{
    auto channel = [](double v) { return static_cast<std::uint32_t>(std::clamp(v, 0.0, 255.0)); };
    return channel(r) << 16 | channel(g) << 8 | channel(b);
}

// A hue sweep from left to right, darker towards the bottom, with a white
// grid every 20 pixels, concentric rings around the centre and a small
// checkerboard in each corner: colour to judge fades and sums by, and fine
// detail to judge the zoom's filtering by.
void drawTestPicture(Surface& frame)
{
    auto* p = static_cast<std::uint32_t*>(frame.lock());
    for (int y = 0; y < frameHeight; ++y)
        for (int x = 0; x < frameWidth; ++x) {
            const double hue = x / 320.0 * 6.0, light = 1.0 - y / 260.0;
            const double r = std::clamp(std::abs(hue - 3.0) - 1.0, 0.0, 1.0);
            const double g = std::clamp(2.0 - std::abs(hue - 2.0), 0.0, 1.0);
            const double b = std::clamp(2.0 - std::abs(hue - 4.0), 0.0, 1.0);
            std::uint32_t pixel = rgb(255 * r * light, 255 * g * light, 255 * b * light);
            const double radius = std::hypot(x - 159.5, y - 99.5);
            if (static_cast<int>(radius) % 16 < 2 && radius < 90)
                pixel = rgb(255, 255, 200 - radius);
            if (x % 20 == 0 || y % 20 == 0)
                pixel = 0x00ffffff;
            const bool corner = (x < 40 || x >= 280) && (y < 40 || y >= 160);
            if (corner)
                pixel = ((x / 4 + y / 4) % 2) ? 0x00000000 : 0x00ffffff;
            p[y * frameWidth + x] = pixel;
        }
    frame.unlock();
}

// The picture every shot starts from: the test picture, or the texture given
// with --texture, mapped onto the frame one to one or stretched to fit.
void startPicture(const fxshot::Options& options, Surface& frame)
{
    if (options.texturePath.empty()) {
        drawTestPicture(frame);
        return;
    }
    Surface texture(options.texturePath.c_str());
    if (texture.empty())
        throw std::runtime_error("could not read the texture \"" + options.texturePath + "\"");
    driver::beatZoomNearest(frame, texture, 1.0f);
}

std::uint32_t parseColour(const std::string& text)
{
    std::size_t used = 0;
    unsigned long long value = 0; // a long may be 32 bits
    try {
        value = std::stoull(text, &used, 16);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || value > 0xffffff)
        throw std::runtime_error("COLOUR must be a hexadecimal 0xRRGGBB, not \"" + text + "\"");
    return static_cast<std::uint32_t>(value);
}

int parseInt(const std::string& text, const char* what)
{
    const double v = fxshot::parseNumber(text, what);
    if (v < -100000 || v > 100000)
        throw std::runtime_error(std::string(what) + " is out of range");
    return static_cast<int>(v);
}

void zoom(const std::vector<std::string>& arguments, const fxshot::Options& options, Surface& frame, bool filtered)
{
    const double f = fxshot::parseNumber(arguments[0], "F");
    if (f < 0.0 || f > 1.0)
        throw std::runtime_error("F must lie between 0 and 1");
    Surface source(frameWidth, frameHeight, display::format32());
    startPicture(options, source);
    if (filtered)
        driver::beatZoomFiltered(frame, source, static_cast<float>(f));
    else
        driver::beatZoomNearest(frame, source, static_cast<float>(f));
}

void fade(const std::vector<std::string>& arguments, const fxshot::Options& options, Surface& frame, bool vector)
{
    const std::uint32_t colour = parseColour(arguments[0]);
    const double intensity = fxshot::parseNumber(arguments[1], "INTENSITY");
    if (intensity < 0 || intensity > 0xffff)
        throw std::runtime_error("INTENSITY must lie between 0 and 65535");
    startPicture(options, frame);
    imageops::ImageOps ops(vector);
    ops.fade2col(frame, frame, colour, static_cast<int>(intensity));
}

fxshot::Registrar zoomShot({"zoom", "F", 1, [](const auto& a, const auto& o, Surface& f) { zoom(a, o, f, true); }});
fxshot::Registrar zoomNearestShot(
    {"zoom-nearest", "F", 1, [](const auto& a, const auto& o, Surface& f) { zoom(a, o, f, false); }});

fxshot::Registrar fadeShot({"fade", "COLOUR INTENSITY", 2,
                            [](const auto& a, const auto& o, Surface& f) { fade(a, o, f, imageops::_detectmmx()); }});
fxshot::Registrar fadePlainShot(
    {"fade-plain", "COLOUR INTENSITY", 2, [](const auto& a, const auto& o, Surface& f) { fade(a, o, f, false); }});

fxshot::Registrar quarterTileShot({"quartertile", "", 0, [](const auto&, const auto& options, Surface& frame) {
                                       Surface source(frameWidth, frameHeight, display::format32());
                                       startPicture(options, source);
                                       driver::quarterTileCopy(frame, source);
                                   }});

fxshot::Registrar saturateShot({"saturate", "X Y", 2, [](const auto& arguments, const auto& options, Surface& frame) {
                                    const int x = parseInt(arguments[0], "X"), y = parseInt(arguments[1], "Y");
                                    startPicture(options, frame);
                                    // A 120x120 disc of light, bluish at the rim.
                                    Surface glow(120, 120, display::format32());
                                    auto* p = static_cast<std::uint32_t*>(glow.lock());
                                    for (int gy = 0; gy < 120; ++gy)
                                        for (int gx = 0; gx < 120; ++gx) {
                                            const double t = std::max(0.0, 1.0 - std::hypot(gx - 59.5, gy - 59.5) / 60);
                                            p[gy * 120 + gx] = rgb(200 * t * t, 160 * t * t, 255 * t);
                                        }
                                    glow.unlock();
                                    imageops::ImageOps ops(imageops::_detectmmx());
                                    ops.saturate(frame, glow, x, y);
                                }});

fxshot::Registrar invertShot({"invert", "MASK", 1, [](const auto& arguments, const auto& options, Surface& frame) {
                                  const std::uint32_t mask = parseColour(arguments[0]);
                                  startPicture(options, frame);
                                  auto* p = static_cast<std::uint32_t*>(frame.lock());
                                  imageops::_invertmmx(p, p, mask, frameWidth * frameHeight);
                                  frame.unlock();
                              }});

fxshot::Registrar blitShot({"blit", "X Y", 2, [](const auto& arguments, const auto& options, Surface& frame) {
                                const int x = parseInt(arguments[0], "X"), y = parseInt(arguments[1], "Y");
                                startPicture(options, frame);
                                // A ringed star on black: the black top-left
                                // pixel makes all black transparent.
                                Surface sprite(100, 80, display::format32());
                                auto* p = static_cast<std::uint32_t*>(sprite.lock());
                                for (int sy = 0; sy < 80; ++sy)
                                    for (int sx = 0; sx < 100; ++sx) {
                                        const double dx = sx - 49.5, dy = sy - 39.5;
                                        const double r = std::hypot(dx, dy), a = platform::math::atan2(dy, dx);
                                        const double edge = 26 + 10 * platform::math::cos(5 * a);
                                        std::uint32_t c = 0;
                                        if (r < edge)
                                            c = rgb(255, 200 - 4 * r, 40);
                                        else if (r > 34 && r < 38)
                                            c = 0x0040ff40;
                                        p[sy * 100 + sx] = c;
                                    }
                                sprite.unlock();
                                driver::blitKeyed(sprite, frame, x, y);
                            }});

} // namespace
