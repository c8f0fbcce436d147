// The arithmetic of zooming and moving the map, the read-out and distance captions, and the
// values of the geographic search dialog.
#include "interact/Captions.h"
#include "interact/GeoSearchValues.h"
#include "interact/ModeHelp.h"
#include "interact/ModeHints.h"
#include "interact/ZoomRules.h"
#include "platform/Settings.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace corvane;

namespace {

// 400 x 300 pixels of 40..60 N, 20 W..20 E: 10 pixels a degree across, 15 down.
PictureFrame Frame400x300() { return {{40, 60, -20, 20}, 400, 300}; }

void ExpectBox(const GeoBox& b, double minLat, double maxLat, double minLon, double maxLon)
{
    EXPECT_NEAR(b.minLat, minLat, 1e-9);
    EXPECT_NEAR(b.maxLat, maxLat, 1e-9);
    EXPECT_NEAR(b.minLon, minLon, 1e-9);
    EXPECT_NEAR(b.maxLon, maxLon, 1e-9);
}

TEST(ZoomRules, ABoxDraggedEitherWayGivesTheSameArea)
{
    const PictureFrame f = Frame400x300();
    ExpectBox(BoxArea(f, 100, 75, 300, 225), 45, 55, -10, 10);
    ExpectBox(BoxArea(f, 300, 225, 100, 75), 45, 55, -10, 10);   // bottom right to top left
    ExpectBox(BoxArea(f, 300, 75, 100, 225), 45, 55, -10, 10);   // top right to bottom left
    const PixelBox o = OrderBox(30, 9, 10, 20);
    EXPECT_TRUE(o.x1 == 10 && o.y1 == 9 && o.x2 == 30 && o.y2 == 20 && !o.Empty());
    EXPECT_TRUE(OrderBox(5, 1, 5, 9).Empty() && OrderBox(1, 7, 9, 7).Empty());
}

TEST(ZoomRules, AFixedShapeBoxKeepsThePicturesRatioOnTheMousesSide)
{
    // a = 4 / 3; the box grows by a x (rows + 1) to the side of the mouse.
    EXPECT_EQ(FixedShapeX2(100, 100, 300, 160, 400, 300), 181);   // right, below: 100 + 81.33
    EXPECT_EQ(FixedShapeX2(100, 100, 120, 160, 400, 300), 181);   // wherever the mouse is across
    EXPECT_EQ(FixedShapeX2(100, 100, 50, 40, 400, 300), 21);      // left, above: 100 - 78.67
    EXPECT_EQ(FixedShapeX2(100, 100, 300, 40, 400, 300), 178);    // right, above
    EXPECT_EQ(FixedShapeX2(100, 100, 50, 160, 400, 300), 18);     // left, below
    EXPECT_EQ(FixedShapeX2(100, 100, 100, 100, 400, 300), 101);   // on the corner: one row
}

TEST(ZoomRules, RepositionMovesTheFirstPointUnderTheSecond)
{
    const PictureFrame f = Frame400x300();
    // 100 pixels to the right: longitudes decrease by 10 degrees, latitudes stay.
    ExpectBox(RepositionBox(f, 100, 150, 200, 150), 40, 60, -30, 10);
    // 30 rows down: latitudes increase by 2 degrees.
    ExpectBox(RepositionBox(f, 100, 100, 100, 130), 42, 62, -20, 20);
}

TEST(ZoomRules, ZoomingAboutAPointKeepsItAndReturnsByTheInverseStep)
{
    const PictureFrame f = Frame400x300();
    const GeoBox in = ZoomAbout(f, 100, 75, 2.0);   // the point 55 N, 10 W stays at (100, 75)
    ExpectBox(in, 47.5, 57.5, -15, 5);
    const GeoBox back = ZoomAbout({in, 400, 300}, 100, 75, 0.5);
    ExpectBox(back, 40, 60, -20, 20);
    const GeoBox step = ZoomAbout(f, 17, 283, kZoomStep);
    EXPECT_NEAR(step.LatRange() * step.LatRange(), 200.0, 1e-9);   // two steps halve the range
    ExpectBox(ZoomAbout({step, 400, 300}, 17, 283, 1 / kZoomStep), 40, 60, -20, 20);

    EXPECT_TRUE(ZoomRangeAllowed(in));
    EXPECT_FALSE(ZoomRangeAllowed({0, 0.0005, 0, 1}));
    EXPECT_FALSE(ZoomRangeAllowed({-100, 100, 0, 10}));
    EXPECT_FALSE(ZoomRangeAllowed({0, 10, -200, 200}));
}

TEST(WheelGesture, NotchesCloseTogetherInOneDirectionAreOneGesture)
{
    WheelGesture w;
    EXPECT_EQ(w.AddScroll(120, 1000, ScrollPhase::None), 1);
    EXPECT_TRUE(w.StartsGesture());
    EXPECT_EQ(w.AddScroll(240, 1100, ScrollPhase::None), 2);
    EXPECT_FALSE(w.StartsGesture());
    // Turning back starts another gesture, and so does a pause.
    EXPECT_EQ(w.AddScroll(-120, 1200, ScrollPhase::None), -1);
    EXPECT_TRUE(w.StartsGesture());
    EXPECT_EQ(w.AddScroll(-120, 1200 + WheelGesture::kGestureGapMs + 1, ScrollPhase::None), -1);
    EXPECT_TRUE(w.StartsGesture());
    // A fine wheel: 8 reports of 15 make a notch.
    int notches = 0;
    for (int i = 0; i < 8; ++i) notches += w.AddScroll(15, 5000 + i * 10, ScrollPhase::None);
    EXPECT_EQ(notches, 1);
    // Half a notch is forgotten after a pause.
    EXPECT_EQ(w.AddScroll(60, 9000, ScrollPhase::None), 0);
    EXPECT_EQ(w.AddScroll(60, 9000 + WheelGesture::kGestureGapMs + 1, ScrollPhase::None), 0);
}

TEST(WheelGesture, TouchpadScrollingAndPinchingAccumulateToWholeNotches)
{
    WheelGesture w;
    EXPECT_EQ(w.AddScroll(0, 100, ScrollPhase::Begin), 0);
    int notches = 0;
    for (int i = 1; i <= 30; ++i) notches += w.AddScroll(12, 100 + i * 8, ScrollPhase::Update);
    EXPECT_EQ(notches, 3);   // 360 units: three notches, not thirty entries
    EXPECT_FALSE(w.StartsGesture());
    EXPECT_EQ(w.AddScroll(0, 400, ScrollPhase::End), 0);
    EXPECT_EQ(w.AddScroll(120, 420, ScrollPhase::Begin), 1);
    EXPECT_TRUE(w.StartsGesture());

    // A pinch to twice the size is two notches (each notch is a factor of the square root of 2).
    WheelGesture p;
    notches = p.AddPinch(0, 1000, ScrollPhase::Begin);
    for (int i = 1; i <= 10; ++i) notches += p.AddPinch(std::pow(2.0, 0.1) - 1, 1000 + i * 10, ScrollPhase::Update);
    EXPECT_EQ(notches, 2);
    EXPECT_EQ(p.AddPinch(-0.5, 1200, ScrollPhase::Update), -2);
    EXPECT_TRUE(p.StartsGesture());
}

TEST(ZoomRules, MaximumAreaFromTheSettings)
{
    SettingsStore s;
    MaximumAreaResult r = ReadMaximumArea(s, "corvane");
    ASSERT_TRUE(r.ok);
    ExpectBox(r.box, 45, 65, -15, 15);

    ASSERT_TRUE(WriteMaximumArea(s, {-10.5, 30, -40, 5.25}));
    r = ReadMaximumArea(s, "corvane");
    ASSERT_TRUE(r.ok);
    ExpectBox(r.box, -10.5, 30, -40, 5.25);

    s.WriteString("Maximum Area", "Lat", "north 60");
    r = ReadMaximumArea(s, "corvane");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.warning, "Initialisation of INI file : Error in corvane (Lat=north 60)");
    // A maximum that does not read, or lies below the minimum, would give no map either.
    for (const char* bad : {"50", "50 x", "60 50", "50 50"}) {
        s.WriteString("Maximum Area", "Lat", "45 65");
        s.WriteString("Maximum Area", "Lon", bad);
        r = ReadMaximumArea(s, "CORVANE");
        EXPECT_FALSE(r.ok) << bad;
        EXPECT_EQ(r.warning, std::string("Initialisation of INI file : Error in CORVANE (Lon=") + bad + ")");
    }
}

