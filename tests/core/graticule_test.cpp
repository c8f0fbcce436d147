// The graticule: spacing by axis range, the label texts, and the lines and labels drawn on a
// recording canvas (8 pixels a character, 13 pixels a line), on the screen and on paper.
#include "KeyFixtures.h"
#include "platform/CvVars.h"
#include "platform/MessageSink.h"
#include "render/Graticule.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace corvane;
using namespace corvane::test;
using Op = RecordingCanvas::Op;

namespace {

const std::string kDeg = "\xB0";

GridLabelRules Rules(bool decimal, double latRange, double lonRange) { return {decimal, latRange, lonRange}; }

// The lines drawn across (parallels: y -> from x, to x) or down (meridians: x -> from y, to y).
std::map<int, std::pair<int, int>> Lines(const RecordingCanvas& c, bool across)
{
    std::map<int, std::pair<int, int>> out;
    for (const auto* r : c.Of(Op::Line)) {
        const Point a = r->pts[0], b = r->pts[1];
        if (across && a.y == b.y) out[a.y] = {a.x, b.x};
        if (!across && a.x == b.x) out[a.x] = {a.y, b.y};
    }
    return out;
}

GraticuleSettings Settings(double minLat, double maxLat, double minLon, double maxLon, int W = 400, int H = 300)
{
    GraticuleSettings s;
    s.MinLat = minLat, s.MaxLat = maxLat, s.MinLon = minLon, s.MaxLon = maxLon;
    s.W = W, s.H = H;
    s.Spacing = GridSpacing::Auto;
    s.GridColour = 0x123456;
    return s;
}

} // namespace

TEST(GraticuleSpacing, AutoFollowsTheRangeAndMeridiansGoOneStepFiner)
{
    // A map definition whose spacing code checks no item (9, 0) spaces its lines as "&Auto" does.
    const struct { GridSpacing spacing; double range; int degrees; } spacings[] = {
        {GridSpacing::Auto, 1.99, 0},   {GridSpacing::Auto, 2, 1},     {GridSpacing::Auto, 10, 1},
        {GridSpacing::Auto, 10.01, 2},  {GridSpacing::Auto, 30, 2},    {GridSpacing::Auto, 30.5, 5},
        {GridSpacing::Auto, 100, 5},    {GridSpacing::Auto, 100.5, 20}, {GridSpacing::Fractional, 50, 0},
        {GridSpacing::Degrees10, 0.1, 10}, {GridSpacingFromScale(9), 15, 2}, {GridSpacingFromScale(0), 1, 0},
    };
    for (const auto& c : spacings) EXPECT_EQ(SpacingDegrees(c.spacing, c.range), c.degrees) << c.range;

    // Grid units per degree and between lines: whole degrees (5 x 6, 5 x 10); 0.7 degrees gives
    // 10-minute parallels but 5-minute meridians; then 2 minutes, 1 minute, 12 seconds, and in
    // decimal 0.02, 0.01, 0.002 degrees.
    const struct { bool meridian, decimal; GridSpacing spacing; double range; int64_t step, degreeStep; } axes[] = {
        {false, false, GridSpacing::Degrees5, 3, 30, 6},   {false, true, GridSpacing::Degrees5, 3, 50, 10},
        {false, false, GridSpacing::Fractional, 0.7, 1, 6}, {true, false, GridSpacing::Fractional, 0.7, 1, 12},
        {true, true, GridSpacing::Fractional, 1.0, 1, 10}, {false, false, GridSpacing::Auto, 0.3, 1, 30},
        {false, false, GridSpacing::Auto, 0.07, 1, 60},    {false, false, GridSpacing::Auto, 0.03, 1, 300},
        {true, true, GridSpacing::Auto, 0.3, 1, 50},       {true, true, GridSpacing::Auto, 0.07, 1, 100},
        {true, true, GridSpacing::Auto, 0.03, 1, 500},
    };
    for (const auto& c : axes) {
        const GridAxis a = c.meridian ? MeridianSpacing(c.spacing, c.decimal, c.range)
                                      : ParallelSpacing(c.spacing, c.decimal, c.range);
        EXPECT_TRUE(a.Step == c.step && a.DegreeStep == c.degreeStep) << c.meridian << " " << c.range;
    }
}

