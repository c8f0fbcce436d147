#include "interact/GeoSearchValues.h"

#include "platform/Ini.h"
#include "platform/Rounding.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace corvane {

namespace {

constexpr double kSixtieth = 1.0 / 60;

int Clamp(int64_t v, int hi) { return static_cast<int>(std::clamp<int64_t>(v, 0, hi)); }

// Sets a row's degrees, minutes and seconds. Seconds rounded up to a whole minute carry into
// the minutes, and minutes into the degrees, as the graticule labels do: 50° 32' 59.7" shows
// 50° 33' 0", never 50° 32' 60".
void SetDms(GeoSearchRow& row, int64_t D, int64_t M, int64_t S)
{
    if (S >= 60) S -= 60, ++M;
    if (M >= 60) M -= 60, ++D;
    row.Deg = Clamp(D, row.MaxDeg());
    row.Min = Clamp(M, 60);
    row.Sec = Clamp(S, 60);
}

} // namespace

GeoSearchValues::GeoSearchValues()
{
    Rows[RowW].Latitude = Rows[RowE].Latitude = false;
    Clear();
}

int GeoSearchValues::RowOf(const std::string& LL)
{
    if (LL.size() != 1) return -1;
    switch (std::toupper(static_cast<unsigned char>(LL[0]))) {
    case 'N': return RowN;
    case 'S': return RowS;
    case 'W': return RowW;
    case 'E': return RowE;
    default: return -1;
    }
}

std::string GeoSearchValues::FormatDecimal(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%2.4f", v);
    return buf;
}

bool GeoSearchValues::ParseDecimal(const std::string& text, double& v, std::string& error)
{
    if (ParseReal(text, v) && std::isfinite(v)) return true;
    error = "'" + text + "' is not a valid floating point value";
    return false;
}

void GeoSearchValues::SetUp(const std::string& LL, double dValue)
{
    const int r = RowOf(LL);
    if (r < 0) return;
    GeoSearchRow& row = Rows[r];
    const double a = std::fabs(dValue);
    const int64_t D = std::llabs(Trunc(dValue));
    const int64_t M = Trunc((a - static_cast<double>(D)) * 60);
    const int64_t S = Round((a - static_cast<double>(D) - static_cast<double>(M) * kSixtieth) * 3600);
    SetDms(row, D, M, S);
    if (row.Latitude)
        row.Hemi = dValue >= 0 ? "N" : "S";
    else
        row.Hemi = dValue >= 0 ? "E" : "W";
    if (DecDeg)
        row.Text = FormatDecimal(a);
    else if (DecMin)
        row.Text = FormatDecimal(row.Min + row.Sec * kSixtieth);
    else if (DecSec)
        row.Text = FormatDecimal(row.Sec);
}

void GeoSearchValues::Clear()
{
    for (GeoSearchRow& row : Rows) {
        row.Deg = row.Min = row.Sec = 0;
        row.Text = "0.0";
        row.Hemi = row.Latitude ? "N" : "E";
    }
}

bool GeoSearchValues::ParseAll(double out[4], std::string& error) const
{
    for (int i = 0; i < 4; ++i)
        if (!ParseDecimal(Rows[i].Text, out[i], error)) return false;
    return true;
}

bool GeoSearchValues::ClickSecHeader(std::string& error)
{
    if (!SecColumnShown()) return true;
    if (!DecSec) {
        for (GeoSearchRow& row : Rows) row.Text = FormatDecimal(row.Sec);
        DecSec = true;
        return true;
    }
    double v[4];
    if (!ParseAll(v, error)) return false;
    for (int i = 0; i < 4; ++i) SetDms(Rows[i], Rows[i].Deg, Rows[i].Min, Round(v[i]));
    DecSec = false;
    return true;
}

bool GeoSearchValues::ClickMinHeader(std::string& error)
{
    if (!MinColumnShown()) return true;
    double v[4];
    if (!DecMin) {
        // The seconds come from their text while they are entered as decimals.
        if (DecSec && !ParseAll(v, error)) return false;
        for (int i = 0; i < 4; ++i)
            Rows[i].Text = FormatDecimal(Rows[i].Min + (DecSec ? v[i] : Rows[i].Sec) * kSixtieth);
        DecMin = true;
        return true;
    }
    if (!ParseAll(v, error)) return false;
    for (int i = 0; i < 4; ++i) {
        GeoSearchRow& row = Rows[i];
        const int64_t m = Trunc(v[i]);
        SetDms(row, row.Deg, m, Round((v[i] - static_cast<double>(m)) * 60));
        if (DecSec) row.Text = FormatDecimal(row.Sec);
    }
    DecMin = false;
    return true;
}

bool GeoSearchValues::ClickDegHeader(std::string& error)
{
    double v[4];
    if (!DecDeg) {
        for (int i = 0; i < 4; ++i)
            if (!Value(Rows[i], v[i], error)) return false;
        for (int i = 0; i < 4; ++i) Rows[i].Text = FormatDecimal(v[i]);
        DecDeg = true;
        return true;
    }
    if (!ParseAll(v, error)) return false;
    for (int i = 0; i < 4; ++i) {
        GeoSearchRow& row = Rows[i];
        const int64_t d = Trunc(v[i]);
        const double rest = v[i] - static_cast<double>(d);
        const int64_t m = Trunc(rest * 60);
        SetDms(row, d, m, Round((rest - static_cast<double>(m) * kSixtieth) * 3600));
        if (DecMin)
            row.Text = FormatDecimal(row.Min + row.Sec * kSixtieth);
        else if (DecSec)
            row.Text = FormatDecimal(row.Sec);
    }
    DecDeg = false;
    return true;
}

bool GeoSearchValues::Value(const GeoSearchRow& row, double& v, std::string& error) const
{
    if (!DecDeg && !DecMin && !DecSec) {
        v = row.Deg + (row.Min + row.Sec * kSixtieth) * kSixtieth;
        return true;
    }
    double t;
    if (!ParseDecimal(row.Text, t, error)) return false;
    if (DecDeg)
        v = t;
    else if (DecMin)
        v = row.Deg + t * kSixtieth;
    else
        v = row.Deg + (row.Min + t * kSixtieth) * kSixtieth;
    return true;
}

GeoSearchResult GeoSearchValues::Read() const
{
    GeoSearchResult r;
    double v[4];
    for (int i = 0; i < 4; ++i) {
        if (!Value(Rows[i], v[i], r.message)) {
            r.conversionError = true;
            return r;
        }
        if (Rows[i].Hemi == (Rows[i].Latitude ? "S" : "W")) v[i] = -v[i];
    }
    r.N = v[RowN];
    r.S = v[RowS];
    r.W = v[RowW];
    r.E = v[RowE];
    if (r.N < r.S)
        r.message = "Northern latitude < Southern latitude";
    else if (r.E < r.W)
        r.message = "Eastern longitude < Western longitude";
    else if (r.N == r.S || r.W == r.E)
        r.message = "Invalid longitude or latitude range";
    else
        r.ok = true;
    return r;
}

std::string GeoSearchValues::ToggleHemi(const std::string& current, bool latitude)
{
    if (latitude) return current == "N" ? "S" : "N";
    return current == "W" ? "E" : "W";
}

std::string GeoSearchValues::TypedHemi(const std::string& current, char key, bool latitude)
{
    const char k = static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
    const bool valid = latitude ? (k == 'N' || k == 'S') : (k == 'E' || k == 'W');
    std::string upper = current;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (!valid || upper == std::string(1, k)) return current;
    return ToggleHemi(current, latitude);
}

} // namespace corvane
