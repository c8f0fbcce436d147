#pragma once
// The map window's interaction: the zoom, reposition, query and distance states, what a press,
// a move, a click and a double click on the picture do in each of them, the "&Zoom" commands,
// where-am-I, the cursor position read-out, and (beyond the menus) the wheel and the keyboard.
// Rubber bands are drawn on the picture with the inverting pen, so drawing them twice erases
// them.
//
// The window derives from this class and answers the hooks: cursors, caption, the flash timer,
// menu states, and the plot. The query search and the flashing are the query's own
// (QuerySearch, FlashSymbol); this class only calls them where the interaction says.
#include "interact/Captions.h"
#include "interact/ModeHints.h"
#include "interact/ZoomRules.h"
#include "platform/Colour.h"
#include "render/Keys.h"
#include "render/MapView.h"

#include <cstdint>
#include <string>

namespace corvane {

class SettingsStore;
struct MapListRec;

// Zoom, reposition and query interaction states.
enum tZoom : uint8_t { NoZoom, StartZoom, EndZoom };
enum tRepo : uint8_t { NoRepo, StartRepo, EndRepo };
enum CorvaneQueryType : uint8_t { NoQuery, StartQuery, EndQuery };

// The picture's mouse cursor: the default arrow, none (hidden), or one of the program's
// cursors crZoom, crRepo, crQuery, crDistance.
enum class PictureCursor : uint8_t { Default, Hidden, Zoom, Repo, Query, Distance };

// Menu items where-am-I greys while it shows the whole map.
struct WhereAmIMenus {
    bool Zoom = true, Query = true, Graticule = true, Land = true, Background = true;
};

class MapInteraction : public MapView {
public:
    explicit MapInteraction(MessageSink& messages) : MapView(messages) {}

    // ---- state of the window -------------------------------------------------------------
    bool Resizeable = true;   // false while a reposition, query, distance or where-am-I runs
    tZoom ChkZoom = NoZoom;
    tRepo ChkRepo = NoRepo;
    CorvaneQueryType ChkQuery = NoQuery;
    // First and second point of the interaction, in picture pixels.
    int32_t zInX1 = 0, zInY1 = 0, zInX2 = 0, zInY2 = 0;

    // Check marks the interaction reads: "&Display" and "De&cimal Degrees" of "&Cursor
    // Position", and the unit of "&Distance".
    bool CurPosDisplay = false;
    bool CurPosFormatDEC = false;
    DistanceUnit Unit = DistanceUnit::NauticalMiles;

    // ---- the picture's mouse ----------------------------------------------------------------
    // A button pressed: the right button steps back one stage in each active interaction.
    void MouseDown(bool rightButton, int32_t X, int32_t Y);
    // The mouse moved; leftAlone: the left button, and only it, is held (the move is ignored).
    void MouseMove(bool leftAlone, int32_t X, int32_t Y);
    // A left click (press and release on the picture).
    void Click();
    // A double click (after the click of its first press).
    void DblClick();

    // ---- dragging with the left button held (MouseDrag.cpp) ---------------------------------
    // Beside click, move, click: a zoom box pressed at one corner and released at the other,
    // and a key carried to its corner with its outline following the mouse. A press and a
    // release more than kDragPixels apart (either way) make a drag.
    static constexpr int32_t kDragPixels = 4;
    // The left button went down at (X, Y) (after MouseDown).
    void LeftPress(int32_t X, int32_t Y);
    // The left button went up at (X, Y), before the click it may make. True when it ended a
    // zoom box pulled open: the release is then no click.
    bool LeftRelease(int32_t X, int32_t Y);
    // The stage of each interaction, from which the status line and F1 take the current mode
    // (ModeHints.h).
    ModeStages Stages() const;
    // What the status line under the map says for the interaction going on; empty when none is.
    std::string ModeHint() const;

    // ---- commands ---------------------------------------------------------------------------
    // Opening "&Zoom": ends any interaction and says which items to enable.
    ZoomMenuState Zoom1Click();
    // Which items of "&Zoom" may be used as the window and the zoom history are now.
    ZoomMenuState ZoomItems() const;
    void ZoomInClick();
    void ZoomOutPreviousClick();
    // The maximum area of the settings; a bad value gives its warning and changes nothing.
    void ZoomOutMaximumClick(const SettingsStore& settings, const std::string& exeName);
    void ZoomOutOverlayClick();
    void ZoomOutDefaultClick();
    void RepositionClick();
    void WhereAmIClick();
    void BoxShapeClick(bool fixed);
    void ZoomLevelClick(bool fixed);
    // "&Exact...": the box typed (W, S, E, N); unless it equals the extents, a new zoom entry
    // for it, always plotted. False when it was the present box.
    bool ZoomToArea(double W, double S, double E, double N);

    // Opening "&Distance": starts a measurement (ending other interactions), or keeps the one
    // in progress so that a new unit shows at the next caption update.
    void Distance1Click();
    void SetDistanceUnit(DistanceUnit unit) { Unit = unit; }
    // Ends a measurement in progress: its lines are erased and the caption restored.
    void EndDistanceMeasurement();