TEST(GraticuleLabels, WholeDecimalAndDegreesMinutesSeconds)
{
    const GridAxis whole = ParallelSpacing(GridSpacing::Degrees1, false, 20);
    const GridLabelRules wide = Rules(false, 20, 30);
    // The equator and the prime meridian carry no hemisphere letter.
    EXPECT_EQ(GridLabel(0, true, whole, wide), " 0 ");
    EXPECT_EQ(GridLabel(0, false, MeridianSpacing(GridSpacing::Degrees1, false, 30), wide), " 0 ");
    EXPECT_EQ(GridLabel(50 * 6, true, whole, wide), " 50N ");
    EXPECT_EQ(GridLabel(-50 * 6, true, whole, wide), " 50S ");
    EXPECT_EQ(GridLabel(-3 * 6, false, MeridianSpacing(GridSpacing::Degrees1, false, 30), wide), " 3W ");
    EXPECT_EQ(GridLabel(170 * 10, false, MeridianSpacing(GridSpacing::Degrees10, true, 30), Rules(true, 20, 30)),
              " 170E ");

    // Decimal labels: 2 decimals when a range is below 1 degree, 3 below 0.05, else 1.
    const GridAxis dec = ParallelSpacing(GridSpacing::Fractional, true, 0.3);   // 0.02 degree
    EXPECT_EQ(GridLabel(2512, true, dec, Rules(true, 0.3, 1.0)), "  50.24N ");
    EXPECT_EQ(LatLonStr(2512, true, dec, Rules(true, 0.3, 0.04)), "  50.240");
    EXPECT_EQ(GridLabel(-15, false, MeridianSpacing(GridSpacing::Fractional, true, 1.5), Rules(true, 1.5, 1.5)),
              "   1.5W ");

    // Degrees and minutes, minutes right-aligned in two characters, "00" for none.
    const GridAxis twoMin = ParallelSpacing(GridSpacing::Auto, false, 0.3);
    EXPECT_EQ(GridLabel(50 * 30 + 6, true, twoMin, Rules(false, 0.3, 1)), "  50" + kDeg + "12'N ");
    const GridAxis oneMin = ParallelSpacing(GridSpacing::Auto, false, 0.07);
    EXPECT_EQ(GridLabel(50 * 60 + 5, true, oneMin, Rules(false, 0.07, 1)), "  50" + kDeg + " 5'N ");
    EXPECT_EQ(GridLabel(-50 * 60, true, oneMin, Rules(false, 0.07, 1)), "  50" + kDeg + "00'S ");
    EXPECT_EQ(GridLabel(-(5 * 60 + 30), false, MeridianSpacing(GridSpacing::Auto, false, 0.07), Rules(false, 0.07, 0.07)),
              "   5" + kDeg + "30'W ");
}

TEST(GraticuleLabels, SecondsFillTheLabelAndNeverReadSixty)
{
    const GridAxis axis = ParallelSpacing(GridSpacing::Auto, false, 0.03);   // 12 seconds
    const GridLabelRules rules = Rules(false, 0.03, 1);
    // 50 deg 12' 12": eleven characters, so the hemisphere letter is dropped.
    EXPECT_EQ(GridLabel(50 * 300 + 61, true, axis, rules), "  50" + kDeg + "12'12\"");
    EXPECT_EQ(GridLabel(-(50 * 300 + 61), true, axis, rules), "  50" + kDeg + "12'12\"");
    // Seconds only where the labelled axis itself is that small.
    EXPECT_EQ(GridLabel(50 * 300 + 61, false, axis, rules), "  50" + kDeg + "12'E ");

    // Every 12-second line of a degree reads a whole number of 12 seconds below a minute.
    for (int64_t u = 50 * 300; u < 51 * 300; ++u) {
        const std::string s = LatLonStr(u, true, axis, rules);
        ASSERT_EQ(s.size(), 11u) << s;
        const int minutes = std::stoi(s.substr(5, 2)), seconds = std::stoi(s.substr(8, 2));
        EXPECT_EQ(minutes * 60 + seconds, (u - 50 * 300) * 12) << s;
    }
}

