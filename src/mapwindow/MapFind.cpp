// The place search on the map: a place chosen in the main window's search is shown centred at
// a scale that shows it, through the zoom history (so "&Previous" returns), its theme put on the
// map when the user wants it, and it flashes as a query hit does; a query record answers as a
// click on it would.
#include "mapwindow/MapFrm.h"

#include "catalogue/MasterFile.h"
#include "gazetteer/PlaceView.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/MessageSink.h"
#include "render/Keys.h"

#include <QTimer>

namespace corvane {

namespace {

// The marker of a place that is not a query hit: a large open circle, or the outline of its
// area, in red.
constexpr uint8_t kMarkerSymbol = 8;
constexpr uint8_t kMarkerLine = 1;   // a solid pen (style index 0)
constexpr Colour kMarkerColour = 0x0000FF;

} // namespace

void TMapFrm::ShowPlace(const Place& place)
{
    if (!MDF || closed_ || !MDF->Main_Plot() || plotting_ > 0) return;
    if (CvVars::bWhereAmI) Escape();
    CheckDraw();

    // A theme that is not drawn is offered to be added; else the place is shown on the map
    // as it is.
    bool themesChanged = false;
    if (!place.theme.empty() && !ThemeDrawn(*MDF, place.theme) &&
        messages.Confirm("The theme " + place.theme + " is not on the map. Do you want to add it ?",
                         MsgButtons::YesNo) == MsgResult::Yes &&
        DrawThemeAsOverlay(*MDF, place.theme, messages)) {
        themesChanged = true;
        NeedToSave = true;
        ApplyMenuState();
        CheckQueryOption();
    }
    if (!MDF || closed_) return;

    const double ppi = ScreenPixelsPerInch > 0 ? ScreenPixelsPerInch : logicalDpiX();
    const GeoBox box = PlaceViewBox(place, Frame().box, ClientWidth(), ClientHeight(), ppi);
    // Plotted in any case when the theme came; a box that is the view already adds no zoom entry.
    if (!ZoomToArea(box.minLon, box.minLat, box.maxLon, box.maxLat) && themesChanged) Redraw(false);
    if (!MDF || closed_) return;

    const MASStruct* theme = ThemeDrawn(*MDF, place.theme) ? ThemeOnMap(*MDF, place.theme) : nullptr;
    if (!(place.source == PlaceSource::Record && theme && AnswerPlace(*theme, place))) FlashPlace(place);
}

// The query click on the record's own symbol or reference point: found there, it is answered
// and flashes as a click on it would have it.
bool TMapFrm::AnswerPlace(const MASStruct& theme, const Place& place)
{
    for (const DSDStruct* d = theme.NextDSD.get(); d; d = d->NextDSD.get()) {
        if (d->Data_Type != dtSYX && d->Data_Type != dtPOL7) continue;
        int file = 0;
        for (const DFNStruct* f = d->NextDFN.get(); f; f = f->NextDFN.get()) {
            ++file;
            if (!SameText(f->FileName, place.layerFile)) continue;
            const int32_t X = LonToScreen(place.lon), Y = LatToScreen(place.lat);
            QueryHit hit;
            if (!corvane::SearchEachDataFile(*this, theme, *d, file, X, Y, hit) || hit.Offset != place.infoOffset)
                return false;
            AnswerAt(X, Y);
            ShowQuery(hit);
            return true;
        }
    }
    return false;
}

void TMapFrm::FlashPlace(const Place& place)
{
    if (!canvas_) return;
    const int32_t X = LonToScreen(place.lon), Y = LatToScreen(place.lat);
    if (place.hasExtent) {
        // The outline of the area, as a polygon found flashes.
        const PlaceExtent& e = place.extent;
        const int32_t l = LonToScreen(e.west), r = LonToScreen(e.east);
        const int32_t t = LatToScreen(e.north), b = LatToScreen(e.south);
        Points = {{0, 0}, {5, 0}, {l, t}, {r, t}, {r, b}, {l, b}, {l, t}, {0, 0}};
        Timer1Tag = 7;
        TimerStyle = kMarkerLine;
    } else {
        Timer1Tag = 4;
        TimerLon = X;
        TimerLat = Y;
        TimerStyle = kMarkerSymbol;
    }
    TimerColour = kMarkerColour;
    placeMarker_ = true;
    AnswerAt(X, Y);
    Timer1->start();
}

// The query mode as a click at (X, Y) leaves it: the answer is shown, the figure flashes and the
// window keeps its size until the mode steps back.
void TMapFrm::AnswerAt(int32_t X, int32_t Y)
{
    zInX1 = X;
    zInY1 = Y;
    SetResizeHandler(false);
    Resizeable = false;
    ChkQuery = EndQuery;
    SetPictureCursor(PictureCursor::Query);
}

// The marker is not part of the map: when it stops flashing the picture is put back.
void TMapFrm::EndPlaceMarker()
{
    placeMarker_ = false;
    Points = {};
    if (!canvas_ || !MDF) return;
    OverlayRefresh(*this);
    RefreshImage();
}

} // namespace corvane
