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
inline std::int32_t saturate(double whole)
{
    if (!(whole == whole))
        return 0;
    if (whole >= 2147483647.0)
        return INT32_MAX;
    if (whole <= -2147483648.0)
        return INT32_MIN;
    return static_cast<std::int32_t>(whole);
}
} // namespace fixed_detail

// The smallest integer not below the value.
inline std::int32_t ceilToInt(double value) { return fixed_detail::saturate(std::ceil(value)); }
// The largest integer not above the value.
inline std::int32_t floorToInt(double value) { return fixed_detail::saturate(std::floor(value)); }
// Toward zero.
inline std::int32_t truncToInt(double value) { return fixed_detail::saturate(std::trunc(value)); }

// Row starts of a surface and its depth buffer, `pitch` bytes apart.
template <class T> inline T* rowAt(T* first, int row, int pitch)
{
    using Byte = std::conditional_t<std::is_const_v<T>, const char, char>;
    return reinterpret_cast<T*>(reinterpret_cast<Byte*>(first) + static_cast<std::ptrdiff_t>(row) * pitch);
}

} // namespace engine3d
