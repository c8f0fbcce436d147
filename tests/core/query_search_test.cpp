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
    mas->Title = std::make_unique<std::string>("Towns");
    mas->NextDSD = std::make_unique<DSDStruct>();
    mas->NextDSD->Data_Type = static_cast<uint8_t>(type);
    mas->NextDSD->Number_Of_Files = 1;
    mas->NextDSD->NextDFN = std::make_unique<DFNStruct>();
    mas->NextDSD->NextDFN->FileName = file;
    mas->Key = std::make_unique<KeyStruct>();
    std::unique_ptr<K_Descriptor>* next = &mas->Key->NextKD;
    for (bool active : {true, false}) {
        auto kd = std::make_unique<K_Descriptor>();
        kd->Active = active;
        kd->Entry_Type = 3;
        kd->Top_Style = kd->Bottom_Style = 2;
        kd->Top_Colour = kd->Bottom_Colour = 0x0000FF;
        *next = std::move(kd);
        next = &(*next)->NextKD;
    }
    mas->Key->NumItems = 2;
    return mas;
}

class QuerySearchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CvVars::Reset();
        CvVars::CDROM = dir.Path();
        LayerWriteOptions o;
        o.Header.DatasetID = "TOWNS";
        o.Header.AssDataType = 1;
        o.Header.AssDataFilename = "TOWNS.DAT";
        SymbolFileWriter towns(o, true);
        towns.Add({1, 1, 1, 100});
        towns.Add({-2, -2, 1, 200});
        towns.Add({1.2, 1.2, 2, 300});   // switched off
        Write("Themes/Towns.Syx", towns.Bytes());

        o.Header.AssDataType = 0;
        o.Header.AssDataFilename = "ZONES.DAT";
        PolygonFileWriter zones(o, 7);
        PolygonFeature f;
        f.Parts = {{{-4, -4}, {-4, 4}, {4, 4}, {4, -4}, {-4, -4}}};
        f.Reference = {3, 3};
        f.InfoOffset = 77;
        zones.Add(f);
        f.Reference = {20, 20};   // outside the picture: never found
        f.InfoOffset = 99;
        zones.Add(f);
        Write("Themes/Zones.Pol", zones.Bytes());
    }
    void TearDown() override { CvVars::Reset(); }
    void Write(const std::string& rel, const std::vector<uint8_t>& bytes) const
    {
        dir.Write(rel, std::string(bytes.begin(), bytes.end()));
    }

    std::vector<QueryHit> Click(int x, int y)
    {
        std::vector<QueryHit> hits;
        SearchOverlay(view, x, y, [&](QueryHit& h) { hits.push_back(h); });
        return hits;
    }

    TempDir dir;
    RecordingMessageSink sink;
    QueryView view{sink};
};

TEST_F(QuerySearchTest, NearestActivePointOfTheOverlayAnswers)
{
    view.MDF->OverlayMAS.Append(Theme(4, "CDROM:\\Themes\\Towns.Syx"));
    // Next to the point at 1.2, 1.2, whose key item is off: the one at 1, 1 answers.
    const int x = view.LonToScreen(1.2), y = view.LatToScreen(1.2);
    const std::vector<QueryHit> hits = Click(x, y);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].Offset, 100);
    EXPECT_EQ(hits[0].DataType, 4);
    EXPECT_EQ(hits[0].AssDataType, 1);
    EXPECT_EQ(hits[0].AssDataFilename, "TOWNS.DAT");
    EXPECT_EQ(hits[0].found.TimerLon, view.LonToScreen(1));
    EXPECT_EQ(hits[0].found.TimerLat, view.LatToScreen(1));
    EXPECT_EQ(hits[0].found.TimerStyle, 2);
    EXPECT_EQ(hits[0].found.TimerColour, 0x0000FFu);
    EXPECT_EQ(QueryInfoFileName(hits[0].FileName, hits[0].AssDataFilename), dir.Path() + "\\Themes\\DNN\\TOWNS.DAT");
    // Far from both, the nearer still answers.
    const std::vector<QueryHit> far = Click(0, 399);
    ASSERT_EQ(far.size(), 1u);
    EXPECT_EQ(far[0].Offset, 200);
}

