// The left button held down on the picture: a zoom box pulled open from one corner to the
// other, and a key carried to another corner with its outline following the mouse; and the
// status line's text for the interaction going on.
#include "interact/MapInteraction.h"

#include "interact/InvertingPen.h"
#include "mapdef/MDFStruct.h"
#include "platform/CvVars.h"

#include <cstdlib>

namespace corvane {

namespace {

bool Apart(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    return std::abs(x2 - x1) > MapInteraction::kDragPixels || std::abs(y2 - y1) > MapInteraction::kDragPixels;
}

} // namespace

void MapInteraction::LeftPress(int32_t X, int32_t Y)
{
    EndDrag();
    pressX_ = X;
    pressY_ = Y;
    leftHeld_ = true;
    // A press on a key while no interaction is on may carry it (the move itself is made on
    // release, MoveKey).
    const bool idle = ChkZoom == NoZoom && ChkRepo == NoRepo && ChkQuery == NoQuery && ChkDistance == NoDistance;
    if (idle && !CvVars::bWhereAmI && MDF && MDF->Main_Plot()) {
        dragKey_ = KeyUnderPress(*this, X, Y);
        if (dragKey_ != NoMove) drag_ = Drag::Key;
    }
}

void MapInteraction::DragMove(int32_t X, int32_t Y)
{
    if (!leftHeld_) return;
    if (drag_ == Drag::None && ChkZoom == StartZoom && Apart(pressX_, pressY_, X, Y)) {
        // The box starts at the press, as a first click there would start it.
        zInX1 = zInX2 = pressX_;
        zInY1 = zInY2 = pressY_;
        SetResizeHandler(false);
        DrawZoomBox();
        if (MDF->Box_Shape_Fixed) SetPictureCursor(PictureCursor::Hidden);
        ChkZoom = EndZoom;
        drag_ = Drag::Zoom;
    }
    if (drag_ == Drag::Zoom && ChkZoom == EndZoom) {
        ZoomMouseMove(X, Y);
    } else if (drag_ == Drag::Key) {
        if (keyOutlineShown_) DrawKeyOutline();   // erased where it was
        const Rect& key = dragKey_ == BaseMove ? BaseKeyPos : OverlayKeyPos;
        const int32_t dx = X - pressX_, dy = Y - pressY_;
        keyOutline_ = {key.left + dx, key.top + dy, key.right + dx, key.bottom + dy};
        DrawKeyOutline();
        PictureChanged();
    }
}

bool MapInteraction::LeftRelease(int32_t X, int32_t Y)
{
    const Drag drag = drag_;
    const bool apart = Apart(pressX_, pressY_, X, Y);
    EndDrag();
    if (drag != Drag::Zoom) return false;
    if (ChkZoom == EndZoom) {
        ZoomMouseMove(X, Y);
        // Released near the press, the box waits for its second corner as after a first click.
        if (apart) ZoomClick();
    }
    return true;
}

void MapInteraction::DrawKeyOutline()
{
    Canvas* c = ImageCanvas();
    if (!c || drag_ != Drag::Key || keyOutline_.Width() <= 0 || keyOutline_.Height() <= 0) return;
    InvertingPenGuard pen(c);
    c->Rectangle(keyOutline_.left, keyOutline_.top, keyOutline_.right, keyOutline_.bottom);
    keyOutlineShown_ = !keyOutlineShown_;
}

void MapInteraction::EndDrag()
{
    if (keyOutlineShown_) {
        DrawKeyOutline();
        PictureChanged();
    }
    keyOutline_ = {};
    keyOutlineShown_ = false;
    drag_ = Drag::None;
    dragKey_ = NoMove;
    leftHeld_ = false;
}

ModeStages MapInteraction::Stages() const
{
    ModeStages s;
    s.zoom = ChkZoom;
    s.zoomDragged = drag_ == Drag::Zoom;
    s.repo = ChkRepo;
    s.query = ChkQuery;
    s.distance = ChkDistance;
    s.whereAmI = CvVars::bWhereAmI;
    return s;
}

std::string MapInteraction::ModeHint() const
{
    RouteLegs route;
    route.unit = Unit;
    if (ChkDistance == EndDistance || ChkDistance == StopDistance) {
        const DistanceStore& r = RouteStore;
        for (int i = 2; i <= r.Store_Index; ++i) route.legsNM.push_back(LegNM(i - 1, i));
        // The rubber line's free end, as the caption counts it.
        if (ChkDistance == EndDistance && r.Store_Index > 0 && (zInX2 != r.LastX() || zInY2 != r.LastY()))
            route.toMouseNM = LegToNM(r.Store_Index, zInX2, zInY2);
    }
    return corvane::ModeHint(Stages(), route);
}

} // namespace corvane
