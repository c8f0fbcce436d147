#pragma once
// Point symbol layer with information (data type 4): the points of the symbol layer, each
// with a pointer into the data set's query information file, so that a click on the map can
// report the data behind the point.
//
// Records are 8 bytes (SYXRec): the 5 bytes of a plain symbol record, then the information
// offset split into bits 16..23 (infopointerhi) and bits 0..15 (infopointerlo). A record
// whose Symbol is 0 ends the cell.
//
// Points whose key item is switched off, has no symbol (style 0) or lies beyond the 50 items
// of a key are skipped silently when drawing; the search skips the switched-off ones and
// those beyond the key (the style is not looked at).
#include "layers/MapGen.h"
#include "layers/MapSYM.h"
#include "layers/SearchResult.h"

#include <cstdint>
#include <string>

namespace corvane {

struct SYXRec {
    uint16_t Lat = 0;
    uint16_t Lon = 0;
    uint8_t Symbol = 0;          // key code; 0 ends the cell
    uint8_t infopointerhi = 0;   // bits 16..23 of the information offset
    uint16_t infopointerlo = 0;  // bits 0..15
    // infopointerhi x 65536 + infopointerlo, 0..16777215.
    int32_t InfoOffset() const { return int32_t{infopointerhi} * 65536 + infopointerlo; }
};

class SYXmap : public GenMapObj {
public:
    static constexpr int16_t kRecSize = 8;

    bool Create(const std::string& Filename) { return OpenLayer(Filename, kRecSize); }
    bool Create(std::unique_ptr<ByteSource> source) { return OpenLayer(std::move(source), kRecSize); }
    void Read();
    bool Draw(const DrawContext& ctx, uint8_t Key_Entry_Adjustment, bool UseTopColour = true);

    // The information offset of the active point nearest to picture position (X, Y), or -1.
    // Always in screen terms (ctx.Print is ignored). Every active point inside the map window
    // (up to two pixels beyond its outer size) can be found, however far from the click; of
    // equally near points the first in cell and file order wins. On a hit, found gets the
    // point's picture position (TimerLon = x, TimerLat = y), its symbol code and colour.
    int32_t Search(const DrawContext& ctx, uint8_t Key_Entry_Adjustment, int32_t X, int32_t Y, SearchResult& found);
    // Hands every point of every cell to visitor (FeatureVisitor.h) with its information
    // offset; false when the walk was cut short.
    bool Visit(FeatureVisitor& visitor, uint8_t Key_Entry_Adjustment);

    SYXRec SR;
};

} // namespace corvane
