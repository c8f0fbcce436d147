// The map window's display settings: land style and colours, background and graticule.
#include "mapwindow/MapFrm.h"

namespace corvane {

void TMapFrm::LandStyleClick() {}
void TMapFrm::BackgroundClick() {}
void TMapFrm::FillColour1Click() {}
void TMapFrm::OutlineColour1Click() {}
void TMapFrm::GraticuleDisplayClick() {}
void TMapFrm::GraticuleColourClick() {}
void TMapFrm::GraticuleAutoClick() {}
void TMapFrm::FractionDegreesClick() {}
void TMapFrm::Graticule1Click() {}
void TMapFrm::Graticule2Click() {}
void TMapFrm::Graticule5Click() {}
void TMapFrm::Graticule10Click() {}
void TMapFrm::Graticule20Click() {}
void TMapFrm::GraticuleFormatDMSClick() {}
void TMapFrm::GraticuleFormatDECClick() {}
void TMapFrm::IncGratFontSize() {}
void TMapFrm::DecGratFontSize() {}

} // namespace corvane
