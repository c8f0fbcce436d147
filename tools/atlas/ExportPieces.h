#pragma once
// The features an atlas layer was made from, out of the pieces its file keeps. The compiler
// cuts lines where they cross a cell edge (and after 4500 points), fills along the grid and
// through their holes, and outlines along the grid; the export joins them back:
//  - lines (type 1): a piece that ends on a cell edge goes on in the piece of the same key
//    that starts there in the neighbouring cell, and a piece of 4500 points in the next
//    piece of its cell that starts where it ends;
//  - polygons with an information offset (types 7 and 9): the pieces of one offset and key,
//    which the compiler gives every piece of a feature, are one feature (outlines their lines
//    joined end to end, fills the union of their tiles), with the reference point of its
//    first piece;
//  - fills without one (type 8): the tiles of one key are united, and every polygon of the
//    union is one feature (two features of one key that touch come back as one).
// Points, labels and rasters are left as they are. Coordinates within half a layer unit of a
// grid line are put on it first, so that the pieces of neighbouring cells meet exactly.
#include "ExportLayers.h"

#include <vector>

namespace corvane::atlas {

// The grid of a layer file in degrees: the corner of its first cell, the side of a cell and
// the layer unit.
struct PieceGrid {
    double latOrig = 0, lonOrig = 0, cell = 0, unit = 0;
};

// The grid of the layer's file; false when its header cannot be read.
bool ReadPieceGrid(const ExportLayer& layer, PieceGrid& grid);

// The features of the layer, joined from the pieces in the order the reader handed them out
// (each feature where its first piece was).
std::vector<ExportFeature> JoinPieces(const ExportLayer& layer, const PieceGrid& grid, std::vector<ExportFeature> pieces);

} // namespace corvane::atlas
