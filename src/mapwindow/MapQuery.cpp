// The map window's query: the search of the overlay at a click, the answer, and the flashing of
// the symbol found (and of the where-am-I marker).
#include "mapwindow/MapFrm.h"

namespace corvane {

void TMapFrm::Query1Click() {}
void TMapFrm::QuerySearch() {}
void TMapFrm::FlashSymbol(bool) {}
void TMapFrm::Timer1Timer() {}

} // namespace corvane
