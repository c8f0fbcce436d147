#include "render/Keys.h"

#include "render/MapView.h"

namespace corvane {

// The keys draw nothing yet; the plot already calls them where they belong.
void ReDrawKeys(MapView& /*view*/, bool /*bPrint*/) {}

} // namespace corvane
