// The plot pipeline on a recording canvas: file choice by scale, coastline choice, the
// transforms, the order and state of a plot, printing placement and the missing-file rule.
#include "catalogue/MasterFile.h"
#include "mapdef/MDFStruct.h"
#include "platform/CvVars.h"
#include "platform/MessageSink.h"
#include "platform/RecordingCanvas.h"
#include "render/MapView.h"
#include "render/Plot.h"
#include "render/Transforms.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

std::unique_ptr<DSDStruct> DataSet(int type, std::vector<std::pair<std::string, double>> files, bool before = false)
{
    auto d = std::make_unique<DSDStruct>();
    d->Data_Type = static_cast<uint8_t>(type);
    d->Number_Of_Files = static_cast<uint8_t>(files.size());
    d->Plot_Before_Coastline = before;
    std::unique_ptr<DFNStruct>* next = &d->NextDFN;
    for (auto& [name, trigger] : files) {
        *next = std::make_unique<DFNStruct>();
        (*next)->FileName = name;
        (*next)->Trigger_Scale = trigger;
        next = &(*next)->NextDFN;
    }
    return d;
}

// A map window of 1000 x 500 pixels on a recording canvas, over a new map.
class RecordingView : public MapView {
public:
    explicit RecordingView(MessageSink& sink) : MapView(sink)
    {
        screen.workArea = {0, 0, 1000, 500};
        screen.screenWidth = 1000;
        screen.screenHeight = 500;
        mdf = std::move(TMDFStruct::Create("", screen, sink).MDF);
        MDF = mdf.get();
        SetChecksFromMDF();
    }
    Canvas* ImageCanvas() override { return &canvas; }
    int32_t ClientWidth() const override { return width; }
    int32_t ClientHeight() const override { return height; }
    void SetWindowBounds(int32_t L, int32_t T, int32_t W, int32_t H) override
    {
        bounds = {L, T, L + W, T + H};
        width = W;
        height = H;
        EXPECT_FALSE(resizeOn) << "the window is resized with its handler off";
    }
    void SetResizeHandler(bool on) override { resizeOn = on; }
    void SetBusyCursor(bool b) override { busy = b; }
    void RedrawEnabledChanged() override { ++redrawChanges; }

    FixedScreenMetrics screen;
    std::unique_ptr<TMDFStruct> mdf;
    RecordingCanvas canvas{1000, 500};
    int32_t width = 1000, height = 500;
    Rect bounds;
    bool resizeOn = true, busy = false;
    int redrawChanges = 0;
};

TEST(PlotScaleSelect, SmallestFileBelowTheScale)
{
    auto d = DataSet(5, {{"a", 50}, {"b", 10}, {"c", 0}});
    EXPECT_EQ(Plot_Scale_Select(*d, 30), 2);
    EXPECT_EQ(Plot_Scale_Select(*d, 60), 1);
    EXPECT_EQ(Plot_Scale_Select(*d, 0), 0);   // no trigger strictly below
    d->Current_Level = 3;
    EXPECT_EQ(Plot_Scale_Select(*d, 60), 3);
    auto one = DataSet(5, {{"only", 1e9}});
    EXPECT_EQ(Plot_Scale_Select(*one, 0), 1);

    // latscl = client height x 1.2 / latitude range: 500 x 1.2 / 20 = 30.
    NullMessageSink sink;
    RecordingView view(sink);
    ASSERT_DOUBLE_EQ(view.MDF->GetMainLatRange(), 20);
    d->Current_Level = 0;
    EXPECT_EQ(Plot_Scale_Select(view, *d), 2);
}

