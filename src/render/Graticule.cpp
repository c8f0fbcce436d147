#include "render/Graticule.h"

#include "mapdef/MDFStruct.h"
#include "platform/CvVars.h"
#include "platform/Rounding.h"
#include "render/AtScopeEnd.h"
#include "render/MapView.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace corvane {

namespace {

// Extents beyond this many degrees are not a map; their grid values would not fit the
// arithmetic, and no line of them could be told apart.
constexpr double kMaxExtent = 1.0e6;
// More lines than this on one axis would be denser than any picture's pixels.
constexpr int64_t kMaxLines = 20000;

const char kDegreeSign = static_cast<char>(0xB0);   // "°" in Windows-1252

// Minutes and seconds: right-aligned in 2 characters, "00" for none.
std::string TwoDigits(int64_t n)
{
    if (n == 0) return "00";
    char buf[24];
    std::snprintf(buf, sizeof buf, "%2lld", static_cast<long long>(n));
    return buf;
}

std::string Padded(int64_t n, int width)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%*lld", width, static_cast<long long>(n));
    return buf;
}

// The fractional multiplier of DegreeStep for an axis range; meridians go one step further
// (x2 below one degree).
int64_t FractionMultiplier(double range, bool meridian)
{
    if (range < 0.05) return 50;
    if (range < 0.1) return 10;
    if (range < 0.5) return 5;
    if (meridian && range < 1.0) return 2;
    return 1;
}

GridAxis AxisSpacing(GridSpacing spacing, bool decimal, double range, bool meridian)
{
    GridAxis a;
    a.DegreeStep = decimal ? 10 : 6;
    const int degrees = SpacingDegrees(spacing, range);
    if (degrees > 0) {
        a.Step = degrees * a.DegreeStep;
    } else {
        a.Step = 1;
        a.DegreeStep *= FractionMultiplier(range, meridian);
    }
    return a;
}

// Degrees-minutes(-seconds) of |v|, the fraction of a degree carried into the next unit when
// rounding reaches a whole one (so 50°01'59.9999" reads 50°02'00", never 50°01'60").
std::string DmsText(double v, bool withSeconds)
{
    const double a = std::fabs(v);
    int64_t D = std::llabs(Trunc(v));
    std::string text;
    if (withSeconds) {
        int64_t M = Trunc((a - static_cast<double>(D)) * 60.0);
        int64_t S = Round((a - static_cast<double>(D) - static_cast<double>(M) / 60.0) * 3600.0);
        if (S >= 60) S -= 60, ++M;
        if (M >= 60) M -= 60, ++D;
        text = Padded(D, 3) + kDegreeSign + TwoDigits(M) + "'" + TwoDigits(S) + "\"";
    } else {
        int64_t M = Round((a - static_cast<double>(D)) * 60.0);
        if (M >= 60) M -= 60, ++D;
        text = Padded(D, 3) + kDegreeSign + TwoDigits(M) + "'";
    }
    return text.substr(0, 10);
}

// The grid values of one axis that can be drawn: the multiples of the step from
// trunc(min - 1) to trunc(max + 1) degrees. False when there are too many to draw.
bool GridValues(double mn, double mx, const GridAxis& axis, int64_t& first, int64_t& last)
{
    const int64_t start = Trunc(mn - 1) * axis.DegreeStep;
    const int64_t end = Trunc(mx + 1) * axis.DegreeStep;
    if ((end - start) / axis.Step > kMaxLines) return false;
    int64_t m = start / axis.Step;
    if (m * axis.Step < start) ++m;
    first = m * axis.Step;
    last = end;
    return true;
}

} // namespace

int SpacingDegrees(GridSpacing spacing, double range)
{
    switch (spacing) {
    case GridSpacing::Fractional: return 0;
    case GridSpacing::Degrees1: return 1;
    case GridSpacing::Degrees2: return 2;
    case GridSpacing::Degrees5: return 5;
    case GridSpacing::Degrees10: return 10;
    case GridSpacing::Degrees20: return 20;
    default:   // "&Auto", and a map definition whose spacing code checks no item
        if (range < 2) return 0;
        if (range <= 10) return 1;
        if (range <= 30) return 2;
        if (range <= 100) return 5;
        return 20;
    }
}

