#include "mapdef/MapDefObj.h"

#include "layers/Trig.h"
#include "platform/CvVars.h"
#include "platform/Ini.h"
#include "platform/Rounding.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace corvane {

namespace {

const char* const kWindow = "Window";
const char* const kLatLon = "Lat_Lon";

int64_t ClampU16(int64_t v) { return std::clamp<int64_t>(v, 0, 65535); }

// "Lat" / "Lon": the text before the first blank is the minimum and the text after it the
// maximum. A key that is absent (or empty) gives no range: the new map's (newMin, newMax) is
// taken. A part that is not a finite number is named in problem.
void ReadRange(const IniFile& ini, const char* key, double newMin, double newMax, double& mn, double& mx,
               std::string& problem)
{
    const std::string s = Trim(ini.ReadString(kLatLon, key, ""));
    mn = newMin;
    mx = newMax;
    if (s.empty()) return;
    const size_t blank = s.find(' ');
    const std::string parts[2] = {s.substr(0, blank), blank == std::string::npos ? std::string() : Trim(s.substr(blank + 1))};
    double* values[2] = {&mn, &mx};
    for (int i = 0; i < 2; ++i) {
        if (ParseReal(parts[i], *values[i]) && std::isfinite(*values[i])) continue;
        if (problem.empty()) problem = parts[i].empty() ? "the maximum is missing" : "\"" + parts[i] + "\" is not a number";
    }
}

void NewMapBox(double& minLat, double& maxLat, double& minLon, double& maxLon)
{
    minLat = 45.0;
    maxLat = 65.0;
    minLon = -15.0;
    maxLon = 15.0;
}

// Why a box read from a file cannot be shown; empty when it can. A box that reaches past the
// poles or the date line a little (as zooming out on a wide window makes one) is kept; one that
// shows nothing of the earth, or whose middle lies beyond a pole (where the map's scale turns
// over), is not.
std::string ImpossibleBox(double minLat, double maxLat, double minLon, double maxLon)
{
    if (!(minLat < maxLat)) return "the minimum latitude is not below the maximum";
    if (!(minLon < maxLon)) return "the minimum longitude is not below the maximum";
    if (maxLat <= -90 || minLat >= 90 || maxLon <= -180 || minLon >= 180 || std::fabs((minLat + maxLat) / 2) >= 90)
        return "the box lies outside latitudes -90..90 and longitudes -180..180";
    return {};
}

} // namespace

std::string FormatLatLonReal(double value)
{
    if (!std::isfinite(value)) {
        std::string t = std::isnan(value) ? "NAN" : value < 0 ? "-INF" : "+INF";
        return std::string(23 - t.size(), ' ') + t;
    }
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    std::string s(buf, res.ptr);   // "4.50000000000000e+01"
    size_t e = s.find('e');
    int exponent = 0;
    std::from_chars(s.data() + e + 1 + (s[e + 1] == '+' ? 1 : 0), s.data() + s.size(), exponent);
    std::string out;
    out += value < 0 ? '-' : ' ';
    out += s.substr(0, e);
    out += 'E';
    out += exponent < 0 ? '-' : '+';
    std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
    out += std::string(digits.size() < 4 ? 4 - digits.size() : 0, '0') + digits;
    return out;
}

TMapDefObj::TMapDefObj(const ScreenMetrics& screen) : screen_(screen) {}

TMapDefObj::~TMapDefObj() = default;

void TMapDefObj::Create(const std::string& sFilename)
{
    IniFile ini;
    if (!sFilename.empty()) ini.Load(sFilename);
    CreateFrom(sFilename.empty(), ini);
}

