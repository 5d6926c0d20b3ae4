#include "effects/object_scene.h"

#include "platform/portable_math.h"

#include <cmath>

namespace effects {

ObjectScene::ObjectScene(int flag)
    : star_(buildStarShape(16, 65, 65, 25, kFillSolid, 0xa0a0ff)),
      ring_(buildRingShape(16, 90, 90, 75, 25, flag != 0 ? kFillAddPacked : kFillAdd, 0x212f2f)),
      tile_(buildPolygonShape(4, 64, 64, kFillSolid, 0xff7f00))
{
}

void ObjectScene::renderIntro(display::Surface& surface, display::Surface* /*texture*/, float x)
{
    drawOnSurface(surface, [&](const PlaneCanvas& canvas) { renderIntro(canvas, x); });
}

void ObjectScene::renderIntro(const PlaneCanvas& canvas, float time)
{
    double x = time;
    if (!(x >= 0.0))
        return;
    if (x > 7000.0)
        x = 6999.0;
    const PlaneTransform centre = PlaneTransform::translate(160, 100);
    const PlaneTransform turn = PlaneTransform::rotate(x * 0.001);

    const double k1 = 200.0 / (7000.0 - x);
    const PlaneTransform zoomIn = turn * PlaneTransform::scale(k1, k1) * centre;
    ring_.setTransform(zoomIn);
    ring_.render(canvas, drawer_);
    star_.setTransform(zoomIn);
    star_.render(canvas, drawer_);

    // At x = 0 this scale is infinite and the ring's coordinates are not
    // finite: every vertex is outside and nothing is drawn.
    const double k2 = 12200.0 / x;
    ring_.setTransform(turn * PlaneTransform::scale(k2, k2) * centre);
    ring_.render(canvas, drawer_);
}

void ObjectScene::renderMain(display::Surface& surface, double x)
{
    drawOnSurface(surface, [&](const PlaneCanvas& canvas) { renderMain(canvas, x); });
}

void ObjectScene::renderMain(const PlaneCanvas& canvas, double x)
{
    const PlaneTransform centre = PlaneTransform::translate(160, 100);
    const PlaneTransform out = PlaneTransform::translate(0, -64);

    tile_.setFillMode(kFillSolid);
    tile_.setColour(0xff7f00);
    const double s = 1.0 + 0.5 * platform::math::sin(x + 1.570796);
    const PlaneTransform flat = PlaneTransform::scale(1, 0.5) * out;
    const PlaneTransform breathe = PlaneTransform::scale(s, s) * centre;
    for (int i = 0; i < 4; ++i) {
        tile_.setTransform(flat * PlaneTransform::rotate(i * 1.570796 - x) * breathe);
        tile_.render(canvas, drawer_);
    }

    tile_.setColour(0x0f4aaa);
    const double s2 = 1.0 + 0.5 * platform::math::sin(x);
    const PlaneTransform flatter = PlaneTransform::scale(1, 0.3) * out;
    const PlaneTransform breathe2 = PlaneTransform::scale(s2, s2) * centre;
    for (int i = 0; i < 5; ++i) {
        tile_.setTransform(flatter * PlaneTransform::rotate(i * 1.2566368 - 2.0 * x) * breathe2);
        tile_.render(canvas, drawer_);
    }
}

} // namespace effects
