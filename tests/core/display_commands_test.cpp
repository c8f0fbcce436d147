// The display settings commands: what each changes and how the map is brought up to date
// (replot, Redraw enabled, or the overlays refreshed from FullMap); the style pickers' selection
// arithmetic; and the data subset dialog's rows, clicks and write-back.
#include "KeyFixtures.h"
#include "display/DisplayCommands.h"
#include "display/PickerLayout.h"
#include "display/SubsetModel.h"
#include "platform/CvVars.h"
#include "platform/MessageSink.h"
#include "render/Keys.h"

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;

namespace {

class DisplayCommandsTest : public ::testing::Test {
protected:
    void SetUp() override { CvVars::Reset(); }
    void TearDown() override { CvVars::Reset(); }
    // Shows a box of latRange x lonRange degrees.
    void Box(double latRange, double lonRange)
    {
        view.MDF->SetMinLat(50), view.MDF->SetMaxLat(50 + latRange);
        view.MDF->SetMinLon(0), view.MDF->SetMaxLon(lonRange);
    }
    RecordingMessageSink sink;
    KeyView view{sink};
};

} // namespace

TEST_F(DisplayCommandsTest, TheLandItemsAlwaysSwapAndOnlyMarkRedraw)
{
    ASSERT_TRUE(view.InFilled1 && !view.Outline1);
    DisplayOutcome o = ToggleLandStyle(view);   // "&Outline", or "&Infilled" once more
    EXPECT_TRUE(!view.InFilled1 && view.Outline1);
    EXPECT_EQ(view.MDF->Land_Plot_Style, 0);
    EXPECT_EQ(o.Update, MapUpdate::MarkRedraw);
    EXPECT_TRUE(o.NeedToSave);
    ToggleLandStyle(view);
    EXPECT_TRUE(view.InFilled1 && !view.Outline1);
    EXPECT_EQ(view.MDF->Land_Plot_Style, 1);

    // A stored style that checks both items leaves both unchecked, and outline stored.
    view.MDF->Land_Plot_Style = 2;
    view.SetChecksFromMDF();
    ToggleLandStyle(view);
    EXPECT_TRUE(!view.InFilled1 && !view.Outline1);
    EXPECT_EQ(view.MDF->Land_Plot_Style, 0);
}

TEST_F(DisplayCommandsTest, ColoursStyleSpacingAndDisplayStoreTheirValueAndUpdateAsTheyMust)
{
    const struct {
        const char* what;
        std::function<DisplayOutcome()> run;
        bool gridShown;
        MapUpdate update;
    } cases[] = {
        {"land fill", [&] { return StoreMapColour(view, MapColour::LandFill, 0x112233); }, true, MapUpdate::MarkRedraw},
        {"outline", [&] { return StoreMapColour(view, MapColour::LandOutline, 0x112234); }, true, MapUpdate::MarkRedraw},
        {"background", [&] { return StoreMapColour(view, MapColour::Background, 0x112235); }, true, MapUpdate::MarkRedraw},
        {"grid colour", [&] { return StoreMapColour(view, MapColour::Graticule, 0x112236); }, true, MapUpdate::OverlayRefresh},
        {"grid colour hidden", [&] { return StoreMapColour(view, MapColour::Graticule, 0x112237); }, false, MapUpdate::None},
        {"dash style", [&] { return StoreGraticuleStyle(view, 1); }, true, MapUpdate::OverlayRefresh},
        {"5 degrees", [&] { return StoreGraticuleSpacing(view, 5); }, true, MapUpdate::OverlayRefresh},
        {"5 degrees hidden", [&] { return StoreGraticuleSpacing(view, 5); }, false, MapUpdate::None},
        {"display off", [&] { return ToggleGraticule(view); }, true, MapUpdate::OverlayRefresh},
        {"display on", [&] { return ToggleGraticule(view); }, false, MapUpdate::OverlayRefresh},
    };
    for (const auto& c : cases) {
        view.MDF->Grid_Displayed = c.gridShown;
        const DisplayOutcome o = c.run();
        EXPECT_EQ(o.Update, c.update) << c.what;
        EXPECT_TRUE(o.NeedToSave) << c.what;
    }
    EXPECT_EQ(view.MDF->Land_Plot_Fill_Colour, 0x112233u);
    EXPECT_EQ(view.MDF->Land_Plot_Colour, 0x112234u);
    EXPECT_EQ(view.MDF->BackgroundColour, 0x112235u);
    EXPECT_EQ(view.MDF->Grid_Colour, 0x112237u);
    EXPECT_EQ(view.MDF->Grid_Style, 2);   // dash is pen style 1
    EXPECT_EQ(view.MDF->Grid_Scale, 5);
    EXPECT_EQ(view.Spacing, GridSpacing::Degrees5);
    EXPECT_TRUE(view.MDF->Grid_Displayed);   // switched off, then on again
    EXPECT_EQ(StoreGraticuleSpacing(view, 8).Update, MapUpdate::None);
    EXPECT_EQ(view.MDF->Grid_Scale, 5);
}

