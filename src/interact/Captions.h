#pragma once
// Texts the map window shows while the mouse moves: the cursor position read-out and the
// caption of a distance measurement. Texts are single-byte (Windows-1252: the degree sign is
// byte 0xB0), as everywhere in the core.
#include <string>

namespace corvane {

// One coordinate of the read-out: the absolute value of v followed by its hemisphere letter,
// at most 13 characters.
//  - decimal: 4 decimals in 7 characters when the map spans less than 2 degrees on either axis
//    (fine), else 2 decimals in 5 characters; then the degree sign;
//  - degrees-minutes-seconds: degrees in 2 characters, then minutes and seconds (truncated)
//    in 2 characters each with a leading zero, as in 50°05'07".
std::string ReadOutCoordinate(double v, char letter, bool decimal, bool fine);
// The read-out of a position: latitude ("N" or "S"), two blanks, longitude ("E" or "W").
// fine: the map's latitude or longitude range is below 2 degrees.
std::string LatLonCaption(double lat, double lon, bool decimal, bool fine);

// The unit a distance is shown in (the checked item of "&Distance").
enum class DistanceUnit { NauticalMiles, Kilometres, StatuteMiles };
// Nautical miles in the unit.
double DistanceInUnit(double nm, DistanceUnit unit);
// A distance as the caption shows it: 2 decimals in a field of 5, cut to its first 5
// characters (7.5 gives " 7.50", 123.45 gives "123.4").
std::string DistanceField(double value);
// "This leg is " + leg + " nautical miles out of " + total (or " kilometres out of ",
// " statute miles out of "), both given in nautical miles.
std::string DistanceCaption(double legNM, double totalNM, DistanceUnit unit);

} // namespace corvane