TEST(CoastChoice, ThresholdsFollowTheResolutionStep)
{
    // 640 pixels over 20 degrees of longitude: 32 is not below Res[2] but below Res[3].
    EXPECT_EQ(OutlineCoastLevel(0, 640, 2000, 20, 10, 1), Coast30PC);
    EXPECT_EQ(OutlineCoastLevel(0, 639, 2000, 20, 10, 1), Coast10PC);
    EXPECT_EQ(OutlineCoastLevel(1, 640, 2000, 20, 10, 1), Coast10PC);
    EXPECT_EQ(OutlineCoastLevel(2, 640, 2000, 20, 10, 1), Coast03PC);
    EXPECT_EQ(OutlineCoastLevel(7, 640, 2000, 20, 10, 1), Coast03PC);   // beyond the table: as 2
    EXPECT_EQ(OutlineCoastLevel(0, 5000, 5000, 20, 20, 1), CoastFull);
    EXPECT_EQ(OutlineCoastLevel(0, 100, 5000, 20, 20, 1), Coast01PC);
    // The vertical scale is divided by the latitude stretch.
    EXPECT_EQ(OutlineCoastLevel(0, 5000, 640, 1, 10, 2), Coast30PC);
    EXPECT_EQ(OutlineCoastLevel(0, 5000, 640, 1, 10, 2.1), Coast10PC);
    // The land fill looks at the height alone.
    EXPECT_EQ(LandFillLevel(0, 640, 20), Coast30PC);
    EXPECT_EQ(LandFillLevel(1, 300, 20), Coast01PC);
    EXPECT_EQ(LandFillLevel(2, 65535, 1), CoastFull);
}

TEST(Transforms, EdgesAndHalfPixels)
{
    EXPECT_EQ(LatToScreen(45, 45, 20, 500), 500);
    EXPECT_EQ(LatToScreen(65, 45, 20, 500), 0);
    EXPECT_EQ(LonToScreen(-15, -15, 30, 600), 0);
    EXPECT_DOUBLE_EQ(ScreenToLat(0, 45, 20, 500), 65);
    EXPECT_DOUBLE_EQ(ScreenToLat(500, 45, 20, 500), 45);
    EXPECT_DOUBLE_EQ(ScreenToLon(300, -15, 30, 600), 0);
    // Half a pixel goes to the even neighbour (10 pixels a degree).
    EXPECT_EQ(LonToScreen(0.25, 0, 10, 100), 2);
    EXPECT_EQ(LonToScreen(0.35, 0, 10, 100), 4);
    EXPECT_EQ(LatToScreen(0.05, 0, 10, 100), 100);
    EXPECT_EQ(LatToScreen(0.15, 0, 10, 100), 98);
}

TEST(Plot, ScreenPlotClearsSavesAndDisablesRedraw)
{
    RecordingMessageSink sink;
    RecordingView view(sink);
    view.MDF->BackgroundColour = 0x123456;
    view.SetRedrawEnabled(true);
    view.redrawChanges = 0;
    ASSERT_TRUE(Plot(view, false, false));
    ASSERT_FALSE(view.canvas.records.empty());
    const RecordingCanvas::Record& first = view.canvas.records.front();
    EXPECT_EQ(first.op, RecordingCanvas::Op::FillRect);
    EXPECT_EQ(first.pts, (std::vector<Point>{{0, 0}, {1000, 500}}));
    EXPECT_EQ(first.brush.colour, 0x123456u);
    EXPECT_EQ(first.brush.style, BrushStyle::Solid);
    EXPECT_TRUE(view.FullMap);
    EXPECT_FALSE(view.RedrawMap);
    EXPECT_FALSE(view.Redraw1Enabled());
    EXPECT_EQ(view.redrawChanges, 1);
    EXPECT_FALSE(view.busy);

    // Nothing to draw again: the data are left as they are, only the graticule goes over them again.
    const size_t drawn = view.canvas.records.size();
    ASSERT_TRUE(Plot(view, false, false));
    EXPECT_GT(view.canvas.records.size(), drawn);
    for (size_t i = drawn; i < view.canvas.records.size(); ++i) {
        const RecordingCanvas::Op op = view.canvas.records[i].op;
        EXPECT_TRUE(op == RecordingCanvas::Op::Line || op == RecordingCanvas::Op::Text);
    }
}

