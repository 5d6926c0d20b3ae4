#include "effects/grid_distortion.h"

#include "console/surface_lock.h"
#include "platform/portable_math.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace effects {

namespace {

// trunc(x) as a 32-bit integer; values beyond the range (and NaN, as 0) are
// held at its ends instead of being undefined. The generators never get
// there with finite phases.
std::int32_t truncToInt32(double x)
{
    if (!(x == x))
        return 0;
    if (x >= 2147483647.0)
        return INT32_MAX;
    if (x <= -2147483648.0)
        return INT32_MIN;
    return static_cast<std::int32_t>(x);
}

} // namespace

BlobParameters blobParameters(double p)
{
    constexpr double k = 0.017444444444444446; // degrees to radians, as the effect has always had it
    BlobParameters params;
    params.a = 2 * p;
    params.b = 128 + 64 * platform::math::sin(p);
    params.e = static_cast<float>(21 + 20 * platform::math::sin((0.23 * p - 45 * platform::math::cos((23 + 0.43 * p) * k)) * k));
    params.c = static_cast<float>(0.02 + 1 / static_cast<double>(params.e));
    return params;
}

GridDistortion::GridDistortion(int gridWidth, int gridHeight, int blockWidth, int blockHeight)
    : gridWidth_(std::max(0, gridWidth)), gridHeight_(std::max(0, gridHeight)), blockWidth_(blockWidth),
      blockHeight_(blockHeight), points_(static_cast<std::size_t>(gridWidth_) * gridHeight_),
      falloff_(falloffSize), sinTable_(falloffSize), cosTable_(falloffSize), lightTable_(falloffSize)
{
    falloffUsed_ = 0;
    for (int i = 0; i < falloffSize; ++i) {
        falloff_[i] = static_cast<float>(std::max(0.0, 255 - 8 * std::sqrt(static_cast<double>(i))));
        if (falloff_[i] > 0)
            falloffUsed_ = i + 1;
    }
    // A ball without influence adds 32 sin(0) = 0 to u, 32 cos(0) = 32 to v
    // and no light; these entries never change.
    for (int i = falloffUsed_; i < falloffSize; ++i) {
        sinTable_[i] = 0;
        cosTable_[i] = 32;
        lightTable_[i] = 0;
    }
    su_.resize(points_.size());
    sv_.resize(points_.size());
    light_.resize(points_.size());
    dx2_.resize(static_cast<std::size_t>(gridWidth_));
    columnWave_.resize(static_cast<std::size_t>(gridWidth_));
}

void GridDistortion::renderBlob(display::BaseSurface& surface, display::BaseSurface& texture, double phase)
{
    BlobParameters params = blobParameters(phase);
    generateBlob(params.a, params.b, params.c, params.e);
    fill(surface, texture);
}

void GridDistortion::renderWarp(display::BaseSurface& surface, display::BaseSurface& texture, double phase)
{
    generateWarp(phase);
    fill(surface, texture);
}

