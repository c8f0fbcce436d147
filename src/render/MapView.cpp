#include "render/MapView.h"

#include "mapdef/MDFStruct.h"
#include "render/Transforms.h"

namespace corvane {

GridSpacing GridSpacingFromScale(uint8_t Grid_Scale)
{
    switch (Grid_Scale) {
    case 1: return GridSpacing::Auto;
    case 2: return GridSpacing::Fractional;
    case 3: return GridSpacing::Degrees1;
    case 4: return GridSpacing::Degrees2;
    case 5: return GridSpacing::Degrees5;
    case 6: return GridSpacing::Degrees10;
    case 7: return GridSpacing::Degrees20;
    default: return GridSpacing::None;
    }
}

LandStyleChecks LandStyleFromPlotStyle(int32_t Land_Plot_Style)
{
    const uint8_t b = static_cast<uint8_t>(Land_Plot_Style & 0xFF);
    LandStyleChecks c;
    c.InFilled1 = b != 0;
    c.Outline1 = (b ^ 1) != 0;
    return c;
}

void MapView::SetRedrawEnabled(bool enabled)
{
    if (redraw1Enabled_ == enabled) return;
    redraw1Enabled_ = enabled;
    RedrawEnabledChanged();
}

void MapView::SetChecksFromMDF()
{
    if (!MDF) return;
    const LandStyleChecks land = LandStyleFromPlotStyle(MDF->Land_Plot_Style);
    InFilled1 = land.InFilled1;
    Outline1 = land.Outline1;
    Spacing = GridSpacingFromScale(MDF->Grid_Scale);
    GraticuleFormatDEC = !MDF->Grid_Format;
    BaseMapKey = MDF->BaseKey_Displayed;
    OverlayMapKey = MDF->OverlayKey_Displayed;
    Caption1 = MDF->KeyCaption;
}

DrawContext MapView::Context(bool print)
{
    Canvas* screen = ImageCanvas();
    DrawContext ctx(print ? *PrinterCanvas : *screen, messages);
    ctx.screenCanvas = screen;
    ctx.SetExtents(MDF->GetMinLat(), MDF->GetMaxLat(), MDF->GetMinLon(), MDF->GetMaxLon());
    ctx.ClientWidth = ClientWidth();
    ctx.ClientHeight = ClientHeight();
    ctx.WindowWidth = MDF->GetWindowWidth();
    ctx.WindowHeight = MDF->GetWindowHeight();
    ctx.ScreenPixelsPerInch = ScreenPixelsPerInch;
    ctx.Print = print;
    ctx.Page = Page;
    ctx.landStyle = InFilled1 ? LandStyle::Infilled : LandStyle::Outline;
    ctx.Land_Plot_Fill_Colour = MDF->Land_Plot_Fill_Colour;
    ctx.Land_Plot_Colour = MDF->Land_Plot_Colour;
    ctx.BackgroundColour = MDF->BackgroundColour;
    ctx.Halo = MDF->Halo;
    return ctx;
}

MapArea MapView::DrawingArea(bool print) const
{
    if (!print) return {ClientWidth(), ClientHeight(), 0, 0};
    const PrintedSize size = PrintedMapSize(Page, ClientWidth(), ClientHeight());
    return {size.W, size.H, Page.LeftOffset(), Page.TopOffset()};
}

double MapView::ScreenToLat(int32_t Y) const
{
    return corvane::ScreenToLat(Y, MDF->GetMinLat(), MDF->GetMainLatRange(), ClientHeight());
}

double MapView::ScreenToLon(int32_t X) const
{
    return corvane::ScreenToLon(X, MDF->GetMinLon(), MDF->GetMainLonRange(), ClientWidth());
}

int32_t MapView::LatToScreen(double Y) const
{
    return corvane::LatToScreen(Y, MDF->GetMinLat(), MDF->GetMainLatRange(), ClientHeight());
}

int32_t MapView::LonToScreen(double X) const
{
    return corvane::LonToScreen(X, MDF->GetMinLon(), MDF->GetMainLonRange(), ClientWidth());
}

} // namespace corvane