TEST_F(DisplayCommandsTest, AFormatSwitchRedrawsOnlyWhereLabelsHaveFractions)
{
    const struct {
        uint8_t scale;
        double latRange, lonRange;
        bool shown;
        MapUpdate update;
    } cases[] = {
        {5, 20, 30, true, MapUpdate::None},               // whole degrees read the same
        {2, 20, 30, true, MapUpdate::OverlayRefresh},     // fractional
        {1, 20, 30, true, MapUpdate::None},               // auto on a wide map: whole degrees
        {1, 1.5, 30, true, MapUpdate::OverlayRefresh},    // auto below 2 degrees of latitude
        {1, 20, 1.9, true, MapUpdate::OverlayRefresh},    // ... or of longitude
        {2, 20, 30, false, MapUpdate::None},              // nothing shown
    };
    for (const auto& c : cases) {
        Box(c.latRange, c.lonRange);
        StoreGraticuleSpacing(view, c.scale);
        view.MDF->Grid_Displayed = c.shown;
        const DisplayOutcome o = StoreGraticuleFormat(view, !view.MDF->Grid_Format);
        EXPECT_EQ(o.Update, c.update) << int(c.scale) << " " << c.latRange << " " << c.lonRange;
        EXPECT_EQ(view.GraticuleFormatDEC, !view.MDF->Grid_Format);
    }
    // Choosing the checked format changes nothing but still counts as a change.
    StoreGraticuleSpacing(view, 2);
    const bool dms = view.MDF->Grid_Format;
    const DisplayOutcome same = StoreGraticuleFormat(view, dms);
    EXPECT_EQ(same.Update, MapUpdate::None);
    EXPECT_TRUE(same.NeedToSave);
    EXPECT_EQ(view.MDF->Grid_Format, dms);
}

TEST_F(DisplayCommandsTest, TextSizeStaysWithinItsBoundsAndCoastResolutionWithin0To2)
{
    CvVars::Graticule_FontSize = 1;
    DisplayOutcome o = StepGraticuleFontSize(view, -1);
    EXPECT_EQ(CvVars::Graticule_FontSize, 1);
    EXPECT_TRUE(o.Update == MapUpdate::None && !o.NeedToSave);
    o = StepGraticuleFontSize(view, +1);
    EXPECT_EQ(CvVars::Graticule_FontSize, 2);
    EXPECT_TRUE(o.Update == MapUpdate::OverlayRefresh && o.NeedToSave);
    view.MDF->Grid_Displayed = false;   // the size changes; nothing to draw again
    o = StepGraticuleFontSize(view, -1);
    EXPECT_EQ(CvVars::Graticule_FontSize, 1);
    EXPECT_TRUE(o.Update == MapUpdate::None && !o.NeedToSave);
    CvVars::Graticule_FontSize = 255;
    StepGraticuleFontSize(view, +1);
    EXPECT_EQ(CvVars::Graticule_FontSize, 255);

    // "&Increase Resolution" goes finer (towards 0), "&Decrease Resolution" coarser (towards 2).
    ASSERT_EQ(CvVars::CoastResolution, 1);
    EXPECT_EQ(StepCoastResolution(-1).Update, MapUpdate::MarkRedraw);
    EXPECT_EQ(CvVars::CoastResolution, 0);
    EXPECT_EQ(StepCoastResolution(-1).Update, MapUpdate::None);
    EXPECT_EQ(CvVars::CoastResolution, 0);
    StepCoastResolution(+1), StepCoastResolution(+1);
    EXPECT_EQ(StepCoastResolution(+1).Update, MapUpdate::None);
    EXPECT_EQ(CvVars::CoastResolution, 2);
}

