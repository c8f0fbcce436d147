#pragma once
// What corvane-atlas hands to the layer format writers (src/layers/writers): the features of
// one layer in the writers' own terms (degrees, key codes, information offsets), already
// cut to the layer's region, with the descriptive header fields and the cell size wanted.
// The writers choose the grid and the unit. Nothing here knows GDAL: the source readers
// (GdalSources.h) fill these structures, and the tests build them by hand.
#include "layers/writers/FeatureWriter.h"
#include "layers/writers/LabelFileWriter.h"
#include "layers/writers/PolygonFileWriter.h"
#include "layers/writers/RunLengthWriters.h"
#include "layers/writers/SymbolFileWriter.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace corvane::atlas {

using GeoLine = std::vector<GeoPoint>;

// Vector lines (type 1): one polyline with its key code (VECmapWriter::AddPolyline).
struct KeyedPolyline {
    int key = 1;
    GeoLine points;
};

// One layer ready for its writer: the options, and one of the feature lists by data type.
struct LayerContent {
    int dataType = 0;
    LayerWriteOptions options;             // header fields, wanted cell side and finest unit
    GeoPoint south_west, north_east;       // vectors: the area the grid covers
    std::vector<KeyedPolyline> lines;      // 1
    GeoRaster raster;                      // 2, 3: pixels one for one as layer units
    std::shared_ptr<RasterSource> codes;   // 2, 3: land 1 or key 0..31, read window by window
    std::vector<SymbolPoint> points;       // 4, 5
    std::vector<LabelFeature> labels;      // 6
    std::vector<PolygonFeature> polygons;  // 7, 8, 9 (every ring, holes too, is a part)
};

// ---- features left out --------------------------------------------------------------------

// The features of a source that did not go into a layer, counted by reason ("outside the
// region", "no geometry", "key: field kind missing", ...), with the first few of each named
// for --verbose.
class LeftOut {
public:
    // number: the feature's place among those read from the source (from 1), 0 when the
    // feature was never read (a spatial filter left it out); name: its "name" attribute.
    void Add(const std::string& reason, size_t number = 0, const std::string& name = {}, size_t count = 1);
    void Merge(const LeftOut& other);
    size_t Total() const;
    // "2 outside the region, 1 key: field kind missing", in the order of the reasons.
    std::string Reasons() const;
    // "feature 4 "Vesk": outside the region", at most kNamedPerReason for each reason.
    const std::vector<std::string>& Named() const { return named_; }
    static constexpr size_t kNamedPerReason = 10;

private:
    std::map<std::string, size_t> counts_;
    std::vector<std::string> named_;
};

// ---- query information files ---------------------------------------------------------------

// Builds the bytes of a query information file (the file in the "DNN" folder beside a
// layer) and the offsets that the layer's records point to. Adding a record that would
// start beyond the 24 bits of an offset (kMaxWritableInfoOffset) throws std::length_error.
class InfoFileBuilder {
public:
    explicit InfoFileBuilder(int kind) : kind_(kind) {}

    int Kind() const { return kind_; }
    // Kind 0: a length byte and the text (cut to 255 bytes). Returns the record's offset.
    uint32_t AddLine(const std::string& text);
    // Kinds 1 and 2: the entry count, for kind 2 the display count, then each entry's line
    // code and, when withValues, its value as a length byte and at most 70 bytes. Returns
    // the record's offset.
    //
    // An entry marked clearHeaders is preceded by the marker 0xFE, so that the preceding
    // headers of the query lines print again from there. From the first entry marked shared
    // on, the rest of the record is kept once per distinct content: the first record that
    // has it holds it in place, later ones jump to it with the marker 0xFF and its offset.
    // A marker is never followed by another, so a shared entry that clears the headers is
    // written in every record and the sharing starts after it.
    struct Entry {
        uint8_t code = 0;
        std::string value;
        bool clearHeaders = false;
        bool shared = false;
    };
    uint32_t AddRecord(const std::vector<Entry>& entries, bool withValues, std::optional<uint8_t> displayCount = {});

    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    uint32_t Start();
    int kind_;
    std::vector<uint8_t> bytes_;
    std::map<std::vector<uint8_t>, uint32_t> tails_;   // shared rests of records and their offsets
};

} // namespace corvane::atlas
