#pragma once
// Float-to-integer conversions of the rasterizers with their rounding written
// out: the processor's rounding mode is never changed, so every routine says
// here whether it rounds up, down or toward zero. Values beyond the 32-bit
// range saturate and NaN becomes 0, so that no conversion is undefined.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace engine3d {

namespace fixed_detail {
// Values that have no 32-bit integer: the nearest end of the range, or 0 for
// NaN.
inline std::int32_t outOfRange(double value)
{
    if (value >= 2147483647.0)
        return INT32_MAX;
    if (value <= -2147483648.0)
        return INT32_MIN;
    return 0;
}
inline bool inRange(double value) { return value > -2147483648.0 && value < 2147483647.0; } // false for NaN
} // namespace fixed_detail

// The smallest integer not below the value. Written with a truncating
// conversion and a compare rather than std::ceil, which is a library call
// on plain x86-64 and is used once or more per row.
inline std::int32_t ceilToInt(double value)
{
    if (!fixed_detail::inRange(value))
        return fixed_detail::outOfRange(value);
    const auto whole = static_cast<std::int32_t>(value); // toward zero
    return whole + (static_cast<double>(whole) < value);
}

// The largest integer not above the value.
inline std::int32_t floorToInt(double value)
{
    if (!fixed_detail::inRange(value))
        return fixed_detail::outOfRange(value);
    const auto whole = static_cast<std::int32_t>(value);
    return whole - (static_cast<double>(whole) > value);
}

// Toward zero.
inline std::int32_t truncToInt(double value)
{
    return fixed_detail::inRange(value) ? static_cast<std::int32_t>(value) : fixed_detail::outOfRange(value);
}

// Row starts of a surface and its depth buffer, `pitch` bytes apart.
template <class T> inline T* rowAt(T* first, int row, int pitch)
{
    using Byte = std::conditional_t<std::is_const_v<T>, const char, char>;
    return reinterpret_cast<T*>(reinterpret_cast<Byte*>(first) + static_cast<std::ptrdiff_t>(row) * pitch);
}

} // namespace engine3d