TEST(Graticule, TenMinuteParallelsOnADegreeAndAHalfLabelledAtBothEnds)
{
    RecordingCanvas c(400, 300);
    c.bkMode = BkMode::Opaque;
    DrawGraticule(c, Settings(50, 51.5, 0, 2));
    // 200 pixels a degree: lines at 50 deg 10' .. 51 deg 20'.
    const auto lines = Lines(c, true);
    std::set<int> ys;
    for (int k = 1; k <= 8; ++k) ys.insert(300 - static_cast<int>(Round(200.0 * k / 6 + 1e-6)));
    std::set<int> drawn;
    for (const auto& [y, span] : lines) drawn.insert(y);
    EXPECT_EQ(drawn, ys);
    // The 50 deg 10' parallel: label "  50°10'N " (10 characters) at both ends, line between.
    const int y = 300 - 33;
    ASSERT_TRUE(lines.count(y));
    EXPECT_EQ(lines.at(y), std::make_pair(80, 320));
    std::vector<Point> at;
    for (const auto* r : c.Of(Op::Text))
        if (r->text == "  50" + kDeg + "10'N ") at.push_back(r->pts[0]);
    EXPECT_EQ(at, (std::vector<Point>{{0, y - 6}, {320, y - 6}}));
    // The 1 deg E meridian: bottom and top labels centred on it, the line between them.
    const auto meridians = Lines(c, false);
    ASSERT_EQ(meridians.size(), 1u);
    EXPECT_EQ(meridians.at(200), std::make_pair(13, 287));
    at.clear();
    for (const auto* r : c.Of(Op::Text))
        if (r->text == " 1E ") at.push_back(r->pts[0]);
    EXPECT_EQ(at, (std::vector<Point>{{184, 287}, {184, 0}}));

    // Grid colour, style, the label font at the canvas's resolution; the background mode is
    // transparent while drawing and opaque again after.
    const auto& first = c.records.front();
    EXPECT_EQ(first.pen.colour, 0x123456u);
    EXPECT_EQ(first.pen.style, PenStyle::Solid);
    EXPECT_EQ(first.bkMode, BkMode::Transparent);
    const auto* text = c.Of(Op::Text).front();
    EXPECT_EQ(text->font.name, "Times New Roman");
    EXPECT_TRUE(text->font.bold);
    EXPECT_EQ(text->font.height, -11);   // 8 points at 96 pixels an inch
    EXPECT_EQ(text->font.colour, 0x123456u);
    EXPECT_EQ(c.bkMode, BkMode::Opaque);
}

TEST(Graticule, SmallMapsGetFractionalLinesByAxis)
{
    // 0.03 degrees high: a parallel every 12 seconds with D°M'S" labels.
    RecordingCanvas small(400, 300);
    DrawGraticule(small, Settings(50.2, 50.23, 1, 2));
    EXPECT_EQ(Lines(small, true).size(), 8u);   // 50°12'12" .. 50°13'36"
    bool seconds = false;
    for (const auto* r : small.Of(Op::Text)) seconds = seconds || r->text == "  50" + kDeg + "12'36\"";
    EXPECT_TRUE(seconds);

    // 0.7 degrees wide: meridians every 5 minutes; 0.7 degrees high: parallels every 10.
    RecordingCanvas c(700, 700);
    GraticuleSettings s = Settings(50.05, 50.75, 0.05, 0.75, 700, 700);
    s.Spacing = GridSpacing::Fractional;
    DrawGraticule(c, s);
    EXPECT_EQ(Lines(c, false).size(), 8u);   // 5' .. 45', 1000 pixels a degree
    EXPECT_EQ(Lines(c, true).size(), 4u);    // 10' .. 40'
    EXPECT_TRUE(Lines(c, false).count(static_cast<int>(Round(1000 * (5.0 / 12 - 0.05)))));
}

