#include "TestUtil.h"
#include "mapdef/MDFStruct.h"
#include "mapdef/MapDefObj.h"
#include "mapdef/MenuState.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/MessageSink.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <unistd.h>

using namespace corvane;
using corvane::test::TempDir;

namespace {

// A 1024 x 740 work area below a main window strip ending at row 100.
FixedScreenMetrics Desktop(FrameMetrics frame = {})
{
    FixedScreenMetrics m;
    m.workArea = {0, 0, 1024, 740};
    m.screenWidth = 1024;
    m.screenHeight = 768;
    m.mainWindowBottom = 100;
    m.frame = frame;
    return m;
}

ScreenRect Rect(const TMapDefObj& d)
{
    return {d.GetWindowLeft(), d.GetWindowTop(), d.GetWindowRight(), d.GetWindowBottom()};
}

// Loads a definition holding only "Window" and "Lat_Lon".
void Load(TMapDefObj& d, const TempDir& dir, const std::string& window, const std::string& latLon)
{
    d.Create(dir.Write("m.mdf", "[Window]\r\n" + window + "[Lat_Lon]\r\n" + latLon));
}

// A theme as the catalogue would load it, with data sets of the given types.
std::unique_ptr<MASStruct> Theme(const std::string& title, std::initializer_list<uint8_t> types = {})
{
    auto m = std::make_unique<MASStruct>();
    m->Title = std::make_unique<std::string>(title);
    std::unique_ptr<DSDStruct>* tail = &m->NextDSD;
    for (uint8_t t : types) {
        *tail = std::make_unique<DSDStruct>();
        (*tail)->Data_Type = t;
        tail = &(*tail)->NextDSD;
    }
    return m;
}

std::vector<std::string> Titles(const MASList& list)
{
    std::vector<std::string> out;
    for (const MASStruct* m : list) out.push_back(m->Title ? *m->Title : "?");
    return out;
}

// Stands in for the data list: titles it knows, matched without regard to case.
struct FakeDataList {
    std::map<std::string, std::string> files;   // upper-case title -> master file
    int lookups = 0;
    TitleLookup Lookup()
    {
        return [this](const std::string& title, MessageSink&) {
            ++lookups;
            auto it = files.find(UpperCase(title));
            return it == files.end() ? std::string() : it->second;
        };
    }
};

} // namespace

TEST(MapDefObj, NewMapFillsTheWorkAreaBelowTheMainWindow)
{
    auto screen = Desktop();
    TMapDefObj d(screen);
    d.Create("");
    EXPECT_EQ(Rect(d), (ScreenRect{0, 100, 1024, 740}));
    EXPECT_NEAR(CvVars::LatLonScale, 1.0 / std::cos(55.0 * M_PI / 180.0), 1e-9);
    EXPECT_NEAR(CvVars::LatLonScale, 1.7434, 1e-4);
    // The drawing area is wider than the box: latitude stays, longitude grows about 0.
    EXPECT_EQ(d.GetMinLat(), 45.0);
    EXPECT_EQ(d.GetMaxLat(), 65.0);
    EXPECT_DOUBLE_EQ(d.GetMinLon(), -d.GetMaxLon());
    EXPECT_GT(d.GetMainLonRange(), 30.0);
    EXPECT_NEAR(d.GetMainLatRange() * CvVars::LatLonScale / d.GetMainLonRange(), 640.0 / 1024.0, 1e-12);
}

TEST(MapDefObj, FrameMetricsShrinkTheDrawingArea)
{
    auto screen = Desktop({3, 3, 1, 1, 19});
    TMapDefObj d(screen);
    d.Create("");
    EXPECT_EQ(d.GetOldMapWidth(), 1024 - 8);
    EXPECT_EQ(d.GetOldMapHeight(), 640 - 8 - 19);
    EXPECT_NEAR(d.GetMainLatRange() * CvVars::LatLonScale / d.GetMainLonRange(), 613.0 / 1016.0, 1e-12);
    d.SetWindowWidth(500);
    d.SetWindowLeft(10);   // only the left edge moves
    EXPECT_EQ(Rect(d), (ScreenRect{10, 100, 500, 740}));
    EXPECT_EQ(d.GetOldWindowWidth(), 1024);   // the old rectangle is the map window's to set
}

