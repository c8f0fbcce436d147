#include "layers/MapMRLE.h"

#include "layers/FillStyle.h"
#include "platform/DataPath.h"
#include "platform/MessageSink.h"

#include <algorithm>

namespace corvane {

bool MonoRLEmap::Create(const std::string& Filename, MessageSink& messages)
{
    return Create(OpenDataFile(Filename), Filename, messages);
}

bool MonoRLEmap::Create(std::unique_ptr<ByteSource> source, const std::string& Filename, MessageSink& messages)
{
    if (!source) messages.Plain("Unable to open Coastline file : " + Filename);
    privateRead = OpenLayer(std::move(source), kRunBlockSize, true) && RunGrid::Of(Header).Valid();
    return privateRead;
}

void MonoRLEmap::Read()
{
    const int64_t at = iFile.Pos();
    iFile.Read(Blocks.R_L_C, sizeof Blocks.R_L_C);
    Blocks.R_L_C_block = at / kRunBlockSize;
}

void MonoRLEmap::Draw(const DrawContext& ctx, uint8_t /*Key_Entry_Adjustment*/, bool /*UseTopColour*/)
{
    BeginDraw(ctx);
    const RunGrid grid = RunGrid::Of(Header);
    if (privateRead && grid.Valid() && !KeyItemOff(1)) {
        Canvas& cv = *Cnvs;
        const corvane::Colour land = KeyColour(1);
        // Only the brush paints: the bars are filled without an outline.
        SelectBrush(cv, Styl[1] == 0 ? 1 : Styl[1], land, ctx.BackgroundColour);
        cv.pen.style = Styl[1] == 0 ? PenStyle::Clear : PenStyle::Solid;
        cv.pen.colour = land;

        RunCellWalk walk(*this, ctx, grid);   // both adjustments, always
        auto figure = [&](const RunBar& b) { cv.FillRect({b.left, b.top, b.right + 2, b.bottom}); };
        auto isLand = [](const Run& run) { return run.code == 1; };
        // Rows below the map are counted in the larger unit side, so that the skip never
        // reaches a row that shows (the two are the same in files of square units).
        const double unitRow = std::max(R_Precisionx, R_Precisiony);
        RunLayerIO([&] {
            WalkCells(
                [&](int32_t c, int32_t r, int32_t entry) {
                    walk.EnterCell(gridlon[c], gridlat[r]);
                    if (entry == 1) {
                        walk.WholeCell(figure);
                    } else if (entry >= 3 && Blocks.Start(entry)) {
                        if (r == Row_Start) walk.SkipSouthernRows(Blocks, kLandRuns, ctx.MinLat, unitRow);
                        walk.RunLoop(Blocks, kLandRuns, isLand, figure);
                    }
                    return walk.fini ? CellWalk::NextColumn : CellWalk::Continue;
                },
                [&](int32_t) { walk.fini = false; });
        });
    }
    LeaveScreenOpaque(ctx);
}

} // namespace corvane
