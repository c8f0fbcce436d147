// What resizing, maximising, restoring and moving the map window do to the map definition.
#include "mapdef/MapDefObj.h"
#include "mapdef/MapResize.h"
#include "platform/CvVars.h"

#include <gtest/gtest.h>

using namespace corvane;

namespace {

constexpr double kEps = 1e-9;

// A 1024 x 740 work area below a main window strip ending at row 100, with a window frame of
// 5 pixels a side and a 20-pixel caption: the map is 10 pixels narrower and 30 lower than
// its window, which stands at (100, 200), 600 x 400.
class MapResizeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CvVars::Reset();
        screen.workArea = {0, 0, 1024, 740};
        screen.mainWindowBottom = 100;
        screen.frame = {4, 4, 1, 1, 20};
        mdf.Create("");
        Resize(100, 200, 600, 400);
        box0 = Box();
        sx = mdf.GetOldMapWidth() / mdf.GetMainLonRange();
        sy = mdf.GetOldMapHeight() / mdf.GetMainLatRange();
    }
    void TearDown() override { CvVars::Reset(); }

    static WindowPlacement At(int32_t l, int32_t t, int32_t w, int32_t h, WindowState s = WindowState::Normal)
    {
        return {l, t, w, h, w - 10, h - 30, s};
    }
    void Resize(int32_t l, int32_t t, int32_t w, int32_t h, WindowState s = WindowState::Normal)
    {
        tag = ResizeMapExtents(mdf, tag, At(l, t, w, h, s));
    }
    struct Extents {
        double minLat, maxLat, minLon, maxLon;
    };
    Extents Box() const { return {mdf.GetMinLat(), mdf.GetMaxLat(), mdf.GetMinLon(), mdf.GetMaxLon()}; }
    // The map has the scale it had at the start.
    void ExpectScaleKept(double eps = kEps) const
    {
        EXPECT_NEAR(mdf.GetOldMapWidth() / mdf.GetMainLonRange(), sx, eps);
        EXPECT_NEAR(mdf.GetOldMapHeight() / mdf.GetMainLatRange(), sy, eps);
    }

    FixedScreenMetrics screen;
    TMapDefObj mdf{screen};
    int tag = kSizingNormal;
    Extents box0{};
    double sx = 0, sy = 0;   // pixels a degree across and down
};

TEST_F(MapResizeTest, DraggingAnEdgeShowsMoreOrLessMapOnThatSideAtTheSameScale)
{
    // Left edge 50 pixels in: the west loses 50 pixels, the east stays.
    Resize(150, 200, 550, 400);
    EXPECT_EQ(tag, kSizingNormal);
    EXPECT_NEAR(mdf.GetMinLon(), box0.minLon + 50 / sx, kEps);
    EXPECT_NEAR(mdf.GetMaxLon(), box0.maxLon, kEps);

    // Bottom edge 60 pixels up: the south loses 60 pixels, the north stays.
    Resize(150, 200, 550, 340);
    EXPECT_NEAR(mdf.GetMinLat(), box0.minLat + 60 / sy, kEps);
    EXPECT_NEAR(mdf.GetMaxLat(), box0.maxLat, kEps);

    // Top edge 40 pixels up: the north gains 40 pixels, the south stays.
    Resize(150, 160, 550, 380);
    EXPECT_NEAR(mdf.GetMaxLat(), box0.maxLat + 40 / sy, kEps);
    EXPECT_NEAR(mdf.GetMinLat(), box0.minLat + 60 / sy, kEps);
    ExpectScaleKept();

    // Each resize replaces the current entry; a minimised window only records its rectangle.
    EXPECT_EQ(mdf.ZoomDepth(), 1u);
    Resize(150, 160, 160, 30, WindowState::Minimised);
    EXPECT_EQ(mdf.GetWindowWidth(), 160);
    EXPECT_NEAR(mdf.GetMaxLat(), box0.maxLat + 40 / sy, kEps);
}

