#pragma once
// Sine and cosine built from additions and multiplications only, so that the
// generated files do not depend on the C library's transcendental functions
// (whose last bits differ between versions). sqrt is exact in IEEE 754 and
// is used from the standard library.
#include <cmath>

namespace assets::dmath {

inline constexpr double pi = 3.14159265358979323846;

// sin(x) for any finite x: reduce to [-pi, pi], fold into [-pi/2, pi/2] and
// sum the Taylor series to x^21 (error below 1e-15 on that interval).
inline double sin(double x)
{
    const double twoPi = 2.0 * pi;
    x -= twoPi * std::floor(x / twoPi + 0.5);
    if (x > pi / 2)
        x = pi - x;
    else if (x < -pi / 2)
        x = -pi - x;
    const double x2 = x * x;
    double term = x;
    double sum = x;
    for (int n = 1; n <= 10; ++n) {
        term *= -x2 / double((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

inline double cos(double x) { return sin(x + pi / 2); }

inline double clamp01(double v) { return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v); }

// Hermite smooth step of v between edges a and b.
inline double smoothstep(double a, double b, double v)
{
    const double t = clamp01((v - a) / (b - a));
    return t * t * (3.0 - 2.0 * t);
}

inline double mix(double a, double b, double t) { return a + (b - a) * t; }

} // namespace assets::dmath