GridAxis ParallelSpacing(GridSpacing spacing, bool decimal, double latRange)
{
    return AxisSpacing(spacing, decimal, latRange, false);
}

GridAxis MeridianSpacing(GridSpacing spacing, bool decimal, double lonRange)
{
    return AxisSpacing(spacing, decimal, lonRange, true);
}

GridAxis ReadableSpacing(const GridAxis& axis, bool decimal, bool meridian, double pixelsPerDegree, int labelHeight)
{
    if (axis.Step != 1 || labelHeight <= 0 || !(pixelsPerDegree > 0)) return axis;
    auto apart = [&](const GridAxis& a) {
        return pixelsPerDegree * static_cast<double>(a.Step) / static_cast<double>(a.DegreeStep) >= labelHeight;
    };
    if (apart(axis)) return axis;
    const int64_t base = decimal ? 10 : 6;
    for (int64_t m : {50, 10, 5, 2, 1}) {
        if ((m == 2 && !meridian) || base * m >= axis.DegreeStep) continue;
        const GridAxis a{1, base * m};
        if (apart(a)) return a;
    }
    for (int64_t degrees : {1, 2, 5, 10, 20}) {
        const GridAxis a{degrees * base, base};
        if (apart(a)) return a;
    }
    return {20 * base, base};
}

std::string LatLonStr(int64_t gridValue, bool parallel, const GridAxis& axis, const GridLabelRules& rules)
{
    const double v = static_cast<double>(gridValue) / static_cast<double>(axis.DegreeStep);
    std::string text;
    if (axis.Step != 1) {
        text = std::to_string(std::llabs(Trunc(v)));
    } else if (rules.Decimal) {
        char buf[48];
        if (rules.LonRange < 0.05 || rules.LatRange < 0.05)
            std::snprintf(buf, sizeof buf, "%7.3f", std::fabs(v));
        else if (rules.LonRange < 1.0 || rules.LatRange < 1.0)
            std::snprintf(buf, sizeof buf, "%6.2f", std::fabs(v));
        else
            std::snprintf(buf, sizeof buf, "%5.1f", std::fabs(v));
        text = buf;
    } else {
        const double ownRange = parallel ? rules.LatRange : rules.LonRange;
        text = DmsText(v, ownRange < 0.05);
    }
    return (" " + text).substr(0, 11);
}

std::string GridLabel(int64_t gridValue, bool parallel, const GridAxis& axis, const GridLabelRules& rules)
{
    std::string s = LatLonStr(gridValue, parallel, axis, rules);
    if (gridValue < 0) s += parallel ? "S" : "W";
    if (gridValue > 0) s += parallel ? "N" : "E";
    s += " ";
    return s.substr(0, 11);
}

