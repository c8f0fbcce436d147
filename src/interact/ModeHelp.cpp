#include "interact/ModeHelp.h"

#include "help/HelpPages.h"

namespace corvane {

int ModeHelpContext(const ModeStages& stages, bool movingKey)
{
    switch (CurrentMode(stages)) {
    case MapMode::WhereAmI: return 5008;     // Zoom, Where Am I?
    case MapMode::Distance: return 4006;     // Display, Distance
    case MapMode::Query: return 7000;        // Query
    case MapMode::Reposition: return 5007;   // Zoom, Reposition
    case MapMode::Zoom: return 5001;         // Zoom, In
    case MapMode::None: break;
    }
    return movingKey ? kHelpMoveKey : kHelpMapWindow;
}

} // namespace corvane
