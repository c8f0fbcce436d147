#include "interact/ModeHelp.h"

#include "help/HelpPages.h"

namespace corvane {

int ModeHelpContext(const MapInteraction& m, bool whereAmI, bool movingKey)
{
    if (whereAmI) return 5008;                     // Zoom, Where Am I?
    if (m.ChkDistance != NoDistance) return 4006;  // Display, Distance
    if (m.ChkZoom != NoZoom) return 5001;          // Zoom, In
    if (m.ChkRepo != NoRepo) return 5007;          // Zoom, Reposition
    if (m.ChkQuery != NoQuery) return 7000;        // Query
    return movingKey ? kHelpMoveKey : kHelpMapWindow;
}

} // namespace corvane
