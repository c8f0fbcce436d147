#pragma once
// Writes polygon layers: data type 7 (outlines with a reference point and an information
// offset, searchable), 8 (filled, without them) and 9 (filled, with them).
//
// Each polygon is stored whole in one cell: the cell that holds the south-west corner of its
// bounding box (reference point included), its points given as offsets from that cell's
// corner. The layer unit is chosen so that the farthest point of every polygon still fits
// (offsets up to 65534, since 65535 marks a separator). A polygon is drawn only when its
// cell is inside the map, so a compiler that wants large polygons to show when zoomed in
// away from their south-west corner should split them along the grid first.
//
// Limits checked by Add (FeatureError naming the polygon): key code 1..50; at least one
// part, each of 1 to 6400 points (the readers draw at most 6400 points of a part); at most
// 65535 point and separator records; for type 7 at most 6398 records, so that the outline a
// query flashes fits its 6400 slots; information offsets of 24 bits. Outlines (type 7) are
// drawn as open lines: a closed ring repeats its first point at the end, as GIS rings do.
#include "layers/writers/FeatureWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

struct PolygonFeature {
    int KeyCode = 1;                            // 1..50
    std::vector<std::vector<GeoPoint>> Parts;   // rings or lines, each 1..6400 points
    GeoPoint Reference;                         // types 7 and 9: where a query finds it
    int64_t InfoOffset = 0;                     // types 7 and 9: 0..16777215
    std::string Name;                           // names the polygon in errors only
};

class PolygonFileWriter : public FeatureFileWriter {
public:
    static constexpr int32_t kMaxPartPoints = 6400;
    static constexpr int32_t kMaxRecords = 65535;
    static constexpr uint16_t kMaxOffset = 65534;

    // dataType 7, 8 or 9 (std::invalid_argument otherwise).
    PolygonFileWriter(const LayerWriteOptions& options, int dataType);
    void Add(const PolygonFeature& f);
    size_t Count() const { return polygons_.size(); }
    // Extra records per polygon the readers are to skip: 2 for types 7 and 9, 0 for type 8.
    uint8_t nSkip() const { return withReference_ ? 2 : 0; }

private:
    struct Stored {
        uint8_t key;
        uint32_t firstPart;   // into partSizes_
        uint32_t parts;
        size_t firstPoint;    // into points_
        uint32_t records;     // points and separators
        GeoPoint reference;
        uint32_t info;
        GeoPoint sw, ne;      // bounding box, reference point included
    };
    LayerFileWriter Build() const override;

    int dataType_;
    bool withReference_;
    std::vector<Stored> polygons_;
    std::vector<uint32_t> partSizes_;
    std::vector<GeoPoint> points_;
};

} // namespace corvane
