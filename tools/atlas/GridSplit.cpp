#include "GridSplit.h"

#include "LayerBuild.h"
#include "layers/SearchResult.h"

#include <cpl_error.h>
#include <ogr_geometry.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>

namespace corvane::atlas {

namespace {

struct Box {
    double west, east, south, north;
};

std::unique_ptr<OGRPolygon> BoxPolygon(const Box& b)
{
    auto poly = std::make_unique<OGRPolygon>();
    OGRLinearRing ring;
    ring.addPoint(b.west, b.south);
    ring.addPoint(b.east, b.south);
    ring.addPoint(b.east, b.north);
    ring.addPoint(b.west, b.north);
    ring.addPoint(b.west, b.south);
    poly->addRing(&ring);
    return poly;
}

// The feature's polygons (outer ring, then holes, as the source gave them), made valid.
std::unique_ptr<OGRMultiPolygon> AreaOf(const SourceFeature& f)
{
    auto mp = std::make_unique<OGRMultiPolygon>();
    const std::vector<size_t> starts = f.polygonStarts.empty() ? std::vector<size_t>{0} : f.polygonStarts;
    for (size_t k = 0; k < starts.size(); ++k) {
        const size_t end = k + 1 < starts.size() ? starts[k + 1] : f.parts.size();
        OGRPolygon poly;
        for (size_t i = starts[k]; i < end && i < f.parts.size(); ++i) {
            OGRLinearRing ring;
            for (const GeoPoint& p : f.parts[i]) ring.addPoint(p.Lon, p.Lat);
            ring.closeRings();
            if (ring.getNumPoints() >= 4) poly.addRing(&ring);
        }
        if (!poly.IsEmpty()) mp->addGeometry(&poly);
    }
    // GDAL would tell on stderr what makes a polygon invalid; it is repaired here anyway.
    CPLPushErrorHandler(CPLQuietErrorHandler);
    const bool valid = mp->IsValid();
    CPLPopErrorHandler();
    if (valid) return mp;
    std::unique_ptr<OGRGeometry> repaired(mp->MakeValid());
    if (!repaired) throw std::runtime_error("a polygon cannot be made valid for cutting");
    auto out = std::make_unique<OGRMultiPolygon>();
    std::vector<const OGRGeometry*> pieces{repaired.get()};
    while (!pieces.empty()) {
        const OGRGeometry* g = pieces.back();
        pieces.pop_back();
        const OGRwkbGeometryType t = wkbFlatten(g->getGeometryType());
        if (t == wkbPolygon) out->addGeometry(g);
        else if (t == wkbMultiPolygon || t == wkbGeometryCollection)
            for (const OGRGeometry* part : *g->toGeometryCollection()) pieces.push_back(part);
    }
    return out;
}

std::unique_ptr<OGRMultiLineString> LinesOf(const SourceFeature& f)
{
    auto ml = std::make_unique<OGRMultiLineString>();
    for (const GeoLine& part : f.parts) {
        OGRLineString l;
        for (const GeoPoint& p : part) l.addPoint(p.Lon, p.Lat);
        if (l.getNumPoints() >= 2) ml->addGeometry(&l);
    }
    return ml;
}

// The pieces of g (of the wanted dimension) within the box, gathered into a T.
template <class T>
std::unique_ptr<T> Clip(const T* g, const Box& b)
{
    auto out = std::make_unique<T>();
    if (!g || g->IsEmpty()) return out;
    OGREnvelope env;
    g->getEnvelope(&env);
    if (env.MinX >= b.west && env.MaxX <= b.east && env.MinY >= b.south && env.MaxY <= b.north) {
        out.reset(g->clone());
        return out;
    }
    if (env.MaxX < b.west || env.MinX > b.east || env.MaxY < b.south || env.MinY > b.north) return out;
    const std::unique_ptr<OGRPolygon> box = BoxPolygon(b);
    std::unique_ptr<OGRGeometry> cut(g->Intersection(box.get()));
    if (!cut) throw std::runtime_error("a polygon cannot be cut along the grid");
    const OGRwkbGeometryType want = std::is_same_v<T, OGRMultiPolygon> ? wkbPolygon : wkbLineString;
    std::vector<const OGRGeometry*> pieces{cut.get()};
    while (!pieces.empty()) {
        const OGRGeometry* p = pieces.back();
        pieces.pop_back();
        const OGRwkbGeometryType t = wkbFlatten(p->getGeometryType());
        if (t == want) out->addGeometry(p);
        else if (t == wkbMultiPolygon || t == wkbMultiLineString || t == wkbGeometryCollection)
            for (const OGRGeometry* part : *p->toGeometryCollection()) pieces.push_back(part);
    }
    return out;
}

GeoLine ToLine(const OGRSimpleCurve& c, const Box& b)
{
    // Points that came out a hair beyond the box through rounding belong to it.
    GeoLine out;
    out.reserve(static_cast<size_t>(c.getNumPoints()));
    for (int i = 0; i < c.getNumPoints(); ++i)
        out.push_back({std::clamp(c.getY(i), b.south, b.north), std::clamp(c.getX(i), b.west, b.east)});
    return out;
}

bool TooLong(const OGRPolygon& p)
{
    for (const OGRLinearRing* ring : p)
        if (ring->getNumPoints() > PolygonFileWriter::kMaxPartPoints) return true;
    return false;
}

// The box of cells c0..c1, r0..r1 of a grid.
Box CellsBox(const LayerGrid& grid, int c0, int c1, int r0, int r1)
{
    const double cs = grid.GridCellSize;
    return {(grid.LonOrig + c0 * cs) / 1e6, (grid.LonOrig + (c1 + 1) * cs) / 1e6,
            (grid.LatOrig + r0 * cs) / 1e6, (grid.LatOrig + (r1 + 1) * cs) / 1e6};
}

Box CellBox(const LayerGrid& grid, int c, int r) { return CellsBox(grid, c, c, r, r); }

// Whether a polygon feature has holes: more rings than polygons.
bool HasHoles(const SourceFeature& f)
{
    return f.parts.size() > std::max<size_t>(1, f.polygonStarts.size());
}

// Tiles of a polygon within box b (a cell, or part of one) that the readers fill as they
// are: every part is filled on its own, so a tile holds no hole, and its ring fits the
// readers' 6400 points. A polygon with holes is cut through one of them (the middle one
// along the longer side of the box, so that each half keeps at most half of the holes),
// opening it into a bay of both halves; one whose ring is too long is halved inside the
// box. depth counts the halvings for length, holeCuts the cuts through holes (a hole too
// thin to be cut is left filled).
void Tiles(const OGRPolygon& p, const Box& b, int depth, std::vector<GeoLine>& parts, int holeCuts = 0)
{
    const bool across = b.east - b.west >= b.north - b.south;
    double mid = 0;
    bool throughHole = false;
    if (p.getNumInteriorRings() > 0 && holeCuts < 64) {
        std::vector<double> centres;
        for (int i = 0; i < p.getNumInteriorRings(); ++i) {
            OGREnvelope env;
            p.getInteriorRing(i)->getEnvelope(&env);
            centres.push_back(across ? (env.MinX + env.MaxX) / 2 : (env.MinY + env.MaxY) / 2);
        }
        std::nth_element(centres.begin(), centres.begin() + static_cast<std::ptrdiff_t>(centres.size() / 2), centres.end());
        mid = centres[centres.size() / 2];
        throughHole = across ? b.west < mid && mid < b.east : b.south < mid && mid < b.north;
    }
    if (throughHole) {
        ++holeCuts;
    } else if (TooLong(p)) {
        if (depth > 12) throw std::runtime_error("a polygon keeps more than 6400 points in a ring however it is cut");
        mid = across ? (b.west + b.east) / 2 : (b.south + b.north) / 2;
        ++depth;
    } else {
        parts.push_back(ToLine(*p.getExteriorRing(), b));
        return;
    }
    const Box halves[2] = {across ? Box{b.west, mid, b.south, b.north} : Box{b.west, b.east, b.south, mid},
                           across ? Box{mid, b.east, b.south, b.north} : Box{b.west, b.east, mid, b.north}};
    OGRMultiPolygon one;
    one.addGeometry(&p);
    for (const Box& h : halves) {
        std::unique_ptr<OGRMultiPolygon> sub = Clip(&one, h);
        for (const OGRPolygon* q : *sub) Tiles(*q, h, depth, parts, holeCuts);
    }
}

class Cutter {
public:
    Cutter(const LayerGrid& grid, int dataType, const PolygonFeature& proto, std::vector<PolygonFeature>& out)
        : grid_(grid), dataType_(dataType), proto_(proto), out_(out)
    {
    }

