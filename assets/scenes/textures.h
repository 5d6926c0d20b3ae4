#pragma once
// The 256x256 textures of the two 3D scenes. Texel (u, v) of a mesh's
// mapping is picture column u * 256, row v * 256 from the top.
#include "assets/common/image.h"

namespace assets::scenes {

Image mirrorTiles(bool warm); // disco-ball mirror tiles: warm colours (boll) or silver-blue (disco)
Image danceFloor();           // 4x4 lit floor tiles, symmetric left to right
Image neonBands();            // bands across v for the ring, symmetric left to right

} // namespace assets::scenes
