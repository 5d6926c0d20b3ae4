#pragma once
// Periods and sample steps: the two period systems (linear and Amiga), the
// per-rate pitch table of the linear system and the period-to-note table of
// the Amiga system.
#include <array>
#include <cstdint>
#include <vector>

namespace music {

inline constexpr std::int32_t kFrequencyAmiga = 1;
inline constexpr std::int32_t kFrequencyLinear = 2;

inline constexpr int kMinPeriod = 10;
inline constexpr int kMaxPeriod = 20000;
inline constexpr int kPeriodTableSize = 20000; // periods 0..19999
// Real notes (note index plus the sample's relative note) that can be played:
// 0..118. A note beyond them is ignored.
inline constexpr int kHighestRealNote = 118;

// The 96-entry Amiga period table: 12 semitones x 8 finetune steps; entries
// 0..7 belong to the semitone below the octave's first note.
extern const std::array<std::int16_t, 96> kAmigaPeriods;

// A sample step as the mixer wants it: integer frames and a fraction word
// whose upper 16 bits hold the fraction (the lower 16 bits are 0).
struct Step {
    std::int32_t integer = 0;
    std::uint32_t fraction = 0;
    bool operator==(const Step&) const = default;
};

// Linear period of note index n (0 = the lowest C) at finetune f:
// (120 - n) x 64 - f x 0.5, truncated toward zero.
std::int32_t linearPeriod(int n, int finetune);

// Amiga period of note index n at finetune f. With m = n + 1:
// k = (m mod 12) x 8 + f / 16 (truncated), w = the signed fractional part of
// f / 128, period = trunc(trunc(T[k] x (1 - w) + T[k+1] x w) x 32 / 2^(m / 12)).
// T continues past its ends by the neighbouring octave: T[k] = 2 x T[k + 96]
// for k below 0 and T[k - 96] / 2 above 95 (a B with a flat finetune, an A#
// with a sharp one), so no note loses its finetune at the table's edges.
// Notes far outside the table give periods beyond 32 bits' reach: the result
// is limited to 0..1000000 (callers clamp to 10..20000 anyway).
std::int32_t amigaPeriod(int n, int finetune);

// The period of (n, finetune) in the given frequency mode.
std::int32_t notePeriod(std::int32_t frequencyMode, int n, int finetune);

// Step for an Amiga period: s = 14317456 / period / rate, split into integer
// and fraction (fraction x 65536 truncated, in the upper 16 bits). A period
// of 0 or below (beyond the table) gives step 0: the channel holds still.
Step amigaStep(std::int32_t period, std::int32_t rate);

// Steps of the linear system for one mixing rate: for periods 9..19999,
// step = 8363 x 2^((4608 - p) / 768) / rate; entries 0..8 are 0.
class PitchTable {
public:
    void build(std::int32_t rate);
    std::int32_t rate() const { return rate_; }
    // Periods above 19999 use entry 19999; periods below 0 use entry 0 (step 0).
    Step step(std::int32_t period) const
    {
        if (table_.empty())
            return {};
        if (period < 0)
            period = 0;
        if (period >= kPeriodTableSize)
            period = kPeriodTableSize - 1;
        return table_[static_cast<std::size_t>(period)];
    }

private:
    std::int32_t rate_ = 0;
    std::vector<Step> table_;
};

// Amiga mode's period-to-note table, built once (immutable afterwards):
// for each note 0..95 its Amiga period at finetune 0, clamped to 19999, holds
// the note (a later note overwrites); then every empty entry from 19999 down
// to 1 takes the value of the nearest filled entry above it.
const std::array<std::int32_t, kPeriodTableSize>& periodToNote();

// Period-to-note lookup with the index guarded to 0..19999.
inline std::int32_t noteOfPeriod(std::int32_t period)
{
    if (period < 0)
        period = 0;
    if (period >= kPeriodTableSize)
        period = kPeriodTableSize - 1;
    return periodToNote()[static_cast<std::size_t>(period)];
}

// The note of an Amiga period for a channel at the given finetune: the note
// whose period at that finetune is the nearest at or above the period (so a
// period between two notes counts as the lower note, as in the table). With
// finetune 0 this is the table's answer; for other finetunes the table's note
// is moved to the finetuned periods, because a flat sample's notes lie above
// their finetune-0 periods, where the table holds the note below.
std::int32_t noteOfPeriod(std::int32_t period, int finetune);

// Half-sine used by vibrato and tremolo (32 entries) and the auto-vibrato's
// sine256[q] = round(-64 x sin(2 pi q / 256)).
extern const std::array<std::uint8_t, 32> kVibratoSine;
const std::array<std::int8_t, 256>& autoVibratoSine();

} // namespace music
