#include "render/Graticule.h"

#include "render/MapView.h"

namespace corvane {

// The graticule draws nothing yet; the plot already calls it where it belongs.
void DrawGrid(MapView& /*view*/, bool /*bPrint*/) {}

} // namespace corvane
