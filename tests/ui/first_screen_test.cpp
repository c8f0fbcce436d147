// The first start of the viewer as `make run` makes it, on the bundled sample atlas with empty
// settings, and the starts after it.
#include "MainWindowHarness.h"
#include "app/Startup.h"
#include "mapdef/MDFStruct.h"
#include "platform/StartMap.h"

#include <QMenu>

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;

namespace {

TEST(FirstScreen, TheSampleMapOnTheFirstStartThenTheMapOpenLastOrANewMap)
{
    CvVars::Reset();
    TempDir dir;
    const std::string atlas = SourceDir() + "/atlas";
    const std::string settings = dir / "cfg/corvane.ini";
    MainWindowHarness window;
    auto start = [&] {
        window.Start(atlas, settings);
        OpenFirstMap(*window.frm, "");
        MainWindowHarness::Settle();
        return MainWindowHarness::Map();
    };
    auto quit = [&] {
        window.frm->close();   // as the user closes the program: the settings are written
        MainWindowHarness::Settle();
        window.Stop();
    };

    // No folder stored yet: the dialogs offer the medium's maps.
    window.Start(atlas, settings);
    EXPECT_EQ(CvVars::DefaultDir, atlas + "/Maps/");
    window.Stop();

    TMapFrm* map = start();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->Filename, atlas + "/Maps/NorthSea.MDF");
    EXPECT_EQ(map->windowTitle(), "NorthSea.MDF");
    ASSERT_TRUE(map->MDF->NextMAS.First() && map->MDF->OverlayMAS.First());
    EXPECT_EQ(*map->MDF->NextMAS.First()->Title, "Distance from the coast");
    EXPECT_EQ(*map->MDF->OverlayMAS.First()->Title, "Coastal towns");
    EXPECT_TRUE(map->Menu.Query1->isEnabled() && map->Menu.Zoom1->menuAction()->isEnabled());
    // Drawn: the land filled in its colour (the Grampians), the graticule, both keys.
    auto pixel = [map](int x, int y) {
        const double r = map->Picture().devicePixelRatio();
        return FromQColor(QColor(map->Picture().pixel(static_cast<int>(x * r), static_cast<int>(y * r))));
    };
    EXPECT_EQ(pixel(map->LonToScreen(-3.6), map->LatToScreen(56.9)), map->MDF->Land_Plot_Fill_Colour);
    EXPECT_TRUE(map->MDF->Grid_Displayed && map->Menu.GraticuleDisplay->isChecked());
    EXPECT_EQ(pixel(map->LonToScreen(2), map->LatToScreen(57.3)), map->MDF->Grid_Colour);   // the 2 E meridian
    EXPECT_GT(map->BaseKeyPos.Width(), 0);
    EXPECT_GT(map->OverlayKeyPos.Width(), 0);
    EXPECT_EQ(pixel(map->BaseKeyPos.left, map->BaseKeyPos.top + 5), clBlack);   // the key's frame

    // Another map, open when the program closes, is the map of the next start.
    window.frm->OpenMapFile(atlas + "/Maps/Channel.MDF");
    MainWindowHarness::Settle();
    quit();
    map = start();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->Filename, atlas + "/Maps/Channel.MDF");

    // Reopening switched off in the Window menu: a new map, with its defaults.
    ASSERT_TRUE(window.frm->ReopenLastMap1->isChecked());
    map->Menu.ReopenLastMap1->trigger();
    EXPECT_FALSE(window.frm->ReopenLastMap1->isChecked());
    quit();
    map = start();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->Filename, "");
    EXPECT_EQ(map->windowTitle(), "Map Window");
    EXPECT_FALSE(window.frm->ReopenLastMap1->isChecked());
    quit();
}

} // namespace
