// The query click: the search of the overlay on layers written by our own writers, the name of
// the information file, the place of the one-line panel and the flash colours.
#include "TestUtil.h"
#include "catalogue/MasterFile.h"
#include "layers/writers/PolygonFileWriter.h"
#include "layers/writers/SymbolFileWriter.h"
#include "mapdef/MDFStruct.h"
#include "platform/CvVars.h"
#include "platform/MessageSink.h"
#include "platform/RecordingCanvas.h"
#include "query/QuerySearch.h"
#include "render/MapView.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

using test::TempDir;

// A map window of 400 x 400 pixels showing -5..5 degrees both ways.
class QueryView : public MapView {
public:
    explicit QueryView(MessageSink& sink) : MapView(sink), mdf(std::move(TMDFStruct::Create("", screen, sink).MDF))
    {
        MDF = mdf.get();
        mdf->ClearBaseZoom();
        mdf->NewZoom(0, 0, 400, 400, -5, -5, 5, 5, WindowPriority);
    }
    Canvas* ImageCanvas() override { return &canvas; }
    int32_t ClientWidth() const override { return 400; }
    int32_t ClientHeight() const override { return 400; }
    void SetWindowBounds(int32_t, int32_t, int32_t, int32_t) override {}

    FixedScreenMetrics screen;
    std::unique_ptr<TMDFStruct> mdf;
    RecordingCanvas canvas{400, 400};
};

// A theme of one data set of the given type on one file, whose key has two symbol items
// (the second switched off).
std::unique_ptr<MASStruct> Theme(int type, const std::string& file)
{
    auto mas = std::make_unique<MASStruct>();
    mas->NextDSD = std::make_unique<DSDStruct>();
    mas->NextDSD->Data_Type = static_cast<uint8_t>(type);
    mas->NextDSD->Number_Of_Files = 1;
    mas->NextDSD->NextDFN = std::make_unique<DFNStruct>();
    mas->NextDSD->NextDFN->FileName = "CDROM:\\Themes\\" + file;
    mas->Key = std::make_unique<KeyStruct>();
    mas->Key->NextKD = std::make_unique<K_Descriptor>();
    mas->Key->NextKD->NextKD = std::make_unique<K_Descriptor>();
    for (K_Descriptor* kd = mas->Key->NextKD.get(); kd; kd = kd->NextKD.get()) {
        kd->Active = kd == mas->Key->NextKD.get();
        kd->Top_Style = 2;
        kd->Top_Colour = 0x0000FF;
    }
    return mas;
}

class QuerySearchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CvVars::Reset();
        CvVars::CDROM = dir.Path();
        LayerWriteOptions o;
        o.Header.AssDataType = 1;
        o.Header.AssDataFilename = "TOWNS.DAT";
        SymbolFileWriter towns(o, true);
        towns.Add({1, 1, 1, 100});
        towns.Add({-2, -2, 1, 200});
        towns.Add({1.2, 1.2, 2, 300});   // switched off
        const std::vector<uint8_t> t = towns.Bytes();
        dir.Write("Themes/Towns.Syx", std::string(t.begin(), t.end()));
        o.Header.AssDataType = 0;
        o.Header.AssDataFilename = "ZONES.DAT";
        PolygonFileWriter zones(o, 7);
        zones.Add({1, {{{-4, -4}, {-4, 4}, {4, 4}, {4, -4}, {-4, -4}}}, {3, 3}, 77, "in"});
        zones.Add({1, {{{-4, -4}, {-4, 4}, {4, 4}}}, {20, 20}, 99, "reference outside the picture"});
        const std::vector<uint8_t> z = zones.Bytes();
        dir.Write("Themes/Zones.Pol", std::string(z.begin(), z.end()));
    }
    void TearDown() override { CvVars::Reset(); }

    std::vector<QueryHit> Click(int x, int y, std::unique_ptr<MASStruct> overlay)
    {
        view.MDF->OverlayMAS.Clear();
        view.MDF->OverlayMAS.Append(std::move(overlay));
        std::vector<QueryHit> hits;
        SearchOverlay(view, x, y, [&](QueryHit& h) { hits.push_back(h); });
        return hits;
    }

    TempDir dir;
    RecordingMessageSink sink;
    QueryView view{sink};
};

