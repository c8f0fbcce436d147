#include "layers/Trig.h"

#include "platform/Rounding.h"

#include <cmath>

namespace corvane {

namespace {
constexpr double kHalfPi = 1.5707963267948966;
}

double DegreesToRadians(double Degrees) { return Real48(Real48(Degrees) * 0.01745329252); }

double RadiansToDegrees(double Radians) { return Real48(Real48(Radians) * 57.295779513); }

double ArcSin(double InValue)
{
    double x = Real48(InValue);
    // Nearly antipodal points can round the argument a little past 1.
    if (x >= 1.0) return Real48(kHalfPi);
    if (x <= -1.0) return Real48(-kHalfPi);
    return Real48(std::atan(x / std::sqrt(1.0 - x * x)));
}

} // namespace corvane
