// The map window's interaction without a window: a view of 400 x 300 pixels over a recording
// canvas, whose plots, cursors, caption and timer are counted.
#include "interact/MapInteraction.h"
#include "mapdef/MDFStruct.h"
#include "mapdef/MapResize.h"
#include "platform/CvVars.h"
#include "platform/MessageSink.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <map>

using namespace corvane;

namespace {

class TestView : public MapInteraction {
public:
    explicit TestView(MessageSink& sink) : MapInteraction(sink), canvas(400, 300) {}

    RecordingCanvas canvas;
    int plots = 0;
    bool resizeHandler = true;
    PictureCursor cursor = PictureCursor::Default;
    bool timer = false;
    int timerTag = -1;
    int flashStops = 0, searches = 0;
    WhereAmIMenus menus;
    std::string readOut;

    Canvas* ImageCanvas() override { return &canvas; }
    int32_t ClientWidth() const override { return 400; }
    int32_t ClientHeight() const override { return 300; }
    void SetWindowBounds(int32_t, int32_t, int32_t, int32_t) override {}
    void SetResizeHandler(bool on) override { resizeHandler = on; }
    using MapInteraction::Caption;
    using MapInteraction::SetCaption;

    // The rubber bands drawn since the last plot: each drawn twice is gone again.
    size_t Inverted(RecordingCanvas::Op op) const
    {
        size_t n = 0;
        for (const auto* r : canvas.Of(op)) n += r->pen.mode == PenMode::Not;
        return n;
    }

protected:
    void PlotMap(bool) override
    {
        ++plots;
        canvas.records.clear();   // a plot paints the picture afresh
    }
    void SetPictureCursor(PictureCursor c) override { cursor = c; }
    void StartFlashTimer(int tag, Colour) override
    {
        timer = true;
        timerTag = tag;
    }
    void StopFlashTimer() override { timer = false; }
    void FlashSymbol(bool flash) override { flashStops += !flash; }
    void QuerySearch() override { ++searches; }
    WhereAmIMenus SavedWhereAmIMenus() const override { return menus; }
    void SetWhereAmIMenus(const WhereAmIMenus& m) override { menus = m; }
    void ShowReadOut(const std::string& text) override { readOut = text; }
};

class MapInteractionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CvVars::Reset();
        RouteStore = DistanceStore();
        screen.workArea = {0, 0, 1000, 800};
        screen.mainWindowBottom = 100;
        mdf = TMDFStruct::Create("", screen, sink).MDF;
        // 40..60 N, 20 W..20 E in a window whose drawing area is the picture: 10 pixels a degree
        // across, 15 down (a degree of latitude 1.5 times a degree of longitude).
        CvVars::LatLonScale = 1.5;
        mdf->ClearBaseZoom();
        mdf->NewZoom(0, 100, 400, 400, -20, 40, 20, 60, WindowPriority);
        view = std::make_unique<TestView>(sink);
        view->MDF = mdf.get();
        view->SetCaption("Harbour.MDF");
    }
    void TearDown() override
    {
        CvVars::Reset();
        RouteStore = DistanceStore();
    }
    void MoveClick(int x, int y)
    {
        view->MouseMove(false, x, y);
        view->MouseDown(false, x, y);
        view->Click();
    }
    // How often each line (from, to) was drawn on the picture.
    using Line = std::pair<std::pair<int, int>, std::pair<int, int>>;
    std::map<Line, int> LinesDrawn() const
    {
        std::map<Line, int> drawn;
        for (const auto* r : view->canvas.Of(RecordingCanvas::Op::Line))
            ++drawn[{{r->pts[0].x, r->pts[0].y}, {r->pts[1].x, r->pts[1].y}}];
        return drawn;
    }
    void ExpectExtents(double minLat, double maxLat, double minLon, double maxLon)
    {
        EXPECT_NEAR(mdf->GetMinLat(), minLat, 1e-9);
        EXPECT_NEAR(mdf->GetMaxLat(), maxLat, 1e-9);
        EXPECT_NEAR(mdf->GetMinLon(), minLon, 1e-9);
        EXPECT_NEAR(mdf->GetMaxLon(), maxLon, 1e-9);
    }

    FixedScreenMetrics screen;
    RecordingMessageSink sink;
    std::unique_ptr<TMDFStruct> mdf;
    std::unique_ptr<TestView> view;
};

