#pragma once
// The few transcendental functions that pictures and sound depend on,
// computed by our own code so that every platform gets the same bits. C
// libraries differ in the last bit on some inputs (one system's cos is off by
// up to about a thousand units in the last place near its zeros), and a
// differing bit can move a pixel or a sample.
//
// Each result is the double nearest to the exact value, apart from inputs
// whose exact value lies within about 2^-100 of the midpoint between two
// doubles: the work is done in double-double arithmetic (about 106 bits)
// with plain IEEE additions and multiplications, which round the same
// everywhere. Arguments of sin and cos are reduced exactly for magnitudes up
// to 2^20 (about a million); beyond that the accuracy falls as the argument
// grows (about 2^-34 absolute at 10^22, nothing beyond 2^60), but the bits
// are still the same on every platform, and any finite argument gives a
// value in [-1, 1].
namespace platform::math {

double sin(double x);
double cos(double x);
// The angle of (x, y) in [-pi, pi], as std::atan2.
double atan2(double y, double x);
// acos of z in [-1, 1]; NaN outside.
double acos(double z);
// 2 to the power x.
double exp2(double x);

} // namespace platform::math
