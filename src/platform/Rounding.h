#pragma once
// Number rules shared by every drawer and file format:
//  - Round: nearest integer, halves to the even neighbour.
//  - Trunc: drop the fraction towards zero.
//  - integer division truncates towards zero (C++ does this already).
//  - Real48: the 48-bit real of the original data model (40 significant bits), used
//    where a value is documented to pass through that precision.
#include <cmath>
#include <cstdint>

namespace corvane {

// Both saturate far outside the 64-bit range (no undefined conversion on a wild value).
constexpr double kInt64Limit = 9.2e18;

inline int64_t Round(double x)
{
    if (!std::isfinite(x)) return 0;
    if (x >= kInt64Limit) return INT64_MAX;
    if (x <= -kInt64Limit) return INT64_MIN;
    double f = std::floor(x);
    double diff = x - f;
    if (diff > 0.5) return static_cast<int64_t>(f) + 1;
    if (diff < 0.5) return static_cast<int64_t>(f);
    int64_t fi = static_cast<int64_t>(f);
    return (fi % 2 == 0) ? fi : fi + 1;
}

inline int64_t Trunc(double x)
{
    if (!std::isfinite(x)) return 0;
    if (x >= kInt64Limit) return INT64_MAX;
    if (x <= -kInt64Limit) return INT64_MIN;
    return static_cast<int64_t>(std::trunc(x));
}

// 32-bit variants for device coordinates; values outside the int range are clamped so
// that a degenerate extent can never overflow a pixel position.
inline int32_t ClampToInt(int64_t v)
{
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}
inline int32_t RoundI(double x) { return ClampToInt(Round(x)); }
inline int32_t TruncI(double x) { return ClampToInt(Trunc(x)); }

// Rounds a double to the 40 significant bits of a 48-bit real.
inline double Real48(double x)
{
    if (x == 0.0 || !std::isfinite(x)) return x;
    int e = 0;
    double m = std::frexp(x, &e);          // 0.5 <= |m| < 1
    double scaled = std::ldexp(m, 40);     // 40 significant bits
    double r = static_cast<double>(Round(scaled));
    return std::ldexp(r, e - 40);
}

} // namespace corvane
