// The map picture on a HiDPI screen, at the screen's pixel ratio (ctest runs these tests once
// more with QT_SCALE_FACTOR=2).
#include "MainWindowHarness.h"
#include "e2e/AtlasFixture.h"
#include "mapdef/MDFStruct.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using namespace corvane;
using namespace corvane::test;

namespace {

Colour DeviceAt(const QImage& image, int x, int y) { return FromQColor(QColor(image.pixel(x, y))); }

constexpr Colour kGrid = RGB(255, 255, 0);

} // namespace

TEST(HiDpiCanvas, OnePixelLinesCoverTheirDevicePixelsAndInvertBack)
{
    QImage image(80, 60, QImage::Format_RGB32);
    image.setDevicePixelRatio(2.0);
    image.fill(Qt::white);
    QtCanvas c(&image);
    EXPECT_EQ(c.Width(), 40);
    c.MoveTo(5, 10);
    c.LineTo(15, 10);   // the end point stays out
    c.End();
    EXPECT_EQ(DeviceAt(image, 10, 20), clBlack);
    EXPECT_EQ(DeviceAt(image, 29, 21), clBlack);
    EXPECT_EQ(DeviceAt(image, 30, 21), clWhite);
    EXPECT_EQ(DeviceAt(image, 12, 22), clWhite);
    const QImage before = image.copy();
    c.pen.mode = PenMode::Not;
    c.brush.style = BrushStyle::Clear;
    c.Rectangle(2, 2, 20, 12);
    c.End();
    EXPECT_EQ(DeviceAt(image, 5, 10), clBlack);
    EXPECT_EQ(DeviceAt(image, 6, 10), clWhite);
    c.Rectangle(2, 2, 20, 12);
    c.End();
    EXPECT_EQ(image, before);
}

namespace {

class HiDpiMapTest : public ::testing::Test, protected MainWindowHarness {
protected:
    void SetUp() override
    {
        CvVars::Reset();
        WriteCoastlines(dir, {30, 70, -40, 40, -10, 5, 3});
        WriteDataListOf(dir, {});
        Start(dir.Path(), dir / "cfg/corvane.ini");
        frm->OpenMapFile(dir.Write(
            "Grid.MDF", "[Map Definition]\r\nBackgroundColour=" + std::to_string(kSea) + "\r\nGrid_Colour=" +
                            std::to_string(kGrid) + "\r\nGrid_Scale=6\r\nBaseKey_Displayed=0\r\nOverlayKey_Displayed=0\r\n"
                            "[Window]\r\nXPos=0\r\nYPos=" + std::to_string(frm->frameGeometry().bottom() + 1) +
                            "\r\nWidth=420\r\nHeight=340\r\n[Lat_Lon]\r\nLat=40 60\r\nLon=-20 20\r\n"));
        Settle();
        map = Map();
        ASSERT_NE(map, nullptr);
        ratio = map->Picture().devicePixelRatio();
    }
    void TearDown() override { Stop(); }
    Colour At(double x, double y) const { return DeviceAt(map->Picture(), int(x * ratio), int(y * ratio)); }

    TempDir dir;
    TMapFrm* map = nullptr;
    double ratio = 1.0;
};

} // namespace

TEST_F(HiDpiMapTest, ThePictureHoldsTheDevicePixelsAndAGraticuleLineIsRatioWide)
{
    if (const QByteArray scale = qgetenv("QT_SCALE_FACTOR"); !scale.isEmpty()) {
        EXPECT_DOUBLE_EQ(ratio, scale.toDouble());
    }
    EXPECT_EQ(QSize(map->ClientWidth(), map->ClientHeight()), map->Image1->size());
    EXPECT_EQ(map->Picture().size(), map->Image1->size() * ratio);
    // Half way between two parallels each meridian is a run of grid colour one logical pixel
    // wide (at a ratio such as 1.5 the device columns of a logical one are one or two).
    const QImage& picture = map->Picture();
    const int row = int(map->ClientHeight() * ratio * 0.4);
    int runs = 0;
    for (int x = 0, end = 0; x < picture.width(); x = std::max(x + 1, end)) {
        for (end = x; end < picture.width() && DeviceAt(picture, end, row) == kGrid;) ++end;
        if (end == x) continue;
        const int column = int(std::ceil(x / ratio - 1e-9));   // the logical column starting there
        EXPECT_EQ(end - x, int((column + 1) * ratio) - int(column * ratio)) << "at device column " << x;
        ++runs;
    }
    EXPECT_EQ(runs, 3);   // 10 W, 0 and 10 E
}

TEST_F(HiDpiMapTest, TheZoomBoxFollowsTheMouseAndZoomsToTheLogicalArea)
{
    map->Menu.ZoomIn->trigger();
    const Colour edge = At(120, 150), beside = At(121, 150);
    const double lat = map->ScreenToLat(260), lon = map->ScreenToLon(310);
    QTest::mouseClick(map->Image1, Qt::LeftButton, {}, QPoint(120, 90));
    QTest::mouseMove(map->Image1, QPoint(310, 260));
    Settle();
    EXPECT_EQ(At(120, 150), 0xFFFFFFu - edge);
    EXPECT_EQ(At(120.5, 150), 0xFFFFFFu - edge);   // the box edge covers its whole logical column
    EXPECT_EQ(At(121, 150), beside);
    QTest::mouseClick(map->Image1, Qt::LeftButton, {}, QPoint(310, 260));
    Settle();
    EXPECT_NEAR(map->MDF->GetMinLat(), lat, 1e-9);
    EXPECT_NEAR(map->MDF->GetMaxLon(), lon, 1e-9);
}
