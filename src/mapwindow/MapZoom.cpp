// The map window's "&Zoom" menu and what the interaction asks of the window: cursors, caption,
// the flash timer, the items where-am-I greys, and the keyboard.
#include "mapwindow/MapFrm.h"

#include "app/AppPictures.h"
#include "dialogs/GeographicSearch.h"
#include "platform/CvVars.h"
#include "platform/Settings.h"
#include "render/Plot.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTimer>

namespace corvane {

void TMapFrm::ConnectZoomMenu()
{
    const MapWindowMenu& m = Menu;
    connect(m.Zoom1, &QMenu::aboutToShow, this, &TMapFrm::Zoom1Click);
    const std::pair<QAction*, void (TMapFrm::*)()> commands[] = {
        {m.ZoomIn, &TMapFrm::ZoomInClick},
        {m.Exact1, &TMapFrm::Exact1Click},
        {m.ZoomOutPrevious, &TMapFrm::ZoomOutPreviousClick},
        {m.ZoomOutMaximum, &TMapFrm::ZoomOutMaximumClick},
        {m.ZoomOutOverlay, &TMapFrm::ZoomOutOverlayClick},
        {m.ZoomOutDefault, &TMapFrm::ZoomOutDefaultClick},
        {m.Reposition, &TMapFrm::RepositionClick},
        {m.WhereAmI, &TMapFrm::WhereAmIClick},
        {m.BoxShapeChange1, &TMapFrm::BoxShapeChange1Click},
        {m.BoxShapeFixed1, &TMapFrm::BoxShapeFixed1Click},
        {m.ZoomLevelFixed, &TMapFrm::ZoomLevelFixedClick},
        {m.ZoomLevelOverlay, &TMapFrm::ZoomLevelOverlayClick},
    };
    for (const auto& [item, handler] : commands) connect(item, &QAction::triggered, this, handler);
    // The map's menus sit in the main window's menu bar, so after a command the main window
    // holds the keyboard: the map's keys are taken from there too (eventFilter).
    owner_.installEventFilter(this);
}

void TMapFrm::Zoom1Click() { ApplyZoomItems(MapInteraction::Zoom1Click()); }

// The items are kept in step after every command and mouse action as well, so that their keys
// (Alt+Left for "&Previous") work without the menu being opened first.
void TMapFrm::ApplyZoomItems(const ZoomMenuState& s)
{
    Menu.ZoomIn->setEnabled(s.In);
    Menu.ZoomOutMaximum->setEnabled(s.Maximum);
    Menu.Reposition->setEnabled(s.Reposition);
    Menu.WhereAmI->setEnabled(s.WhereAmI);
    Menu.ZoomOutOverlay->setEnabled(s.OverlayArea);
    Menu.ZoomOutDefault->setEnabled(s.OverlayMaximum);
    Menu.ZoomOutPrevious->setEnabled(s.Previous);
}

void TMapFrm::Exact1Click()
{
    if (!MDF || !MDF->Main_Plot()) return;
    SetBusyCursor(true);
    TGeographicSearch dialog(this, messages);
    dialog.setProperty("helpContext", 5002);
    dialog.SetUp("N", MDF->GetMaxLat());
    dialog.SetUp("S", MDF->GetMinLat());
    dialog.SetUp("E", MDF->GetMaxLon());
    dialog.SetUp("W", MDF->GetMinLon());
    SetBusyCursor(false);
    if (dialog.exec() == QDialog::Accepted) ZoomToArea(dialog.W, dialog.S, dialog.E, dialog.N);
    ProcessMessages();
}

void TMapFrm::ZoomOutMaximumClick()
{
    SettingsStore none;
    const SettingsStore* settings = owner_.Settings() ? owner_.Settings() : &none;
    MapInteraction::ZoomOutMaximumClick(*settings, QCoreApplication::applicationName().toStdString());
}

// The box shape and zoom level options: radio-style check marks over the map definition's flags,
// which are saved with the map, so that closing it asks to save a change.
void TMapFrm::CheckOneOfTwo(QAction* on, QAction* off)
{
    on->setChecked(true);
    off->setChecked(false);
    NeedToSave = true;
}

void TMapFrm::BoxShapeChange1Click()
{
    BoxShapeClick(false);
    CheckOneOfTwo(Menu.BoxShapeChange1, Menu.BoxShapeFixed1);
}

void TMapFrm::BoxShapeFixed1Click()
{
    BoxShapeClick(true);
    CheckOneOfTwo(Menu.BoxShapeFixed1, Menu.BoxShapeChange1);
}

void TMapFrm::ZoomLevelFixedClick()
{
    ZoomLevelClick(true);
    CheckOneOfTwo(Menu.ZoomLevelFixed, Menu.ZoomLevelOverlay);
}

void TMapFrm::ZoomLevelOverlayClick()
{
    ZoomLevelClick(false);
    CheckOneOfTwo(Menu.ZoomLevelOverlay, Menu.ZoomLevelFixed);
}

// ---- the keyboard --------------------------------------------------------------------------------

bool TMapFrm::MapKeyPress(QKeyEvent* event)
{
    const QString text = event->text();
    switch (event->key()) {
    case Qt::Key_Escape: Escape(); break;
    case Qt::Key_Left: Pan(-1, 0); break;
    case Qt::Key_Right: Pan(1, 0); break;
    case Qt::Key_Up: Pan(0, -1); break;
    case Qt::Key_Down: Pan(0, 1); break;
    default:
        if (text != "+" && text != "-") return false;
        ZoomAboutCentre(text == "+" ? 1 : -1);
        break;
    }
    ShowInteractionState();
    return true;
}

void TMapFrm::keyPressEvent(QKeyEvent* event)
{
    if (MapKeyPress(event))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

// ---- what the interaction asks of the window --------------------------------------------------------

void TMapFrm::SetPictureCursor(PictureCursor cursor)
{
    switch (cursor) {
    case PictureCursor::Hidden: Image1->setCursor(Qt::BlankCursor); break;
    case PictureCursor::Zoom: Image1->setCursor(CursorByNumber(crZoom)); break;
    case PictureCursor::Repo: Image1->setCursor(CursorByNumber(crReposition)); break;
    case PictureCursor::Query: Image1->setCursor(CursorByNumber(crQuery)); break;
    case PictureCursor::Distance: Image1->setCursor(CursorByNumber(crDistance)); break;
    default: Image1->setCursor(Qt::ArrowCursor); break;
    }
}

std::string TMapFrm::Caption() const { return windowTitle().toStdString(); }

void TMapFrm::SetCaption(const std::string& caption) { setWindowTitle(QString::fromStdString(caption)); }

bool TMapFrm::WindowNormal() const { return !isMaximized() && !isMinimized(); }

bool TMapFrm::ZoomMenuEnabled() const { return Menu.Zoom1->menuAction()->isEnabled(); }

void TMapFrm::PlotMap(bool ReSizeToOverlay)
{
    GuardedPlot([this, ReSizeToOverlay] { return Plot(*this, false, ReSizeToOverlay); });
}

// Where-am-I holds the window size until its view returns: a resize in between (after "&View"
// or a redraw has ended the other interactions) would replot the outermost map in a picture of
// another shape.
void TMapFrm::SetResizeHandler(bool on) { resizeHandlerOn_ = on && !CvVars::bWhereAmI; }

void TMapFrm::StartFlashTimer(int tag, Colour colour)
{
    Timer1Tag = tag;
    TimerColour = colour;
    Timer1->start();
}

void TMapFrm::StopFlashTimer() { Timer1->stop(); }

WhereAmIMenus TMapFrm::SavedWhereAmIMenus() const
{
    return {Menu.Zoom1->menuAction()->isEnabled(), Menu.Query1->isEnabled(), Menu.Graticule->menuAction()->isEnabled(),
            Menu.ViewLand->menuAction()->isEnabled(), Menu.ViewBackground->isEnabled()};
}

// The Zoom menu's own action is the merged menu bar's "Zoom" entry, so greying one greys both.
void TMapFrm::SetWhereAmIMenus(const WhereAmIMenus& enabled)
{
    Menu.Zoom1->menuAction()->setEnabled(enabled.Zoom);
    Menu.Query1->setEnabled(enabled.Query);
    Menu.Graticule->menuAction()->setEnabled(enabled.Graticule);
    Menu.ViewLand->menuAction()->setEnabled(enabled.Land);
    Menu.ViewBackground->setEnabled(enabled.Background);
}

void TMapFrm::PictureChanged()
{
    if (canvas_) canvas_->End();
    Image1->update();
}

Colour TMapFrm::WindowFrameColour() const { return FromQColor(palette().color(QPalette::WindowText)); }

Colour TMapFrm::ButtonFaceColour() const { return FromQColor(palette().color(QPalette::Button)); }

} // namespace corvane
