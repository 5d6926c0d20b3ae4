#pragma once
// Lettering for the title overlays: text with a gradient fill, a dark
// outline and a drop shadow, marked as the overlay's body.
#include "assets/common/font.h"

#include <vector>

namespace assets::images {

struct TitleStyle {
    std::vector<Rgb> fill;     // top to bottom of the letters
    Rgb outline = rgb(0x1a0f2e);
    Rgb shadow = rgb(0x0d0718);
    double outlineWidth = 2.0;
    int shadowX = 3, shadowY = 3;
    double shine = 0.5;        // strength of the highlight band across the upper half
};

// Paints the text mask (already placed on a mask of the canvas's size) in
// the given style. `top` and `bottom` are the rows the fill gradient spans.
void paintTitle(Canvas& canvas, const Mask& text, double top, double bottom, const TitleStyle& style);

// Lays out letters one by one, each raised by lift[i] pixels (missing
// entries 0), onto a mask of the given size at (x, baseline).
Mask setLetters(const Font& font, const std::string& utf8, double pixelHeight, double tracking,
                const std::vector<double>& lift, int width, int height, double x, double baseline);

} // namespace assets::images