TEST(Plot, OneMessagePerMissingFileInPassOrder)
{
    RecordingMessageSink sink;
    RecordingView view(sink);
    CvVars::Reset();
    CvVars::CDROM = "/nonexistent";
    auto base = std::make_unique<MASStruct>();
    base->NextDSD = DataSet(5, {{"CDROM:\\A.Sym", 0}});
    base->NextDSD->NextDSD = DataSet(11, {{"CDROM:\\Unknown.Xyz", 0}});
    base->NextDSD->NextDSD->NextDSD = DataSet(7, {{"CDROM:\\Big.Pol", 1e9}, {"CDROM:\\Bigger.Pol", 1e9}});
    auto overlay = std::make_unique<MASStruct>();
    overlay->NextDSD = DataSet(4, {{"CDROM:\\D.Syx", 0}}, true);
    view.MDF->NextMAS.Append(std::move(base));
    view.MDF->OverlayMAS.Append(std::move(overlay));

    auto missing = [&sink] {
        std::vector<std::string> m;
        for (const auto& e : sink.messages)
            if (e.text.find(" is not present") != std::string::npos) m.push_back(e.text);
        return m;
    };
    const std::vector<std::string> expected = {"/nonexistent/D.Syx is not present : Check the MAS file",
                                               "/nonexistent/A.Sym is not present : Check the MAS file"};
    ASSERT_TRUE(Redraw(view, false));
    EXPECT_EQ(missing(), expected);
    ASSERT_TRUE(Redraw(view, false));
    EXPECT_EQ(missing().size(), 4u);
}

TEST(Plot, MissingCoastlineFilesAreEachToldOnceInOutlineAndFillMode)
{
    RecordingMessageSink sink;
    RecordingView view(sink);
    CvVars::Reset();
    const std::vector<std::string*> files = {&CvVars::OutlCoastFull, &CvVars::OutlCoast30PC, &CvVars::OutlCoast10PC,
                                             &CvVars::OutlCoast03PC, &CvVars::OutlCoast01PC, &CvVars::FillCoast12s,
                                             &CvVars::FillCoast36s, &CvVars::FillCoast1Min, &CvVars::FillCoast3Min,
                                             &CvVars::FillCoast5Min};
    for (size_t i = 0; i < files.size(); ++i) *files[i] = "/nonexistent/Coast" + std::to_string(i);
    view.InFilled1 = false;
    view.Outline1 = true;
    ASSERT_TRUE(Redraw(view, false));
    // The outline drawn is named first, then every other file missing, in one message.
    ASSERT_EQ(sink.messages.size(), 1u);
    const std::string told = sink.messages[0].text;
    for (const std::string* f : files) EXPECT_NE(told.find("Unable to open Coastline file : " + *f), std::string::npos) << told;
    EXPECT_EQ(told.rfind("Unable to open Coastline file : /nonexistent/Coast", 0), 0u);
    view.InFilled1 = true;
    view.Outline1 = false;
    ASSERT_TRUE(Redraw(view, false));
    EXPECT_EQ(sink.messages.size(), 1u);
}

TEST(Plot, PrintedMapPlacementAndRoute)
{
    RecordingMessageSink sink;
    RecordingView view(sink);
    RecordingCanvas printer(1400, 1900, 200, 200);
    view.PrinterCanvas = &printer;
    view.Page.PageWidth = 1700;
    view.Page.PageHeight = 2200;
    view.Page.XDpi = view.Page.YDpi = 200;
    view.Page.minLeftMargin = view.Page.minTopMargin = view.Page.minRightMargin = view.Page.minBottomMargin = 0.25;
    DistanceStore route;
    route.Add(100, 100);
    route.Add(300, 300);
    route.Add(400, 100);
    view.Route = &route;
    view.RedrawMap = false;   // printing always draws
    view.MDF->Grid_Displayed = false;   // the route's lines alone

    view.ChkDistance = StopDistance;
    ASSERT_TRUE(Plot(view, true, false));
    // 1400 x 700 at 150, 150: the printable width, and the picture's shape kept.
    EXPECT_EQ(printer.records.front().op, RecordingCanvas::Op::FillRect);
    EXPECT_EQ(printer.records.front().pts, (std::vector<Point>{{150, 150}, {1550, 850}}));
    const auto lines = printer.Of(RecordingCanvas::Op::Line);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]->pts, (std::vector<Point>{{290, 290}, {570, 570}}));
    EXPECT_EQ(lines[1]->pts, (std::vector<Point>{{570, 570}, {710, 290}}));
    EXPECT_EQ(lines[0]->pen.colour, clBlack);
    EXPECT_EQ(lines[0]->pen.width, 1);
    EXPECT_TRUE(view.canvas.records.empty()) << "nothing is drawn on the picture";
    EXPECT_FALSE(view.FullMap);
    EXPECT_FALSE(view.RedrawMap);

    printer.records.clear();
    view.ChkDistance = EndDistance;
    ASSERT_TRUE(Plot(view, true, false));
    EXPECT_TRUE(printer.Of(RecordingCanvas::Op::Line).empty());
}

