#pragma once
// What the plot, the graticule and the keys read and write of the map window: the map
// definition, the picture and its size, the saved picture of the last plot (FullMap), the
// check marks of the menu items that steer the drawing, the distance tool's state, whether
// the Redraw command is enabled, and the printer page while printing.
//
// The Qt map window derives from MapView (or owns one) and answers the geometry and the
// few calls back into the window; the headless renderer and the tests do the same without a
// window. Nothing here touches a menu or a cursor itself: the plot sets the fields and calls
// the hooks, and the window shows what they say.
#include "layers/Distance.h"
#include "layers/DrawContext.h"
#include "platform/Canvas.h"

#include <cstdint>
#include <memory>
#include <set>

namespace corvane {

class MessageSink;
class TMDFStruct;

// State of the distance tool. A printed map carries the measured route only when the
// measurement has been finished (StopDistance).
enum tDistance : uint8_t { NoDistance, StartDistance, EndDistance, StopDistance };

// Which item of the graticule's spacing menu is checked. A map definition whose Grid_Scale is
// not 1..7 checks none.
enum class GridSpacing : uint8_t { None, Auto, Fractional, Degrees1, Degrees2, Degrees5, Degrees10, Degrees20 };
GridSpacing GridSpacingFromScale(uint8_t Grid_Scale);

// The area a drawing over the map covers on its canvas: the picture, or the printed map at
// the page offsets.
struct MapArea {
    int32_t W = 0, H = 0;
    int32_t OffsetX = 0, OffsetY = 0;
};

// Check marks of "&Infilled" and "&Outline" from the low byte b of Land_Plot_Style:
// "&Infilled" when b is not 0, "&Outline" when b xor 1 is not 0 (1 infilled, 0 outline;
// other values check both).
struct LandStyleChecks {
    bool InFilled1 = true;
    bool Outline1 = false;
};
LandStyleChecks LandStyleFromPlotStyle(int32_t Land_Plot_Style);

class MapView {
public:
    explicit MapView(MessageSink& messages) : messages(messages) {}
    virtual ~MapView() = default;
    MapView(const MapView&) = delete;
    MapView& operator=(const MapView&) = delete;

    // ---- what the window answers ----------------------------------------------------------
    // The canvas of the map picture (the screen drawing surface). It may be another object
    // after SetWindowBounds has resized the picture; null only where there is no picture.
    virtual Canvas* ImageCanvas() = 0;
    // The picture's size, which is the window's client area.
    virtual int32_t ClientWidth() const = 0;
    virtual int32_t ClientHeight() const = 0;
    // Places the window (outer rectangle) and sizes the picture to the new client area. The
    // window's resize handling must not plot from inside this call.
    virtual void SetWindowBounds(int32_t Left, int32_t Top, int32_t Width, int32_t Height) = 0;

    // ---- hooks with nothing to do where there is no window ----------------------------------
    // Show the picture as it is now.
    virtual void RefreshImage() {}
    // Let pending window messages (paints, input) through.
    virtual void ProcessMessages() {}
    // Hourglass on (true) or the default cursor (false).
    virtual void SetBusyCursor(bool /*busy*/) {}
    // Switches the window's resize handler off (false) and on again (true) around a plot
    // that may resize the window.
    virtual void SetResizeHandler(bool /*on*/) {}
    // Ends any interaction (zoom or reposition box, flashing symbol, distance line) and
    // erases what it drew.
    virtual void CheckDraw() {}
    // The Redraw command was enabled or disabled (grey or enable the menu item and the
    // merged menu bar's "&Redraw" entry).
    virtual void RedrawEnabledChanged() {}
    // A key is being drawn on the picture: press its tool bar button (the base key's when
    // Base, else the overlay key's).
    virtual void PressKeyButton(bool /*Base*/) {}

    // ---- the window's state ----------------------------------------------------------------
    TMDFStruct* MDF = nullptr;          // the map definition, owned by the window
    MessageSink& messages;              // message boxes
    std::unique_ptr<Picture> FullMap;   // the last screen plot without graticule and keys
    // The plot saves FullMap for the window to restore overlays from; a view that never
    // restores (the headless renderer) turns it off and saves a copy of the picture.
    bool KeepFullMap = true;
    bool RedrawMap = true;              // the data must be drawn again at the next plot
    // The standard coastline files this window has said it cannot open: each is told once.
    std::set<std::string> CoastlineFilesTold;

    // Land style: the check marks of "&Infilled" and "&Outline".
    bool InFilled1 = true;
    bool Outline1 = false;
    // Keys: "&Base Map", "&Overlay Map" and "C&aption" checked; where each key box was last
    // drawn (picture coordinates); the corner code of each key (0: take MDF's BasePos or
    // OverlayPos at the next drawing).
    bool BaseMapKey = true;
    bool OverlayMapKey = true;
    bool Caption1 = true;
    Rect BaseKeyPos, OverlayKeyPos;
    uint8_t BaseKeyCorner = 0, OverlayKeyCorner = 0;
    // Graticule: the checked spacing item, and "De&cimal Degrees" (else degrees-minutes-seconds).
    GridSpacing Spacing = GridSpacing::Auto;
    bool GraticuleFormatDEC = false;

    tDistance ChkDistance = NoDistance;
    const DistanceStore* Route = &RouteStore;   // the measured route (picture positions)

    // Horizontal pixels per inch of the screen picture (symbol and label sizes on paper).
    int32_t ScreenPixelsPerInch = 96;

    // Printing: the printer page's canvas (origin at the corner of the printable area) and
    // its page values, set by whoever prints before Plot(true, ...).
    Canvas* PrinterCanvas = nullptr;
    PrintPage Page;

    // ---- the Redraw command ------------------------------------------------------------------
    bool Redraw1Enabled() const { return redraw1Enabled_; }
    // Sets the state and tells the window (RedrawEnabledChanged) when it changed.
    void SetRedrawEnabled(bool enabled);

    // ---- helpers -------------------------------------------------------------------------------
    // Sets the check marks that steer drawing from MDF: land style, graticule spacing and
    // label format, and the two keys.
    void SetChecksFromMDF();
    // The drawing context of the layers for this window: the screen picture, or the printer
    // page when print is set. Requires MDF and, for the screen, the picture canvas (and for
    // printing PrinterCanvas).
    DrawContext Context(bool print);
    // Where the graticule and the keys go: the picture, or the printed map (print).
    MapArea DrawingArea(bool print) const;

    // The transforms between picture positions and degrees for the current extents and
    // picture size (see render/Transforms.h).
    double ScreenToLat(int32_t Y) const;
    double ScreenToLon(int32_t X) const;
    int32_t LatToScreen(double Y) const;
    int32_t LonToScreen(double X) const;

private:
    bool redraw1Enabled_ = false;
};

// Switches a view's resize handler off for the life of the guard.
class ResizeHandlerOff {
public:
    explicit ResizeHandlerOff(MapView& view) : view_(view) { view_.SetResizeHandler(false); }
    ~ResizeHandlerOff() { view_.SetResizeHandler(true); }
    ResizeHandlerOff(const ResizeHandlerOff&) = delete;
    ResizeHandlerOff& operator=(const ResizeHandlerOff&) = delete;

private:
    MapView& view_;
};

} // namespace corvane
