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
    // k = floor(x 2/pi + 1/2), in integers where they hold it (quicker than
    // the library's floor and fmod, and exact); the pre-reduction of larger
    // arguments may leave some beyond 2^52.
    const double t = x * twoOverPi + 0.5;
    double k;
    if (std::fabs(t) < 0x1p52) {
        long long n = static_cast<long long>(t);
        if (static_cast<double>(n) > t)
            --n;
        k = static_cast<double>(n);
        quarter = static_cast<int>(n & 3); // k mod 4, also for negative k
    } else {
        k = std::floor(t);
        const double m = std::fmod(k, 4.0);
        quarter = static_cast<int>(m < 0 ? m + 4 : m);
    }
    DD r = twoSum(x, -(k * pio2_1));
    r = add(r, DD{-(k * pio2_2), 0});
    r = add(r, DD{-(k * pio2_3), 0});
    r = add(r, neg(twoProd(k, pio2_3t)));
    return r;
}

// 1/k! in double-double for k < 32, made once by exact steps of + - * /
// (so the same bits everywhere).
constexpr int factorials = 32;

const DD* inverseFactorials()
{
    static const struct Table {
        DD v[factorials];
        Table()
        {
            v[0] = {1, 0};
            for (int k = 1; k < factorials; ++k)
                v[k] = div(v[k - 1], DD{static_cast<double>(k), 0});
        }
    } table;
    return table.v;
}

// The power series sum of w^n / (first + step n)! for n < terms, by Horner's
// rule: the terms from `inDoubles` on, which stay below 2^-53 of the sum,
// in plain doubles (their rounding is far below the double-double's last
// bit), the rest in double-double.
DD powerSeries(DD w, int first, int step, int terms, int inDoubles)
{
    const DD* c = inverseFactorials();
    double tail = 0;
    for (int n = terms - 1; n >= inDoubles; --n)
        tail = c[first + step * n].hi + w.hi * tail;
    DD sum{tail, 0};
    for (int n = inDoubles - 1; n >= 0; --n)
        sum = add(c[first + step * n], mul(w, sum));
    return sum;
}

// sin r = r (1 - r^2/3! + r^4/5! - ...) and cos r = 1 - r^2/2! + r^4/4! - ...
// at a reduced argument (|r| a little over pi/4): with sixteen terms the
// first left out is below 2^-112 of the sum; from the tenth on the terms are
// below 2^-58.
DD series(DD r, bool odd)
{
    const DD w = neg(mul(r, r));
    return odd ? mul(r, powerSeries(w, 1, 2, 16, 9)) : powerSeries(w, 0, 2, 16, 9);
}

// The quick way for sin and cos of a reduced argument r, used when it can
// tell the nearest double: sin and cos of j/64 from a table (made once by the
// series above), and the small rest d = r - j/64 (|d| <= 1/128) through the
// angle-sum formulas, where four terms of d's own series suffice. The error
// stays below 2^-63 of the result; the table's products and the large sums
// are carried exactly.
constexpr int tableSteps = 64;
constexpr int tableSize = 51; // j/64 up to pi/4 and the reduction's overshoot

struct AngleTable {
    DD sin[tableSize], cos[tableSize];
};

const AngleTable& angleTable()
{
    static const AngleTable table = [] {
        AngleTable t;
        for (int j = 0; j < tableSize; ++j) {
            const DD a{static_cast<double>(j) / tableSteps, 0};
            t.sin[j] = series(a, true);
            t.cos[j] = series(a, false);
        }
        return t;
    }();
    return table;
}

// What the quick way answers when it cannot round: the series decides.
constexpr double quickErrorBound = 0x1p-61; // of the result, with room to spare

// True, with `out` the nearest double to hi + lo + e for every |e| <= bound,
// when all those values round to the same double.
bool roundsAlike(DD v, double bound, double& out)
{
    const double up = v.hi + (v.lo + bound), down = v.hi + (v.lo - bound);
    if (up != down)
        return false;
    out = up;
    return true;
}

