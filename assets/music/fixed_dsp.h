#pragma once
// Integer building blocks for the instrument synthesis. Everything here is
// integer arithmetic, so the generated samples are the same bytes on every
// compiler, processor and math library.
#include <cstdint>
#include <vector>

namespace assets::music {

// One full turn of phase is 2^32. Sine of the phase in Q15 (-32767..32767),
// from a 4096-entry table with linear interpolation between entries.
std::int32_t sineQ15(std::uint32_t phase);

// The table entry itself (0..4096, entry 4096 repeats entry 0), for tests.
std::int32_t sineTableEntry(int index);

// Phase step per frame for a frequency given in millihertz at a frame rate.
inline std::uint32_t phaseStep(std::int64_t milliHertz, std::int64_t frameRate)
{
    return static_cast<std::uint32_t>((milliHertz << 32) / (1000 * frameRate));
}

// xorshift32 noise with a fixed seed per use.
class NoiseSource {
public:
    explicit NoiseSource(std::uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
    std::uint32_t nextWord()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    // -32768..32767
    std::int32_t next() { return static_cast<std::int32_t>(nextWord() >> 16) - 32768; }

private:
    std::uint32_t state_;
};

// Exponential decay toward 0: level(n+1) = level(n) x (N - 1) / N, level in
// Q30 starting at 1.0, so the level falls to about 1/e after N frames.
class Decay {
public:
    explicit Decay(std::int64_t frames) : n_(frames < 2 ? 2 : frames) {}
    std::int64_t level() const { return level_; }
    void step() { level_ = level_ * (n_ - 1) / n_; }
    std::int32_t apply(std::int32_t v) const { return static_cast<std::int32_t>((v * level_) >> 30); }

private:
    std::int64_t n_;
    std::int64_t level_ = std::int64_t{1} << 30;
};

// Chamberlin state-variable filter in Q16. Coefficient f = 2 pi fc / rate
// (fine below about a sixth of the rate), damping q = 1 / resonance.
class StateVariableFilter {
public:
    void setCutoff(std::int64_t hertz, std::int64_t frameRate) { f_ = 411775 * hertz / frameRate; }
    void setDamping(std::int64_t q16) { q_ = q16; }
    void process(std::int32_t in)
    {
        low_ += (f_ * band_) >> 16;
        high_ = in - low_ - ((q_ * band_) >> 16);
        band_ += (f_ * high_) >> 16;
    }
    std::int32_t low() const { return static_cast<std::int32_t>(low_); }
    std::int32_t band() const { return static_cast<std::int32_t>(band_); }
    std::int32_t high() const { return static_cast<std::int32_t>(high_); }

private:
    std::int64_t f_ = 0, q_ = 65536;
    std::int64_t low_ = 0, band_ = 0, high_ = 0;
};

// Scales a signal so that its largest magnitude becomes `peak` (truncating).
std::vector<std::int16_t> normalise(const std::vector<std::int32_t>& signal, std::int32_t peak);

// 16-bit values to 8-bit ones, rounded to nearest and clamped to -128..127.
std::vector<std::int16_t> toEightBit(const std::vector<std::int16_t>& frames);

} // namespace assets::music
