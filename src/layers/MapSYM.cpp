#include "layers/MapSYM.h"

#include "platform/MessageSink.h"

namespace corvane {

std::string MissingKeyMessage(int Symbol, const std::string& DatasetID)
{
    // The identifier is 12 bytes as read; a file that pads it with zero bytes shows up to them.
    const std::string id = DatasetID.substr(0, DatasetID.find('\0'));
    return "Key definition for data type " + std::to_string(Symbol) + " is missing [File : " + id + "]";
}

void SYMmap::Read()
{
    SR.Lat = iFile.ReadU16();
    SR.Lon = iFile.ReadU16();
    SR.Symbol = iFile.ReadU8();
}

bool SYMmap::Draw(const DrawContext& ctx, uint8_t Key_Entry_Adjustment, bool /*UseTopColour*/)
{
    return DrawSymbolPoints(*this, ctx, Key_Entry_Adjustment, true, [this] {
        Read();
        return SR;
    });
}

bool SYMmap::Visit(FeatureVisitor& visitor, uint8_t Key_Entry_Adjustment)
{
    BeginVisit();
    if (!privateRead) return false;
    return RunLayerIO([&] {
        WalkSymbolRecords(
            *this,
            [this] {
                Read();
                return SR;
            },
            [&](int32_t c, int32_t r, const SYMRec& rec) {
                visitor.Point(CellPlace(c, r), rec.Symbol + Key_Entry_Adjustment, {rec.Lat, rec.Lon}, -1);
            });
    });
}

bool DrawSymbolPoints(GenMapObj& layer, const DrawContext& ctx, uint8_t Key_Entry_Adjustment, bool reportMissingKey,
                      const std::function<SYMRec()>& read)
{
    layer.BeginDraw(ctx);
    Canvas& canvas = *layer.Cnvs;
    canvas.pen.mode = PenMode::Copy;
    canvas.brush.style = BrushStyle::Solid;
    const SymbolScale scale = SymbolScale::For(ctx);
    bool missingKey = false;
    const bool whole = RunLayerIO([&] {
        WalkSymbolRecords(layer, read, [&](int32_t, int32_t, const SYMRec& rec) {
            const int k = rec.Symbol + Key_Entry_Adjustment;
            const bool inTable = k >= 1 && k <= kKeyItems;
            if (inTable && layer.KeyItemOff(k)) return CellWalk::Continue;
            if (!inTable || layer.Styl[k] == 0) {
                if (!reportMissingKey) return CellWalk::Continue;
                ctx.messages.Plain(MissingKeyMessage(rec.Symbol, layer.Header.DatasetID));
                missingKey = true;
                return CellWalk::Stop;
            }
            const Point p = layer.ToDevice(rec.Lat, rec.Lon);
            canvas.brush.style = BrushStyle::Solid;
            PlotSymbol(canvas, p.x, p.y, layer.Styl[k], layer.KeyColour(k), scale);
            const int d = SymbolHalfSize(layer.Styl[k], scale);
            if (ctx.SymbolBoxes && d >= 0) ctx.SymbolBoxes->push_back({p.x - d - 1, p.y - d - 1, p.x + d + 2, p.y + d + 2});
            return CellWalk::Continue;
        });
    });
    return whole && !missingKey;
}

} // namespace corvane
