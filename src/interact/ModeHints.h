#pragma once
// The status line under the map: what the next click does in the interaction going on and
// what the right button does, and while a route is measured its legs and total. Texts are
// UTF-8 (they go to the status line only).
#include "interact/Captions.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

// Which stage each interaction is in, as the map window's states number them (0 off).
struct ModeStages {
    uint8_t zoom = 0;       // NoZoom, StartZoom, EndZoom
    bool zoomDragged = false;   // the box is being pulled open with the button held
    uint8_t repo = 0;       // NoRepo, StartRepo, EndRepo
    uint8_t query = 0;      // NoQuery, StartQuery, EndQuery
    uint8_t distance = 0;   // NoDistance, StartDistance, EndDistance, StopDistance
    bool whereAmI = false;
};

// A measured route: its legs (nautical miles, oldest first), and the leg from its last point
// to the mouse while the rubber line follows it (0 when there is none).
struct RouteLegs {
    std::vector<double> legsNM;
    double toMouseNM = 0;
    DistanceUnit unit = DistanceUnit::NauticalMiles;
};

// The interaction a click on the map now serves, as the status line and F1 name it. Only one
// is on at a time when started from the menus (each command ends the others first); should
// more be on, where-am-I comes first, then the distance tool, the query, reposition and zoom.
enum class MapMode : uint8_t { None, WhereAmI, Distance, Query, Reposition, Zoom };
MapMode CurrentMode(const ModeStages& stages);

// At most this many legs are written out; the total counts them all.
constexpr size_t kHintLegs = 8;

// The text of the status line for the current mode; empty when no interaction is on.
std::string ModeHint(const ModeStages& stages, const RouteLegs& route = {});

} // namespace corvane
