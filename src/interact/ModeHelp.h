#pragma once
// The help page of what the map window is doing: the mode a click on the map now serves.
#include "interact/ModeHints.h"

namespace corvane {

// The page of the current mode (CurrentMode, the one the status line describes), a key held to
// be moved when no mode is on; else the map window's own page.
int ModeHelpContext(const ModeStages& stages, bool movingKey);

} // namespace corvane