    // Cuts the area (and the outline) within cells c0..c1, r0..r1 into each cell, halving
    // the block of cells each time so that every point is visited a few times only.
    void Cut(const OGRMultiPolygon& area, const OGRMultiLineString* lines, int c0, int c1, int r0, int r1)
    {
        if (area.IsEmpty() && (!lines || lines->IsEmpty())) return;
        if (c0 == c1 && r0 == r1) { Emit(area, lines, Cells(c0, c1, r0, r1)); return; }
        int a0 = c0, a1 = c1, b0 = r0, b1 = r1, d0 = c0, d1 = c1, e0 = r0, e1 = r1;
        if (c1 - c0 >= r1 - r0) { a1 = (c0 + c1) / 2; d0 = a1 + 1; }
        else { b1 = (r0 + r1) / 2; e0 = b1 + 1; }
        const Box first = Cells(a0, a1, b0, b1), second = Cells(d0, d1, e0, e1);
        CutWithin(area, lines, first, a0, a1, b0, b1);
        CutWithin(area, lines, second, d0, d1, e0, e1);
    }

private:
    void CutWithin(const OGRMultiPolygon& area, const OGRMultiLineString* lines, const Box& b, int c0, int c1, int r0, int r1)
    {
        std::unique_ptr<OGRMultiPolygon> subArea = Clip(&area, b);
        std::unique_ptr<OGRMultiLineString> subLines = lines ? Clip(lines, b) : nullptr;
        Cut(*subArea, subLines.get(), c0, c1, r0, r1);
    }

