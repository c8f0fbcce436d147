#include "platform/VisibleGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace corvane {

Box DrawingBox(int width, int height, double margin)
{
    return {-margin, -margin, width + margin, height + margin};
}

void ThinPoints(std::vector<Point>& pts, bool ring)
{
    pts.erase(std::unique(pts.begin(), pts.end()), pts.end());
    if (ring)
        while (pts.size() > 1 && pts.back() == pts.front()) pts.pop_back();
}

int64_t RowCrossings(const std::vector<Point>& ring, int top, int bottom)
{
    // An edge crosses the rows whose centre y + 0.5 lies between its ends: from its upper end
    // to one above its lower end.
    int64_t crossings = 0;
    for (size_t i = 0; i < ring.size(); ++i) {
        const int64_t a = ring[i].y, b = ring[(i + 1) % ring.size()].y;
        const int64_t from = std::max<int64_t>(std::min(a, b), top), to = std::min<int64_t>(std::max(a, b), bottom);
        if (from < to) crossings += to - from;
    }
    return crossings;
}

std::vector<PointF> ClipRing(const std::vector<Point>& ring, const Box& box)
{
    std::vector<PointF> in, out;
    in.reserve(ring.size());
    for (const Point& p : ring) in.push_back({static_cast<double>(p.x), static_cast<double>(p.y)});
    // One side of the box: the points on its inner side, and where an edge crosses it.
    auto side = [&](auto inside, auto cross) {
        out.clear();
        if (in.empty()) return;
        PointF prev = in.back();
        bool prevIn = inside(prev);
        for (const PointF& cur : in) {
            const bool curIn = inside(cur);
            if (curIn != prevIn) out.push_back(cross(prev, cur));
            if (curIn) out.push_back(cur);
            prev = cur;
            prevIn = curIn;
        }
        std::swap(in, out);
    };
    auto atX = [](double x) {
        return [x](const PointF& a, const PointF& b) { return PointF{x, a.y + (x - a.x) / (b.x - a.x) * (b.y - a.y)}; };
    };
    auto atY = [](double y) {
        return [y](const PointF& a, const PointF& b) { return PointF{a.x + (y - a.y) / (b.y - a.y) * (b.x - a.x), y}; };
    };
    side([&](const PointF& p) { return p.x >= box.left; }, atX(box.left));
    side([&](const PointF& p) { return p.x <= box.right; }, atX(box.right));
    side([&](const PointF& p) { return p.y >= box.top; }, atY(box.top));
    side([&](const PointF& p) { return p.y <= box.bottom; }, atY(box.bottom));
    if (in.size() < 3) in.clear();
    return in;
}

bool ClipSegment(PointF& a, PointF& b, const Box& box, double* t0Out, double* t1Out)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    double t0 = 0.0, t1 = 1.0;
    auto clip = [&](double p, double q) {
        if (p == 0.0) return q >= 0.0;
        const double r = q / p;
        if (p < 0.0) {
            if (r > t1) return false;
            if (r > t0) t0 = r;
        } else {
            if (r < t0) return false;
            if (r < t1) t1 = r;
        }
        return true;
    };
    if (!(clip(-dx, a.x - box.left) && clip(dx, box.right - a.x) && clip(-dy, a.y - box.top) &&
          clip(dy, box.bottom - a.y)))
        return false;
    const PointF start = a;
    a = {start.x + t0 * dx, start.y + t0 * dy};
    b = {start.x + t1 * dx, start.y + t1 * dy};
    if (t0Out) *t0Out = t0;
    if (t1Out) *t1Out = t1;
    return true;
}

namespace {

// Rows with up to this many crossings sort them; rows with more toggle a row of pixels.
constexpr size_t kSortedCrossings = 64;

struct Edge {
    double x;       // where the edge crosses the centre line of the row being filled, less 0.5
    double slope;   // x per row
    int32_t y0, y1; // the rows it crosses, y0 to y1 - 1
};

// The first column from left to right whose pixel centre lies right of a crossing at x + 0.5:
// floor(x) + 1, a crossing left of the area at its left edge, one right of it at its right.
inline int32_t Column(double x, double left, double right)
{
    x = std::min(std::max(x, left - 1.0), right - 1.0);
    const auto c = static_cast<int32_t>(x);
    return c + 1 - (c > x);
}

} // namespace

