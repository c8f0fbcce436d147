// The map window's distance tool.
#include "mapwindow/MapFrm.h"

namespace corvane {

void TMapFrm::EndDistanceMeasurement() {}

} // namespace corvane
