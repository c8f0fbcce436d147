#include "layers/MapLBL.h"

#include "platform/Rounding.h"

#include <cmath>

namespace corvane {

int LabelBaseSize(double lonRange)
{
    const int64_t t = Trunc(lonRange);
    if (t <= 0) return 13;
    if (t == 1) return 12;
    if (t <= 3) return 10;
    if (t <= 6) return 9;
    return 7;
}

Rect LabelArea(const DrawContext& ctx)
{
    if (!ctx.Print) return {0, 0, ctx.ClientWidth, ctx.ClientHeight};
    const double cw = ctx.ClientWidth, ch = ctx.ClientHeight;
    const double pw = ctx.Page.PageWidth, ph = ctx.Page.PageHeight;
    if (ch / cw < ph / pw) return {0, 0, ctx.Page.PageWidth, TruncI(ch / cw * pw)};
    return {0, 0, TruncI(cw / ch * ph), ctx.Page.PageHeight};
}

void LBLmap::Read()
{
    LR.Lat = iFile.ReadU16();
    LR.Lon = iFile.ReadU16();
    LR.KeyLink = iFile.ReadU8();
    LR.TriggerScale = iFile.ReadU16();
    LR.TextAngle = iFile.ReadU16();
    LR.SizeJust = iFile.ReadU8();
    LR.TextLength = iFile.ReadU8();
    LabelText.resize(LR.TextLength);
    if (LR.TextLength > 0) iFile.Read(LabelText.data(), LR.TextLength);
    bWidth = LR.SizeJust & 3;
    bHeight = (LR.SizeJust >> 2) & 3;
    vJust = (LR.SizeJust >> 4) & 3;
    hJust = (LR.SizeJust >> 6) & 3;
}

namespace {

// Whole screen pixels per degree of longitude, as the zoom thresholds compare them.
int64_t PixelsPerDegree(const DrawContext& ctx)
{
    const double v = ctx.ClientWidth / ctx.LonRange;
    if (std::isnan(v)) return 0;
    if (std::isinf(v)) return v > 0 ? INT64_MAX : INT64_MIN;
    return Round(v);
}

// How much a name in box would hide: each symbol box it overlaps, leaving out those at its
// anchor (its own symbol), and far more for each name drawn before it that it overlaps.
int Covered(const DrawContext& ctx, const Rect& name, Point anchor)
{
    auto overlaps = [&](const Rect& s) {
        return s.left < name.right && name.left < s.right && s.top < name.bottom && name.top < s.bottom;
    };
    int n = 0;
    for (const Rect& s : *ctx.SymbolBoxes) {
        const bool atAnchor = anchor.x >= s.left && anchor.x < s.right && anchor.y >= s.top && anchor.y < s.bottom;
        if (!atAnchor && overlaps(s)) ++n;
    }
    if (ctx.NameBoxes)
        for (const Rect& s : *ctx.NameBoxes)
            if (overlaps(s)) n += 1000;
    return n;
}

// The text on the other side of its anchor: the blanks that keep it off the anchor moved to
// the other end.
std::string Mirrored(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return text;
    const size_t last = text.find_last_not_of(' ');
    return std::string(text.size() - 1 - last, ' ') + text.substr(first, last - first + 1) + std::string(first, ' ');
}

} // namespace

template <class On>
void LBLmap::WalkLabels(On&& on)
{
    WalkRecordCells([&](int32_t c, int32_t r) {
        for (Read(); LR.KeyLink != 0; Read()) on(c, r);
    });
}

bool LBLmap::Visit(FeatureVisitor& visitor, uint8_t Key_Entry_Adjustment)
{
    BeginVisit();
    if (!privateRead) return false;
    return RunLayerIO([&] {
        WalkLabels([&](int32_t c, int32_t r) {
            VisitedLabel label;
            label.At = {LR.Lat, LR.Lon};
            label.Text = LabelText;
            label.hJust = hJust;
            label.vJust = vJust;
            label.bWidth = bWidth;
            label.bHeight = bHeight;
            label.TriggerScale = LR.TriggerScale;
            label.TextAngle = LR.TextAngle;
            visitor.Label(CellPlace(c, r), LR.KeyLink + Key_Entry_Adjustment, label);
        });
    });
}

bool LBLmap::Draw(const DrawContext& ctx, uint8_t Key_Entry_Adjustment, bool /*UseTopColour*/)
{
    BeginDraw(ctx);
    Canvas& canvas = *Cnvs;
    canvas.font.name = "Times New Roman";
    canvas.font.bold = canvas.font.italic = false;   // whatever the keys left on the canvas
    canvas.font.pixelsPerInch = canvas.PixelsPerInchY();
    canvas.bkMode = BkMode::Transparent;
    const Rect GRect = LabelArea(ctx);
    const int64_t pixelsPerDegree = PixelsPerDegree(ctx);
    int size = LabelBaseSize(ctx.LonRange);
    if (bPrint && ctx.Page.XDpi > 0 && ctx.Page.XDpi < 300)
        size = RoundI(static_cast<double>(size) * ctx.ScreenPixelsPerInch / ctx.Page.XDpi);

    return RunLayerIO([&] {
        WalkLabels([&](int32_t, int32_t) {
            if (pixelsPerDegree < LR.TriggerScale) return;
            const int k = LR.KeyLink + Key_Entry_Adjustment;
            if (KeyItemOff(k)) return;
            canvas.font.colour = canvas.textColour = KeyColour(k);
            canvas.font.SetSize(size + 4 * bHeight);
            const Point anchor = CellToDevice(LR.Lat, LR.Lon);
            int64_t x = anchor.x, y = anchor.y;
            if (hJust == 1) x -= canvas.TextWidth(LabelText) / 2;
            if (hJust == 2) x -= canvas.TextWidth(LabelText);
            if (vJust != 3) {
                const int h = canvas.TextHeight("A");
                if (vJust == 0) y -= h;
                if (vJust == 1) y -= h / 2;
                if (vJust == 2) y -= Trunc(h * 0.25);
            }
            std::string text = LabelText;
            const Point off = AddPrintOffset({0, 0});
            auto box = [&](int64_t left, const std::string& t) {
                return Rect{ClampToInt(left + off.x), ClampToInt(y + off.y), ClampToInt(left + off.x + canvas.TextWidth(t)),
                            ClampToInt(y + off.y + canvas.TextHeight(t))};
            };
            if (ctx.Halo && ctx.SymbolBoxes && hJust != 1) {
                // A name beside its anchor that covers other symbols goes to the other side
                // where that covers fewer, unless a name is there.
                const Point from{ClampToInt(anchor.x + int64_t{off.x}), ClampToInt(anchor.y + int64_t{off.y})};
                const int here = Covered(ctx, box(x, text), from);
                if (here > 0) {
                    const std::string other = Mirrored(text);
                    const int64_t ox = hJust == 2 ? anchor.x : anchor.x - canvas.TextWidth(other);
                    if (Covered(ctx, box(ox, other), from) < here) {
                        x = ox;
                        text = other;
                    }
                }
            }
            if (x < GRect.left || x >= GRect.right || y < GRect.top || y >= GRect.bottom) return;
            if (ctx.Halo && ctx.NameBoxes) ctx.NameBoxes->push_back(box(x, text));
            const Point at = AddPrintOffset({static_cast<int32_t>(x), static_cast<int32_t>(y)});
            if (ctx.Halo)
                canvas.TextOutHalo(at.x, at.y, text, ctx.BackgroundColour, ctx.HaloWidth());
            else
                canvas.TextOut(at.x, at.y, text);
        });
    });
}

} // namespace corvane
