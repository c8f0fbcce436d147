#include "layers/writers/RunLengthWriters.h"

#include "platform/Rounding.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace corvane {

MemoryRaster::MemoryRaster(int64_t columns, std::vector<uint8_t> values) : columns_(columns), values_(std::move(values))
{
    if (columns_ < 1 || values_.size() % static_cast<size_t>(columns_) != 0)
        throw std::invalid_argument("raster: the values do not make whole rows");
}

void MemoryRaster::ReadWindow(int64_t column, int64_t row, int32_t width, int32_t height, uint8_t* out)
{
    const int64_t rows = static_cast<int64_t>(values_.size()) / columns_;
    if (column < 0 || row < 0 || width < 0 || height < 0 || column + width > columns_ || row + height > rows)
        throw std::out_of_range("raster: window outside the raster");
    for (int32_t y = 0; y < height; ++y) {
        const auto from = values_.begin() + static_cast<std::ptrdiff_t>((row + y) * columns_ + column);
        std::copy(from, from + width, out + static_cast<ptrdiff_t>(y) * width);
    }
}

namespace {

constexpr double kPixelDrift = 0.001;   // most a cell edge may stray, in pixels over the raster
constexpr int64_t kMostCellUnits = int64_t{1} << 26;   // units of one cell, held while it is encoded

int64_t CeilDiv(int64_t a, int64_t b) { return (a + b - 1) / b; }

bool NearWhole(double v, double tolerance) { return std::fabs(v - std::round(v)) <= tolerance; }

[[noreturn]] void Refuse(const std::string& why) { throw std::invalid_argument("run-length layer: " + why); }

} // namespace

