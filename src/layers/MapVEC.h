#pragma once
// The vector line layer: data sets of type 1 and the coastline outline files. A file holds
// polylines grouped by grid cell, each with a key code that selects its colour and line style.
//
// Records are VectorRec, 4 bytes: two unsigned 16-bit fields. A cell's data is a sequence of
// segments, each a header record (Lat = key code, Lon = number of points n) followed by n
// point records (Lat, Lon = offsets from the cell's south-west corner in layer units), and
// ends with a record whose Lat is 65535. A non-zero index entry is the record number of the
// cell's first record.
//
// Drawing: the pen colour is the key item's colour and its style Styl - 1 (0 solid, 1 dash,
// 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 clear, 6 inside frame; other codes draw clear); the
// background mode is transparent so that the gaps of dashed lines stay unpainted; the pen
// width is left as the canvas has it. Each segment is one polyline of at most 4500 points:
// the points past the 4500th are dropped and "Too many points on this line segment" is shown
// once for that segment.
//
// Damaged files: a segment whose points run past the end of the file ends the drawing
// (as any short record does); a key code outside 1..50 after the key adjustment is drawn as a
// switched-off item (its points are passed over); a segment of no points draws nothing.
#include "layers/MapGen.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvane {

struct VectorRec {
    uint16_t Lat = 0;
    uint16_t Lon = 0;
};

constexpr uint16_t kVectorCellEnd = 65535;       // Lat of the record that ends a cell
constexpr int kVectorPointBuffer = 4500;         // most points drawn of one segment

class VECmap : public GenMapObj {
public:
    // The layer contract's Create (record size 4); failure only through DataOkay.
    bool Create(const std::string& Filename);
    bool Create(std::unique_ptr<ByteSource> source);

    // Reads the next record at the current file position into VR (LayerIOError when short).
    void Read();

    // Draws every segment of the visible cells on ctx.canvas (the printer when ctx.Print is
    // set). The key colours come from UseKeyColours beforehand. UseTopColour is not used.
    void Draw(const DrawContext& ctx, uint8_t Key_Entry_Adjustment, bool UseTopColour = true);
    // Hands every segment of every cell to visitor (FeatureVisitor.h), with all its points;
    // false when the walk was cut short.
    bool Visit(FeatureVisitor& visitor, uint8_t Key_Entry_Adjustment);

    VectorRec VR;

private:
    // The record loop of Draw and Visit over the cells WalkRecordCells visits: a segment whose
    // key code (adjusted) wanted(k) accepts is read whole and handed to segment(c, r, k,
    // points); the others are passed over.
    template <class Wanted, class Segment>
    void WalkSegments(uint8_t Key_Entry_Adjustment, Wanted&& wanted, Segment&& segment);

    std::vector<CellOffset> segment_;   // the points of the segment being read
};

} // namespace corvane
