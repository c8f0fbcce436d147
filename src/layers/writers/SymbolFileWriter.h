#pragma once
// Writes point symbol layers: plain symbols (data type 5, 5-byte records) or symbols with
// information (data type 4, 8-byte records carrying a 24-bit offset into the query
// information file, split into bits 16..23 and 0..15).
//
//   LayerWriteOptions o;
//   o.Header.DatasetID = "WRECKS";
//   o.Header.AssDataFilename = "WRECKS.DAT";   // the query information file
//   SymbolFileWriter w(o, true);
//   w.Add({50.1, -4.2, 3, 1024, "HMS Example"});
//   w.Save(path);
#include "layers/writers/FeatureWriter.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace corvane {

struct SymbolPoint {
    SymbolPoint() = default;
    SymbolPoint(double lat, double lon, int symbol, int64_t infoOffset = 0, std::string name = {})
        : Lat(lat), Lon(lon), Symbol(symbol), InfoOffset(infoOffset), Name(std::move(name))
    {
    }
    double Lat = 0.0;
    double Lon = 0.0;
    int Symbol = 1;            // key code, 1..50
    int64_t InfoOffset = 0;    // symbols with information: 0..16777215
    std::string Name;          // names the point in errors only
};

class SymbolFileWriter : public FeatureFileWriter {
public:
    // withInformation: data type 4 (8-byte records) rather than 5 (5-byte records).
    SymbolFileWriter(const LayerWriteOptions& options, bool withInformation);
    // Checks and keeps a point; FeatureError naming it when it cannot be written. Points of a
    // cell are stored in the order added.
    void Add(const SymbolPoint& p);
    size_t Count() const { return points_.size(); }

private:
    struct Stored {
        GeoPoint at;
        uint8_t symbol;
        uint32_t info;
    };
    LayerFileWriter Build() const override;

    bool withInformation_;
    std::vector<Stored> points_;
};

} // namespace corvane