TEST(Captions, ReadOutInDegreesMinutesSecondsAndDecimals)
{
    // 50 05' 07.5" N, 3 30' W: minutes and seconds keep their leading zero.
    const double lat = 50 + 5 / 60.0 + 7.5 / 3600, lon = -3.5;
    EXPECT_EQ(LatLonCaption(lat, lon, false, false), "50\xB0" "05'07\"N   3\xB0" "30'00\"W");
    EXPECT_EQ(LatLonCaption(-lat, -lon, false, true), "50\xB0" "05'07\"S   3\xB0" "30'00\"E");
    EXPECT_EQ(ReadOutCoordinate(123.999, 'E', false, false), "123\xB0" "59'56\"E");
    // Decimal: 4 decimals in 7 characters on a map under 2 degrees, else 2 in 5.
    EXPECT_EQ(LatLonCaption(lat, lon, true, true), "50.0854\xB0N   3.5000\xB0W");
    EXPECT_EQ(LatLonCaption(lat, lon, true, false), "50.09\xB0N   3.50\xB0W");
    EXPECT_EQ(ReadOutCoordinate(0.0, 'N', true, false), " 0.00\xB0N");
}

TEST(Captions, DistancesAreCutToFiveCharacters)
{
    EXPECT_EQ(DistanceField(7.5), " 7.50");
    EXPECT_EQ(DistanceField(123.45), "123.4");
    EXPECT_EQ(DistanceField(1234.567), "1234.");
    EXPECT_EQ(DistanceCaption(7.5, 123.45, DistanceUnit::NauticalMiles),
              "This leg is  7.50 nautical miles out of 123.4");
    // 100 NM is 185.1851852 km and 115.0779451 statute miles.
    EXPECT_EQ(DistanceCaption(100, 100, DistanceUnit::Kilometres), "This leg is 185.1 kilometres out of 185.1");
    EXPECT_EQ(DistanceCaption(1, 100, DistanceUnit::StatuteMiles), "This leg is  1.15 statute miles out of 115.0");
}

