#include "layers/writers/VECmapWriter.h"

#include "platform/Rounding.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace corvane {

VECmapWriter::VECmapWriter(const LayerWriteOptions& options, double minLat, double maxLat, double minLon,
                           double maxLon)
    : FeatureFileWriter(options),
      grid_(ChooseGrid(minLat, maxLat, minLon, maxLon, options.CellSize)),
      file_(MakeHeader(grid_, ChooseHPrecision(grid_.GridCellSize, options.FinestUnit)), kVectorLayout)
{
    cellSide_ = Header().GridCellSize;
    sideUnits_ = static_cast<uint16_t>(std::min<int64_t>(65535, Round(cellSide_ / Header().HPrecision)));
}

VECmapWriter::Unit VECmapWriter::UnitsIn(int32_t c, int32_t r, double x, double y) const
{
    const double unit = Header().HPrecision;
    auto offset = [&](double v, int32_t cell) {
        return static_cast<uint16_t>(std::clamp<int64_t>(Round((v - cell * cellSide_) / unit), 0, sideUnits_));
    };
    return {offset(y, r), offset(x, c)};
}

void VECmapWriter::Flush(uint16_t key)
{
    if (piece_.size() >= 2) {
        std::vector<uint8_t>& cell = file_.Cell(cellC_, cellR_);
        const size_t most = static_cast<size_t>(kVectorPointBuffer);
        // Segments of at most 4500 points; each further one starts on the last point before.
        for (size_t start = 0; start + 1 < piece_.size(); start += most - 1) {
            const size_t end = std::min(start + most, piece_.size());
            PutU16(cell, key);
            PutU16(cell, static_cast<uint16_t>(end - start));
            for (size_t i = start; i < end; ++i) {
                PutU16(cell, piece_[i].lat);
                PutU16(cell, piece_[i].lon);
            }
            ++segments_;
        }
    }
    piece_.clear();
    cellC_ = cellR_ = -1;
}

void VECmapWriter::AddPolyline(int key, const std::vector<GeoPoint>& points)
{
    const std::string label = FeatureLabel("polyline", static_cast<size_t>(++lines_), "");
    CheckKeyCode(label, key);
    for (const GeoPoint& p : points) CheckPosition(label, p, "a point");

    const HdrRec& h = Header();
    const double S = cellSide_;
    const double extentX = S * h.NumCols, extentY = S * h.NumRows;
    const auto k = static_cast<uint16_t>(key);
    auto append = [&](Unit u) {
        if (piece_.empty() || !(piece_.back() == u)) piece_.push_back(u);
    };
    cellC_ = cellR_ = -1;
    piece_.clear();
    std::vector<double> ts;
    for (size_t i = 1; i < points.size(); ++i) {
        // Millionths of a degree from the grid's south-west corner.
        const double ax = points[i - 1].Lon * 1e6 - h.LonOrig, ay = points[i - 1].Lat * 1e6 - h.LatOrig;
        const double bx = points[i].Lon * 1e6 - h.LonOrig, by = points[i].Lat * 1e6 - h.LatOrig;
        const double dx = bx - ax, dy = by - ay;

        // The part of the line inside the grid: t0..t1 (Liang-Barsky).
        double t0 = 0.0, t1 = 1.0;
        auto clip = [&](double p, double q) {   // keeps p x t <= q
            if (p == 0.0) return q >= 0.0;
            const double t = q / p;
            if (p < 0.0) {
                if (t > t1) return false;
                t0 = std::max(t0, t);
            } else {
                if (t < t0) return false;
                t1 = std::min(t1, t);
            }
            return true;
        };
        if (!(clip(-dx, ax) && clip(dx, extentX - ax) && clip(-dy, ay) && clip(dy, extentY - ay))) {
            Flush(k);
            continue;
        }
        if (t0 > 0.0) Flush(k);   // it comes in from outside the grid

        // Where it crosses cell edges inside that part.
        ts.assign({t0, t1});
        auto crossings = [&](double a, double d, int32_t count) {
            if (d == 0.0) return;
            const double lo = std::min(a, a + d), hi = std::max(a, a + d);
            const int64_t first = std::max<int64_t>(1, static_cast<int64_t>(std::ceil(lo / S)));
            const int64_t last = std::min<int64_t>(count - 1, static_cast<int64_t>(std::floor(hi / S)));
            for (int64_t e = first; e <= last; ++e) {
                const double t = (static_cast<double>(e) * S - a) / d;
                if (t > t0 && t < t1) ts.push_back(t);
            }
        };
        crossings(ax, dx, h.NumCols);
        crossings(ay, dy, h.NumRows);
        std::sort(ts.begin(), ts.end());

        for (size_t j = 0; j + 1 < ts.size(); ++j) {
            const double ta = ts[j], tb = ts[j + 1];
            if (tb < ta || (tb == ta && ts.size() > 2)) continue;
            const double tm = (ta + tb) / 2;
            const auto c = static_cast<int32_t>(
                std::clamp<double>(std::floor((ax + tm * dx) / S), 0, h.NumCols - 1));
            const auto r = static_cast<int32_t>(
                std::clamp<double>(std::floor((ay + tm * dy) / S), 0, h.NumRows - 1));
            if (c != cellC_ || r != cellR_) {
                Flush(k);
                cellC_ = c;
                cellR_ = r;
                append(UnitsIn(c, r, ax + ta * dx, ay + ta * dy));
            }
            append(UnitsIn(c, r, ax + tb * dx, ay + tb * dy));
        }
        if (t1 < 1.0) Flush(k);   // it leaves the grid
    }
    Flush(k);
}

LayerFileWriter VECmapWriter::Build() const
{
    LayerFileWriter w = file_;
    EndCells(w, {0xFF, 0xFF, 0x00, 0x00});   // Lat 65535
    return w;
}

} // namespace corvane
