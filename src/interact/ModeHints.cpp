#include "interact/ModeHints.h"

#include <cstdio>

namespace corvane {

namespace {

std::string Number(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

const char* UnitName(DistanceUnit unit)
{
    switch (unit) {
    case DistanceUnit::Kilometres: return "kilometres";
    case DistanceUnit::StatuteMiles: return "statute miles";
    default: return "nautical miles";
    }
}

// " — legs 12.30 + 4.56 = 16.86 nautical miles, 20.06 to the pointer"
std::string RouteText(const RouteLegs& route)
{
    const std::vector<double>& legs = route.legsNM;
    const std::string unit = UnitName(route.unit);
    double total = 0;
    for (double nm : legs) total += nm;
    std::string text;
    if (!legs.empty()) {
        text = legs.size() == 1 ? " — leg " : " — legs ";
        const size_t first = legs.size() > kHintLegs ? legs.size() - kHintLegs : 0;
        if (first > 0) text += "… + ";
        for (size_t i = first; i < legs.size(); ++i) {
            if (i > first) text += " + ";
            text += Number(DistanceInUnit(legs[i], route.unit));
        }
        if (legs.size() > 1) text += " = " + Number(DistanceInUnit(total, route.unit));
        text += " " + unit;
    }
    if (route.toMouseNM > 0) {
        const double toMouse = DistanceInUnit(total + route.toMouseNM, route.unit);
        text += legs.empty() ? " — " + Number(toMouse) + " " + unit + " to the pointer"
                             : ", " + Number(toMouse) + " to the pointer";
    }
    return text;
}

} // namespace

MapMode CurrentMode(const ModeStages& s)
{
    if (s.whereAmI) return MapMode::WhereAmI;
    if (s.distance != 0) return MapMode::Distance;
    if (s.query != 0) return MapMode::Query;
    if (s.repo != 0) return MapMode::Reposition;
    if (s.zoom != 0) return MapMode::Zoom;
    return MapMode::None;
}

std::string ModeHint(const ModeStages& s, const RouteLegs& route)
{
    switch (CurrentMode(s)) {
    case MapMode::WhereAmI:
        return "Where Am I?: the box shows the view you came from; click the map or press Esc to return";
    case MapMode::Distance:
        if (s.distance == 1) return "Distance: click the first point of the route; right click: stop measuring";
        if (s.distance == 2)
            return "Distance: click the next point, double click the last; right click: take back the last leg" +
                   RouteText(route);
        return "Distance: the route is done — click to go on from its last point; right click: take back the last leg" +
               RouteText(route);
    case MapMode::Query:
        if (s.query == 1) return "Query: click a symbol or area of the overlay; right click: stop querying";
        return "Query: click another symbol or area; right click: clear the answer";
    case MapMode::Reposition:
        if (s.repo == 1) return "Reposition: click the point to move; right click: stop repositioning";
        return "Reposition: click where the point is to go; right click: choose another point";
    case MapMode::Zoom:
        if (s.zoom == 1) return "Zoom in: click the first corner of the box — or drag it; right click: stop zooming";
        return s.zoomDragged ? "Zoom in: release the button at the opposite corner of the box"
                             : "Zoom in: click the opposite corner of the box; right click: take the box back";
    case MapMode::None: break;
    }
    return {};
}

} // namespace corvane