TEST(ModeHints, EachStageSaysWhatTheNextClickAndTheRightButtonDo)
{
    auto hint = [](auto set) {
        ModeStages s;
        set(s);
        return ModeHint(s);
    };
    EXPECT_EQ(ModeHint({}), "");   // nothing on: no status line
    EXPECT_EQ(hint([](ModeStages& s) { s.zoom = 1; }),
              "Zoom in: click the first corner of the box — or drag it; right click: stop zooming");
    EXPECT_EQ(hint([](ModeStages& s) { s.zoom = 2; }),
              "Zoom in: click the opposite corner of the box; right click: take the box back");
    EXPECT_EQ(hint([](ModeStages& s) { s.zoom = 2, s.zoomDragged = true; }),
              "Zoom in: release the button at the opposite corner of the box");
    EXPECT_EQ(hint([](ModeStages& s) { s.repo = 1; }),
              "Reposition: click the point to move; right click: stop repositioning");
    EXPECT_EQ(hint([](ModeStages& s) { s.repo = 2; }),
              "Reposition: click where the point is to go; right click: choose another point");
    EXPECT_EQ(hint([](ModeStages& s) { s.query = 1; }),
              "Query: click a symbol or area of the overlay; right click: stop querying");
    EXPECT_EQ(hint([](ModeStages& s) { s.query = 2; }),
              "Query: click another symbol or area; right click: clear the answer");
    EXPECT_EQ(hint([](ModeStages& s) { s.distance = 1; }),
              "Distance: click the first point of the route; right click: stop measuring");
    // Where-am-I stands over the rest; a route over the zoom that waits behind it.
    EXPECT_EQ(hint([](ModeStages& s) { s.whereAmI = true, s.zoom = 1; }),
              "Where Am I?: the box shows the view you came from; click the map or press Esc to return");
    EXPECT_EQ(hint([](ModeStages& s) { s.distance = 1, s.zoom = 1; }).rfind("Distance:", 0), 0u);

    // A route: its legs and total in the unit chosen, and the total to the pointer.
    ModeStages measuring;
    measuring.distance = 2;
    const std::string ask = "Distance: click the next point, double click the last; right click: take back the last leg";
    EXPECT_EQ(ModeHint(measuring, {{}, 7.5, DistanceUnit::NauticalMiles}), ask + " — 7.50 nautical miles to the pointer");
    EXPECT_EQ(ModeHint(measuring, {{10, 2.5}, 0, DistanceUnit::NauticalMiles}),
              ask + " — legs 10.00 + 2.50 = 12.50 nautical miles");
    // 100 NM is 185.19 km; 1 NM more to the pointer.
    EXPECT_EQ(ModeHint(measuring, {{100}, 1, DistanceUnit::Kilometres}),
              ask + " — leg 185.19 kilometres, 187.04 to the pointer");
    ModeStages done;
    done.distance = 3;
    const std::string long9 = ModeHint(done, {{1, 2, 3, 4, 5, 6, 7, 8, 9}, 0, DistanceUnit::StatuteMiles});
    EXPECT_NE(long9.find("the route is done"), std::string::npos);
    // The first of nine legs is left out of the list, not out of the total (45 NM = 51.79 mi).
    EXPECT_NE(long9.find(" — legs … + 2.30 + "), std::string::npos) << long9;
    EXPECT_NE(long9.find(" = 51.79 statute miles"), std::string::npos) << long9;
}

