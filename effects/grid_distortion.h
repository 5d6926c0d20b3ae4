#pragma once
// Grid distortion: a 256x256 texture mapped onto the picture through a
// coarse grid of texture coordinates and darkness values, interpolated over
// blocks of pixels. Two generators fill the grid: a field of moving balls
// (blob) and a rotating, wave-bent plane (warp).
#include "console/display.h"
#include "effects/grid_fillers.h"

#include <vector>

namespace effects {

// The blob generator's inputs for one phase p.
struct BlobParameters {
    double a; // 2p: drives the balls' movement
    double b; // 128 + 64 sin p: the base light
    float c;  // 0.02 + 1/e: light per unit of influence
    float e;  // 21 + 20 sin(...): one less than the number of balls (1 to 41)
};
BlobParameters blobParameters(double phase);

class GridDistortion {
public:
    static constexpr int falloffSize = 4096;
    // More balls than the blob parameters ever ask for (42); a larger count
    // given to generateBlob is cut to this many.
    static constexpr int maxBalls = 64;

    // A grid of gridWidth x gridHeight points for blocks of blockWidth x
    // blockHeight pixels; the demo uses 41 x 26 points and 8x8 blocks.
    // Negative sizes are taken as 0 (a grid that no filler accepts).
    explicit GridDistortion(int gridWidth = 41, int gridHeight = 26, int blockWidth = 8, int blockHeight = 8);

    // Blob generator for phase p, then the block filler.
    void renderBlob(display::BaseSurface& surface, display::BaseSurface& texture, double phase);
    // Warp generator for phase p, then the block filler.
    void renderWarp(display::BaseSurface& surface, display::BaseSurface& texture, double phase);

    // Fills the grid with the ball field: a moves the balls, b is the base
    // light, c the light per unit of influence, e + 1 the number of balls
    // (the last one weighted by the fraction of e + 1). Nothing is computed
    // when trunc(e) <= 0.
    void generateBlob(double a, double b, float c, float e);
    // Fills the grid with the warped plane of phase a.
    void generateWarp(double a);

    // Locks the surface and draws the grid onto it with the filler of the
    // family that fits the surface and the grid, then unlocks it. With no
    // fitting filler, or a texture that is not a 256x256 32-bit picture with
    // rows of 1024 bytes (an image that failed to load is 0x0), the surface
    // is locked and unlocked but left untouched, and the texture is not locked.
    void fill(display::BaseSurface& surface, display::BaseSurface& texture);

    int gridWidth() const { return gridWidth_; }
    int gridHeight() const { return gridHeight_; }
    int blockWidth() const { return blockWidth_; }
    int blockHeight() const { return blockHeight_; }
    // Row-major, gridWidth x gridHeight.
    std::vector<GridPoint>& points() { return points_; }
    const std::vector<GridPoint>& points() const { return points_; }
    GridPoint& point(int column, int row) { return points_[static_cast<std::size_t>(row) * gridWidth_ + column]; }
    // falloff[i] = max(0, 255 - 8 sqrt(i)): a ball's influence at squared distance i.
    const std::vector<float>& falloff() const { return falloff_; }

    // True for a texture the fillers can read.
    static bool textureUsable(const display::BaseSurface& texture);

private:
    int gridWidth_, gridHeight_, blockWidth_, blockHeight_;
    std::vector<GridPoint> points_;
    std::vector<float> falloff_;
    int falloffUsed_; // entries below this index are above zero

    // Per-frame working tables of the blob generator.
    std::vector<double> sinTable_, cosTable_, lightTable_;
    std::vector<double> su_, sv_, light_, dx2_;
    // The warp generator's V per grid column (it depends on the column only).
    std::vector<double> columnWave_;
};

} // namespace effects
