#pragma once
// The map window: one map definition shown as a picture that fills the client area, below
// the main window strip. Its menus merge into the main window's menu bar while it is active;
// the main window's map buttons forward to it. The plot draws into its picture through the
// MapView interface; resizing, maximising, restoring and moving keep the map at its scale
// (mapdef/MapResize.h).
#include "app/HelpWindow.h"
#include "app/MainFrm.h"
#include "app/MapWindowApi.h"
#include "display/DisplayCommands.h"
#include "interact/MapInteraction.h"
#include "mapdef/MDFStruct.h"
#include "mapdef/MapResize.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtScreenMetrics.h"
#include "query/QuerySearch.h"
#include "render/Keys.h"
#include "render/MapView.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace corvane {

class DocumentSaver;
class MessageSink;
class QtPrintDocument;
class TMapDefinition;

// Image1: shows the map picture that every drawer paints into. The background is never
// erased: the picture covers the whole control.
// Mouse events go to the map window's Image1 handlers.
class TMapFrm;
class MapImage : public QWidget {
public:
    MapImage(TMapFrm* frm, const QImage& picture, std::function<void()> beforePaint);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;

private:
    TMapFrm* frm_;
    const QImage& picture_;
    std::function<void()> beforePaint_;
    bool clicked_ = false;   // a left press inside the picture waits for its release
};

// The items of the map window's menu, by their component names.
struct MapWindowMenu {
    // Top-level entries, in menu bar order. "&Redraw" and "&Query" are commands without items.
    QMenu *Dataset1 = nullptr, *View1 = nullptr, *Display1 = nullptr, *Zoom1 = nullptr, *Window1 = nullptr;
    QAction *Redraw1 = nullptr, *Query1 = nullptr;

    QAction *DatasetList = nullptr, *Order1 = nullptr, *Select1 = nullptr, *Next1 = nullptr, *Previous1 = nullptr,
            *Subset1 = nullptr;
    QAction *Info1 = nullptr, *Source1 = nullptr;

    QMenu *ViewLand = nullptr, *Keys1 = nullptr, *Graticule = nullptr, *GraticuleSpacing = nullptr,
          *GraticuleFormat = nullptr, *Textsize1 = nullptr, *CursorPosition = nullptr, *CurPosFormat = nullptr,
          *Distance1 = nullptr;
    QAction *InFilled1 = nullptr, *FillColour1 = nullptr, *Outline1 = nullptr, *OutlineColour1 = nullptr,
            *IncreaseResolution1 = nullptr, *DecreaseResolution1 = nullptr;
    QAction *BaseMapKey = nullptr, *OverlayMapKey = nullptr, *KeyColour = nullptr, *KeyBackground = nullptr,
            *Caption1 = nullptr;
    QAction* ViewBackground = nullptr;
    QAction *Halo1 = nullptr, *UseAsDefaultLook1 = nullptr;
    QAction *GraticuleDisplay = nullptr, *GraticuleColour = nullptr, *GraticuleStyle = nullptr;
    QAction *GraticuleAuto = nullptr, *FractionDegrees = nullptr, *Graticule1 = nullptr, *Graticule2 = nullptr,
            *Graticule5 = nullptr, *Graticule10 = nullptr, *Graticule20 = nullptr;
    QAction *GraticuleFormatDMS = nullptr, *GraticuleFormatDEC = nullptr, *Increase1 = nullptr, *Decrease1 = nullptr;
    QAction *CurPosDisplay = nullptr, *CurPosTextColour = nullptr, *CurPosOverlay = nullptr,
            *CurPosBkgrdColour = nullptr, *CurPosFormatDMS = nullptr, *CurPosFormatDEC = nullptr;
    QAction *NauticalMiles1 = nullptr, *Kilometres1 = nullptr, *StatuteMiles1 = nullptr;

    QAction *ZoomIn = nullptr, *Exact1 = nullptr, *ZoomOutPrevious = nullptr, *ZoomOutMaximum = nullptr,
            *ZoomOutOverlay = nullptr, *ZoomOutDefault = nullptr, *Reposition = nullptr, *WhereAmI = nullptr;
    QMenu *BoxShape1 = nullptr, *Level1 = nullptr;
    QAction *BoxShapeChange1 = nullptr, *BoxShapeFixed1 = nullptr, *ZoomLevelFixed = nullptr,
            *ZoomLevelOverlay = nullptr;