// F1 on the map opens the page of the mode the status line describes, whichever modes are on.
TEST(ModeHints, HelpOpensThePageOfTheModeTheStatusLineNames)
{
    const std::pair<const char*, int> pages[] = {
        {"Where Am I?:", 5008}, {"Distance:", 4006}, {"Query:", 7000}, {"Reposition:", 5007}, {"Zoom in:", 5001}};
    for (int bits = 1; bits < 32; ++bits) {
        ModeStages s;
        s.zoom = (bits & 1) ? 1 : 0;
        s.repo = (bits & 2) ? 2 : 0;
        s.query = (bits & 4) ? 1 : 0;
        s.distance = (bits & 8) ? 2 : 0;
        s.whereAmI = (bits & 16) != 0;
        const std::string hint = ModeHint(s);
        int page = 0;
        for (const auto& [start, context] : pages)
            if (hint.rfind(start, 0) == 0) page = context;
        EXPECT_EQ(ModeHelpContext(s, false), page) << hint;
    }
    EXPECT_EQ(ModeHelpContext({}, true), 9002);   // a key carried with no mode on
}

// ---- the geographic search values ------------------------------------------------------------

TEST(GeoSearchValues, DegreesMinutesSecondsAndDecimalDegrees)
{
    GeoSearchValues v;
    GeoSearchRow& n = v.Rows[GeoSearchValues::RowN];
    n.Deg = 50, n.Min = 30, n.Sec = 0, n.Hemi = "N";
    v.Rows[GeoSearchValues::RowS].Deg = 40;
    v.Rows[GeoSearchValues::RowW].Deg = 5, v.Rows[GeoSearchValues::RowW].Hemi = "W";
    v.Rows[GeoSearchValues::RowE].Deg = 2, v.Rows[GeoSearchValues::RowE].Hemi = "E";
    GeoSearchResult r = v.Read();
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_DOUBLE_EQ(r.N, 50.5);
    EXPECT_TRUE(r.S == 40 && r.W == -5 && r.E == 2);

    std::string error;
    ASSERT_TRUE(v.ClickDegHeader(error));
    EXPECT_EQ(v.DegCaption(), "Decimal Degrees");
    EXPECT_FALSE(v.MinColumnShown() || v.SecColumnShown());
    EXPECT_EQ(n.Text, "50.5000");
    EXPECT_EQ(v.Rows[GeoSearchValues::RowW].Text, "5.0000");
    r = v.Read();
    EXPECT_TRUE(r.ok && r.N == 50.5 && r.W == -5);

    n.Text = "50.75";
    ASSERT_TRUE(v.ClickDegHeader(error));
    EXPECT_EQ(v.DegCaption(), "Deg");
    EXPECT_TRUE(n.Deg == 50 && n.Min == 45 && n.Sec == 0);
}

TEST(GeoSearchValues, DecimalMinutesAndSecondsRememberTheFinerMode)
{
    GeoSearchValues v;
    GeoSearchRow& s = v.Rows[GeoSearchValues::RowS];
    s.Deg = 10, s.Min = 15, s.Sec = 36;
    std::string error;
    ASSERT_TRUE(v.ClickSecHeader(error));
    EXPECT_TRUE(v.SecCaption() == "Dec Sec" && s.Text == "36.0000");
    s.Text = "45.5";
    ASSERT_TRUE(v.ClickMinHeader(error));   // decimal minutes take the decimal seconds
    EXPECT_TRUE(v.MinCaption() == "Decimal Min" && !v.SecColumnShown());
    EXPECT_EQ(s.Text, "15.7583");
    s.Text = "15.25";
    ASSERT_TRUE(v.ClickMinHeader(error));   // back: 15' 15", and decimal seconds again
    EXPECT_TRUE(s.Min == 15 && s.Sec == 15);
    EXPECT_TRUE(v.SecColumnShown() && v.SecCaption() == "Dec Sec" && s.Text == "15.0000");
    GeoSearchResult r = v.Read();
    EXPECT_DOUBLE_EQ(r.S, 10 + (15 + 15 / 60.0) / 60);

    // A text that is not a number stops the switch with the conversion error.
    s.Text = "abc";
    EXPECT_FALSE(v.ClickSecHeader(error));
    EXPECT_EQ(error, "'abc' is not a valid floating point value");
    EXPECT_EQ(v.SecCaption(), "Dec Sec");
    r = v.Read();
    EXPECT_TRUE(!r.ok && r.conversionError && r.message == "'abc' is not a valid floating point value");
}

