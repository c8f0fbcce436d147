#include "layers/MapRLE.h"

#include "layers/FillStyle.h"
#include "layers/RunVisit.h"

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

void RLEmap::Read() { Blocks.Read(); }

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

        // A box without a pen fills one pixel less to the right and bottom; in the copy mode
        // that is the span of the same box less those edges. A canvas that gathers fills
        // (a page) has each key item's spans at the end of the layer.
        const bool copy = cv.pen.mode == PenMode::Copy;
        SpanBatch spans(cv, copy);
        const bool gathered = copy && cv.GathersFills();
        KeySpans byKey;
        int styled = -1;   // the key item whose style the canvas has (with spans)
        auto setStyle = [&](int k) {
            cv.pen.style = PenStyle::Clear;
            cv.pen.colour = KeyColour(k);
            SelectBrush(cv, Styl[k], KeyColour(k), ctx.BackgroundColour);
        };
        // The run style of key item k, set once for each run drawn (with spans, when the
        // key item changes, after the spans of the one before are drawn).
        auto runStyle = [&](int k) {
            if (gathered) {
                styled = k;
                return;
            }
            if (spans.Active()) {
                if (k == styled) return;
                spans.Flush();
                styled = k;
            }
            setStyle(k);
        };
        auto figure = [&](const RunBar& b) {
            if (gathered)
                byKey.Add(styled, {b.left, b.top, b.right + 1, b.bottom});
            else if (spans.Active())
                spans.Add({b.left, b.top, b.right + 1, b.bottom});
            else
                cv.Rectangle(b.left, b.top, b.right + 2, b.bottom + 1);
        };
        auto drawn = [&](const Run& run) {
            const int k = run.code + Key_Entry_Adjustment;
            if (run.code == 0 || KeyItemOff(k)) return false;
            runStyle(k);
            return true;
        };
        auto wholeCell = [&](int32_t entry) {   // key code 1..31; 0 or negative nothing
            const int k = entry + Key_Entry_Adjustment;
            if (entry < 1 || KeyItemOff(k)) return;
            runStyle(k);
            walk.WholeCell(figure);
        };
        walk.DrawCells(Blocks, kKeyRuns, 32, wholeCell, drawn, figure);
        spans.Flush();
        byKey.Fill(cv, setStyle);
    }
    LeaveScreenOpaque(ctx);
}

bool RLEmap::Visit(FeatureVisitor& visitor, uint8_t Key_Entry_Adjustment)
{
    BeginVisit();
    if (!privateRead) return false;
    auto key = [&](int code) { return code >= 1 ? code + Key_Entry_Adjustment : 0; };
    return VisitRuns(*this, Blocks, kKeyRuns, 32, key, key, visitor);
}

} // namespace corvane