TEST(MapDefObj, SavedWindowsAreMovedBackIntoTheWorkArea)
{
    TempDir dir;
    auto screen = Desktop();
    TMapDefObj d(screen);
    // Box centred on the equator (LatLonScale 1) of the window's 2:1 shape: AreaPriority keeps it.
    const std::string box = "Lat=-10 10\r\nLon=0 40\r\n";
    Load(d, dir, "XPos=712\r\nYPos=200\r\nWidth=512\r\nHeight=256\r\n", box);
    EXPECT_EQ(CvVars::LatLonScale, 1.0);
    EXPECT_EQ(Rect(d), (ScreenRect{512, 200, 1024, 456}));   // 200 past the right edge
    Load(d, dir, "XPos=-50\r\nYPos=600\r\nWidth=512\r\nHeight=256\r\n", box);
    EXPECT_EQ(Rect(d), (ScreenRect{0, 484, 512, 740}));      // 50 left, 116 below
    EXPECT_EQ(d.ZoomDepth(), 1u);
}

TEST(MapDefObj, LatAndLonTakeDefaultsPartByPart)
{
    TempDir dir;
    auto screen = Desktop();
    TMapDefObj d(screen);
    Load(d, dir, "", "Lat=  30\r\nLon=abc  20.5\r\n");
    EXPECT_EQ(d.GetMinLat(), 30.0);
    EXPECT_EQ(d.GetMaxLat(), -90.0);
    EXPECT_EQ(d.GetMinLon(), 180.0);
    EXPECT_EQ(d.GetMaxLon(), 20.5);
    // No keys at all: the inverted world box, used as it is.
    d.Create(dir / "missing.mdf");
    EXPECT_EQ(d.GetMinLat(), 90.0);
    EXPECT_EQ(d.GetMaxLat(), -90.0);
    EXPECT_EQ(d.GetMinLon(), 180.0);
    EXPECT_EQ(d.GetMaxLon(), -180.0);
    Load(d, dir, "XPos=9999999999\r\nWidth=-2147483648\r\nHeight=$7FFFFFFF\r\n", "Lat=1e999 1e-3\r\nLon=0 0\r\n");
    EXPECT_EQ(d.GetMinLat(), 90.0);
    EXPECT_EQ(d.GetMaxLat(), 1e-3);
}

TEST(MapDefObj, ZoomHistoryStepsBackButNotPastTheFirstState)
{
    auto screen = Desktop();
    TMapDefObj d(screen);
    d.Create("");
    MapListRec* first = d.Main_Plot();
    EXPECT_FALSE(d.CanZoomOut());
    EXPECT_EQ(d.Main_Plot(), first);
    d.NewZoom(0, 100, 400, 300, 0, 0, 10, 10, AreaPriority);
    EXPECT_EQ(d.Main_Plot()->Prev, first);
    EXPECT_EQ(first->Next, d.Main_Plot());
    EXPECT_TRUE(d.CanZoomOut());
    EXPECT_EQ(d.Main_Plot(), first);
    EXPECT_EQ(first->Next, nullptr);
    d.ClearBaseZoom();
    EXPECT_EQ(d.Main_Plot(), nullptr);
    d.SetMinLat(5);   // no state: nothing to change
    EXPECT_EQ(d.GetMainLatRange(), 0.0);
}

TEST(MapDefObj, AreaPriorityReshapesTheWindowWithinTheWorkArea)
{
    auto screen = Desktop();
    TMapDefObj d(screen);
    d.Create("");
    CvVars::LatLonScale = 1.0;
    auto zoom = [&](ScreenRect r, double dLat, double dLon) {
        d.NewZoom(r.Left, r.Top, r.Right, r.Bottom, 0, 0, dLon, dLat, AreaPriority);
        EXPECT_EQ(d.GetMainLatRange(), dLat);   // the box is always kept
        EXPECT_EQ(d.GetMainLonRange(), dLon);
        return Rect(d);
    };
    // A box of the window's shape keeps the window.
    EXPECT_EQ(zoom({0, 100, 400, 300}, 10, 20), (ScreenRect{0, 100, 400, 300}));
    // Too tall for the box: wider, to the right; then pushed left from the right edge; then
    // cut at the left edge and made lower instead.
    EXPECT_EQ(zoom({0, 100, 400, 300}, 10, 40), (ScreenRect{0, 100, 800, 300}));
    EXPECT_EQ(zoom({500, 100, 900, 300}, 10, 40), (ScreenRect{224, 100, 1024, 300}));
    EXPECT_EQ(zoom({100, 100, 900, 300}, 10, 80), (ScreenRect{0, 100, 1024, 228}));
    // Too wide for the box: taller, downwards; the bottom is compared with the height below
    // the main window, so a window low on the screen is lifted past what it needs; finally
    // cut at the main window and made narrower instead.
    EXPECT_EQ(zoom({0, 100, 400, 300}, 40, 40), (ScreenRect{0, 100, 400, 500}));
    EXPECT_EQ(zoom({0, 400, 400, 600}, 40, 40), (ScreenRect{0, 240, 400, 740}));
    EXPECT_EQ(zoom({0, 150, 400, 350}, 80, 40), (ScreenRect{0, 100, 320, 740}));
}

