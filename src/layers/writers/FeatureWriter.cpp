#include "layers/writers/FeatureWriter.h"

#include <algorithm>
#include <cmath>

namespace corvane {

void GeoBounds::Add(const GeoPoint& p)
{
    minLat_ = std::min(minLat_, p.Lat);
    maxLat_ = std::max(maxLat_, p.Lat);
    minLon_ = std::min(minLon_, p.Lon);
    maxLon_ = std::max(maxLon_, p.Lon);
}

LayerGrid GeoBounds::Grid(int32_t cellSize) const
{
    if (Empty()) return ChooseGrid(0, 0, 0, 0, cellSize);
    return ChooseGrid(minLat_, maxLat_, minLon_, maxLon_, cellSize);
}

std::string FeatureLabel(const char* kind, size_t number, const std::string& name)
{
    std::string s = std::string(kind) + " " + std::to_string(number);
    if (!name.empty()) s += " \"" + name + "\"";
    return s;
}

void ThrowFeatureError(const std::string& label, const std::string& what) { throw FeatureError(label + ": " + what); }

void CheckPosition(const std::string& label, const GeoPoint& p, const char* what)
{
    for (double v : {p.Lat, p.Lon})
        if (!std::isfinite(v) || v < -1000.0 || v > 1000.0)
            ThrowFeatureError(label, std::string(what) + " is not within -1000..1000 degrees");
}

void CheckKeyCode(const std::string& label, int code)
{
    if (code < 1 || code > kKeyItems)
        ThrowFeatureError(label, "key code " + std::to_string(code) + " is outside 1..50");
}

void CheckInfoOffset(const std::string& label, int64_t offset)
{
    if (offset < 0 || offset > kMaxWritableInfoOffset)
        ThrowFeatureError(label, "information offset " + std::to_string(offset) + " does not fit 24 bits");
}

FeatureFileWriter::FeatureFileWriter(const LayerWriteOptions& options) : options_(options)
{
    if (options.CellSize < 1 || options.FinestUnit < 1)
        throw std::invalid_argument("layer file: cell size and finest unit must be at least 1");
}

HdrRec FeatureFileWriter::MakeHeader(const LayerGrid& grid, int32_t HPrecision) const
{
    HdrRec h = options_.Header;
    const HdrRec g = LayerHeader(h.DatasetID, grid, HPrecision);
    h.DatasetID = g.DatasetID;
    h.LatOrig = g.LatOrig;
    h.LonOrig = g.LonOrig;
    h.GridCellSize = g.GridCellSize;
    h.NumRows = g.NumRows;
    h.NumCols = g.NumCols;
    h.HPrecision = g.HPrecision;
    h.VPrecision = 0;
    return h;
}

std::vector<uint8_t>& FeatureFileWriter::PlacePoint(LayerFileWriter& w, const GeoPoint& at)
{
    CellPosition p;
    // The grid covers every position added, so this holds; a failure is a fault of the writer.
    if (!LocatePosition(w.Header(), at.Lat, at.Lon, p)) throw std::logic_error("layer file: a point fell outside its own grid");
    std::vector<uint8_t>& cell = w.Cell(p.Column, p.Row);
    PutU16(cell, p.Lat);
    PutU16(cell, p.Lon);
    return cell;
}

void FeatureFileWriter::EndCells(LayerFileWriter& w, const std::vector<uint8_t>& endRecord)
{
    const HdrRec& h = w.Header();
    for (int32_t c = 0; c < h.NumCols; ++c)
        for (int32_t r = 0; r < h.NumRows; ++r) {
            std::vector<uint8_t>& cell = w.Cell(c, r);
            if (!cell.empty()) cell.insert(cell.end(), endRecord.begin(), endRecord.end());
        }
}

} // namespace corvane
