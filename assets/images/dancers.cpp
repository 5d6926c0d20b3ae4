// The two dancing figures: fjolla (a girl in a pink dress, facing right in
// fjollah and left in fjollav) and dansare (a man in a teal suit, two poses).
#include "assets/images/figure.h"
#include "assets/images/images.h"

namespace assets::images {

Image fjolla(bool facingRight)
{
    // 198 rows: the beat bounce moves the picture down by up to 2 pixels.
    const int w = 160, h = 198;
    Pose p;
    p.head = {86, 34};
    p.neck = {82, 56};
    p.pelvis = {80, 112};
    p.frontShoulder = {90, 64};
    p.frontElbow = {108, 42};
    p.frontHand = {124, 17};
    p.backShoulder = {70, 64};
    p.backElbow = {54, 86};
    p.backHand = {66, 106};
    p.backHip = {72, 118};
    p.backKnee = {62, 150};
    p.backFoot = {52, 178};
    p.frontHip = {88, 118};
    p.frontKnee = {104, 146};
    p.frontFoot = {100, 178};
    p.facing = 1;
    if (!facingRight)
        p = mirrored(p, w);

    Costume c;
    c.skin = rgb(0xf2c29b);
    c.hair = rgb(0x7a2e1c);
    c.top = rgb(0xff3d8b);
    c.legs = rgb(0x8a4fd8);
    c.shoes = rgb(0xffcf3f);
    c.accent = rgb(0xffa531);
    c.dress = true;
    c.afro = true;
    c.headRadius = 15;
    c.limbRadius = 5.5;
    c.legRadius = 6.0;
    return drawFigure(w, h, p, c).keyed(overlayKey, 0xff);
}

Image dansare(int pose)
{
    const int w = 150, h = 200;
    Pose p;
    p.head = {76, 30};
    p.neck = {74, 52};
    p.pelvis = {74, 110};
    p.frontShoulder = {84, 60};
    p.backShoulder = {64, 60};
    p.backHip = {68, 116};
    p.frontHip = {80, 116};
    p.facing = 1;
    if (pose == 1) {
        // Pointing up to the right, the other hand down to the left.
        p.frontElbow = {104, 40};
        p.frontHand = {122, 14};
        p.backElbow = {50, 84};
        p.backHand = {34, 104};
        p.backKnee = {58, 148};
        p.backFoot = {46, 178};
        p.frontKnee = {92, 148};
        p.frontFoot = {102, 178};
    } else {
        // Pointing down to the right, the other hand up to the left.
        p.pelvis = {78, 110};
        p.head = {70, 31};
        p.frontElbow = {100, 84};
        p.frontHand = {120, 102};
        p.backElbow = {48, 40};
        p.backHand = {30, 15};
        p.backHip = {72, 116};
        p.frontHip = {84, 116};
        p.backKnee = {62, 148};
        p.backFoot = {58, 178};
        p.frontKnee = {102, 144};
        p.frontFoot = {114, 176};
    }
    Costume c;
    c.skin = rgb(0xc98e6a);
    c.hair = rgb(0x24122e);
    c.top = rgb(0x3fd9c4);
    c.legs = rgb(0x2f9fb4);
    c.shoes = rgb(0xf4f0ff);
    c.accent = rgb(0xfff4e0);
    c.dress = false;
    c.afro = false;
    c.headRadius = 14;
    c.limbRadius = 5.5;
    c.legRadius = 6.5;
    c.flare = 1.8;
    return drawFigure(w, h, p, c).keyed(overlayKey);
}

} // namespace assets::images