bool quickSinOrCos(DD r, bool wantSine, double& out)
{
    double x = r.hi, xl = r.lo;
    const bool negative = x < 0;
    if (negative) {
        x = -x;
        xl = -xl;
    }
    if (!(x < (tableSize - 0.5) / tableSteps))
        return false;
    const int j = static_cast<int>(x * tableSteps + 0.5);
    const double d = x - static_cast<double>(j) / tableSteps; // exact: x lies within a factor 2 of j/64
    const AngleTable& table = angleTable();
    const DD S = table.sin[j], C = table.cos[j];
    const double d2 = d * d;
    const double sinRest = d * d2 * (-1.0 / 6 + d2 * (1.0 / 120 - d2 * (1.0 / 5040))); // sin d - d
    const double cosRest = d2 * (-0.5 + d2 * (1.0 / 24 - d2 * (1.0 / 720)));          // cos d - 1
    DD sum;
    if (wantSine) {
        // sin(a + d + xl) = S + C d + S (cos d - 1) + C (sin d - d) + xl (C - S d)
        const DD p = twoProd(C.hi, d);
        const DD s = twoSum(S.hi, p.hi);
        const double low = s.lo + S.lo + p.lo + C.lo * d + xl * (C.hi - S.hi * d) + (S.hi * cosRest + C.hi * sinRest);
        sum = quickTwoSum(s.hi, low);
        if (negative)
            sum = neg(sum);
    } else {
        // cos(a + d + xl) = C - S d + C (cos d - 1) - S (sin d - d) - xl (S + C d)
        const DD p = twoProd(-S.hi, d);
        const DD s = twoSum(C.hi, p.hi);
        const double low = s.lo + C.lo + p.lo - S.lo * d - xl * (S.hi + C.hi * d) + (C.hi * cosRest - S.hi * sinRest);
        sum = quickTwoSum(s.hi, low);
    }
    return roundsAlike(sum, std::fabs(sum.hi) * quickErrorBound, out);
}

// The nearest double to sin x (wantSine) or cos x, x finite and below 2^20.
double roundedSinOrCos(double x, bool wantSine)
{
    int quarter = 0;
    const DD r = reduce(x, quarter);
    if (!wantSine)
        quarter = (quarter + 1) % 4; // cos x = sin(x + pi/2)
    const bool odd = quarter % 2 == 0;
    double quick;
    if (quickSinOrCos(r, odd, quick))
        return quarter >= 2 ? -quick : quick;
    const DD exact = series(r, odd);
    return rounded(quarter >= 2 ? neg(exact) : exact);
}

// sin and cos of x in double-double, from one reduction: the quarter turn
// picks the series and their signs.
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

// A finite x of any size brought to where reduce() works. Up to 2^60 by
// whole turns of 2 pi in double-double; beyond, where that product would
// overflow or lose every bit, by the exact remainder modulo a double next
// to 2 pi (meaningless as an angle, but the same everywhere and inside
// one turn).
double reducedBelowLarge(double x)
{
    if (!large(x))
        return x;
    if (std::fabs(x) < 0x1p60)
        return reducedLarge(x);
    return std::fmod(x, 2 * pio2_1 + 2 * pio2_2);
}

// An angle t0 within a few ulp of the angle of (x, y), refined by one Newton
// step on y cos t - x sin t = 0 in double-double: the error left is about the
// square of the first one, far below the last bit, so the rounded result no
// longer depends on where t0 came from.
double refinedAngle(double t0, DD y, DD x)
{
    DD s, c;
    sinCos(t0, s, c);
    const DD num = add(mul(c, y), neg(mul(s, x)));
    const DD den = add(mul(c, x), mul(s, y));
    if (den.hi == 0)
        return t0;
    return rounded(add(DD{t0, 0}, div(num, den)));
}

} // namespace

double sin(double x)
{
    if (!std::isfinite(x))
        return std::numeric_limits<double>::quiet_NaN();
    if (x == 0)
        return x; // keeps the sign of zero
    x = reducedBelowLarge(x);
    return roundedSinOrCos(x, true);
}

double cos(double x)
{
    if (!std::isfinite(x))
        return std::numeric_limits<double>::quiet_NaN();
    x = reducedBelowLarge(x);
    return roundedSinOrCos(x, false);
}

double atan2(double y, double x)
{
    // The library's angle, within a few ulp on any platform, refined until
    // its rounding no longer depends on the library.
    const double t0 = std::atan2(y, x);
    if (!std::isfinite(t0) || (y == 0 && x == 0) || std::isinf(y) || std::isinf(x))
        return t0;
    // Both scaled by the same power of two (exactly), so that no product
    // over- or underflows.
    const int e = std::ilogb(std::fmax(std::fabs(x), std::fabs(y)));
    const double xn = std::ldexp(x, -e), yn = std::ldexp(y, -e);
    return refinedAngle(t0, DD{yn, 0}, DD{xn, 0});
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
    return refinedAngle(t0, root, DD{z, 0});
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
    // 2^f = e^(f ln 2), with ln 2 in double-double, by its Taylor series
    // (f ln 2 < 0.7: with 30 terms the first left out is below 2^-118 of the
    // sum; from the eighteenth on the terms are below 2^-56).
    const DD ln2{6.93147180559945286227e-01, 2.31904681384629955842e-17};
    const DD sum = powerSeries(mul(ln2, f), 0, 1, 30, 17);
    return std::ldexp(rounded(sum), static_cast<int>(n));
}

} // namespace platform::math
