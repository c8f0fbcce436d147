#pragma once
// The latitude/longitude grid drawn over a finished map, on the screen picture or on the
// printed page, labelled at both ends of every line.
namespace corvane {

class MapView;

// Draws the graticule of view's map definition: on the picture (bPrint false) or inside the
// printed map on view.PrinterCanvas (bPrint true), with the spacing and label format the
// window's check marks give.
void DrawGrid(MapView& view, bool bPrint);

} // namespace corvane
