#pragma once
// The help page of what the map window is doing: the mode a click on the map now serves.
#include "interact/MapInteraction.h"

namespace corvane {

// Where-am-I, a distance measurement, zoom, reposition or query (in that order, the first that
// is on), a key held to be moved; else the map window's own page.
int ModeHelpContext(const MapInteraction& m, bool whereAmI, bool movingKey);

} // namespace corvane
