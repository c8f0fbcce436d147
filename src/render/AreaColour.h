#pragma once
// The colour an area of the map takes in a plot, where it follows from the layers' cell
// indexes alone, so that a picture known to be of one colour needs no drawing.
//
// The plot's layers are walked as it draws them (PlotSteps), each file opened as the plot
// opens it (its header and index usually from the layer cache), and none of their records is
// read. The area's colour is known when, for every layer:
//  - a record layer (lines, symbols, names, polygons) has no record in any cell the plot
//    visits: it draws nothing anywhere;
//  - a run-length layer (land, colour raster) has no runs in any cell the plot visits (each is
//    empty or wholly one value, so nothing is read), and the area, with a margin of a few
//    pixels, lies inside one of its cells: that cell paints the area in one solid colour, or
//    leaves it alone; its neighbours paint only up to a pixel or two beyond their own edges.
// A layer file (or a coastline file) that cannot be read, a hatched or patterned fill, or
// anything else leaves the colour unknown: such an area is drawn. Since nothing is read that the plot would find
// damaged, the messages are those of the plot (a key of too many items is told as the plot
// tells it).
#include "platform/Colour.h"

#include <optional>

namespace corvane {

class MapView;

// An area of the picture in degrees, and how far (degrees) it must keep from a cell's edge.
struct AreaBox {
    double west = 0, south = 0, east = 0, north = 0;
    double marginLon = 0, marginLat = 0;
};

// The colour of the area in a screen plot of the view at its present extents and size, or
// nothing when only drawing tells it (always for a view that shows the graticule or a key). The view's picture canvas must exist (its drawing
// context is taken), but nothing is drawn on it.
std::optional<Colour> AreaColourWithoutDrawing(MapView& view, const AreaBox& area);

} // namespace corvane
