// The mouse on the map picture: presses, moves, releases, clicks and double clicks turned into
// the handlers the interaction states answer.
#include "mapwindow/MapFrm.h"

#include <QMouseEvent>

namespace corvane {

// ---- Image1's events ----------------------------------------------------------------------------

void MapImage::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) clicked_ = true;
    frm_->Image1MouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void MapImage::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    frm_->Image1MouseMove(event->buttons(), event->modifiers(), p.x(), p.y());
}

void MapImage::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton && clicked_) {
        clicked_ = false;
        if (rect().contains(p)) frm_->Image1Click();
    }
    frm_->Image1MouseUp(event->button(), event->modifiers(), p.x(), p.y());
}

// The second press of a double click: the double click first, then the press. Its release
// is no click.
void MapImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) frm_->Image1DblClick();
    frm_->Image1MouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

// ---- the handlers ---------------------------------------------------------------------------------

void TMapFrm::Image1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y)
{
    // With no interaction active the press point is kept for moving a key (or, while a key
    // move is pending, as its second point).
    if (ChkZoom == NoZoom && ChkRepo == NoRepo && ChkQuery == NoQuery && ChkDistance == NoDistance) {
        if (KeyMove == NoMove) {
            zInX1 = X;
            zInY1 = Y;
        } else {
            zInX2 = X;
            zInY2 = Y;
        }
    }
}
void TMapFrm::Image1MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int) {}
void TMapFrm::Image1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, int X, int Y)
{
    if (button == Qt::LeftButton && ChkZoom == NoZoom && ChkRepo == NoRepo && ChkQuery == NoQuery &&
        ChkDistance == NoDistance)
        MoveKeyOnRelease(X, Y);
}
void TMapFrm::Image1Click() {}
void TMapFrm::Image1DblClick() {}

} // namespace corvane
