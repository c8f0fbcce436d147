#pragma once
// Writes vector line layers (the format VECmap reads) from polylines in degrees.
//
//   LayerWriteOptions o;
//   o.Header.DatasetID = "COAST-FULL";
//   VECmapWriter w(o, -90, 90, -180, 180);                  // the region the lines lie in
//   w.AddPolyline(1, {{51.0, -1.5}, {51.2, -1.1}, ...});     // key code, points (Lat, Lon)
//   w.Save(path);
//
// Each polyline is split where it crosses a cell edge: every piece becomes a segment of the
// cell it lies in, starting and ending on the shared edge, so that every offset fits 16 bits
// and the pieces join up when drawn. Parts of a line outside the grid are left out. A
// segment holds at most 4500 points (the most a reader draws of one segment): a longer piece
// continues in a further segment from its last point. Points that fall on the same layer
// unit as the point before are dropped, and a piece of fewer than two points is not written.
// Every cell's data ends with the cell end record. Polylines are placed as they come, so a
// large input need not be held in memory at once; only the encoded cells are (and, while
// Bytes or Save runs, one copy of them).
#include "layers/MapVEC.h"
#include "layers/writers/FeatureWriter.h"

#include <string>
#include <vector>

namespace corvane {

class VECmapWriter : public FeatureFileWriter {
public:
    // A writer for the region minLat..maxLat, minLon..maxLon (degrees): a grid of cells of
    // options.CellSize (larger when the region needs more than 100 across), the finest unit
    // not below options.FinestUnit for which a cell side fits 16 bits, and the descriptive
    // header fields of options.Header. Throws std::invalid_argument for a region or options
    // that cannot be laid out.
    VECmapWriter(const LayerWriteOptions& options, double minLat, double maxLat, double minLon, double maxLon);

    const HdrRec& Header() const { return file_.Header(); }

    // Adds a polyline of key code 1..50, split at the cell edges it crosses; its parts outside
    // the region are left out. Throws FeatureError naming the polyline (by its number among
    // those added, from 1) for another key code or a point that is not within -1000..1000
    // degrees.
    void AddPolyline(int key, const std::vector<GeoPoint>& points);

    // Segments written so far (after splitting).
    int64_t Segments() const { return segments_; }

private:
    struct Unit {
        uint16_t lat, lon;
        bool operator==(const Unit& o) const { return lat == o.lat && lon == o.lon; }
    };
    LayerFileWriter Build() const override;   // every cell ended
    void Flush(uint16_t key);
    Unit UnitsIn(int32_t c, int32_t r, double x, double y) const;

    LayerGrid grid_;
    LayerFileWriter file_;
    int64_t lines_ = 0, segments_ = 0;
    double cellSide_ = 0.0;    // GridCellSize, millionths of a degree
    uint16_t sideUnits_ = 0;   // a cell side in layer units
    // The piece being gathered: its cell and points.
    int32_t cellC_ = -1, cellR_ = -1;
    std::vector<Unit> piece_;
};

} // namespace corvane
