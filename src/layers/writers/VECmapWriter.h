#pragma once
// Writes vector line layers (the format VECmap reads) from polylines in degrees.
//
//   HdrRec h = VECmapWriter::HeaderFor("COAST-FULL", -90, 90, -180, 180);
//   VECmapWriter w(h);
//   w.AddPolyline(1, {{51.0, -1.5}, {51.2, -1.1}, ...});   // key code, points (lat, lon)
//   w.Save(path);
//
// Each polyline is split where it crosses a cell edge: every piece becomes a segment of the
// cell it lies in, starting and ending on the shared edge, so that every offset fits 16 bits
// and the pieces join up when drawn. Parts of a line outside the grid are left out. A
// segment holds at most 4500 points (the most a reader draws of one segment): a longer piece
// continues in a further segment from its last point. Points that fall on the same layer
// unit as the point before are dropped, and a piece of fewer than two points is not written.
// Every cell's data ends with the cell end record. Polylines are placed as they come, so a
// large input need not be held in memory at once; only the encoded cells are.
#include "layers/MapVEC.h"
#include "layers/writers/LayerFileWriter.h"

#include <string>
#include <vector>

namespace corvane {

class VECmapWriter {
public:
    struct Vertex {
        double lat = 0.0;   // degrees, north positive
        double lon = 0.0;   // degrees, east positive
    };

    // A header for a region (degrees): cells of cellSize millionths of a degree (one degree,
    // larger when the region needs more than 100 rows or columns), and the finest layer unit
    // not below finestUnit for which a cell side fits 16 bits.
    static HdrRec HeaderFor(const std::string& DatasetID, double minLat, double maxLat, double minLon, double maxLon,
                            int32_t finestUnit = 1, int32_t cellSize = 1000000);

    // Throws std::invalid_argument when the header's grid is unusable or a cell side is more
    // than 65535 layer units (its offsets would not fit).
    explicit VECmapWriter(const HdrRec& header);

    const HdrRec& Header() const { return file_.Header(); }

    // Adds a polyline of key code key (0..65534; 65535 ends a cell). Throws
    // std::invalid_argument for another key or a point that is not a finite number, and
    // std::logic_error once the file has been finished.
    void AddPolyline(int32_t key, const std::vector<Vertex>& points);

    // Segments written so far (after splitting).
    int64_t Segments() const { return segments_; }

    // Ends every cell and gives the file (or writes it through a temporary file). No polyline
    // can be added after this.
    std::vector<uint8_t> Bytes();
    bool Save(const std::string& nativePath, std::string* error = nullptr);

private:
    struct Unit {
        uint16_t lat, lon;
        bool operator==(const Unit& o) const { return lat == o.lat && lon == o.lon; }
    };
    void Finish();
    void Flush(uint16_t key);
    Unit UnitsIn(int32_t c, int32_t r, double x, double y) const;

    LayerFileWriter file_;
    bool finished_ = false;
    int64_t segments_ = 0;
    double cellSide_ = 0.0;    // GridCellSize, millionths of a degree
    uint16_t sideUnits_ = 0;   // a cell side in layer units
    // The piece being gathered: its cell and points.
    int32_t cellC_ = -1, cellR_ = -1;
    std::vector<Unit> piece_;
};

} // namespace corvane
