#include "TestUtil.h"
#include "catalogue/writers/DataListWriter.h"
#include "catalogue/writers/MasterFileWriter.h"
#include "mapdef/MDFStruct.h"
#include "mapdef/MapDefObj.h"
#include "mapdef/MenuState.h"
#include "platform/CvVars.h"
#include "platform/MessageSink.h"

#include <gtest/gtest.h>

#include <cmath>
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

std::vector<double> Box(const TMapDefObj& d) { return {d.GetMinLat(), d.GetMaxLat(), d.GetMinLon(), d.GetMaxLon()}; }

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

// An atlas in dir: a data list under the heading "Themes" naming one master file per theme,
// each with one data set of the theme's type (type 0, a text page, gets vectors) and Minlat
// set to its position in the list, so the tests can tell which file was read.
struct AtlasTheme {
    std::string title;
    uint8_t type;
};
void WriteAtlas(const TempDir& dir, const std::vector<AtlasTheme>& themes)
{
    std::vector<DataListEntry> entries = {{1, "Themes", 1, "XXXX"}};
    for (size_t i = 0; i < themes.size(); ++i) {
        std::string name = "T" + std::to_string(i) + ".MAS";
        entries.push_back({2, themes[i].title, themes[i].type == 0 ? 0 : 1, "CDROM:\\Themes\\" + name});
        MASStruct mas;
        mas.Minlat = static_cast<double>(i);
        mas.Number_Of_Datasets = 1;
        mas.NextDSD = std::make_unique<DSDStruct>();
        mas.NextDSD->Data_Type = themes[i].type == 0 ? uint8_t{dtVEC} : themes[i].type;
        mas.NextDSD->NextDFN = std::make_unique<DFNStruct>();
        mas.NextDSD->NextDFN->FileName = "CDROM:\\Data\\x.dat";
        dir.Write("Themes/" + name, WriteMasterFile(mas));
    }
    dir.Write("Misc/MainMenu.Dat", WriteDataList(entries));
    CvVars::CDROM = dir.Path();
    CvVars::DatalistFile = dir.Path() + "\\Misc\\MainMenu.Dat";
}

// A saved file without its "Window" section (which a reload reshapes).
std::string WithoutWindow(std::string t)
{
    size_t a = t.find("[Window]"), b = t.find("[Lat_Lon]");
    return a == std::string::npos || b < a ? t : t.erase(a, b - a);
}

std::string SavedWithoutWindow(const TMDFStruct& m, const TempDir& dir)
{
    EXPECT_TRUE(m.Save(dir / "saved.mdf"));
    return WithoutWindow(corvane::test::ReadFile(dir / "saved.mdf"));
}

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

TEST(MapDefObj, ABoxNoMapCanShowIsToldAndTheNewMapsBoxTakesItsPlace)
{
    TempDir dir;
    auto screen = Desktop();
    TMapDefObj d(screen);
    const std::vector<double> newMap{45, 65, -15, 15};
    // An absent key takes the new map's range, without a word.
    d.Create(dir / "missing.mdf");
    EXPECT_EQ(Box(d), newMap);
    Load(d, dir, "", "Lat=30 40\r\n");
    EXPECT_EQ(Box(d), (std::vector<double>{30, 40, -15, 15}));
    EXPECT_EQ(d.BoxProblem, "");
    const std::string outside = "the box lies outside latitudes -90..90 and longitudes -180..180";
    for (const auto& [latLon, why] : std::vector<std::pair<std::string, std::string>>{
             {"Lat=  30\r\nLon=0 20.5\r\n", "Lat = 30, Lon = 0 20.5 : the maximum is missing"},
             {"Lat=30 40\r\nLon=abc  20.5\r\n", "Lat = 30 40, Lon = abc  20.5 : \"abc\" is not a number"},
             {"Lat=1e999 1e-3\r\nLon=0 1\r\n", "Lat = 1e999 1e-3, Lon = 0 1 : \"1e999\" is not a number"},
             {"Lat=65 45\r\nLon=-15 15\r\n", "Lat = 65 45, Lon = -15 15 : the minimum latitude is not below the maximum"},
             {"Lat=45 65\r\nLon=0 0\r\n", "Lat = 45 65, Lon = 0 0 : the minimum longitude is not below the maximum"},
             {"Lat=90 120\r\nLon=0 10\r\n", "Lat = 90 120, Lon = 0 10 : " + outside},
             {"Lat=80 1000\r\nLon=0 10\r\n", "Lat = 80 1000, Lon = 0 10 : " + outside},
             {"Lat=0 10\r\nLon=-300 -180\r\n", "Lat = 0 10, Lon = -300 -180 : " + outside}}) {
        Load(d, dir, "", latLon);
        EXPECT_EQ(Box(d), newMap) << latLon;
        EXPECT_EQ(d.BoxProblem, why);
    }
    // A box a little past the poles and the date line, as zooming out on a wide window makes
    // one, is kept; so is one in a window of absurd size.
    Load(d, dir, "", "Lat=-100 100\r\nLon=-200 200\r\n");
    EXPECT_EQ(Box(d), (std::vector<double>{-100, 100, -200, 200}));
    EXPECT_EQ(d.BoxProblem, "");
    Load(d, dir, "XPos=9999999999\r\nWidth=-2147483648\r\nHeight=$7FFFFFFF\r\n", "Lat=1 2\r\nLon=0 1e-3\r\n");
    EXPECT_EQ(Box(d), (std::vector<double>{1, 2, 0, 1e-3}));
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
    // Too wide for the box: taller, downwards; then pushed up from the bottom edge just as far
    // as it must go; finally cut at the main window and made narrower instead.
    EXPECT_EQ(zoom({0, 100, 400, 300}, 40, 40), (ScreenRect{0, 100, 400, 500}));
    EXPECT_EQ(zoom({0, 300, 400, 500}, 40, 40), (ScreenRect{0, 300, 400, 700}));
    EXPECT_EQ(zoom({0, 400, 400, 600}, 40, 40), (ScreenRect{0, 340, 400, 740}));
    EXPECT_EQ(zoom({0, 150, 400, 350}, 80, 40), (ScreenRect{0, 100, 320, 740}));
    // Pushed up past the main window's bottom but still inside the work area: the window stops
    // at the main window (not at the work area's top) and is made narrower.
    EXPECT_EQ(zoom({0, 150, 400, 350}, 70, 40), (ScreenRect{0, 100, 366, 740}));

    // A work area that does not start at the screen's left edge (a dock on the left): the
    // window still gets exactly the width the box needs.
    auto docked = Desktop();
    docked.workArea = {100, 0, 1124, 740};
    TMapDefObj e(docked);
    e.Create("");
    CvVars::LatLonScale = 1.0;
    e.NewZoom(600, 100, 1000, 300, 0, 0, 40, 10, AreaPriority);
    EXPECT_EQ(Rect(e), (ScreenRect{324, 100, 1124, 300}));
    e.NewZoom(300, 100, 700, 300, 0, 0, 40, 10, AreaPriority);
    EXPECT_EQ(Rect(e), (ScreenRect{300, 100, 1100, 300}));
}