TEST(MapDefObj, WindowPriorityWidensTheBoxAboutItsCentre)
{
    auto screen = Desktop();
    TMapDefObj d(screen);
    d.Create("");
    CvVars::LatLonScale = 2.0;
    // Window 2:1, box 1:2 on the ground: the longitude range grows to 40 about 15.
    d.NewZoom(0, 100, 400, 300, 10, 50, 20, 60, WindowPriority);
    EXPECT_EQ(Rect(d), (ScreenRect{0, 100, 400, 300}));
    EXPECT_EQ(d.GetMinLat(), 50.0);
    EXPECT_EQ(d.GetMaxLat(), 60.0);
    EXPECT_DOUBLE_EQ(d.GetMinLon(), -5.0);
    EXPECT_DOUBLE_EQ(d.GetMaxLon(), 35.0);
    // Window 1:4: the latitude range grows to 20 about 55.
    d.NewZoom(0, 100, 100, 500, 10, 50, 20, 60, WindowPriority);
    EXPECT_DOUBLE_EQ(d.GetMinLat(), 45.0);
    EXPECT_DOUBLE_EQ(d.GetMaxLat(), 65.0);
    EXPECT_EQ(d.GetMinLon(), 10.0);
    EXPECT_EQ(d.GetMaxLon(), 20.0);
}

TEST(MapDefObj, LatLonRealsHaveTheTwentyThreeCharacterForm)
{
    EXPECT_EQ(FormatLatLonReal(45.0), " 4.50000000000000E+0001");
    EXPECT_EQ(FormatLatLonReal(-0.001234), "-1.23400000000000E-0003");
    EXPECT_EQ(FormatLatLonReal(0.0), " 0.00000000000000E+0000");
    EXPECT_EQ(FormatLatLonReal(-180.0), "-1.80000000000000E+0002");
    EXPECT_EQ(FormatLatLonReal(9.999999999999999), " 1.00000000000000E+0001");
    EXPECT_EQ(FormatLatLonReal(1e300).size(), 23u);
    EXPECT_EQ(FormatLatLonReal(std::nan("")).size(), 23u);
}

TEST(MDFStruct, NewMapSettings)
{
    auto screen = Desktop();
    NullMessageSink sink;
    MDFLoadResult r = TMDFStruct::Create("", screen, sink);
    ASSERT_TRUE(r) << r.Error;
    const TMDFStruct& m = *r.MDF;
    EXPECT_EQ(m.BackgroundColour, 0u);
    EXPECT_EQ(m.Land_Plot_Colour, 0x00CC00u);
    EXPECT_EQ(m.Land_Plot_Fill_Colour, 0x008000u);
    EXPECT_EQ(m.Grid_Colour, 0xC0C0C0u);
    EXPECT_EQ(m.KeyColour, 0xFFFFFFu);
    EXPECT_EQ(m.KeyBkColour, 0u);
    EXPECT_TRUE(m.Grid_Format && m.Cursor_Format && m.KeyCaption && m.Grid_Displayed);
    EXPECT_EQ(m.BasePos, 2);
    EXPECT_EQ(m.OverlayPos, 3);
    EXPECT_TRUE(m.NextMAS.Empty() && m.OverlayMAS.Empty() && m.TextMAS.Empty());
}