    Box Cells(int c0, int c1, int r0, int r1) const { return CellsBox(grid_, c0, c1, r0, r1); }

    void Emit(const OGRMultiPolygon& area, const OGRMultiLineString* lines, const Box& cell)
    {
        PolygonFeature f = proto_;
        f.Parts.clear();
        if (dataType_ == 7) {
            if (lines)
                for (const OGRLineString* l : *lines) f.Parts.push_back(ToLine(*l, cell));
        } else {
            for (const OGRPolygon* p : area) Tiles(*p, cell, 0, f.Parts);
        }
        OGRPoint inside(0, 0);   // GDAL fails on an empty point
        if (!area.IsEmpty() && area.PointOnSurface(&inside) == OGRERR_NONE && !inside.IsEmpty())
            f.Reference = {std::clamp(inside.getY(), cell.south, cell.north), std::clamp(inside.getX(), cell.west, cell.east)};
        else if (!f.Parts.empty()) f.Reference = f.Parts.front().front();
        else return;
        if (f.Parts.empty()) {
            if (dataType_ != 7) return;
            f.Parts.push_back({f.Reference});   // a cell within the polygon: found, not drawn
        }
        const size_t maxRecords = dataType_ == 7 ? kOutlineSlots - 2 : PolygonFileWriter::kMaxRecords;
        for (PolygonFeature& piece : ChunkPolygon(f, PolygonFileWriter::kMaxPartPoints, maxRecords))
            out_.push_back(std::move(piece));
    }

