#pragma once
// The two keys (legends) drawn over the map: the base key of the first base map and the
// overlay key of the overlay, each in a corner of the map.
namespace corvane {

class MapView;

// Draws the base key when "&Base Map" is checked and the first base map has a key, then the
// overlay key when "&Overlay Map" is checked and the overlay has one: on the picture
// (bPrint false) or inside the printed map on view.PrinterCanvas (bPrint true).
void ReDrawKeys(MapView& view, bool bPrint);

} // namespace corvane