TEST_F(QuerySearchTest, NearestActivePointOrReferencePointOfTheOverlayAnswers)
{
    // Next to the point at 1.2, 1.2, whose key item is off: the one at 1, 1 answers.
    const std::vector<QueryHit> hits = Click(view.LonToScreen(1.2), view.LatToScreen(1.2), Theme(4, "Towns.Syx"));
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].Offset, 100);
    EXPECT_EQ(hits[0].DataType, 4);
    EXPECT_EQ(hits[0].AssDataType, 1);
    EXPECT_EQ(hits[0].found.TimerLon, view.LonToScreen(1));
    EXPECT_EQ(hits[0].found.TimerLat, view.LatToScreen(1));
    EXPECT_EQ(QueryInfoFileName(hits[0].FileName, hits[0].AssDataFilename), dir.Path() + "\\Themes\\DNN\\TOWNS.DAT");
    // Far from both, the nearer still answers.
    EXPECT_EQ(Click(0, 399, Theme(4, "Towns.Syx")).at(0).Offset, 200);

    const std::vector<QueryHit> zone = Click(390, 10, Theme(7, "Zones.Pol"));
    ASSERT_EQ(zone.size(), 1u);
    EXPECT_EQ(zone[0].Offset, 77);
    EXPECT_EQ(zone[0].DataType, 7);
    EXPECT_EQ(zone[0].AssDataFilename, "ZONES.DAT");
    EXPECT_EQ(zone[0].found.Points.at(1).x, 5);   // the outline's one part of five points
}

TEST_F(QuerySearchTest, BaseMapsOtherTypesAndEmptySeaFindNothing)
{
    view.MDF->NextMAS.Append(Theme(4, "Towns.Syx"));
    view.MDF->NextMAS.Append(Theme(7, "Zones.Pol"));
    EXPECT_TRUE(Click(200, 200, Theme(5, "Towns.Syx")).empty());
    EXPECT_TRUE(Click(200, 200, Theme(9, "Zones.Pol")).empty());
    EXPECT_TRUE(Click(200, 200, Theme(4, "Gone.Syx")).empty());   // skipped without a word
    // The map shows only open sea: no reference point lies in the picture.
    view.mdf->SetMinLat(10), view.mdf->SetMaxLat(15), view.mdf->SetMinLon(-20), view.mdf->SetMaxLon(-15);
    EXPECT_TRUE(Click(200, 200, Theme(7, "Zones.Pol")).empty());
    EXPECT_TRUE(sink.messages.empty());
}

TEST(QueryPanel, PlacedBesideAboveBelowOrAcrossTheWindow)
{
    // Text 12 high and 100 (or 500) wide, "A" 8 wide: a panel of 116 (516) x 24 in a picture of
    // 600 x 400. Each row: symbol row, column, text width; the panel's left and top.
    const int cases[][5] = {
        {200, 300, 100, 316, 188},   // to the right, half a line up
        {5, 300, 100, 242, 17},      // near the top: below and centred
        {395, 300, 100, 242, 359},   // near the bottom: above and centred
        {200, 560, 100, 428, 188},   // near the right edge: to the left
        {5, 20, 100, 36, 17},        // centred below would pass the left edge: to the right
        {100, 300, 500, 42, 112},    // no room either side: across the window, lower
        {300, 300, 500, 42, 264},    // ... or higher in its lower half
    };
    for (const auto& c : cases) {
        const PanelPlace p = PlaceQueryPanel(c[0], c[1], 12, c[2], 8, 400, 600);
        EXPECT_EQ((std::vector<int>{p.left, p.top, p.width, p.height}), (std::vector<int>{c[3], c[4], c[2] + 16, 24}))
            << c[0] << ", " << c[1];
    }
}

TEST(FlashCycle, FromRedFromWhiteAndBack)
{
    FlashCycle f;
    Colour c = 0x0000FF;
    std::vector<Colour> seen;
    for (int i = 0; i < 4; ++i) seen.push_back(c = f.Step(c));
    EXPECT_EQ(seen, (std::vector<Colour>{clWhite, clBlack, 0x0000FF, clWhite}));
    Colour own = 0;
    ASSERT_TRUE(f.Stop(own));
    EXPECT_EQ(own, 0x0000FFu);
    EXPECT_FALSE(f.Stop(own));   // nothing flashes any more

    FlashCycle w;
    c = clWhite;
    seen.clear();
    for (int i = 0; i < 4; ++i) seen.push_back(c = w.Step(c));
    EXPECT_EQ(seen, (std::vector<Colour>{clBlack, clWhite, clBlack, clWhite}));
    ASSERT_TRUE(w.Stop(own));
    EXPECT_EQ(own, clWhite);
}

} // namespace
} // namespace corvane