TEST(GeoSearchValues, OkRefusesInvertedAndEmptyRanges)
{
    GeoSearchValues v;
    v.SetUp("n", 50);
    v.SetUp("S", 50);
    v.SetUp("W", -5);
    v.SetUp("e", 2);
    GeoSearchResult r = v.Read();
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Invalid longitude or latitude range");
    v.SetUp("S", 51);
    EXPECT_EQ(v.Read().message, "Northern latitude < Southern latitude");
    v.SetUp("S", 49);
    v.SetUp("E", -6);
    EXPECT_EQ(v.Read().message, "Eastern longitude < Western longitude");
    v.SetUp("E", -5);
    EXPECT_EQ(v.Read().message, "Invalid longitude or latitude range");
    v.SetUp("E", 2);
    r = v.Read();
    EXPECT_TRUE(r.ok && r.N == 50 && r.S == 49 && r.W == -5 && r.E == 2);
}

TEST(GeoSearchValues, SetUpClearAndTheHemisphereLetters)
{
    GeoSearchValues v;
    v.SetUp("S", -0.25);
    const GeoSearchRow& s = v.Rows[GeoSearchValues::RowS];
    EXPECT_TRUE(s.Deg == 0 && s.Min == 15 && s.Sec == 0 && s.Hemi == "S");
    v.SetUp("W", 3.50875);   // 3 30' 31.5": seconds round to even
    const GeoSearchRow& w = v.Rows[GeoSearchValues::RowW];
    EXPECT_TRUE(w.Deg == 3 && w.Min == 30 && w.Sec == 32 && w.Hemi == "E");
    v.SetUp("x", 7);   // no such row: nothing changes
    EXPECT_EQ(s.Min, 15);
    // Seconds that round up to a whole minute carry, as in the graticule labels.
    v.SetUp("N", 50 + 32 / 60.0 + 59.7 / 3600);
    const GeoSearchRow& n = v.Rows[GeoSearchValues::RowN];
    EXPECT_TRUE(n.Deg == 50 && n.Min == 33 && n.Sec == 0) << n.Min << "' " << n.Sec;
    v.SetUp("E", 179.99999);
    const GeoSearchRow& e = v.Rows[GeoSearchValues::RowE];
    EXPECT_TRUE(e.Deg == 180 && e.Min == 0 && e.Sec == 0) << e.Deg << " " << e.Min << "' " << e.Sec;

    std::string error;
    ASSERT_TRUE(v.ClickMinHeader(error));
    v.Rows[GeoSearchValues::RowN].Text = "32.9950";   // 32' 59.7"
    ASSERT_TRUE(v.ClickMinHeader(error));
    EXPECT_TRUE(n.Deg == 50 && n.Min == 33 && n.Sec == 0) << n.Min << "' " << n.Sec;

    // In decimal degrees the text follows the value set up, not the one typed before.
    ASSERT_TRUE(v.ClickDegHeader(error));
    v.SetUp("S", -12.125);
    EXPECT_EQ(s.Text, "12.1250");

    v.Clear();
    for (const GeoSearchRow& row : v.Rows) {
        EXPECT_TRUE(row.Deg == 0 && row.Min == 0 && row.Sec == 0 && row.Text == "0.0");
        EXPECT_EQ(row.Hemi, row.Latitude ? "N" : "E");
    }

    EXPECT_EQ(GeoSearchValues::TypedHemi("N", 's', true), "S");
    EXPECT_EQ(GeoSearchValues::TypedHemi("N", 'x', true), "N");
    EXPECT_EQ(GeoSearchValues::TypedHemi("N", 'n', true), "N");
    EXPECT_EQ(GeoSearchValues::TypedHemi("S", 'E', true), "S");   // a longitude letter in a latitude
    EXPECT_EQ(GeoSearchValues::TypedHemi("E", 'w', false), "W");
    EXPECT_EQ(GeoSearchValues::ToggleHemi("N", true), "S");
    EXPECT_EQ(GeoSearchValues::ToggleHemi("?", true), "N");
    EXPECT_EQ(GeoSearchValues::ToggleHemi("W", false), "E");
    EXPECT_EQ(GeoSearchValues::ToggleHemi("E", false), "W");
    EXPECT_EQ(GeoSearchValues::FormatDecimal(12.5), "12.5000");
    EXPECT_EQ(GeoSearchValues::FormatDecimal(0), "0.0000");
}

} // namespace
