#pragma once
// Whole-picture operations on 32-bit surfaces, calling the plain or the vector
// family of routines (imageops/routines.h) as chosen once at construction.
#include "console/display.h"
#include "imageops/routines.h"

#include <cstdint>
#include <memory>

namespace imageops {

class ImageOps {
public:
    // `mmx` is the processor's answer (_detectmmx). The plain family needs
    // the scale table, which is built here and lives as long as the object.
    explicit ImageOps(bool mmx);
    ~ImageOps();

    ImageOps(const ImageOps&) = delete;
    ImageOps& operator=(const ImageOps&) = delete;

    bool mmx() const { return mmx_; }
    // The 65536-byte scale table (see scale_table.h); null for the vector
    // family, which does not use it.
    const std::uint8_t* scaleTable() const { return scaleTable_.get(); }

    // Adds src onto dst with src's top-left corner at (x, y) of dst, per
    // channel with saturation, clipped to dst. Locks src then dst, unlocks dst
    // then src, on every path; one surface passed as both is locked once.
    void saturate(display::Surface& dst, display::Surface& src, int x, int y);

    // Writes src moved towards `colour` (0x00RRGGBB) by `intensity` into dst
    // (0 = unchanged, 0xffff = the colour; values outside are clamped to that
    // range). dst and src may be the same surface. Covers src's pixels, or
    // dst's when dst is the smaller one.
    void fade2col(display::Surface& dst, display::Surface& src, std::uint32_t colour, int intensity);

private:
    bool mmx_;
    std::unique_ptr<std::uint8_t[]> scaleTable_;
};

} // namespace imageops