void TMapDefObj::CreateFrom(bool bNew, const IniFile& ini)
{
    ClearBaseZoom();
    BoxProblem.clear();
    UsableScreen = screen_.WorkArea();
    const ScreenRect& wa = UsableScreen;
    const int64_t mainBottom = screen_.MainWindowBottom();

    int64_t L, T, R, B;
    double minLat, maxLat, minLon, maxLon;
    ZoomPriority priority;
    if (bNew) {
        L = wa.Left;
        T = mainBottom;
        R = wa.Right;
        B = wa.Bottom;
        NewMapBox(minLat, maxLat, minLon, maxLon);
        priority = WindowPriority;
    } else {
        L = ini.ReadInteger(kWindow, "XPos", 0);
        T = ini.ReadInteger(kWindow, "YPos", ClampToInt(mainBottom));
        R = L + ini.ReadInteger(kWindow, "Width", screen_.ScreenWidth());
        B = T + ini.ReadInteger(kWindow, "Height", ClampToInt(screen_.ScreenHeight() - T));
        // Keep the saved window inside the work area, moving it rather than resizing it.
        if (L < wa.Left) {
            R = std::min<int64_t>(R + (wa.Left - L), wa.Right);
            L = wa.Left;
        } else if (R > wa.Right) {
            L = std::max<int64_t>(L - (R - wa.Right), wa.Left);
            R = wa.Right;
        }
        if (T < wa.Top) {
            B = std::min<int64_t>(B + (wa.Top - T), wa.Bottom);
            T = wa.Top;
        } else if (B > wa.Bottom) {
            T = std::max<int64_t>(T - (B - wa.Bottom), wa.Top);
            B = wa.Bottom;
        }
        // A box that no map can show (which the file's defaults for parts that are no numbers
        // would give, minimum above maximum) is told and the box of a new map is used; so is
        // a key that is absent, without a word.
        double newMinLat, newMaxLat, newMinLon, newMaxLon;
        NewMapBox(newMinLat, newMaxLat, newMinLon, newMaxLon);
        std::string problem;
        ReadRange(ini, "Lat", newMinLat, newMaxLat, minLat, maxLat, problem);
        ReadRange(ini, "Lon", newMinLon, newMaxLon, minLon, maxLon, problem);
        if (problem.empty()) problem = ImpossibleBox(minLat, maxLat, minLon, maxLon);
        if (!problem.empty()) {
            BoxProblem = "Lat = " + Trim(ini.ReadString(kLatLon, "Lat", "")) + ", Lon = " +
                         Trim(ini.ReadString(kLatLon, "Lon", "")) + " : " + problem;
            NewMapBox(minLat, maxLat, minLon, maxLon);
        }
        priority = AreaPriority;
    }
    CvVars::LatLonScale = 1.0 / std::cos(DegreesToRadians((minLat + maxLat) / 2.0));
    NewZoom(ClampToInt(L), ClampToInt(T), ClampToInt(R), ClampToInt(B), minLon, minLat, maxLon, maxLat, priority);
}

uint16_t TMapDefObj::MapWidthOf(int64_t outerWidth) const
{
    FrameMetrics f = screen_.Frame();
    return static_cast<uint16_t>(ClampU16(outerWidth - 2 * (int64_t{f.DialogFrameWidth} + f.BorderWidth)));
}

uint16_t TMapDefObj::MapHeightOf(int64_t outerHeight) const
{
    FrameMetrics f = screen_.Frame();
    return static_cast<uint16_t>(
        ClampU16(outerHeight - 2 * (int64_t{f.DialogFrameHeight} + f.BorderHeight) - f.CaptionHeight));
}

