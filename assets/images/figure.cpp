#include "assets/images/figure.h"

#include <cmath>
#include <vector>

namespace assets::images {
namespace {

const Rgb ink = rgb(0x1a0f2e);
constexpr double inkWidth = 1.6;

double ipow(double v, int n)
{
    double r = 1.0;
    for (int i = 0; i < n; ++i)
        r *= v;
    return r;
}

struct Tube {
    Point a, b;
    double ra, rb;
    Rgb colour;
    double shine;
    double dist(double x, double y) const { return sdf::capsule(x, y, a.x, a.y, b.x, b.y, ra, rb); }
};

void paintTube(Canvas& c, const Tube& t)
{
    c.shape([&](double x, double y) { return t.dist(x, y) - inkWidth; }, [&](double, double, double) { return ink; });
    c.shape([&](double x, double y) { return t.dist(x, y); },
            [&](double x, double y, double) {
                const double s = sdf::segmentParam(x, y, t.a.x, t.a.y, t.b.x, t.b.y);
                const double cx = t.a.x + (t.b.x - t.a.x) * s, cy = t.a.y + (t.b.y - t.a.y) * s;
                const double r = dmath::mix(t.ra, t.rb, s);
                return shadeRound(t.colour, (x - cx) / r, (y - cy) / r, t.shine);
            });
}

void paintBall(Canvas& c, Point p, double r, const Rgb& colour, double shine)
{
    paintTube(c, Tube{p, p, r, r, colour, shine});
}

} // namespace

Rgb shadeRound(const Rgb& base, double nx, double ny, double shine)
{
    const double len2 = nx * nx + ny * ny;
    if (len2 > 1.0) {
        const double k = 1.0 / std::sqrt(len2);
        nx *= k;
        ny *= k;
    }
    const double nz = std::sqrt(std::max(0.0, 1.0 - nx * nx - ny * ny));
    // Light from the upper left and in front: L = (-0.45, -0.55, 0.70), normalised.
    const double lx = -0.45, ly = -0.55, lz = 0.70;
    const double ll = std::sqrt(lx * lx + ly * ly + lz * lz);
    const double diffuse = std::max(0.0, (nx * lx + ny * ly + nz * lz) / ll);
    // Half vector between the light and the viewer (0, 0, 1).
    double hx = lx / ll, hy = ly / ll, hz = lz / ll + 1.0;
    const double hl = std::sqrt(hx * hx + hy * hy + hz * hz);
    hx /= hl;
    hy /= hl;
    hz /= hl;
    const double spec = ipow(std::max(0.0, nx * hx + ny * hy + nz * hz), 24) * shine;
    // A cool rim light from behind keeps dark sides readable on any background.
    const double rim = ipow(1.0 - nz, 3) * 0.35;
    Rgb out = scale(base, 0.30 + 0.85 * diffuse);
    out = add(out, scale(Rgb{1.0, 0.95, 0.9}, spec));
    out = add(out, scale(Rgb{0.55, 0.45, 1.0}, rim));
    return out;
}

Pose mirrored(const Pose& p, int width)
{
    Pose m = p;
    Point* pts[] = {&m.head, &m.neck, &m.pelvis, &m.backShoulder, &m.backElbow, &m.backHand, &m.frontShoulder,
                    &m.frontElbow, &m.frontHand, &m.backHip, &m.backKnee, &m.backFoot, &m.frontHip, &m.frontKnee,
                    &m.frontFoot};
    for (Point* q : pts)
        q->x = double(width) - q->x;
    m.facing = -p.facing;
    return m;
}

Canvas drawFigure(int width, int height, const Pose& p, const Costume& c)
{
    Canvas canvas(width, height);
    const double lr = c.limbRadius, gr = c.legRadius;
    const Rgb darkTop = scale(c.top, 0.78), darkLegs = scale(c.legs, 0.78), darkSkin = scale(c.skin, 0.85);

    std::vector<Tube> back = {
        {p.backHip, p.backKnee, gr, gr * 0.95, darkLegs, 0.25},
        {p.backKnee, p.backFoot, gr * 0.95, gr * c.flare, darkLegs, 0.25},
        {p.backShoulder, p.backElbow, lr, lr * 0.9, darkTop, 0.3},
        {p.backElbow, p.backHand, lr * 0.9, lr * 0.8, darkSkin, 0.2},
    };
    std::vector<Tube> front = {
        {p.frontHip, p.frontKnee, gr, gr * 0.95, c.legs, 0.3},
        {p.frontKnee, p.frontFoot, gr * 0.95, gr * c.flare, c.legs, 0.3},
    };
    std::vector<Tube> frontArm = {
        {p.frontShoulder, p.frontElbow, lr, lr * 0.9, c.top, 0.35},
        {p.frontElbow, p.frontHand, lr * 0.9, lr * 0.8, c.skin, 0.25},
    };
    const Tube torso{p.neck, p.pelvis, lr * 2.1, lr * 1.7, c.top, 0.4};
    const Tube neck{p.neck, {p.head.x, p.head.y + c.headRadius * 0.6}, lr * 0.8, lr * 0.8, darkSkin, 0.1};

    // Dress: a trapezoid from the waist to below the hips.
    const double waistY = dmath::mix(p.neck.y, p.pelvis.y, 0.55);
    const double hemY = p.pelvis.y + gr * 3.2;
    const double cx = dmath::mix(p.neck.x, p.pelvis.x, 0.6);
    const std::vector<double> dress = {cx - lr * 1.6, waistY, cx + lr * 1.6, waistY,
                                       p.pelvis.x + gr * 4.2, hemY, p.pelvis.x - gr * 4.2, hemY};

    // Hair shapes, as circles around the head.
    std::vector<Tube> hair;
    if (c.afro) {
        const double r = c.headRadius;
        for (int i = 0; i < 9; ++i) {
            const double a = dmath::pi * (0.95 + 1.1 * double(i) / 8.0);
            hair.push_back({{p.head.x + dmath::cos(a) * r * 0.95 - p.facing * r * 0.15, p.head.y + dmath::sin(a) * r * 0.85},
                            {p.head.x + dmath::cos(a) * r * 0.95 - p.facing * r * 0.15, p.head.y + dmath::sin(a) * r * 0.85},
                            r * 0.62, r * 0.62, c.hair, 0.15});
        }
    } else {
        const double r = c.headRadius;
        hair.push_back({{p.head.x - p.facing * r * 0.4, p.head.y - r * 0.75},
                        {p.head.x + p.facing * r * 0.8, p.head.y - r * 1.05}, r * 0.55, r * 0.34, c.hair, 0.6});
        hair.push_back({{p.head.x - p.facing * r * 0.8, p.head.y - r * 0.05},
                        {p.head.x - p.facing * r * 0.55, p.head.y - r * 0.65}, r * 0.42, r * 0.5, c.hair, 0.4});
    }

    const double shoeW = gr * 1.9, shoeH = gr * 0.9;
    auto shoe = [&](Point f, double x, double y) {
        return sdf::roundedBox(x, y, f.x + p.facing * gr * 0.5, f.y + shoeH * 0.6, shoeW, shoeH, shoeH * 0.8);
    };

    // The body: everything, grown by the outline.
    auto all = [&](double x, double y) {
        double d = std::min(torso.dist(x, y), neck.dist(x, y));
        for (const auto* list : {&back, &front, &frontArm, &hair})
            for (const Tube& t : *list)
                d = std::min(d, t.dist(x, y));
        d = std::min(d, sdf::circle(x, y, p.head.x, p.head.y, c.headRadius));
        d = std::min(d, shoe(p.backFoot, x, y));
        d = std::min(d, shoe(p.frontFoot, x, y));
        d = std::min(d, sdf::circle(x, y, p.backHand.x, p.backHand.y, lr * 1.15));
        d = std::min(d, sdf::circle(x, y, p.frontHand.x, p.frontHand.y, lr * 1.15));
        if (c.dress)
            d = std::min(d, sdf::polygon(x, y, dress));
        return d;
    };
    canvas.markBody([&](double x, double y) { return all(x, y) - inkWidth; });

    auto paintShoe = [&](Point f, double dim) {
        canvas.shape([&](double x, double y) { return shoe(f, x, y) - inkWidth; }, [&](double, double, double) { return ink; });
        canvas.shape([&](double x, double y) { return shoe(f, x, y); },
                     [&](double, double y, double) {
                         const double t = dmath::clamp01((y - f.y) / (shoeH * 2.0));
                         return scale(mix(add(c.shoes, Rgb{0.25, 0.25, 0.25}), c.shoes, t), dim);
                     });
    };

    // Back to front.
    for (const Tube& t : back)
        paintTube(canvas, t);
    paintBall(canvas, p.backHand, lr * 1.15, darkSkin, 0.2);
    paintShoe(p.backFoot, 0.8);
    paintTube(canvas, neck);
    paintTube(canvas, torso);
    // Glitter on the top: small sparkles along the torso.
    for (int i = 0; i < 7; ++i) {
        const double s = (double(i) + 0.5) / 7.0;
        const double sx = dmath::mix(p.neck.x, p.pelvis.x, s) + dmath::sin(double(i) * 2.3) * lr;
        const double sy = dmath::mix(p.neck.y, p.pelvis.y, s);
        canvas.shape([&](double x, double y) { return sdf::circle(x, y, sx, sy, 1.2); },
                     [&](double, double, double) { return add(c.accent, Rgb{0.3, 0.3, 0.3}); }, 0.9);
    }
    if (c.dress) {
        canvas.shape([&](double x, double y) { return sdf::polygon(x, y, dress) - inkWidth; },
                     [&](double, double, double) { return ink; });
        canvas.shape([&](double x, double y) { return sdf::polygon(x, y, dress); },
                     [&](double x, double y, double) {
                         const double t = dmath::clamp01((y - waistY) / (hemY - waistY));
                         const double across = (x - p.pelvis.x) / (gr * 4.2 * (0.4 + 0.6 * t));
                         // Pleats: a soft light-dark ripple across the skirt.
                         const double pleat = 0.5 + 0.5 * dmath::sin(across * 9.0);
                         Rgb base = mix(c.accent, c.top, t * 0.6);
                         return shadeRound(base, across * 0.9, -0.2 + 0.3 * pleat, 0.3 * pleat);
                     });
    }
    for (const Tube& t : front)
        paintTube(canvas, t);
    paintShoe(p.frontFoot, 1.0);
    for (const Tube& t : frontArm)
        paintTube(canvas, t);
    paintBall(canvas, p.frontHand, lr * 1.15, c.skin, 0.25);

    // Head, face, hair.
    if (c.afro)
        for (const Tube& t : hair)
            paintTube(canvas, t);
    paintBall(canvas, p.head, c.headRadius, c.skin, 0.35);
    const double r = c.headRadius;
    const Point eye{p.head.x + p.facing * r * 0.38, p.head.y - r * 0.12};
    canvas.shape([&](double x, double y) { return sdf::ellipse(x, y, eye.x, eye.y, r * 0.1, r * 0.17); },
                 [&](double, double, double) { return ink; });
    canvas.shape([&](double x, double y) {
                     return sdf::capsule(x, y, p.head.x + p.facing * r * 0.2, p.head.y + r * 0.42,
                                         p.head.x + p.facing * r * 0.62, p.head.y + r * 0.3, r * 0.07, r * 0.07);
                 },
                 [&](double, double, double) { return rgb(0x7a1f3d); });
    canvas.shape([&](double x, double y) { return sdf::circle(x, y, p.head.x + p.facing * r * 0.45, p.head.y + r * 0.18, r * 0.2); },
                 [&](double, double, double) { return rgb(0xff7aa0); }, 0.35);
    if (!c.afro)
        for (const Tube& t : hair)
            paintTube(canvas, t);
    return canvas;
}

} // namespace assets::images
