#include "display/DisplayCommands.h"

#include "mapdef/MDFStruct.h"
#include "platform/CvVars.h"
#include "render/Graticule.h"
#include "render/MapView.h"

namespace corvane {

namespace {

constexpr DisplayOutcome kMarkRedraw{MapUpdate::MarkRedraw, true};

// Overlay refresh when the graticule is shown; a change to save either way.
DisplayOutcome RefreshIfDisplayed(const MapView& view)
{
    return {view.MDF->Grid_Displayed ? MapUpdate::OverlayRefresh : MapUpdate::None, true};
}

Colour* ColourField(TMDFStruct& mdf, MapColour which)
{
    switch (which) {
    case MapColour::LandFill: return &mdf.Land_Plot_Fill_Colour;
    case MapColour::LandOutline: return &mdf.Land_Plot_Colour;
    case MapColour::Background: return &mdf.BackgroundColour;
    case MapColour::Graticule: return &mdf.Grid_Colour;
    }
    return &mdf.BackgroundColour;
}

} // namespace

DisplayOutcome ToggleLandStyle(MapView& view)
{
    if (!view.MDF) return {};
    view.InFilled1 = !view.InFilled1;
    view.Outline1 = !view.Outline1;
    view.MDF->Land_Plot_Style = view.InFilled1 ? 1 : 0;
    return kMarkRedraw;
}

Colour MapColourValue(const MapView& view, MapColour which)
{
    return view.MDF ? *ColourField(*view.MDF, which) : 0;
}

DisplayOutcome StoreMapColour(MapView& view, MapColour which, Colour colour)
{
    if (!view.MDF) return {};
    *ColourField(*view.MDF, which) = colour;
    return which == MapColour::Graticule ? RefreshIfDisplayed(view) : kMarkRedraw;
}

DisplayOutcome ToggleHalo(MapView& view)
{
    if (!view.MDF) return {};
    view.MDF->Halo = !view.MDF->Halo;
    return {MapUpdate::Replot, true};
}

DisplayOutcome ToggleGraticule(MapView& view)
{
    if (!view.MDF) return {};
    view.MDF->Grid_Displayed = !view.MDF->Grid_Displayed;
    return {MapUpdate::OverlayRefresh, true};
}

DisplayOutcome StoreGraticuleStyle(MapView& view, int penStyle)
{
    if (!view.MDF || penStyle < 0 || penStyle > 5) return {};
    view.MDF->Grid_Style = GridStyleOfPenStyle(penStyle);
    return RefreshIfDisplayed(view);
}

DisplayOutcome StoreGraticuleSpacing(MapView& view, uint8_t gridScale)
{
    if (!view.MDF || gridScale < 1 || gridScale > 7) return {};
    view.MDF->Grid_Scale = gridScale;
    view.Spacing = GridSpacingFromScale(gridScale);
    return RefreshIfDisplayed(view);
}

DisplayOutcome StoreGraticuleFormat(MapView& view, bool dms)
{
    if (!view.MDF) return {};
    if (view.GraticuleFormatDEC == !dms) return {MapUpdate::None, true};
    view.MDF->Grid_Format = dms;
    view.GraticuleFormatDEC = !dms;
    // Labels differ between the formats only on an axis with fractional spacing (a
    // "&Fractional" graticule, or "&Auto" on a range below 2 degrees).
    const bool fractional = SpacingDegrees(view.Spacing, view.MDF->GetMainLatRange()) == 0 ||
                            SpacingDegrees(view.Spacing, view.MDF->GetMainLonRange()) == 0;
    return {view.MDF->Grid_Displayed && fractional ? MapUpdate::OverlayRefresh : MapUpdate::None, true};
}

DisplayOutcome StepGraticuleFontSize(MapView& view, int step)
{
    uint8_t& size = CvVars::Graticule_FontSize;
    if ((step > 0 && size >= 255) || (step < 0 && size <= 1) || step == 0 || !view.MDF) return {};
    size = static_cast<uint8_t>(size + (step > 0 ? 1 : -1));
    if (!view.MDF->Grid_Displayed) return {};
    return {MapUpdate::OverlayRefresh, true};
}

DisplayOutcome StepCoastResolution(int step)
{
    uint8_t& k = CvVars::CoastResolution;
    if ((step < 0 && k == 0) || (step > 0 && k >= 2) || step == 0) return {};
    k = static_cast<uint8_t>(k + (step > 0 ? 1 : -1));
    return {MapUpdate::MarkRedraw, false};
}

} // namespace corvane
