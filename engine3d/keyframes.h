#pragma once
// Keyframe tracks: the key records filled by the 3D Studio reader, their
// preparation after loading (Kochanek-Bartels tangents for positions,
// absolute quaternions with control quaternions for rotations) and their
// evaluation at a time given in key frames.
#include "engine3d/quaternion.h"

#include <cstdint>
#include <vector>

namespace engine3d {

// Tension, continuity and bias: 0 unless the key's flags carry them.
struct KeyShape {
    float tension = 0.0f;
    float continuity = 0.0f;
    float bias = 0.0f;
};

struct PositionKey { // positions and camera targets
    std::int32_t frame = 0;
    KeyShape shape;
    Vec3 value;
    Vec3 incoming; // tangents, set by preparePositionTrack
    Vec3 outgoing;
};

struct RotationKey {
    std::int32_t frame = 0;
    KeyShape shape;
    Vec3 axis;          // as read from the file, axes not exchanged
    float angle = 0.0f; // radians, relative to the previous key
    Quaternion q;       // absolute rotation, set by prepareRotationTrack
    Quaternion a;       // incoming control
    Quaternion b;       // outgoing control
};

struct ScaleKey {
    std::int32_t frame = 0;
    KeyShape shape;
    Vec3 value;
};

struct ScalarKey { // field of view, roll
    std::int32_t frame = 0;
    KeyShape shape;
    float value = 0.0f;
};

// A track's keys in file order, and the segment and fraction of the last
// evaluation that fell between two keys.
template <class Key> struct Track {
    std::vector<Key> keys;
    int segment = 0;
    float fraction = 0.0f;

    int keyCount() const { return int(keys.size()); }
};

using PositionTrack = Track<PositionKey>;
using RotationTrack = Track<RotationKey>;
using ScaleTrack = Track<ScaleKey>;
using ScalarTrack = Track<ScalarKey>;

// Once after loading.
void preparePositionTrack(PositionTrack& track);
void prepareRotationTrack(RotationTrack& track);

// At time t in key frames. No keys: (0, 0, 0) and the identity. Before the
// first key: the first key's value; from the last key's frame on (t rounded
// up): the last key's value.
Vec3 evaluatePositionTrack(PositionTrack& track, float t);
Transform evaluateRotationTrack(RotationTrack& track, float t);

} // namespace engine3d
