#pragma once
// Reading the sources of an atlas through GDAL/OGR: vector features (points, lines,
// polygons with their parts and holes, with their attributes) and raster bands of integers,
// in degrees of longitude and latitude, cut to a region. Any format GDAL reads will do
// (GeoJSON, Shapefile, GeoPackage, the OGR/GMT text format, GeoTIFF, netCDF, ...);
// sources in another coordinate system are transformed to WGS 84 longitude and latitude.
#include "AtlasDescription.h"
#include "LayerData.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace corvane::atlas {

struct SourceFeature {
    enum Kind { Point, Line, Polygon };
    Kind kind = Point;
    // Point: one part of one point. Line: one part per line string. Polygon: the rings of
    // every polygon, outer ring first, then its holes.
    std::vector<GeoLine> parts;
    // Polygon: where each polygon's rings begin in parts (its outer ring, then its holes).
    std::vector<size_t> polygonStarts;
    // Polygon: a point inside the (largest) polygon, for reference points.
    GeoPoint inside;
    // Attribute values as text (integers in decimal, reals as GDAL formats them); fields
    // that are null are missing.
    std::map<std::string, std::string> attributes;
    // Its place among the features read from the source (from 1), for messages.
    size_t number = 0;
    // Its "name" attribute, or empty.
    std::string Name() const
    {
        auto it = attributes.find("name");
        return it == attributes.end() ? std::string() : it->second;
    }
};

struct VectorSource {
    std::vector<SourceFeature> features;
    Region extent;                     // of the features read (after cutting)
    std::vector<std::string> fields;   // attribute names of the layer
    LeftOut leftOut;                   // features without geometry, or outside the region
};

// Reads the features of one layer of a vector source (the first when layer is empty),
// keeping those that pass the attribute filter `where` (OGR SQL) and cutting lines and
// polygons to the region. False with a message when the source cannot be read.
bool ReadVectorSource(const std::string& path, const std::string& layer, const std::string& where,
                      const std::optional<Region>& region, VectorSource& out, std::string& error);

// One band of a raster as whole numbers, read window by window: rows from north to south
// (as the run-length writers read them); west and north are the outer edges of the first
// pixel. A band of the whole world at 1' would take about a gigabyte held at once.
class RasterValueSource {
public:
    virtual ~RasterValueSource() = default;
    // Fills out (width x height values, row by row from the north) with the pixels of
    // columns column..column + width - 1 and rows row..row + height - 1, inside the raster.
    // Throws std::runtime_error when the source cannot be read.
    virtual void ReadValues(int64_t column, int64_t row, int32_t width, int32_t height, int32_t* out) = 0;

    double west = 0, north = 0;
    double unitLon = 0, unitLat = 0;
    int32_t cols = 0, rows = 0;
    std::optional<int32_t> noData;
};

// A band held in memory (small rasters, tests).
struct RasterValues : RasterValueSource {
    std::vector<int32_t> values;   // cols x rows, row by row from the north
    void ReadValues(int64_t column, int64_t row, int32_t width, int32_t height, int32_t* out) override
    {
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                out[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                    values.at(static_cast<size_t>(row + y) * static_cast<size_t>(cols) + static_cast<size_t>(column + x));
    }
};

// Opens one band of a north-up raster in degrees, cut to the whole units inside the region.
// Null with a message when it cannot be read.
std::unique_ptr<RasterValueSource> OpenRasterSource(const std::string& path, int band, const std::optional<Region>& region,
                                                    std::string& error);

// A short description of a source for corvane-atlas inspect: layers, feature counts,
// geometry types, fields and extents; or bands, size, units and value range.
std::string DescribeSource(const std::string& path);

} // namespace corvane::atlas
