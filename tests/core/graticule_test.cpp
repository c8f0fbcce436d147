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

// Where a label was written.
std::vector<Point> LabelsAt(const RecordingCanvas& c, const std::string& text)
{
    std::vector<Point> at;
    for (const auto* r : c.Of(Op::Text))
        if (r->text == text) at.push_back(r->pts[0]);
    return at;
}

GraticuleSettings Settings(double minLat, double maxLat, double minLon, double maxLon, int W = 400, int H = 300)
{
    GraticuleSettings s;
    s.MinLat = minLat, s.MaxLat = maxLat, s.MinLon = minLon, s.MaxLon = maxLon;
    s.area = {W, H, 0, 0};
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

    // Grid units between lines and per degree: whole degrees (5 x 6, 5 x 10); fractional
    // decimal lines every 0.1, 0.02, 0.01 and 0.002 degree (x2 for meridians under a degree).
    EXPECT_EQ(ParallelSpacing(GridSpacing::Degrees5, false, 3).Step, 30);
    EXPECT_EQ(ParallelSpacing(GridSpacing::Degrees5, true, 3).Step, 50);
    const double ranges[4] = {1.0, 0.3, 0.07, 0.03};
    const int64_t perDegree[4] = {10, 50, 100, 500};
    for (int i = 0; i < 4; ++i) {
        const GridAxis a = MeridianSpacing(GridSpacing::Auto, true, ranges[i]);
        EXPECT_TRUE(a.Step == 1 && a.DegreeStep == perDegree[i]) << ranges[i];
    }
    EXPECT_EQ(MeridianSpacing(GridSpacing::Auto, true, 0.99).DegreeStep, 20);
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
    DrawGraticule(c, Settings(50, 51.5, 0, 2));
    // 200 pixels a degree: lines at 50 deg 10' .. 51 deg 20'.
    std::set<int> ys, drawn;
    for (int k = 1; k <= 8; ++k) ys.insert(300 - static_cast<int>(Round(200.0 * k / 6 + 1e-6)));
    for (const auto& [y, span] : Lines(c, true)) drawn.insert(y);
    EXPECT_EQ(drawn, ys);
    // 50 deg 10': "  50°10'N " (80 pixels) at both ends and centred on the line, the line between.
    EXPECT_EQ(Lines(c, true).at(267), std::make_pair(80, 320));
    EXPECT_EQ(LabelsAt(c, "  50" + kDeg + "10'N "), (std::vector<Point>{{0, 261}, {320, 261}}));
    // The 1 deg E meridian, labelled at the bottom and the top.
    EXPECT_EQ(Lines(c, false), (std::map<int, std::pair<int, int>>{{200, {13, 287}}}));
    EXPECT_EQ(LabelsAt(c, " 1E "), (std::vector<Point>{{184, 287}, {184, 0}}));
    // In the grid colour, labels without a box in 8-point bold at the canvas's resolution; the
    // background mode opaque again after.
    const auto* text = c.Of(Op::Text).front();
    EXPECT_TRUE(text->bkMode == BkMode::Transparent && c.records.front().pen.colour == 0x123456u);
    EXPECT_TRUE(text->font.name == "Times New Roman" && text->font.bold && text->font.height == -11);
    EXPECT_EQ(c.bkMode, BkMode::Opaque);
}

TEST(Graticule, LinesTakeThePenStyleOneBelowTheGridStyleAndLabelsStay)
{
    const std::pair<uint8_t, PenStyle> styles[] = {{1, PenStyle::Solid},      {2, PenStyle::Dash},
                                                   {3, PenStyle::Dot},        {4, PenStyle::DashDot},
                                                   {5, PenStyle::DashDotDot}, {6, PenStyle::Clear}};
    for (const auto& [gridStyle, pen] : styles) {
        RecordingCanvas c(400, 300);
        GraticuleSettings s = Settings(50, 51.5, 0, 2);
        s.GridStyle = gridStyle;
        DrawGraticule(c, s);
        ASSERT_EQ(c.Count(Op::Line), 9u) << int{gridStyle};
        for (const auto* r : c.Of(Op::Line)) EXPECT_EQ(r->pen.style, pen) << int{gridStyle};
        EXPECT_EQ(LabelsAt(c, "  50" + kDeg + "10'N ").size(), 2u);   // no line, yet labelled
    }
}