TEST(StylePickerLayout, SelectionArithmetic)
{
    // With the standard brushes a pattern is shown as the standard brush of its kind.
    const int fills[][3] = {{5, 1, 21}, {13, 1, 21}, {1, 1, 17}, {16, 1, 24}, {20, 1, 20}, {5, 0, 5}};
    for (const auto& f : fills) EXPECT_EQ(FillPreselection(f[0], f[1] != 0), f[2]) << f[0];
    // Line codes from pen styles: solid 1, dash 2, dot 3, dash-dot 4, dash-dot-dot 5, clear 6.
    for (int pen = 0; pen <= 5; ++pen) {
        EXPECT_EQ(LineCodeOfPenStyle(pen), pen + 1);
        EXPECT_EQ(PenStyleOfLineCode(LineCodeOfPenStyle(pen)), pen);
    }
    EXPECT_EQ(PenStyleOfLineCode(0), 5);   // code 0 and codes past the table draw no line
    EXPECT_EQ(PenStyleOfLineCode(40), 5);
    // The symbol grid: 48 x 20 cells, four codes a row.
    const int symbols[][3] = {{0, 0, 1}, {47, 19, 1}, {48, 0, 2}, {191, 0, 4}, {0, 20, 5}, {191, 199, 40}, {500, 500, 40}};
    for (const auto& s : symbols) EXPECT_EQ(SymbolAt(s[0], s[1]), s[2]) << s[0] << "," << s[1];
    for (int code = 1; code <= 40; ++code) {
        const Point c = SymbolCentre(code);
        EXPECT_EQ(SymbolAt(c.x, c.y), code);
        EXPECT_EQ(SymbolCell(code), (Rect{c.x - 24, c.y - 10, c.x + 24, c.y + 10}));
    }
    EXPECT_EQ(SymbolCentre(6), (Point{72, 30}));
    // Fill samples: eight to a row, 64 pixels apart from (16, 20).
    EXPECT_EQ(FillSampleRect(10), (Rect{80, 84, 128, 132}));
    EXPECT_EQ(FillSampleRect(18), (Rect{80, 20, 128, 68}));
    EXPECT_EQ(FillStyleAt(true, 80, 84), 10);
    EXPECT_EQ(FillStyleAt(true, 70, 84), 0);
    EXPECT_EQ(FillStyleAt(false, 127, 67), 18);
    EXPECT_EQ(FillSampleColour(0x0000FF, 0xC0C0C0), 0xC0C0C0u);
    EXPECT_EQ(FillSampleColour(0x0000FE, 0xC0C0C0), 0x0000FFu);
    EXPECT_EQ(LineStyleAt(20, 16 + 2 * 36 + 5), 2);
    EXPECT_EQ(LineStyleAt(20, 16 + 20), -1);
}

namespace {

// A key of a heading and four items: a box of two lines, an item without a symbol, a line that
// is inactive and hidden, and a symbol whose text holds a line-drawing byte.
std::unique_ptr<KeyStruct> SubsetKey()
{
    auto key = MakeKey({"Depths"}, {{1, 2, {"Shallow", "water"}, false, 0x0000FF, 0x00FF00, 3, 4},
                                    {2, 0, {"Heading"}, false, 0x111111, 0x222222, 7, 8},
                                    {3, 1, {"Cable"}, true, 0x333333, 0x444444, 2, 2},
                                    {4, 3, {"Wreck \xC8"}, false, 0x555555, 0x666666, 5, 6}});
    key->NextKD->NextKD->NextKD->Active = false;
    return key;
}

} // namespace

