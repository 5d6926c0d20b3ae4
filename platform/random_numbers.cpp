// An additive lagged-Fibonacci generator, r[i] = r[i-3] + r[i-31] modulo
// 2^32, whose 34 first words come from the seed by the "minimal standard"
// multiplicative generator; the first 310 outputs are skipped and each
// number is a word shifted right by one. This is the generator behind the
// GNU C library's rand(), so Linux runs keep the sequences they always had.
#include "platform/random_numbers.h"

#include <array>
#include <cstdint>

namespace platform {

namespace {

struct State {
    std::array<std::uint32_t, 34> ring{};
    int next = 0; // the position of r[i - 34] in the ring
};

State& state()
{
    static State s;
    return s;
}

std::uint32_t step(State& s)
{
    // r[i] = r[i-31] + r[i-3]; the ring holds r[i-34] .. r[i-1].
    const std::uint32_t value = s.ring[(s.next + 3) % 34] + s.ring[(s.next + 31) % 34];
    s.ring[s.next] = value;
    s.next = (s.next + 1) % 34;
    return value;
}

void seed(State& s, unsigned seedValue)
{
    std::int32_t r[34];
    r[0] = static_cast<std::int32_t>(seedValue == 0 ? 1 : seedValue);
    for (int i = 1; i < 31; ++i) {
        // 16807 r mod (2^31 - 1) by Schrage's method, without overflow.
        const std::int32_t hi = r[i - 1] / 127773, lo = r[i - 1] % 127773;
        std::int32_t word = 16807 * lo - 2836 * hi;
        if (word < 0)
            word += 2147483647;
        r[i] = word;
    }
    for (int i = 31; i < 34; ++i)
        r[i] = r[i - 31];
    for (int i = 0; i < 34; ++i)
        s.ring[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(r[i]);
    s.next = 0;
    for (int i = 34; i < 344; ++i)
        step(s);
}

bool& seeded()
{
    static bool done = false;
    return done;
}

} // namespace

void seedRandom(unsigned seedValue)
{
    seed(state(), seedValue);
    seeded() = true;
}

int nextRandom()
{
    if (!seeded())
        seedRandom(1);
    return static_cast<int>(step(state()) >> 1);
}

} // namespace platform
