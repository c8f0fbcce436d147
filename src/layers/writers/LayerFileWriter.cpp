#include "layers/writers/LayerFileWriter.h"

#include "platform/Rounding.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace corvane {

void PutU8(std::vector<uint8_t>& out, uint8_t v) { out.push_back(v); }

void PutU16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutI32(std::vector<uint8_t>& out, int32_t v)
{
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>((u >> (8 * i)) & 0xFF));
}

void PutFixedText(std::vector<uint8_t>& out, const std::string& s, size_t width)
{
    for (size_t i = 0; i < width; ++i) out.push_back(i < s.size() ? static_cast<uint8_t>(s[i]) : uint8_t{' '});
}

std::vector<uint8_t> EncodeHeader(const HdrRec& h)
{
    std::vector<uint8_t> out;
    out.reserve(kLayerHeaderSize);
    PutFixedText(out, h.DatasetID, 12);
    for (int32_t v : {h.LatOrig, h.LonOrig, h.ScaleOrig, h.GridCellSize, h.NumRows, h.NumCols, h.HPrecision,
                      h.VPrecision, h.AssDataType})
        PutI32(out, v);
    PutFixedText(out, h.AssDataFilename, 12);
    for (int32_t v : h.NotUsed) PutI32(out, v);
    PutI32(out, h.DateOrig);
    return out;
}

namespace {

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

void CheckDegrees(double v)
{
    if (!std::isfinite(v) || v < -1000.0 || v > 1000.0)
        throw std::invalid_argument("layer grid: degrees outside -1000..1000");
}

} // namespace

LayerGrid ChooseGrid(double minLat, double maxLat, double minLon, double maxLon, int32_t cellSize)
{
    for (double v : {minLat, maxLat, minLon, maxLon}) CheckDegrees(v);
    if (minLat > maxLat || minLon > maxLon) throw std::invalid_argument("layer grid: minimum above maximum");
    if (cellSize < 1) throw std::invalid_argument("layer grid: cell size below 1");
    const auto lo = [](double deg) { return static_cast<int64_t>(std::floor(deg * 1000000)); };
    const auto hi = [](double deg) { return static_cast<int64_t>(std::ceil(deg * 1000000)); };
    const int64_t latLo = lo(minLat), latHi = hi(maxLat), lonLo = lo(minLon), lonHi = hi(maxLon);

    int64_t cell = cellSize;
    LayerGrid g;
    for (;;) {
        const int64_t latOrig = FloorDiv(latLo, cell) * cell;
        const int64_t lonOrig = FloorDiv(lonLo, cell) * cell;
        const int64_t rows = std::max<int64_t>(1, CeilDiv(latHi - latOrig, cell));
        const int64_t cols = std::max<int64_t>(1, CeilDiv(lonHi - lonOrig, cell));
        if (rows <= kMaxGridCells && cols <= kMaxGridCells) {
            g.LatOrig = static_cast<int32_t>(latOrig);
            g.LonOrig = static_cast<int32_t>(lonOrig);
            g.GridCellSize = static_cast<int32_t>(cell);
            g.NumRows = static_cast<int32_t>(rows);
            g.NumCols = static_cast<int32_t>(cols);
            return g;
        }
        // Cells of a 99th of the span or more need at most 100 rows and columns even with the
        // origin moved down to a multiple of the cell size.
        const int64_t span = std::max(latHi - latLo, lonHi - lonLo);
        cell = std::max(cell + 1, CeilDiv(span, kMaxGridCells - 1));
    }
}

int32_t ChooseHPrecision(int32_t gridCellSize, int32_t finest)
{
    if (gridCellSize < 1) throw std::invalid_argument("layer unit: cell size below 1");
    return static_cast<int32_t>(std::max<int64_t>({1, finest, CeilDiv(gridCellSize, 65535)}));
}

HdrRec LayerHeader(const std::string& DatasetID, const LayerGrid& grid, int32_t HPrecision)
{
    HdrRec h;
    h.DatasetID = DatasetID.substr(0, 12);
    h.LatOrig = grid.LatOrig;
    h.LonOrig = grid.LonOrig;
    h.GridCellSize = grid.GridCellSize;
    h.NumRows = grid.NumRows;
    h.NumCols = grid.NumCols;
    h.HPrecision = HPrecision;
    return h;
}

