// Zooming, moving and measuring in the real map window on the offscreen platform, driven by
// mouse, wheel and key events, on a small atlas written by our own writers.
#include "MainWindowHarness.h"
#include "dialogs/GeographicSearch.h"
#include "e2e/AtlasFixture.h"
#include "interact/Captions.h"
#include "layers/Distance.h"
#include "mapdef/MDFStruct.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QToolButton>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>

using namespace corvane;
using namespace corvane::test;

namespace {

class ZoomWindowTest : public ::testing::Test, protected MainWindowHarness {
protected:
    void SetUp() override
    {
        CvVars::Reset();
        RouteStore = DistanceStore();
        WriteCoastlines(dir, {30, 70, -40, 40, -10, 5, 3});
        WriteSquare(dir, "Themes/Square.POL", 48, -6, 52, 0);
        dir.Write("Themes/Squares.MAS", ThemeText({{8, false, {{"CDROM:\\Themes\\Square.POL", 0}}}}, 12));
        WriteDataListOf(dir, {{"Squares", "Themes\\Squares.MAS"}});
        Start(dir.Path(), dir / "cfg/corvane.ini");

        // 40..60 N, 20 W..20 E with the squares as overlay, in a 500 x 420 window.
        const int top = frm->frameGeometry().bottom() + 1;
        const std::string path = dir.Write(
            "Harbour.MDF", "[Map Definition]\r\nBackgroundColour=" + std::to_string(kSea) +
                               "\r\nLand_Plot_Fill_Colour=" + std::to_string(kLandFill) +
                               "\r\nGrid_Displayed=0\r\nBaseKey_Displayed=0\r\nOverlayKey_Displayed=0\r\n"
                               "[Window]\r\nXPos=0\r\nYPos=" + std::to_string(top) +
                               "\r\nWidth=500\r\nHeight=420\r\n[Lat_Lon]\r\nLat=40 60\r\nLon=-20 20\r\n"
                               "[Overlay]\r\nTitle1=Squares\r\n");
        frm->OpenMapFile(path);
        Settle();
        map = Map();
        ASSERT_NE(map, nullptr);
        map->activateWindow();
        Settle();
        sink.Clear();
    }
    void TearDown() override
    {
        Stop();
        RouteStore = DistanceStore();
    }

