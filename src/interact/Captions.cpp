#include "interact/Captions.h"

#include "layers/Distance.h"
#include "platform/Rounding.h"

#include <cmath>
#include <cstdio>

namespace corvane {

namespace {

const char kDegree = '\xB0';

// Two characters, a leading blank turned into "0".
std::string TwoDigits(int64_t v)
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "%2lld", static_cast<long long>(v));
    std::string s = buf;
    if (!s.empty() && s[0] == ' ') s[0] = '0';
    return s;
}

double Frac(double v) { return v - std::trunc(v); }

} // namespace

std::string ReadOutCoordinate(double v, char letter, bool decimal, bool fine)
{
    v = std::fabs(v);
    char buf[64];
    std::string text;
    if (decimal) {
        std::snprintf(buf, sizeof buf, fine ? "%7.4f" : "%5.2f", v);
        text = std::string(buf) + kDegree;
    } else {
        std::snprintf(buf, sizeof buf, "%2lld", static_cast<long long>(Trunc(v)));
        const double minutes = Frac(v) * 60;
        text = std::string(buf) + kDegree + TwoDigits(Trunc(minutes)) + "'" + TwoDigits(Trunc(Frac(minutes) * 60)) + "\"";
    }
    text += letter;
    return text.substr(0, 13);
}

std::string LatLonCaption(double lat, double lon, bool decimal, bool fine)
{
    return ReadOutCoordinate(lat, lat < 0 ? 'S' : 'N', decimal, fine) + "  " +
           ReadOutCoordinate(lon, lon < 0 ? 'W' : 'E', decimal, fine);
}

double DistanceInUnit(double nm, DistanceUnit unit)
{
    switch (unit) {
    case DistanceUnit::Kilometres: return NM_To_Kilometres(nm);
    case DistanceUnit::StatuteMiles: return NM_To_Statute_Miles(nm);
    default: return nm;
    }
}

std::string DistanceField(double value)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%5.2f", value);
    return std::string(buf).substr(0, 5);
}

std::string DistanceCaption(double legNM, double totalNM, DistanceUnit unit)
{
    const char* name = unit == DistanceUnit::Kilometres     ? " kilometres out of "
                       : unit == DistanceUnit::StatuteMiles ? " statute miles out of "
                                                            : " nautical miles out of ";
    return "This leg is " + DistanceField(DistanceInUnit(legNM, unit)) + name +
           DistanceField(DistanceInUnit(totalNM, unit));
}

} // namespace corvane
