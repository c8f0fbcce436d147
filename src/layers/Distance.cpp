#include "layers/Distance.h"

#include "layers/Trig.h"

#include <cmath>

namespace corvane {

DistanceStore RouteStore;

namespace {
int16_t ClampToInt16(int v) { return static_cast<int16_t>(v < INT16_MIN ? INT16_MIN : v > INT16_MAX ? INT16_MAX : v); }
}

double Great_Circle_NM(double lat1, double lon1, double lat2, double lon2)
{
    if (lat1 == lat2 && lon1 == lon2) return 0.0;
    double phi1 = DegreesToRadians(lat1), lambda1 = DegreesToRadians(lon1);
    double phi2 = DegreesToRadians(lat2), lambda2 = DegreesToRadians(lon2);
    double sa = std::sin((phi1 - phi2) * 0.5);
    double sc = std::sin((lambda1 - lambda2) * 0.5);
    double a = sa * sa;
    double b = std::cos(phi1) * std::cos(phi2);
    double c = sc * sc;
    return RadiansToDegrees(ArcSin(std::sqrt(a + b * c)) * 2.0) * 60.0;
}

double NM_To_Kilometres(double NM) { return NM * 1.851851852; }

double NM_To_Statute_Miles(double NM) { return NM * 1.150779451; }

bool DistanceStore::Add(int x, int y)
{
    if (Store_Index >= MaxPoints) return false;
    Store_X[Store_Index] = ClampToInt16(x);
    Store_Y[Store_Index] = ClampToInt16(y);
    ++Store_Index;
    return true;
}

void DistanceStore::RemoveLast()
{
    if (Store_Index > 0) --Store_Index;
}

void DistanceStore::Clear()
{
    Store_Index = 0;
    Running_Total = 0.0;
}

} // namespace corvane
