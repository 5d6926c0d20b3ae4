// The software mixer. Positions are handled as 64-bit fixed point (integer
// frames in the upper 32 bits, the fraction word in the lower 32), so one add
// moves a position by a step. Loop events (end, wrap, ping-pong turns) are
// found in advance by division, so the inner loops never test the position.
#include "music/mixer.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstring>

namespace music {

const VolumeTable& volumeTable()
{
    static const VolumeTable* const table = [] {
        auto* t = new VolumeTable; // aligned new: every row starts on 1024 bytes
        for (int g = 0; g < 256; ++g)
            for (int b = 0; b < 256; ++b)
                t->rows[g][b] = g * static_cast<std::int8_t>(static_cast<std::uint8_t>(b));
        return t;
    }();
    return *table;
}

namespace {

constexpr std::int64_t kNoEventFrames = 65535;

// The contribution of the frame at `index` through one row of the volume
// table. A 16-bit frame is (row[lo] >> 8) + row[hi], both bytes signed and the
// shift arithmetic: close to gain x sample / 256, one gain step low when the
// low byte is 128 or more.
template <bool Sixteen>
inline std::int32_t contribution(const std::uint8_t* data, std::int64_t index, const std::int32_t* row)
{
    if constexpr (Sixteen) {
        const std::uint8_t* p = data + 2 * index;
        return (row[p[0]] >> 8) + row[p[1]];
    } else {
        return row[data[index]];
    }
}

// --- the three paths, each for 8/16 bits and forward/backward, unrolled by 16 ---

template <bool Sixteen, bool Backward>
void renderTwoGains(const std::uint8_t* data, std::int64_t& position, std::int64_t step, const std::int32_t* rowL,
                    const std::int32_t* rowR, std::int32_t* acc, int m)
{
    std::int64_t p = position;
    const std::int64_t s = Backward ? -step : step;
    int i = 0;
    for (; i + 16 <= m; i += 16) {
        std::int32_t* a = acc + 2 * i;
#pragma GCC unroll 16
        for (int k = 0; k < 16; ++k) {
            const std::int64_t index = p >> 32;
            p += s;
            a[2 * k] += contribution<Sixteen>(data, index, rowL);
            a[2 * k + 1] += contribution<Sixteen>(data, index, rowR);
        }
    }
    for (; i < m; ++i) {
        const std::int64_t index = p >> 32;
        p += s;
        acc[2 * i] += contribution<Sixteen>(data, index, rowL);
        acc[2 * i + 1] += contribution<Sixteen>(data, index, rowR);
    }
    position = p;
}

template <bool Sixteen, bool Backward>
void renderEqualGains(const std::uint8_t* data, std::int64_t& position, std::int64_t step, const std::int32_t* row,
                      std::int32_t* acc, int m)
{
    std::int64_t p = position;
    const std::int64_t s = Backward ? -step : step;
    int i = 0;
    for (; i + 16 <= m; i += 16) {
        std::int32_t* a = acc + 2 * i;
#pragma GCC unroll 16
        for (int k = 0; k < 16; ++k) {
            const std::int64_t index = p >> 32;
            p += s;
            const std::int32_t c = contribution<Sixteen>(data, index, row);
            a[2 * k] += c;
            a[2 * k + 1] += c;
        }
    }
    for (; i < m; ++i) {
        const std::int64_t index = p >> 32;
        p += s;
        const std::int32_t c = contribution<Sixteen>(data, index, row);
        acc[2 * i] += c;
        acc[2 * i + 1] += c;
    }
    position = p;
}

// Silent channel: nothing is read or added, the position moves m steps at once.
inline void skipFrames(std::int64_t& position, std::int64_t step, int direction, int m)
{
    position += direction * step * m;
}

// The second mixer's kernel: 8-bit samples only, each frame's two
// contributions added into the 16-bit output with saturation.
template <bool Backward>
void renderSaturating(const std::uint8_t* data, std::int64_t& position, std::int64_t step, const std::int32_t* rowL,
                      const std::int32_t* rowR, std::int16_t* out, int m)
{
    std::int64_t p = position;
    const std::int64_t s = Backward ? -step : step;
    int i = 0;
#if defined(__SSE2__)
    // Sixteen frames at a time, the sums in four registers; without SSE2 the
    // frame loop below does them all with the same saturation.
    alignas(16) std::int16_t block[32];
    for (; i + 16 <= m; i += 16) {
#pragma GCC unroll 16
        for (int k = 0; k < 16; ++k) {
            const std::int64_t index = p >> 32;
            p += s;
            // |gain x byte| <= 255 x 128 fits in 16 bits.
            block[2 * k] = static_cast<std::int16_t>(rowL[data[index]]);
            block[2 * k + 1] = static_cast<std::int16_t>(rowR[data[index]]);
        }
        for (int q = 0; q < 4; ++q) {
            auto* o = reinterpret_cast<__m128i*>(out + 2 * i + 8 * q);
            const __m128i sum = _mm_adds_epi16(_mm_loadu_si128(o), _mm_load_si128(reinterpret_cast<const __m128i*>(block + 8 * q)));
            _mm_storeu_si128(o, sum);
        }
    }
#endif
    for (; i < m; ++i) {
        const std::int64_t index = p >> 32;
        p += s;
        for (int side = 0; side < 2; ++side) {
            const std::int32_t c = (side == 0 ? rowL : rowR)[data[index]];
            const std::int32_t sum = out[2 * i + side] + c;
            out[2 * i + side] = static_cast<std::int16_t>(std::clamp(sum, -32768, 32767));
        }
    }
    position = p;
}

enum class EventType { None, End, Wrap, TurnAtEnd, TurnAtStart };

struct Event {
    EventType type = EventType::None;
    std::int64_t frames = kNoEventFrames;
};

// The channel's loop settings as the mixer may use them: a loop that does not
// lie inside the sample plays as no loop, a ping-pong loop shorter than two
// frames as a forward loop, and loop type 3 as ping-pong.
int effectiveLoopType(const Channel& ch)
{
    if (ch.loopType == 0)
        return 0;
    if (ch.loopStart < 0 || ch.loopEnd <= ch.loopStart || ch.loopEnd > ch.length)
        return 0;
    if (ch.loopType >= 2)
        return ch.loopEnd - ch.loopStart >= 2 ? 2 : 1;
    return 1;
}

struct Voice {
    std::int64_t position; // 32.32
    std::int64_t step;     // 32.32, lower 16 bits 0
    int direction;
    int loopType;
};

// Finds the next loop event within r frames (projected over r + 2 frames).
// A loop plays only the frames [loop start, loop end): the segment before a
// wrap or a turn at the end counts the frames read below the loop end, the
// segment before a turn at the start those read at or above the loop start.
Event findEvent(const Channel& ch, const Voice& v, int r)
{
    const std::int64_t stepInt = v.step >> 32;
    const std::int64_t stepFrac16 = (v.step >> 16) & 0xFFFF;
    const std::int64_t posInt = v.position >> 32;
    const std::int64_t posFrac16 = (v.position >> 16) & 0xFFFF;
    const std::int64_t span = r + 2;
    const std::int64_t projected = posInt + v.direction * (stepInt * span + ((stepFrac16 * span + posFrac16) >> 16));

    Event e;
    std::int64_t distance = 0; // 48.16
    const std::int64_t pos16 = v.position >> 16;
    if (v.direction == 1 && v.loopType == 0 && projected >= ch.length) {
        // Without a loop the frame at the length (the first zero guard
        // byte) is read once before the channel falls silent.
        e.type = EventType::End;
        distance = (static_cast<std::int64_t>(ch.length) << 16) - pos16;
    } else if (v.direction == 1 && v.loopType != 0 && projected >= ch.loopEnd) {
        e.type = v.loopType == 1 ? EventType::Wrap : EventType::TurnAtEnd;
        distance = (static_cast<std::int64_t>(ch.loopEnd) << 16) - pos16 - 1;
    } else if (projected <= ch.loopStart && v.loopType == 2 && v.direction == -1 && ch.bounced) {
        e.type = EventType::TurnAtStart;
        distance = pos16 - (static_cast<std::int64_t>(ch.loopStart) << 16);
    } else {
        return e;
    }
    const std::int64_t step16 = v.step >> 16;
    if (step16 == 0) // a channel that does not move never reaches its event
        return Event{};
    // A position already past its target is handled at once (it can only get
    // there through a step longer than the loop, or a sample offset).
    e.frames = distance < 0 ? 0 : distance / step16 + 1;
    return e;
}

// Places a ping-pong voice that has run past an end of its loop (forward at
// or beyond the loop end, backward below the loop start) back inside it.
// Forward at offset q from the loop start is the same point of the cycle as
// U = q, backward at q the same as U = 2L - e - q, where L is the loop length
// and e = 1/65536, the smallest position step; the cycle is 2L long, so U
// modulo 2L gives the place and the direction however far the voice ran. A
// single turn is p -> 2E - p - e at the end and p -> 2S - p - e at the start:
// each end frame is played twice and a cycle is exactly 2L frames at step 1.
void reflectPingPong(Channel& ch, Voice& v)
{
    // In 16.16 units (positions and steps carry no finer bits), so that even
    // the longest loop's cycle fits in 64 bits.
    const std::int64_t start = static_cast<std::int64_t>(ch.loopStart) << 16;
    const std::int64_t length = (static_cast<std::int64_t>(ch.loopEnd) - ch.loopStart) << 16;
    const std::int64_t cycle = 2 * length;
    const std::int64_t q = (v.position >> 16) - start;
    std::int64_t u = v.direction == 1 ? q : cycle - 1 - q;
    u %= cycle;
    if (u < 0)
        u += cycle;
    if (u < length) {
        v.direction = 1;
        v.position = (start + u) << 16;
    } else {
        v.direction = -1;
        v.position = (start + (cycle - 1 - u)) << 16;
        ch.bounced = 1;
    }
}

// Rare (once per loop pass): kept out of line so the rendering loops stay compact.
[[gnu::noinline]] void handleEvent(Channel& ch, Voice& v, EventType type)
{
    const std::int64_t start = static_cast<std::int64_t>(ch.loopStart) << 32;
    const std::int64_t end = static_cast<std::int64_t>(ch.loopEnd) << 32;
    switch (type) {
    case EventType::None:
        break;
    case EventType::End:
        ch.active = 0; // falls silent; the position stays where it is
        break;
    case EventType::Wrap:
        // The position is at or past the loop end: back by whole loop lengths.
        v.position = start + (v.position - start) % (end - start);
        break;
    case EventType::TurnAtEnd:
        ch.bounced = 1;
        reflectPingPong(ch, v);
        break;
    case EventType::TurnAtStart:
        reflectPingPong(ch, v);
        break;
    }
}

// Mixes one channel for n frames; Render(voice, m) renders m frames of the
// current segment and advances the output pointer it keeps.
template <class Render>
void mixVoice(Channel& ch, int n, Render&& render)
{
    if (!ch.active || !ch.sampleData || n <= 0)
        return;
    Voice v;
    v.position = (static_cast<std::int64_t>(ch.positionInt) << 32) | (ch.positionFrac & 0xFFFF0000u);
    v.step = (static_cast<std::int64_t>(ch.stepInt) << 32) | (ch.stepFrac & 0xFFFF0000u);
    if (v.step < 0)
        v.step = 0;
    v.loopType = effectiveLoopType(ch);
    v.direction = ch.direction == -1 ? -1 : 1;
    if (v.direction == -1 && v.loopType != 2)
        v.direction = 1; // only a ping-pong loop plays backward
    if (v.direction == -1) {
        ch.bounced = 1;
        // Backward is only ever inside the loop; a state that says otherwise
        // is brought back into it.
        if (v.position >= (static_cast<std::int64_t>(ch.loopEnd) << 32) ||
            v.position < (static_cast<std::int64_t>(ch.loopStart) << 32))
            reflectPingPong(ch, v);
    }
    const std::int64_t lengthFixed = static_cast<std::int64_t>(std::max(ch.length, 0)) << 32;
    if (v.position > lengthFixed)
        v.position = lengthFixed;
    if (v.position < 0)
        v.position = 0;

    int r = n;
    Event e = findEvent(ch, v, r);
    while (ch.active && r > 0) {
        const int m = static_cast<int>(std::min<std::int64_t>(r, e.frames));
        if (m > 0) {
            render(v, m);
            r -= m;
            e.frames -= m;
        }
        if (e.frames <= 0) {
            handleEvent(ch, v, e.type);
            e = findEvent(ch, v, r);
        }
    }
    ch.positionInt = static_cast<std::int32_t>(v.position >> 32);
    ch.positionFrac = static_cast<std::uint32_t>(v.position) & 0xFFFF0000u;
    ch.direction = v.direction;
}

} // namespace

void mixChannelInto(Channel& ch, std::int32_t* accumulator, int frames, const VolumeTable& table)
{
    const int lg = std::clamp(ch.leftGain, 0, 255);
    const int rg = std::clamp(ch.rightGain, 0, 255);
    const std::int32_t* rowL = table.rows[lg];
    const std::int32_t* rowR = table.rows[rg];
    const std::uint8_t* data = ch.sampleData;
    const bool sixteen = ch.bits == 16;
    std::int32_t* acc = accumulator;
    mixVoice(ch, frames, [&](Voice& v, int m) {
        const bool back = v.direction < 0;
        if (lg == 0 && rg == 0) {
            skipFrames(v.position, v.step, v.direction, m);
        } else if (lg == rg) {
            if (sixteen)
                back ? renderEqualGains<true, true>(data, v.position, v.step, rowL, acc, m)
                     : renderEqualGains<true, false>(data, v.position, v.step, rowL, acc, m);
            else
                back ? renderEqualGains<false, true>(data, v.position, v.step, rowL, acc, m)
                     : renderEqualGains<false, false>(data, v.position, v.step, rowL, acc, m);
        } else {
            if (sixteen)
                back ? renderTwoGains<true, true>(data, v.position, v.step, rowL, rowR, acc, m)
                     : renderTwoGains<true, false>(data, v.position, v.step, rowL, rowR, acc, m);
            else
                back ? renderTwoGains<false, true>(data, v.position, v.step, rowL, rowR, acc, m)
                     : renderTwoGains<false, false>(data, v.position, v.step, rowL, rowR, acc, m);
        }
        acc += 2 * m;
    });
}

Mixer::Mixer() : accumulator_(new std::int32_t[2 * kMaxFrames]) {}

void Mixer::mixChannels(std::span<Channel> channels, void* output, std::uint32_t bytes, const VolumeTable& table,
                        bool flip)
{
    auto* out = static_cast<std::uint8_t*>(output);
    std::uint32_t frames = bytes / 4;
    while (frames > 0) {
        const int n = static_cast<int>(std::min<std::uint32_t>(frames, kMaxFrames));
        std::int32_t* acc = accumulator_.get();
        std::memset(acc, 0, sizeof(std::int32_t) * 2 * static_cast<std::size_t>(n));
        for (Channel& ch : channels)
            if (ch.active)
                mixChannelInto(ch, acc, n, table);
        std::int16_t frame[2];
        for (int i = 0; i < n; ++i) {
            const std::int32_t l = std::clamp(acc[2 * i], -32767, 32767);
            std::int32_t r = std::clamp(acc[2 * i + 1], -32767, 32767);
            if (flip)
                r = -r;
            frame[0] = static_cast<std::int16_t>(l);
            frame[1] = static_cast<std::int16_t>(r);
            std::memcpy(out + 4 * static_cast<std::size_t>(i), frame, 4);
        }
        out += 4 * static_cast<std::size_t>(n);
        frames -= static_cast<std::uint32_t>(n);
    }
}

void Mixer::mixChannelsMmx(std::span<Channel> channels, void* output, std::uint32_t bytes, const VolumeTable& table,
                           bool /*flip: this mixer has no flip*/)
{
    auto* out = static_cast<std::int16_t*>(output);
    std::uint32_t frames = bytes / 4;
    std::memset(out, 0, static_cast<std::size_t>(frames) * 4);
    while (frames > 0) {
        const int n = static_cast<int>(std::min<std::uint32_t>(frames, kMaxFrames));
        for (Channel& ch : channels) {
            if (!ch.active)
                continue;
            const int lg = std::clamp(ch.leftGain, 0, 255);
            const int rg = std::clamp(ch.rightGain, 0, 255);
            const std::int32_t* rowL = table.rows[lg];
            const std::int32_t* rowR = table.rows[rg];
            const std::uint8_t* data = ch.sampleData;
            const bool adds = ch.bits != 16 && (lg != 0 || rg != 0);
            std::int16_t* o = out;
            mixVoice(ch, n, [&](Voice& v, int m) {
                if (!adds)
                    skipFrames(v.position, v.step, v.direction, m);
                else if (v.direction < 0)
                    renderSaturating<true>(data, v.position, v.step, rowL, rowR, o, m);
                else
                    renderSaturating<false>(data, v.position, v.step, rowL, rowR, o, m);
                o += 2 * m;
            });
        }
        out += 2 * static_cast<std::size_t>(n);
        frames -= static_cast<std::uint32_t>(n);
    }
}

} // namespace music