TEST(Graticule, SmallMapsGetFractionalLinesByAxis)
{
    // 0.03 degrees high: a parallel every 12 seconds with D°M'S" labels.
    RecordingCanvas small(400, 300);
    DrawGraticule(small, Settings(50.2, 50.23, 1, 2));
    EXPECT_EQ(Lines(small, true).size(), 8u);   // 50°12'12" .. 50°13'36"
    EXPECT_EQ(LabelsAt(small, "  50" + kDeg + "12'36\"").size(), 2u);

    // 0.7 degrees wide: meridians every 5 minutes; 0.7 degrees high: parallels every 10.
    RecordingCanvas c(700, 700);
    GraticuleSettings s = Settings(50.05, 50.75, 0.05, 0.75, 700, 700);
    s.Spacing = GridSpacing::Fractional;
    DrawGraticule(c, s);
    EXPECT_EQ(Lines(c, false).size(), 8u);   // 5' .. 45', 1000 pixels a degree
    EXPECT_EQ(Lines(c, true).size(), 4u);    // 10' .. 40'
    EXPECT_TRUE(Lines(c, false).count(367));   // 25', 1000 x (5/12 - 0.05)

    // A whole map (20 x 30 degrees on 600 x 400): fractional spacing would draw a line every
    // 10 minutes, 3 to 7 pixels apart; it steps up to whole degrees instead, no two lines
    // closer than a label is high.
    RecordingCanvas whole(600, 400);
    s = Settings(45, 65, -15, 15, 600, 400);
    s.Spacing = GridSpacing::Fractional;
    DrawGraticule(whole, s);
    const int th = whole.TextHeight("0");
    for (bool parallels : {true, false}) {
        const auto at = Lines(whole, parallels);
        ASSERT_GE(at.size(), 4u);
        EXPECT_LE(at.size(), 30u);
        for (auto a = at.begin(), b = std::next(a); b != at.end(); ++a, ++b) EXPECT_GE(b->first - a->first, th);
    }
}

TEST(Graticule, ALabelThatWouldStickOutIsDroppedAndItsLineKept)
{
    RecordingCanvas c(400, 300);
    // 51 deg 30' lies 5 pixels below the top edge, less than half the label height; the prime
    // meridian 6 pixels from the right edge, less than half its label's width (9 characters).
    DrawGraticule(c, Settings(50.025, 51.525, -1.23, 0.02, 400, 300));
    EXPECT_EQ(Lines(c, true).at(5), std::make_pair(80, 320));
    EXPECT_TRUE(LabelsAt(c, "  51" + kDeg + "30'N ").empty());
    ASSERT_TRUE(Lines(c, false).count(394));
    EXPECT_TRUE(LabelsAt(c, "   0" + kDeg + "00' ").empty());
    EXPECT_EQ(LabelsAt(c, "   0" + kDeg + "10'W ").size(), 2u);   // at 340, its labels fit
}

TEST(Graticule, DegenerateExtentsDrawNothing)
{
    for (const GraticuleSettings& s : {Settings(50, 50, 0, 2), Settings(51, 50, 0, 2), Settings(0, 1e9, -1e9, 1e9),
                                       Settings(50, 51, 0, 2, 0, 300)}) {
        RecordingCanvas c(400, 300);
        DrawGraticule(c, s);
        EXPECT_TRUE(c.records.empty());
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

    // 1725 x 1293 at 375, 225.
    const PrintedSize size = PrintedMapSize(view.Page, 400, 300);
    const int lo = 375, to = 225;
    ASSERT_FALSE(paper.Of(Op::Line).empty());
    for (const auto* r : paper.Of(Op::Line))
        for (const Point& p : r->pts)
            EXPECT_TRUE(p.x >= lo && p.x <= lo + size.W && p.y >= to && p.y <= to + size.H);
    for (const auto* r : paper.Of(Op::Text)) {
        EXPECT_TRUE(r->pts[0].x >= lo && r->pts[0].x + paper.TextWidth(r->text) <= lo + size.W && r->pts[0].y >= to);
        EXPECT_EQ(r->font.height, -33);   // 8 points at 300 dots an inch
    }
    // The same lines as on the screen: the 50 deg 10' parallel and the 1 deg E meridian.
    EXPECT_TRUE(Lines(paper, true).count(to + size.H - 144));
    EXPECT_TRUE(Lines(paper, false).count(lo + 862));
    EXPECT_TRUE(view.canvas.records.empty());   // nothing on the picture
}