    QAction *Toolbar1 = nullptr, *UseStandardBrushes1 = nullptr, *ReopenLastMap1 = nullptr;
    QAction* WindowPath1 = nullptr;   // the map's whole path (the caption shows its file name)

    // The spacing items in the order of Grid_Scale 1..7.
    QAction* Spacing(int gridScale) const;
};

class TMapFrm : public QWidget, public MapInteraction, public MapWindowApi, public HelpContextSource {
    Q_OBJECT
public:
    // Creates the window for owner.MapFilename (empty: a new map) and applies its stored
    // geometry; it is not shown and nothing is plotted yet.
    TMapFrm(TMainFrm& owner, MessageSink& messages);
    ~TMapFrm() override;

    // ---- components ------------------------------------------------------------------------
    MapImage* Image1 = nullptr;
    QLabel* LatLonPos = nullptr;
    // The status line at the foot of the map while an interaction is on: what the next click
    // does and what the right button does (MapInteraction::ModeHint). Clicks go through it.
    QLabel* ModeLine = nullptr;
    QTimer* Timer1 = nullptr;
    MapWindowMenu Menu;

    // ---- private state of the window, in the program's order --------------------------------
    // (The interaction states ChkZoom, ChkRepo, ChkQuery, ChkDistance, the points zInX1 ..
    // zInY2 and Resizeable are those of MapInteraction.)
    std::string Filename;            // the map definition file (empty for a new map)
    std::string MapFileName() const override { return Filename; }
    QWidget* QueryPanel = nullptr;   // the query hit panel
    tKeyMove KeyMove = NoMove;
    bool NeedToSave = false;
    int32_t TimerLat = 0, TimerLon = 0;
    uint8_t TimerStyle = 0;
    Colour TimerColour = 0;
    // Sizing state: kSizingFirst before the first sizing, kSizingNormal, kSizingMaximised.
    int Tag = kSizingFirst;

    // ---- operations -------------------------------------------------------------------------
    // Draws the map again: ends every interaction, marks the data to be drawn and plots with
    // the resize handler switched off.
    void Redraw(bool ReSizeToOverlay);
    // The window's outer rectangle, client size and state.
    WindowPlacement Placement() const;
    // The picture as it is shown, in the screen's device pixels (its devicePixelRatio says
    // how many a logical pixel covers).
    const QImage& Picture() const { return image_; }

    // Window events, named as the program names them.
    void FormCreate();
    void FormActivate();
    void FormResize();
    void WMMove();
    void FormClose();
    void Redraw1Click();
    // Takes up window geometry reported and not yet handled (moves first, then resizes) at
    // once rather than when it has settled; nothing when there is none.
    void GeometrySettled();
    bool GeometryPending() const { return pendingMove_ || pendingResize_; }
    QTimer* GeometryTimer() const { return geometryTimer_; }
    static constexpr int kGeometrySettleMs = 40;

    // ---- MapView ----------------------------------------------------------------------------
    Canvas* ImageCanvas() override { return canvas_.get(); }
    int32_t ClientWidth() const override { return LogicalSize(image_).width(); }
    int32_t ClientHeight() const override { return LogicalSize(image_).height(); }
    void SetWindowBounds(int32_t Left, int32_t Top, int32_t Width, int32_t Height) override;
    void RefreshImage() override;
    void ProcessMessages() override;
    void SetBusyCursor(bool busy) override;
    // Stays off while where-am-I shows the outermost map, whatever ends other interactions.
    void SetResizeHandler(bool on) override;
    void RedrawEnabledChanged() override;

    // ---- MapWindowApi -----------------------------------------------------------------------
    QWidget* Widget() override { return this; }
    void Redraw() override { Redraw(false); }
    void CloseWindow() override;
    void EndDistanceMeasurement() override;

