#include "LayerData.h"

#include "layers/writers/LayerFileWriter.h"

#include <cmath>
#include <stdexcept>

namespace corvane::atlas {

HdrRec PlanRecordGrid(const std::string& id, double west, double east, double south, double north,
                      double cellDegrees, int32_t precision)
{
    if (!(west < east) || !(south < north) || !std::isfinite(west + east + south + north))
        throw std::invalid_argument("the region is empty or not finite");
    int32_t cell = 0;
    if (cellDegrees > 0) {
        cell = static_cast<int32_t>(std::llround(cellDegrees * 1e6));
    } else {
        // The smallest cell in thousandths of a degree that needs at most 100 cells a side;
        // one more thousandth when the origin, put on a multiple of the cell, needs more.
        const double span = std::max(east - west, north - south);
        cell = static_cast<int32_t>(std::ceil(span / kMaxGridCells * 1000.0 - 1e-9)) * 1000;
    }
    if (cell < 1) throw std::invalid_argument("the cell size is below a millionth of a degree");
    LayerGrid grid = ChooseGrid(south, north, west, east, cell);
    while (cellDegrees <= 0 && (grid.NumRows > kMaxGridCells || grid.NumCols > kMaxGridCells)) {
        cell += 1000;
        grid = ChooseGrid(south, north, west, east, cell);
    }
    if (cellDegrees > 0 && grid.GridCellSize != cell)
        throw std::invalid_argument("cells of " + std::to_string(cellDegrees) +
                                    " degree need more than 100 rows or columns over the region");
    return LayerHeader(id, grid, ChooseHPrecision(grid.GridCellSize, precision > 0 ? precision : 1));
}

HdrRec PlanRasterGrid(const std::string& id, const KeyRaster& raster, double cellDegrees)
{
    if (raster.cols < 1 || raster.rows < 1 || !(raster.unitLon > 0) || !(raster.unitLat > 0))
        throw std::invalid_argument("the raster is empty");
    const double uLon = raster.unitLon * 1e6, uLat = raster.unitLat * 1e6;   // millionths
    const double west = raster.west * 1e6, south = raster.south * 1e6;
    if (std::fabs(west - std::round(west)) > 1e-3 || std::fabs(south - std::round(south)) > 1e-3)
        throw std::invalid_argument("the raster's corner is not on a millionth of a degree");
    const int32_t hPrec = static_cast<int32_t>(std::llround(uLon));
    const int32_t vPrec = static_cast<int32_t>(std::llround(uLat));
    if (hPrec < 1 || vPrec < 1) throw std::invalid_argument("the raster's units are below a millionth of a degree");

    // k units of longitude a cell; the cell must also hold a whole number of latitude units.
    auto fits = [&](int64_t k, int32_t& cell, int32_t& kLat) {
        const double c = static_cast<double>(k) * uLon;
        if (std::fabs(c - std::round(c)) > 1e-3 || c > 360e6) return false;
        if (cellDegrees > 0 && std::fabs(c - cellDegrees * 1e6) > 1e-3) return false;
        cell = static_cast<int32_t>(std::llround(c));
        const double kl = cell / uLat;
        if (std::fabs(kl - std::round(kl)) > 1e-6) return false;
        kLat = static_cast<int32_t>(std::llround(kl));
        // The readers count the units of a cell as round(cell / unit).
        return std::llround(static_cast<double>(cell) / hPrec) == k &&
               std::llround(static_cast<double>(cell) / vPrec) == kLat;
    };
    int64_t first = 1, last = 400000;
    if (cellDegrees > 0) first = last = std::llround(cellDegrees * 1e6 / uLon);
    for (int64_t k = std::max<int64_t>(first, 1); k <= last; ++k) {
        int32_t cell = 0, kLat = 0;
        if (!fits(k, cell, kLat)) continue;
        const int64_t cols = (raster.cols + k - 1) / k, rows = (raster.rows + kLat - 1) / kLat;
        if (cols > kMaxGridCells || rows > kMaxGridCells) continue;
        LayerGrid grid;
        grid.LatOrig = static_cast<int32_t>(std::llround(south));
        grid.LonOrig = static_cast<int32_t>(std::llround(west));
        grid.GridCellSize = cell;
        grid.NumRows = static_cast<int32_t>(rows);
        grid.NumCols = static_cast<int32_t>(cols);
        HdrRec h = LayerHeader(id, grid, hPrec);
        h.VPrecision = vPrec;
        return h;
    }
    throw std::invalid_argument(cellDegrees > 0
        ? "cells of " + std::to_string(cellDegrees) + " degree do not hold a whole number of raster units or need more than 100 cells a side"
        : "no cell size holds a whole number of raster units within 100 x 100 cells");
}

uint32_t InfoFileBuilder::Start()
{
    if (bytes_.size() > kMaxOffset) throw std::length_error("the information file passes 16 MB");
    return static_cast<uint32_t>(bytes_.size());
}

uint32_t InfoFileBuilder::AddLine(const std::string& text)
{
    const uint32_t at = Start();
    const size_t n = std::min<size_t>(text.size(), 255);
    bytes_.push_back(static_cast<uint8_t>(n));
    bytes_.insert(bytes_.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
    return at;
}

uint32_t InfoFileBuilder::AddRecord(const std::vector<Entry>& entries, bool withValues, std::optional<uint8_t> displayCount)
{
    if (entries.size() > 255) throw std::invalid_argument("a record holds at most 255 entries");
    const uint32_t at = Start();
    bytes_.push_back(static_cast<uint8_t>(entries.size()));
    if (kind_ == 2) bytes_.push_back(displayCount ? *displayCount : static_cast<uint8_t>(entries.size()));
    for (const Entry& e : entries) {
        // 0xFE and 0xFF would be read as markers.
        if (e.code >= 0xFE) throw std::invalid_argument("line codes 254 and 255 are markers");
        bytes_.push_back(e.code);
        if (!withValues) continue;
        const size_t n = std::min<size_t>(e.value.size(), 70);
        bytes_.push_back(static_cast<uint8_t>(n));
        bytes_.insert(bytes_.end(), e.value.begin(), e.value.begin() + static_cast<std::ptrdiff_t>(n));
    }
    return at;
}

} // namespace corvane::atlas
