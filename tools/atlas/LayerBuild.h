#pragma once
// Turning what was read from a source into the content of one layer file: key codes from a
// constant or an attribute, label texts and query information from templates, the fields and
// wanted cell side of the header. No GDAL here; the features come from GdalSources (or a
// test), and the writers of src/layers/writers take the result.
#include "AtlasDescription.h"
#include "GdalSources.h"
#include "LayerData.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace corvane::atlas {

class LayerCodes;

struct LayerBuildResult {
    LayerContent content;
    std::unique_ptr<InfoFileBuilder> info;   // for layers with information, else none
    size_t used = 0;                         // features or raster units that went in
    LeftOut leftOut;                         // features left out, by reason
    std::map<int, size_t> keyCodes;          // vector layers: features of each key code
    std::vector<std::string> warnings;       // one line per kind of problem, with a count
    std::shared_ptr<LayerCodes> rasterCodes; // raster layers: the codes, counted as they are read
    // Polygon layers: the source feature of each polygon (for cutting along the grid).
    std::vector<size_t> polygonSource;
};

// The query lines of the theme whose data set uses the layer decide whether headed records
// carry values (the first line's data type 1 or 10); queryLines may be empty otherwise.
LayerBuildResult BuildVectorLayer(const AtlasDescription& atlas, const LayerSpec& layer,
                                  const std::vector<QueryLineSpec>& queryLines, const VectorSource& source);

// A raster layer: its geometry, header fields and codes. The codes are read from the source
// while the writer walks the cells (LayerCodes), so that no raster is held whole; the
// counts of used units and the warnings are complete once the layer has been written.
LayerBuildResult BuildRasterLayer(const AtlasDescription& atlas, const LayerSpec& layer,
                                  std::shared_ptr<RasterValueSource> source);

// The key codes of a raster layer, window by window: no data and sea 0, land 1 (type 2,
// the layer's land values or any value but 0), or the value itself as a key code 0..31
// (type 3; any other value is written as 0 and counted).
class LayerCodes : public RasterSource {
public:
    LayerCodes(const LayerSpec& layer, std::shared_ptr<RasterValueSource> source);
    void ReadWindow(int64_t column, int64_t row, int32_t width, int32_t height, uint8_t* out) override;
    size_t Used() const { return used_; }            // units with a code other than 0
    std::map<int, size_t> CodeCounts() const;        // units of each code other than 0
    std::vector<std::string> Warnings() const;

private:
    int dataType_;
    std::vector<int32_t> landValues_;
    std::shared_ptr<RasterValueSource> source_;
    std::vector<int32_t> buffer_;
    size_t used_ = 0, outside_ = 0;
    size_t perCode_[32] = {};
};

// ---- what a layer file can hold ----------------------------------------------------------

// A layer with a cell side of its own (cell = degrees) must fit the area in at most 100 x
// 100 cells of that side; the writers would otherwise take larger cells. Throws
// std::invalid_argument naming the layer, the area and the cells needed.
void CheckGridFits(const LayerSpec& layer, const Region& area);

// Refuses a vector layer that names a field its source does not have at all (a typing error
// in the description: every feature would be left out, or its text left empty), naming the
// field, what names it and the fields the source has.
void CheckFieldsInSource(const LayerSpec& layer, const std::vector<std::string>& fields);

// The grid the polygon writer will lay over these polygons (their points and, for types 7
// and 9, their reference points), with the layer's cell side.
LayerGrid PolygonGrid(const LayerContent& c);

// With a precision of its own, every polygon must reach from the corner of its cell to its
// farthest point within 65534 units of that precision. Throws FeatureError naming the first
// polygon that does not.
void CheckPolygonUnits(const LayerSpec& layer, const LayerContent& c);

// Splits a polygon whose parts are more than the writer takes into several with the same
// key, reference point and information: parts of more than maxPartPoints points become
// pieces that share their end points (lines only: outlines are drawn as open lines), and
// the parts are shared out so that no polygon holds more than maxRecords point and
// separator records.
std::vector<PolygonFeature> ChunkPolygon(const PolygonFeature& f, size_t maxPartPoints, size_t maxRecords);

// The theme and its query lines whose data set names the layer (the first such theme).
const ThemeSpec* ThemeOfLayer(const AtlasDescription& atlas, const std::string& layerName);

// For each data set of a theme that draws the layer: the key codes of its features that,
// with the data set's key adjustment, pick no entry of the theme's key, and how many
// features carry each, and what the viewer makes of them (no line or symbol, or black). One
// line per data set, naming the theme; none when every code has an entry.
std::vector<std::string> CodesWithoutKeyEntry(const AtlasDescription& atlas, const std::string& layerName,
                                              const std::map<int, size_t>& codes, const char* counted = "feature");

} // namespace corvane::atlas