TEST_F(MapInteractionTest, AZoomBoxIsDrawnInvertedAndZoomsToItsArea)
{
    view->ZoomInClick();
    EXPECT_TRUE(view->ChkZoom == StartZoom && view->cursor == PictureCursor::Zoom);
    MoveClick(300, 225);
    EXPECT_EQ(view->ChkZoom, EndZoom);
    EXPECT_FALSE(view->resizeHandler);
    view->MouseMove(false, 200, 150);
    view->MouseMove(false, 100, 75);
    // Each box drawn is erased by drawing it again: 1 + 2 + 2 rectangles, all inverting, and the
    // picture's pen is its own again afterwards.
    EXPECT_EQ(view->Inverted(RecordingCanvas::Op::Rectangle), 5u);
    EXPECT_EQ(view->canvas.pen.mode, PenMode::Copy);
    const auto boxes = view->canvas.Of(RecordingCanvas::Op::Rectangle);
    EXPECT_TRUE(boxes.back()->pts[0] == (Point{100, 75}) && boxes.back()->pts[1] == (Point{300, 225}));

    view->MouseDown(false, 100, 75);
    view->Click();
    ExpectExtents(45, 55, -10, 10);   // dragged up and left, the same area as down and right
    EXPECT_EQ(mdf->ZoomDepth(), 2u);
    EXPECT_EQ(view->plots, 1);
    EXPECT_TRUE(view->ChkZoom == StartZoom && view->resizeHandler);

    // A box of no width zooms nowhere and waits for the next.
    MoveClick(50, 50);
    MoveClick(50, 200);
    EXPECT_TRUE(view->plots == 1 && mdf->ZoomDepth() == 2u && view->ChkZoom == StartZoom);

    view->ZoomOutPreviousClick();
    ExpectExtents(40, 60, -20, 20);
    EXPECT_EQ(view->plots, 2);
}

TEST_F(MapInteractionTest, TheRightButtonStepsBackOneStageInEachMode)
{
    view->ZoomInClick();
    MoveClick(10, 10);
    view->MouseMove(false, 60, 40);
    view->MouseDown(true, 60, 40);
    EXPECT_EQ(view->ChkZoom, StartZoom);
    EXPECT_EQ(view->Inverted(RecordingCanvas::Op::Rectangle), 4u);   // drawn, moved, erased
    view->MouseDown(true, 60, 40);
    EXPECT_TRUE(view->ChkZoom == NoZoom && view->cursor == PictureCursor::Default && view->resizeHandler);

    view->RepositionClick();
    MoveClick(100, 100);
    EXPECT_TRUE(view->ChkRepo == EndRepo && !view->Resizeable);
    view->MouseDown(true, 100, 100);
    EXPECT_EQ(view->ChkRepo, StartRepo);
    EXPECT_EQ(view->Inverted(RecordingCanvas::Op::Line), 4u);   // the cross, drawn and erased
    view->MouseDown(true, 100, 100);
    EXPECT_EQ(view->ChkRepo, NoRepo);

    view->ChkQuery = StartQuery;
    MoveClick(30, 30);
    EXPECT_TRUE(view->ChkQuery == EndQuery && view->searches == 1 && view->zInX1 == 30);
    view->MouseDown(true, 30, 30);
    EXPECT_TRUE(view->ChkQuery == StartQuery && view->flashStops == 1 && view->cursor == PictureCursor::Query);
    view->MouseDown(true, 30, 30);
    EXPECT_EQ(view->ChkQuery, NoQuery);
    EXPECT_EQ(view->plots, 0);
}

TEST_F(MapInteractionTest, RepositionMovesTheExtentsByThePixelsBetweenTheClicks)
{
    view->RepositionClick();
    MoveClick(100, 150);
    MoveClick(200, 180);   // 100 pixels right, 30 down
    ExpectExtents(42, 62, -30, 10);
    EXPECT_EQ(mdf->ZoomDepth(), 1u);   // the history does not grow
    EXPECT_TRUE(view->ChkRepo == StartRepo && view->Resizeable && view->plots == 1);
}