TEST(SubsetModel, RowsFollowTheDisplayOrderWithStatusOnlyOnFirstRowsOfSymbolItems)
{
    RecordingMessageSink sink;
    auto key = SubsetKey();
    SubsetModel m;
    m.Initialise(*key, sink);
    EXPECT_EQ(m.Caption, "Data Subset : Depths ");
    ASSERT_EQ(m.Rows.size(), 5u);
    const char* expect[5][3] = {{"Active", "Visible", " Shallow"}, {" ", " ", " water"}, {" ", " ", " Heading"},
                                {"Inactive", "Hidden", " Cable"}, {"Active", "Visible", " Wreck \xC8"}};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(m.Rows[i].Status, expect[i][0]) << i;
        EXPECT_EQ(m.Rows[i].Shown, expect[i][1]) << i;
        EXPECT_EQ(m.Rows[i].DefText, expect[i][2]) << i;
    }
    EXPECT_TRUE(m.LineDrawFont);   // byte 200
    EXPECT_EQ(m.TopColour[1], 0x0000FFu);
    EXPECT_EQ(m.TopColour[2], 0u);   // no symbol, no working colours
    EXPECT_EQ(m.TopStyle[2], 7);
    // Rows of the first lines and the items found from them.
    EXPECT_EQ(SubsetModel::FirstRow(*key, 4), 5);
    EXPECT_EQ(SubsetModel::GetKeyItem(*key, 4).Order, 3);
    EXPECT_EQ(SubsetModel::GetKeyItem(*key, 2).Item, nullptr);
    EXPECT_TRUE(m.ItemRow(3) && !m.ItemRow(1) && !m.ItemRow(2) && !m.ItemRow(9));
    EXPECT_TRUE(sink.messages.empty());

    // A display order no item carries is told and gets no rows.
    key->NextKD->Display_Order = 9;
    m.Initialise(*key, sink);
    EXPECT_TRUE(sink.Contains(kKeyNotFound));
    EXPECT_EQ(m.Rows.size(), 3u);
}

TEST(SubsetModel, ClicksAndWhatOkChanges)
{
    RecordingMessageSink sink;
    auto key = SubsetKey();
    SubsetModel m;
    m.Initialise(*key, sink);
    // A hidden inactive item cannot be shown; making it active first lets it.
    EXPECT_FALSE(m.KeyClick(3));
    EXPECT_FALSE(m.StatusClick(1) || m.KeyClick(2));   // rows that are no item's first
    EXPECT_TRUE(m.StatusClick(3) && m.KeyClick(3));
    EXPECT_EQ(m.Rows[3].Shown, "Visible");
    // Making an item inactive hides it too.
    EXPECT_TRUE(m.StatusClick(0));
    EXPECT_EQ(m.Rows[0].Status, "Inactive");
    EXPECT_EQ(m.Rows[0].Shown, "Hidden");

    // Nothing changes in the key before OK.
    EXPECT_TRUE(key->NextKD->Active);
    SubsetChange change = m.Apply(*key);
    EXPECT_TRUE(change.Map && change.Key);
    const K_Descriptor* box = key->NextKD.get();
    const K_Descriptor* heading = box->NextKD.get();
    const K_Descriptor* cable = heading->NextKD.get();
    EXPECT_TRUE(!box->Active && box->Hidden);
    EXPECT_TRUE(cable->Active && !cable->Hidden);
    // The item without a symbol goes back not active, not hidden, both colours 0.
    EXPECT_TRUE(!heading->Active && !heading->Hidden);
    EXPECT_EQ(heading->Top_Colour, 0u);
    EXPECT_EQ(heading->Bottom_Colour, 0u);

    // Hidden alone is a key change; a colour or a style is a map change.
    m.Initialise(*key, sink);
    m.KeyClick(4);
    change = m.Apply(*key);
    EXPECT_TRUE(change.Key && !change.Map);
    m.Initialise(*key, sink);
    m.BottomStyle[4] = 9;
    change = m.Apply(*key);
    EXPECT_TRUE(change.Map && !change.Key);
    EXPECT_EQ(cable->NextKD->Bottom_Style, 9);
}

TEST(SubsetModel, OkMarksRedrawAfterAMapChangeAndRefreshesTheKeysAfterAKeyChange)
{
    RecordingMessageSink sink;
    KeyView view(sink);
    DisplayOutcome o = SubsetOutcome(view, {true, true});
    EXPECT_TRUE(o.Update == MapUpdate::MarkRedraw && o.NeedToSave && view.MDF->Changed);
    view.MDF->Changed = false;
    o = SubsetOutcome(view, {false, true});
    EXPECT_TRUE(o.Update == MapUpdate::OverlayRefresh && o.NeedToSave && !view.MDF->Changed);
    o = SubsetOutcome(view, {false, false});
    EXPECT_TRUE(o.Update == MapUpdate::None && o.NeedToSave);
}
