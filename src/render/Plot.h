#pragma once
// Composing a whole map on the screen picture or on the printer page: the background, the
// data sets of the base maps and of the overlay in a fixed order of passes, the standard
// coastline (a vector outline at one of five generalisations, or filled land at one of five
// cell sizes, chosen from the map scale), then the graticule and the keys.
//
// Order of a plot (the look of the map follows from it):
//  1. data sets marked to lie under the coastline: the base maps (first base map and those
//     chained behind it), then the overlay;
//  2. the standard coastline, left out when the first base map or the overlay brings its own
//     (Coastline_Included);
//  3. every other data set: the base maps, then the overlay;
//  4. the graticule, then the keys.
// Base maps draw with the keys' bottom colours and styles, the overlay with the top ones.
#include "platform/Colour.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

class Canvas;
class MapView;
struct DSDStruct;
struct PrintPage;
struct MASStruct;

// Pixels per degree that separate the five coastline generalisations; CoastResolution k
// (0..2) uses Res[k] .. Res[k + 3].
extern const double Res[6];
// 1.2 times the pixels per degree of latitude is the scale a data set's triggers are read on.
constexpr double Latitude_Scale = 1.2;

// Draws the whole map (see above). bPrint: on view.PrinterCanvas inside the margins of
// view.Page, else on the picture. ReSizeToOverlay: fit the map to the overlay's area first
// (screen only, not when the map definition's zoom level is fixed). A screen plot with
// RedrawMap false draws only the graticule and keys over the picture; every screen plot
// saves FullMap (unless view.KeepFullMap is off), clears RedrawMap and disables the Redraw command. False when an error ended
// the plot early (it was reported on view.messages; menu state, keys and cursor are still
// set as at the end of a plot).
bool Plot(MapView& view, bool bPrint, bool ReSizeToOverlay);

// The entry point for drawing the map again: ends any interaction, marks the data to be
// drawn, and plots on the screen with the window's resize handler switched off.
bool Redraw(MapView& view, bool ReSizeToOverlay);

// Which file (1-based) of a data set is drawn at the view's current scale; 0 for none.
// latscl = client height x Latitude_Scale / latitude range.
int Plot_Scale_Select(const MapView& view, const DSDStruct& DSD);
// The same for a given latscl: one file is always drawn; a fixed Current_Level wins;
// otherwise the first file (along NextDFN) whose Trigger_Scale is below latscl, or 0.
int Plot_Scale_Select(const DSDStruct& DSD, double latscl);

// The coastline generalisations, coarsest first.
enum CoastLevel : uint8_t { Coast01PC = 0, Coast03PC, Coast10PC, Coast30PC, CoastFull };
// The outline to draw on a drawing of Wc x Hc pixels: with xs = Wc / lonRange and
// ys = Hc / latRange / latLonScale, the coarsest level whose threshold Res[k + level] is not
// reached by xs or ys (full detail when all four are reached). k above 2 counts as 2.
CoastLevel OutlineCoastLevel(unsigned CoastResolution, uint16_t Wc, uint16_t Hc, double lonRange, double latRange,
                             double latLonScale);
// The land fill to draw: the same thresholds on ys = Hc / latRange alone (5', 3', 1', 36", 12").
CoastLevel LandFillLevel(unsigned CoastResolution, uint16_t Hc, double latRange);
// The file names of a level (from CvVars, "CDROM:" already applied by whoever read them).
const std::string& OutlineCoastFile(CoastLevel level);
const std::string& FillCoastFile(CoastLevel level);

// One layer drawing of a plot: a data set's file, the land fill or the coastline outline.
struct PlotStep {
    enum Kind : uint8_t { DataSet, LandFill, Coastline };
    Kind kind = DataSet;
    // DataSet: its theme and descriptor, and whether it takes the key's top colours.
    const MASStruct* theme = nullptr;
    const DSDStruct* dataSet = nullptr;
    bool UseTopColour = false;
    // The file drawn ("CDROM:" applied); for a data set with no file at this scale, empty.
    std::string fileName;
    // LandFill: the colour and fill style of the land.
    Colour landColour = 0;
    uint8_t landStyle = 1;
};
// The layers a plot of the view draws, in the order it draws them (the passes above), with the
// file each one reads at the view's scale and size. bPrint: the printed map's size picks the
// coastline files.
std::vector<PlotStep> PlotSteps(const MapView& view, bool bPrint);

// Refits the map definition's extents and the window to the overlay: from the base zoom entry
// to the overlay's own area (the zoom history is cleared), when zoomed in to the current
// extents (the current entry is replaced); the window is reshaped to the area within the
// usable screen and placed with SetWindowBounds, its resize handler switched off.
void FindOverlayArea(MapView& view, const MASStruct& overlay);

// Paints the printer page white around the printed map (bands above, below, left and right of
// it), so that what the layers drew past the map's edges does not show in the margins. The
// map stands where the plot printed it for a picture of clientWidth x clientHeight.
void WhiteOutsidePrintedMap(Canvas& canvas, const PrintPage& page, int32_t clientWidth, int32_t clientHeight);

// The message for a data set file that cannot be read.
std::string NotPresentMessage(const std::string& fileName);
// The message for a layer file that opens but whose header or index is damaged.
std::string UnusableLayerMessage(const std::string& fileName);
// The message for a layer file found damaged while it was drawn (cut short, a cell past its
// end, or records asking for more than the file can hold): what could be drawn is drawn.
std::string DamagedLayerMessage(const std::string& fileName);

} // namespace corvane
