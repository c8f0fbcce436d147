// A print job of a map: pages per copy, the page white around the printed map, cancelling.
#include "FixedMapView.h"
#include "platform/MessageSink.h"
#include "render/PrintMap.h"

#include <gtest/gtest.h>

using namespace corvane;

namespace {

// A map window twice as wide as high: 800 x 400 pixels, its sea 0x112233.
class WideView : public test::FixedMapView {
public:
    explicit WideView(MessageSink& sink) : FixedMapView(sink, 800, 400)
    {
        MDF->BackgroundColour = 0x112233;
        MDF->Grid_Displayed = false;
    }
};

// A document of 1200 x 1600 printer dots at 200 dots per inch (6 x 8 inches printable) with
// 1-inch margins over a half-inch border: the map is placed 100 dots in from each side.
class RecordingDocument : public PrintDocument {
public:
    RecordingDocument()
    {
        page.PageWidth = 1200;
        page.PageHeight = 1600;
        page.XDpi = page.YDpi = 200;
        page.minLeftMargin = page.minRightMargin = page.minTopMargin = page.minBottomMargin = 0.5;
    }
    bool BeginDoc() override
    {
        ++begun;
        return canBegin;
    }
    Canvas* PageCanvas() override { return &canvases.back(); }
    PrintPage Page() const override { return page; }
    bool NewPage() override
    {
        canvases.emplace_back(1200, 1600, 200, 200);
        return true;
    }
    bool EndDoc() override
    {
        ++ended;
        return true;
    }
    bool Aborted() const override { return aborted; }

    PrintPage page;
    std::vector<RecordingCanvas> canvases{RecordingCanvas(1200, 1600, 200, 200)};
    int begun = 0, ended = 0;
    bool canBegin = true, aborted = false;
};

std::vector<Rect> Fills(const RecordingCanvas& c, Colour colour)
{
    std::vector<Rect> out;
    for (const auto* r : c.Of(RecordingCanvas::Op::FillRect))
        if (r->brush.colour == colour) out.push_back({r->pts[0].x, r->pts[0].y, r->pts[1].x, r->pts[1].y});
    return out;
}

} // namespace

TEST(PrintMap, OnePagePerCopyUnlessThePrinterMakesTheCopies)
{
    EXPECT_EQ(PagesToPrint(3, false), 3);
    EXPECT_EQ(PagesToPrint(3, true), 1);
    EXPECT_EQ(PagesToPrint(0, false), 1);

    NullMessageSink sink;
    WideView view(sink);
    RecordingDocument doc;
    EXPECT_EQ(PrintMapDocument(view, doc, 3), PrintResult::Printed);
    EXPECT_EQ(doc.begun, 1);
    EXPECT_EQ(doc.ended, 1);
    ASSERT_EQ(doc.canvases.size(), 3u);
    for (const RecordingCanvas& page : doc.canvases)
        EXPECT_EQ(Fills(page, 0x112233), (std::vector<Rect>{{100, 100, 1100, 600}}));   // the sea, once a page
    EXPECT_EQ(view.PrinterCanvas, nullptr);
    EXPECT_GE(view.messageRuns, 3);   // window messages (a Cancel) are seen after every page
}

TEST(PrintMap, AMapTwiceAsWideAsHighTakesThePrintableWidthAndTheRestOfThePageIsWhite)
{
    NullMessageSink sink;
    WideView view(sink);
    RecordingDocument doc;
    ASSERT_EQ(PrintMapDocument(view, doc, 1), PrintResult::Printed);
    // 1000 dots between the side margins, so 500 high; white above, below, left and right.
    EXPECT_EQ(Fills(doc.canvases[0], 0xFFFFFF),
              (std::vector<Rect>{{0, 0, 1200, 100}, {0, 600, 1200, 1600}, {0, 100, 100, 1600}, {1100, 0, 1200, 1600}}));
}

TEST(PrintMap, ACancelStopsThePagesAndADocumentThatCannotBeginFails)
{
    NullMessageSink sink;
    WideView view(sink);
    RecordingDocument doc;
    view.onMessages = [&] { doc.aborted = true; };   // Cancel pressed while the first page prints
    EXPECT_EQ(PrintMapDocument(view, doc, 3), PrintResult::Cancelled);
    EXPECT_EQ(doc.canvases.size(), 1u);
    EXPECT_EQ(doc.ended, 1);

    RecordingDocument refused;
    refused.canBegin = false;
    view.onMessages = nullptr;
    EXPECT_EQ(PrintMapDocument(view, refused, 1), PrintResult::Failed);
    EXPECT_TRUE(refused.canvases[0].records.empty());
}
