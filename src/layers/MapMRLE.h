#pragma once
// The monochrome run-length land layer: filled land from the land infill files and from
// data sets of type 2. Each grid cell is a raster of land and sea units coded as runs
// (layers/RunLength.h); the index entry of a cell is 1 for a cell wholly land, 0, 2 or
// negative for one wholly sea, and from 3 on the byte position of the cell's first run.
//
// Drawing fills the land runs with the land colour and style (Colour[1] and Styl[1], which
// the caller sets), row band by row band: a run spanning rows becomes up to three bars, a
// whole-land cell one. Each bar covers the pixel columns from its west edge to its east edge
// inclusive (so it overlaps its eastern neighbour by one column) and the rows from its north
// edge to its south edge inclusive. In the southernmost visible cells the runs of the unit
// rows below the map are passed over without drawing, and a column of cells is left as soon
// as a bar lies north of the drawing area.
//
// Damaged files: a cell raster with a side outside 1..kMaxRunGridUnits makes DataOkay false;
// runs reaching past the end of their cell are cut there; a cell whose first block lies past
// the end of the file is passed over; a block that cannot be read in full ends the drawing.
// A key item 1 switched off draws nothing.
#include "layers/MapGen.h"
#include "layers/RunLength.h"

#include <memory>
#include <string>

namespace corvane {

class MessageSink;

// "Unable to open Coastline file : " followed by the file's name on this machine.
std::string CoastlineFileMessage(const std::string& Filename);

class MonoRLEmap : public GenMapObj {
public:
    // Opens the land file (a resolved path). When it cannot be opened, messages shows
    // "Unable to open Coastline file : " followed by the file name (and why, when there is
    // more to say than that it is not there), and DataOkay is false.
    bool Create(const std::string& Filename, MessageSink& messages);
    // The same on a source already open (null: the file could not be opened, for problem).
    bool Create(std::unique_ptr<ByteSource> source, const std::string& Filename, MessageSink& messages,
                const std::string& problem = {});

    // Reads the 512-byte block at the current file position into R_L_C (LayerIOError when it
    // cannot be read in full).
    void Read();

    // Draws the land of the visible cells on ctx.canvas (the printer when ctx.Print is set).
    // Key_Entry_Adjustment and UseTopColour are not used by this layer.
    void Draw(const DrawContext& ctx, uint8_t Key_Entry_Adjustment = 0, bool UseTopColour = true);

    // Hands every run of every cell to visitor (FeatureVisitor.h): land as key 1, sea not at
    // all; false when the walk was cut short.
    bool Visit(FeatureVisitor& visitor, uint8_t Key_Entry_Adjustment = 0);

    RunBlocks Blocks{*this};   // R_L_C, R_L_C_block, RLoffset
};

} // namespace corvane