    // Mouse on the picture (MapMouse.cpp), named as the program names them. A press of any
    // button is Image1MouseDown; a left click (press and release inside the picture) is
    // Image1Click, before Image1MouseUp; a double click is Image1DblClick, then the second
    // press's Image1MouseDown, and its release is no click.
    void Image1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int X, int Y);
    void Image1MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int X, int Y);
    void Image1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int X, int Y);
    void Image1Click();
    void Image1DblClick();
    // The left button released at (X, Y): true when it ended a zoom box pulled open, which is
    // then no click.
    bool Image1LeftRelease(int X, int Y);
    // The status line and the "&Zoom" items brought up to date with the interaction; run after
    // every mouse action, key and command.
    void ShowInteractionState();
    void CheckDraw() override;
    // The wheel, a touchpad's scrolling and pinching zoom about the mouse, one zoom entry a
    // gesture (MapMouse.cpp).
    void Image1MouseWheel(int units, int64_t ms, ScrollPhase phase, int X, int Y);
    void Image1Pinch(double scale, int64_t ms, ScrollPhase phase, int X, int Y);
    // The cursor position read-out (MapMouse.cpp): dragged with the left button; "&Display"
    // and "&Format" of "&Cursor Position".
    void LatLonPosMouseMove(int X, int Y);
    void CurPosDisplayClick();
    void CurPosFormatDMSClick();
    void CurPosFormatDECClick();
    void SetCursorFormat(bool dms);

    // The "&Zoom" menu (MapZoom.cpp).
    void Zoom1Click();
    void ApplyZoomItems(const ZoomMenuState& s);
    void ZoomInClick() { MapInteraction::ZoomInClick(); }
    void Exact1Click();
    void ZoomOutPreviousClick() { MapInteraction::ZoomOutPreviousClick(); }
    void ZoomOutMaximumClick();
    void ZoomOutOverlayClick() { MapInteraction::ZoomOutOverlayClick(); }
    void ZoomOutDefaultClick() { MapInteraction::ZoomOutDefaultClick(); }
    void RepositionClick() { MapInteraction::RepositionClick(); }
    void WhereAmIClick() { MapInteraction::WhereAmIClick(); }
    void BoxShapeChange1Click();
    void BoxShapeFixed1Click();
    void ZoomLevelFixedClick();
    void ZoomLevelOverlayClick();

    // The distance tool's menu (MapDistance.cpp).
    void Distance1Click() { MapInteraction::Distance1Click(); }
    void NauticalMiles1Click();
    void Kilometres1Click();
    void StatuteMiles1Click();

    // Files, printing and the clipboard (MapFiles.cpp).
    void Save1Click() override;
    void SaveAs1Click() override;
    void Print1Click() override;
    void PrintSetUp1Click() override;
    void CopyToClipboard1Click() override;
    void Export1Click() override;
    // The caption: the file name part of Filename, or "Map Window" for a new map. ShowMapCaption
    // puts it in the title bar (the whole path goes to the Window menu's entry for the map).
    QString MapCaption() const;
    void ShowMapCaption();
    // Closing with unsaved changes: "Changes have been made to the Map Definition NorthSea.MDF.
    // Do you want to save them ?" (the file name part of the map's file; no name for a new
    // map). Yes runs Save As, No drops the changes, Cancel keeps them; true when the window may
    // close (nothing left unsaved).
    bool SaveChangesQuery();
    // While a map is printed: "Printing is occuring. Closing the application now will Abort the
    // print." Yes aborts the print; true when the window may close.
    bool FormCloseQuery();
    bool Printing() const { return printDoc_ != nullptr; }
    // Cancels the print job in progress (the print progress window's Cancel).
    void AbortPrint();

    // Keys (MapKeys.cpp). A left release on the picture while no zoom, reposition, query or
    // distance interaction is active moves the key pressed on to the release point's corner.
    void MoveKeyOnRelease(int X, int Y);
    void BaseMapKeyClick() override;
    void OverlayMapKeyClick() override;
    void KeyColourClick() override;
    void KeyBackgroundClick() override;
    void Caption1Click();
    void Keys1Click();
    void PressKeyButton(bool Base) override;

    // Query and flashing (MapQuery.cpp). Timer1Tag says what Timer1 flashes: 0 the where-am-I
    // marker, 4 a point symbol, 7 a polygon, other values nothing.
    void Query1Click();
    void QuerySearch() override;
    void FlashSymbol(bool Flash) override;
    void Timer1Timer();
    int Timer1Tag = -1;
    // A hit is answered from the data set's query information file: a one-line panel beside
    // the symbol (kind 0) or the query results window (kinds 1 and 2). The figure found
    // flashes until the answer is done with.
    void SearchEachDataFile(const DSDStruct& DSD, int Scale);
    void ShowQuery(QueryHit& hit);
    void Single_Line_Box_Text(const std::string& infoFile, int32_t offset);
    void Headed_Info_Box_Text(const QueryHit& hit, const std::string& infoFile);
    // The outline of the polygon found (the layout of SearchResult::Points); empty while no
    // polygon flashes.
    std::vector<Point> Points;
    FlashCycle FlashColours;

    // The place search (MapFind.cpp): the map centred on a place chosen in the main window's
    // search at a scale that shows it, through the zoom history; a theme that is not drawn is
    // offered to be added (as the data set list adds one); a query record is answered as a
    // click on it would be, any other place flashes a marker until the query mode steps back.
    void ShowPlace(const Place& place) override;

    // Data sets of the map: list, order, overlay selection, information (MapDataset.cpp).
    void DatasetListClick() override;
    void Order1Click() override;
    void Select1Click() override;
    void Previous1Click() override;
    void Next1Click() override;
    void Info1Click() override;
    void Source1Click() override;

    // Display settings: land, background, graticule (MapDisplay.cpp).
    void LandStyleClick() override;
    void BackgroundClick() override;
    void FillColour1Click() override;
    void OutlineColour1Click() override;
    void GraticuleDisplayClick() override;
    void GraticuleColourClick() override;
    void GraticuleAutoClick() override;
    void FractionDegreesClick() override;
    void Graticule1Click() override;
    void Graticule2Click() override;
    void Graticule5Click() override;
    void Graticule10Click() override;
    void Graticule20Click() override;
    void GraticuleFormatDMSClick() override;
    void GraticuleFormatDECClick() override;
    void IncGratFontSize() override;
    void DecGratFontSize() override;
    void GraticuleStyleClick();
    void IncreaseResolution1Click();
    void DecreaseResolution1Click();
    // "&Halo": names and graticule labels with a halo, or without (drawn again at once).
    void Halo1Click();
    // "&Use as Default Look": the map's look stored in the settings for File, New.
    void UseAsDefaultLook1Click();
    // Opening "&Land", "&Graticule" and "&Cursor Position" (and "&Keys") ends any interaction.
    void ViewLandClick();
    void GraticuleClick();
    void CursorPositionClick();
    // The cursor position read-out's look: text and background colours, and drawn
    // transparently over the map ("&Overlay") or on its background.
    void CurPosTextColourClick();
    void CurPosOverlayClick();
    void CurPosBkgrdColourClick();
    Colour ReadOutTextColour = 0x000000;
    Colour ReadOutBkColour = 0;

    // The data subset dialog (MapSubset.cpp): the key of a data set the user chooses, its
    // items switched on and off, hidden and shown, recoloured and restyled.
    void Subset1Click();
    // The theme whose key the subset dialog edits; null when none is chosen.
    MASStruct* SelectDataSet();

    // F1: the page of the mode on (zoom, reposition, query, distance, where-am-I, a key held to
    // be moved), else of the map window.
    int HelpContext() const override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // "+" and "-" zoom about the centre, the arrow keys move the view, Esc steps back.
    void keyPressEvent(QKeyEvent* event) override;
    // Those keys, also when typed in the main window; false for any other key.
    bool MapKeyPress(QKeyEvent* event);

    // ---- MapInteraction -------------------------------------------------------------------------
    void SetPictureCursor(PictureCursor cursor) override;
    std::string Caption() const override;
    void SetCaption(const std::string& caption) override;
    bool WindowNormal() const override;
    bool ZoomMenuEnabled() const override;
    void PlotMap(bool ReSizeToOverlay) override;
    void StartFlashTimer(int tag, Colour colour) override;
    void StopFlashTimer() override;
    WhereAmIMenus SavedWhereAmIMenus() const override;
    void SetWhereAmIMenus(const WhereAmIMenus& enabled) override;
    void ShowReadOut(const std::string& text) override;
    void PictureChanged() override;
    Colour WindowFrameColour() const override;
    Colour ButtonFaceColour() const override;

