#pragma once
// Polygon layer (data types 7, 8 and 9): area features drawn as outlines or filled, each of
// one or more parts, and the search for the polygon whose reference point is nearest a click.
//
// After the common header and index come 4-byte records (POLRec: Lat and Lon, unsigned
// 16-bit); a non-zero index entry is the record number of the cell's first record. A cell is
// a sequence of polygons ended by a record whose Lat is 65535. A polygon is a header record
// (Lat = key code, Lon = n), then nSkip extra records (types 7 and 9: the reference point in
// cell offsets, then the information offset as Lon x 65536 + Lat), then n records: the
// points of its parts in cell offsets, parts separated by a record whose Lat or Lon is 65535.
//
// Type 7 is drawn as outlines with nSkip 2, type 8 filled with nSkip 0, type 9 filled with
// nSkip 2. A part is drawn with at most kPartPoints points; further points are dropped.
// Polygons whose key code lies beyond the 50 items of a key are treated as switched off:
// neither drawn nor found.
#include "layers/MapGen.h"
#include "layers/SearchResult.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

struct POLRec {
    uint16_t Lat = 0;
    uint16_t Lon = 0;
    bool IsSeparator() const { return Lat == 65535 || Lon == 65535; }
};

// The largest information offset a polygon's search answers with. The offset is two 16-bit
// halves (Lon x 65536 + Lat), so it may well pass the 24 bits of the point layers; one that
// would not fit the search's signed 32-bit answer (and so could be taken for "not found")
// marks a damaged record, and the polygon is not a candidate.
constexpr int64_t kMaxInfoOffset = 2147483647;

class POLmap : public GenMapObj {
public:
    static constexpr int16_t kRecSize = 4;
    static constexpr int32_t kPartPoints = 6400;   // points of one part that are drawn

    bool Create(const std::string& Filename) { return OpenLayer(Filename, kRecSize); }
    bool Create(std::unique_ptr<ByteSource> source) { return OpenLayer(std::move(source), kRecSize); }
    void Read();

    // nSkip: extra records per polygon (2 for types 7 and 9, 0 for type 8). Filled: fill the
    // parts as polygons with the key item's fill style (on the map's background colour, or
    // white when printing) rather than draw them as lines in its line style. UseTopColour is
    // not used. False when the drawing was cut short by a damaged file.
    bool Draw(const DrawContext& ctx, uint8_t nSkip, bool Filled, uint8_t Key_Entry_Adjustment,
              bool UseTopColour = true);

    // For type 7 files. The information offset of the polygon whose reference point is
    // nearest to picture position (X, Y), or -1. Only reference points strictly inside the
    // map picture count, and no point-in-polygon test is made. On a hit, found gets the
    // polygon's outline (Points), its key item number (TimerLat), the point count of its last
    // part (TimerLon), the item's line style code and colour.
    int32_t Search(const DrawContext& ctx, uint8_t Key_Entry_Adjustment, int32_t X, int32_t Y, SearchResult& found);

    // Hands every polygon of every cell to visitor (FeatureVisitor.h) with all its parts and,
    // when nSkip is 2, its reference point and information offset; false when the walk was
    // cut short (a polygon cut short is not handed out).
    bool Visit(FeatureVisitor& visitor, uint8_t nSkip, uint8_t Key_Entry_Adjustment);

    POLRec PR;

private:
    // The record loop of Draw and Visit over the cells WalkRecordCells visits. For every
    // polygon whose key code (adjusted) wanted(k) accepts: start(c, r, k, extra) with its nSkip
    // extra records (read when readExtra is set, else passed over and null), part(points) for
    // each part as it is read, end() after the last. The others are passed over.
    template <class Wanted, class Start, class Part, class End>
    void WalkPolygons(uint8_t nSkip, bool readExtra, uint8_t Key_Entry_Adjustment, Wanted&& wanted, Start&& start,
                      Part&& part, End&& end);

    void DrawPart(const std::vector<Point>& pts, bool Filled, int k, corvane::Colour background);
    // Reads the n records of a polygon into the outline layout of SearchResult; returns the
    // point count of the last part.
    int32_t ReadOutline(int32_t n, std::vector<Point>& outline);

    std::vector<CellOffset> part_;   // the points of the part being read
};

} // namespace corvane
