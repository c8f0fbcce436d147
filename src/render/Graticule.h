#pragma once
// The latitude/longitude grid drawn over a finished map, on the screen picture or on the
// printed page, labelled at both ends of every line.
//
// Lines stand at grid values: a grid unit is 1/DegreeStep of a degree, DegreeStep being 10
// with decimal labels and 6 with degrees-minutes-seconds labels, multiplied for fractional
// spacing on small maps (parallels: x50 below 0.05 degrees of latitude, x10 below 0.1, x5
// below 0.5; meridians the same and x2 below 1 degree of longitude). A line is drawn at every
// grid value that is a multiple of the axis's step.
#include "platform/Canvas.h"
#include "render/MapView.h"

#include <cstdint>
#include <string>

namespace corvane {

// Spacing in whole degrees of one axis for the checked spacing item: "&Auto" gives 0 below 2
// degrees of range, 1 up to 10, 2 up to 30, 5 up to 100, then 20; "&Fractional" gives 0; the
// degree items their degrees. 0 means fractional spacing. No item checked counts as "&Auto".
int SpacingDegrees(GridSpacing spacing, double range);

// One axis of the grid: lines every Step grid units, DegreeStep grid units per degree. Step 1
// is fractional spacing (a line at every grid unit).
struct GridAxis {
    int64_t Step = 1;
    int64_t DegreeStep = 6;
};
GridAxis ParallelSpacing(GridSpacing spacing, bool decimal, double latRange);
GridAxis MeridianSpacing(GridSpacing spacing, bool decimal, double lonRange);

// Fractional spacing (Step 1) whose lines would stand closer than labelHeight pixels steps up
// to the next spacing until they stand that far apart: the coarser fractional spacings of the
// axis (x50, x10, x5, for meridians x2, then x1 of DegreeStep), then 1, 2, 5, 10 and 20 degrees.
// A map at full view with "&Fractional" gets readable lines rather than one every few pixels.
// Whole-degree spacing is kept as it is.
GridAxis ReadableSpacing(const GridAxis& axis, bool decimal, bool meridian, double pixelsPerDegree, int labelHeight);

// What a label's text depends on besides its grid value.
struct GridLabelRules {
    bool Decimal = false;      // "De&cimal Degrees" checked, else degrees-minutes-seconds
    double LatRange = 0.0;     // the map's latitude and longitude ranges
    double LonRange = 0.0;
};

// The text of a label (LatLonStr): one space, then whole degrees when the axis has
// whole-degree spacing; with fractional spacing decimal degrees (3, 2 or 1 decimals as the
// smaller range is below 0.05, below 1 or not) or D°M' (D°M'S" when the axis's own range is
// below 0.05). Degrees are written right-aligned in 3 characters, minutes and seconds in 2
// ("00" for none). At most 11 characters; the degree sign is byte 176.
std::string LatLonStr(int64_t gridValue, bool parallel, const GridAxis& axis, const GridLabelRules& rules);
// The whole label of a line: LatLonStr, its hemisphere letter (N/S for parallels, E/W for
// meridians, none on the equator or the prime meridian) and one space, cut to 11 characters.
std::string GridLabel(int64_t gridValue, bool parallel, const GridAxis& axis, const GridLabelRules& rules);

// Everything the graticule is drawn from.
struct GraticuleSettings {
    double MinLat = 0, MaxLat = 0, MinLon = 0, MaxLon = 0;
    MapArea area;                        // the picture, or the printed map at the page offsets
    GridSpacing Spacing{};
    bool Decimal = false;
    Colour GridColour = 0;
    uint8_t GridStyle = 1;               // 1-based pen style code (1 solid ... 6 none, 7 inside frame)
    int FontSize = 8;                    // label size in points
    // Labels with a halo of HaloWidth pixels in HaloColour (the map's background).
    bool Halo = false;
    Colour HaloColour = 0;
    int HaloWidth = 1;
};

// Draws the graticule on canvas: parallels labelled at both ends, meridians at bottom and top,
// in the grid colour, style and label font ("Times New Roman" bold at the canvas's own
// resolution). A label that would not lie wholly inside the drawing is left out; its line is
// drawn all the same. The canvas is left with an opaque background mode. Degenerate extents
// (no range, or so large that lines would be denser than pixels) draw nothing.
void DrawGraticule(Canvas& canvas, const GraticuleSettings& settings);

// Draws the graticule of view's map definition: on the picture (bPrint false) or inside the
// printed map on view.PrinterCanvas (bPrint true), with the spacing and label format the
// window's check marks give.
void DrawGrid(MapView& view, bool bPrint);

} // namespace corvane
