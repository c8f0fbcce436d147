#include "interact/MapInteraction.h"

#include "catalogue/MasterFile.h"
#include "interact/InvertingPen.h"
#include "mapdef/MDFStruct.h"
#include "mapdef/MapThemes.h"
#include "platform/CvVars.h"
#include "platform/MessageSink.h"
#include "render/Plot.h"

#include <cmath>

namespace corvane {

// ---- rubber bands -------------------------------------------------------------------------------

void MapInteraction::DrawZoomBox()
{
    Canvas* c = ImageCanvas();
    if (!c) return;
    InvertingPenGuard pen(c);
    const PixelBox b = OrderBox(zInX1, zInY1, zInX2, zInY2);
    c->Rectangle(b.x1, b.y1, b.x2, b.y2);
}

void MapInteraction::DrawCross()
{
    Canvas* c = ImageCanvas();
    if (!c) return;
    InvertingPenGuard pen(c);
    c->MoveTo(zInX1 - 5, zInY1);
    c->LineTo(zInX1 + 5, zInY1);
    c->MoveTo(zInX1, zInY1 - 5);
    c->LineTo(zInX1, zInY1 + 5);
}

void MapInteraction::ClearZoom()
{
    DrawZoomBox();
    PictureChanged();
}

void MapInteraction::ClearRepo()
{
    DrawCross();
    PictureChanged();
}

PictureFrame MapInteraction::Frame() const
{
    PictureFrame f;
    f.box = {MDF->GetMinLat(), MDF->GetMaxLat(), MDF->GetMinLon(), MDF->GetMaxLon()};
    f.width = ClientWidth() > 0 ? ClientWidth() : 1;
    f.height = ClientHeight() > 0 ? ClientHeight() : 1;
    return f;
}

std::string MapInteraction::LatLonCaption(int32_t X, int32_t Y) const
{
    const bool fine = MDF->GetMainLonRange() < 2.0 || MDF->GetMainLatRange() < 2.0;
    return corvane::LatLonCaption(ScreenToLat(Y), ScreenToLon(X), CurPosFormatDEC, fine);
}

// ---- ending interactions ------------------------------------------------------------------------

void MapInteraction::CheckDraw()
{
    EndDrag();
    if (ChkZoom == EndZoom) ClearZoom();
    ChkZoom = NoZoom;
    if (ChkRepo == EndRepo) ClearRepo();
    ChkRepo = NoRepo;
    if (ChkQuery == EndQuery) {
        StopFlashTimer();
        FlashSymbol(false);
    }
    ChkQuery = NoQuery;
    if (ChkDistance == EndDistance || ChkDistance == StopDistance) EraseRoute();
    ChkDistance = NoDistance;
    ReleaseWindowSize();
    SetPictureCursor(PictureCursor::Default);
}

void MapInteraction::SetCurrentBox(const GeoBox& b)
{
    MDF->SetMinLat(b.minLat);
    MDF->SetMaxLat(b.maxLat);
    MDF->SetMinLon(b.minLon);
    MDF->SetMaxLon(b.maxLon);
}

void MapInteraction::HoldWindowSize()
{
    SetResizeHandler(false);
    Resizeable = false;
}

void MapInteraction::ReleaseWindowSize()
{
    SetResizeHandler(true);
    Resizeable = true;
}

void MapInteraction::ApplyWindowGeometry()
{
    SetResizeHandler(false);
    SetWindowBounds(MDF->GetWindowLeft(), MDF->GetWindowTop(), MDF->GetWindowWidth(), MDF->GetWindowHeight());
    RedrawMap = true;
    PlotMap(false);
    SetResizeHandler(true);
}

void MapInteraction::PlotMap(bool ReSizeToOverlay) { Plot(*this, false, ReSizeToOverlay); }

// ---- the mouse ----------------------------------------------------------------------------------

void MapInteraction::MouseDown(bool rightButton, int32_t X, int32_t Y)
{
    if (!rightButton) {
        // A press counts as a move to where it is when the mouse was not seen there, and in
        // every mode waiting for its first point (whose point a finished zoom or reposition
        // has left elsewhere): a click without a move before it takes its own place.
        const bool waiting =
            ChkZoom == StartZoom || ChkRepo == StartRepo || ChkQuery == StartQuery || ChkDistance == StartDistance;
        if (waiting || X != mouseX_ || Y != mouseY_) MouseMove(false, X, Y);
        return;
    }
    mouseX_ = X;
    mouseY_ = Y;
    if (ChkZoom == StartZoom) {
        CheckDraw();
    } else if (ChkZoom == EndZoom) {
        ClearZoom();
        ChkZoom = StartZoom;
        if (MDF && MDF->Box_Shape_Fixed) SetPictureCursor(PictureCursor::Zoom);
    }
    if (ChkRepo == StartRepo) {
        CheckDraw();
    } else if (ChkRepo == EndRepo) {
        ClearRepo();
        ChkRepo = StartRepo;
    }
    if (ChkQuery == StartQuery) {
        CheckDraw();
    } else if (ChkQuery == EndQuery) {
        StopFlashTimer();
        FlashSymbol(false);
        ChkQuery = StartQuery;
        SetPictureCursor(PictureCursor::Query);
    }
    if (ChkDistance == StartDistance)
        CheckDraw();
    else if (ChkDistance == EndDistance || ChkDistance == StopDistance)
        TakeBackLeg(X, Y);
}

void MapInteraction::MouseMove(bool leftAlone, int32_t X, int32_t Y)
{
    mouseX_ = X;
    mouseY_ = Y;
    if (leftAlone && MDF && MDF->Main_Plot() && !CvVars::bWhereAmI) DragMove(X, Y);
    if (CvVars::bWhereAmI || leftAlone || !MDF || !MDF->Main_Plot()) return;
    if (CurPosDisplay) ShowReadOut(LatLonCaption(X, Y));
    ZoomMouseMove(X, Y);
    if (ChkRepo == StartRepo) {
        zInX1 = X;
        zInY1 = Y;
    } else if (ChkRepo == EndRepo) {
        zInX2 = X;
        zInY2 = Y;
    }
    if (ChkQuery == StartQuery) {
        zInX1 = X;
        zInY1 = Y;
    }
    DistanceMouseMove(X, Y);
}

void MapInteraction::ZoomMouseMove(int32_t X, int32_t Y)
{
    if (ChkZoom == StartZoom) {
        zInX1 = zInX2 = X;
        zInY1 = zInY2 = Y;
    } else if (ChkZoom == EndZoom) {
        DrawZoomBox();
        zInY2 = Y;
        zInX2 = MDF->Box_Shape_Fixed ? FixedShapeX2(zInX1, zInY1, X, Y, ClientWidth(), ClientHeight()) : X;
        DrawZoomBox();
        PictureChanged();
    }
}

void MapInteraction::Click()
{
    if (!MDF || !MDF->Main_Plot()) return;
    // Each interaction takes at most one step per click.
    if (ChkZoom == StartZoom) {
        SetResizeHandler(false);
        DrawZoomBox();
        if (MDF->Box_Shape_Fixed) SetPictureCursor(PictureCursor::Hidden);
        ChkZoom = EndZoom;
        PictureChanged();
    } else if (ChkZoom == EndZoom) {
        ZoomClick();
    }
    if (ChkRepo == StartRepo) {
        HoldWindowSize();
        zInX2 = zInX1;
        zInY2 = zInY1;
        DrawCross();
        ChkRepo = EndRepo;
        PictureChanged();
    } else if (ChkRepo == EndRepo) {
        RepoClick();
    }
    if (ChkQuery == EndQuery) {
        // A click elsewhere while an answer is shown: that answer ends, and the query goes to
        // the point clicked.
        StopFlashTimer();
        FlashSymbol(false);
        ChkQuery = StartQuery;
        zInX1 = pressX_;
        zInY1 = pressY_;
    }
    if (ChkQuery == StartQuery) {
        HoldWindowSize();
        ChkQuery = EndQuery;
        QuerySearch();
    }
    DistanceClick();
    if (CvVars::bWhereAmI) WhereAmIReturn();
}

void MapInteraction::ZoomClick()
{
    ClearZoom();
    const PixelBox b = OrderBox(zInX1, zInY1, zInX2, zInY2);
    zInX1 = b.x1, zInY1 = b.y1, zInX2 = b.x2, zInY2 = b.y2;
    ChkZoom = StartZoom;
    if (!b.Empty()) {
        // A box without width or height has no area to zoom to: the mode waits for the next box.
        const GeoBox a = BoxArea(Frame(), b.x1, b.y1, b.x2, b.y2);
        MDF->NewZoom(MDF->GetWindowLeft(), MDF->GetWindowTop(), MDF->GetWindowRight(), MDF->GetWindowBottom(),
                     a.minLon, a.minLat, a.maxLon, a.maxLat, AreaPriority);
        SetWindowBounds(MDF->GetWindowLeft(), MDF->GetWindowTop(), MDF->GetWindowWidth(), MDF->GetWindowHeight());
        RedrawMap = true;
        PlotMap(false);
    }
    if (MDF && MDF->Box_Shape_Fixed) SetPictureCursor(PictureCursor::Zoom);
    SetResizeHandler(true);
}

void MapInteraction::RepoClick()
{
    ClearRepo();
    const GeoBox b = RepositionBox(Frame(), zInX1, zInY1, zInX2, zInY2);
    SetCurrentBox(b);
    RedrawMap = true;
    PlotMap(false);
    ChkRepo = StartRepo;
    ReleaseWindowSize();
}

// ---- where-am-I ----------------------------------------------------------------------------------

void MapInteraction::WhereAmIClick()
{
    if (CvVars::bWhereAmI || !MDF || !MDF->Main_Plot()) return;
    HoldWindowSize();
    whereAmICaption_ = Caption();
    SetCaption("Where Am I?");
    const MapListRec view = *MDF->Main_Plot();
    MDF->ShowBasePlot();
    // The window keeps its resize handler off until the view returns: a resize in between
    // would otherwise replace the outermost entry.
    SetWindowBounds(MDF->GetWindowLeft(), MDF->GetWindowTop(), MDF->GetWindowWidth(), MDF->GetWindowHeight());
    RedrawMap = true;
    PlotMap(false);
    if (Canvas* c = ImageCanvas()) {
        const PenState pen = c->pen;
        const BrushState brush = c->brush;
        c->brush.style = BrushStyle::Clear;
        c->pen.style = PenStyle::Solid;
        c->pen.mode = PenMode::Copy;
        c->pen.width = 1;
        c->pen.colour = WindowFrameColour();
        const int32_t l = LonToScreen(view.MinLon), t = LatToScreen(view.MaxLat);
        const int32_t r = LonToScreen(view.MaxLon), b = LatToScreen(view.MinLat);
        c->Rectangle(l, t, r, b);
        c->Rectangle(l - 3, t - 3, r + 3, b + 3);
        c->pen = pen;
        c->brush = brush;
    }
    PictureChanged();
    CvVars::bWhereAmI = true;
    whereAmIMenus_ = SavedWhereAmIMenus();
    SetWhereAmIMenus(WhereAmIMenus{false, false, false, false, false});
    StartFlashTimer(0, ButtonFaceColour());
}

void MapInteraction::WhereAmIReturn()
{
    StopFlashTimer();
    FlashSymbol(false);
    MDF->ShowLastPlot();
    ApplyWindowGeometry();
    // The items get back the states they had (the query only where the overlay answers one).
    SetWhereAmIMenus(whereAmIMenus_);
    CvVars::bWhereAmI = false;
    SetCaption(whereAmICaption_);
    ReleaseWindowSize();
}

// ---- the "&Zoom" commands ------------------------------------------------------------------------

ZoomMenuState MapInteraction::Zoom1Click()
{
    CheckDraw();
    return ZoomItems();
}

ZoomMenuState MapInteraction::ZoomItems() const
{
    const bool previous = MDF && MDF->Main_Plot() && MDF->Main_Plot()->Prev && !MDF->BasePlotShown();
    return ZoomMenuItems(WindowNormal(), MDF && MDF->OverlayMAS.First(), previous);
}

void MapInteraction::ZoomInClick()
{
    SetPictureCursor(PictureCursor::Zoom);
    if (ChkZoom == NoZoom) ChkZoom = StartZoom;
}

void MapInteraction::ZoomOutPreviousClick()
{
    if (MDF && MDF->CanZoomOut()) ApplyWindowGeometry();
}

void MapInteraction::ZoomOutAll()
{
    EmptyZoomHistory(*MDF);
}

void MapInteraction::ZoomOutMaximumClick(const SettingsStore& settings, const std::string& exeName)
{
    if (!MDF || !MDF->Main_Plot()) return;
    const MaximumAreaResult area = ReadMaximumArea(settings, exeName);
    if (!area.ok) {
        messages.Warn(area.warning);
        return;
    }
    const int32_t L = MDF->GetWindowLeft(), T = MDF->GetWindowTop();
    const int32_t R = L + MDF->GetWindowWidth(), B = T + MDF->GetWindowHeight();
    ZoomOutAll();
    MDF->ClearBaseZoom();
    const GeoBox& a = area.box;
    MDF->NewZoom(L, T, R, B, a.minLon, a.minLat, a.maxLon, a.maxLat, AreaPriority);
    ApplyWindowGeometry();
}

void MapInteraction::ZoomOutOverlayClick()
{
    if (!MDF || !MDF->Main_Plot()) return;
    ZoomOutAll();
    RedrawMap = true;
    ResizeHandlerOff off(*this);
    PlotMap(true);
}

void MapInteraction::ZoomOutDefaultClick()
{
    const MASStruct* overlay = MDF ? MDF->OverlayMAS.First() : nullptr;
    if (!overlay) return;
    const GeoBox a{overlay->DefaultMinlat, overlay->DefaultMaxlat, overlay->DefaultMinlon, overlay->DefaultMaxlon};
    // A master file without a default area (or an inverted one) has nothing to zoom out to.
    if (!(a.LatRange() > 0 && a.LonRange() > 0)) {
        messages.Beep();
        return;
    }
    ZoomOutAll();
    MDF->ClearBaseZoom();
    const ScreenRect& u = MDF->UsableScreen;
    MDF->NewZoom(u.Left, MDF->Screen().MainWindowBottom(), u.Right, u.Bottom, a.minLon, a.minLat, a.maxLon, a.maxLat,
                 AreaPriority);
    ApplyWindowGeometry();
}

void MapInteraction::RepositionClick()
{
    SetPictureCursor(PictureCursor::Repo);
    if (ChkRepo == NoRepo)
        ChkRepo = StartRepo;
    else if (ChkRepo == StartRepo)
        SetPictureCursor(PictureCursor::Default);
}

void MapInteraction::BoxShapeClick(bool fixed)
{
    if (MDF) MDF->Box_Shape_Fixed = fixed;
}

void MapInteraction::ZoomLevelClick(bool fixed)
{
    if (MDF) MDF->Zoom_Level_Fixed = fixed;
}

bool MapInteraction::ZoomToArea(double W, double S, double E, double N)
{
    if (!MDF || !MDF->Main_Plot()) return false;
    if (W == MDF->GetMinLon() && S == MDF->GetMinLat() && E == MDF->GetMaxLon() && N == MDF->GetMaxLat()) return false;
    MDF->NewZoom(MDF->GetWindowLeft(), MDF->GetWindowTop(), MDF->GetWindowRight(), MDF->GetWindowBottom(), W, S, E, N,
                 AreaPriority);
    // Plotted here, also when the window keeps its bounds and no resize would follow.
    ApplyWindowGeometry();
    return true;
}

// ---- wheel and keyboard --------------------------------------------------------------------------

bool MapInteraction::FreeZoomAllowed() const
{
    return MDF && MDF->Main_Plot() && !CvVars::bWhereAmI && WindowNormal() && ZoomMenuEnabled();
}

bool MapInteraction::ZoomAbout(int notches, int32_t X, int32_t Y, bool newEntry)
{
    if (notches == 0 || !FreeZoomAllowed()) return false;
    const GeoBox b = corvane::ZoomAbout(Frame(), X, Y, std::pow(kZoomStep, notches));
    const bool narrow = !(b.LatRange() >= kNarrowestRange && b.LonRange() >= kNarrowestRange);
    const bool wide = !(b.LatRange() <= kWidestLatRange && b.LonRange() <= kWidestLonRange);
    if (notches > 0 ? narrow : wide) return false;
    // What was drawn for the picture as it is goes first; each mode waits for its first point.
    StepBackToWaiting();
    const ScreenRect w = MDF->Main_Plot()->WindowSize;
    if (!newEntry && gestureEntry_ == MDF->Main_Plot() && MDF->Main_Plot() != MDF->Base_Plot()) MDF->CanZoomOut();
    // The box keeps the picture's shape, so the window keeps its size (the box stays exactly as
    // asked, with the place under the mouse where it was).
    MDF->NewZoom(w.Left, w.Top, w.Right, w.Bottom, b.minLon, b.minLat, b.maxLon, b.maxLat, AreaPriority);
    gestureEntry_ = MDF->Main_Plot();
    if (MDF->Main_Plot()->WindowSize != w) {
        ResizeHandlerOff off(*this);
        SetWindowBounds(MDF->GetWindowLeft(), MDF->GetWindowTop(), MDF->GetWindowWidth(), MDF->GetWindowHeight());
    }
    RedrawMap = true;
    PlotMap(false);
    return true;
}

bool MapInteraction::ZoomAboutCentre(int notches)
{
    return ZoomAbout(notches, ClientWidth() / 2, ClientHeight() / 2, true);
}

bool MapInteraction::Pan(int dx, int dy)
{
    if ((dx == 0 && dy == 0) || !FreeZoomAllowed()) return false;
    StepBackToWaiting();
    const int32_t cx = ClientWidth() / 2, cy = ClientHeight() / 2;
    const GeoBox b = RepositionBox(Frame(), cx, cy, cx - dx * (ClientWidth() / 10), cy - dy * (ClientHeight() / 10));
    SetCurrentBox(b);
    RedrawMap = true;
    PlotMap(false);
    return true;
}

void MapInteraction::StepBackToWaiting()
{
    if (ChkZoom == EndZoom) {
        ClearZoom();
        ChkZoom = StartZoom;
    }
    if (ChkRepo == EndRepo) {
        ClearRepo();
        ChkRepo = StartRepo;
    }
    if (ChkQuery == EndQuery) {
        StopFlashTimer();
        FlashSymbol(false);
        ChkQuery = StartQuery;
    }
    if (ChkDistance == EndDistance || ChkDistance == StopDistance) {
        // The route lies in picture positions, which a new view would move under it.
        EraseRoute();
        StartMeasuring();
    }
}

void MapInteraction::Escape()
{
    if (CvVars::bWhereAmI) {
        WhereAmIReturn();
        return;
    }
    MouseDown(true, mouseX_, mouseY_);
}

} // namespace corvane
