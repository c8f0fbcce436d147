#include "layers/writers/PolygonFileWriter.h"

#include "layers/SearchResult.h"
#include "platform/Rounding.h"

#include <algorithm>
#include <cmath>

namespace corvane {

PolygonFileWriter::PolygonFileWriter(const LayerWriteOptions& options, int dataType)
    : FeatureFileWriter(options), dataType_(dataType), withReference_(dataType != 8)
{
    if (dataType < 7 || dataType > 9) throw std::invalid_argument("polygon layer: data type must be 7, 8 or 9");
}

void PolygonFileWriter::Add(const PolygonFeature& f)
{
    const std::string label = FeatureLabel("polygon", polygons_.size() + 1, f.Name);
    CheckKeyCode(label, f.KeyCode);
    if (f.Parts.empty()) ThrowFeatureError(label, "has no parts");
    int64_t records = static_cast<int64_t>(f.Parts.size()) - 1;   // the separators
    GeoPoint sw{INFINITY, INFINITY}, ne{-INFINITY, -INFINITY};
    auto take = [&](const GeoPoint& p) {
        sw = {std::min(sw.Lat, p.Lat), std::min(sw.Lon, p.Lon)};
        ne = {std::max(ne.Lat, p.Lat), std::max(ne.Lon, p.Lon)};
    };
    for (size_t i = 0; i < f.Parts.size(); ++i) {
        const auto& part = f.Parts[i];
        const std::string which = "part " + std::to_string(i + 1);
        if (part.empty()) ThrowFeatureError(label, which + " has no points");
        if (part.size() > static_cast<size_t>(kMaxPartPoints))
            ThrowFeatureError(label, which + " has " + std::to_string(part.size()) + " points, more than the " +
                                         std::to_string(kMaxPartPoints) + " a part can hold");
        for (const GeoPoint& p : part) {
            CheckPosition(label, p, "a point");
            take(p);
        }
        records += static_cast<int64_t>(part.size());
    }
    if (records > kMaxRecords)
        ThrowFeatureError(label, std::to_string(records) + " point and separator records, more than " +
                                     std::to_string(kMaxRecords));
    if (dataType_ == 7 && records + 2 > kOutlineSlots)
        ThrowFeatureError(label, std::to_string(records) + " point and separator records, more than the " +
                                     std::to_string(kOutlineSlots - 2) + " a query can flash");
    if (withReference_) {
        CheckPosition(label, f.Reference, "the reference point");
        CheckInfoOffset(label, f.InfoOffset);
        take(f.Reference);
    }

    Stored s;
    s.key = static_cast<uint8_t>(f.KeyCode);
    s.firstPart = static_cast<uint32_t>(partSizes_.size());
    s.parts = static_cast<uint32_t>(f.Parts.size());
    s.firstPoint = points_.size();
    s.records = static_cast<uint32_t>(records);
    s.reference = withReference_ ? f.Reference : GeoPoint{};
    s.info = withReference_ ? static_cast<uint32_t>(f.InfoOffset) : 0;
    s.sw = sw;
    s.ne = ne;
    for (const auto& part : f.Parts) {
        partSizes_.push_back(static_cast<uint32_t>(part.size()));
        points_.insert(points_.end(), part.begin(), part.end());
    }
    polygons_.push_back(s);
    bounds_.Add(sw);
    bounds_.Add(ne);
}

namespace {

// The cell along one axis that holds `micro` (millionths of a degree), and its south or
// west edge.
struct AxisCell {
    int32_t index;
    double corner;
};
AxisCell CellAlong(double micro, int32_t origin, int32_t cell, int32_t count)
{
    // A point on a cell's west or south edge that came out a hair below it, through the
    // rounding of degrees, still belongs to that cell.
    int64_t i = static_cast<int64_t>(std::floor((micro - origin) / cell + 1e-9));
    i = std::clamp<int64_t>(i, 0, count - 1);
    return {static_cast<int32_t>(i), static_cast<double>(origin) + static_cast<double>(i) * cell};
}

} // namespace

LayerFileWriter PolygonFileWriter::Build() const
{
    const LayerGrid grid = bounds_.Grid(options_.CellSize);
    struct Placed {
        AxisCell row, col;
    };
    std::vector<Placed> placed;
    placed.reserve(polygons_.size());
    double span = 0.0;   // the farthest any point lies from its cell's corner, millionths
    for (const Stored& s : polygons_) {
        const Placed p{CellAlong(s.sw.Lat * 1000000, grid.LatOrig, grid.GridCellSize, grid.NumRows),
                       CellAlong(s.sw.Lon * 1000000, grid.LonOrig, grid.GridCellSize, grid.NumCols)};
        span = std::max({span, s.ne.Lat * 1000000 - p.row.corner, s.ne.Lon * 1000000 - p.col.corner});
        placed.push_back(p);
    }
    const int64_t needed = static_cast<int64_t>(std::ceil(span / kMaxOffset));
    const int64_t unit = std::max<int64_t>(ChooseHPrecision(grid.GridCellSize, options_.FinestUnit), needed);
    const HdrRec h = MakeHeader(grid, static_cast<int32_t>(unit));
    LayerFileWriter w(h, kPolygonLayout);

    for (size_t i = 0; i < polygons_.size(); ++i) {
        const Stored& s = polygons_[i];
        const Placed& at = placed[i];
        auto offset = [&](double degrees, double corner) {
            const int64_t v = Round((degrees * 1000000 - corner) / static_cast<double>(unit));
            return static_cast<uint16_t>(std::clamp<int64_t>(v, 0, kMaxOffset));
        };
        std::vector<uint8_t>& cell = w.Cell(at.col.index, at.row.index);
        PutU16(cell, s.key);
        PutU16(cell, static_cast<uint16_t>(s.records));
        if (withReference_) {
            PutU16(cell, offset(s.reference.Lat, at.row.corner));
            PutU16(cell, offset(s.reference.Lon, at.col.corner));
            PutU16(cell, static_cast<uint16_t>(s.info & 0xFFFF));
            PutU16(cell, static_cast<uint16_t>(s.info >> 16));
        }
        size_t next = s.firstPoint;
        for (uint32_t k = 0; k < s.parts; ++k) {
            if (k > 0) {
                PutU16(cell, 65535);
                PutU16(cell, 65535);
            }
            for (uint32_t n = partSizes_[s.firstPart + k]; n > 0; --n, ++next) {
                PutU16(cell, offset(points_[next].Lat, at.row.corner));
                PutU16(cell, offset(points_[next].Lon, at.col.corner));
            }
        }
    }
    EndCells(w, {0xFF, 0xFF, 0, 0});
    return w;
}

} // namespace corvane