RasterLayerGrid ChooseRasterGrid(const GeoRaster& r, int32_t cellSize)
{
    if (r.Columns < 1 || r.Rows < 1) Refuse("the raster has no pixels");
    if (!(std::isfinite(r.PixelWidth) && std::isfinite(r.PixelHeight) && r.PixelWidth > 0 && r.PixelHeight > 0))
        Refuse("the pixel size must be a positive number of degrees");
    const double east = r.West + static_cast<double>(r.Columns) * r.PixelWidth;
    const double south = r.North - static_cast<double>(r.Rows) * r.PixelHeight;
    for (double v : {r.West, r.North, east, south})
        if (!std::isfinite(v) || v < -1000.0 || v > 1000.0) Refuse("the raster lies outside -1000..1000 degrees");
    const double px = r.PixelWidth * 1e6, py = r.PixelHeight * 1e6;   // millionths of a degree
    if (px < 1.0 || py < 1.0) Refuse("pixels smaller than a millionth of a degree cannot be placed");
    if (cellSize < 1) Refuse("the cell size must be at least one millionth of a degree");
    const int64_t west0 = Round(r.West * 1e6), north0 = Round(r.North * 1e6);

    // A grid with m pixels to a cell side from west to east, or false.
    auto tryCells = [&](int64_t m, RasterLayerGrid& out) {
        const double side = static_cast<double>(m) * px;
        if (side > std::numeric_limits<int32_t>::max()) return false;
        const int64_t G = Round(side);
        if (G < 1 || std::fabs(static_cast<double>(G) - side) * CeilDiv(r.Columns, m) > kPixelDrift * px) return false;
        const int64_t ny = Round(static_cast<double>(G) / py);
        if (ny < 1 || ny > kMaxRunGridUnits || m * ny > kMostCellUnits) return false;
        if (std::fabs(static_cast<double>(ny) * py - static_cast<double>(G)) * CeilDiv(r.Rows, ny) > kPixelDrift * py)
            return false;
        // Units the readers turn back into m and ny: round(G / HPrecision) = m.
        const int64_t hp = Round(static_cast<double>(G) / static_cast<double>(m));
        const int64_t vp = Round(static_cast<double>(G) / static_cast<double>(ny));
        if (hp < 1 || vp < 1 || Round(static_cast<double>(G) / hp) != m || Round(static_cast<double>(G) / vp) != ny)
            return false;
        RasterLayerGrid g;
        g.HPrecision = static_cast<int32_t>(hp);
        g.VPrecision = static_cast<int32_t>(vp);
        g.cellColumns = m;
        g.cellRows = ny;
        // Cells on whole multiples of the side, where the raster's pixels line up with them.
        // The edges go in a quarter of a millionth inside, so that an edge on a cell boundary
        // (give or take the last bit of a double) takes in no further cell.
        const double in = 0.25e-6;
        const LayerGrid aligned = ChooseGrid(south + in, r.North - in, r.West + in, east - in, static_cast<int32_t>(G));
        const double padW = (static_cast<double>(west0) - aligned.LonOrig) / px;
        const double padN =
            (static_cast<double>(aligned.LatOrig) + static_cast<double>(G) * aligned.NumRows - north0) / py;
        if (aligned.GridCellSize == G && padW > -kPixelDrift && padN > -kPixelDrift && NearWhole(padW, kPixelDrift) &&
            NearWhole(padN, kPixelDrift)) {
            g.grid = aligned;
            g.padWest = static_cast<int64_t>(std::llround(padW));
            g.padNorth = static_cast<int64_t>(std::llround(padN));
            if (aligned.NumCols * m >= g.padWest + r.Columns && aligned.NumRows * ny >= g.padNorth + r.Rows)
                return out = g, true;
            g.padWest = g.padNorth = 0;
        }
        // Otherwise from the raster's north-west corner.
        const int64_t cols = CeilDiv(r.Columns, m), rows = CeilDiv(r.Rows, ny);
        const int64_t latOrig = north0 - rows * G;
        if (cols > kMaxGridCells || rows > kMaxGridCells || latOrig < std::numeric_limits<int32_t>::min())
            return false;
        g.grid = {static_cast<int32_t>(latOrig), static_cast<int32_t>(west0), static_cast<int32_t>(G),
                  static_cast<int32_t>(rows), static_cast<int32_t>(cols)};
        return out = g, true;
    };

    // At most 100 cells each way: the fewest pixels a side can have.
    const int64_t least = std::max<int64_t>(
        {1, CeilDiv(r.Columns, kMaxGridCells),
         static_cast<int64_t>(std::floor(static_cast<double>(CeilDiv(r.Rows, kMaxGridCells)) * py / px))});
    const int64_t wanted = std::clamp<int64_t>(Round(cellSize / px), least, kMaxRunGridUnits);
    RasterLayerGrid g;
    for (int64_t m = wanted; m <= kMaxRunGridUnits; ++m)
        if (tryCells(m, g)) return g;
    for (int64_t m = wanted - 1; m >= least; --m)
        if (tryCells(m, g)) return g;
    Refuse("pixels of " + std::to_string(r.PixelWidth) + " x " + std::to_string(r.PixelHeight) +
           " degrees cannot be laid on cells of whole millionths of a degree, at most 100 x 100 of them and " +
           std::to_string(kMostCellUnits) + " pixels to a cell (" + std::to_string(r.Columns) + " x " +
           std::to_string(r.Rows) + " pixels)");
}

// ---- writing ----------------------------------------------------------------------------------

RunLengthRasterWriter::RunLengthRasterWriter(const GeoRaster& raster, RunCoding coding, const LayerWriteOptions& options)
    : raster_(raster), grid_(ChooseRasterGrid(raster, options.CellSize)), header_(options.Header), coding_(coding)
{
    const HdrRec g = LayerHeader(header_.DatasetID, grid_.grid, grid_.HPrecision);
    for (auto field : {&HdrRec::LatOrig, &HdrRec::LonOrig, &HdrRec::GridCellSize, &HdrRec::NumRows, &HdrRec::NumCols,
                       &HdrRec::HPrecision})
        header_.*field = g.*field;
    header_.DatasetID = g.DatasetID;
    header_.VPrecision = grid_.VPrecision;
}

