#include "layers/RunVisit.h"

#include <algorithm>

namespace corvane {

bool VisitRuns(GenMapObj& layer, RunBlocks& blocks, RunCoding coding, int32_t firstRunEntry,
               const std::function<int(int32_t)>& wholeKey, const std::function<int(int)>& runKey,
               FeatureVisitor& visitor)
{
    const RunGrid grid = RunGrid::Of(layer.Header);
    if (!grid.Valid()) return false;
    const int64_t nx = grid.ngridx, ny = grid.ngridy;
    RasterCell cell;
    cell.CellColumns = nx;
    cell.CellRows = ny;
    cell.UnitLon = 1.0 / grid.dividex;
    cell.UnitLat = 1.0 / grid.dividey;
    return RunLayerIO([&] {
        layer.WalkCells([&](int32_t c, int32_t r, int32_t entry) {
            cell.Column = c;
            cell.Row = r;
            cell.West = layer.gridlon[c];
            cell.South = layer.gridlat[r];
            if (entry < firstRunEntry) {
                const int key = wholeKey(entry);
                if (key != 0) visitor.RasterRun(cell, 0, 0, nx * ny, key);
                return;
            }
            if (!blocks.Start(entry)) {
                layer.MarkDamaged();
                return;
            }
            int64_t row = 0, col = 0;
            while (row < ny) {
                const Run run = blocks.Decode(coding);
                const int key = runKey(run.code);
                const int64_t placed = std::min<int64_t>(run.length, (ny - row) * nx - col);   // cut at the cell's end
                if (placed > 0) {
                    if (key != 0) visitor.RasterRun(cell, row, col, placed, key);
                    row += (col + placed) / nx;
                    col = (col + placed) % nx;
                }
                blocks.Advance(row < ny);
            }
        });
    });
}

} // namespace corvane