TEST(MDFStruct, AbsentKeysTakeTheFileDefaultsNotTheNewMapOnes)
{
    TempDir dir;
    auto screen = Desktop();
    RecordingMessageSink sink;
    FakeDataList list;
    MDFLoadResult r = TMDFStruct::Create(dir.Write("b.mdf", "[Base]\r\nTitle1=Gone\r\n"), screen, sink, list.Lookup());
    ASSERT_TRUE(r) << r.Error;
    const TMDFStruct& m = *r.MDF;
    for (Colour c : {m.BackgroundColour, m.Land_Plot_Colour, m.Land_Plot_Fill_Colour, m.Grid_Colour, m.KeyBkColour,
                     m.KeyColour})
        EXPECT_EQ(c, 1u);
    EXPECT_EQ(m.Version, 1);
    EXPECT_EQ(m.Land_Plot_Style, 1);
    EXPECT_EQ(m.Grid_Scale, 1);
    EXPECT_EQ(m.Grid_Style, 1);
    EXPECT_TRUE(m.Grid_Displayed && m.BaseKey_Displayed && m.OverlayKey_Displayed && m.KeyCaption);
    EXPECT_FALSE(m.Box_Shape_Fixed || m.Zoom_Level_Fixed);
    EXPECT_TRUE(m.Grid_Format && m.Cursor_Format);
    EXPECT_EQ(m.BasePos, 2);
    EXPECT_EQ(m.OverlayPos, 3);
    EXPECT_TRUE(m.NextMAS.Empty());   // the data list no longer has the title: dropped silently
    EXPECT_TRUE(sink.messages.empty());
}

TEST(MDFStruct, FormatsAndOutOfRangeBytes)
{
    TempDir dir;
    auto screen = Desktop();
    NullMessageSink sink;
    auto load = [&](const std::string& keys) {
        return TMDFStruct::Create(dir.Write("f.mdf", "[Map Definition]\r\n" + keys), screen, sink);
    };
    MDFLoadResult r = load("Grid_Format=dms\r\nCursor_Format=DMS\r\nGrid_Style=abc\r\nBasePos=$FF\r\n"
                           "BackgroundColour=-1\r\nkey caption=0\r\n");
    ASSERT_TRUE(r) << r.Error;
    EXPECT_FALSE(r.MDF->Grid_Format);   // only upper-case "DMS" means degrees-minutes-seconds
    EXPECT_TRUE(r.MDF->Cursor_Format);
    EXPECT_EQ(r.MDF->Grid_Style, 1);
    EXPECT_EQ(r.MDF->BasePos, 255);
    EXPECT_EQ(r.MDF->BackgroundColour, 0xFFFFFFFFu);
    EXPECT_FALSE(r.MDF->KeyCaption);
    for (const char* bad : {"Grid_Scale=256", "Grid_Style=-1", "BasePos=1000", "OverlayPos=-2147483648"}) {
        r = load(std::string(bad) + "\r\n");
        EXPECT_FALSE(r) << bad;
        std::string key(bad, std::string(bad).find('='));
        EXPECT_NE(r.Error.find("\"" + key + "\""), std::string::npos) << r.Error;
        EXPECT_NE(r.Error.find("f.mdf"), std::string::npos) << r.Error;
    }
}

TEST(MDFStruct, TitlesAreReadUpToTheFirstGapAndLookedUpByTitle)
{
    TempDir dir;
    auto screen = Desktop();
    RecordingMessageSink sink;
    FakeDataList list;
    list.files = {{"WRECKS", "CDROM:\\Wrecks\\Wrecks.mas"}, {"(TEXT) INTRODUCTION", "CDROM:\\Misc\\Intro.txt"}};
    MDFLoadResult r = TMDFStruct::Create(
        dir.Write("t.mdf", "[Base]\r\nTitle1=wrecks\r\nTitle3=Wrecks\r\n[Overlay]\r\nTitle1=Wrecks\r\nTitle2=Gone\r\n"
                           "title3=Wrecks\r\n[Text]\r\nTitle1=(Text) Introduction\r\n"),
        screen, sink, list.Lookup());
    ASSERT_TRUE(r) << r.Error;
    EXPECT_EQ(Titles(r.MDF->NextMAS), std::vector<std::string>{"wrecks"});
    EXPECT_EQ(Titles(r.MDF->OverlayMAS), (std::vector<std::string>{"Wrecks", "Wrecks"}));
    EXPECT_EQ(Titles(r.MDF->TextMAS), std::vector<std::string>{"(Text) Introduction"});
    EXPECT_EQ(r.MDF->OverlayMAS.First()->NextMAS, r.MDF->OverlayMAS.Last());
    EXPECT_NE(r.MDF->OverlayMAS.First(), r.MDF->OverlayMAS.Last());   // two themes, not one twice
}