    // ---- beyond the menus: wheel and keyboard --------------------------------------------------
    // Zooms by `notches` (positive in) about the picture point (X, Y). newEntry: push a zoom
    // entry; else the gesture's own entry is replaced. False when the zoom is not available
    // (the same conditions as "&In") or would pass the narrowest or widest range.
    bool ZoomAbout(int notches, int32_t X, int32_t Y, bool newEntry);
    // "+" and "-": one step about the centre of the picture.
    bool ZoomAboutCentre(int notches);
    // Arrow keys: the view moves by a tenth of its size (dx, dy in -1..1: east, south) through
    // the reposition rule; the history does not grow.
    bool Pan(int dx, int dy);
    // Esc: leaves the current stage as a right click there does; where-am-I returns.
    void Escape();
    // The last mouse position over the picture.
    int32_t MouseX() const { return mouseX_; }
    int32_t MouseY() const { return mouseY_; }

    // ---- ending interactions ------------------------------------------------------------------
    // Ends every interaction and erases what it drew.
    void CheckDraw() override;
    // Erases the zoom box / the reposition cross.
    void ClearZoom();
    void ClearRepo();
    // The read-out of a picture position in the map's format.
    std::string LatLonCaption(int32_t X, int32_t Y) const;
    // The picture and its extents as the rules of ZoomRules.h take them.
    PictureFrame Frame() const;

    // ---- the distance tool (RouteMeasure.cpp) ---------------------------------------------------
    // The leg between two stored points (1-based), in nautical miles.
    double LegNM(int a, int b) const;
    // The leg from a stored point to a picture point.
    double LegToNM(int a, int32_t X, int32_t Y) const;
    void Draw_Last_Line();
    void DisplayRunningTotal();

protected:
    // ---- hooks the window answers ----------------------------------------------------------------
    virtual void SetPictureCursor(PictureCursor /*cursor*/) {}
    virtual std::string Caption() const { return caption_; }
    virtual void SetCaption(const std::string& caption) { caption_ = caption; }
    // Neither maximised nor minimised.
    virtual bool WindowNormal() const { return true; }
    // The "&Zoom" menu is enabled (the map has a base map or an overlay, and where-am-I is off).
    virtual bool ZoomMenuEnabled() const { return true; }
    // Plots the picture at the end of every zoom; the window guards against nested plots.
    virtual void PlotMap(bool ReSizeToOverlay);
    // The flash timer: where-am-I starts it with tag 0 and the button face colour.
    virtual void StartFlashTimer(int /*tag*/, Colour /*colour*/) {}
    virtual void StopFlashTimer() {}
    virtual void FlashSymbol(bool /*Flash*/) {}
    virtual void QuerySearch() {}
    // Where-am-I greys these items and gives them back; Saved... remember the states before.
    virtual WhereAmIMenus SavedWhereAmIMenus() const { return {}; }
    virtual void SetWhereAmIMenus(const WhereAmIMenus& /*enabled*/) {}
    virtual void ShowReadOut(const std::string& /*text*/) {}
    // A rubber band changed the picture: show it (RefreshImage by default).
    virtual void PictureChanged() { RefreshImage(); }
    virtual Colour WindowFrameColour() const { return clBlack; }
    virtual Colour ButtonFaceColour() const { return 0xC0C0C0; }

    // With the resize handler off: the window takes the current entry's geometry, and the map
    // is plotted.
    void ApplyWindowGeometry();

private:
    // Rubber bands in "not" mode.
    void DrawZoomBox();
    void DrawCross();
    void ZoomMouseMove(int32_t X, int32_t Y);
    void ZoomClick();
    void RepoClick();
    void WhereAmIReturn();
    // Before a wheel or key zoom: what was drawn for the picture as it is is erased, and each
    // active mode waits for its first point again.
    void StepBackToWaiting();
    // The resize handler off and Resizeable false while an interaction holds the picture; both
    // back on afterwards.
    void HoldWindowSize();
    // The current zoom entry shows the box (the history does not grow).
    void SetCurrentBox(const GeoBox& b);
    void ReleaseWindowSize();
    // A move with the left button alone held: the zoom box or the key outline follows.
    void DragMove(int32_t X, int32_t Y);
    // The outline of the key being carried, drawn (or erased: drawn again) inverted.
    void DrawKeyOutline();
    void EndDrag();
    // The distance steps of the dispatch (RouteMeasure.cpp).
    void DistanceMouseMove(int32_t X, int32_t Y);
    void DistanceClick();
    void DistanceDblClick();
    void TakeBackLeg(int32_t X, int32_t Y);
    // The rubber line's free end moved to (X, Y): the old line erased, the new one drawn.
    void MoveRubberEnd(int32_t X, int32_t Y);
    void DisplayRubberLeg(int32_t X, int32_t Y);
    void EraseRoute();
    void StartMeasuring();
    // Everything a plain zoom (wheel, keys) needs: a normal window, "&Zoom" enabled, no
    // where-am-I.
    bool FreeZoomAllowed() const;
    // Removes every zoom entry but the first.
    void ZoomOutAll();

    std::string caption_;           // the caption where there is no window
    std::string whereAmICaption_;   // the caption before where-am-I
    WhereAmIMenus whereAmIMenus_;   // the item states before where-am-I
    const MapListRec* gestureEntry_ = nullptr;   // the entry the last wheel gesture pushed
    int32_t mouseX_ = 0, mouseY_ = 0;
    // The left button: where it went down, whether it is held, and what it drags.
    enum class Drag : uint8_t { None, Zoom, Key };
    int32_t pressX_ = 0, pressY_ = 0;
    bool leftHeld_ = false;
    Drag drag_ = Drag::None;
    tKeyMove dragKey_ = NoMove;
    Rect keyOutline_;             // where the carried key's outline is drawn
    bool keyOutlineShown_ = false;
};

} // namespace corvane
