// The distance tool of the map window's interaction: a route of up to 512 points clicked on
// the picture, a rubber line from the last point, and each leg with the running total along
// the great circle in the window's caption.
#include "interact/MapInteraction.h"

#include "interact/InvertingPen.h"
#include "layers/Distance.h"
#include "mapdef/MDFStruct.h"
#include "platform/CvVars.h"
#include "platform/MessageSink.h"

namespace corvane {

namespace {

bool IsLastPoint(int32_t x, int32_t y)
{
    const DistanceStore& s = RouteStore;
    return s.Store_Index > 0 && x == s.LastX() && y == s.LastY();
}

} // namespace

double MapInteraction::LegToNM(int a, int32_t X, int32_t Y) const
{
    const DistanceStore& s = RouteStore;
    if (a < 1 || a > s.Store_Index) return 0.0;
    return Great_Circle_NM(ScreenToLat(s.Store_Y[a - 1]), ScreenToLon(s.Store_X[a - 1]), ScreenToLat(Y), ScreenToLon(X));
}

double MapInteraction::LegNM(int a, int b) const
{
    const DistanceStore& s = RouteStore;
    if (b < 1 || b > s.Store_Index) return 0.0;
    return LegToNM(a, s.Store_X[b - 1], s.Store_Y[b - 1]);
}

void MapInteraction::Draw_Last_Line()
{
    Canvas* c = ImageCanvas();
    if (!c || RouteStore.Store_Index == 0 || IsLastPoint(zInX2, zInY2)) return;
    InvertingPenGuard pen(c);
    c->MoveTo(RouteStore.LastX(), RouteStore.LastY());
    c->LineTo(zInX2, zInY2);
}

void MapInteraction::DisplayRunningTotal() { SetCaption(DistanceCaption(RouteStore.NM, RouteStore.Running_Total, Unit)); }

void MapInteraction::MoveRubberEnd(int32_t X, int32_t Y)
{
    Draw_Last_Line();
    zInX2 = X;
    zInY2 = Y;
    Draw_Last_Line();
    PictureChanged();
}

// The leg from the last point to (X, Y) counts in the total shown, not in the total kept.
void MapInteraction::DisplayRubberLeg(int32_t X, int32_t Y)
{
    DistanceStore& s = RouteStore;
    s.NM = LegToNM(s.Store_Index, X, Y);
    const double kept = s.Running_Total;
    s.Running_Total += s.NM;
    DisplayRunningTotal();
    s.Running_Total = kept;
}

void MapInteraction::StartMeasuring()
{
    RouteStore.Clear();
    RouteStore.NM = 0;
    ChkDistance = StartDistance;
    ReleaseWindowSize();
    SetPictureCursor(PictureCursor::Distance);
}

void MapInteraction::Distance1Click()
{
    // A measurement in progress goes on: the submenu is also where its unit is chosen.
    if (ChkDistance != NoDistance || CvVars::bWhereAmI) return;
    CheckDraw();
    StartMeasuring();
}

void MapInteraction::EraseRoute()
{
    Draw_Last_Line();
    while (RouteStore.Store_Index > 1) {
        zInX2 = RouteStore.LastX();
        zInY2 = RouteStore.LastY();
        RouteStore.RemoveLast();
        Draw_Last_Line();
    }
    SetCaption(RouteStore.OldCaption);
    PictureChanged();
}

void MapInteraction::EndDistanceMeasurement()
{
    if (ChkDistance == NoDistance) return;
    if (ChkDistance == EndDistance || ChkDistance == StopDistance) EraseRoute();
    ChkDistance = NoDistance;
    ReleaseWindowSize();
    SetPictureCursor(PictureCursor::Default);
}

void MapInteraction::DistanceMouseMove(int32_t X, int32_t Y)
{
    switch (ChkDistance) {
    case StartDistance:
        zInX1 = zInX2 = X;
        zInY1 = zInY2 = Y;
        break;
    case EndDistance:
        MoveRubberEnd(X, Y);
        DisplayRubberLeg(X, Y);
        break;
    case StopDistance:
        zInX1 = X;
        zInY1 = Y;
        break;
    default: break;
    }
}

void MapInteraction::DistanceClick()
{
    DistanceStore& s = RouteStore;
    switch (ChkDistance) {
    case StartDistance:
        HoldWindowSize();
        s.OldCaption = ShortStr255(Caption());
        ChkDistance = EndDistance;
        s.Add(zInX1, zInY1);
        zInX2 = zInX1;
        zInY2 = zInY1;
        SetPictureCursor(PictureCursor::Hidden);
        break;
    case EndDistance:
        if (IsLastPoint(zInX2, zInY2)) break;   // no leg of no length
        if (!s.Add(zInX2, zInY2)) {
            messages.Beep();   // the store is full: the route stays as it is
            break;
        }
        s.NM = LegNM(s.Store_Index - 1, s.Store_Index);
        s.Running_Total += s.NM;
        DisplayRunningTotal();
        break;
    case StopDistance:
        // The route goes on from its last point to the point clicked; that leg counts once.
        if (IsLastPoint(zInX1, zInY1)) {
            ChkDistance = EndDistance;
            break;
        }
        if (s.Store_Index >= DistanceStore::MaxPoints) {
            messages.Beep();
            break;
        }
        MoveRubberEnd(zInX1, zInY1);
        s.Add(zInX2, zInY2);
        s.NM = LegNM(s.Store_Index - 1, s.Store_Index);
        s.Running_Total += s.NM;
        DisplayRunningTotal();
        ChkDistance = EndDistance;
        break;
    default: break;
    }
}

void MapInteraction::DblClick()
{
    if (ChkDistance != EndDistance) return;
    // The first click of the double click has stored the point: its leg is already counted.
    // A rubber line the mouse drew between the two presses goes with the rubber line's end.
    DistanceStore& s = RouteStore;
    MoveRubberEnd(s.LastX(), s.LastY());
    s.NM = LegNM(s.Store_Index - 1, s.Store_Index);
    DisplayRunningTotal();
    ChkDistance = StopDistance;
    SetPictureCursor(PictureCursor::Default);
}

void MapInteraction::TakeBackLeg(int32_t X, int32_t Y)
{
    DistanceStore& s = RouteStore;
    Draw_Last_Line();
    if (s.Store_Index <= 1) {
        SetCaption(s.OldCaption);
        StartMeasuring();
        zInX1 = zInX2 = X;
        zInY1 = zInY2 = Y;
        PictureChanged();
        return;
    }
    s.Running_Total -= LegNM(s.Store_Index - 1, s.Store_Index);
    if (ChkDistance == EndDistance) {
        zInX1 = zInX2;   // the rubber line's free end
        zInY1 = zInY2;
    }
    zInX2 = s.LastX();
    zInY2 = s.LastY();
    s.RemoveLast();
    Draw_Last_Line();   // erases the leg taken back
    if (s.Store_Index == 1) s.Running_Total = 0;
    zInX2 = zInX1;
    zInY2 = zInY1;
    Draw_Last_Line();   // the rubber line from the new last point
    PictureChanged();
    DisplayRubberLeg(X, Y);
    ChkDistance = EndDistance;
}

} // namespace corvane
