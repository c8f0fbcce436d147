#include "ExportPieces.h"

#include "layers/MapGen.h"
#include "layers/MapVEC.h"

#include <cpl_error.h>
#include <ogr_geometry.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <tuple>
#include <utility>

namespace corvane::atlas {

namespace {

using Point = std::pair<double, double>;   // longitude, latitude
using Line = std::vector<Point>;

// A coordinate within half a unit of a grid line is put on it: a piece ending on a cell edge
// was placed in units from its own cell's corner, which may fall short of the edge when the
// cell is not a whole number of units.
double Snap(double v, double origin, const PieceGrid& g)
{
    const double line = origin + std::round((v - origin) / g.cell) * g.cell;
    return std::abs(v - line) <= g.unit / 2 + 1e-9 ? line : v;
}

Point Snapped(const Point& p, const PieceGrid& g) { return {Snap(p.first, g.lonOrig, g), Snap(p.second, g.latOrig, g)}; }

bool OnGridLine(const Point& p, const PieceGrid& g)
{
    auto on = [&g](double v, double origin) { return v == origin + std::round((v - origin) / g.cell) * g.cell; };
    return on(p.first, g.lonOrig) || on(p.second, g.latOrig);
}

// A point and a key code, for finding the pieces that meet there.
using PlaceKey = std::tuple<long long, long long, int>;
PlaceKey Place(const Point& p, int key) { return {std::llround(p.first * 1e8), std::llround(p.second * 1e8), key}; }

// Appends b to a, which ends where b starts.
void Append(Line& a, const Line& b)
{
    a.insert(a.end(), b.begin() + (a.empty() || b.empty() ? 0 : 1), b.end());
}

// ---- lines of a vector layer ---------------------------------------------------------------

std::vector<ExportFeature> JoinLines(std::vector<ExportFeature> pieces, const PieceGrid& g)
{
    const size_t n = pieces.size();
    for (ExportFeature& f : pieces)
        if (!f.parts.empty() && !f.parts.front().empty()) {
            f.parts.front().front() = Snapped(f.parts.front().front(), g);
            f.parts.front().back() = Snapped(f.parts.front().back(), g);
        }
    auto first = [&](size_t i) { return pieces[i].parts.front().front(); };
    auto last = [&](size_t i) { return pieces[i].parts.front().back(); };
    auto usable = [&](size_t i) { return !pieces[i].parts.empty() && !pieces[i].parts.front().empty(); };

    std::map<PlaceKey, std::vector<size_t>> startsOnEdges;
    for (size_t i = 0; i < n; ++i)
        if (usable(i) && OnGridLine(first(i), g)) startsOnEdges[Place(first(i), pieces[i].key)].push_back(i);

    std::vector<size_t> next(n, n);
    std::vector<bool> hasPrevious(n, false);
    auto link = [&](size_t a, size_t b) { next[a] = b; hasPrevious[b] = true; };
    for (size_t i = 0; i < n; ++i) {
        if (!usable(i)) continue;
        const ExportFeature& a = pieces[i];
        const bool sameCellNext = i + 1 < n && usable(i + 1) && pieces[i + 1].key == a.key &&
                                  pieces[i + 1].cellColumn == a.cellColumn && pieces[i + 1].cellRow == a.cellRow;
        if (sameCellNext && a.parts.front().size() == static_cast<size_t>(kVectorPointBuffer) && first(i + 1) == last(i)) {
            link(i, i + 1);
            continue;
        }
        if (!OnGridLine(last(i), g)) continue;
        const auto found = startsOnEdges.find(Place(last(i), a.key));
        if (found == startsOnEdges.end()) continue;
        for (size_t j : found->second) {
            const ExportFeature& b = pieces[j];
            const int dc = std::abs(b.cellColumn - a.cellColumn), dr = std::abs(b.cellRow - a.cellRow);
            if (j == i || hasPrevious[j] || dc > 1 || dr > 1 || (dc == 0 && dr == 0)) continue;
            link(i, j);
            break;
        }
    }

    // Chains from the pieces nothing leads to, then the rings that are left.
    std::vector<ExportFeature> out;
    std::vector<bool> done(n, false);
    auto chain = [&](size_t i) {
        ExportFeature f = pieces[i];
        f.parts.assign(1, {});
        for (size_t j = i; j < n && !done[j]; j = next[j]) {
            done[j] = true;
            Append(f.parts.front(), pieces[j].parts.front());
        }
        out.push_back(std::move(f));
    };
    for (size_t i = 0; i < n; ++i)
        if (usable(i) && !hasPrevious[i] && !done[i]) chain(i);
    for (size_t i = 0; i < n; ++i)
        if (usable(i) && !done[i]) chain(i);
    return out;
}

// ---- polygons --------------------------------------------------------------------------------

// The lines of one outline joined end to end wherever two of them meet.
std::vector<Line> JoinOutline(std::vector<Line> lines, const PieceGrid& g)
{
    lines.erase(std::remove_if(lines.begin(), lines.end(), [](const Line& l) { return l.size() < 2; }), lines.end());
    std::map<PlaceKey, std::vector<size_t>> ends;
    for (size_t i = 0; i < lines.size(); ++i) {
        lines[i].front() = Snapped(lines[i].front(), g);
        lines[i].back() = Snapped(lines[i].back(), g);
        ends[Place(lines[i].front(), 0)].push_back(i);
        ends[Place(lines[i].back(), 0)].push_back(i);
    }
    std::vector<bool> used(lines.size(), false);
    // Another line not yet used that has an end at p, turned to start there.
    auto take = [&](const Point& p, Line& into) {
        const auto it = ends.find(Place(p, 0));
        if (it == ends.end()) return false;
        for (size_t j : it->second) {
            if (used[j]) continue;
            used[j] = true;
            into = lines[j];
            if (into.front() != p) std::reverse(into.begin(), into.end());
            return true;
        }
        return false;
    };
    std::vector<Line> out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (used[i]) continue;
        used[i] = true;
        Line joined = lines[i], more;
        while (joined.front() != joined.back() && take(joined.back(), more)) Append(joined, more);
        while (joined.front() != joined.back() && take(joined.front(), more)) {
            std::reverse(more.begin(), more.end());
            Append(more, joined);
            joined.swap(more);
        }
        out.push_back(std::move(joined));
    }
    return out;
}

void AddPolygons(const OGRGeometry* g, std::vector<const OGRPolygon*>& out)
{
    if (!g) return;
    const OGRwkbGeometryType t = wkbFlatten(g->getGeometryType());
    if (t == wkbPolygon) out.push_back(g->toPolygon());
    else if (t == wkbMultiPolygon || t == wkbGeometryCollection)
        for (const OGRGeometry* part : *g->toGeometryCollection()) AddPolygons(part, out);
}

Line RingLine(const OGRLinearRing& ring)
{
    Line l;
    for (int i = 0; i < ring.getNumPoints(); ++i) l.emplace_back(ring.getX(i), ring.getY(i));
    return l;
}

// The union of the tiles of one fill: its polygons as rings (each outer ring, then its holes),
// one list for each polygon. Empty when the tiles cannot be united.
std::vector<std::vector<Line>> UniteTiles(const std::vector<const ExportFeature*>& tiles, const PieceGrid& g)
{
    CPLPushErrorHandler(CPLQuietErrorHandler);   // GDAL's warnings about slow or odd rings
    OGRMultiPolygon all;
    for (const ExportFeature* t : tiles) {
        // A tile of an atlas written before fills were cut through their holes keeps them as
        // parts of their own: its rings are organised into polygons with holes first.
        std::vector<OGRGeometry*> rings;
        for (const Line& part : t->parts) {
            if (part.size() < 3) continue;
            auto* ring = new OGRLinearRing;
            for (const Point& p : part) {
                const Point s = Snapped(p, g);
                ring->addPoint(s.first, s.second);
            }
            ring->closeRings();
            auto* poly = new OGRPolygon;
            poly->addRingDirectly(ring);
            rings.push_back(poly);
        }
        if (rings.empty()) continue;
        int valid = FALSE;
        std::unique_ptr<OGRGeometry> organised(
            OGRGeometryFactory::organizePolygons(rings.data(), static_cast<int>(rings.size()), &valid, nullptr));
        std::vector<const OGRPolygon*> polygons;
        AddPolygons(organised.get(), polygons);
        for (const OGRPolygon* p : polygons) all.addGeometry(p);
    }
    std::vector<std::vector<Line>> out;
    std::unique_ptr<OGRGeometry> united(all.IsEmpty() ? nullptr : all.UnionCascaded());
    CPLPopErrorHandler();
    if (!united) return out;
    std::vector<const OGRPolygon*> polygons;
    AddPolygons(united.get(), polygons);
    for (const OGRPolygon* p : polygons) {
        std::vector<Line> rings;
        for (const OGRLinearRing* ring : *p) rings.push_back(RingLine(*ring));
        out.push_back(std::move(rings));
    }
    return out;
}

std::vector<ExportFeature> JoinPolygons(const ExportLayer& layer, std::vector<ExportFeature> pieces, const PieceGrid& g)
{
    // The pieces of each feature, in the order of their first piece.
    std::map<std::pair<int, int64_t>, size_t> groupOf;
    std::vector<std::vector<const ExportFeature*>> groups;
    for (const ExportFeature& f : pieces) {
        const std::pair<int, int64_t> id{f.key, layer.dataType == 8 ? -1 : f.infoOffset};
        const auto [it, added] = groupOf.emplace(id, groups.size());
        if (added) groups.emplace_back();
        groups[it->second].push_back(&f);
    }
    std::vector<ExportFeature> out;
    for (const std::vector<const ExportFeature*>& group : groups) {
        ExportFeature joined = *group.front();
        joined.parts.clear();
        if (layer.dataType == 7) {
            std::vector<Line> lines;
            for (const ExportFeature* f : group) lines.insert(lines.end(), f->parts.begin(), f->parts.end());
            joined.parts = JoinOutline(std::move(lines), g);
            out.push_back(std::move(joined));
            continue;
        }
        const std::vector<std::vector<Line>> united = UniteTiles(group, g);
        if (united.empty()) {   // kept as the tiles they are
            for (const ExportFeature* f : group) out.push_back(*f);
            continue;
        }
        for (const std::vector<Line>& polygon : united) {
            joined.polygonStarts.push_back(joined.parts.size());
            joined.parts.insert(joined.parts.end(), polygon.begin(), polygon.end());
            if (layer.dataType != 8) continue;
            out.push_back(joined);
            joined.parts.clear();
            joined.polygonStarts.clear();
        }
        if (layer.dataType != 8) out.push_back(std::move(joined));
    }
    return out;
}

} // namespace

bool ReadPieceGrid(const ExportLayer& layer, PieceGrid& grid)
{
    GenMapObj header;
    if (!header.Open(layer.path, 1) || !header.ReadHdr()) return false;
    const HdrRec& h = header.Header;
    if (h.GridCellSize <= 0 || h.HPrecision <= 0) return false;
    grid = {h.LatOrig * 1e-6, h.LonOrig * 1e-6, h.GridCellSize * 1e-6, h.HPrecision * 1e-6};
    return true;
}

std::vector<ExportFeature> JoinPieces(const ExportLayer& layer, const PieceGrid& grid, std::vector<ExportFeature> pieces)
{
    switch (layer.dataType) {
    case 1: return JoinLines(std::move(pieces), grid);
    case 7:
    case 8:
    case 9: return JoinPolygons(layer, std::move(pieces), grid);
    default: return pieces;
    }
}

} // namespace corvane::atlas
