#pragma once
// Geometry cut down to what a canvas can show, before it reaches a painter, so that the cost
// of a drawing is bounded by the device pixels it can touch and not by how far or how often
// its lines run across the picture:
//  - points that repeat the one before them are dropped (a zero-length edge draws nothing);
//  - a ring or a line reaching far outside the drawing area is cut to the area plus a margin
//    (a margin of a few pixels keeps the ends and joins of wide pens out of view);
//  - a ring whose edges cross one row of pixels many times (a self-intersecting outline whose
//    spikes span the map) is filled here row by row, its crossings taken to whole pixels, so
//    that a row costs at most its width however many edges cross it.
// Every canvas that paints pixels or vectors uses these; the recording canvas of the tests
// keeps what the drawers gave it.
#include "platform/Canvas.h"

#include <cstdint>
#include <vector>

namespace corvane {

struct PointF {
    double x = 0.0;
    double y = 0.0;
};

// A box in device coordinates with fractional edges (a drawing area and its margin).
struct Box {
    double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
};

// The area (0, 0)-(width, height) grown by margin on every side.
Box DrawingBox(int width, int height, double margin);

// Drops every point equal to the one before it; for a ring, also trailing points equal to its
// first (the ring closes on it anyway). Neither changes a single pixel of a fill or a line.
void ThinPoints(std::vector<Point>& pts, bool ring);

// How many times the edges of the closed ring cross the rows of pixels from top to bottom - 1,
// a row being crossed by an edge whose ends lie on both sides of its centre line: the work of
// a scanline fill of the ring. Costs the number of points.
int64_t RowCrossings(const std::vector<Point>& ring, int top, int bottom);

// The ring cut to the box (Sutherland-Hodgman, the whole ring as one against each side in
// turn). An odd-even fill of the result fills the same points inside the box as a fill of
// the ring: where the ring runs outside, the cut ring runs along the box's edge instead,
// which keeps the parity of every point inside. Empty when no fill is left.
std::vector<PointF> ClipRing(const std::vector<Point>& ring, const Box& box);

// Cuts the segment a-b to the box (Liang-Barsky); false when none of it lies inside. t0 and t1
// (when given) receive where the kept piece starts and ends along the segment, 0 to 1.
bool ClipSegment(PointF& a, PointF& b, const Box& box, double* t0 = nullptr, double* t1 = nullptr);

// The pixels of area whose centres lie inside the closed ring by the odd-even rule, as spans
// one row high from top to bottom, left to right in a row (the boxes' right and bottom edges
// lie outside, as FillRect takes them); a centre exactly on an edge goes with the pixels to
// its left. A row costs the edges that cross it and at most its width more: crossings are
// taken to whole pixels and, when there are many, toggled in a row of pixels rather than
// sorted, so two in one pixel cancel and the spans of a row never outnumber its pixels.
void OddEvenSpans(const std::vector<PointF>& ring, const Rect& area, std::vector<Rect>& spans);

} // namespace corvane
