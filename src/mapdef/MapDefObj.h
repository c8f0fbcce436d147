#pragma once
// The map definition object: the map window's outer rectangle on the screen and the
// geographic box it shows, kept as a history of zoom states. NewZoom computes each new state
// so that the box fills the window's drawing area without distortion.
#include "mapdef/ScreenMetrics.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvane {

class IniFile;

// One zoom state.
struct MapListRec {
    ScreenRect WindowSize;      // outer rectangle of the map window
    ScreenRect OldWindowSize;   // the rectangle before the last move or resize
    double MinLat = 0, MinLon = 0, MaxLat = 0, MaxLon = 0;
    MapListRec* Next = nullptr;
    MapListRec* Prev = nullptr;
};

// How NewZoom reconciles a requested window with a requested box.
enum ZoomPriority : uint8_t {
    WindowPriority = 0,   // keep the window, widen the box about its centre
    AreaPriority = 1,     // keep the box, reshape the window
};

class TMapDefObj {
public:
    explicit TMapDefObj(const ScreenMetrics& screen);
    virtual ~TMapDefObj();
    TMapDefObj(const TMapDefObj&) = delete;
    TMapDefObj& operator=(const TMapDefObj&) = delete;

    // Builds the first state from section "Window" and "Lat_Lon" of the file (an unreadable
    // file counts as one without those keys), or the new-map geometry when sFilename is
    // empty. Sets CvVars::LatLonScale from the box. A box that no map can show (a value that
    // is no number, a minimum not below its maximum, a latitude beyond 90 or a longitude
    // beyond 180 degrees) is replaced by the box of a new map, and BoxProblem says why.
    void Create(const std::string& sFilename);

    // Why the box of the file could not be used ("Lat = 65 45, Lon = -15 15 : the minimum
    // latitude is not below the maximum"); empty when it could.
    std::string BoxProblem;
    // Writes sections "Window" and "Lat_Lon" into a fresh file (the old one becomes ".BAK").
    virtual bool Save(const std::string& Filename, std::string* error = nullptr) const;

    // Appends a state built from the requested window rectangle and box, and makes it current.
    // AreaPriority grows the window to the right (or downwards) up to the work area's right (or
    // bottom) edge, then moves it left (or up), then cuts it at the work area's left edge (or
    // the main window's bottom) and shrinks the other side, so that the drawing area always
    // takes the box's shape.
    void NewZoom(int32_t L, int32_t T, int32_t R, int32_t B, double MnLon, double MnLat, double MxLon,
                 double MxLat, ZoomPriority Priority);
    // Steps back to the previous state (the current one is discarded); false, and nothing
    // changed, on the first state.
    bool CanZoomOut();
    // Discards the whole history; there is no current state until the next NewZoom.
    void ClearBaseZoom();

    // The current state: the last of the history, or the first while it is shown on its own.
    MapListRec* Main_Plot() const
    {
        return history_.empty() ? nullptr : baseShown_ ? history_.front().get() : history_.back().get();
    }
    MapListRec* Base_Plot() const { return history_.empty() ? nullptr : history_.front().get(); }
    // The last state of the history, current or not.
    MapListRec* Last_Plot() const { return history_.empty() ? nullptr : history_.back().get(); }
    // Where-am-I: makes the first state current while the later ones are kept, and the last
    // one current again. NewZoom and ClearBaseZoom also end it; CanZoomOut refuses while the
    // first state is shown (it has no predecessor).
    void ShowBasePlot() { baseShown_ = !history_.empty(); }
    void ShowLastPlot() { baseShown_ = false; }
    bool BasePlotShown() const { return baseShown_; }
    size_t ZoomDepth() const { return history_.size(); }

    // The desktop work area, taken when the object is created; the map window refreshes it.
    ScreenRect UsableScreen;
    const ScreenMetrics& Screen() const { return screen_; }

    // Properties of the current state (0 and no effect while there is none).
    int32_t GetWindowLeft() const;
    int32_t GetWindowTop() const;
    int32_t GetWindowRight() const;
    int32_t GetWindowBottom() const;
    int32_t GetWindowWidth() const;
    int32_t GetWindowHeight() const;
    void SetWindowLeft(int32_t v);     // moves only the left edge
    void SetWindowTop(int32_t v);      // moves only the top edge
    void SetWindowWidth(uint16_t w);   // right := left + w
    void SetWindowHeight(uint16_t h);  // bottom := top + h

    int32_t GetOldWindowLeft() const;
    int32_t GetOldWindowTop() const;
    int32_t GetOldWindowWidth() const;
    int32_t GetOldWindowHeight() const;
    void SetOldWindowLeft(int32_t v);
    void SetOldWindowTop(int32_t v);
    // Drawing area of the old window rectangle (outer size less frame, border and caption).
    uint16_t GetOldMapWidth() const;
    uint16_t GetOldMapHeight() const;

    double GetMinLat() const;
    double GetMinLon() const;
    double GetMaxLat() const;
    double GetMaxLon() const;
    void SetMinLat(double v);
    void SetMinLon(double v);
    void SetMaxLat(double v);
    void SetMaxLon(double v);
    double GetMainLatRange() const;
    double GetMainLonRange() const;

    // Drawing area of a window of the given outer size under the screen's frame metrics,
    // as the 16-bit quantities of the map window (clamped to 0..65535).
    uint16_t MapWidthOf(int64_t outerWidth) const;
    uint16_t MapHeightOf(int64_t outerHeight) const;

protected:
    // Create with the file already read (bNew: the new-map geometry).
    void CreateFrom(bool bNew, const IniFile& ini);
    void WriteSections(IniFile& ini) const;

private:
    const ScreenMetrics& screen_;
    std::vector<std::unique_ptr<MapListRec>> history_;   // Base_Plot first, Main_Plot last
    bool baseShown_ = false;                             // the first state is current
};

// The 23-character text form of a real in "Lat" and "Lon": sign (blank or "-"), one digit,
// ".", 14 digits, "E", exponent sign and four exponent digits.
std::string FormatLatLonReal(double value);

} // namespace corvane
