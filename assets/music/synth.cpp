#include "assets/music/synth.h"

#include "assets/music/fixed_dsp.h"

#include <stdexcept>

namespace assets::music {

namespace {

constexpr std::int32_t kPeak16 = 30000; // a little headroom below full scale

// One voice of an additive tone: `cycles` whole cycles across the loop, so
// that the loop closes exactly; amplitude in Q8; starting phase.
struct Voice {
    std::uint32_t cycles;
    std::int32_t ampQ8;
    std::uint32_t phase0;
};

// Harmonic amplitudes (index = harmonic number, Q16) of a sawtooth softened
// by a second-order roll-off at harmonic hc: 1/h x hc^2 / (hc^2 + h^2).
std::vector<std::int32_t> sawHarmonics(int count, std::int64_t hc)
{
    std::vector<std::int32_t> a(static_cast<std::size_t>(count) + 1, 0);
    for (int h = 1; h <= count; ++h)
        a[static_cast<std::size_t>(h)] = static_cast<std::int32_t>(65536 * hc * hc / (h * (hc * hc + std::int64_t{h} * h)));
    return a;
}

// Square wave (odd harmonics only) with the same roll-off.
std::vector<std::int32_t> squareHarmonics(int count, std::int64_t hc)
{
    std::vector<std::int32_t> a = sawHarmonics(count, hc);
    for (int h = 2; h <= count; h += 2)
        a[static_cast<std::size_t>(h)] = 0;
    return a;
}

// Pulse of 25 % duty: sin(pi h / 4) / h.
std::vector<std::int32_t> pulseHarmonics(int count)
{
    std::vector<std::int32_t> a(static_cast<std::size_t>(count) + 1, 0);
    for (int h = 1; h <= count; ++h)
        a[static_cast<std::size_t>(h)] = sineQ15(static_cast<std::uint32_t>(h) << 29) * 2 / h;
    return a;
}

// Sum of voices, each the harmonic series `harm`, over `frames` frames
// (a power of two, so that each phase step is exact).
std::vector<std::int32_t> additive(std::uint32_t frames, const std::vector<Voice>& voices,
                                   const std::vector<std::int32_t>& harm)
{
    if (frames == 0 || (frames & (frames - 1)) != 0)
        throw std::invalid_argument("additive tone length must be a power of two");
    std::vector<std::int64_t> acc(frames, 0);
    for (const Voice& v : voices) {
        const auto step = static_cast<std::uint32_t>((std::uint64_t{v.cycles} << 32) / frames);
        for (std::size_t h = 1; h < harm.size(); ++h) {
            if (harm[h] == 0)
                continue;
            const auto hh = static_cast<std::uint32_t>(h);
            const std::uint32_t hStep = step * hh;
            std::uint32_t phase = v.phase0 * hh;
            const std::int64_t amp = std::int64_t{v.ampQ8} * harm[h];
            for (std::uint32_t j = 0; j < frames; ++j) {
                acc[j] += amp * sineQ15(phase);
                phase += hStep;
            }
        }
    }
    std::vector<std::int32_t> out(frames);
    for (std::uint32_t j = 0; j < frames; ++j)
        out[j] = static_cast<std::int32_t>(acc[j] >> 24);
    return out;
}

// A forward loop over all frames, with the first frame repeated once after
// the loop end: a player that reads one frame past the end then still sees
// the continuation of the wave, and one that does not is unaffected.
XmSample forwardLoop(std::string name, std::vector<std::int16_t> frames, bool sixteenBit, int cycleFrames)
{
    XmSample s;
    s.name = std::move(name);
    s.sixteenBit = sixteenBit;
    s.loop = LoopType::Forward;
    s.loopStart = 0;
    s.loopLength = static_cast<std::uint32_t>(frames.size());
    frames.push_back(frames.front());
    s.frames = std::move(frames);
    s.relativeNote = relativeNoteForCycle(cycleFrames);
    s.finetune = 2;
    return s;
}

XmSample oneShot(std::string name, const std::vector<std::int32_t>& signal, bool sixteenBit)
{
    XmSample s;
    s.name = std::move(name);
    s.sixteenBit = sixteenBit;
    s.frames = normalise(signal, kPeak16);
    if (!sixteenBit)
        s.frames = toEightBit(s.frames);
    s.relativeNote = 24; // kDrumRate = 4 x 8363 Hz: two octaves up
    return s;
}

// A short linear fade over the last frames, so a one-shot ends at zero.
void fadeTail(std::vector<std::int32_t>& v, std::size_t frames)
{
    const std::size_t n = std::min(frames, v.size());
    for (std::size_t i = 0; i < n; ++i) {
        std::size_t k = v.size() - 1 - i;
        v[k] = static_cast<std::int32_t>(std::int64_t{v[k]} * static_cast<std::int64_t>(i) / static_cast<std::int64_t>(n));
    }
}

} // namespace

std::int8_t relativeNoteForCycle(int cycleFrames)
{
    switch (cycleFrames) {
    case 32: return 0;
    case 64: return 12;
    case 128: return 24;
    case 256: return 36;
    case 512: return 48;
    case 1024: return 60;
    default: throw std::invalid_argument("cycle length must be a power of two from 32 to 1024");
    }
}

XmSample makeKick()
{
    const int frames = kDrumRate * 4 / 10;
    std::vector<std::int32_t> v(static_cast<std::size_t>(frames));
    Decay sweep(kDrumRate / 28); // pitch falls from 160 Hz to 44 Hz in about 35 ms
    Decay body(kDrumRate / 6);
    Decay click(kDrumRate / 900);
    NoiseSource noise(0x4B1C4u);
    std::uint32_t phase = 0;
    std::int32_t clickLow = 0;
    for (int i = 0; i < frames; ++i) {
        const std::int64_t milliHz = 44000 + ((116000 * sweep.level()) >> 30);
        phase += phaseStep(milliHz, kDrumRate);
        std::int32_t tone = body.apply(sineQ15(phase));
        // gentle saturation: x - x^3/3 on the Q15 value, for a rounder thump
        const std::int64_t x = tone;
        tone = static_cast<std::int32_t>(x + x / 3 - (x * x / 32768 * x / 32768) / 3);
        clickLow += (noise.next() - clickLow) / 3;
        v[static_cast<std::size_t>(i)] = tone + click.apply(clickLow) / 2;
        sweep.step();
        body.step();
        click.step();
    }
    fadeTail(v, 400);
    return oneShot("kick", v, true);
}

XmSample makeSnare()
{
    const int frames = kDrumRate * 3 / 10;
    std::vector<std::int32_t> v(static_cast<std::size_t>(frames));
    Decay toneEnv(kDrumRate / 18);
    Decay noiseEnv(kDrumRate / 11);
    NoiseSource noise(0x5A4E3u);
    StateVariableFilter filter;
    filter.setCutoff(1800, kDrumRate);
    filter.setDamping(60000);
    std::uint32_t p1 = 0, p2 = 0;
    for (int i = 0; i < frames; ++i) {
        p1 += phaseStep(186000, kDrumRate);
        p2 += phaseStep(334000, kDrumRate);
        const std::int32_t tone = toneEnv.apply(sineQ15(p1) / 2 + sineQ15(p2) / 3);
        filter.process(noise.next());
        const std::int32_t snap = filter.high() + filter.band() / 2;
        v[static_cast<std::size_t>(i)] = tone + noiseEnv.apply(snap) * 3 / 4;
        toneEnv.step();
        noiseEnv.step();
    }
    fadeTail(v, 600);
    return oneShot("snare", v, true);
}

namespace {

std::vector<std::int32_t> hat(int frames, std::int64_t decayFrames, std::uint32_t seed)
{
    std::vector<std::int32_t> v(static_cast<std::size_t>(frames));
    Decay env(decayFrames);
    NoiseSource noise(seed);
    StateVariableFilter filter;
    filter.setCutoff(5200, kDrumRate);
    filter.setDamping(30000);
    for (int i = 0; i < frames; ++i) {
        filter.process(noise.next());
        v[static_cast<std::size_t>(i)] = env.apply(filter.high() + filter.band() / 2);
        env.step();
    }
    fadeTail(v, static_cast<std::size_t>(frames / 10));
    return v;
}

} // namespace

XmSample makeClosedHat() { return oneShot("closed hat", hat(kDrumRate * 8 / 100, kDrumRate / 45, 0xC105Eu), false); }

XmSample makeOpenHat() { return oneShot("open hat", hat(kDrumRate * 35 / 100, kDrumRate / 7, 0x0BE7u), false); }

XmSample makeCrash()
{
    const int frames = kDrumRate * 16 / 10;
    std::vector<std::int32_t> v(static_cast<std::size_t>(frames));
    Decay env(kDrumRate * 45 / 100);
    Decay attack(kDrumRate / 60);
    NoiseSource noise(0xC4A54u);
    StateVariableFilter a, b;
    a.setCutoff(4300, kDrumRate);
    a.setDamping(20000);
    b.setCutoff(7900, kDrumRate);
    b.setDamping(26000);
    for (int i = 0; i < frames; ++i) {
        const std::int32_t n = noise.next();
        a.process(n);
        b.process(n);
        const std::int32_t shimmer = a.band() / 2 + b.band() / 2 + b.high() / 3;
        v[static_cast<std::size_t>(i)] = env.apply(shimmer) + attack.apply(n / 3);
        env.step();
        attack.step();
    }
    fadeTail(v, static_cast<std::size_t>(kDrumRate / 5));
    return oneShot("crash", v, false);
}

XmSample makeBass()
{
    // One cycle of 1024 frames (so that even low notes play the sample
    // faster than the output rate): a softened saw with a sine under it.
    std::vector<std::int32_t> harm = sawHarmonics(48, 9);
    harm[1] += 40000;
    const auto wave = additive(1024, {{1, 256, 0}}, harm);
    return forwardLoop("bass", toEightBit(normalise(wave, kPeak16)), false, 1024);
}

XmSample makePad()
{
    // Five saws of 126..130 cycles over 65536 frames (cycle 512): about
    // 13 cents between neighbours, so the chorus beats once per loop pass.
    const std::vector<Voice> voices = {
        {128, 256, 0}, {127, 200, 0x2F6A1C3Du}, {129, 200, 0x91C20B7Eu},
        {126, 90, 0x5D3E8A11u}, {130, 90, 0xC7A4F0E2u}};
    const auto wave = additive(65536, voices, sawHarmonics(44, 7));
    XmSample s;
    s.name = "pad";
    s.sixteenBit = true;
    s.frames = normalise(wave, kPeak16);
    s.loop = LoopType::PingPong;
    s.loopStart = 0;
    s.loopLength = static_cast<std::uint32_t>(s.frames.size());
    s.relativeNote = relativeNoteForCycle(512);
    s.finetune = 2;
    return s;
}

XmSample makeGatePad()
{
    // All voices start at phase 0, so the sample starts at zero: the gate
    // envelope opens at full volume.
    const std::vector<Voice> voices = {{64, 256, 0}, {63, 220, 0}, {65, 220, 0}};
    const auto wave = additive(16384, voices, sawHarmonics(50, 16));
    return forwardLoop("gate pad", normalise(wave, kPeak16), true, 256);
}

XmSample makeLead(LeadRange range)
{
    // Two voices 255 and 257 cycles over 32768 frames (cycle 128): about
    // 7 cents either side of the note. Saw plus half a square, with as many
    // harmonics as stay below 20 kHz at the top of the range.
    const int count = range == LeadRange::Low ? 31 : (range == LeadRange::Middle ? 18 : 10);
    std::vector<std::int32_t> harm = sawHarmonics(count, 14);
    const std::vector<std::int32_t> sq = squareHarmonics(count, 14);
    for (std::size_t h = 1; h < harm.size(); ++h)
        harm[h] += sq[h] / 2;
    const auto wave = additive(32768, {{255, 256, 0}, {257, 256, 0}}, harm);
    return forwardLoop(range == LeadRange::Low ? "lead low" : (range == LeadRange::Middle ? "lead middle" : "lead high"),
                       normalise(wave, kPeak16), true, 128);
}

XmSample makeChip()
{
    const auto wave = additive(256, {{1, 256, 0}}, pulseHarmonics(14));
    return forwardLoop("chip", toEightBit(normalise(wave, kPeak16)), false, 256);
}

XmSample makeBell()
{
    // FM: carrier at the note, modulator at 3.5 x the note (a slightly
    // inharmonic, bell-like colour) whose index dies away fast, plus an
    // octave partial. Cycle 128 frames, so C-4 plays at 33452 Hz.
    const int frames = 48000;
    std::vector<std::int32_t> v(static_cast<std::size_t>(frames));
    const std::uint32_t carrierStep = 1u << 25;
    const std::uint32_t modStep = 7u << 24;
    Decay index(5200);
    Decay body(18000);
    Decay octave(4400);
    std::uint32_t pc = 0, pm = 0, po = 0;
    for (int i = 0; i < frames; ++i) {
        const std::int64_t depth = (std::int64_t{1900000000} * index.level()) >> 30; // about 2.8 radians at the strike
        const auto offset = static_cast<std::uint32_t>(static_cast<std::int64_t>(sineQ15(pm)) * depth >> 15);
        const std::int32_t main = body.apply(sineQ15(pc + offset));
        const std::int32_t upper = octave.apply(sineQ15(po)) / 3;
        v[static_cast<std::size_t>(i)] = main + upper;
        pc += carrierStep;
        pm += modStep;
        po += carrierStep * 2;
        index.step();
        body.step();
        octave.step();
    }
    fadeTail(v, 4000);
    XmSample s;
    s.name = "bell";
    s.sixteenBit = true;
    s.frames = normalise(v, kPeak16);
    s.relativeNote = relativeNoteForCycle(128);
    s.finetune = 2;
    return s;
}

XmSample makeWind()
{
    // Noise through a resonant band-pass whose centre glides up and back
    // down across the sample; the ping-pong loop keeps it seamless. Made at
    // 66904 Hz (C-4 plays it at that rate), so that the notes it is played
    // at still step through it faster than the output rate.
    const int frames = 65536;
    const int rate = 66904;
    std::vector<std::int32_t> v(static_cast<std::size_t>(frames));
    NoiseSource noise(0x817Du);
    StateVariableFilter filter;
    filter.setDamping(16000);
    for (int i = 0; i < frames; ++i) {
        const int tri = i < frames / 2 ? i : frames - i; // 0 .. frames/2
        if ((i & 63) == 0)
            filter.setCutoff(500 + std::int64_t{tri} * 1800 / (frames / 2), rate);
        filter.process(noise.next() / 2);
        v[static_cast<std::size_t>(i)] = filter.band();
    }
    XmSample s;
    s.name = "wind";
    s.frames = toEightBit(normalise(v, kPeak16));
    s.loop = LoopType::PingPong;
    s.loopStart = 0;
    s.loopLength = static_cast<std::uint32_t>(frames);
    s.relativeNote = 36; // 8363 x 8 = 66904 Hz
    return s;
}

} // namespace assets::music
