#pragma once
// Cartoon dancers built from shaded tubes, for the overlay pairs: two poses
// of one figure alternate on the beat.
#include "assets/common/paint.h"

namespace assets::images {

struct Point {
    double x = 0, y = 0;
};

// Joint positions in pixels of the picture. "Back" limbs are drawn behind
// the body, "front" limbs in front of it.
struct Pose {
    Point head;
    Point neck, pelvis;
    Point backShoulder, backElbow, backHand;
    Point frontShoulder, frontElbow, frontHand;
    Point backHip, backKnee, backFoot;
    Point frontHip, frontKnee, frontFoot;
    int facing = 1; // +1 looks right, -1 looks left
};

struct Costume {
    Rgb skin, hair, top, legs, shoes, accent;
    bool dress = false;      // a flared dress over the hips
    bool afro = false;       // round hair, otherwise a swept quiff
    double headRadius = 15;
    double limbRadius = 6;
    double legRadius = 7.5;
    double flare = 1.0;      // trouser bottoms as a factor of the leg radius
};

// The figure on a keyed canvas of the given size (body marked; the rest is
// background).
Canvas drawFigure(int width, int height, const Pose& pose, const Costume& costume);

// The pose mirrored left to right inside a picture of the given width.
Pose mirrored(const Pose& pose, int width);

// Colour of a lit tube or ball surface: base colour, 2D normal (nx, ny) of
// length up to 1 (its z follows), light from the upper left.
Rgb shadeRound(const Rgb& base, double nx, double ny, double shine);

} // namespace assets::images
