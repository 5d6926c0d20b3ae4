#include "effects/grid_fillers.h"

namespace effects::gridfill {

namespace {

// a - b with 32-bit wrap-around, shifted right arithmetically: the hardware
// subtract-and-shift that the fillers are defined by.
inline std::int32_t differenceShifted(std::int32_t a, std::int32_t b, int shift)
{
    auto difference = static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
    return difference >> shift;
}

// One interpolated quantity of a block: its left-edge value, the change of
// the left edge per row, the step per pixel and the change of that step per row.
struct Edge {
    std::uint32_t left, down, step, stepChange;
};

inline Edge makeEdge(std::int32_t p00, std::int32_t p01, std::int32_t p10, std::int32_t p11, int shift)
{
    std::int32_t step = differenceShifted(p01, p00, shift);
    std::int32_t bottomStep = differenceShifted(p11, p10, shift);
    return {static_cast<std::uint32_t>(p00), static_cast<std::uint32_t>(differenceShifted(p10, p00, shift)),
            static_cast<std::uint32_t>(step), static_cast<std::uint32_t>(differenceShifted(bottomStep, step, shift))};
}

template <int BlocksDown, int BlocksAcross, int Shift>
void fillGrid(const GridPoint* points, std::uint32_t* destination, const std::uint32_t* texture)
{
    constexpr int n = 1 << Shift;
    constexpr int gridWidth = BlocksAcross + 1;
    constexpr int rowPixels = BlocksAcross * n;
    for (int by = 0; by < BlocksDown; ++by) {
        const GridPoint* top = points + by * gridWidth;
        const GridPoint* bottom = top + gridWidth;
        std::uint32_t* blockRow = destination + by * n * rowPixels;
        for (int bx = 0; bx < BlocksAcross; ++bx)
            _fillblock(top[bx], top[bx + 1], bottom[bx], bottom[bx + 1], Shift, blockRow + bx * n, rowPixels,
                       texture);
    }
}

} // namespace

void _fillblock(const GridPoint& p00, const GridPoint& p01, const GridPoint& p10, const GridPoint& p11, int shift,
                std::uint32_t* destination, int rowPixels, const std::uint32_t* texture)
{
    const int n = 1 << shift;
    Edge u = makeEdge(p00.u, p01.u, p10.u, p11.u, shift);
    Edge v = makeEdge(p00.v, p01.v, p10.v, p11.v, shift);
    Edge d = makeEdge(p00.darkness, p01.darkness, p10.darkness, p11.darkness, shift);
    for (int row = 0; row < n; ++row) {
        std::uint32_t pu = u.left, pv = v.left, pd = d.left;
        std::uint32_t* out = destination + row * rowPixels;
        for (int x = 0; x < n; ++x) {
            // The step comes first: a row's first pixel lies one step right of its left edge.
            pu += u.step;
            pv += v.step;
            pd += d.step;
            std::uint32_t texel = texture[((pv >> 16) & 0xff) * textureSize + ((pu >> 16) & 0xff)];
            out[x] = darken(texel, (pd >> 16) & 0xff);
        }
        u.left += u.down;
        v.left += v.down;
        d.left += d.down;
        u.step += u.stepChange;
        v.step += v.stepChange;
        d.step += d.stepChange;
    }
}

void _test8x8320x200(const GridPoint* points, std::uint32_t* destination, const std::uint32_t* texture)
{
    fillGrid<25, 40, 3>(points, destination, texture);
}

void _test8x8320x240(const GridPoint* points, std::uint32_t* destination, const std::uint32_t* texture)
{
    fillGrid<30, 40, 3>(points, destination, texture);
}

void _test8x8320x2402(const GridPoint* points, std::uint32_t* destination, const std::uint32_t* texture)
{
    fillGrid<15, 20, 4>(points, destination, texture);
}

void _test8x8640x480(const GridPoint* points, std::uint32_t* destination, const std::uint32_t* texture)
{
    fillGrid<60, 80, 3>(points, destination, texture);
}

void _test8x8256x256(const GridPoint* points, std::uint32_t* destination, const std::uint32_t* texture)
{
    fillGrid<32, 32, 3>(points, destination, texture);
}

Filler findFiller(int width, int height, int gridWidth, int gridHeight, int blockWidth, int blockHeight)
{
    struct Member {
        int width, height, gridWidth, gridHeight, block;
        Filler filler;
    };
    static constexpr Member family[] = {
        {320, 200, 41, 26, 8, _test8x8320x200},  {320, 240, 41, 31, 8, _test8x8320x240},
        {320, 240, 21, 16, 16, _test8x8320x2402}, {640, 480, 81, 61, 8, _test8x8640x480},
        {256, 256, 33, 33, 8, _test8x8256x256},
    };
    for (const Member& m : family)
        if (m.width == width && m.height == height && m.gridWidth == gridWidth && m.gridHeight == gridHeight &&
            m.block == blockWidth && m.block == blockHeight)
            return m.filler;
    return nullptr;
}

} // namespace effects::gridfill