private:
    // Save and Save As of the map definition, the caption following the name.
    DocumentSaver Saver();
    void BuildMenus();
    void ConnectZoomMenu();
    // Checks one of the two items of an option saved with the map, unchecks the other.
    void CheckOneOfTwo(QAction* on, QAction* off);
    void ConnectDistanceMenu();
    void ConnectReadOut();
    // The status line, and ShowInteractionState after every command of the window's menus.
    void BuildModeLine();
    void PlaceModeLine();
    void ConnectInteractionState();
    void ConnectKeyCommands();
    void ConnectDisplayMenu();
    // Connects an item to a command. A checkable item's check mark, which the toolkit inverts
    // before the item triggers, is put back first: the commands set their check marks
    // themselves, as the tool bar buttons want.
    void ConnectCommand(QAction* item, void (TMapFrm::*command)());
    // Carries out what a display command asked for: NeedToSave, the check marks and buttons
    // of the display settings, and the map brought up to date.
    void ApplyDisplay(const DisplayOutcome& outcome);
    // Puts the picture back from FullMap with the graticule and the keys over it. A zoom box,
    // reposition cross, flashing symbol or measured route drawn over the picture would be half
    // wiped by that and later drawn again where it no longer is, so the interaction ends first,
    // as it does when a menu opens: the tool bar's buttons open no menu.
    void RefreshOverlays();
    void ShowDisplayChecks();
    // The colour dialog preset with initial; true with chosen after OK. A dialog that cannot be
    // shown says "Unable to load Colour dialog".
    bool PickColour(Colour initial, Colour& chosen);
    void ChooseMapColour(MapColour which);
    // Shows the read-out in its colours, transparent over the map while "&Overlay" is checked.
    void ApplyReadOutLook();
    void PressToolButton(const char* name, bool down);
    void ConnectDatasetCommands();
    // The shared map definition dialog.
    TMapDefinition& MapDefinitionDialog();
    // Shows the map definition dialog in a mode for this map; true after OK.
    bool RunMapDefinition(int mode);
    // After the overlay drawn changed: query option, zoom history, redraw, NeedToSave.
    void OverlayTail();
    void ToggleKey(bool Base);
    void ChooseKeyColour(Colour TMDFStruct::*field);
    void MirrorChecksIntoView();
    void SetChecksAndButtonsFromMDF();
    void ApplyMenuState();
    void CheckQueryOption();
    QList<QAction*> MenuBarEntries() const;
    bool MenusMerged() const;
    // Sizes the picture (keeping what it shows) and Image1 to w x h logical pixels, at the
    // screen's device pixel ratio.
    void SizePicture(int w, int h);
    double PictureRatio() const;
    // The window went to a screen of another pixel ratio: the picture follows and is redrawn.
    void ScreenRatioChanged();
    // Plot with the guard against nested plots and closing in the middle.
    bool GuardedPlot(const std::function<bool()>& plot);
    // Window geometry reported by the window system is handled once it has settled (no
    // report for kGeometrySettleMs): moves and resizes of one change are taken together,
    // after any plot in progress.
    void ScheduleGeometry(bool moved, bool resized);
    void PlotWAI();
    void PlotPoly();
    bool AnswerPlace(const MASStruct& theme, const Place& place);
    void FlashPlace(const Place& place);
    void AnswerAt(int32_t X, int32_t Y);
    void EndPlaceMarker();
    bool placeMarker_ = false;   // the flashing figure is a found place's marker, not of the map
    TMainFrm& owner_;
    QPointer<TMainFrm> ownerAlive_;
    QtScreenMetrics screen_;
    std::unique_ptr<TMDFStruct> mdf_;
    QImage image_;
    std::unique_ptr<QtCanvas> canvas_;
    bool resizeHandlerOn_ = true;
    bool busy_ = false;
    int plotting_ = 0;
    bool closePending_ = false;
    bool closed_ = false;
    QTimer* geometryTimer_ = nullptr;
    bool pendingMove_ = false, pendingResize_ = false;
    QtPrintDocument* printDoc_ = nullptr;   // the print job in progress
    WheelGesture wheel_;
    QPoint labelGrab_;   // where the read-out label was taken hold of
    bool pressInWhereAmI_ = false;   // the button went down on where-am-I's outermost map
};

// Makes File, New and File, Open of the main window create map windows that report on sink.
void InstallMapWindowFactory(MessageSink& sink);

} // namespace corvane
