#pragma once
// The four transforms between picture positions and degrees that clicks, the cursor
// read-out, where-am-I and symbol flashing use. The map is a plain equirectangular picture of
// the current extents: column 0 is the minimum longitude, row 0 the maximum latitude and row
// Hp the minimum latitude. Rounding is to the nearest integer with halves to even.
//
// minLat, minLon: the current extents' minimum; latRange, lonRange: maximum - minimum;
// Wp, Hp: the picture's width and height in pixels.
#include "platform/Rounding.h"

#include <cstdint>

namespace corvane {

// minLat + (Hp - Y) x latRange / Hp
inline double ScreenToLat(int32_t Y, double minLat, double latRange, int32_t Hp)
{
    return minLat + (static_cast<double>(Hp) - Y) * latRange / Hp;
}

// minLon + X x lonRange / Wp
inline double ScreenToLon(int32_t X, double minLon, double lonRange, int32_t Wp)
{
    return minLon + static_cast<double>(X) * lonRange / Wp;
}

// Hp - Round((Y - minLat) x Hp / latRange)
inline int32_t LatToScreen(double Y, double minLat, double latRange, int32_t Hp)
{
    return ClampToInt(int64_t{Hp} - RoundI((Y - minLat) * Hp / latRange));
}

// Round((X - minLon) x Wp / lonRange)
inline int32_t LonToScreen(double X, double minLon, double lonRange, int32_t Wp)
{
    return RoundI((X - minLon) * Wp / lonRange);
}

} // namespace corvane
