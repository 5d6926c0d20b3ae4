// The player's other ticks: effects that act on every tick but the row tick,
// vibrato, tremolo, tremor, retriggers, auto-vibrato, fade-out and the
// channel update that hands the mixer a step and two gains.
#include "music/song.h"

#include <algorithm>
#include <cstdlib>

namespace music {

namespace {

std::int16_t clampVolume(int v)
{
    const auto v16 = static_cast<std::int16_t>(v); // 16-bit: bit 15 set counts as 0
    return static_cast<std::int16_t>(std::clamp<int>(v16, 0, 64));
}
std::int16_t clampPanning(int p) { return static_cast<std::int16_t>(std::clamp(p, 0, 255)); }
std::int16_t clampPeriod(int p) { return static_cast<std::int16_t>(std::clamp(p, kMinPeriod, kMaxPeriod)); }
int floorMod(int a, int m) { return ((a % m) + m) % m; }

// The three vibrato/tremolo waveforms. Returns the offset and moves q on.
// scale: sine, ramp and square multipliers and the divisor (vibrato: 4, 16,
// 512/1020, 128; tremolo: 1, 4, 128/255, 64).
struct Wave {
    int sine, ramp, squareHigh, squareStep, divisor;
};
constexpr Wave kVibratoWave{4, 16, 512, 1020, 128};
constexpr Wave kTremoloWave{1, 4, 128, 255, 64};

std::int16_t waveStep(const Wave& w, std::int16_t waveform, std::int16_t& q, int depth, int speed)
{
    int offset;
    if (waveform == 0) {
        const int s = kVibratoSine[static_cast<std::size_t>(q & 31)];
        offset = static_cast<std::int16_t>(s * depth * w.sine) / w.divisor;
        if (q < 0)
            offset = -offset;
        q = static_cast<std::int16_t>(q + speed);
        if (q > 31)
            q = static_cast<std::int16_t>(q - 63); // 63, not 64: the cycle is 63 steps
    } else if (waveform == 1) {
        offset = static_cast<std::int16_t>((q & 63) * depth * w.ramp) / w.divisor;
        q = static_cast<std::int16_t>((q + speed) & 63);
    } else {
        offset = static_cast<std::int16_t>((w.squareHigh - w.squareStep * (q >> 5)) * depth) / w.divisor;
        q = static_cast<std::int16_t>((q + speed) & 63);
    }
    return static_cast<std::int16_t>(offset);
}

enum : std::uint8_t {
    kArpeggio = 0x0, kPortaUp = 0x1, kPortaDown = 0x2, kTonePorta = 0x3, kVibrato = 0x4,
    kTonePortaVolume = 0x5, kVibratoVolume = 0x6, kTremolo = 0x7, kVolumeSlide = 0xA,
    kGlobalVolumeSlide = 17, kKeyOff = 20, kPanningSlide = 25, kMultiRetrigger = 27, kTremor = 29,
    kRetrigger = 0xE9, kNoteCut = 0xEC,
};

} // namespace

std::int32_t Song::snapPeriod(const Channel& ch, std::int32_t p) const
{
    if (frequencyMode == kFrequencyAmiga)
        return amigaPeriod(noteOfPeriod(p, ch.finetune), ch.finetune);
    const std::int32_t b = linearPeriod(0, ch.finetune);
    const std::int32_t s = semitoneStep;
    return b + s * ((p + s / 2 - b) / s);
}

void Song::runTickEffects()
{
    const int count = std::clamp<int>(numChannels, 0, kMaxChannels);
    for (int c = 0; c < count; ++c)
        tickEffect(channels[static_cast<std::size_t>(c)]);
}

void Song::tickEffect(Channel& ch)
{
    const int cx = ch.volumeColumn & 0x0F;
    switch (ch.volumeColumn & 0xF0) {
    case 0x60: ch.volume = clampVolume(ch.volume - cx); break;
    case 0x70: ch.volume = clampVolume(ch.volume + cx); break;
    case 0xB0: vibrato(ch); break;
    case 0xD0: ch.panning = clampPanning(ch.panning - cx); break;
    case 0xE0: ch.panning = clampPanning(ch.panning + cx); break;
    case 0xF0:
        if (cx)
            ch.tonePortaSpeed = static_cast<std::int16_t>(cx * 16);
        tonePortamento(ch);
        break;
    default: break;
    }

    const auto& memory = ch.slideMemory;
    switch (ch.effect) {
    case kArpeggio:
        if (ch.parameter != 0)
            arpeggio(ch);
        break;
    case kPortaUp: ch.period = clampPeriod(ch.period - ch.portaUpMemory * portamentoUnit); break;
    case kPortaDown: ch.period = clampPeriod(ch.period + ch.portaDownMemory * portamentoUnit); break;
    case kTonePorta: tonePortamento(ch); break;
    case kTonePortaVolume:
        tonePortamento(ch);
        ch.volume = clampVolume(ch.volume + memory[kSlideTonePortaVolume]);
        break;
    case kVibrato: vibrato(ch); break;
    case kVibratoVolume:
        vibrato(ch);
        ch.volume = clampVolume(ch.volume + memory[kSlideVibratoVolume]);
        break;
    case kTremolo: tremolo(ch); break;
    case kVolumeSlide: ch.volume = clampVolume(ch.volume + memory[kSlideVolume]); break;
    case kGlobalVolumeSlide:
        globalVolume = static_cast<std::int16_t>(std::clamp(globalVolume + memory[kSlideGlobalVolume], 0, 64));
        break;
    case kPanningSlide: ch.panning = clampPanning(ch.panning + memory[kSlidePanning]); break;
    case kMultiRetrigger: multiRetriggerStep(ch); break;
    case kTremor: tremorStep(ch); break;
    case kRetrigger:
        // E90 would count down forever; it retriggers nothing.
        if (ch.parameter != 0) {
            ch.retriggerCountdown = static_cast<std::int16_t>(ch.retriggerCountdown - 1);
            if (ch.retriggerCountdown <= 0) {
                ch.retriggerCountdown = ch.parameter;
                restartNote(ch);
            }
        }
        break;
    case kNoteCut:
        if (ch.parameter == tickCounter)
            ch.volume = 0;
        break;
    case kKeyOff:
        // Releases the key on its tick as a key-off note delayed to that tick
        // does: the envelopes are evaluated at once with the key released.
        // (K00 is handled when the row's note is triggered.)
        if (ch.parameter != 0 && ch.parameter == tickCounter) {
            ch.keyReleased = 1;
            evaluateEnvelope(ch.volumeEnvelope, 64, true, 0);
            evaluateEnvelope(ch.panningEnvelope, 32, true, 0);
        }
        break;
    default: break;
    }
}

void Song::arpeggio(Channel& ch)
{
    const int phase = ch.arpeggioCounter % 3;
    const int k = phase == 0 ? ch.arpeggioX : phase == 1 ? ch.arpeggioY : 0;
    ch.arpeggioCounter = static_cast<std::int16_t>(ch.arpeggioCounter + 1);
    if (k == 0) {
        ch.arpeggioOffset = 0;
        return;
    }
    if (frequencyMode == kFrequencyAmiga) {
        const int n = noteOfPeriod(ch.period, ch.finetune);
        ch.arpeggioOffset = static_cast<std::int16_t>(
            std::clamp(amigaPeriod(n + k, ch.finetune), 0, kMaxPeriod) - ch.period);
    } else {
        ch.arpeggioOffset = static_cast<std::int16_t>(snapPeriod(ch, ch.period) + semitoneStep * k - ch.period);
    }
}

void Song::tonePortamento(Channel& ch)
{
    std::int32_t working = ch.glissandoOn ? ch.glissandoPeriod : ch.period;
    const std::int32_t target = ch.tonePortaTarget;
    if (target != 0) {
        const std::int32_t amount = ch.tonePortaSpeed * portamentoUnit;
        bool reached = false;
        if (working < target) {
            working += amount;
            if (working >= target) {
                working = target;
                reached = true;
            }
        } else if (working > target) {
            working -= amount;
            if (working <= target) {
                working = target;
                reached = true;
            }
        } else {
            reached = true;
        }
        if (reached) {
            // The slide ends for this row. The parameter goes too: effect 0
            // with a parameter left over would run as an arpeggio.
            ch.effect = 0;
            ch.parameter = 0;
        }
    }
    if (ch.glissandoOn) {
        ch.glissandoPeriod = clampPeriod(working);
        ch.period = clampPeriod(snapPeriod(ch, ch.glissandoPeriod));
    } else {
        ch.period = clampPeriod(working);
    }
}

void Song::vibrato(Channel& ch)
{
    ch.vibratoOffset = waveStep(kVibratoWave, ch.vibratoWaveform, ch.vibratoPosition, ch.vibratoDepth, ch.vibratoSpeed);
}

void Song::tremolo(Channel& ch)
{
    ch.tremoloOffset = waveStep(kTremoloWave, ch.tremoloWaveform, ch.tremoloPosition, ch.tremoloDepth, ch.tremoloSpeed);
}

void Song::multiRetriggerStep(Channel& ch)
{
    ch.multiRetriggerCounter = static_cast<std::int16_t>(ch.multiRetriggerCounter + 1);
    // "Reaches" the interval: a row that shortens the interval below the
    // count already run must retrigger now, not never again.
    if (ch.multiRetriggerCounter < ch.multiRetriggerInterval)
        return;
    restartNote(ch);
    ch.multiRetriggerCounter = 0;
    int v = ch.volume;
    switch (ch.multiRetriggerVolumeCode) {
    case 1: v -= 1; break;
    case 2: v -= 2; break;
    case 3: v -= 4; break;
    case 4: v -= 8; break;
    case 5: v -= 16; break;
    case 6: v = v * 2 / 3; break;
    case 7: v = v / 2; break;
    case 9: v += 1; break;
    case 10: v += 2; break;
    case 11: v += 4; break;
    case 12: v += 8; break;
    case 13: v += 16; break;
    case 14: v = v * 3 / 2; break;
    case 15: v = v * 2; break;
    default: break;
    }
    ch.volume = clampVolume(v);
}

// Tremor: the note sounds for `on` ticks, then is silent for `off` ticks, and
// so on. The counter runs 1..on+off over the ticks after the row tick and
// carries on across rows that keep the effect; a new note starts it again.
void Song::tremorStep(Channel& ch)
{
    const int cycle = ch.tremorOnTicks + ch.tremorOffTicks;
    if (cycle <= 0)
        return; // never given any phases: nothing to do
    ch.tremorCounter = static_cast<std::int16_t>(ch.tremorCounter + 1);
    if (ch.tremorCounter > cycle)
        ch.tremorCounter = 1;
    if (ch.tremorCounter > ch.tremorOnTicks)
        ch.tremorGate = 0;
}

void Song::restartNote(Channel& ch)
{
    ch.tremorGate = 1;
    ch.direction = 1;
    ch.positionInt = 0;
    ch.positionFrac = 0;
    ch.bounced = 0;
    ch.keyReleased = 0;
    ch.autoVibratoPosition = 0;
    ch.autoVibratoSweepCounter = 0;
    restartEnvelope(ch.volumeEnvelope);
    restartEnvelope(ch.panningEnvelope);
    ch.fadeOutLevel = 65536;
    // A channel that never had a sample has nothing to restart.
    ch.active = ch.sampleData ? 1 : 0;
    ch.vibratoPosition = 0;
    ch.tremoloPosition = 0;
}

void Song::autoVibrato(Channel& ch)
{
    const int q = ch.autoVibratoPosition & 255;
    const int depth = ch.autoVibratoDepth;
    int value;
    switch (ch.autoVibratoType) {
    case 1: value = (q & 128) ? 64 : -64; break;
    case 2: value = floorMod((q >> 1) + 64, 128) - 64; break;
    case 3: value = floorMod(-64 - (q >> 1), 128) - 64; break;
    default: value = autoVibratoSine()[static_cast<std::size_t>(q)] * depth / 64; break;
    }
    int offset = value * depth / 64;
    if (ch.autoVibratoSweep != 0) {
        offset = offset * ch.autoVibratoSweepCounter / ch.autoVibratoSweep;
        if (ch.autoVibratoSweepCounter < ch.autoVibratoSweep)
            ch.autoVibratoSweepCounter = static_cast<std::int16_t>(ch.autoVibratoSweepCounter + 1);
    }
    ch.autoVibratoOffset = static_cast<std::int16_t>(offset);
    ch.autoVibratoPosition = static_cast<std::int16_t>(q + ch.autoVibratoRate);
}

void Song::fadeOut(Channel& ch)
{
    const Envelope* env = ch.volumeEnvelope.envelope;
    if (ch.keyReleased && env && env->on)
        ch.fadeOutLevel = std::max(0, ch.fadeOutLevel - ch.fadeOutSpeed);
}

void Song::updateChannel(Channel& ch)
{
    globalVolume = static_cast<std::int16_t>(std::clamp<int>(globalVolume, 0, 64));
    const int v = std::clamp(ch.volume + ch.tremoloOffset, 0, 64);
    const double product = ch.volumeEnvelope.output / 64.0 * (ch.fadeOutLevel / 65536.0) * (globalVolume / 64.0) *
                           (v / 64.0) * 256.0;
    ch.finalVolume = static_cast<std::int16_t>(std::clamp(product, 0.0, 256.0)); // truncates

    const std::int32_t period = ch.period + ch.autoVibratoOffset + ch.vibratoOffset + ch.arpeggioOffset;
    ch.finalPeriod = static_cast<std::int16_t>(std::clamp(period, -32768, 32767));
    const Step step = frequencyMode == kFrequencyAmiga ? amigaStep(period, mixingRate_) : pitchTable_.step(period);
    ch.stepInt = step.integer;
    ch.stepFrac = step.fraction;

    const int pan = ch.panning;
    const int panned = pan + (128 - std::abs(pan - 128)) * (ch.panningEnvelope.output - 32) / 32;
    ch.finalPanning = static_cast<std::int16_t>(std::clamp(panned, 0, 255));

    const int p = ch.finalPanning;
    int left = 255, right = 255;
    if (p > 128)
        left = 511 - 2 * p;
    if (p < 128)
        right = 2 * p - 1;
    left = std::max(left, 0);
    right = std::max(right, 0);
    const int gate = ch.tremorGate ? 1 : 0;
    ch.leftGain = std::clamp(gate * (amplification * (ch.finalVolume * left / 256) / 32), 0, 255);
    ch.rightGain = std::clamp(gate * (amplification * (ch.finalVolume * right / 256) / 32), 0, 255);
}

} // namespace music
