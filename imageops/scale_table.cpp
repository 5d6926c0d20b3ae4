#include "imageops/scale_table.h"

namespace imageops {

void buildScaleTable(std::uint8_t* table)
{
    // The factor is rounded first, then multiplied by j, then truncated:
    // this order is what makes the entries where i * j is a multiple of 255
    // fall one short. It is kept because the table's rows are what the plain
    // fade is defined by.
    constexpr double oneOver255 = 0.00392156862745098;
    for (int i = 0; i < 256; ++i) {
        const double factor = i * oneOver255;
        for (int j = 0; j < 256; ++j)
            table[i * 256 + j] = static_cast<std::uint8_t>(static_cast<int>(j * factor));
    }
}

} // namespace imageops
