#pragma once
// Handing out the runs of the run-length layers (FeatureVisitor.h): every cell of the file,
// its runs decoded by the same RunBlocks as the drawing and laid out on the cell raster unit
// row by unit row.
#include "layers/FeatureVisitor.h"
#include "layers/RunLength.h"

#include <functional>

namespace corvane {

// Walks every cell of layer (BeginVisit first): an index entry below firstRunEntry is a
// whole cell, whose key wholeKey(entry) gives; from firstRunEntry on, the byte position of
// the cell's runs, each of whose key runKey(code) gives. Key 0 is not handed out. Runs
// reaching past the end of their cell are cut there. False when the walk was cut short (a
// short block, the work bound); a cell whose runs start past the end of the file is passed
// over and the file marked damaged.
bool VisitRuns(GenMapObj& layer, RunBlocks& blocks, RunCoding coding, int32_t firstRunEntry,
               const std::function<int(int32_t)>& wholeKey, const std::function<int(int)>& runKey,
               FeatureVisitor& visitor);

} // namespace corvane
