// Double-double arithmetic: a value is hi + lo with |lo| <= half an ulp of hi.
// Products are split by Dekker's method rather than fused multiply-adds, so
// the code needs only correctly rounded + - * /, which every IEEE platform
// has (the build turns off floating-point contraction).
#include "platform/portable_math.h"

#include <cmath>
#include <limits>

namespace platform::math {

namespace {

struct DD {
    double hi = 0, lo = 0;
};

DD twoSum(double a, double b)
{
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

DD quickTwoSum(double a, double b) // |a| >= |b|
{
    const double s = a + b;
    return {s, b - (s - a)};
}

void split(double a, double& hi, double& lo)
{
    const double t = 134217729.0 * a; // 2^27 + 1
    hi = t - (t - a);
    lo = a - hi;
}

DD twoProd(double a, double b)
{
    const double p = a * b;
    double ah, al, bh, bl;
    split(a, ah, al);
    split(b, bh, bl);
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

DD add(DD a, DD b)
{
    DD s = twoSum(a.hi, b.hi);
    const DD t = twoSum(a.lo, b.lo);
    s.lo += t.hi;
    s = quickTwoSum(s.hi, s.lo);
    s.lo += t.lo;
    return quickTwoSum(s.hi, s.lo);
}

DD neg(DD a) { return {-a.hi, -a.lo}; }

DD mul(DD a, DD b)
{
    DD p = twoProd(a.hi, b.hi);
    p.lo += a.hi * b.lo + a.lo * b.hi;
    return quickTwoSum(p.hi, p.lo);
}

DD mul(DD a, double b)
{
    DD p = twoProd(a.hi, b);
    p.lo += a.lo * b;
    return quickTwoSum(p.hi, p.lo);
}

DD div(DD a, DD b)
{
    const double q1 = a.hi / b.hi;
    DD r = add(a, neg(mul(b, q1)));
    const double q2 = r.hi / b.hi;
    r = add(r, neg(mul(b, q2)));
    const double q3 = r.hi / b.hi;
    return add(quickTwoSum(q1, q2), DD{q3, 0});
}

// The double nearest to hi + lo.
double rounded(DD a) { return a.hi + a.lo; }

// pi/2 in four pieces; each of the first three has 33 significant bits, so
// that k times it is exact for |k| < 2^20.
constexpr double pio2_1 = 1.57079632673412561417e+00;
constexpr double pio2_2 = 6.07710050630396597660e-11;
constexpr double pio2_3 = 2.02226624871116645580e-21;
constexpr double pio2_3t = 8.47842766036889956997e-32;
constexpr double twoOverPi = 6.36619772367581382433e-01;

// x - k pi/2 for the k nearest to x / (pi/2): the quarter turn k mod 4 and
// the remainder in [-pi/4, pi/4] (a little beyond for rounding).
DD reduce(double x, int& quarter)
{
    const double k = std::floor(x * twoOverPi + 0.5);
    DD r = twoSum(x, -(k * pio2_1));
    r = add(r, DD{-(k * pio2_2), 0});
    r = add(r, DD{-(k * pio2_3), 0});
    r = add(r, neg(twoProd(k, pio2_3t)));
    const double m = std::fmod(k, 4.0);
    quarter = static_cast<int>(m < 0 ? m + 4 : m);
    return r;
}

// The Taylor series of sin (odd) or cos (even) at a reduced argument,
// summed until the terms no longer reach the last bit of the low part.
DD series(DD r, bool odd)
{
    const DD r2 = mul(r, r);
    DD term = odd ? r : DD{1, 0};
    DD sum = term;
    for (int n = odd ? 1 : 0; n < 60; n += 2) {
        term = mul(term, r2);
        term = div(term, DD{static_cast<double>((n + 1) * (n + 2)), 0});
        term = neg(term);
        if (std::fabs(term.hi) < std::fabs(sum.hi) * 0x1p-110)
            break;
        sum = add(sum, term);
    }
    return sum;
}

// sin and cos of x in double-double.
void sinCos(double x, DD& s, DD& c)
{
    int quarter = 0;
    const DD r = reduce(x, quarter);
    const DD sr = series(r, true), cr = series(r, false);
    switch (quarter) {
    case 0: s = sr; c = cr; break;
    case 1: s = cr; c = neg(sr); break;
    case 2: s = neg(sr); c = neg(cr); break;
    default: s = neg(cr); c = sr; break;
    }
}

// Past 2^20 the reduction's k times pi/2 pieces are no longer exact: reduce
// by whole turns of 2 pi in double-double first (still the same on every
// platform, a few ulp from the exact value).
double reducedLarge(double x)
{
    const DD twoPi = add(DD{2 * pio2_1, 0}, add(DD{2 * pio2_2, 0}, DD{2 * pio2_3, 2 * pio2_3t}));
    const double turns = std::floor(x / twoPi.hi);
    return rounded(add(DD{x, 0}, neg(mul(twoPi, turns))));
}

bool large(double x) { return !(std::fabs(x) < 0x1p20); }

} // namespace

double sin(double x)
{
    if (!std::isfinite(x))
        return std::numeric_limits<double>::quiet_NaN();
    if (x == 0)
        return x; // keeps the sign of zero
    if (large(x))
        x = reducedLarge(x);
    DD s, c;
    sinCos(x, s, c);
    return rounded(s);
}

double cos(double x)
{
    if (!std::isfinite(x))
        return std::numeric_limits<double>::quiet_NaN();
    if (large(x))
        x = reducedLarge(x);
    DD s, c;
    sinCos(x, s, c);
    return rounded(c);
}

double atan2(double y, double x)
{
    // The library's angle, within a few ulp on any platform, refined by one
    // Newton step on y cos t - x sin t = 0 in double-double: the error left
    // is about the square of the first one, far below the last bit, so the
    // rounded result no longer depends on the library.
    const double t0 = std::atan2(y, x);
    if (!std::isfinite(t0) || (y == 0 && x == 0) || std::isinf(y) || std::isinf(x))
        return t0;
    // Both scaled by the same power of two (exactly), so that no product
    // over- or underflows.
    const int e = std::ilogb(std::fmax(std::fabs(x), std::fabs(y)));
    const double xn = std::ldexp(x, -e), yn = std::ldexp(y, -e);
    DD s, c;
    sinCos(t0, s, c);
    const DD num = add(mul(c, yn), neg(mul(s, xn)));
    const DD den = add(mul(c, xn), mul(s, yn));
    if (den.hi == 0)
        return t0;
    return rounded(add(DD{t0, 0}, div(num, den)));
}

double acos(double z)
{
    if (!(z >= -1 && z <= 1))
        return std::numeric_limits<double>::quiet_NaN();
    if (z == 1)
        return 0;
    // Through atan2, whose result is exact to the last bit: acos z is the
    // angle of (z, sqrt(1 - z^2)), and 1 - z^2 = (1 - z)(1 + z) in double-
    // double keeps its bits near z = +-1.
    const DD oneMinus = twoSum(1, -z), onePlus = twoSum(1, z);
    const DD q = mul(oneMinus, onePlus);
    // sqrt of a double-double: the double root refined by one Newton step.
    const double r0 = std::sqrt(q.hi); // IEEE square root: the same everywhere
    const DD root = r0 == 0 ? DD{0, 0} : add(DD{r0, 0}, div(add(q, neg(twoProd(r0, r0))), DD{2 * r0, 0}));
    // atan2(root, z) in double-double: the angle whose tangent is root / z.
    const double t0 = std::atan2(rounded(root), z);
    DD s, c;
    sinCos(t0, s, c);
    const DD num = add(mul(c, root), neg(mul(s, z)));
    const DD den = add(mul(c, z), mul(s, root));
    if (den.hi == 0)
        return t0;
    return rounded(add(DD{t0, 0}, div(num, den)));
}

double exp2(double x)
{
    if (std::isnan(x))
        return x;
    if (x > 1024)
        return std::numeric_limits<double>::infinity();
    if (x < -1100)
        return 0;
    const double n = std::floor(x);
    const double f = x - n; // exact, in [0, 1)
    // 2^f = e^(f ln 2), with ln 2 in double-double, by its Taylor series.
    const DD ln2{6.93147180559945286227e-01, 2.31904681384629955842e-17};
    const DD a = mul(ln2, f);
    DD term{1, 0}, sum{1, 0};
    for (int k = 1; k < 60; ++k) {
        term = div(mul(term, a), DD{static_cast<double>(k), 0});
        if (std::fabs(term.hi) < 0x1p-110)
            break;
        sum = add(sum, term);
    }
    return std::ldexp(rounded(sum), static_cast<int>(n));
}

} // namespace platform::math
