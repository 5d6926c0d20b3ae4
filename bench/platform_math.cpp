// The portable transcendental functions against the C library's, over the
// arguments the effects give them (angles of a few turns, and large ones).
#include "platform/portable_math.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

std::vector<double> arguments(double scale)
{
    std::vector<double> x(1024);
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = scale * (static_cast<double>(i) / x.size() - 0.5) + 0.001 * i;
    return x;
}

template <double (*F)(double)>
void oneArgument(benchmark::State& state)
{
    const std::vector<double> x = arguments(static_cast<double>(state.range(0)));
    for (auto _ : state)
        for (double v : x)
            benchmark::DoNotOptimize(F(v));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(x.size()));
}

double librarySin(double x) { return std::sin(x); }
double libraryCos(double x) { return std::cos(x); }
double libraryExp2(double x) { return std::exp2(x); }

void portableAtan2(benchmark::State& state)
{
    const std::vector<double> x = arguments(200), y = arguments(-150);
    for (auto _ : state)
        for (std::size_t i = 0; i < x.size(); ++i)
            benchmark::DoNotOptimize(platform::math::atan2(y[i], x[i]));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(x.size()));
}

} // namespace

BENCHMARK(oneArgument<librarySin>)->Name("library_sin")->Arg(20)->Arg(4000);
BENCHMARK(oneArgument<platform::math::sin>)->Name("portable_sin")->Arg(20)->Arg(4000);
BENCHMARK(oneArgument<libraryCos>)->Name("library_cos")->Arg(20);
BENCHMARK(oneArgument<platform::math::cos>)->Name("portable_cos")->Arg(20);
BENCHMARK(oneArgument<libraryExp2>)->Name("library_exp2")->Arg(20);
BENCHMARK(oneArgument<platform::math::exp2>)->Name("portable_exp2")->Arg(20);
BENCHMARK(portableAtan2)->Name("portable_atan2");