namespace {

// Cell and offset of one coordinate along one axis; false outside the grid.
bool LocateAxis(double degrees, int32_t origin, int32_t cell, int32_t count, int32_t unit, int32_t& index,
                uint16_t& offset)
{
    if (!std::isfinite(degrees) || cell < 1 || unit < 1 || count < 1) return false;
    const double micro = degrees * 1000000;
    const double rel = micro - origin;
    const double end = static_cast<double>(cell) * count;
    if (rel < 0.0 || rel > end) return false;
    int64_t i = static_cast<int64_t>(std::floor(rel / cell));
    if (i >= count) i = count - 1;   // on the north or east edge of the grid
    const int64_t units = Round((rel - static_cast<double>(i) * cell) / unit);
    if (units < 0 || units > 65535) return false;
    index = static_cast<int32_t>(i);
    offset = static_cast<uint16_t>(units);
    return true;
}

} // namespace

bool LocatePosition(const HdrRec& h, double lat, double lon, CellPosition& out)
{
    CellPosition p;
    if (!LocateAxis(lat, h.LatOrig, h.GridCellSize, h.NumRows, h.HPrecision, p.Row, p.Lat)) return false;
    if (!LocateAxis(lon, h.LonOrig, h.GridCellSize, h.NumCols, h.HPrecision, p.Column, p.Lon)) return false;
    out = p;
    return true;
}

LayerFileWriter::LayerFileWriter(const HdrRec& header, LayerLayout layout) : header_(header), layout_(layout)
{
    if (header.NumRows < 1 || header.NumRows > kMaxGridCells || header.NumCols < 1 || header.NumCols > kMaxGridCells)
        throw std::invalid_argument("layer file: the grid must have 1 to 100 rows and columns");
    if (header.GridCellSize < 1 || header.HPrecision < 1)
        throw std::invalid_argument("layer file: cell size and HPrecision must be at least 1");
    if (layout.entryUnit < 1 || layout.blockSize < 1)
        throw std::invalid_argument("layer file: entry unit and block size must be at least 1");
    const size_t n = static_cast<size_t>(header.NumRows) * static_cast<size_t>(header.NumCols);
    cells_.resize(n);
    entries_.assign(n, 0);
}

size_t LayerFileWriter::Slot(int32_t c, int32_t r) const
{
    if (c < 0 || c >= header_.NumCols || r < 0 || r >= header_.NumRows)
        throw std::out_of_range("layer file: cell outside the grid");
    return static_cast<size_t>(c) * static_cast<size_t>(header_.NumRows) + static_cast<size_t>(r);
}

std::vector<uint8_t>& LayerFileWriter::Cell(int32_t c, int32_t r) { return cells_[Slot(c, r)]; }

void LayerFileWriter::SetEntry(int32_t c, int32_t r, int32_t value) { entries_[Slot(c, r)] = value; }

std::vector<uint8_t> LayerFileWriter::Bytes() const
{
    std::vector<uint8_t> out = EncodeHeader(header_);
    const size_t indexAt = out.size();
    out.resize(indexAt + 4 * cells_.size());
    std::vector<int32_t> index = entries_;
    const size_t unit = static_cast<size_t>(layout_.entryUnit);
    for (size_t i = 0; i < cells_.size(); ++i) {
        if (cells_[i].empty()) continue;
        size_t at = std::max(out.size(), unit);
        at = (at + unit - 1) / unit * unit;
        const size_t entry = at / unit;
        if (entry > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
            throw std::length_error("layer file: cell position beyond the reach of an index entry");
        out.resize(at);
        index[i] = static_cast<int32_t>(entry);
        out.insert(out.end(), cells_[i].begin(), cells_[i].end());
    }
    const size_t block = static_cast<size_t>(layout_.blockSize);
    out.resize((out.size() + block - 1) / block * block);
    std::vector<uint8_t> idx;
    idx.reserve(4 * index.size());
    for (int32_t v : index) PutI32(idx, v);
    std::copy(idx.begin(), idx.end(), out.begin() + static_cast<std::ptrdiff_t>(indexAt));
    return out;
}

bool LayerFileWriter::Save(const std::string& nativePath, std::string* error) const
{
    const std::vector<uint8_t> bytes = Bytes();
    return WriteFileAtomic(nativePath, std::string(bytes.begin(), bytes.end()), error);
}

} // namespace corvane
