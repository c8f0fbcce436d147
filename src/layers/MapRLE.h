#pragma once
// The colour run-length raster layer: gridded area data (data sets of type 3). The cells are
// coded as in the land layer (layers/RunLength.h, MapMRLE.h), but each run carries a key code
// 0..31, so that one file paints many key items, each in its colour and fill style; code 0
// is "no data" and leaves the canvas as it is. The index entry of a cell is 0 or negative
// for nothing, 1 to 31 for a cell wholly of that key code, and from 32 on the byte position
// of the cell's first run.
//
// Bars are rectangles drawn with a clear pen from (left, top) to (right + 2, bottom + 1),
// which fills the pixel columns left..right and rows top..bottom - 1. While a unit is more
// than half a screen pixel wide (tall) each bar loses one pixel on the right (gains one at
// the bottom); zoomed out further the bars are left as they are.
//
// Damaged files: as the land layer; in addition a key code that falls outside 1..50 after the
// key adjustment is drawn as a switched-off item (its units are passed over).
#include "layers/MapGen.h"
#include "layers/RunLength.h"

#include <memory>
#include <string>

namespace corvane {

class RLEmap : public GenMapObj {
public:
    // The layer contract's Create (record size 512); a failure is reported only through
    // DataOkay, also when the cell raster of the header cannot be placed.
    bool Create(const std::string& Filename);
    bool Create(std::unique_ptr<ByteSource> source);

    // Reads the 512-byte block at the current file position into R_L_C.
    void Read();

    // Draws the runs of the visible cells in the colours and fill styles of the key
    // (UseKeyColours first). UseTopColour is not used.
    void Draw(const DrawContext& ctx, uint8_t Key_Entry_Adjustment, bool UseTopColour = true);

    // Hands every run of every cell to visitor (FeatureVisitor.h) with its key code, adjusted
    // (code 0, no data, is not handed out); false when the walk was cut short.
    bool Visit(FeatureVisitor& visitor, uint8_t Key_Entry_Adjustment = 0);

    RunBlocks Blocks{*this};   // R_L_C, R_L_C_block, RLoffset
};

} // namespace corvane