TEST(Plot, ThePrintedMapKeepsThePicturesShapeInsideTheMarginsAndThePageAroundItIsWhite)
{
    // A4-like page at 100 dpi, 1 inch margins: printable 627 x 969.
    PrintPage page;
    page.PageWidth = 827, page.PageHeight = 1169, page.XDpi = page.YDpi = 100;
    const PrintedSize wide = PrintedMapSize(page, 1024, 768);
    EXPECT_EQ(wide.W, 627);
    EXPECT_EQ(wide.H, 470);   // trunc(627 x 0.75)
    // A picture a little taller than the page but not than the printable area keeps within
    // the bottom margin.
    const PrintedSize tall = PrintedMapSize(page, 1000, 1450);
    EXPECT_EQ(tall.H, 909);
    EXPECT_EQ(tall.W, 627);
    const PrintedSize taller = PrintedMapSize(page, 500, 1000);
    EXPECT_EQ(taller.H, 969);
    EXPECT_EQ(taller.W, 484);
    // Margins that leave no printable area give no map rather than a negative one.
    page.TopMargin = page.BottomMargin = 6;
    EXPECT_EQ(PrintedMapSize(page, 1024, 768).H, 0);

    page.TopMargin = page.BottomMargin = 1;
    RecordingCanvas printer(827, 1169, 100, 100);
    WhiteOutsidePrintedMap(printer, page, 1024, 768);
    const auto bands = printer.Of(RecordingCanvas::Op::FillRect);
    ASSERT_EQ(bands.size(), 4u);
    EXPECT_EQ(bands[0]->pts, (std::vector<Point>{{0, 0}, {827, 100}}));
    EXPECT_EQ(bands[1]->pts, (std::vector<Point>{{0, 570}, {827, 1169}}));
    EXPECT_EQ(bands[2]->pts, (std::vector<Point>{{0, 100}, {100, 1169}}));
    EXPECT_EQ(bands[3]->pts, (std::vector<Point>{{727, 0}, {827, 1169}}));
    for (const auto* b : bands) EXPECT_TRUE(b->brush.colour == clWhite && b->brush.style == BrushStyle::Solid);
}

TEST(Plot, FitsTheWindowToTheOverlay)
{
    NullMessageSink sink;
    RecordingView view(sink);
    auto overlay = std::make_unique<MASStruct>();
    overlay->Minlat = 10;
    overlay->Maxlat = 20;
    overlay->Minlon = 0;
    overlay->Maxlon = 30;
    view.MDF->OverlayMAS.Append(std::move(overlay));
    TMDFStruct& mdf = *view.MDF;

    // Zoom level fixed: the map stays as it is.
    mdf.Zoom_Level_Fixed = true;
    ASSERT_TRUE(Redraw(view, true));
    EXPECT_DOUBLE_EQ(mdf.GetMinLat(), 45);
    mdf.Zoom_Level_Fixed = false;

    // From the base entry: the overlay's own area, the history cleared, the window reshaped.
    view.canvas.records.clear();
    ASSERT_TRUE(Redraw(view, true));
    EXPECT_EQ(mdf.ZoomDepth(), 1u);
    EXPECT_DOUBLE_EQ(mdf.GetMinLat(), 10);
    EXPECT_DOUBLE_EQ(mdf.GetMaxLon(), 30);
    EXPECT_EQ(view.bounds, (Rect{mdf.GetWindowLeft(), mdf.GetWindowTop(), mdf.GetWindowRight(), mdf.GetWindowBottom()}));
    EXPECT_TRUE(view.resizeOn);
    EXPECT_EQ(view.canvas.records.front().pts, (std::vector<Point>{{0, 0}, {view.width, view.height}}));

    // Zoomed in: the current extents, the current entry replaced.
    mdf.NewZoom(0, 0, 1000, 500, 2, 12, 4, 14, AreaPriority);
    ASSERT_TRUE(Redraw(view, true));
    EXPECT_EQ(mdf.ZoomDepth(), 2u);
    EXPECT_DOUBLE_EQ(mdf.GetMinLon(), 2);
    EXPECT_DOUBLE_EQ(mdf.GetMaxLat(), 14);
}

} // namespace
} // namespace corvane
