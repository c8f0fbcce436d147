#pragma once
// Point symbol layer (data type 5): points that each name a key item, drawn with the item's
// symbol (its style code, a PlotSymbol code 1..40) in the item's colour.
//
// After the common header and index come the points of each cell, 5 bytes each (SYMRec); a
// non-zero index entry is the record number of the cell's first point, and a record whose
// Symbol is 0 ends the cell.
//
// A point whose key item is switched off is skipped. A point whose key item has no symbol
// (style 0), or whose key code lies beyond the 50 items a key can have, ends the drawing of
// the layer with "Key definition for data type N is missing [File : ID]".
#include "layers/MapGen.h"

#include <cstdint>
#include <functional>
#include <string>

namespace corvane {

struct SYMRec {
    uint16_t Lat = 0;    // north of the cell's south edge, layer units
    uint16_t Lon = 0;    // east of the cell's west edge, layer units
    uint8_t Symbol = 0;  // key code; 0 ends the cell
};

class SYMmap : public GenMapObj {
public:
    static constexpr int16_t kRecSize = 5;

    bool Create(const std::string& Filename) { return OpenLayer(Filename, kRecSize); }
    bool Create(std::unique_ptr<ByteSource> source) { return OpenLayer(std::move(source), kRecSize); }
    // Reads the next record into SR; LayerIOError when it is not there in full.
    void Read();
    // Draws the points of the visible cells on ctx (the printer page when ctx.Print is set).
    // UseTopColour is not used (UseKeyColours made the choice). False when the drawing was
    // cut short by a damaged file or a missing key definition.
    bool Draw(const DrawContext& ctx, uint8_t Key_Entry_Adjustment, bool UseTopColour = true);
    // Hands every point of every cell to visitor (FeatureVisitor.h); false when the walk was
    // cut short.
    bool Visit(FeatureVisitor& visitor, uint8_t Key_Entry_Adjustment);

    SYMRec SR;
};

// The record loop of both point symbol layers over the cells WalkRecordCells visits: read()
// reads the next record (LayerIOError when short) and returns it; on(c, r, record) gets each
// point up to the record whose Symbol is 0, and may return CellWalk::Stop to end the walk.
template <class Read, class On>
void WalkSymbolRecords(GenMapObj& layer, Read&& read, On&& on)
{
    layer.WalkRecordCells([&](int32_t c, int32_t r) {
        for (auto rec = read(); rec.Symbol != 0; rec = read())
            if (detail::CallVisitor(on, c, r, rec) == CellWalk::Stop) return CellWalk::Stop;
        return CellWalk::Continue;
    });
}

// The drawing both point symbol layers share. `read` reads the next record (LayerIOError
// when short) and gives its position and key code. With reportMissingKey, a point whose key
// item has no symbol ends the drawing with the message above; otherwise it is skipped.
// Every symbol is drawn on a solid brush, whatever the symbol before it left, so that the
// filled shapes come out filled.
bool DrawSymbolPoints(GenMapObj& layer, const DrawContext& ctx, uint8_t Key_Entry_Adjustment, bool reportMissingKey,
                      const std::function<SYMRec()>& read);

// "Key definition for data type " + Symbol + " is missing [File : " + DatasetID + "]".
std::string MissingKeyMessage(int Symbol, const std::string& DatasetID);

} // namespace corvane
