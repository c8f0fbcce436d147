#pragma once
// The query click on the map: the search of the overlay's data sets for the point symbol or
// polygon nearest the click, the name of the query information file that answers a hit, the
// place of the one-line answer panel, and the colour cycle of the flashing figure.
#include "layers/SearchResult.h"
#include "platform/Colour.h"

#include <cstdint>
#include <functional>
#include <string>

namespace corvane {

class MapView;
struct DSDStruct;
struct MASStruct;

// A data set's hit: what the answer and the flashing need.
struct QueryHit {
    const MASStruct* overlay = nullptr;
    const DSDStruct* dataSet = nullptr;
    uint8_t DataType = 0;          // 4 point symbols, 7 polygons: the flash kind
    std::string FileName;          // the layer file as the master file names it
    int32_t Offset = -1;           // the record in the query information file
    int32_t AssDataType = 0;       // 0 one-line text, 1 or 2 headed record
    std::string AssDataFilename;   // the information file's name, trailing blanks removed
    SearchResult found;            // TimerLat, TimerLon, TimerStyle, TimerColour, Points
};

// Searches the file number Scale of one data set of the overlay at picture position (X, Y),
// when the data set is of type 4 (point symbols) or 7 (polygon outlines); true on a hit,
// described in hit. A file that cannot be read finds nothing.
bool SearchEachDataFile(MapView& view, const MASStruct& overlay, const DSDStruct& DSD, int Scale, int32_t X,
                        int32_t Y, QueryHit& hit);

// SearchEachDataFile for every data set of the first overlay in list order: of a data set of
// type 4 (point symbols) or 7 (polygon outlines), the file that the current scale draws is
// searched at picture position (X, Y), and a hit goes to onHit at once. Type 9 data sets and
// every other type, and the base maps, are never searched; a file that cannot be read is
// skipped. Returns the number of hits.
int SearchOverlay(MapView& view, int32_t X, int32_t Y, const std::function<void(QueryHit&)>& onHit);

// The query information file of a layer file: the layer's folder (up to and including its
// last "\"), "DNN\" and the associated file name, cut to 80 characters, through the "CDROM:"
// rule.
std::string QueryInfoFileName(const std::string& layerFileName, const std::string& AssDataFilename);

// The one-line answer panel beside the found symbol (TimerLon, TimerLat): to its right and
// half a line up; below and centred when that passes the top; above and centred when it
// passes the bottom of the picture; then to the left when it passes the window's right edge,
// and centred across the window (half a panel further down, or up) when there is no room
// left either. th, tw, aw: the heights and widths of the text and of "A".
struct PanelPlace {
    int32_t left = 0, top = 0, width = 0, height = 0;
};
PanelPlace PlaceQueryPanel(int32_t TimerLat, int32_t TimerLon, int32_t th, int32_t tw, int32_t aw,
                           int32_t clientHeight, int32_t windowWidth, int32_t bevelWidth = 1);

// The colours of a flashing figure: white, black, its own colour, white, ... (from white:
// black, white, black, ...). Stopping gives back its own colour, so that drawing it once more
// restores the map.
class FlashCycle {
public:
    // One flash step from the figure's present colour; the first step remembers it as the
    // figure's own.
    Colour Step(Colour current);
    // Ends the flashing: own receives the figure's own colour. False when nothing has
    // flashed since the last stop (there is nothing to restore).
    bool Stop(Colour& own);
    bool Flashing() const { return flashing_; }

private:
    bool flashing_ = false;
    Colour own_ = 0;
};

} // namespace corvane
