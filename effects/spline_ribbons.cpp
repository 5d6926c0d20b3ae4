#include "effects/spline_ribbons.h"

#include "console/surface_lock.h"
#include "platform/portable_math.h"

#include <cmath>
#include <limits>

namespace effects {

using engine3d::Vec3;

namespace {

constexpr int kKnots = 41;
constexpr int kPointsPerRibbon = 500;
constexpr double kKnotAngle = 0.1570795; // 41 knots cover one turn

} // namespace

PointSet::PointSet(int count) : points_(count > 0 ? static_cast<std::size_t>(count) : 0) {}

void PointSet::invert(const Vec3& centre, double radius)
{
    const double r2 = radius * radius;
    for (auto& point : points_) {
        double dx = point.position.x - centre.x;
        double dy = point.position.y - centre.y;
        double q = dx * dx + dy * dy;
        if (q == 0.0) {
            // The centre maps to infinity: leave a position no splat accepts.
            point.position.x = std::numeric_limits<double>::quiet_NaN();
            point.position.y = std::numeric_limits<double>::quiet_NaN();
            continue;
        }
        point.position.x = centre.x + dx * r2 / q;
        point.position.y = centre.y + dy * r2 / q;
    }
}

void PointSet::copyToDrawn()
{
    for (auto& point : points_)
        point.drawn = point.position;
}

void PointSet::drawAll(std::uint32_t* pixels, int width, int height, int pitch, std::uint8_t blue,
                       std::uint8_t green, std::uint8_t red, SplatForm form) const
{
    for (const auto& point : points_) {
        int sx = 0, sy = 0;
        if (!splatPosition(point.drawn, width, height, sx, sy))
            continue;
        std::uint32_t* centre = pixels + static_cast<std::ptrdiff_t>(sy) * pitch + sx;
        if (form == SplatForm::Mmx)
            _splatmmx(centre, pitch, blue, green, red);
        else
            _splatnommx(centre, pitch, blue, green, red);
    }
}

bool splatPosition(const Vec3& drawn, int width, int height, int& sx, int& sy)
{
    // sx = trunc(width/2 - x * (-256) / z). The tests are made on the double
    // before it is truncated: a point thrown far away by an inversion (or a
    // NaN) would not fit an int. trunc(v) >= 1 exactly when v >= 1, and
    // trunc(v) < width - 1 exactly when v < width - 1; NaN fails both.
    double x = static_cast<double>(width / 2) - drawn.x * -256.0 / drawn.z;
    double y = static_cast<double>(height / 2) - drawn.y * -256.0 / drawn.z;
    if (!(x >= 1.0 && x < static_cast<double>(width - 1)))
        return false;
    if (!(y >= 1.0 && y < static_cast<double>(height - 1)))
        return false;
    sx = static_cast<int>(x);
    sy = static_cast<int>(y);
    return true;
}

void ControlChain::computeTangents()
{
    const int n = size();
    if (n == 0)
        return;
    if (n == 1)
        return; // a lone knot has no neighbour to take a direction from
    if (n == 2) {
        Vec3 d = points_[1].position - points_[0].position;
        points_[0].outgoing = d * (1.0 - points_[0].tension);
        points_[1].incoming = d * (1.0 - points_[1].tension);
        return;
    }
    for (int k = 1; k < n; ++k) {
        ControlPoint& p = points_[static_cast<std::size_t>(k)];
        const ControlPoint& prev = points_[static_cast<std::size_t>(k - 1)];
        const double t = p.tension;
        if (k + 1 < n) {
            const ControlPoint& next = points_[static_cast<std::size_t>(k + 1)];
            Vec3 a = (p.position - prev.position) * (1.0 + p.bias);
            Vec3 b = (next.position - p.position) * (1.0 - p.bias);
            Vec3 ba = b - a;
            p.incoming = (a + ba * ((1.0 + p.continuity) / 2.0)) * (1.0 - t);
            p.outgoing = (a + ba * ((1.0 - p.continuity) / 2.0)) * (1.0 - t);
        } else {
            p.incoming = ((p.position - prev.position) * 1.5 - prev.outgoing * 0.5) * (1.0 - t);
        }
    }
    ControlPoint& first = points_[0];
    const ControlPoint& second = points_[1];
    first.outgoing = ((second.position - first.position) * 1.5 - second.incoming * 0.5) * (1.0 - first.tension);
}

void ControlChain::distribute(PointSet& points) const
{
    const int n = size();
    const int count = points.size();
    if (n < 2 || count < 1)
        return;
    const double step = static_cast<double>(n - 1) / static_cast<double>(count);
    const int perSegment = static_cast<int>(1.0 / step);
    int extra = count % (n - 1);
    int index = 0;
    for (int k = 0; k + 1 < n; ++k) {
        int pointsHere = perSegment;
        if (extra > 0) {
            ++pointsHere;
            --extra;
        }
        const ControlPoint& p0 = points_[static_cast<std::size_t>(k)];
        const ControlPoint& p1 = points_[static_cast<std::size_t>(k + 1)];
        double f = 0.0;
        for (int j = 0; j < pointsHere && index < count; ++j) {
            const double f2 = f * f;
            const double f3 = f2 * f;
            points[index].position = p0.position * (2.0 * f3 - 3.0 * f2 + 1.0) + p0.outgoing * (f3 - 2.0 * f2 + f) +
                                     p1.position * (-2.0 * f3 + 3.0 * f2) + p1.incoming * (f3 - f2);
            ++index;
            f += step;
        }
    }
}

SplineRibbons::SplineRibbons() : form_(processorInfo().mmx ? SplatForm::Mmx : SplatForm::Plain) {}

ControlChain SplineRibbons::buildChain(int ribbon, double t)
{
    const double e = t * 0.003;
    ControlChain chain;
    for (int i = 0; i < kKnots; ++i) {
        const double bi = i * kKnotAngle;
        ControlPoint knot;
        if (ribbon == 1) {
            double rx = (i % 2 == 0) ? 30.0 : 50.0;
            knot.position = Vec3{rx * platform::math::sin(bi + e), 50.0 * platform::math::cos(bi + e), 256.0};
        } else if (i % 2 == 0) {
            knot.position = Vec3{30.0 * platform::math::sin(bi - 1.23 * e), 50.0 * platform::math::cos(bi - e), 256.0};
        } else {
            knot.position = Vec3{30.0 * platform::math::sin(bi - 1.21 * e), 50.0 * platform::math::cos(bi + e), 256.0};
        }
        chain.append(knot);
    }
    return chain;
}

void SplineRibbons::draw(double t, display::Surface& surface) const
{
    if (surface.empty() || surface.format().bytes() != 4)
        return; // nothing to draw on, or not the 32-bit pixels written here
    const double e = t * 0.003;
    const double s = platform::math::sin(e);
    const double c = platform::math::cos(e);
    const Vec3 spread{2.0, 3.0, 2.0};
    const Vec3 middle{0.0, 0.0, 256.0};
    const Vec3 centreMinus = middle - spread * s;
    const Vec3 centrePlus = middle + spread * s;

    ControlChain chain1 = buildChain(1, t);
    ControlChain chain2 = buildChain(2, t);
    chain1.computeTangents();
    chain2.computeTangents();
    PointSet ribbon1(kPointsPerRibbon);
    PointSet ribbon2(kPointsPerRibbon);
    chain1.distribute(ribbon1);
    chain2.distribute(ribbon2);

    ribbon1.invert(centreMinus, 15.0 + 2.0 * s);
    ribbon1.invert(centrePlus, 20.0 + 3.0 * c);
    ribbon2.invert(centrePlus, 15.0 + 2.0 * s);
    ribbon2.invert(centreMinus, 20.0 + 3.0 * c);
    ribbon1.copyToDrawn();
    ribbon2.copyToDrawn();

    const display::SurfaceLock lock(surface);
    const int pitch = surface.pitch() / 4;
    ribbon1.drawAll(lock.pixels(), surface.width(), surface.height(), pitch, 126, 112, 0, form_);
    ribbon2.drawAll(lock.pixels(), surface.width(), surface.height(), pitch, 0, 112, 126, form_);
}

} // namespace effects
