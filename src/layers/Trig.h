#pragma once
// Angle conversions and the arcsine of the distance formula. The factors are the program's
// own decimal constants (not the full-precision values of pi/180 and 180/pi), and results
// pass through the 48-bit real precision, so distances agree with the figures users know.
namespace corvane {

double DegreesToRadians(double Degrees);   // Degrees x 0.01745329252
double RadiansToDegrees(double Radians);   // Radians x 57.295779513
// Arcsine in radians for 0 <= InValue <= 1; arguments a rounding step beyond 1 count as 1.
double ArcSin(double InValue);

} // namespace corvane
