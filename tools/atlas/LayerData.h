#pragma once
// What corvane-atlas hands to the layer format writers: the features of one layer in
// geometric terms (degrees, key codes, information offsets), already clipped to the layer's
// region, together with the header (grid, unit, identity) they are to be written with.
// Nothing here knows GDAL: the source readers (GdalSources.h) fill these structures, and
// the tests build them by hand.
#include "layers/MapGen.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace corvane::atlas {

struct GeoPoint {
    double lat = 0;
    double lon = 0;
};
using GeoLine = std::vector<GeoPoint>;

// Vector lines (type 1): one polyline with its key code. The writer splits it at cell
// edges (adding the crossing points) and into segments of at most 4500 points.
struct KeyedPolyline {
    uint8_t key = 1;
    GeoLine points;
};

// Point symbols (type 5) and symbols with information (type 4).
struct KeyedPoint {
    GeoPoint position;
    uint8_t key = 1;
    uint32_t infoOffset = 0;           // type 4 only; 0..16777215
};

// Polygons (types 7, 8, 9): the parts are the rings (outer rings and holes alike: the
// format has no holes, every part is drawn as a figure of its own). The reference point
// and the information offset are written for types 7 and 9 only.
struct KeyedPolygon {
    uint8_t key = 1;
    std::vector<GeoLine> parts;
    GeoPoint reference;
    uint32_t infoOffset = 0;
};

// Labels (type 6). The text is already Windows-1252, at most 255 bytes.
struct LabelItem {
    GeoPoint anchor;
    uint8_t key = 1;
    uint16_t triggerScale = 0;         // screen pixels per degree of longitude
    uint16_t angle = 0;
    uint8_t width = 0;                 // bWidth (not drawn)
    uint8_t height = 0;                // bHeight: size step 0..3
    uint8_t vJust = 0;                 // 0 above, 1 middle, 2 low, 3 below the anchor
    uint8_t hJust = 0;                 // 0 from, 1 centred on, 2 ending at the anchor
    std::string text;
};

// A raster of key codes for the run-length formats: land (1) and sea (0) for type 2, key
// codes 0..31 for type 3 (0: nothing drawn). Rows run from south to north, columns from
// west to east; unit (col, row) covers longitudes west + col x unitLon to west +
// (col + 1) x unitLon, and latitudes likewise from south.
struct KeyRaster {
    double west = 0, south = 0;
    double unitLon = 0, unitLat = 0;
    int32_t cols = 0, rows = 0;
    std::vector<uint8_t> codes;        // rows x cols, row 0 first

    uint8_t At(int32_t col, int32_t row) const
    {
        return codes[static_cast<size_t>(row) * static_cast<size_t>(cols) + static_cast<size_t>(col)];
    }
};

// One layer ready for its writer: the header and one of the feature lists, by data type.
struct LayerContent {
    int dataType = 0;
    HdrRec header;
    std::vector<KeyedPolyline> lines;      // 1
    KeyRaster raster;                      // 2, 3
    std::vector<KeyedPoint> points;        // 4, 5
    std::vector<LabelItem> labels;         // 6
    std::vector<KeyedPolygon> polygons;    // 7, 8, 9
};

// ---- the grid of a layer --------------------------------------------------------------------

// The grid and unit for a record layer (types 1, 4 to 9) over a region: cells of
// cellDegrees (0: the smallest whole number of thousandths of a degree that keeps the grid
// within 100 x 100 cells), and the finest unit not below `precision` (0: 1) for which every
// offset in a cell fits 16 bits. Throws std::invalid_argument on a region it cannot grid.
HdrRec PlanRecordGrid(const std::string& id, double west, double east, double south, double north,
                      double cellDegrees, int32_t precision);

// The grid and units for a run-length layer (types 2, 3) over a raster: the raster's units
// become the layer units (HPrecision, VPrecision), every cell holds a whole number of units
// and lies on the raster's unit grid, the cell side is a whole number of millionths of a
// degree, and the grid stays within 100 x 100 cells. cellDegrees 0 chooses the smallest
// such cell. Throws std::invalid_argument when no cell size satisfies all of these.
HdrRec PlanRasterGrid(const std::string& id, const KeyRaster& raster, double cellDegrees);

// ---- query information files ---------------------------------------------------------------

// Builds the bytes of a query information file (the file in the "DNN" folder beside a
// layer) and the offsets that the layer's records point to.
class InfoFileBuilder {
public:
    explicit InfoFileBuilder(int kind) : kind_(kind) {}

    int Kind() const { return kind_; }
    // Kind 0: a length byte and the text (cut to 255 bytes). Returns the record's offset.
    uint32_t AddLine(const std::string& text);
    // Kinds 1 and 2: the entry count, for kind 2 the display count, then each entry's line
    // code and, when withValues, its value as a length byte and at most 70 bytes. Returns
    // the record's offset.
    struct Entry {
        uint8_t code = 0;
        std::string value;
    };
    uint32_t AddRecord(const std::vector<Entry>& entries, bool withValues, std::optional<uint8_t> displayCount = {});

    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    // Offsets above this do not fit the 24 bits of a symbol record.
    static constexpr uint32_t kMaxOffset = 16777215;

private:
    uint32_t Start();
    int kind_;
    std::vector<uint8_t> bytes_;
};

} // namespace corvane::atlas
