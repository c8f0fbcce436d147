#pragma once
// Label layer (data type 6): text labels, each with an anchor point, a key item for its
// colour, a justification, a size step and a zoom threshold below which it is not drawn.
//
// After the common header and index come the labels of each cell; a non-zero index entry is
// the byte position of the cell's first label (record size 1). A label is 11 fixed bytes
// (LabelRec) followed by TextLength bytes of text; a label whose KeyLink is 0 ends the cell
// (a whole record, text and all). Labels are drawn horizontally in "Times New Roman", at
// 13 to 7 points as the map takes in less or more longitude, 4 points more per size step.
//
// Labels whose key item is switched off, or whose key code lies beyond the 50 items of a
// key, are not drawn. A label whose text runs past the end of the file ends the drawing.
#include "layers/MapGen.h"

#include <cstdint>
#include <string>

namespace corvane {

struct LabelRec {
    uint16_t Lat = 0;           // anchor north of the cell's south edge, layer units
    uint16_t Lon = 0;           // anchor east of the cell's west edge, layer units
    uint8_t KeyLink = 0;        // key code; 0 ends the cell
    uint16_t TriggerScale = 0;  // drawn only at this many screen pixels per degree of longitude or more
    uint16_t TextAngle = 0;     // carried, not used in drawing
    uint8_t SizeJust = 0;       // bits 0-1 bWidth, 2-3 bHeight, 4-5 vJust, 6-7 hJust
    uint8_t TextLength = 0;     // bytes of text that follow
};
constexpr int32_t kLabelFixedSize = 11;

// SizeJust from its four 2-bit fields (each taken modulo 4).
inline uint8_t PackSizeJust(int bWidth, int bHeight, int vJust, int hJust)
{
    return static_cast<uint8_t>((bWidth & 3) | ((bHeight & 3) << 2) | ((vJust & 3) << 4) | ((hJust & 3) << 6));
}

// Label size in points before the size steps, from the longitude range of the map:
// under 1 degree 13, under 2 degrees 12, under 4 degrees 10, under 7 degrees 9, else 7.
int LabelBaseSize(double lonRange);

// The area a label's justified corner must lie in (right and bottom edges outside): the
// map window's client area on the screen; on paper the whole page cut to the window's shape.
Rect LabelArea(const DrawContext& ctx);

class LBLmap : public GenMapObj {
public:
    static constexpr int16_t kRecSize = 1;

    bool Create(const std::string& Filename) { return OpenLayer(Filename, kRecSize); }
    bool Create(std::unique_ptr<ByteSource> source) { return OpenLayer(std::move(source), kRecSize); }
    // Reads one label: the eleven fixed bytes, then TextLength bytes into LabelText, and
    // unpacks SizeJust. LayerIOError when the label is not there in full.
    void Read();
    // Draws the labels of the visible cells; UseTopColour is not used. False when the
    // drawing was cut short by a damaged file.
    bool Draw(const DrawContext& ctx, uint8_t Key_Entry_Adjustment, bool UseTopColour = true);
    // Hands every label of every cell to visitor (FeatureVisitor.h), whatever its zoom
    // trigger; false when the walk was cut short.
    bool Visit(FeatureVisitor& visitor, uint8_t Key_Entry_Adjustment);

    LabelRec LR;
    uint8_t bWidth = 0, bHeight = 0, vJust = 0, hJust = 0;
    std::string LabelText;

private:
    // The record loop of Draw and Visit over the cells WalkRecordCells visits: on(c, r) for
    // every label read (LR, the justifications and LabelText set).
    template <class On>
    void WalkLabels(On&& on);
};

} // namespace corvane
