// Instrument envelopes: evaluation with sustain, loop and interpolation.
#include "music/song.h"

#include <algorithm>

namespace music {

namespace {

// Envelope values run from 0 to 64. Files may hold others, and a position
// before the first point would extend the first slope backwards: the output
// is kept inside the range its users scale by.
std::int32_t envelopeValue(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, 0, 64));
}

} // namespace

void restartEnvelope(EnvelopeState& state)
{
    state.position = 0;
    state.holding = 0;
    state.sustainArmed = 1;
}

void evaluateEnvelope(EnvelopeState& state, std::int32_t range, bool keyReleased, int advance)
{
    const Envelope* env = state.envelope;
    // An envelope that is on but has no points has nothing to follow.
    if (!env || !env->on || env->numPoints == 0) {
        state.output = range;
        return;
    }
    const int n = std::min<int>(env->numPoints, kEnvelopePoints);
    const auto& pts = env->points;
    const std::int32_t pos = state.position;

    // The last point whose x is at or before the position (for points in
    // rising x; on points out of order the first run of rising points counts).
    int c = 0;
    while (c + 1 < n && pts[static_cast<std::size_t>(c + 1)].x <= pos)
        ++c;

    if (env->sustain && env->sustainPoint < n && state.sustainArmed &&
        pos == pts[env->sustainPoint].x) {
        state.holding = 1;
        state.sustainArmed = 0;
    }
    if (state.holding) {
        const EnvelopePoint& s = pts[std::min<int>(env->sustainPoint, n - 1)];
        state.position = s.x;
        state.output = envelopeValue(s.y);
        if (keyReleased)
            state.holding = 0; // moves on from the next tick
        return;
    }
    if (env->loop && env->loopEndPoint < n && env->loopStartPoint < n && pos == pts[env->loopEndPoint].x) {
        state.position = pts[env->loopStartPoint].x;
        c = env->loopStartPoint;
    }
    if (c >= n - 1) {
        state.output = envelopeValue(pts[static_cast<std::size_t>(n - 1)].y);
        return;
    }
    const EnvelopePoint& a = pts[static_cast<std::size_t>(c)];
    const EnvelopePoint& b = pts[static_cast<std::size_t>(c + 1)];
    const std::int64_t dx = static_cast<std::int64_t>(b.x) - a.x;
    if (dx <= 0) {
        // Two points at the same x (or out of order) leave no slope to follow.
        state.output = envelopeValue(a.y);
    } else {
        state.output = envelopeValue(a.y + (static_cast<std::int64_t>(b.y) - a.y) *
                                               (static_cast<std::int64_t>(state.position) - a.x) / dx);
    }
    state.position += advance;
}

} // namespace music
