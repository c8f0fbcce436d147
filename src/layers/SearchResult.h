#pragma once
// What a query search of the point and polygon layers hands back to the map window, so that
// it can flash the object it found: the flashing state (TimerLat, TimerLon, TimerStyle,
// TimerColour) and, for a polygon, its outline.
//
// A search fills the record only when it finds something; a miss leaves it as it was, as a
// miss leaves the window's flashing state. The information offset itself is the search's
// return value (-1 for no hit).
//
// The outline buffer (Points) holds 6400 slots, numbered from 1 (entry 0 is not used). From
// slot 1 on, each part of the outline is one count slot, whose x is the part's number of
// points, followed by the part's points in picture pixels; a count of 0 or less ends the
// list, and so does the end of the buffer (an outline of more than 6400 slots is cut there,
// its last count telling only the points stored). ForEachOutlinePart walks it safely.
#include "platform/Canvas.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace corvane {

constexpr int32_t kOutlineSlots = 6400;

struct SearchResult {
    // Point symbol: the picture row and column of the symbol found.
    // Polygon: the key item number and the point count of the outline's last part.
    int32_t TimerLat = 0;
    int32_t TimerLon = 0;
    int32_t TimerStyle = 0;    // symbol code, or line style code (pen style + 1) of a polygon
    int32_t TimerColour = 0;   // colour of the object found, 0x00BBGGRR
    // The outline of the polygon found: kOutlineSlots + 1 entries once a polygon was found,
    // empty for a point symbol.
    std::vector<Point> Points;
};

// Calls part(points, count) for every part of an outline buffer laid out as above, never
// reading past the buffer.
template <class Part>
void ForEachOutlinePart(const std::vector<Point>& buffer, Part&& part)
{
    const size_t total = buffer.size();
    size_t at = 1;
    while (at < total) {
        const int32_t count = buffer[at].x;
        if (count <= 0) return;
        const size_t first = at + 1;
        const size_t n = std::min(static_cast<size_t>(count), total > first ? total - first : 0);
        part(buffer.data() + first, n);
        at = first + n;
    }
}

// Square of the distance from p to (X, Y) in whole pixels, never overflowing: the
// differences are held within 32 bits, so the sum stays below 2^63.
inline int64_t SquaredDistance(Point p, int32_t X, int32_t Y)
{
    constexpr int64_t kLimit = 2147483647;
    const int64_t dx = std::clamp<int64_t>(int64_t{p.x} - X, -kLimit, kLimit);
    const int64_t dy = std::clamp<int64_t>(int64_t{p.y} - Y, -kLimit, kLimit);
    return dx * dx + dy * dy;
}

// The best distance a search starts from: nothing at 2147483647 pixels or further is found.
constexpr int64_t kSearchStartSquared = int64_t{2147483647} * 2147483647;

} // namespace corvane
