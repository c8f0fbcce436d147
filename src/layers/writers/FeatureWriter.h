#pragma once
// What the writers of the point, polygon and label formats share: geographic input in
// degrees, the descriptive header fields the caller gives, the bounds of everything added,
// and errors that name the feature that cannot be written.
//
// Every feature writer collects its features with Add (which checks each one at once and
// throws FeatureError naming it when it cannot be stored: a key code outside 1..50, text
// longer than its field, more points than the readers' buffers hold, an information offset
// beyond 24 bits, a position that is not a number), then lays out the file when asked for
// its bytes: a grid over the bounds of all features (ChooseGrid, with cells of the wanted
// size or larger), the finest layer unit for which every offset fits 16 bits, and each
// feature's records in its cell, in the order the features were added.
#include "layers/writers/LayerFileWriter.h"

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace corvane {

struct GeoPoint {
    double Lat = 0.0;   // degrees, north positive
    double Lon = 0.0;   // degrees, east positive
};

// A feature that cannot be written. what() reads like
// "polygon 12 "Reef": part 2 has 7000 points, more than the 6400 a part can hold".
class FeatureError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

struct LayerWriteOptions {
    // DatasetID, ScaleOrig, AssDataType, AssDataFilename, NotUsed and DateOrig are written as
    // given; the grid fields, HPrecision and VPrecision are chosen by the writer.
    HdrRec Header;
    // Wanted side of a grid cell, millionths of a degree; larger when the features' area
    // would need more than 100 cells across.
    int32_t CellSize = 1000000;
    // The finest layer unit wanted, millionths of a degree.
    int32_t FinestUnit = 1;
};

// Bounds of the positions added so far (one point at 0, 0 when nothing was added).
class GeoBounds {
public:
    void Add(const GeoPoint& p);
    bool Empty() const { return minLat_ > maxLat_; }
    LayerGrid Grid(int32_t cellSize) const;

private:
    double minLat_ = std::numeric_limits<double>::infinity(), maxLat_ = -std::numeric_limits<double>::infinity();
    double minLon_ = std::numeric_limits<double>::infinity(), maxLon_ = -std::numeric_limits<double>::infinity();
};

// Names a feature in an error: `kind` and its number among those added (from 1), and its
// name in quotes when it has one.
std::string FeatureLabel(const char* kind, size_t number, const std::string& name);
// Throws FeatureError "<label>: <what>".
[[noreturn]] void ThrowFeatureError(const std::string& label, const std::string& what);
// Positions must be finite and within +-1000 degrees; key codes within 1..50.
void CheckPosition(const std::string& label, const GeoPoint& p, const char* what = "position");
void CheckKeyCode(const std::string& label, int code);
// Information offsets fit 24 bits: 0..16777215.
constexpr int64_t kMaxWritableInfoOffset = 16777215;
void CheckInfoOffset(const std::string& label, int64_t offset);

// Base of the feature writers: Bytes and Save lay out the file through Build.
class FeatureFileWriter {
public:
    explicit FeatureFileWriter(const LayerWriteOptions& options);
    virtual ~FeatureFileWriter() = default;

    // The file laid out: its header (the grid and unit chosen) and cells.
    LayerFileWriter Layout() const { return Build(); }
    // The whole file. Throws std::length_error when it would grow beyond what an index
    // entry can address.
    std::vector<uint8_t> Bytes() const { return Build().Bytes(); }
    // Writes the file through a temporary file; false (and the reason) on failure.
    bool Save(const std::string& nativePath, std::string* error = nullptr) const
    {
        return Build().Save(nativePath, error);
    }

protected:
    virtual LayerFileWriter Build() const = 0;
    // The header for a grid and unit, with the caller's descriptive fields.
    HdrRec MakeHeader(const LayerGrid& grid, int32_t HPrecision) const;
    // Finds the cell of a point of the grid of w (every point added lies in it) and appends
    // its Lat and Lon offsets there; returns the cell for the rest of the record.
    static std::vector<uint8_t>& PlacePoint(LayerFileWriter& w, const GeoPoint& at);
    // Appends the end record to every cell that holds data.
    static void EndCells(LayerFileWriter& w, const std::vector<uint8_t>& endRecord);

    LayerWriteOptions options_;
    GeoBounds bounds_;
};

} // namespace corvane
