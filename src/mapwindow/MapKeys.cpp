// The map window's key commands.
#include "mapwindow/MapFrm.h"

namespace corvane {

void TMapFrm::MoveKeyOnRelease(int, int) {}
void TMapFrm::BaseMapKeyClick() {}
void TMapFrm::OverlayMapKeyClick() {}
void TMapFrm::KeyColourClick() {}
void TMapFrm::KeyBackgroundClick() {}

} // namespace corvane
