// The mouse on the map picture: presses, moves, releases, clicks and double clicks turned into
// the handlers the interaction states answer; the wheel and the touchpad; and the cursor
// position read-out.
#include "mapwindow/MapFrm.h"

#include "interact/ModeHelp.h"
#include "mapdef/MDFStruct.h"
#include "platform/CvVars.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QWheelEvent>

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
    if (event->button() == Qt::LeftButton) {
        // A zoom box pulled open ends with the release, which is then no click.
        const bool dragged = frm_->Image1LeftRelease(p.x(), p.y());
        if (clicked_ && !dragged && rect().contains(p)) frm_->Image1Click();
        clicked_ = false;
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

namespace {

ScrollPhase PhaseOf(Qt::ScrollPhase phase)
{
    switch (phase) {
    case Qt::ScrollBegin: return ScrollPhase::Begin;
    case Qt::ScrollUpdate:
    case Qt::ScrollMomentum: return ScrollPhase::Update;
    case Qt::ScrollEnd: return ScrollPhase::End;
    default: return ScrollPhase::None;
    }
}

} // namespace

void MapImage::wheelEvent(QWheelEvent* event)
{
    const QPoint p = event->position().toPoint();
    frm_->Image1MouseWheel(event->angleDelta().y(), static_cast<int64_t>(event->timestamp()), PhaseOf(event->phase()),
                           p.x(), p.y());
    event->accept();
}

// Pinching on a touchpad zooms as the wheel does.
bool MapImage::event(QEvent* event)
{
    if (event->type() == QEvent::NativeGesture) {
        auto* g = static_cast<QNativeGestureEvent*>(event);
        const QPoint p = g->position().toPoint();
        const int64_t ms = static_cast<int64_t>(g->timestamp());
        switch (g->gestureType()) {
        case Qt::BeginNativeGesture: frm_->Image1Pinch(0, ms, ScrollPhase::Begin, p.x(), p.y()); return true;
        case Qt::EndNativeGesture: frm_->Image1Pinch(0, ms, ScrollPhase::End, p.x(), p.y()); return true;
        case Qt::ZoomNativeGesture: frm_->Image1Pinch(g->value(), ms, ScrollPhase::Update, p.x(), p.y()); return true;
        default: break;
        }
    }
    return QWidget::event(event);
}

// ---- the handlers ---------------------------------------------------------------------------------

void TMapFrm::Image1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int X, int Y)
{
    // A press on the outermost map of where-am-I only returns to the view: it is no press on a
    // key of that view, whose picture is drawn by the time the button is released.
    pressInWhereAmI_ = CvVars::bWhereAmI;
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
    MouseDown(button == Qt::RightButton, X, Y);
    if (button == Qt::LeftButton) LeftPress(X, Y);
    ShowInteractionState();
}

void TMapFrm::Image1MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers, int X, int Y)
{
    MouseMove(buttons == Qt::LeftButton, X, Y);
    // A zoom box pulled open, and the leg to the pointer of a route, change the text.
    if (ChkZoom == EndZoom || ChkDistance != NoDistance) ShowInteractionState();
}

void TMapFrm::Image1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, int X, int Y)
{
    if (button == Qt::LeftButton && ChkZoom == NoZoom && ChkRepo == NoRepo && ChkQuery == NoQuery &&
        ChkDistance == NoDistance && !pressInWhereAmI_)
        MoveKeyOnRelease(X, Y);
    pressInWhereAmI_ = false;
    ShowInteractionState();
}

bool TMapFrm::Image1LeftRelease(int X, int Y) { return LeftRelease(X, Y); }

void TMapFrm::Image1Click() { Click(); }

void TMapFrm::Image1DblClick()
{
    DblClick();
    ShowInteractionState();
}

void TMapFrm::Image1MouseWheel(int units, int64_t ms, ScrollPhase phase, int X, int Y)
{
    const int notches = wheel_.AddScroll(units, ms, phase);
    if (notches != 0) ZoomAbout(notches, X, Y, wheel_.StartsGesture());
    ShowInteractionState();
}

void TMapFrm::Image1Pinch(double scale, int64_t ms, ScrollPhase phase, int X, int Y)
{
    const int notches = wheel_.AddPinch(scale, ms, phase);
    if (notches != 0) ZoomAbout(notches, X, Y, wheel_.StartsGesture());
    ShowInteractionState();
}

// ---- the status line ------------------------------------------------------------------------------

void TMapFrm::BuildModeLine()
{
    ModeLine = new QLabel(this);
    ModeLine->setObjectName("ModeLine");
    ModeLine->setAttribute(Qt::WA_TransparentForMouseEvents);
    ModeLine->setAutoFillBackground(true);
    ModeLine->setContentsMargins(6, 2, 6, 2);
    ModeLine->setWordWrap(true);   // a long route takes a second line on a narrow map
    // The desktop's own colours (light or dark), a little see-through over the map.
    QPalette pal = ModeLine->palette();
    QColor back = pal.color(QPalette::Window);
    back.setAlpha(225);
    pal.setColor(QPalette::Window, back);
    ModeLine->setPalette(pal);
    ModeLine->setFont(QApplication::font());
    ModeLine->hide();
}

