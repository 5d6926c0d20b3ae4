#pragma once
// The plain family's product table: 256 rows of 256 bytes.
#include <cstddef>
#include <cstdint>

namespace imageops {

constexpr std::size_t scaleTableSize = 256 * 256;

// Fills table[i * 256 + j] = trunc(j * (i * 0.00392156862745098)) in double
// precision, 0.00392156862745098 being the double nearest to 1/255. That is
// floor(i * j / 255) except for the pairs whose exact product is an integer
// that the rounded factor lands just below (e.g. [33 * 256 + 255] = 32):
// those entries are one less. Row 0 is all zero, row 255 the identity.
void buildScaleTable(std::uint8_t* table);

} // namespace imageops
