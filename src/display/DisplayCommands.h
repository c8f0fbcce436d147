#pragma once
// The display settings of a map window: land style and colours, the background, the
// graticule (display, colour, line style, spacing, label format, label size) and the
// coastline resolution. Each command changes the map definition (or a program-wide value) and
// the view's check marks, and says how the map is to be brought up to date:
//  - Replot: the map is drawn again at once;
//  - MarkRedraw: the "&Redraw" command is enabled and the user replots when ready (the data
//    would have to be drawn again, which may take a while);
//  - OverlayRefresh: the picture is put back from FullMap and the graticule (when displayed)
//    and the keys are drawn over it; no data are drawn again.
// The window carries the update out and shows the view's check marks on its menus and the
// main window's buttons.
#include "platform/Colour.h"

#include <cstdint>

namespace corvane {

class MapView;

enum class MapUpdate : uint8_t { None, Replot, MarkRedraw, OverlayRefresh };

struct DisplayOutcome {
    MapUpdate Update = MapUpdate::None;
    bool NeedToSave = false;   // the map definition changed (or the command counts as a change)
};

// "&Infilled" and "&Outline" (and their buttons): both check marks invert, so the two always
// swap; Land_Plot_Style := 1 when "&Infilled" is now checked, else 0. Marks Redraw.
DisplayOutcome ToggleLandStyle(MapView& view);

// The colours a colour dialog sets. Land and background colours mark Redraw; the graticule's
// is drawn at once over the map when the graticule is displayed.
enum class MapColour : uint8_t { LandFill, LandOutline, Background, Graticule };
Colour MapColourValue(const MapView& view, MapColour which);
DisplayOutcome StoreMapColour(MapView& view, MapColour which, Colour colour);

// "&Halo": the map definition's Halo inverts; the map is drawn again at once (the names are
// part of the data drawn).
DisplayOutcome ToggleHalo(MapView& view);

// Graticule "&Display": Grid_Displayed inverts; the overlays are refreshed (the graticule drawn
// or taken away, the keys drawn again).
DisplayOutcome ToggleGraticule(MapView& view);
// Graticule "&Style...": Grid_Style := pen style (0 solid .. 5 clear) + 1.
DisplayOutcome StoreGraticuleStyle(MapView& view, int penStyle);
// A spacing item: Grid_Scale := gridScale (1 auto, 2 fractional, 3 one degree, 4 two, 5 five,
// 6 ten, 7 twenty) and that item alone checked.
DisplayOutcome StoreGraticuleSpacing(MapView& view, uint8_t gridScale);
// Format "&Degrees-Minutes-Seconds" (dms) or "De&cimal Degrees". Always counts as a change;
// choosing the checked item does nothing more. A switch redraws the graticule only when it is
// displayed and an axis has fractional spacing: with whole-degree lines the labels read the
// same in both formats.
DisplayOutcome StoreGraticuleFormat(MapView& view, bool dms);
// Text size "&Increase" (step +1) or "&Decrease" (-1) of the graticule labels (a program-wide
// size, at least 1 and at most 255 points). A size that cannot change does nothing.
DisplayOutcome StepGraticuleFontSize(MapView& view, int step);
// The hidden "&Increase Resolution" (step -1: finer) and "&Decrease Resolution" (+1: coarser)
// move the program-wide CoastResolution within 0..2; the coastline follows at the next Redraw.
DisplayOutcome StepCoastResolution(int step);

// The graticule's pen style code of a line picker's pen style, and back.
inline uint8_t GridStyleOfPenStyle(int penStyle) { return static_cast<uint8_t>(penStyle + 1); }
inline int PenStyleOfGridStyle(uint8_t gridStyle) { return gridStyle >= 1 && gridStyle <= 6 ? gridStyle - 1 : 0; }

} // namespace corvane