TEST(MDFStruct, SavesANewFileInItsOwnOrderAndReadsItBack)
{
    TempDir dir;
    auto screen = Desktop();
    NullMessageSink sink;
    MDFLoadResult r = TMDFStruct::Create("", screen, sink);
    ASSERT_TRUE(r);
    TMDFStruct& m = *r.MDF;
    m.BackgroundColour = 0x345678;
    m.Grid_Format = false;
    m.Zoom_Level_Fixed = true;
    m.BasePos = 7;
    m.SetWindowLeft(10);
    m.SetWindowTop(120);
    m.SetWindowWidth(512);
    m.SetWindowHeight(256);
    m.SetMinLon(-15);
    m.SetMaxLon(-2.5);
    for (const char* t : {"Bathymetry", "Sediments"}) m.NextMAS.Append(Theme(t));
    for (const char* t : {"Wrecks", "Seabirds", "Wrecks"}) m.OverlayMAS.Append(Theme(t));
    m.TextMAS.Append(Theme("(Text) Introduction"));
    const std::string path = dir / "Map.mdf";
    ASSERT_TRUE(m.Save(path));
    const std::string expected =
        "[Map Definition]\r\nVersion=1\r\nBackgroundColour=3430008\r\nLand_Plot_Style=1\r\nLand_Plot_Colour=52224\r\n"
        "Land_Plot_Fill_Colour=32768\r\nGrid_Displayed=1\r\nGrid_Colour=12632256\r\nGrid_Scale=1\r\nGrid_Style=1\r\n"
        "Grid_Format=DEC\r\nCursor_Format=DMS\r\nBaseKey_Displayed=1\r\nOverlayKey_Displayed=1\r\n"
        "Box_Shape_Fixed=0\r\nZoom_Level_Fixed=1\r\nKey Background=0\r\nKey Foreground=16777215\r\n"
        "Key Caption=1\r\nBasePos=7\r\nOverlayPos=3\r\n\r\n"
        "[Window]\r\nXPos=10\r\nYPos=120\r\nWidth=512\r\nHeight=256\r\n\r\n"
        "[Lat_Lon]\r\nLat= 4.50000000000000E+0001  6.50000000000000E+0001\r\n"
        "Lon=-1.50000000000000E+0001 -2.50000000000000E+0000\r\n\r\n"
        "[Base]\r\nTitle1=Bathymetry\r\nTitle2=Sediments\r\n\r\n"
        "[Overlay]\r\nTitle1=Wrecks\r\nTitle2=Seabirds\r\nTitle3=Wrecks\r\n\r\n"
        "[Text]\r\nTitle1=(Text) Introduction\r\n";
    EXPECT_EQ(corvane::test::ReadFile(path), expected);

    FakeDataList list;
    for (const char* t : {"BATHYMETRY", "SEDIMENTS", "WRECKS", "SEABIRDS", "(TEXT) INTRODUCTION"})
        list.files[t] = "CDROM:\\x.mas";
    MDFLoadResult back = TMDFStruct::Create(path, screen, sink, list.Lookup());
    ASSERT_TRUE(back) << back.Error;
    const TMDFStruct& b = *back.MDF;
    EXPECT_EQ(Titles(b.NextMAS), Titles(m.NextMAS));
    EXPECT_EQ(Titles(b.OverlayMAS), Titles(m.OverlayMAS));
    EXPECT_EQ(Titles(b.TextMAS), Titles(m.TextMAS));
    EXPECT_EQ(list.lookups, 5);   // each title looked up once
    EXPECT_EQ(b.BackgroundColour, m.BackgroundColour);
    EXPECT_EQ(b.Grid_Format, false);
    EXPECT_EQ(b.Zoom_Level_Fixed, true);
    EXPECT_EQ(b.BasePos, 7);
    EXPECT_EQ(b.KeyColour, m.KeyColour);
    EXPECT_EQ(b.Land_Plot_Fill_Colour, m.Land_Plot_Fill_Colour);
    EXPECT_EQ(b.GetMinLat(), 45.0);
    EXPECT_EQ(b.GetMaxLon(), -2.5);

    // Saving again keeps the previous file as the backup.
    m.BasePos = 9;
    ASSERT_TRUE(m.Save(path));
    EXPECT_EQ(corvane::test::ReadFile(dir / "Map.BAK"), expected);
    EXPECT_NE(corvane::test::ReadFile(path).find("BasePos=9\r\n"), std::string::npos);
}

