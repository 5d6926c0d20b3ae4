#include "engine3d/keyframes.h"

#include <cmath>
#include <cstdint>

namespace engine3d {
namespace {

// Where time t falls on a track of two or more keys: before the first key,
// from the last key on, or inside segment `segment` at `fraction`.
enum class Place { First, Last, Between };

template <class Key> Place locate(Track<Key>& track, float t)
{
    const auto& keys = track.keys;
    if (std::isnan(t))
        return Place::First;
    if (std::ceil(double(t)) >= double(keys.back().frame))
        return Place::Last;
    std::size_t k = 0;
    while (k < keys.size() && !(float(keys[k].frame) > t))
        ++k;
    if (k == 0)
        return Place::First; // the track starts after t
    if (k == keys.size())
        return Place::Last;
    const std::int64_t span = std::int64_t(keys[k].frame) - keys[k - 1].frame;
    track.segment = int(k - 1);
    track.fraction = (t - float(keys[k - 1].frame)) / float(span);
    return Place::Between;
}

} // namespace

void preparePositionTrack(PositionTrack& track)
{
    auto& k = track.keys;
    const std::size_t n = k.size();
    if (n < 2)
        return;
    if (n == 2) {
        const Vec3 g = k[1].value - k[0].value;
        k[0].outgoing = g * (1.0f - k[0].shape.tension);
        k[1].incoming = g * (1.0f - k[1].shape.tension);
        return;
    }
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const KeyShape& s = k[i].shape;
        const float T = s.tension, C = s.continuity, B = s.bias;
        const Vec3 g1 = k[i].value - k[i - 1].value;
        const Vec3 g2 = k[i + 1].value - k[i].value;
        k[i].incoming = g2 * ((1 - B) * (1 - T) * (1 + C) / 2) + g1 * ((1 + B) * (1 - T) * (1 - C) / 2);
        k[i].outgoing = g2 * ((1 - B) * (1 - T) * (1 - C) / 2) + g1 * ((1 + B) * (1 - T) * (1 + C) / 2);
    }
    k[0].outgoing = ((k[1].value - k[0].value) * 1.5 - k[1].incoming * 0.5) * (1.0f - k[0].shape.tension);
    k[n - 1].incoming =
        ((k[n - 1].value - k[n - 2].value) * 1.5 - k[n - 2].outgoing * 0.5) * (1.0f - k[n - 1].shape.tension);
}

Vec3 evaluatePositionTrack(PositionTrack& track, float t)
{
    const auto& k = track.keys;
    if (k.empty())
        return Vec3{};
    if (k.size() == 1)
        return k[0].value;
    switch (locate(track, t)) {
    case Place::First:
        return k.front().value;
    case Place::Last:
        return k.back().value;
    case Place::Between:
        break;
    }
    const std::size_t s = std::size_t(track.segment);
    const float f = track.fraction;
    const float f2 = f * f;
    const float f3 = f * f2;
    const float h2 = 3 * f2 - 2 * f3;
    const float h1 = 1 - h2;
    const float h3 = f3 - 2 * f2 + f;
    const float h4 = f3 - f2;
    return k[s].value * h1 + k[s].outgoing * h3 + k[s + 1].value * h2 + k[s + 1].incoming * h4;
}

void prepareRotationTrack(RotationTrack& track)
{
    auto& k = track.keys;
    const std::size_t n = k.size();
    if (n == 0)
        return;
    for (RotationKey& key : k) {
        key.q = fromAxisAngle(key.angle, key.axis);
        // The file's axis was kept in its own axes: exchange here instead.
        key.q.swapYZ();
    }
    if (n == 1)
        return;
    // Each key turns relative to the one before: the key's own rotation on
    // the left makes it absolute.
    for (std::size_t i = 1; i < n; ++i)
        k[i].q = k[i].q * k[i - 1].q;
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const KeyShape& s = k[i].shape;
        const float T = s.tension, C = s.continuity, B = s.bias;
        const Quaternion g1 = slerp(k[i].q, k[i - 1].q, -(1 + B) / 3);
        const Quaternion g2 = slerp(k[i].q, k[i + 1].q, (1 - B) / 3);
        k[i].a = slerp(k[i].q, slerp(g1, g2, C / 2), T - 1);
        k[i].b = slerp(k[i].q, slerp(g1, g2, 0.5 - C / 2), 1 - T);
    }
    const KeyShape& s0 = k[0].shape;
    const KeyShape& sn = k[n - 1].shape;
    k[0].b = slerp(k[0].q, k[1].q, (1 + s0.continuity * s0.bias) * (1 - s0.tension) / 3);
    k[n - 1].a = slerp(k[n - 1].q, k[n - 2].q, (1 - sn.continuity * sn.bias) * (1 - sn.tension) / 3);
}

Transform evaluateRotationTrack(RotationTrack& track, float t)
{
    const auto& k = track.keys;
    if (k.empty())
        return Transform{};
    if (k.size() == 1)
        return rotationTransform(k[0].q);
    switch (locate(track, t)) {
    case Place::First:
        return rotationTransform(k.front().q);
    case Place::Last:
        return rotationTransform(k.back().q);
    case Place::Between:
        break;
    }
    const std::size_t s = std::size_t(track.segment);
    const double f = track.fraction;
    const Quaternion p0 = slerp(k[s].q, k[s].b, f);
    const Quaternion p1 = slerp(k[s].b, k[s + 1].a, f);
    const Quaternion p2 = slerp(k[s + 1].a, k[s + 1].q, f);
    const Quaternion r0 = slerp(p0, p1, f);
    const Quaternion r1 = slerp(p1, p2, f);
    return rotationTransform(slerp(r0, r1, f));
}

} // namespace engine3d