    // The mouse as a user moves it: to the point, then pressed and released there.
    void MoveTo(int x, int y) { QTest::mouseMove(map->Image1, QPoint(x, y)); }
    void ClickAt(int x, int y, Qt::MouseButton b = Qt::LeftButton)
    {
        MoveTo(x, y);
        QTest::mouseClick(map->Image1, b, {}, QPoint(x, y));
        Settle();
    }
    void Wheel(int units, int x, int y, qint64 ms)
    {
        QWheelEvent e(QPointF(x, y), QPointF(map->Image1->mapToGlobal(QPoint(x, y))), QPoint(), QPoint(0, units),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        e.setTimestamp(static_cast<quint64>(ms));
        QApplication::sendEvent(map->Image1, &e);
        Settle();
    }
    void OpenZoomMenu() { emit map->Menu.Zoom1->aboutToShow(); }

    GeoBox Extents() const
    {
        return {map->MDF->GetMinLat(), map->MDF->GetMaxLat(), map->MDF->GetMinLon(), map->MDF->GetMaxLon()};
    }
    static void ExpectSame(const GeoBox& a, const GeoBox& b)
    {
        EXPECT_NEAR(a.minLat, b.minLat, 1e-9);
        EXPECT_NEAR(a.maxLat, b.maxLat, 1e-9);
        EXPECT_NEAR(a.minLon, b.minLon, 1e-9);
        EXPECT_NEAR(a.maxLon, b.maxLon, 1e-9);
    }
    // Marks the picture's corner; a plot paints over it.
    void Mark() { map->ImageCanvas()->SetPixel(0, 0, 0x123456); }
    bool Plotted() const { return FromQColor(QColor(map->Picture().pixel(0, 0))) != 0x123456; }
    // The colour at logical pixel (x, y), whatever the screen's pixel ratio.
    static Colour PixelOf(const QImage& image, double x, double y)
    {
        const double r = image.devicePixelRatio();
        return FromQColor(QColor(image.pixel(static_cast<int>(x * r), static_cast<int>(y * r))));
    }
    Colour PixelAt(double x, double y) const { return PixelOf(map->Picture(), x, y); }

    TempDir dir;
    TMapFrm* map = nullptr;
};

TEST_F(ZoomWindowTest, ABoxDraggedEitherWayZoomsToTheSameAreaAndPreviousStepsBack)
{
    const GeoBox start = Extents();
    OpenZoomMenu();
    EXPECT_FALSE(map->Menu.ZoomOutPrevious->isEnabled());
    EXPECT_TRUE(map->Menu.ZoomIn->isEnabled() && map->Menu.ZoomOutOverlay->isEnabled());
    map->Menu.ZoomIn->trigger();
    EXPECT_EQ(map->ChkZoom, StartZoom);
    EXPECT_EQ(map->Image1->cursor().shape(), Qt::BitmapCursor);   // the zoom cursor

    const GeoBox area{map->ScreenToLat(260), map->ScreenToLat(90), map->ScreenToLon(120), map->ScreenToLon(310)};
    ClickAt(120, 90);
    ClickAt(310, 260);
    ExpectSame(Extents(), area);
    EXPECT_EQ(map->MDF->ZoomDepth(), 2u);
    EXPECT_EQ(map->ChkZoom, StartZoom);   // ready for the next box

    OpenZoomMenu();
    EXPECT_TRUE(map->Menu.ZoomOutPrevious->isEnabled());
    map->Menu.ZoomOutPrevious->trigger();
    Settle();
    ExpectSame(Extents(), start);
    EXPECT_EQ(map->MDF->ZoomDepth(), 1u);

    map->Menu.ZoomIn->trigger();
    ClickAt(310, 260);   // from bottom right to top left
    ClickAt(120, 90);
    ExpectSame(Extents(), area);
}

TEST_F(ZoomWindowTest, APressDragReleaseBoxZoomsAsClickMoveClickWithTheStatusLineSayingWhatComesNext)
{
    auto line = [this] { return map->ModeLine->isVisible() ? map->ModeLine->text().toStdString() : std::string(); };
    EXPECT_EQ(line(), "");
    map->Menu.ZoomIn->trigger();
    EXPECT_EQ(line(), "Zoom in: click the first corner of the box — or drag it; right click: stop zooming");
    ClickAt(120, 90);
    MoveTo(310, 260);
    EXPECT_EQ(line(), "Zoom in: click the opposite corner of the box; right click: take the box back");
    ClickAt(310, 260);
    const GeoBox clicked = Extents();
    ASSERT_EQ(map->MDF->ZoomDepth(), 2u);
    map->Menu.ZoomOutPrevious->trigger();
    Settle();

    // The same box pressed at one corner, dragged and released at the other.
    MoveTo(120, 90);
    QTest::mousePress(map->Image1, Qt::LeftButton, {}, QPoint(120, 90));
    QTest::mouseMove(map->Image1, QPoint(200, 170));
    EXPECT_EQ(map->ChkZoom, EndZoom);
    EXPECT_EQ(line(), "Zoom in: release the button at the opposite corner of the box");
    QTest::mouseRelease(map->Image1, Qt::LeftButton, {}, QPoint(310, 260));
    Settle();
    ExpectSame(Extents(), clicked);
    EXPECT_EQ(map->MDF->ZoomDepth(), 2u);
    EXPECT_EQ(map->ChkZoom, StartZoom);

    // A press and a release two pixels apart are a click: the box waits for its other corner.
    QTest::mousePress(map->Image1, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseRelease(map->Image1, Qt::LeftButton, {}, QPoint(52, 51));
    Settle();
    EXPECT_EQ(map->ChkZoom, EndZoom);
    EXPECT_EQ(map->MDF->ZoomDepth(), 2u);
    ClickAt(60, 60, Qt::RightButton);
    ClickAt(60, 60, Qt::RightButton);
    EXPECT_EQ(map->ChkZoom, NoZoom);
    EXPECT_EQ(line(), "");
}

TEST_F(ZoomWindowTest, TheUsualKeysReachTheirCommandsFromTheMapWindowAndTheMainWindow)
{
    for (QWidget* w : {static_cast<QWidget*>(map->Image1), static_cast<QWidget*>(frm.get())}) {
        SCOPED_TRACE(w->objectName().toStdString());
        w->window()->activateWindow();   // keys go to the window that is active
        Settle();
        const size_t opened = dialogs.openRequests.size();
        QTest::keyClick(w, Qt::Key_O, Qt::ControlModifier);   // cancelled: nothing opens
        EXPECT_EQ(dialogs.openRequests.size(), opened + 1);
        const int printed = dialogs.printRequests;
        QTest::keyClick(w, Qt::Key_P, Qt::ControlModifier);
        EXPECT_EQ(dialogs.printRequests, printed + 1);
        map->NeedToSave = true;
        QTest::keyClick(w, Qt::Key_S, Qt::ControlModifier);
        EXPECT_FALSE(map->NeedToSave);
        QApplication::clipboard()->clear();
        QTest::keyClick(w, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QApplication::clipboard()->image().size(), map->Picture().size());
        // Alt+Left steps back to the previous zoom; F5 redraws a map marked for it.
        Wheel(120, 200, 200, 10000 + dialogs.printRequests * 1000);
        ASSERT_EQ(map->MDF->ZoomDepth(), 2u);
        QTest::keyClick(w, Qt::Key_Left, Qt::AltModifier);
        Settle();
        EXPECT_EQ(map->MDF->ZoomDepth(), 1u);
        map->SetRedrawEnabled(true);
        Mark();
        QTest::keyClick(w, Qt::Key_F5);
        EXPECT_TRUE(Plotted());
        // Alt and a menu's letter open that menu of the main window's menu bar.
        QTest::keyClick(w, Qt::Key_Z, Qt::AltModifier);
        EXPECT_TRUE(map->Menu.Zoom1->isVisible());
        map->Menu.Zoom1->close();
        Settle();
    }
    EXPECT_EQ(frm->New1->shortcut(), QKeySequence("Ctrl+N"));
    QTest::keyClick(map->Image1, Qt::Key_N, Qt::ControlModifier);
    Settle();
    ASSERT_NE(Map(), nullptr);
    EXPECT_EQ(Map()->Filename, "");
    QTest::keyClick(Map()->Image1, Qt::Key_Q, Qt::ControlModifier);
    Settle();
    EXPECT_FALSE(frm->isVisible());
}

TEST_F(ZoomWindowTest, ARightClickRemovesTheBoxAndASecondLeavesZoomMode)
{
    map->Menu.ZoomIn->trigger();
    const QImage before = map->Picture().copy();
    ClickAt(100, 100);
    MoveTo(200, 180);
    ASSERT_EQ(map->ChkZoom, EndZoom);
    // The box's edge is inverted over the map, on every device pixel of its logical row.
    EXPECT_EQ(PixelAt(150, 100), ~PixelOf(before, 150, 100) & 0xFFFFFF);
    EXPECT_EQ(PixelAt(150, 100.5), ~PixelOf(before, 150, 100.5) & 0xFFFFFF);
    EXPECT_EQ(PixelAt(150, 101), PixelOf(before, 150, 101));
    ClickAt(200, 180, Qt::RightButton);
    EXPECT_EQ(map->ChkZoom, StartZoom);
    EXPECT_EQ(map->Picture(), before);
    ClickAt(200, 180, Qt::RightButton);
    EXPECT_EQ(map->ChkZoom, NoZoom);
    EXPECT_EQ(map->Image1->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(map->MDF->ZoomDepth(), 1u);
}

TEST_F(ZoomWindowTest, RepositionBy100PixelsMovesTheExtentsBy100PixelsWorth)
{
    const GeoBox start = Extents();
    const double perPixel = map->MDF->GetMainLonRange() / map->ClientWidth();
    OpenZoomMenu();
    map->Menu.Reposition->trigger();
    ClickAt(100, 150);
    Mark();
    ClickAt(200, 150);
    EXPECT_TRUE(Plotted());
    ExpectSame(Extents(), {start.minLat, start.maxLat, start.minLon - 100 * perPixel, start.maxLon - 100 * perPixel});
    EXPECT_EQ(map->MDF->ZoomDepth(), 1u);
    EXPECT_TRUE(map->ChkRepo == StartRepo && map->Resizeable);
}

TEST_F(ZoomWindowTest, WhereAmIShowsTheViewOnTheOutermostMapAndAClickReturns)
{
    map->Menu.ZoomIn->trigger();
    ClickAt(150, 120);
    ClickAt(250, 200);
    const GeoBox zoomed = Extents();
    const QString caption = map->windowTitle();
    OpenZoomMenu();   // ends zoom mode
    map->Menu.WhereAmI->trigger();
    Settle();
    EXPECT_EQ(map->windowTitle(), "Where Am I?");
    EXPECT_TRUE(CvVars::bWhereAmI);
    EXPECT_NEAR(map->MDF->GetMinLat(), 40, 1e-9);
    EXPECT_FALSE(frm->MenuBarEntries()[4]->isEnabled());   // the merged bar's "Zoom"
    EXPECT_FALSE(map->Menu.Query1->isEnabled() || map->Menu.ViewBackground->isEnabled());
    EXPECT_TRUE(map->Timer1->isActive() && map->Timer1Tag == 0);
    map->FormActivate();   // coming back to the window keeps them grey
    EXPECT_FALSE(frm->MenuBarEntries()[4]->isEnabled() || map->Menu.ViewLand->menuAction()->isEnabled());
    // The view's rectangle in the window frame colour.
    const int l = map->LonToScreen(zoomed.minLon), t = map->LatToScreen(zoomed.maxLat);
    const int r = map->LonToScreen(zoomed.maxLon);
    const Colour frame = FromQColor(map->palette().color(QPalette::WindowText));
    EXPECT_EQ(PixelAt((l + r) / 2, t), frame);
    EXPECT_EQ(PixelAt((l + r) / 2, t - 3), frame);
    // The timer flashes the marker between the two: the view it came from, not the one shown.
    map->Timer1Timer();
    EXPECT_EQ(PixelAt((l + r) / 2, t - 1), clWhite);

    ClickAt(10, 10);
    EXPECT_FALSE(CvVars::bWhereAmI);
    ExpectSame(Extents(), zoomed);
    EXPECT_EQ(map->windowTitle(), caption);
    EXPECT_TRUE(frm->MenuBarEntries()[4]->isEnabled() && map->Menu.ViewBackground->isEnabled());
    EXPECT_FALSE(map->Timer1->isActive());
    EXPECT_EQ(map->MDF->ZoomDepth(), 2u);
}

TEST_F(ZoomWindowTest, AWheelNotchUpThenDownReturnsWithAnEntryEach)
{
    const GeoBox start = Extents();
    const double lat = map->ScreenToLat(150), lon = map->ScreenToLon(120);
    Wheel(120, 120, 150, 10000);
    EXPECT_EQ(map->MDF->ZoomDepth(), 2u);
    EXPECT_NEAR(map->MDF->GetMainLatRange(), (start.maxLat - start.minLat) / kZoomStep, 1e-9);
    EXPECT_NEAR(map->ScreenToLat(150), lat, 1e-9);   // the place under the mouse stays
    EXPECT_NEAR(map->ScreenToLon(120), lon, 1e-9);
    Wheel(-120, 120, 150, 20000);
    EXPECT_EQ(map->MDF->ZoomDepth(), 3u);
    ExpectSame(Extents(), start);

    // A touchpad's small steps in one gesture make one entry.
    for (int i = 0; i < 12; ++i) Wheel(30, 200, 200, 30000 + i * 10);
    EXPECT_EQ(map->MDF->ZoomDepth(), 4u);
    EXPECT_NEAR(map->MDF->GetMainLatRange(), (start.maxLat - start.minLat) / std::pow(kZoomStep, 3), 1e-9);
}

TEST_F(ZoomWindowTest, PlusMinusAndTheArrowKeys)
{
    const GeoBox start = Extents();
    QTest::keyClick(map->Image1, '+');
    EXPECT_NEAR(map->MDF->GetMainLonRange(), (start.maxLon - start.minLon) / kZoomStep, 1e-9);
    QTest::keyClick(map->Image1, '-');
    ExpectSame(Extents(), start);
    EXPECT_EQ(map->MDF->ZoomDepth(), 3u);

    const double tenth = (map->ClientWidth() / 10) * map->MDF->GetMainLonRange() / map->ClientWidth();
    QTest::keyClick(map->Image1, Qt::Key_Right);
    EXPECT_NEAR(map->MDF->GetMinLon(), start.minLon + tenth, 1e-9);
    QTest::keyClick(map->Image1, Qt::Key_Left);
    ExpectSame(Extents(), start);
    EXPECT_EQ(map->MDF->ZoomDepth(), 3u);
}

TEST_F(ZoomWindowTest, EscLeavesEachModeAsARightClick)
{
    map->Menu.ZoomIn->trigger();
    ClickAt(50, 50);
    QTest::keyClick(map->Image1, Qt::Key_Escape);
    EXPECT_EQ(map->ChkZoom, StartZoom);
    QTest::keyClick(map->Image1, Qt::Key_Escape);
    EXPECT_EQ(map->ChkZoom, NoZoom);

    map->Menu.Reposition->trigger();
    ClickAt(50, 50);
    QTest::keyClick(map->Image1, Qt::Key_Escape);
    EXPECT_EQ(map->ChkRepo, StartRepo);
    QTest::keyClick(map->Image1, Qt::Key_Escape);
    EXPECT_EQ(map->ChkRepo, NoRepo);

    emit map->Menu.Distance1->aboutToShow();
    ClickAt(50, 50);
    QTest::keyClick(map->Image1, Qt::Key_Escape);
    EXPECT_EQ(map->ChkDistance, StartDistance);
    QTest::keyClick(map->Image1, Qt::Key_Escape);
    EXPECT_EQ(map->ChkDistance, NoDistance);

    map->Menu.WhereAmI->trigger();
    Settle();
    QTest::keyClick(map->Image1, Qt::Key_Escape);
    EXPECT_FALSE(CvVars::bWhereAmI);
    EXPECT_EQ(map->windowTitle(), map->MapCaption());
}

TEST_F(ZoomWindowTest, AThreeLegRouteInKilometres)
{
    map->Menu.Kilometres1->trigger();
    EXPECT_TRUE(map->Menu.Kilometres1->isChecked() && !map->Menu.NauticalMiles1->isChecked());
    const QImage before = map->Picture().copy();
    const QString caption = map->windowTitle();
    emit map->Menu.Distance1->aboutToShow();
    const QPoint pts[4] = {{100, 100}, {200, 100}, {200, 250}, {350, 300}};
    ClickAt(pts[0].x(), pts[0].y());
    ClickAt(pts[1].x(), pts[1].y());
    ClickAt(pts[2].x(), pts[2].y());
    MoveTo(pts[3].x(), pts[3].y());
    QTest::mouseClick(map->Image1, Qt::LeftButton, {}, pts[3]);
    QTest::mouseDClick(map->Image1, Qt::LeftButton, {}, pts[3]);
    Settle();
    EXPECT_EQ(map->ChkDistance, StopDistance);

    double total = 0, leg = 0;
    for (int i = 1; i < 4; ++i) {
        leg = Great_Circle_NM(map->ScreenToLat(pts[i - 1].y()), map->ScreenToLon(pts[i - 1].x()),
                              map->ScreenToLat(pts[i].y()), map->ScreenToLon(pts[i].x()));
        total += leg;
    }
    EXPECT_EQ(map->windowTitle().toStdString(), DistanceCaption(leg, total, DistanceUnit::Kilometres));
    EXPECT_NE(map->windowTitle().indexOf(" kilometres out of "), -1);
    // The status line under the map gives the legs and their total as well.
    char sum[32];
    std::snprintf(sum, sizeof sum, " = %.2f kilometres", DistanceInUnit(total, DistanceUnit::Kilometres));
    EXPECT_TRUE(map->ModeLine->isVisible());
    EXPECT_NE(map->ModeLine->text().toStdString().find(sum), std::string::npos) << map->ModeLine->text().toStdString();
    // Each leg is drawn inverted over the map; the double click stopped the rubber line.
    const QImage route = map->Picture().copy();
    EXPECT_EQ(PixelAt(150, 100), ~PixelOf(before, 150, 100) & 0xFFFFFF);
    EXPECT_EQ(PixelAt(200, 175), ~PixelOf(before, 200, 175) & 0xFFFFFF);
    MoveTo(400, 200);
    Settle();
    EXPECT_EQ(map->Picture(), route);

    // Opening the Zoom menu ends the measurement: lines erased, caption back.
    OpenZoomMenu();
    EXPECT_EQ(map->ChkDistance, NoDistance);
    EXPECT_EQ(map->Picture(), before);
    EXPECT_EQ(map->windowTitle(), caption);
}

// Answers the geographic search dialog once it is shown.
void WhenDialogShows(std::function<void(TGeographicSearch&)> answer)
{
    QTimer::singleShot(0, [answer] {
        auto* d = qobject_cast<TGeographicSearch*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        answer(*d);
    });
}

TEST_F(ZoomWindowTest, ExactZoomsToTheBoxTypedAndRefusesAnEmptyOne)
{
    bool refused = false;
    WhenDialogShows([&](TGeographicSearch& d) {
        EXPECT_EQ(d.windowTitle(), "Geographic Search");
        // Filled from the extents: 60 N, 40 N, 20 W, 20 E.
        EXPECT_TRUE(d.Deg[0]->value() == 60 && d.Deg[1]->value() == 40 && d.Deg[2]->value() == 20);
        EXPECT_TRUE(d.Hemi[2]->text() == "W" && d.Hemi[3]->text() == "E");
        d.Deg[0]->setValue(50), d.Min[0]->setValue(30);
        d.Deg[1]->setValue(50), d.Min[1]->setValue(30);
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
        refused = d.isVisible() && sink.Contains("Invalid longitude or latitude range");
        // Typed letters: "s" turns N to S, "x" does nothing.
        QTest::keyClick(d.Hemi[1], 'x');
        EXPECT_EQ(d.Hemi[1]->text(), "N");
        QTest::keyClick(d.Hemi[1], 's');
        EXPECT_EQ(d.Hemi[1]->text(), "S");
        d.Deg[1]->setValue(10), d.Min[1]->setValue(0);   // 10 S
        d.Deg[2]->setValue(5), d.Deg[3]->setValue(2);    // 5 W .. 2 E
        QTest::mouseClick(d.DPanel1, Qt::LeftButton);    // decimal degrees
        EXPECT_EQ(d.Edit[0]->text(), "50.5000");
        EXPECT_TRUE(d.Edit[0]->isVisible() && !d.Deg[0]->isVisible() && !d.MPanel1->isVisible());
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    });
    Mark();
    map->Exact1Click();
    Settle();
    EXPECT_TRUE(refused);
    ExpectSame(Extents(), {-10, 50.5, -5, 2});
    EXPECT_TRUE(Plotted());
    EXPECT_EQ(map->MDF->ZoomDepth(), 2u);

    // The same box again: nothing happens. The entry mode is kept from the last time.
    WhenDialogShows([](TGeographicSearch& d) {
        EXPECT_EQ(d.DPanel1->text(), "Decimal Degrees");
        EXPECT_EQ(d.Edit[1]->text(), "10.0000");
        QTest::mouseClick(d.DPanel1, Qt::LeftButton);   // back to degrees for later tests
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    });
    Mark();
    map->Exact1Click();
    Settle();
    EXPECT_FALSE(Plotted());
    EXPECT_EQ(map->MDF->ZoomDepth(), 2u);
}

TEST_F(ZoomWindowTest, MaximumAreaFromTheSettingsWithItsWarning)
{
    const GeoBox start = Extents();
    settings->WriteString("Maximum Area", "Lat", "fifty 60");
    map->Menu.ZoomOutMaximum->trigger();
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, "Initialisation of INI file : Error in " +
                                         QCoreApplication::applicationName().toStdString() + " (Lat=fifty 60)");
    ExpectSame(Extents(), start);

    settings->WriteString("Maximum Area", "Lat", "");
    map->Menu.ZoomOutMaximum->trigger();
    Settle();
    ExpectSame(Extents(), {45, 65, -15, 15});
    EXPECT_EQ(map->MDF->ZoomDepth(), 1u);
}

TEST_F(ZoomWindowTest, TheReadOutFollowsTheMouseAndCanBeDragged)
{
    EXPECT_FALSE(map->LatLonPos->isVisible());
    map->Menu.CurPosDisplay->trigger();
    EXPECT_TRUE(map->LatLonPos->isVisible());
    MoveTo(400, 210);   // east of the prime meridian
    const QString dms = map->LatLonPos->text();
    EXPECT_TRUE(dms.contains(QChar(0xB0)) && dms.contains('"') && dms.endsWith('E'));
    EXPECT_EQ(dms, BytesToQString(map->LatLonCaption(400, 210)));
    map->Menu.CurPosFormatDEC->trigger();
    EXPECT_TRUE(map->Menu.CurPosFormatDEC->isChecked() && !map->Menu.CurPosFormatDMS->isChecked());
    EXPECT_FALSE(map->MDF->Cursor_Format);
    MoveTo(401, 210);
    EXPECT_FALSE(map->LatLonPos->text().contains('"'));

    const QPoint at = map->LatLonPos->pos();
    QTest::mousePress(map->LatLonPos, Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent drag(QEvent::MouseMove, QPointF(45, 25), map->LatLonPos->mapToGlobal(QPointF(45, 25)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(map->LatLonPos, &drag);
    EXPECT_EQ(map->LatLonPos->pos(), at + QPoint(40, 20));
}

} // namespace

namespace {

TEST_F(ZoomWindowTest, KeysTypedWhileTheMainWindowHoldsTheKeyboardReachTheMap)
{
    // A mode chosen from the menu bar leaves the main window active: Esc still steps back, and
    // "+" and the arrows still zoom and move the map.
    map->Menu.ZoomIn->trigger();
    ASSERT_EQ(map->ChkZoom, StartZoom);
    QTest::keyClick(frm.get(), Qt::Key_Escape);
    EXPECT_EQ(map->ChkZoom, NoZoom);
    const GeoBox start = Extents();
    QTest::keyClick(frm.get(), '+');
    EXPECT_NEAR(map->MDF->GetMainLonRange(), (start.maxLon - start.minLon) / kZoomStep, 1e-9);
    QTest::keyClick(frm.get(), Qt::Key_Left);
    EXPECT_LT(map->MDF->GetMinLon(), start.minLon + (start.maxLon - start.minLon) * (1 - 1 / kZoomStep) / 2 - 1e-6);
    // Not while a text window is the active child.
    frm->Tag = kTagEditFrm;
    const GeoBox now = Extents();
    QTest::keyClick(frm.get(), '+');
    ExpectSame(Extents(), now);
}

TEST_F(ZoomWindowTest, TheBoxShapeAndLevelOptionsAreChangesToSave)
{
    ASSERT_FALSE(map->NeedToSave || map->MDF->Box_Shape_Fixed || map->MDF->Zoom_Level_Fixed);
    map->Menu.BoxShapeFixed1->trigger();
    EXPECT_TRUE(map->MDF->Box_Shape_Fixed && map->NeedToSave);
    EXPECT_TRUE(map->Menu.BoxShapeFixed1->isChecked() && !map->Menu.BoxShapeChange1->isChecked());
    map->NeedToSave = false;
    map->Menu.ZoomLevelFixed->trigger();
    EXPECT_TRUE(map->MDF->Zoom_Level_Fixed && map->NeedToSave);
    EXPECT_TRUE(map->Menu.ZoomLevelFixed->isChecked() && !map->Menu.ZoomLevelOverlay->isChecked());
    map->NeedToSave = false;   // the window closes without asking
}

TEST_F(ZoomWindowTest, TheClickThatReturnsFromWhereAmIMovesNoKey)
{
    map->Menu.ZoomIn->trigger();
    ClickAt(150, 120);
    ClickAt(250, 200);
    OpenZoomMenu();
    map->Menu.OverlayMapKey->trigger();
    const Rect key = map->OverlayKeyPos;
    const uint8_t corner = map->MDF->OverlayPos;
    ASSERT_GT(key.right, key.left);
    map->NeedToSave = false;
    map->Menu.WhereAmI->trigger();
    Settle();
    // A click where the key will be once the view has returned only returns.
    ClickAt((key.left + key.right) / 2, key.top + 2);
    ASSERT_FALSE(CvVars::bWhereAmI);
    EXPECT_EQ(map->MDF->OverlayPos, corner);
    EXPECT_FALSE(map->NeedToSave);
    // The next click on the key is a key move again.
    ClickAt((key.left + key.right) / 2, key.top + 2);
    EXPECT_TRUE(map->NeedToSave);
    map->NeedToSave = false;
}

TEST_F(ZoomWindowTest, WhereAmIKeepsTheWindowSizeWhateverEndsOtherInteractions)
{
    map->Menu.ZoomIn->trigger();
    ClickAt(150, 120);
    ClickAt(250, 200);
    const GeoBox zoomed = Extents();
    OpenZoomMenu();
    map->Menu.WhereAmI->trigger();
    Settle();
    ASSERT_TRUE(CvVars::bWhereAmI);
    // Opening "&View" ends every interaction; where-am-I goes on, and a resize of the window
    // does not replot the outermost map in a picture of another shape.
    emit map->Menu.View1->aboutToShow();
    const QSize picture = map->Picture().size();
    Mark();
    map->resize(map->width() + 60, map->height() + 40);
    Settle();
    EXPECT_EQ(map->Picture().size(), picture);
    EXPECT_FALSE(Plotted());
    ClickAt(10, 10);
    EXPECT_FALSE(CvVars::bWhereAmI);
    ExpectSame(Extents(), zoomed);
    EXPECT_EQ(map->MDF->ZoomDepth(), 2u);
}

// On a HiDPI screen (ctest runs these tests once more with QT_SCALE_FACTOR=2) the picture holds
// the device pixels, and a one-pixel line of the map covers the device pixels of its logical ones.
TEST_F(ZoomWindowTest, HiDpiPictureAndGraticuleAtTheScreensPixelRatio)
{
    const double ratio = map->Picture().devicePixelRatio();
    if (const QByteArray scale = qgetenv("QT_SCALE_FACTOR"); !scale.isEmpty()) {
        EXPECT_DOUBLE_EQ(ratio, scale.toDouble());
    }
    EXPECT_EQ(QSize(map->ClientWidth(), map->ClientHeight()), map->Image1->size());
    EXPECT_EQ(map->Picture().size(), map->Image1->size() * ratio);
    const Colour grid = RGB(255, 255, 0);
    map->MDF->Grid_Colour = grid;
    map->Menu.GraticuleDisplay->trigger();
    map->Menu.Graticule10->trigger();
    Settle();
    // At 54 N each meridian is a run of grid colour one logical pixel wide (at a ratio such
    // as 1.5 a logical column covers one or two device columns).
    const QImage& picture = map->Picture();
    const int row = static_cast<int>(map->LatToScreen(54) * ratio);
    int runs = 0;
    for (int x = 0, end = 0; x < picture.width(); x = std::max(x + 1, end)) {
        for (end = x; end < picture.width() && FromQColor(QColor(picture.pixel(end, row))) == grid;) ++end;
        if (end == x) continue;
        const int column = static_cast<int>(std::ceil(x / ratio - 1e-9));
        EXPECT_EQ(end - x, static_cast<int>((column + 1) * ratio) - static_cast<int>(column * ratio)) << x;
        ++runs;
    }
    EXPECT_EQ(runs, 3);   // 10 W, 0 and 10 E
}

// A window moved to a screen of another pixel ratio draws its map again at that ratio (ctest runs
// it on two offscreen screens of ratio 1 and 2).
TEST_F(ZoomWindowTest, HiDpiMovedToAScreenOfAnotherRatio)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.size() < 2 || screens[0]->devicePixelRatio() == screens[1]->devicePixelRatio())
        GTEST_SKIP() << "needs two screens of different pixel ratios";
    QScreen* other = map->screen() == screens[0] ? screens[1] : screens[0];
    const QSize logical = map->Image1->size();
    Mark();
    map->windowHandle()->setScreen(other);
    Settle();
    EXPECT_EQ(map->Picture().devicePixelRatio(), other->devicePixelRatio());
    EXPECT_EQ(map->Picture().size(), logical * other->devicePixelRatio());
    EXPECT_TRUE(Plotted());
}

} // namespace

namespace {

TEST(GeographicSearchDialog, NothingButATypedLetterChangesAHemisphere)
{
    RecordingMessageSink sink;
    TGeographicSearch d(nullptr, sink);
    d.SetUp("S", 50);
    d.SetUp("N", 51);
    d.SetUp("W", -2);
    d.SetUp("E", -1);
    d.show();
    QLineEdit* s = d.Hemi[1];
    // Pasting, cutting and dropping would put any text there, which OK would read as north.
    QApplication::clipboard()->setText("s");
    s->setFocus();
    // Ctrl+V and Ctrl+X as a keyboard sends them, with their control characters.
    for (const auto& [key, text] : {std::pair{Qt::Key_V, '\x16'}, std::pair{Qt::Key_X, '\x18'}}) {
        s->selectAll();
        QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier, QString(QChar(text)));
        QApplication::sendEvent(s, &press);
        EXPECT_EQ(s->text(), "N");
    }
    EXPECT_FALSE(s->acceptDrops());
    QTest::keyClick(s, 'S');
    EXPECT_EQ(s->text(), "S");
    QTest::keyClick(s, Qt::Key_Up);
    EXPECT_EQ(s->text(), "N");
    QTest::mouseClick(d.HemiDown[2], Qt::LeftButton);   // the longitude's spin button
    EXPECT_EQ(d.Hemi[2]->text(), "E");
}

} // namespace