TEST(MDFStruct, HandEditedAndHugeFilesLoadWithoutHarm)
{
    TempDir dir;
    auto screen = Desktop();
    RecordingMessageSink sink;
    FakeDataList list;
    std::string text = "[Overlay]\r\n";
    for (int n = 1; n <= 5000; ++n) {
        text += "Title" + std::to_string(n) + "=T" + std::to_string(n) + "\r\n";
        list.files["T" + std::to_string(n)] = "x.mas";
    }
    MDFLoadResult r = TMDFStruct::Create(dir.Write("many.mdf", text), screen, sink, list.Lookup());
    ASSERT_TRUE(r);
    EXPECT_EQ(r.MDF->OverlayMAS.Count(), size_t(TMDFStruct::MaxTitlesPerSection));
    EXPECT_EQ(list.lookups, TMDFStruct::MaxTitlesPerSection);
    EXPECT_EQ(sink.messages.size(), 1u);

    // A data list that cannot be read is reported once, not once per title.
    sink.Clear();
    TitleLookup broken = [](const std::string&, MessageSink& s) {
        s.Warn("There is a problem opening file D:\\Misc\\MainMenu.Dat.");
        return std::string();
    };
    r = TMDFStruct::Create(dir.Write("b.mdf", "[Base]\r\nTitle1=A\r\nTitle2=B\r\n[Text]\r\nTitle1=C\r\n"), screen, sink,
                           broken);
    ASSERT_TRUE(r);
    EXPECT_EQ(sink.messages.size(), 1u);
    EXPECT_TRUE(r.MDF->NextMAS.Empty());

    // A 100 MB file is not read at all: every key takes its default.
    const std::string huge = dir / "huge.mdf";
    ASSERT_EQ(::truncate(dir.Write("huge.mdf", "[Map Definition]\r\nBasePos=9\r\n").c_str(), 100 << 20), 0);
    r = TMDFStruct::Create(huge, screen, sink);
    ASSERT_TRUE(r);
    EXPECT_EQ(r.MDF->BasePos, 2);
    EXPECT_EQ(r.MDF->GetMinLat(), 90.0);
}

TEST(MenuState, CommandsFollowTheThemeLists)
{
    auto screen = Desktop();
    NullMessageSink sink;
    MDFLoadResult r = TMDFStruct::Create("", screen, sink);
    ASSERT_TRUE(r);
    TMDFStruct& m = *r.MDF;

    m.TextMAS.Append(Theme("(Text) Introduction"));   // only text pages
    MapMenuState s = UpdateMenuSpdBtns(m);
    EXPECT_TRUE(s.View && s.Information);
    EXPECT_FALSE(s.Order || s.Select || s.Keys || s.Zoom);

    m.OverlayMAS.Append(Theme("Wrecks", {dtVEC, dtSYM}));   // one overlay, no base map
    m.OverlayKey_Displayed = false;
    s = UpdateMenuSpdBtns(m);
    EXPECT_TRUE(s.Order && s.Subset && s.Source && s.Keys && s.Zoom);
    EXPECT_TRUE(s.DSOrderSpdBtn() && s.SourceSpdBtn() && s.KeyButtonsEnabled);
    EXPECT_FALSE(s.Select || s.Next || s.Previous || s.NextOverlaySpdBtn());
    EXPECT_TRUE(s.BaseMapKeyChecked);
    EXPECT_FALSE(s.OverlayMapKeyChecked);
    EXPECT_FALSE(CheckQueryOption(m));   // types 1 and 5 cannot answer a query

    m.OverlayMAS.Append(Theme("Seabirds", {dtSYX}));
    s = UpdateMenuSpdBtns(m);
    EXPECT_TRUE(s.Select && s.Next && s.Previous && s.SelectOverlaySpdBtn());
    EXPECT_FALSE(CheckQueryOption(m));   // only the first overlay counts
    m.OverlayMAS.MoveToBack(m.OverlayMAS.First());
    EXPECT_TRUE(CheckQueryOption(m));
    m.OverlayMAS.Insert(0, Theme("Reefs", {dtVEC, dtPOL7}));
    EXPECT_TRUE(CheckQueryOption(m));
    EXPECT_EQ(Titles(m.OverlayMAS), (std::vector<std::string>{"Reefs", "Seabirds", "Wrecks"}));
}