TEST_F(QuerySearchTest, BaseMapsAndOtherTypesAreNeverSearched)
{
    view.MDF->NextMAS.Append(Theme(4, "CDROM:\\Themes\\Towns.Syx"));
    EXPECT_TRUE(Click(200, 200).empty());
    view.MDF->OverlayMAS.Append(Theme(5, "CDROM:\\Themes\\Towns.Syx"));
    EXPECT_TRUE(Click(200, 200).empty());
    auto filled = Theme(9, "CDROM:\\Themes\\Zones.Pol");
    view.MDF->OverlayMAS.Clear();
    view.MDF->OverlayMAS.Append(std::move(filled));
    EXPECT_TRUE(Click(200, 200).empty());
    // A missing layer file is skipped without a word.
    view.MDF->OverlayMAS.Clear();
    view.MDF->OverlayMAS.Append(Theme(4, "CDROM:\\Themes\\Gone.Syx"));
    EXPECT_TRUE(Click(200, 200).empty());
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(QuerySearchTest, PolygonsAnswerByReferencePointWithTheirOutline)
{
    view.MDF->OverlayMAS.Append(Theme(7, "CDROM:\\Themes\\Zones.Pol"));
    const std::vector<QueryHit> hits = Click(390, 10);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].Offset, 77);
    EXPECT_EQ(hits[0].DataType, 7);
    EXPECT_EQ(hits[0].AssDataType, 0);
    int parts = 0;
    size_t points = 0;
    ForEachOutlinePart(hits[0].found.Points, [&](const Point*, size_t n) { ++parts, points += n; });
    EXPECT_EQ(parts, 1);
    EXPECT_EQ(points, 5u);
    // The map shows only open sea: nothing is found.
    view.MDF->OverlayMAS.Clear();
    view.MDF->OverlayMAS.Append(Theme(7, "CDROM:\\Themes\\Zones.Pol"));
    view.mdf->SetMinLat(10), view.mdf->SetMaxLat(15), view.mdf->SetMinLon(-20), view.mdf->SetMaxLon(-15);
    EXPECT_TRUE(Click(200, 200).empty());
}

TEST(QueryPanel, PlacedBesideAboveBelowOrAcrossTheWindow)
{
    // Text 12 high, 100 wide, "A" 8 wide: the panel is 116 x 24 in a 600 x 400 picture.
    const auto at = [](int lat, int lon) { return PlaceQueryPanel(lat, lon, 12, 100, 8, 400, 600); };
    const PanelPlace mid = at(200, 300);
    EXPECT_EQ(mid.width, 116);
    EXPECT_EQ(mid.height, 24);
    EXPECT_EQ(mid.left, 316);
    EXPECT_EQ(mid.top, 188);
    const PanelPlace top = at(5, 300);   // near the top: below and centred
    EXPECT_EQ(top.top, 17);
    EXPECT_EQ(top.left, 300 - 58);
    const PanelPlace bottom = at(395, 300);   // near the bottom: above and centred
    EXPECT_EQ(bottom.top, 395 - 12 - 24);
    EXPECT_EQ(bottom.left, 242);
    const PanelPlace right = at(200, 560);   // near the right edge: to the left
    EXPECT_EQ(right.left, 560 - 116 - 16);
    EXPECT_EQ(right.top, 188);
    const PanelPlace left = at(5, 20);   // centred below would pass the left edge: to the right again
    EXPECT_EQ(left.left, 36);
    // A panel wider than the window's room on both sides is centred across it.
    const PanelPlace wide = PlaceQueryPanel(100, 300, 12, 500, 8, 400, 600);
    EXPECT_EQ(wide.left, (600 - 516) / 2);
    EXPECT_EQ(wide.top, 88 + 12 + 12);
    const PanelPlace wideLow = PlaceQueryPanel(300, 300, 12, 500, 8, 400, 600);
    EXPECT_EQ(wideLow.top, 288 - 12 - 12);
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