void TMapDefObj::NewZoom(int32_t L0, int32_t T0, int32_t R0, int32_t B0, double MnLon, double MnLat, double MxLon,
                         double MxLat, ZoomPriority Priority)
{
    int64_t L = L0, T = T0, R = R0, B = B0;
    const double scale = CvVars::LatLonScale;
    const ScreenRect& wa = UsableScreen;
    const int64_t mainBottom = screen_.MainWindowBottom();

    // The drawing area; a degenerate window counts as one pixel so the shapes stay finite.
    double W = std::max<uint16_t>(MapWidthOf(R - L), 1);
    double H = std::max<uint16_t>(MapHeightOf(B - T), 1);
    const double dLat = MxLat - MnLat;
    const double dLon = MxLon - MnLon;
    const double w = H / W;                   // shape of the window
    const double g = dLat * scale / dLon;     // shape of the box

    if (Priority == WindowPriority) {
        if (w > g) {
            double d = (dLon * H / (W * scale) - dLat) / 2.0;
            MnLat -= d;
            MxLat += d;
        } else if (w < g) {
            double d = (dLat * scale * W / H - dLon) / 2.0;
            MnLon -= d;
            MxLon += d;
        }
    } else if (w > g) {
        // The window is too tall for the box: widen it, within the work area. The new right
        // edge is held against the work area's right edge (a width here would leave the
        // window too wide by the work area's left offset, and the map stretched).
        double E = dLon * H / (dLat * scale) - W;
        if (R + RoundI(E) <= wa.Right) {
            R += RoundI(E);
        } else {
            double E2 = static_cast<double>(R) + E - wa.Right;
            R = wa.Right;
            if (L - RoundI(E2) >= wa.Left) {
                L -= RoundI(E2);
            } else {
                L = wa.Left;
                W = MapWidthOf(R - L);
                B += RoundI(dLat * scale * W / dLon - H);
            }
        }
    } else if (w < g) {
        // The window is too wide for the box: make it taller, below the main window. The new
        // bottom edge is held against the work area's bottom edge (the height below the main
        // window here would lift the window higher than the box needs, by the main window's
        // bottom, and stretch the map).
        double E = dLat * scale * W / dLon - H;
        if (B + RoundI(E) <= wa.Bottom) {
            B += RoundI(E);
        } else {
            double E2 = static_cast<double>(B) + E - wa.Bottom;
            B = wa.Bottom;
            if (T - RoundI(E2) >= mainBottom) {
                T -= RoundI(E2);
            } else {
                T = mainBottom;
                H = MapHeightOf(B - T);
                R += RoundI(dLon * H / (dLat * scale) - W);
            }
        }
    }

    auto rec = std::make_unique<MapListRec>();
    rec->WindowSize = {ClampToInt(L), ClampToInt(T), ClampToInt(R), ClampToInt(B)};
    rec->OldWindowSize = rec->WindowSize;
    rec->MinLat = MnLat;
    rec->MinLon = MnLon;
    rec->MaxLat = MxLat;
    rec->MaxLon = MxLon;
    if (!history_.empty()) {
        rec->Prev = history_.back().get();
        history_.back()->Next = rec.get();
    }
    history_.push_back(std::move(rec));
    baseShown_ = false;
}

bool TMapDefObj::CanZoomOut()
{
    if (history_.size() < 2 || baseShown_) return false;
    history_.pop_back();
    history_.back()->Next = nullptr;
    return true;
}

void TMapDefObj::ClearBaseZoom()
{
    history_.clear();
    baseShown_ = false;
}

void TMapDefObj::WriteSections(IniFile& ini) const
{
    ini.WriteInteger(kWindow, "XPos", GetWindowLeft());
    ini.WriteInteger(kWindow, "YPos", GetWindowTop());
    ini.WriteInteger(kWindow, "Width", GetWindowWidth());
    ini.WriteInteger(kWindow, "Height", GetWindowHeight());
    ini.WriteStringVerbatim(kLatLon, "Lat", FormatLatLonReal(GetMinLat()) + " " + FormatLatLonReal(GetMaxLat()));
    ini.WriteStringVerbatim(kLatLon, "Lon", FormatLatLonReal(GetMinLon()) + " " + FormatLatLonReal(GetMaxLon()));
}

bool TMapDefObj::Save(const std::string& Filename, std::string* error) const
{
    IniFile ini;
    WriteSections(ini);
    return ini.Save(Filename, true, error);
}

// ---- properties of the current state -------------------------------------------------------

