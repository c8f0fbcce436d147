// The map window's data set commands: the list of themes, their order, the overlay, and the
// information pages and source table of the themes.
#include "mapwindow/MapFrm.h"

namespace corvane {

void TMapFrm::DatasetListClick() {}
void TMapFrm::Order1Click() {}
void TMapFrm::Select1Click() {}
void TMapFrm::Previous1Click() {}
void TMapFrm::Next1Click() {}
void TMapFrm::Info1Click() {}
void TMapFrm::Source1Click() {}

} // namespace corvane
