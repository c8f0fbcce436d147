#pragma once
// Cutting large polygons along the grid of their layer.
//
// The polygon writer keeps each polygon whole in the cell that holds the south-west corner
// of its box, and the viewer draws a cell's polygons only while that cell is on the map: a
// sea that spans many cells would vanish when zoomed in away from its south-west corner,
// and its parts may hold more points than the readers take. Cut along the grid, every cell
// has pieces of its own:
//  - fills (types 8 and 9) become tiles, the polygon within each cell (a tile's seams do not
//    show in a fill); a tile whose rings would pass 6400 points is cut again inside its cell;
//  - outlines (type 7) become the lines of the polygon's rings within each cell.
// The readers fill every part of a polygon on its own, so a hole written as a part would be
// filled over: fills are cut through their holes (within one cell too) until no piece holds
// one, each hole opened into bays of the pieces around it.
// Every piece keeps the key code and the information offset of its polygon and gets a
// reference point inside the polygon's area within its cell, so that a query click on any
// piece of a sea finds that sea. A cell that the polygon covers without any of its outline
// gets a piece of the reference point alone: nothing to draw, something to find.
#include "GdalSources.h"
#include "LayerData.h"

#include <cstddef>
#include <vector>

namespace corvane::atlas {

struct SplitSummary {
    size_t polygonsCut = 0;   // polygons that reached over more than one cell
    size_t pieces = 0;        // the polygons they became
    size_t holesCut = 0;      // fills within one cell whose holes were cut open
};

// Replaces every polygon of c (types 7, 8, 9) that reaches over more than one cell of the
// grid the writer will choose (PolygonGrid) by its pieces; polygonSource[i] is the feature
// of source that c.polygons[i] was made from (BuildVectorLayer). Polygons within one cell
// stay as they are, as do their reference points. Throws std::runtime_error when a
// geometry cannot be cut, std::logic_error if the cut would change the writer's grid.
SplitSummary CutPolygonsAlongGrid(LayerContent& c, const std::vector<size_t>& polygonSource, const VectorSource& source);

} // namespace corvane::atlas