int32_t TMapDefObj::GetWindowLeft() const { return Main_Plot() ? Main_Plot()->WindowSize.Left : 0; }
int32_t TMapDefObj::GetWindowTop() const { return Main_Plot() ? Main_Plot()->WindowSize.Top : 0; }
int32_t TMapDefObj::GetWindowRight() const { return Main_Plot() ? Main_Plot()->WindowSize.Right : 0; }
int32_t TMapDefObj::GetWindowBottom() const { return Main_Plot() ? Main_Plot()->WindowSize.Bottom : 0; }
int32_t TMapDefObj::GetWindowWidth() const { return Main_Plot() ? Main_Plot()->WindowSize.Width() : 0; }
int32_t TMapDefObj::GetWindowHeight() const { return Main_Plot() ? Main_Plot()->WindowSize.Height() : 0; }

void TMapDefObj::SetWindowLeft(int32_t v) { if (MapListRec* m = Main_Plot()) m->WindowSize.Left = v; }
void TMapDefObj::SetWindowTop(int32_t v) { if (MapListRec* m = Main_Plot()) m->WindowSize.Top = v; }
void TMapDefObj::SetWindowWidth(uint16_t w)
{
    if (MapListRec* m = Main_Plot()) m->WindowSize.Right = ClampToInt(int64_t{m->WindowSize.Left} + w);
}
void TMapDefObj::SetWindowHeight(uint16_t h)
{
    if (MapListRec* m = Main_Plot()) m->WindowSize.Bottom = ClampToInt(int64_t{m->WindowSize.Top} + h);
}

int32_t TMapDefObj::GetOldWindowLeft() const { return Main_Plot() ? Main_Plot()->OldWindowSize.Left : 0; }
int32_t TMapDefObj::GetOldWindowTop() const { return Main_Plot() ? Main_Plot()->OldWindowSize.Top : 0; }
int32_t TMapDefObj::GetOldWindowWidth() const { return Main_Plot() ? Main_Plot()->OldWindowSize.Width() : 0; }
int32_t TMapDefObj::GetOldWindowHeight() const { return Main_Plot() ? Main_Plot()->OldWindowSize.Height() : 0; }

void TMapDefObj::SetOldWindowLeft(int32_t v) { if (MapListRec* m = Main_Plot()) m->OldWindowSize.Left = v; }
void TMapDefObj::SetOldWindowTop(int32_t v) { if (MapListRec* m = Main_Plot()) m->OldWindowSize.Top = v; }

uint16_t TMapDefObj::GetOldMapWidth() const { return MapWidthOf(GetOldWindowWidth()); }
uint16_t TMapDefObj::GetOldMapHeight() const { return MapHeightOf(GetOldWindowHeight()); }

double TMapDefObj::GetMinLat() const { return Main_Plot() ? Main_Plot()->MinLat : 0.0; }
double TMapDefObj::GetMinLon() const { return Main_Plot() ? Main_Plot()->MinLon : 0.0; }
double TMapDefObj::GetMaxLat() const { return Main_Plot() ? Main_Plot()->MaxLat : 0.0; }
double TMapDefObj::GetMaxLon() const { return Main_Plot() ? Main_Plot()->MaxLon : 0.0; }

void TMapDefObj::SetMinLat(double v) { if (MapListRec* m = Main_Plot()) m->MinLat = v; }
void TMapDefObj::SetMinLon(double v) { if (MapListRec* m = Main_Plot()) m->MinLon = v; }
void TMapDefObj::SetMaxLat(double v) { if (MapListRec* m = Main_Plot()) m->MaxLat = v; }
void TMapDefObj::SetMaxLon(double v) { if (MapListRec* m = Main_Plot()) m->MaxLon = v; }

double TMapDefObj::GetMainLatRange() const { return GetMaxLat() - GetMinLat(); }
double TMapDefObj::GetMainLonRange() const { return GetMaxLon() - GetMinLon(); }

} // namespace corvane
