#include "layers/MapSYX.h"

namespace corvane {

void SYXmap::Read()
{
    SR.Lat = iFile.ReadU16();
    SR.Lon = iFile.ReadU16();
    SR.Symbol = iFile.ReadU8();
    SR.infopointerhi = iFile.ReadU8();
    SR.infopointerlo = iFile.ReadU16();
}

bool SYXmap::Draw(const DrawContext& ctx, uint8_t Key_Entry_Adjustment, bool /*UseTopColour*/)
{
    return DrawSymbolPoints(*this, ctx, Key_Entry_Adjustment, false, [this] {
        Read();
        return SYMRec{SR.Lat, SR.Lon, SR.Symbol};
    });
}

bool SYXmap::Visit(FeatureVisitor& visitor, uint8_t Key_Entry_Adjustment)
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
            [&](int32_t c, int32_t r, const SYXRec& rec) {
                visitor.Point(CellPlace(c, r), rec.Symbol + Key_Entry_Adjustment, {rec.Lat, rec.Lon}, rec.InfoOffset());
            });
    });
}

int32_t SYXmap::Search(const DrawContext& ctx, uint8_t Key_Entry_Adjustment, int32_t X, int32_t Y,
                       SearchResult& found)
{
    BeginSearch(ctx);
    int64_t best = kSearchStartSquared;
    bool hit = false;
    Point at;
    int k = 0;
    int32_t offset = -1;
    RunLayerIO([&] {
        WalkRecordCells([&](int32_t, int32_t) {
            for (Read(); SR.Symbol != 0; Read()) {
                const int key = SR.Symbol + Key_Entry_Adjustment;
                if (KeyItemOff(key)) continue;
                const Point p = CellToDevice(SR.Lat, SR.Lon);
                if (p.y <= -2 || int64_t{p.y} >= int64_t{ctx.WindowHeight} + 2 || p.x <= -2 ||
                    int64_t{p.x} >= int64_t{ctx.WindowWidth} + 2)
                    continue;
                const int64_t d = SquaredDistance(p, X, Y);
                if (d >= best) continue;
                best = d;
                hit = true;
                at = p;
                k = key;
                offset = SR.InfoOffset();
            }
        });
    });
    if (!hit) return -1;
    found.TimerLon = at.x;
    found.TimerLat = at.y;
    found.TimerStyle = Styl[k];
    found.TimerColour = Colour[k];
    return offset;
}

} // namespace corvane