void GridDistortion::generateBlob(double a, double b, float c, float e)
{
    if (!(std::trunc(e) > 0))
        return;
    const float ballCount = e + 1.0f;                        // E: the last ball counts with frac(E)
    const float lastWeight = ballCount - std::trunc(ballCount); // frac(E)
    int balls = 0;
    while (balls < maxBalls && balls < ballCount)
        ++balls;

    const double pu = 3 + 2 * platform::math::sin(a);
    const double qv = 3 + 2 * platform::math::cos((0.5759586433333334 - a) * 1.2);
    if (b < 0)
        b = 0;

    // Each ball's contribution depends only on its squared distance, so the
    // per-distance terms are worked out once per frame. The sums below add
    // exactly the same numbers in the same order as a per-ball evaluation.
    for (int i = 0; i < falloffUsed_; ++i) {
        const double w = falloff_[i];
        sinTable_[i] = 32 * platform::math::sin(pu * w * 0.008722222222222223);
        cosTable_[i] = 32 * platform::math::cos(qv * w * 0.010466666666666666);
        lightTable_[i] = w * static_cast<double>(c);
    }

    std::fill(su_.begin(), su_.end(), 0.0);
    std::fill(sv_.begin(), sv_.end(), 0.0);
    std::fill(light_.begin(), light_.end(), b);

    const int halfW = gridWidth_ / 2, halfH = gridHeight_ / 2;
    for (int i = 0; i < balls; ++i) {
        const double x = 20 * platform::math::cos(2 * a * platform::math::cos((20 + 0.7 * i) * 35.123123) + 123.3212 * (i + 2.3));
        const double y = 20 * platform::math::sin(341.4623 * (20.1 - i) + 2 * a * platform::math::sin((40 + 0.8 * i) * 45.434322));
        const double z = 20 * platform::math::cos(a * platform::math::cos((70 + 0.9 * i) * 55.123423) + 541.7534 * (74.2 - i));
        const double z2 = z * z;
        const bool whole = i <= e;
        const double f = whole ? 1.0 : static_cast<double>(lastWeight);
        for (int col = 0; col < gridWidth_; ++col) {
            const double dx = (col - halfW) - x;
            dx2_[col] = dx * dx;
        }
        for (int row = 0; row < gridHeight_; ++row) {
            const double dy = (row - halfH) - y;
            const double dy2 = dy * dy;
            const std::size_t base = static_cast<std::size_t>(row) * gridWidth_;
            for (int col = 0; col < gridWidth_; ++col) {
                // Squared distance to the nearest integer; beyond the table
                // there is no influence (the last entry is 0).
                const double distance = dx2_[col] + dy2 + z2 + 0.5;
                const int d = distance < falloffSize - 1 ? static_cast<int>(distance) : falloffSize - 1;
                const std::size_t p = base + col;
                if (whole) {
                    su_[p] = su_[p] + sinTable_[d];
                    sv_[p] = sv_[p] + cosTable_[d];
                    light_[p] = light_[p] + lightTable_[d];
                } else {
                    su_[p] = su_[p] + f * sinTable_[d];
                    sv_[p] = sv_[p] + f * cosTable_[d];
                    light_[p] = light_[p] + f * falloff_[d] * static_cast<double>(c);
                }
            }
        }
    }

    for (std::size_t p = 0; p < points_.size(); ++p) {
        const double light = std::clamp(light_[p], 4.0, 245.0);
        points_[p].u = truncToInt32(su_[p] * 65536);
        points_[p].v = truncToInt32(sv_[p] * 65536);
        points_[p].darkness = truncToInt32((255 - light) * 65536);
    }
}

void GridDistortion::generateWarp(double a)
{
    const double sinA = platform::math::sin(a), cosA = platform::math::cos(a);
    const int halfW = gridWidth_ / 2, halfH = gridHeight_ / 2;
    for (int col = 0; col < gridWidth_; ++col) {
        const double gx = col - halfW;
        columnWave_[static_cast<std::size_t>(col)] = platform::math::sin(a + 0.1 * gx);
    }
    for (int row = 0; row < gridHeight_; ++row) {
        const double gy = row - halfH;
        const double w = platform::math::cos(3.23 * a + 0.1 * gy);
        for (int col = 0; col < gridWidth_; ++col) {
            const double gx = col - halfW;
            const double v = columnWave_[static_cast<std::size_t>(col)];
            const double r = gx * cosA + gy * sinA;
            const double s = gx * sinA - gy * cosA;
            const double uw = 3 + 2.5 * r * w * sinA;
            const double tw = 3 + 2.5 * v * s * sinA;
            const double light = std::clamp(std::fabs(uw * tw * 0.25), 1.0, 255.0);
            GridPoint& point = points_[static_cast<std::size_t>(row) * gridWidth_ + col];
            point.u = truncToInt32(tw * 524280);
            point.v = truncToInt32(uw * 524280);
            point.darkness = truncToInt32(light * 65535);
        }
    }
}

bool GridDistortion::textureUsable(const display::BaseSurface& texture)
{
    return texture.width() == gridfill::textureSize && texture.height() == gridfill::textureSize &&
           texture.format().bytes() == 4 && texture.pitch() == gridfill::textureSize * 4;
}

void GridDistortion::fill(display::BaseSurface& surface, display::BaseSurface& texture)
{
    const display::SurfaceLock destination(surface);
    if (surface.format().bytes() != 4 || surface.pitch() != surface.width() * 4 || !textureUsable(texture))
        return;
    gridfill::Filler filler = gridfill::findFiller(surface.width(), surface.height(), gridWidth_, gridHeight_,
                                                   blockWidth_, blockHeight_);
    if (!filler)
        return;
    const display::SurfaceLock source(texture);
    filler(points_.data(), destination.pixels(), source.pixels());
}

} // namespace effects