TEST_F(MapResizeTest, BothEdgesOfAnAxisMovedInOneReportKeepTheScale)
{
    // A left edge drag reported late: the left edge 40 pixels out, the right edge 20 in.
    Resize(60, 200, 620, 400);
    EXPECT_NEAR(mdf.GetMinLon(), box0.minLon - 40 / sx, kEps);
    EXPECT_NEAR(mdf.GetMaxLon(), box0.maxLon - 20 / sx, kEps);
    // And a top edge 30 pixels down with the bottom edge 10 down.
    Resize(60, 230, 620, 380);
    EXPECT_NEAR(mdf.GetMaxLat(), box0.maxLat - 30 / sy, kEps);
    EXPECT_NEAR(mdf.GetMinLat(), box0.minLat - 10 / sy, kEps);
    ExpectScaleKept();
}

TEST_F(MapResizeTest, MaximisingGrowsTheMapAtTheOldScaleAndRestoringReturnsToIt)
{
    // Over the work area below the main window: the old map's corner lies 100 pixels right of
    // the new one's and 100 down, whatever the frame.
    Resize(0, 100, 1024, 640, WindowState::Maximised);
    EXPECT_EQ(tag, kSizingMaximised);
    EXPECT_EQ(mdf.ZoomDepth(), 2u);
    EXPECT_NEAR(mdf.GetMinLon(), box0.minLon - 100 / sx, kEps);
    EXPECT_NEAR(mdf.GetMaxLat(), box0.maxLat + 100 / sy, kEps);
    ExpectScaleKept(1e-6);

    // Reported maximised once more (the work area changed): the maximised entry is replaced.
    Resize(0, 100, 1024, 600, WindowState::Maximised);
    EXPECT_EQ(mdf.ZoomDepth(), 2u);
    ExpectScaleKept(1e-6);

    Resize(100, 200, 600, 400);
    EXPECT_EQ(tag, kSizingNormal);
    EXPECT_EQ(mdf.ZoomDepth(), 1u);
    const Extents b = Box();
    EXPECT_NEAR(b.minLat, box0.minLat, kEps);
    EXPECT_NEAR(b.maxLat, box0.maxLat, kEps);
    EXPECT_NEAR(b.minLon, box0.minLon, kEps);
    EXPECT_NEAR(b.maxLon, box0.maxLon, kEps);
}

TEST_F(MapResizeTest, AMoveWithoutResizeIsTheReferenceForTheNextResize)
{
    // Part of a resize (the client no longer has the old map's size), or maximised: nothing.
    EXPECT_FALSE(NoteWindowMoved(mdf, At(130, 230, 620, 400)));
    EXPECT_FALSE(NoteWindowMoved(mdf, At(130, 230, 600, 400, WindowState::Maximised)));
    EXPECT_EQ(mdf.GetWindowLeft(), 100);

    ASSERT_TRUE(NoteWindowMoved(mdf, At(130, 230, 600, 400)));
    EXPECT_EQ(mdf.GetWindowLeft(), 130);
    EXPECT_EQ(mdf.GetOldWindowTop(), 230);
    EXPECT_EQ(mdf.GetOldMapHeight(), 370);

    // Then the bottom edge of the moved window goes up: the north keeps its latitude.
    Resize(130, 230, 600, 350);
    EXPECT_NEAR(mdf.GetMaxLat(), box0.maxLat, kEps);
    EXPECT_NEAR(mdf.GetMinLat(), box0.minLat + 50 / sy, kEps);
}

TEST_F(MapResizeTest, AChangedWorkAreaRefitsTheWindowBelowTheMainWindow)
{
    EXPECT_FALSE(RefreshWorkArea(mdf));
    screen.workArea = {0, 0, 1280, 900};
    ASSERT_TRUE(RefreshWorkArea(mdf));
    EXPECT_EQ(mdf.ZoomDepth(), 2u);
    EXPECT_EQ(mdf.UsableScreen, screen.workArea);
    EXPECT_EQ((ScreenRect{mdf.GetWindowLeft(), mdf.GetWindowTop(), mdf.GetWindowRight(), mdf.GetWindowBottom()}),
              (ScreenRect{0, 100, 1280, 900}));
    EXPECT_NEAR(mdf.GetMinLat() + mdf.GetMaxLat(), box0.minLat + box0.maxLat, kEps);
    EXPECT_FALSE(RefreshWorkArea(mdf));
}

} // namespace
