#pragma once
// Reduction of a picture to at most 256 colours for colour-mapped TGA files.
#include "assets/common/image.h"

#include <cstdint>
#include <optional>

namespace assets {

// Median-cut reduction to at most `maxColours` colours (2..256). The top
// byte of every pixel is kept as it is and takes part in the colour's
// identity. When `keep` is given, pixels of exactly that value stay
// unchanged and no other pixel is mapped onto it: an overlay's key colour
// stays exact and exclusive to the background. Deterministic: ties are
// broken by pixel value, never by memory address.
Image quantize(const Image& image, int maxColours, std::optional<std::uint32_t> keep = std::nullopt);

} // namespace assets