void DrawGraticule(Canvas& c, const GraticuleSettings& s)
{
    c.brush.style = BrushStyle::Clear;
    c.bkMode = BkMode::Transparent;   // labels have no box
    AtScopeEnd<BkMode> opaque(c.bkMode, BkMode::Opaque);   // however the drawing ends

    const double latRange = s.MaxLat - s.MinLat, lonRange = s.MaxLon - s.MinLon;
    for (double e : {s.MinLat, s.MaxLat, s.MinLon, s.MaxLon})
        if (!std::isfinite(e) || std::fabs(e) > kMaxExtent) return;
    const int W = s.area.W, H = s.area.H;
    if (!(latRange > 0) || !(lonRange > 0) || W <= 0 || H <= 0) return;
    const double mplons = W / lonRange, mplats = H / latRange;

    c.pen.style = PenStyleFromIndex(int{s.GridStyle} - 1);
    c.pen.mode = PenMode::Copy;
    c.pen.width = 1;
    c.pen.colour = s.GridColour;
    c.font.pixelsPerInch = c.PixelsPerInchY();   // the point size holds on the printer
    c.font.colour = s.GridColour;
    c.font.SetSize(s.FontSize);
    c.font.name = "Times New Roman";
    c.font.bold = true;
    c.font.italic = false;

    const GridLabelRules rules{s.Decimal, latRange, lonRange};
    const int ox = s.area.OffsetX, oy = s.area.OffsetY;
    const int th = c.TextHeight("0");   // the font's height, the same for every label
    auto label = [&](int x, int y, const std::string& S) {
        if (s.Halo) c.TextOutHalo(x, y, S, s.HaloColour, s.HaloWidth);
        else c.TextOut(x, y, S);
    };

    // Parallels, labelled at both ends and centred on their line.
    // "Fractional" steps up where its lines would crowd; "Auto" chooses its own steps.
    const bool fractional = s.Spacing == GridSpacing::Fractional;
    GridAxis lat = ParallelSpacing(s.Spacing, s.Decimal, latRange);
    if (fractional) lat = ReadableSpacing(lat, s.Decimal, false, mplats, th);
    int64_t u = 0, last = 0;
    if (GridValues(s.MinLat, s.MaxLat, lat, u, last)) {
        for (; u <= last; u += lat.Step) {
            const double deg = static_cast<double>(u) / static_cast<double>(lat.DegreeStep);
            const int64_t y = H - Round(mplats * (deg - s.MinLat) + 0.000001);
            if (y <= 0 || y >= H) continue;
            const std::string S = GridLabel(u, true, lat, rules);
            const int tw = c.TextWidth(S);
            const int yy = static_cast<int>(y);
            c.MoveTo(ox + tw, oy + yy);
            c.LineTo(ox + W - tw, oy + yy);
            if (yy > th / 2 && yy + th / 2 < H) {
                label(ox, oy + yy - th / 2, S);
                label(ox + W - tw, oy + yy - th / 2, S);
            }
        }
    }

    // Meridians, labelled at the bottom and the top.
    GridAxis lon = MeridianSpacing(s.Spacing, s.Decimal, lonRange);
    if (fractional) lon = ReadableSpacing(lon, s.Decimal, true, mplons, th);
    if (GridValues(s.MinLon, s.MaxLon, lon, u, last)) {
        for (; u <= last; u += lon.Step) {
            const double deg = static_cast<double>(u) / static_cast<double>(lon.DegreeStep);
            const int64_t x = Round(mplons * (deg - s.MinLon));
            if (x <= 0 || x >= W) continue;
            const std::string S = GridLabel(u, false, lon, rules);
            const int tw = c.TextWidth(S);
            const int xx = static_cast<int>(x);
            c.MoveTo(ox + xx, oy + th);
            c.LineTo(ox + xx, oy + H - th);
            if (xx > tw / 2 && xx + tw / 2 < W) {
                label(ox + xx - tw / 2, oy + H - th, S);
                label(ox + xx - tw / 2, oy, S);
            }
        }
    }
}

void DrawGrid(MapView& view, bool bPrint)
{
    Canvas* canvas = bPrint ? view.PrinterCanvas : view.ImageCanvas();
    if (!canvas || !view.MDF) return;
    const TMDFStruct& mdf = *view.MDF;
    GraticuleSettings s;
    s.MinLat = mdf.GetMinLat();
    s.MaxLat = mdf.GetMaxLat();
    s.MinLon = mdf.GetMinLon();
    s.MaxLon = mdf.GetMaxLon();
    s.area = view.DrawingArea(bPrint);
    s.Spacing = view.Spacing;
    s.Decimal = view.GraticuleFormatDEC;
    s.GridColour = mdf.Grid_Colour;
    s.GridStyle = mdf.Grid_Style;
    s.FontSize = CvVars::Graticule_FontSize;
    s.Halo = mdf.Halo;
    s.HaloColour = mdf.BackgroundColour;
    s.HaloWidth = bPrint ? RoundI(PrinterPixelsPerScreenPixel(view.Page.XDpi, view.ScreenPixelsPerInch)) : 1;
    DrawGraticule(*canvas, s);
    view.ProcessMessages();
}

} // namespace corvane