TEST(MapDefObj, WindowPriorityMakesTheBoxTallerForATallWindow)
{
    auto screen = Desktop();
    TMapDefObj d(screen);
    d.Create("");
    CvVars::LatLonScale = 2.0;
    d.NewZoom(0, 100, 100, 500, 10, 50, 20, 60, WindowPriority);   // window 1:4, box 2:1 on the ground
    EXPECT_EQ(Rect(d), (ScreenRect{0, 100, 100, 500}));
    EXPECT_EQ(Box(d), (std::vector<double>{45, 65, 10, 20}));
}

TEST(MapDefObj, LatLonRealsHaveTheTwentyThreeCharacterForm)
{
    EXPECT_EQ(FormatLatLonReal(45.0), " 4.50000000000000E+0001");
    EXPECT_EQ(FormatLatLonReal(-0.001234), "-1.23400000000000E-0003");
    EXPECT_EQ(FormatLatLonReal(9.999999999999999), " 1.00000000000000E+0001");
    EXPECT_EQ(FormatLatLonReal(1e300), " 1.00000000000000E+0300");
}

TEST(MDFStruct, AbsentKeysTakeTheFileDefaultsNotTheNewMapOnes)
{
    TempDir dir;
    auto screen = Desktop();
    RecordingMessageSink sink;
    WriteAtlas(dir, {{"Wrecks", dtSYX}});
    MDFLoadResult r = TMDFStruct::Create(dir.Write("b.mdf", "[Base]\r\nTitle1=Gone\r\n"), screen, sink);
    ASSERT_TRUE(r) << r.Error;
    const TMDFStruct& m = *r.MDF;
    EXPECT_EQ(SavedWithoutWindow(m, dir),
              "[Map Definition]\r\nVersion=1\r\nBackgroundColour=1\r\nLand_Plot_Style=1\r\nLand_Plot_Colour=1\r\n"
              "Land_Plot_Fill_Colour=1\r\nGrid_Displayed=1\r\nGrid_Colour=1\r\nGrid_Scale=1\r\nGrid_Style=1\r\n"
              "Grid_Format=DMS\r\nCursor_Format=DMS\r\nBaseKey_Displayed=1\r\nOverlayKey_Displayed=1\r\n"
              "Box_Shape_Fixed=0\r\nZoom_Level_Fixed=0\r\nKey Background=1\r\nKey Foreground=1\r\nKey Caption=1\r\n"
              "BasePos=2\r\nOverlayPos=3\r\n\r\n[Lat_Lon]\r\nLat= 4.50000000000000E+0001  6.50000000000000E+0001\r\n"
              "Lon=-1.50000000000000E+0001  1.50000000000000E+0001\r\n\r\n[Base]\r\nTitle1=Gone\r\n");
    // The data list no longer has the title: it is not drawn, but kept for saving, and told.
    EXPECT_TRUE(m.NextMAS.Empty());
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"The theme \"Gone\" is not in the data list " + dir.Path() +
                                                     "/Misc/MainMenu.Dat : It is kept in the map definition, but not used."});
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
    WriteAtlas(dir, {{"Reefs", dtVEC}, {"Wrecks", dtSYX}, {"Introduction", 0}});
    MDFLoadResult r = TMDFStruct::Create(
        dir.Write("t.mdf", "[Base]\r\nTitle1=wrecks\r\nTitle3=Wrecks\r\n[Overlay]\r\nTitle1=Wrecks\r\nTitle2=Gone\r\n"
                           "title3=Wrecks\r\n[Text]\r\nTitle1=(Text) Introduction\r\n"),
        screen, sink);
    ASSERT_TRUE(r) << r.Error;
    EXPECT_EQ(Titles(r.MDF->NextMAS), std::vector<std::string>{"wrecks"});
    EXPECT_EQ(Titles(r.MDF->OverlayMAS), (std::vector<std::string>{"Wrecks", "Wrecks"}));
    EXPECT_EQ(Titles(r.MDF->TextMAS), std::vector<std::string>{"(Text) Introduction"});
    EXPECT_EQ(r.MDF->OverlayMAS.First()->NextMAS, r.MDF->OverlayMAS.Last());
    EXPECT_NE(r.MDF->OverlayMAS.First(), r.MDF->OverlayMAS.Last());   // two themes, not one twice
    // The master files were read: the theme's extents and data set came from "Wrecks".
    EXPECT_EQ(r.MDF->NextMAS.First()->Minlat, 1.0);
    EXPECT_EQ(r.MDF->OverlayMAS.Last()->NextDSD->Data_Type, dtSYX);
    EXPECT_EQ(r.MDF->TextMAS.First()->Minlat, 2.0);
    ASSERT_EQ(sink.messages.size(), 1u);   // the title the data list does not hold
    EXPECT_NE(sink.messages[0].text.find("\"Gone\""), std::string::npos);
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

    WriteAtlas(dir, {{"Bathymetry", dtRLE}, {"Sediments", dtPOL8}, {"Wrecks", dtSYX}, {"Seabirds", dtSYM},
                     {"Introduction", 0}});
    MDFLoadResult back = TMDFStruct::Create(path, screen, sink);
    ASSERT_TRUE(back) << back.Error;
    EXPECT_EQ(SavedWithoutWindow(*back.MDF, dir), WithoutWindow(expected));

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
    std::vector<DataListEntry> entries;
    std::string text = "[Overlay]\r\n";
    for (int n = 1; n <= 5000; ++n) {
        text += "Title" + std::to_string(n) + "=T" + std::to_string(n) + "\r\n";
        entries.push_back({1, "T" + std::to_string(n), 1, "CDROM:\\x.MAS"});
    }
    dir.Write("x.MAS", WriteMasterFile(MASStruct()));
    dir.Write("MainMenu.Dat", WriteDataList(entries));
    CvVars::CDROM = dir.Path();
    CvVars::DatalistFile = dir / "MainMenu.Dat";
    MDFLoadResult r = TMDFStruct::Create(dir.Write("many.mdf", text), screen, sink);
    ASSERT_TRUE(r);
    EXPECT_EQ(r.MDF->OverlayMAS.Count(), size_t(TMDFStruct::MaxTitlesPerSection));
    EXPECT_EQ(sink.messages.size(), 1u);

    // A data list that cannot be read is reported once, not once per title.
    sink.Clear();
    CvVars::DatalistFile = dir / "None.Dat";
    r = TMDFStruct::Create(dir.Write("b.mdf", "[Base]\r\nTitle1=A\r\nTitle2=B\r\n[Text]\r\nTitle1=C\r\n"), screen, sink);
    ASSERT_TRUE(r);
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"There is a problem opening file " + CvVars::DatalistFile + "."});
    EXPECT_TRUE(r.MDF->NextMAS.Empty());

    // A box no map can show is told once, naming the file and its values.
    sink.Clear();
    r = TMDFStruct::Create(dir.Write("swapped.mdf", "[Lat_Lon]\r\nLat=65 45\r\nLon=-15 15\r\n"), screen, sink);
    ASSERT_TRUE(r);
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"The box of the map definition file " + dir / "swapped.mdf" +
                                                     " cannot be shown: Lat = 65 45, Lon = -15 15 : the minimum "
                                                     "latitude is not below the maximum"});

    // A file of more than 8 MB is not read at all, and not taken for an empty map either.
    const std::string huge = dir / "huge.mdf";
    ASSERT_EQ(::truncate(dir.Write("huge.mdf", "[Map Definition]\r\nBasePos=9\r\n").c_str(), 9 << 20), 0);
    r = TMDFStruct::Create(huge, screen, sink);
    EXPECT_FALSE(r);
    EXPECT_EQ(r.Error, "Unable to read the map definition file " + huge + " (it is larger than the limit of 8 MB)");
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