TEST_F(MapInteractionTest, WhereAmIShowsTheOutermostMapAndAClickReturns)
{
    view->ZoomInClick();
    MoveClick(100, 75);
    MoveClick(300, 225);
    view->ZoomInClick();   // as the menu does after ending the mode
    view->CheckDraw();
    ASSERT_EQ(mdf->ZoomDepth(), 2u);
    view->menus = {true, false, true, true, true};   // a map whose overlay answers no query
    view->WhereAmIClick();
    EXPECT_TRUE(CvVars::bWhereAmI && mdf->BasePlotShown());
    ExpectExtents(40, 60, -20, 20);
    EXPECT_EQ(view->Caption(), "Where Am I?");
    EXPECT_TRUE(view->timer && view->timerTag == 0 && !view->resizeHandler);
    EXPECT_FALSE(view->menus.Zoom || view->menus.Graticule || view->menus.Land || view->menus.Background);
    // The view's rectangle (10 W..10 E, 45..55 N) and one 3 pixels larger, in copy mode.
    const auto boxes = view->canvas.Of(RecordingCanvas::Op::Rectangle);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(boxes[0]->pts[0] == (Point{100, 75}) && boxes[0]->pts[1] == (Point{300, 225}));
    EXPECT_TRUE(boxes[1]->pts[0] == (Point{97, 72}) && boxes[1]->pts[1] == (Point{303, 228}));
    EXPECT_EQ(boxes[0]->pen.mode, PenMode::Copy);
    // Moves are ignored meanwhile; a resize leaves the history alone.
    view->CurPosDisplay = true;
    view->MouseMove(false, 5, 5);
    EXPECT_TRUE(view->readOut.empty());
    EXPECT_EQ(ResizeMapExtents(*mdf, kSizingNormal, {0, 100, 500, 400, 500, 400, WindowState::Normal}), kSizingNormal);
    EXPECT_EQ(mdf->ZoomDepth(), 2u);
    EXPECT_FALSE(mdf->CanZoomOut());

    MoveClick(5, 5);
    EXPECT_FALSE(CvVars::bWhereAmI || mdf->BasePlotShown());
    ExpectExtents(45, 55, -10, 10);
    EXPECT_EQ(view->Caption(), "Harbour.MDF");
    EXPECT_TRUE(!view->timer && view->flashStops == 1 && view->resizeHandler && view->Resizeable);
    EXPECT_TRUE(view->menus.Zoom && !view->menus.Query && view->menus.Graticule);   // as they were
}

TEST_F(MapInteractionTest, TheWheelZoomsAboutTheMouseOneEntryAGesture)
{
    ASSERT_TRUE(view->ZoomAbout(2, 100, 75, true));   // two notches: half the ranges
    ExpectExtents(47.5, 57.5, -15, 5);
    EXPECT_EQ(mdf->ZoomDepth(), 2u);
    ASSERT_TRUE(view->ZoomAbout(-2, 100, 75, false));   // the same gesture: its entry replaced
    ExpectExtents(40, 60, -20, 20);
    EXPECT_EQ(mdf->ZoomDepth(), 2u);
    ASSERT_TRUE(view->ZoomAbout(1, 0, 0, true));
    EXPECT_EQ(mdf->ZoomDepth(), 3u);
    view->ZoomOutPreviousClick();
    ExpectExtents(40, 60, -20, 20);

    // Not during where-am-I, and not past the narrowest range.
    view->WhereAmIClick();
    EXPECT_FALSE(view->ZoomAboutCentre(1) || view->Pan(1, 0));
    view->Escape();
    EXPECT_FALSE(CvVars::bWhereAmI);
    mdf->SetMaxLat(mdf->GetMinLat() + 0.0012);
    EXPECT_FALSE(view->ZoomAboutCentre(1));
}

// ---- distance ---------------------------------------------------------------------------------

TEST_F(MapInteractionTest, ARouteAddsLegsAndItsTotalInTheCaption)
{
    view->Distance1Click();
    EXPECT_TRUE(view->ChkDistance == StartDistance && view->cursor == PictureCursor::Distance);
    MoveClick(200, 150);   // 50 N, 0 E
    EXPECT_TRUE(view->ChkDistance == EndDistance && view->cursor == PictureCursor::Hidden);
    EXPECT_EQ(RouteStore.OldCaption, "Harbour.MDF");
    // Up 15 rows is one degree of latitude north: 60 NM (the rubber leg, shown in the total).
    view->MouseMove(false, 200, 135);
    EXPECT_EQ(view->Caption(), "This leg is 60.00 nautical miles out of 60.00");
    EXPECT_EQ(RouteStore.Running_Total, 0.0);
    view->MouseDown(false, 200, 135);
    view->Click();
    view->MouseDown(false, 200, 135);   // the same pixel again: no leg of no length
    view->Click();
    EXPECT_EQ(RouteStore.Store_Index, 2);
    EXPECT_NEAR(RouteStore.Running_Total, 60.0, 1e-6);

    // A new unit shows at the next caption update.
    view->SetDistanceUnit(DistanceUnit::Kilometres);
    EXPECT_EQ(view->Caption(), "This leg is 60.00 nautical miles out of 60.00");
    view->MouseMove(false, 200, 120);   // another degree north
    EXPECT_EQ(view->Caption(), "This leg is 111.1 kilometres out of 222.2");

    // The right button takes back the last leg; with one point left it waits for a first one
    // and gives the caption back.
    view->MouseDown(true, 200, 120);
    EXPECT_TRUE(view->ChkDistance == EndDistance && RouteStore.Store_Index == 1);
    EXPECT_EQ(RouteStore.Running_Total, 0.0);
    EXPECT_EQ(view->Caption(), "This leg is 222.2 kilometres out of 222.2");
    view->MouseDown(true, 200, 120);
    EXPECT_TRUE(view->ChkDistance == StartDistance && RouteStore.Store_Index == 0);
    EXPECT_EQ(view->Caption(), "Harbour.MDF");
    EXPECT_EQ(view->cursor, PictureCursor::Distance);
}