void OddEvenSpans(const std::vector<PointF>& ring, const Rect& area, std::vector<Rect>& spans)
{
    spans.clear();
    if (ring.size() < 3 || area.left >= area.right || area.top >= area.bottom) return;
    const double left = area.left, right = area.right;
    // The edges that cross the rows of the area: those left of it in every row they cross only
    // turn the parity at its left edge (kept as rows where that changes), those right of it in
    // every row are passed over (they close at its right edge what is still open there).
    std::vector<Edge> edges;
    std::vector<std::pair<int32_t, int32_t>> leftOf;
    int32_t first = area.bottom, last = area.top;
    for (size_t i = 0; i < ring.size(); ++i) {
        PointF a = ring[i], b = ring[(i + 1) % ring.size()];
        if (!(a.y != b.y) || !std::isfinite(a.x) || !std::isfinite(b.x)) continue;   // also NaN
        if (a.y > b.y) std::swap(a, b);
        // The rows whose centre y + 0.5 lies in [a.y, b.y).
        const double fy0 = std::max(std::ceil(a.y - 0.5), static_cast<double>(area.top));
        const double fy1 = std::min(std::ceil(b.y - 0.5), static_cast<double>(area.bottom));
        if (!(fy0 < fy1)) continue;
        const auto y0 = static_cast<int32_t>(fy0), y1 = static_cast<int32_t>(fy1);
        const double slope = (b.x - a.x) / (b.y - a.y);
        const double x0 = a.x + (fy0 + 0.5 - a.y) * slope - 0.5, x1 = x0 + (fy1 - 1 - fy0) * slope;
        if (std::min(x0, x1) >= right - 1.0) continue;
        first = std::min(first, y0);
        last = std::max(last, y1);
        if (std::max(x0, x1) < left) leftOf.emplace_back(y0, y1);
        else edges.push_back({x0, slope, y0, y1});
    }
    if (first >= last) return;
    std::vector<uint8_t> leftFlips(static_cast<size_t>(last - first) + 1, 0);
    for (const auto& rows : leftOf) {
        leftFlips[static_cast<size_t>(rows.first - first)] ^= 1;
        leftFlips[static_cast<size_t>(rows.second - first)] ^= 1;
    }
    std::sort(edges.begin(), edges.end(), [](const Edge& p, const Edge& q) { return p.y0 < q.y0; });

    const int32_t width = area.right - area.left;
    std::vector<Edge> active;
    std::vector<int32_t> xs;
    std::vector<uint8_t> toggled;   // a row of pixels (and one past it), used when a row has many crossings
    auto span = [&](int32_t from, int32_t to, int32_t y) {
        if (from >= to) return;
        if (!spans.empty() && spans.back().top == y && spans.back().right == from) spans.back().right = to;
        else spans.push_back({from, y, to, y + 1});
    };
    uint8_t leftParity = 0;
    size_t next = 0;
    for (int32_t y = first; y < last; ++y) {
        leftParity ^= leftFlips[static_cast<size_t>(y - first)];
        while (next < edges.size() && edges[next].y0 <= y) active.push_back(edges[next++]);
        if (active.size() <= kSortedCrossings) {
            xs.clear();
            if (leftParity) xs.push_back(area.left);
            for (Edge& e : active) {
                xs.push_back(Column(e.x, left, right));
                e.x += e.slope;
            }
            std::sort(xs.begin(), xs.end());
            size_t i = 0;
            for (; i + 1 < xs.size(); i += 2) span(xs[i], xs[i + 1], y);
            if (i < xs.size()) span(xs[i], area.right, y);
        } else {
            toggled.assign(static_cast<size_t>(width) + 1, 0);
            toggled[0] = leftParity;
            for (Edge& e : active) {
                toggled[static_cast<size_t>(Column(e.x, left, right) - area.left)] ^= 1;
                e.x += e.slope;
            }
            bool inside = false;
            int32_t from = 0;
            for (int32_t i = 0; i < width; ++i) {
                if (!toggled[static_cast<size_t>(i)]) continue;
                inside = !inside;
                if (inside) from = area.left + i;
                else span(from, area.left + i, y);
            }
            if (inside) span(from, area.right, y);
        }
        // Edges whose last row this was leave.
        for (size_t i = 0; i < active.size();) {
            if (active[i].y1 <= y + 1) {
                active[i] = active.back();
                active.pop_back();
            } else {
                ++i;
            }
        }
    }
}

} // namespace corvane
