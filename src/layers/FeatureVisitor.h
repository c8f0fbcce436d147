#pragma once
// Handing out the features of a layer instead of drawing them. Each reader has, beside Draw,
// a Visit that walks every cell of the file (not only those of a map's extents) with the same
// record loop its drawing uses, and hands each feature to a FeatureVisitor: in layer units
// within its cell, with the cell's place so that the visitor gets longitude and latitude
// exactly as the drawing places them (the cell's south-west corner plus the offsets times the
// layer unit).
//
// Key codes are handed out with the data set's key adjustment added, and also when the key
// switches the item off or has no item for them: what to do with those is the visitor's
// choice. Bounded work and damage are as for a drawing: Visit returns false when the walk was
// cut short, and the reader's Damaged() tells that the file was found damaged on the way.
#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

// A grid cell of a layer: its column and row, the degrees of its south-west corner and the
// degrees of one layer unit (the unit of every record offset, in both directions).
struct FeatureCell {
    int32_t Column = 0, Row = 0;
    double South = 0.0, West = 0.0;
    double Unit = 0.0;
    double LatOf(double units) const { return South + units * Unit; }
    double LonOf(double units) const { return West + units * Unit; }
};

// A position inside a cell: layer units north (Lat) and east (Lon) of its south-west corner.
struct CellOffset {
    uint16_t Lat = 0;
    uint16_t Lon = 0;
};

// A label as its record holds it: the text's bytes as stored (see the layer for their code
// page), the two-bit justifications and size steps and the zoom trigger.
struct VisitedLabel {
    CellOffset At;
    std::string Text;
    uint8_t hJust = 0, vJust = 0, bWidth = 0, bHeight = 0;
    uint16_t TriggerScale = 0;
    uint16_t TextAngle = 0;
};

// The cell raster of a run-length layer: units of CellColumns x CellRows per cell, each
// UnitLon x UnitLat degrees, numbered from the cell's south-west corner.
struct RasterCell {
    int32_t Column = 0, Row = 0;
    double South = 0.0, West = 0.0;
    double UnitLon = 0.0, UnitLat = 0.0;
    int64_t CellColumns = 0, CellRows = 0;
};

class FeatureVisitor {
public:
    virtual ~FeatureVisitor() = default;
    // A line of the vector layer, all its points.
    virtual void Line(const FeatureCell&, int /*key*/, const std::vector<CellOffset>& /*points*/) {}
    // A polygon: its parts as stored (each part a ring, holes as parts of their own). For the
    // layers that carry them, the reference point and the information offset (else -1).
    virtual void Polygon(const FeatureCell&, int /*key*/, const std::vector<std::vector<CellOffset>>& /*parts*/,
                         const CellOffset* /*reference*/, int64_t /*infoOffset*/)
    {
    }
    // A point symbol; infoOffset -1 for a layer without information.
    virtual void Point(const FeatureCell&, int /*key*/, CellOffset /*at*/, int64_t /*infoOffset*/) {}
    virtual void Label(const FeatureCell&, int /*key*/, const VisitedLabel&) {}
    // count units of a raster cell carry key, from unit column firstColumn of unit row unitRow
    // on, row by row (a run goes on at the west end of the next row; it never passes the
    // cell's last unit). A whole cell is one run from its first unit. The land layer hands
    // out its land as key 1; no data and sea are not handed out.
    virtual void RasterRun(const RasterCell&, int64_t /*unitRow*/, int64_t /*firstColumn*/, int64_t /*count*/,
                           int /*key*/)
    {
    }
};

} // namespace corvane
