#pragma once
// Small 3D Studio scenes written by the data generator's encoder, for the
// scene targets' seeds and the settings target's scene.
#include <cstdint>
#include <vector>

namespace fuzz_support {

// A few small meshes named like those of the demo's settings files ("Ring",
// "Gitter", "Golv", "Hogtalare1", "Laser1" and an unnamed-in-settings one),
// with position and rotation keys, a pivot, and a camera looking at them.
std::vector<std::uint8_t> smallScene();

// Variants for the 3D Studio target's seeds: scale, roll and field-of-view
// keys with tension, continuity, bias and easing; a scene that does not
// move; a scene of one mesh.
std::vector<std::vector<std::uint8_t>> smallSceneVariants();

} // namespace fuzz_support
