#pragma once
// Showing a place of the index of names on a map: the box the map is zoomed to, and the theme
// of the place on the map.
#include "gazetteer/NameIndex.h"
#include "interact/ZoomRules.h"

#include <cstdint>
#include <string>

namespace corvane {

class MessageSink;
class TMDFStruct;
struct MASStruct;

// The scale a point without a label of its own (a town's record) is shown at.
constexpr double kPlaceScale = 500000;

// The box a picture of width x height pixels shows the place in, of the shape of the present
// box (so that the window keeps its size):
// - an area (a sea, a territorial sea, a key item's features) fitted to its extent, with a
//   twentieth to spare on each side;
// - a point whose label is drawn from a zoom on (trigger pixels per degree of longitude)
//   centred at the widest view that draws its label;
// - any other point centred at about 1:500,000 on a screen of pixelsPerInch.
GeoBox PlaceViewBox(const Place& place, const GeoBox& present, int32_t width, int32_t height,
                    double pixelsPerInch);

// The theme of that title on the map (its base maps, then its overlays), or null.
const MASStruct* ThemeOnMap(const TMDFStruct& mdf, const std::string& title);
// Whether it is drawn: a base map, or the first overlay.
bool ThemeDrawn(const TMDFStruct& mdf, const std::string& title);
// Makes it the overlay drawn: an overlay waiting its turn is brought to the front; a theme
// the map does not have is added as the data set list adds one (found through the data list,
// its master file read, "Unable to find the file : " + path when it is missing), then brought
// to the front. False when it could not be added.
bool DrawThemeAsOverlay(TMDFStruct& mdf, const std::string& title, MessageSink& sink);

} // namespace corvane