LayerFileWriter RunLengthRasterWriter::Write(RasterSource& values) const
{
    const LayerGrid& g = grid_.grid;
    LayerFileWriter file(header_, kRunLengthLayout);

    int codeOf[256];
    for (int v = 0; v < 256; ++v) codeOf[v] = RunCode(static_cast<uint8_t>(v));

    const int64_t nx = grid_.cellColumns, ny = grid_.cellRows;
    std::vector<uint8_t> window, codes(static_cast<size_t>(nx * ny));
    for (int32_t c = 0; c < g.NumCols; ++c) {
        for (int32_t r = 0; r < g.NumRows; ++r) {
            // The raster pixels of this cell: its north-west unit and the part inside.
            const int64_t col0 = c * nx - grid_.padWest;
            const int64_t row0 = static_cast<int64_t>(g.NumRows - 1 - r) * ny - grid_.padNorth;
            const int64_t x0 = std::max<int64_t>(col0, 0), x1 = std::min(col0 + nx, raster_.Columns);
            const int64_t y0 = std::max<int64_t>(row0, 0), y1 = std::min(row0 + ny, raster_.Rows);
            if (x0 >= x1 || y0 >= y1) continue;   // beyond the raster: sea, no data
            const auto w = static_cast<int32_t>(x1 - x0), hgt = static_cast<int32_t>(y1 - y0);
            window.resize(static_cast<size_t>(w) * static_cast<size_t>(hgt));
            values.ReadWindow(x0, y0, w, hgt, window.data());

            // Units south row first, each row west to east; 0 outside the raster.
            std::fill(codes.begin(), codes.end(), 0);
            for (int32_t wy = 0; wy < hgt; ++wy) {
                const int64_t unitRow = ny - 1 - (y0 + wy - row0);
                uint8_t* out = codes.data() + unitRow * nx + (x0 - col0);
                const uint8_t* in = window.data() + static_cast<size_t>(wy) * static_cast<size_t>(w);
                for (int32_t wx = 0; wx < w; ++wx) {
                    const int code = codeOf[in[wx]];
                    if (code < 0)
                        Refuse("raster value " + std::to_string(in[wx]) + " at column " + std::to_string(x0 + wx) +
                               ", row " + std::to_string(y0 + wy) +
                               " cannot be coded (the colour layer holds key codes 0 to 31)");
                    out[wx] = static_cast<uint8_t>(code);
                }
            }

            if (std::all_of(codes.begin(), codes.end(), [&](uint8_t k) { return k == codes[0]; })) {
                file.SetEntry(c, r, WholeCellEntry(codes[0]));
                continue;
            }
            std::vector<uint8_t>& cell = file.Cell(c, r);
            const int32_t most = coding_.TwoByteMax();
            for (size_t i = 0; i < codes.size();) {
                size_t j = i + 1;
                while (j < codes.size() && codes[j] == codes[i]) ++j;
                for (int64_t left = static_cast<int64_t>(j - i); left > 0; left -= most)
                    EncodeRun(cell, coding_, codes[i], static_cast<int32_t>(std::min<int64_t>(left, most)));
                i = j;
            }
        }
    }
    return file;
}

MonoRLEmapWriter::MonoRLEmapWriter(const GeoRaster& raster, const LayerWriteOptions& options)
    : RunLengthRasterWriter(raster, kLandRuns, options)
{
}

int MonoRLEmapWriter::RunCode(uint8_t v) const { return v != 0 ? 1 : 0; }

int32_t MonoRLEmapWriter::WholeCellEntry(int code) const { return code == 1 ? 1 : 0; }

RLEmapWriter::RLEmapWriter(const GeoRaster& raster, const LayerWriteOptions& options)
    : RunLengthRasterWriter(raster, kKeyRuns, options)
{
}

int RLEmapWriter::RunCode(uint8_t v) const { return v <= kKeyRuns.MaxCode() ? v : -1; }

int32_t RLEmapWriter::WholeCellEntry(int code) const { return code; }

} // namespace corvane
