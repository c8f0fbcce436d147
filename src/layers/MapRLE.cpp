#include "layers/MapRLE.h"

#include "layers/FillStyle.h"

#include <algorithm>

namespace corvane {

bool RLEmap::Create(const std::string& Filename)
{
    privateRead = OpenLayer(Filename, kRunBlockSize, true) && RunGrid::Of(Header).Valid();
    return privateRead;
}

bool RLEmap::Create(std::unique_ptr<ByteSource> source)
{
    privateRead = OpenLayer(std::move(source), kRunBlockSize, true) && RunGrid::Of(Header).Valid();
    return privateRead;
}

void RLEmap::Read()
{
    const int64_t at = iFile.Pos();
    iFile.Read(Blocks.R_L_C, sizeof Blocks.R_L_C);
    Blocks.R_L_C_block = at / kRunBlockSize;
}

void RLEmap::Draw(const DrawContext& ctx, uint8_t Key_Entry_Adjustment, bool /*UseTopColour*/)
{
    BeginDraw(ctx);
    const RunGrid grid = RunGrid::Of(Header);
    if (privateRead && grid.Valid()) {
        Canvas& cv = *Cnvs;
        RunCellWalk walk(*this, ctx, grid);
        // From the map window's own picture, also when printing: is one unit more than half
        // a screen pixel?
        walk.adjustment_needed_y = (ctx.ClientHeight / ctx.LatRange) / grid.dividey > 0.5;
        walk.adjustment_needed_x = (ctx.ClientWidth / ctx.LonRange) / grid.dividex > 0.5;

        // The run style of key item k, set once for each run drawn.
        auto runStyle = [&](int k) {
            cv.pen.style = PenStyle::Clear;
            cv.pen.colour = KeyColour(k);
            SelectBrush(cv, Styl[k], KeyColour(k), ctx.BackgroundColour);
        };
        auto figure = [&](const RunBar& b) { cv.Rectangle(b.left, b.top, b.right + 2, b.bottom + 1); };
        auto drawn = [&](const Run& run) {
            const int k = run.code + Key_Entry_Adjustment;
            if (run.code == 0 || KeyItemOff(k)) return false;
            runStyle(k);
            return true;
        };
        const double unitRow = std::max(R_Precisionx, R_Precisiony);
        RunLayerIO([&] {
            WalkCells(
                [&](int32_t c, int32_t r, int32_t entry) {
                    walk.EnterCell(gridlon[c], gridlat[r]);
                    if (entry < 32) {
                        const int k = entry + Key_Entry_Adjustment;
                        if (!KeyItemOff(k)) {
                            runStyle(k);
                            walk.WholeCell(figure);
                        }
                    } else if (Blocks.Start(entry)) {
                        if (r == Row_Start) walk.SkipSouthernRows(Blocks, kKeyRuns, ctx.MinLat, unitRow);
                        walk.RunLoop(Blocks, kKeyRuns, drawn, figure);
                    }
                    return walk.fini ? CellWalk::NextColumn : CellWalk::Continue;
                },
                [&](int32_t) { walk.fini = false; });
        });
    }
    LeaveScreenOpaque(ctx);
}

} // namespace corvane
