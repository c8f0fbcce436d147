#include "layers/MapMRLE.h"

#include "layers/FillStyle.h"
#include "layers/RunVisit.h"
#include "platform/DataPath.h"
#include "platform/MessageSink.h"

namespace corvane {

std::string CoastlineFileMessage(const std::string& Filename)
{
    return "Unable to open Coastline file : " + NativePath(Filename);
}

bool MonoRLEmap::Create(const std::string& Filename, MessageSink& messages)
{
    std::string problem;
    std::unique_ptr<ByteSource> source = OpenDataFile(Filename, &problem);
    return Create(std::move(source), Filename, messages, problem);
}

bool MonoRLEmap::Create(std::unique_ptr<ByteSource> source, const std::string& Filename, MessageSink& messages,
                        const std::string& problem)
{
    if (!source) messages.Plain(WithReason(CoastlineFileMessage(Filename), problem));
    privateRead = OpenLayer(std::move(source), kRunBlockSize, true) && RunGrid::Of(Header).Valid();
    return privateRead;
}

void MonoRLEmap::Read() { Blocks.Read(); }

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
        SpanBatch spans(cv);
        auto figure = [&](const RunBar& b) {
            const Rect box{b.left, b.top, b.right + 2, b.bottom};
            if (spans.Active())
                spans.Add(box);
            else
                cv.FillRect(box);
        };
        auto wholeLand = [&](int32_t entry) {   // 1 land; 0, 2 or negative sea
            if (entry == 1) walk.WholeCell(figure);
        };
        auto isLand = [](const Run& run) { return run.code == 1; };
        walk.DrawCells(Blocks, kLandRuns, 3, wholeLand, isLand, figure);
        spans.Flush();
    }
    LeaveScreenOpaque(ctx);
}

bool MonoRLEmap::Visit(FeatureVisitor& visitor, uint8_t /*Key_Entry_Adjustment*/)
{
    BeginVisit();
    if (!privateRead) return false;
    return VisitRuns(
        *this, Blocks, kLandRuns, 3, [](int32_t entry) { return entry == 1 ? 1 : 0; },
        [](int code) { return code == 1 ? 1 : 0; }, visitor);
}

} // namespace corvane