TEST_F(MapInteractionTest, ADoubleClickFinishesTheRouteCountingItsLastLegOnce)
{
    view->Distance1Click();
    MoveClick(200, 150);
    view->MouseMove(false, 200, 135);
    view->MouseDown(false, 200, 135);
    view->Click();
    view->MouseMove(false, 202, 137);   // the mouse moves a little between the two presses
    view->DblClick();   // the second press of a double click near the point just stored
    EXPECT_TRUE(view->ChkDistance == StopDistance && view->cursor == PictureCursor::Default);
    EXPECT_EQ(view->Caption(), "This leg is 60.00 nautical miles out of 60.00");
    // What stays drawn is the leg alone: every rubber line is drawn an even number of times.
    const Line first{{200, 150}, {200, 135}};
    for (const auto& [line, times] : LinesDrawn()) EXPECT_EQ(times % 2, line == first ? 1 : 0);
    // The rubber line stops: moves draw nothing and leave the caption.
    const size_t lines = view->Inverted(RecordingCanvas::Op::Line);
    view->MouseMove(false, 300, 135);
    EXPECT_EQ(view->Inverted(RecordingCanvas::Op::Line), lines);
    EXPECT_EQ(view->Caption(), "This leg is 60.00 nautical miles out of 60.00");

    // A click goes on from the last point; that leg counts once, and taking it back leaves
    // the total of the finished route.
    view->Click();
    EXPECT_EQ(view->ChkDistance, EndDistance);
    EXPECT_EQ(RouteStore.Store_Index, 3);
    const double leg = RouteStore.NM;
    EXPECT_GT(leg, 0);
    EXPECT_NEAR(RouteStore.Running_Total, 60 + leg, 1e-9);
    view->MouseDown(true, 300, 135);
    EXPECT_NEAR(RouteStore.Running_Total, 60, 1e-9);

    // Ending the measurement erases every leg drawn (each line drawn an even number of times).
    view->CheckDraw();
    EXPECT_EQ(view->ChkDistance, NoDistance);
    EXPECT_EQ(view->Caption(), "Harbour.MDF");
    for (const auto& [line, times] : LinesDrawn()) EXPECT_EQ(times % 2, 0);
}

TEST_F(MapInteractionTest, TheStoreRefusesThe513thPoint)
{
    view->Distance1Click();
    MoveClick(0, 0);
    for (int i = 1; i < DistanceStore::MaxPoints; ++i) MoveClick(i % 400, i / 400 + 1);
    ASSERT_EQ(RouteStore.Store_Index, DistanceStore::MaxPoints);
    const double total = RouteStore.Running_Total;
    EXPECT_EQ(sink.beeps, 0);
    MoveClick(200, 200);
    EXPECT_EQ(RouteStore.Store_Index, DistanceStore::MaxPoints);
    EXPECT_EQ(RouteStore.Running_Total, total);
    EXPECT_EQ(sink.beeps, 1);
    EXPECT_EQ(view->ChkDistance, EndDistance);
    // The main window's end of measuring erases the route and gives the caption back.
    view->EndDistanceMeasurement();
    EXPECT_TRUE(view->ChkDistance == NoDistance && view->Caption() == "Harbour.MDF" && view->resizeHandler);
}

TEST_F(MapInteractionTest, OpeningDistanceAgainKeepsTheMeasurementAndOpeningZoomEndsIt)
{
    view->Distance1Click();
    MoveClick(10, 10);
    MoveClick(50, 10);
    view->Distance1Click();
    EXPECT_EQ(RouteStore.Store_Index, 2);
    const ZoomMenuState items = view->Zoom1Click();
    EXPECT_TRUE(items.In && !items.OverlayArea && !items.Previous);
    EXPECT_EQ(view->ChkDistance, NoDistance);
    EXPECT_EQ(view->Caption(), "Harbour.MDF");
}

TEST_F(MapInteractionTest, TheReadOutFollowsTheMouse)
{
    view->CurPosDisplay = true;
    // Row 37.5 would be 57.5 N; row 38 is 57 28' N; column 205 is 0 30' E.
    view->MouseMove(false, 205, 38);
    EXPECT_EQ(view->readOut, "57\xB0" "28'00\"N   0\xB0" "30'00\"E");
    view->CurPosFormatDEC = true;
    view->MouseMove(false, 195, 38);
    EXPECT_EQ(view->readOut, "57.47\xB0N   0.50\xB0W");
}

} // namespace
