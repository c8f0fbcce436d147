#pragma once
// The arithmetic of zooming and moving the map with the mouse and the keyboard: the rubber-band
// box and its fixed-shape variant, the shift of a reposition, zooming about a point of the
// picture, the wheel and touchpad gestures turned into whole zoom steps, which "&Zoom" items a
// window offers, and the maximum area of the per-user settings.
#include <cstdint>
#include <string>

namespace corvane {

class SettingsStore;

// A geographic box in decimal degrees.
struct GeoBox {
    double minLat = 0, maxLat = 0, minLon = 0, maxLon = 0;
    double LatRange() const { return maxLat - minLat; }
    double LonRange() const { return maxLon - minLon; }
};

// The picture a box is shown in: its extents and its size in pixels.
struct PictureFrame {
    GeoBox box;
    int32_t width = 1, height = 1;
};

// Corners of a rubber-band box ordered so that x1 <= x2 and y1 <= y2.
struct PixelBox {
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool Empty() const { return x1 == x2 || y1 == y2; }
};
PixelBox OrderBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// The area of a box dragged on the picture, whichever way it was dragged: its top row gives the
// maximum latitude, its bottom row the minimum, its left column the minimum longitude.
GeoBox BoxArea(const PictureFrame& frame, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// The free corner's column of a box that keeps the picture's proportions ("Use &Window
// proportions"): trunc(x1 +- a x (Y - y1 + 1)) with a = width / height, on the side of the
// mouse (+ when the mouse is right of and below the first corner, or neither).
int32_t FixedShapeX2(int32_t x1, int32_t y1, int32_t X, int32_t Y, int32_t width, int32_t height);

// Reposition: the extents moved so that the geography under (x1, y1) comes to lie under
// (x2, y2). The scale stays.
GeoBox RepositionBox(const PictureFrame& frame, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// The extents zoomed by factor (> 1 in, < 1 out) about the picture point (X, Y), which keeps
// the geography under it.
GeoBox ZoomAbout(const PictureFrame& frame, int32_t X, int32_t Y, double factor);

// Zoom factor of one wheel notch or one "+" / "-": two notches halve the ranges.
constexpr double kZoomStep = 1.4142135623730951;
// Narrowest and widest ranges a wheel or key zoom goes to, in degrees.
constexpr double kNarrowestRange = 0.001;
constexpr double kWidestLatRange = 180.0;
constexpr double kWidestLonRange = 360.0;
// Whether a box lies within those ranges.
bool ZoomRangeAllowed(const GeoBox& box);

// The wheel and the touchpad. Reports of a wheel (120 units a notch, finer on high-resolution
// wheels), of touchpad scrolling and of pinching are summed to whole notches. Notches that
// follow each other closely in one direction form one gesture: the map window keeps one zoom
// history entry per gesture, so a touchpad does not flood the history.
enum class ScrollPhase : uint8_t { None, Begin, Update, End };
class WheelGesture {
public:
    static constexpr int kUnitsPerNotch = 120;
    static constexpr int64_t kGestureGapMs = 400;

    // Adds a report of `units` (positive: away from the user, zoom in) at time `ms`. Returns
    // the whole notches to zoom by now (0 for none).
    int AddScroll(int units, int64_t ms, ScrollPhase phase);
    // Adds a pinch by `scale` (the relative change of size, 0.1 for 10 % larger) at time `ms`.
    int AddPinch(double scale, int64_t ms, ScrollPhase phase);
    // True when the notches last returned start a new gesture (a new history entry); false
    // when they continue the one before.
    bool StartsGesture() const { return starts_; }
    // Forgets the gesture: the next notch starts a new one.
    void Reset();

private:
    int Take(int64_t ms, ScrollPhase phase);
    double units_ = 0;        // notches not yet given out, in wheel units
    int direction_ = 0;       // of the gesture in progress, 0 when none
    int64_t last_ = 0;        // time of the last report
    bool open_ = false;       // a gesture is in progress
    bool starts_ = true;
};

// Which "&Zoom" items are enabled when the menu opens.
struct ZoomMenuState {
    bool In = false, Maximum = false, Reposition = false, WhereAmI = false;
    bool OverlayArea = false, OverlayMaximum = false, Previous = false;
};
// "&In", "&Maximum ", "&Reposition" and "&Where Am I?" need a normal window (neither
// maximised nor minimised); the two overlay items also an overlay; "&Previous" also an
// earlier zoom entry.
ZoomMenuState ZoomMenuItems(bool windowNormal, bool hasOverlay, bool hasPreviousEntry);

// The maximum area of the settings, section "Maximum Area", values "Lat" and "Lon": the
// minimum before the first blank, the maximum after it; an empty value gives 45..65 N and
// 15 W..15 E.
namespace MaximumAreaNames {
inline const char* const Section = "Maximum Area";
inline const char* const Lat = "Lat";
inline const char* const Lon = "Lon";
} // namespace MaximumAreaNames
struct MaximumAreaResult {
    bool ok = false;
    GeoBox box;
    std::string warning;   // when not ok: "Initialisation of INI file : Error in <program> (Lat=...)"
};
// A value whose numbers do not read, or whose range is empty or inverted, gives the warning and
// no area. exeName is the program's file name as the message names it.
MaximumAreaResult ReadMaximumArea(const SettingsStore& settings, const std::string& exeName);
// Stores a maximum area as the settings hold it ("45 65").
bool WriteMaximumArea(SettingsStore& settings, const GeoBox& box);

} // namespace corvane
