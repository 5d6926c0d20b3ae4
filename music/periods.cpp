#include "music/periods.h"

#include "platform/portable_math.h"

#include <algorithm>
#include <cmath>

namespace music {

const std::array<std::int16_t, 96> kAmigaPeriods = {
    907, 900, 894, 887, 881, 875, 868, 862, 856, 850, 844, 838, 832, 826, 820, 814,
    808, 802, 796, 791, 785, 779, 774, 768, 762, 757, 752, 746, 741, 736, 730, 725,
    720, 715, 709, 704, 699, 694, 689, 684, 678, 675, 670, 665, 660, 655, 651, 646,
    640, 636, 632, 628, 623, 619, 614, 610, 604, 601, 597, 592, 588, 584, 580, 575,
    570, 567, 563, 559, 555, 551, 547, 543, 538, 535, 532, 528, 524, 520, 516, 513,
    508, 505, 502, 498, 494, 491, 487, 484, 480, 477, 474, 470, 467, 463, 460, 457,
};

const std::array<std::uint8_t, 32> kVibratoSine = {
    0,   24,  49,  74,  97,  120, 141, 161, 180, 197, 212, 224, 235, 244, 250, 253,
    255, 253, 250, 244, 235, 224, 212, 197, 180, 161, 141, 120, 97,  74,  49,  24,
};

std::int32_t linearPeriod(int n, int finetune)
{
    return static_cast<std::int32_t>(std::trunc((120.0 - n) * 64.0 - finetune * 0.5));
}

namespace {

// An entry of the Amiga table, continued past both ends by the neighbouring
// octave: below 0 the entries of the semitones under the table's first one
// (twice their period an octave up), above 95 those over its last one (half
// the period an octave down). A B played with a flat finetune (k below 0) or
// an A# with a sharp one (k + 1 at 96) then keeps its finetune instead of
// being held at the table's end.
double amigaTableEntry(int k)
{
    k = std::clamp(k, -96, 191);
    if (k < 0)
        return 2.0 * kAmigaPeriods[static_cast<std::size_t>(k + 96)];
    if (k > 95)
        return kAmigaPeriods[static_cast<std::size_t>(k - 96)] / 2.0;
    return kAmigaPeriods[static_cast<std::size_t>(k)];
}

} // namespace

std::int32_t amigaPeriod(int n, int finetune)
{
    const int m = n + 1;
    const int k = (m % 12) * 8 + finetune / 16; // both truncate toward zero
    const double q = finetune / 128.0;
    const double w = q - std::trunc(q); // keeps its sign
    const double interpolated = std::trunc(amigaTableEntry(k) * (1.0 - w) + amigaTableEntry(k + 1) * w);
    const double period = std::trunc(interpolated * 32.0 / std::ldexp(1.0, m / 12));
    return static_cast<std::int32_t>(std::clamp(period, 0.0, 1000000.0));
}

std::int32_t notePeriod(std::int32_t frequencyMode, int n, int finetune)
{
    return frequencyMode == kFrequencyAmiga ? amigaPeriod(n, finetune) : linearPeriod(n, finetune);
}

static Step splitStep(double s)
{
    if (!(s > 0.0))
        return {};
    s = std::min(s, 2147483647.0);
    const double integer = std::floor(s);
    const auto fraction = static_cast<std::uint32_t>(std::trunc((s - integer) * 65536.0));
    return {static_cast<std::int32_t>(integer), fraction << 16};
}

Step amigaStep(std::int32_t period, std::int32_t rate)
{
    if (period <= 0 || rate <= 0)
        return {};
    return splitStep(14317456.0 / period / rate);
}

void PitchTable::build(std::int32_t rate)
{
    rate_ = rate;
    table_.assign(kPeriodTableSize, Step{});
    if (rate <= 0)
        return;
    for (int p = 9; p < kPeriodTableSize; ++p)
        table_[static_cast<std::size_t>(p)] = splitStep(8363.0 * platform::math::exp2((4608 - p) / 768.0) / rate);
}

const std::array<std::int32_t, kPeriodTableSize>& periodToNote()
{
    static const std::array<std::int32_t, kPeriodTableSize> table = [] {
        std::array<std::int32_t, kPeriodTableSize> t;
        t.fill(-1);
        for (int n = 0; n < 96; ++n)
            t[static_cast<std::size_t>(std::min(amigaPeriod(n, 0), kPeriodTableSize - 1))] = n;
        // Fill each gap from the nearest filled entry above it. Entries above the
        // highest filled one have nothing above them and keep note 0.
        std::int32_t above = 0;
        for (int p = kPeriodTableSize - 1; p >= 1; --p) {
            if (t[static_cast<std::size_t>(p)] < 0)
                t[static_cast<std::size_t>(p)] = above;
            else
                above = t[static_cast<std::size_t>(p)];
        }
        if (t[0] < 0)
            t[0] = above;
        return t;
    }();
    return table;
}

std::int32_t noteOfPeriod(std::int32_t period, int finetune)
{
    std::int32_t n = noteOfPeriod(period);
    if (finetune == 0)
        return n;
    while (n < 95 && amigaPeriod(n + 1, finetune) >= period)
        ++n;
    while (n > 0 && amigaPeriod(n, finetune) < period)
        --n;
    return n;
}

const std::array<std::int8_t, 256>& autoVibratoSine()
{
    static const std::array<std::int8_t, 256> table = [] {
        std::array<std::int8_t, 256> t{};
        for (int q = 0; q < 256; ++q)
            t[static_cast<std::size_t>(q)] =
                static_cast<std::int8_t>(std::lround(-64.0 * platform::math::sin(2.0 * 3.14159265358979323846 * q / 256.0)));
        return t;
    }();
    return table;
}

} // namespace music