void TMapFrm::PlaceModeLine()
{
    const int h = ModeLine->heightForWidth(width());
    ModeLine->setGeometry(0, height() - h, width(), h);
}

void TMapFrm::ConnectInteractionState()
{
    // Connected after the commands themselves, so that it runs after each of them.
    for (QAction* a : findChildren<QAction*>())
        connect(a, &QAction::triggered, this, &TMapFrm::ShowInteractionState);
    for (QMenu* m : findChildren<QMenu*>()) connect(m, &QMenu::aboutToShow, this, &TMapFrm::ShowInteractionState);
}

void TMapFrm::ShowInteractionState()
{
    if (closed_ || !MDF || !ModeLine) return;
    ApplyZoomItems(ZoomItems());
    const QString hint = QString::fromUtf8(ModeHint().c_str());
    if (hint.isEmpty()) {
        ModeLine->hide();
        return;
    }
    if (ModeLine->text() != hint) ModeLine->setText(hint);
    PlaceModeLine();
    ModeLine->raise();
    ModeLine->show();
}

void TMapFrm::CheckDraw()
{
    MapInteraction::CheckDraw();
    ShowInteractionState();
}

// ---- the cursor position read-out -------------------------------------------------------------------

void TMapFrm::ConnectReadOut()
{
    LatLonPos->installEventFilter(this);
    connect(Menu.CurPosDisplay, &QAction::triggered, this, &TMapFrm::CurPosDisplayClick);
    connect(Menu.CurPosFormatDMS, &QAction::triggered, this, &TMapFrm::CurPosFormatDMSClick);
    connect(Menu.CurPosFormatDEC, &QAction::triggered, this, &TMapFrm::CurPosFormatDECClick);
    // The read-out reads the check marks, however they are set.
    connect(Menu.CurPosDisplay, &QAction::toggled, this, [this](bool on) { CurPosDisplay = on; });
    connect(Menu.CurPosFormatDEC, &QAction::toggled, this, [this](bool on) { CurPosFormatDEC = on; });
}

void TMapFrm::ShowReadOut(const std::string& text)
{
    LatLonPos->setText(BytesToQString(text));
    LatLonPos->adjustSize();
}

void TMapFrm::CurPosDisplayClick()
{
    LatLonPos->setVisible(Menu.CurPosDisplay->isChecked());
    ApplyReadOutLook();
    if (LatLonPos->isVisible() && MDF && MDF->Main_Plot()) ShowReadOut(LatLonCaption(MouseX(), MouseY()));
}

// The format items: radio-style check marks over Cursor_Format; the read-out shows the new form.
void TMapFrm::CurPosFormatDMSClick() { SetCursorFormat(true); }
void TMapFrm::CurPosFormatDECClick() { SetCursorFormat(false); }

void TMapFrm::SetCursorFormat(bool dms)
{
    NeedToSave = true;
    if (MDF) MDF->Cursor_Format = dms;
    Menu.CurPosFormatDMS->setChecked(dms);
    Menu.CurPosFormatDEC->setChecked(!dms);
    if (LatLonPos->isVisible() && MDF && MDF->Main_Plot()) ShowReadOut(LatLonCaption(MouseX(), MouseY()));
}

// While the left button alone is held on the label, it follows the mouse, kept by the point
// where it was taken hold of.
void TMapFrm::LatLonPosMouseMove(int X, int Y)
{
    LatLonPos->move(LatLonPos->pos() + QPoint(X, Y) - labelGrab_);
}

bool TMapFrm::eventFilter(QObject* watched, QEvent* event)
{
    // Keys typed while the main window is active and this window is its active child.
    if (watched == &owner_ && event->type() == QEvent::KeyPress && owner_.Tag == kTagMapWindow && !closed_)
        return MapKeyPress(static_cast<QKeyEvent*>(event));
    if (watched == LatLonPos) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* e = static_cast<QMouseEvent*>(event);
            if (e->button() == Qt::LeftButton) labelGrab_ = e->position().toPoint();
            return true;
        }
        if (event->type() == QEvent::MouseMove) {
            auto* e = static_cast<QMouseEvent*>(event);
            const QPoint p = e->position().toPoint();
            if (e->buttons() == Qt::LeftButton) LatLonPosMouseMove(p.x(), p.y());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- F1 --------------------------------------------------------------------------------------------

int TMapFrm::HelpContext() const
{
    // A key is being moved while the left button, pressed inside it, is held with no mode on.
    const bool movingKey = (QGuiApplication::mouseButtons() & Qt::LeftButton) && ChkZoom == NoZoom &&
                           ChkRepo == NoRepo && ChkQuery == NoQuery && ChkDistance == NoDistance &&
                           KeyUnderPress(*this, zInX1, zInY1) != NoMove;
    return ModeHelpContext(Stages(), movingKey);
}

} // namespace corvane