TEST(Graticule, ALabelThatWouldStickOutIsDroppedAndItsLineKept)
{
    RecordingCanvas c(400, 300);
    // 51 deg 30' lies 5 pixels below the top edge, less than half the label height; the prime
    // meridian 6 pixels from the right edge, less than half its label's width (9 characters).
    DrawGraticule(c, Settings(50.025, 51.525, -1.23, 0.02, 400, 300));
    const auto lines = Lines(c, true);
    ASSERT_TRUE(lines.count(5));
    EXPECT_EQ(lines.at(5), std::make_pair(80, 320));
    ASSERT_TRUE(Lines(c, false).count(394));
    ASSERT_TRUE(Lines(c, false).count(340));   // 10' W, 320 x (1.23 - 1/6), whose labels fit
    for (const auto* r : c.Of(Op::Text)) {
        EXPECT_NE(r->text, "  51" + kDeg + "30'N ");
        EXPECT_NE(r->text, "   0" + kDeg + "00' ");
    }
    int tenWest = 0;
    for (const auto* r : c.Of(Op::Text)) tenWest += r->text == "   0" + kDeg + "10'W ";
    EXPECT_EQ(tenWest, 2);
}

TEST(Graticule, DegenerateExtentsDrawNothing)
{
    for (const GraticuleSettings& s : {Settings(50, 50, 0, 2), Settings(51, 50, 0, 2), Settings(0, 1e9, -1e9, 1e9),
                                       Settings(50, 51, 0, 2, 0, 300)}) {
        RecordingCanvas c(400, 300);
        c.bkMode = BkMode::Transparent;
        DrawGraticule(c, s);
        EXPECT_TRUE(c.records.empty());
        EXPECT_EQ(c.bkMode, BkMode::Opaque);
    }
}

TEST(Graticule, PrintedInsideThePrintedMapShiftedByThePageOffsets)
{
    NullMessageSink sink;
    CvVars::Reset();
    KeyView view(sink, 400, 300);
    view.MDF->SetMinLat(50), view.MDF->SetMaxLat(51.5);
    view.MDF->SetMinLon(0), view.MDF->SetMaxLon(2);
    RecordingCanvas paper(2400, 3300, 300, 300);
    view.PrinterCanvas = &paper;
    view.Page.PageWidth = 2400, view.Page.PageHeight = 3300;
    view.Page.XDpi = view.Page.YDpi = 300;
    view.Page.minLeftMargin = view.Page.minTopMargin = 0.25;
    view.Page.LeftMargin = 1.5, view.Page.TopMargin = 1.0;
    DrawGrid(view, true);

    const PrintedSize size = PrintedMapSize(view.Page, 400, 300);
    const int lo = view.Page.LeftOffset(), to = view.Page.TopOffset();
    ASSERT_EQ(lo, 375);
    ASSERT_EQ(to, 225);
    ASSERT_FALSE(paper.Of(Op::Line).empty());
    for (const auto* r : paper.Of(Op::Line))
        for (const Point& p : r->pts) {
            EXPECT_GE(p.x, lo);
            EXPECT_LE(p.x, lo + size.W);
            EXPECT_GE(p.y, to);
            EXPECT_LE(p.y, to + size.H);
        }
    for (const auto* r : paper.Of(Op::Text)) {
        EXPECT_GE(r->pts[0].x, lo);
        EXPECT_LE(r->pts[0].x + paper.TextWidth(r->text), lo + size.W);
        EXPECT_GE(r->pts[0].y, to);
        EXPECT_EQ(r->font.height, -33);   // 8 points at 300 dots an inch
    }
    // The same lines as on the screen: the 50 deg 10' parallel and the 1 deg E meridian.
    EXPECT_TRUE(Lines(paper, true).count(to + size.H - static_cast<int>(Round(size.H / 1.5 / 6 + 1e-6))));
    EXPECT_TRUE(Lines(paper, false).count(lo + static_cast<int>(Round(size.W / 2.0))));
    EXPECT_TRUE(view.canvas.records.empty());   // nothing on the picture
}
