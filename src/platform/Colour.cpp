#include "platform/Colour.h"

#include <cmath>

namespace corvane {

namespace {

double Linear(double channel)
{
    const double v = channel / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double Luminance(double r, double g, double b) { return 0.2126 * Linear(r) + 0.7152 * Linear(g) + 0.0722 * Linear(b); }

double Luminance(Colour c) { return Luminance(RedOf(c), GreenOf(c), BlueOf(c)); }

Colour Scaled(Colour c, double f)
{
    auto channel = [f](uint8_t v) { return static_cast<uint8_t>(std::floor(v * f)); };
    return RGB(channel(RedOf(c)), channel(GreenOf(c)), channel(BlueOf(c)));
}

} // namespace

double ContrastRatio(Colour a, Colour b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Colour ReadableOnWhite(Colour c, double minContrast)
{
    if (ContrastRatio(c, clWhite) >= minContrast) return c;
    // The lightest scale of the colour that reads: bisection on the scale (darker is more).
    double lo = 0.0, hi = 1.0;
    for (int i = 0; i < 24; ++i) {
        const double mid = (lo + hi) / 2;
        if (ContrastRatio(Scaled(c, mid), clWhite) >= minContrast) lo = mid;
        else hi = mid;
    }
    return Scaled(c, lo);
}

} // namespace corvane
