#include "interact/ZoomRules.h"

#include "platform/Ini.h"
#include "platform/Rounding.h"
#include "platform/Settings.h"

#include <cmath>
#include <cstdio>
#include <utility>

namespace corvane {

PixelBox OrderBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    return {x1, y1, x2, y2};
}

namespace {

double LatAt(const PictureFrame& f, int32_t Y)
{
    return f.box.minLat + (static_cast<double>(f.height) - Y) * f.box.LatRange() / f.height;
}

double LonAt(const PictureFrame& f, int32_t X) { return f.box.minLon + static_cast<double>(X) * f.box.LonRange() / f.width; }

} // namespace

GeoBox BoxArea(const PictureFrame& frame, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    const PixelBox b = OrderBox(x1, y1, x2, y2);
    return {LatAt(frame, b.y2), LatAt(frame, b.y1), LonAt(frame, b.x1), LonAt(frame, b.x2)};
}

int32_t FixedShapeX2(int32_t x1, int32_t y1, int32_t X, int32_t Y, int32_t width, int32_t height)
{
    const double a = static_cast<double>(width) / (height > 0 ? height : 1);
    const bool plus = (X > x1 && Y > y1) || (X <= x1 && Y <= y1);
    const double reach = a * (static_cast<double>(Y) - y1 + 1);
    return TruncI(plus ? x1 + reach : x1 - reach);
}

GeoBox RepositionBox(const PictureFrame& frame, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    const double dLat = LatAt(frame, y2) - LatAt(frame, y1);
    const double dLon = LonAt(frame, x1) - LonAt(frame, x2);
    GeoBox b = frame.box;
    b.minLat -= dLat;
    b.maxLat -= dLat;
    b.minLon += dLon;
    b.maxLon += dLon;
    return b;
}

GeoBox ZoomAbout(const PictureFrame& frame, int32_t X, int32_t Y, double factor)
{
    const double lat = LatAt(frame, Y), lon = LonAt(frame, X);
    const double latRange = frame.box.LatRange() / factor, lonRange = frame.box.LonRange() / factor;
    GeoBox b;
    b.minLat = lat - (static_cast<double>(frame.height) - Y) * latRange / frame.height;
    b.maxLat = b.minLat + latRange;
    b.minLon = lon - static_cast<double>(X) * lonRange / frame.width;
    b.maxLon = b.minLon + lonRange;
    return b;
}

bool ZoomRangeAllowed(const GeoBox& box)
{
    const double lat = box.LatRange(), lon = box.LonRange();
    return std::isfinite(lat) && std::isfinite(lon) && lat >= kNarrowestRange && lon >= kNarrowestRange &&
           lat <= kWidestLatRange && lon <= kWidestLonRange;
}

// ---- wheel and touchpad ---------------------------------------------------------------------

void WheelGesture::Reset()
{
    units_ = 0;
    direction_ = 0;
    open_ = false;
}

int WheelGesture::AddScroll(int units, int64_t ms, ScrollPhase phase)
{
    // A pause, or a touchpad's new gesture, ends the one before and what was left of a notch.
    if (phase == ScrollPhase::Begin || ms - last_ > kGestureGapMs || ms < last_) Reset();
    units_ += units;
    return Take(ms, phase);
}

int WheelGesture::AddPinch(double scale, int64_t ms, ScrollPhase phase)
{
    if (phase == ScrollPhase::Begin || ms - last_ > kGestureGapMs || ms < last_) Reset();
    if (std::isfinite(scale) && scale > -1.0)
        units_ += std::log1p(scale) / std::log(kZoomStep) * kUnitsPerNotch;
    return Take(ms, phase);
}

int WheelGesture::Take(int64_t ms, ScrollPhase phase)
{
    last_ = ms;
    // A hair's breadth short of a notch counts as the notch (sums of pinch steps).
    const double whole = units_ / kUnitsPerNotch;
    const int notches = static_cast<int>(std::trunc(whole + (whole > 0 ? 1e-9 : -1e-9)));
    if (notches != 0) {
        units_ -= static_cast<double>(notches) * kUnitsPerNotch;
        const int direction = notches > 0 ? 1 : -1;
        starts_ = !open_ || direction != direction_;
        open_ = true;
        direction_ = direction;
    }
    if (phase == ScrollPhase::End) Reset();
    return notches;
}

// ---- the "&Zoom" menu ----------------------------------------------------------------------

ZoomMenuState ZoomMenuItems(bool windowNormal, bool hasOverlay, bool hasPreviousEntry)
{
    ZoomMenuState s;
    s.In = s.Maximum = s.Reposition = s.WhereAmI = windowNormal;
    s.OverlayArea = s.OverlayMaximum = windowNormal && hasOverlay;
    s.Previous = windowNormal && hasPreviousEntry;
    return s;
}

// ---- the maximum area ----------------------------------------------------------------------

namespace {

// One value of "Maximum Area": false when it is set but does not give a range.
bool ReadAreaRange(const SettingsStore& settings, const char* name, double defMin, double defMax, double& mn,
                   double& mx)
{
    const std::string value = settings.ReadString(MaximumAreaNames::Section, name, "");
    if (value.empty()) {
        mn = defMin;
        mx = defMax;
        return true;
    }
    const size_t blank = value.find(' ');
    if (!ParseReal(value.substr(0, blank), mn) || !std::isfinite(mn)) return false;
    // The maximum is read too: a missing or inverted one would give an empty or upside-down map.
    if (blank == std::string::npos || !ParseReal(value.substr(blank + 1), mx) || !std::isfinite(mx)) return false;
    return mx > mn;
}

} // namespace

MaximumAreaResult ReadMaximumArea(const SettingsStore& settings, const std::string& exeName)
{
    MaximumAreaResult r;
    const char* const names[2] = {MaximumAreaNames::Lat, MaximumAreaNames::Lon};
    const bool lat = ReadAreaRange(settings, names[0], 45.0, 65.0, r.box.minLat, r.box.maxLat);
    const bool lon = lat && ReadAreaRange(settings, names[1], -15.0, 15.0, r.box.minLon, r.box.maxLon);
    if (!lat || !lon) {
        const char* name = lat ? names[1] : names[0];
        r.warning = "Initialisation of INI file : Error in " + exeName + " (" + name + "=" +
                    settings.ReadString(MaximumAreaNames::Section, name, "") + ")";
        return r;
    }
    r.ok = true;
    return r;
}

bool WriteMaximumArea(SettingsStore& settings, const GeoBox& box)
{
    auto text = [](double a, double b) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15g %.15g", a, b);
        return std::string(buf);
    };
    return settings.WriteString(MaximumAreaNames::Section, MaximumAreaNames::Lat, text(box.minLat, box.maxLat)) &&
           settings.WriteString(MaximumAreaNames::Section, MaximumAreaNames::Lon, text(box.minLon, box.maxLon));
}

} // namespace corvane
