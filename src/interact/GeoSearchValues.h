#pragma once
// What the geographic search dialog holds and does, without the dialog: four rows (northern
// and southern latitude, western and eastern longitude), each as degrees, minutes and seconds
// or with one part as a decimal text, and a hemisphere letter; the entry mode, switched by
// clicking the column headers; filling a row from a value; and reading the box on OK with
// its checks.
#include <string>

namespace corvane {

struct GeoSearchRow {
    int Deg = 0, Min = 0, Sec = 0;   // the spin edits
    std::string Text = "0.0";        // the decimal entry
    std::string Hemi = "N";          // the hemisphere letter
    bool Latitude = true;            // N and S rows; W and E rows are longitudes

    int MaxDeg() const { return Latitude ? 90 : 180; }
};

// The box read on OK, or why it was refused.
struct GeoSearchResult {
    bool ok = false;
    double N = 0, S = 0, W = 0, E = 0;
    std::string message;   // a warning (range check) or a number conversion error
    bool conversionError = false;
};

class GeoSearchValues {
public:
    enum RowIndex { RowN = 0, RowS, RowW, RowE };

    GeoSearchValues();

    GeoSearchRow Rows[4];
    // The header captions that hold the entry mode: "Decimal Degrees" / "Deg", "Decimal Min" /
    // "Min", "Dec Sec" / "Sec". A caption keeps its state while its column is hidden, so
    // leaving a coarser decimal mode returns to the finer one chosen before.
    bool DecDeg = false, DecMin = false, DecSec = false;

    std::string DegCaption() const { return DecDeg ? "Decimal Degrees" : "Deg"; }
    std::string MinCaption() const { return DecMin ? "Decimal Min" : "Min"; }
    std::string SecCaption() const { return DecSec ? "Dec Sec" : "Sec"; }
    // Which columns show: the minutes header unless in decimal degrees, the seconds header
    // only with degrees-minutes-seconds or decimal seconds.
    bool MinColumnShown() const { return !DecDeg; }
    bool SecColumnShown() const { return !DecDeg && !DecMin; }

    // Row by its letter "N", "S", "W" or "E" (either case); -1 for another text.
    static int RowOf(const std::string& LL);

    // Fills a row from a value in decimal degrees: D = |trunc(v)|, M = trunc((|v| - D) x 60),
    // S = round((|v| - D - M / 60) x 3600), seconds rounded up to 60 carried into the minutes
    // (and minutes into the degrees), the letter from the sign. The row's decimal text
    // follows in the present mode, so a decimal entry never shows an earlier map's value.
    void SetUp(const std::string& LL, double dValue);
    // All spin edits 0, all texts "0.0", latitude letters "N", longitude letters "E".
    void Clear();

    // Header clicks. False, with the number conversion error, when a decimal text does not
    // read; nothing changes then.
    bool ClickDegHeader(std::string& error);
    bool ClickMinHeader(std::string& error);
    bool ClickSecHeader(std::string& error);

    // OK: each value by the mode, negated for "S" and "W"; refused with "Northern latitude <
    // Southern latitude", "Eastern longitude < Western longitude" or "Invalid longitude or
    // latitude range".
    GeoSearchResult Read() const;

    // The hemisphere letter after its spin button or an arrow key: "N" becomes "S" and any
    // other text "N" (latitudes); "W" becomes "E" and any other text "W" (longitudes).
    static std::string ToggleHemi(const std::string& current, bool latitude);
    // The letter after a key typed in the letter edit: a letter of the row's pair that differs
    // from the current one toggles it; anything else leaves it.
    static std::string TypedHemi(const std::string& current, char key, bool latitude);

    // A decimal text: fixed point with 4 decimals, at least 2 characters (12.5 gives "12.5000").
    static std::string FormatDecimal(double v);
    // A decimal text read as a number, or the conversion error ("'x' is not a valid floating
    // point value").
    static bool ParseDecimal(const std::string& text, double& v, std::string& error);

private:
    // The row's value in degrees (without sign) in the present mode.
    bool Value(const GeoSearchRow& row, double& v, std::string& error) const;
    bool ParseAll(double out[4], std::string& error) const;
};

} // namespace corvane