    const LayerGrid& grid_;
    int dataType_;
    const PolygonFeature& proto_;
    std::vector<PolygonFeature>& out_;
};

} // namespace

SplitSummary CutPolygonsAlongGrid(LayerContent& c, const std::vector<size_t>& polygonSource, const VectorSource& source)
{
    SplitSummary summary;
    if (c.dataType < 7 || c.dataType > 9) return summary;
    if (polygonSource.size() != c.polygons.size()) throw std::logic_error("polygons and their sources differ in number");
    const LayerGrid grid = PolygonGrid(c);
    const double cs = grid.GridCellSize;
    auto cellOf = [cs](double degrees, int32_t origin) {
        return static_cast<int>(std::floor((degrees * 1e6 - origin) / cs + 1e-9));   // as the writer
    };

    std::vector<PolygonFeature> out;
    for (size_t i = 0; i < c.polygons.size(); ++i) {
        const PolygonFeature& p = c.polygons[i];
        double minLat = INFINITY, minLon = INFINITY, maxLat = -INFINITY, maxLon = -INFINITY;
        for (const GeoLine& part : p.Parts)
            for (const GeoPoint& q : part) {
                minLat = std::min(minLat, q.Lat); maxLat = std::max(maxLat, q.Lat);
                minLon = std::min(minLon, q.Lon); maxLon = std::max(maxLon, q.Lon);
            }
        if (c.dataType != 8) {
            minLat = std::min(minLat, p.Reference.Lat); maxLat = std::max(maxLat, p.Reference.Lat);
            minLon = std::min(minLon, p.Reference.Lon); maxLon = std::max(maxLon, p.Reference.Lon);
        }
        // The last cell is that of the far edge, less a hair: a polygon ending on a cell's
        // edge does not reach into the next one.
        const int c0 = cellOf(minLon, grid.LonOrig), r0 = cellOf(minLat, grid.LatOrig);
        const int c1 = std::max(c0, static_cast<int>(std::ceil((maxLon * 1e6 - grid.LonOrig) / cs)) - 1);
        const int r1 = std::max(r0, static_cast<int>(std::ceil((maxLat * 1e6 - grid.LatOrig) / cs)) - 1);
        const SourceFeature& f = source.features.at(polygonSource[i]);
        if (c0 == c1 && r0 == r1) {
            if (c.dataType == 7 || !HasHoles(f)) { out.push_back(p); continue; }
            // A fill with holes within one cell keeps its own reference point; its holes are
            // cut open, as the readers fill every part.
            PolygonFeature whole = p;
            whole.Parts.clear();
            std::unique_ptr<OGRMultiPolygon> area = AreaOf(f);
            const Box cell = CellBox(grid, c0, r0);
            for (const OGRPolygon* q : *area) Tiles(*q, cell, 0, whole.Parts);
            if (whole.Parts.empty()) { out.push_back(p); continue; }
            for (PolygonFeature& piece : ChunkPolygon(whole, PolygonFileWriter::kMaxPartPoints, PolygonFileWriter::kMaxRecords))
                out.push_back(std::move(piece));
            ++summary.holesCut;
            continue;
        }

        std::unique_ptr<OGRMultiPolygon> area = AreaOf(f);
        std::unique_ptr<OGRMultiLineString> lines = c.dataType == 7 ? LinesOf(f) : nullptr;
        const size_t before = out.size();
        Cutter(grid, c.dataType, p, out).Cut(*area, lines.get(), c0, c1, r0, r1);
        ++summary.polygonsCut;
        summary.pieces += out.size() - before;
    }
    c.polygons = std::move(out);
    if (!c.polygons.empty() && PolygonGrid(c).GridCellSize != grid.GridCellSize)
        throw std::logic_error("cutting the polygons changed the cells of their grid");
    return summary;
}

} // namespace corvane::atlas
