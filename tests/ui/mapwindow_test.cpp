// The map window on the offscreen platform, opened through the main window's File commands
// on small atlases written by our own writers.
#include "MainWindowHarness.h"
#include "TestUtil.h"
#include "app/MainFrm.h"
#include "e2e/AtlasFixture.h"
#include "mapdef/MDFStruct.h"
#include "mapwindow/MapFrm.h"
#include "platform/CdromMounts.h"
#include "platform/CvVars.h"
#include "platform/DialogService.h"
#include "platform/MessageSink.h"
#include "render/Plot.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

using namespace corvane;
using namespace corvane::test;

namespace {

// Coastline land at every latitude from 30 to 80 in a band of longitudes for each level:
// 2..4 (coarsest), 6..8, 10..12, 14..16 and 18..20 (full detail).
const CoastlineBands kBands{30, 80, -40, 40, 2, 4, 2};
const Colour kNewMapSea = 0x000000;
const Colour kNewMapLand = 0x008000;
const Colour kRed = DOSColour[12];

class MapWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CvVars::Reset();
        WriteCoastlines(dir, kBands);
        WriteSquare(dir, "Themes/Square.POL", 50, -16, 56, -10);
        const ThemeDataSet square{8, false, {{"CDROM:\\Themes\\Square.POL", 0}}};
        dir.Write("Themes/Squares.MAS", ThemeText({square}, 12));
        dir.Write("Themes/OwnCoast.MAS", ThemeText({square}, 12, true));
        dir.Write("Themes/Queries.MAS", ThemeText({{7, false, {{"CDROM:\\Themes\\Square.POL", 0}}}}, 14));
        WriteDataListOf(dir, {{"Squares", "Themes\\Squares.MAS"},
                              {"Own coast", "Themes\\OwnCoast.MAS"},
                              {"Queries", "Themes\\Queries.MAS"}});
        window.Start(dir.Path(), dir / "cfg/corvane.ini");
    }
    void TearDown() override { window.Stop(); }

    static void Settle() { MainWindowHarness::Settle(); }
    TMapFrm* Map() const { return dynamic_cast<TMapFrm*>(MapFrm); }
    TMapFrm& NewMap()
    {
        frm->New1Click();
        Settle();
        EXPECT_NE(Map(), nullptr);
        return *Map();
    }

    // A map definition written by the map definition's own writer: the box lat 40..60,
    // lon -20..20 in a 500 x 400 window below the main window, with the given themes.
    std::string WriteMap(const std::string& name, const std::vector<std::string>& base,
                         const std::vector<std::string>& overlay, uint8_t gridScale = 3)
    {
        FixedScreenMetrics screen;
        MDFLoadResult r = TMDFStruct::Create("", screen, sink);
        TMDFStruct& mdf = *r.MDF;
        mdf.BackgroundColour = kSea, mdf.Land_Plot_Fill_Colour = kLandFill, mdf.Grid_Scale = gridScale;
        mdf.Grid_Displayed = mdf.Grid_Format = false;
        mdf.Box_Shape_Fixed = true;
        mdf.ClearBaseZoom();
        const int32_t top = frm->frameGeometry().bottom() + 1;
        mdf.NewZoom(0, top, 500, top + 400, -20, 40, 20, 60, WindowPriority);
        mdf.SetMinLat(40), mdf.SetMaxLat(60), mdf.SetMinLon(-20), mdf.SetMaxLon(20);
        for (MASList* list : {&mdf.NextMAS, &mdf.OverlayMAS})
            for (const std::string& t : list == &mdf.NextMAS ? base : overlay) {
                list->Append(std::make_unique<MASStruct>());
                list->Last()->Title = std::make_unique<std::string>(t);
            }
        const std::string path = dir / name;
        EXPECT_TRUE(mdf.Save(path));
        return path;
    }

    Colour At(const TMapFrm& map, double lat, double lon) const
    {
        return FromQColor(QColor(map.Picture().pixel(map.LonToScreen(lon), map.LatToScreen(lat))));
    }
    // Marks the picture's corner; a plot paints over it.
    static void Mark(TMapFrm& map) { map.ImageCanvas()->SetPixel(0, 0, kMark); }
    static bool Plotted(const TMapFrm& map) { return FromQColor(QColor(map.Picture().pixel(0, 0))) != kMark; }
    static constexpr Colour kMark = 0x123456;

    struct Box {
        double minLat, maxLat, minLon, maxLon;
    };
    static Box Extents(const TMapFrm& m)
    {
        return {m.MDF->GetMinLat(), m.MDF->GetMaxLat(), m.MDF->GetMinLon(), m.MDF->GetMaxLon()};
    }
    static void ExpectSame(const Box& a, const Box& b)
    {
        EXPECT_NEAR(a.minLat, b.minLat, 1e-9);
        EXPECT_NEAR(a.maxLat, b.maxLat, 1e-9);
        EXPECT_NEAR(a.minLon, b.minLon, 1e-9);
        EXPECT_NEAR(a.maxLon, b.maxLon, 1e-9);
    }

    TempDir dir;
    MainWindowHarness window;
    ScriptedDialogService& dialogs = window.dialogs;
    RecordingMessageSink& sink = window.sink;
    std::unique_ptr<TMainFrm>& frm = window.frm;
};

TEST_F(MapWindowTest, NewOpensBelowTheMainWindowWithTheCoastlineTheScaleCallsFor)
{
    TMapFrm& map = NewMap();
    EXPECT_EQ(map.windowTitle(), "Map Window");
    EXPECT_TRUE(map.Filename.empty());
    EXPECT_EQ(frm->Tag, kTagMapWindow);

    // The window fills the work area below the main window strip; its picture is its client.
    const QRect work = frm->screen()->availableGeometry();
    EXPECT_EQ(map.frameGeometry(), QRect(QPoint(work.left(), frm->frameGeometry().bottom() + 1), work.bottomRight()));
    EXPECT_TRUE(map.Picture().size() == map.size() && map.Image1->size() == map.size());

    // The new-map box 45..65 keeps its latitudes; the window is wider, so longitude grows
    // evenly about 0.
    EXPECT_TRUE(map.MDF->GetMinLat() == 45.0 && map.MDF->GetMaxLat() == 65.0);
    EXPECT_NEAR(map.MDF->GetMinLon(), -map.MDF->GetMaxLon(), 1e-9);
    EXPECT_GT(map.MDF->GetMainLonRange(), 30.0);

    // Filled land of the level for ys = client height / 20 degrees; the others and the sea
    // stay in the background colour (looked at beside the 5-degree meridians of the graticule).
    const int level = LandFillLevel(CvVars::CoastResolution, static_cast<uint16_t>(map.height()), 20.0);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(At(map, 55, BandCentre(i, kBands) - 0.5), i == level ? kNewMapLand : kNewMapSea) << "level " << i;
    EXPECT_EQ(At(map, 55, -11), kNewMapSea);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_NE(map.FullMap, nullptr);
}

TEST_F(MapWindowTest, TheMenuMergesIntoTheMainMenuBarWithItsStatesForANewMap)
{
    TMapFrm& map = NewMap();
    QStringList bar;
    for (const QAction* e : frm->MenuBarEntries()) {
        const QObject* named = e->menu() ? static_cast<const QObject*>(e->menu()) : e;
        bar << named->objectName() + " " + e->text() + QString(" %1").arg(named->property("helpContext").toInt());
    }
    EXPECT_EQ(bar.join(", ").toStdString(),
              "File1 &File 1000, Dataset1 &Dataset 2000, View1 &View 3000, Display1 &Display 4000, Zoom1 &Zoom 5000, "
              "Redraw1 &Redraw 6000, Query1 &Query 7000, Window1 &Window 8000, Edit1 &Edit 8500, Help1 &Help 1");

    // Check marks and states of a new map.
    const MapWindowMenu& m = map.Menu;
    EXPECT_FALSE(m.IncreaseResolution1->isVisible() || m.DecreaseResolution1->isVisible());
    for (QAction* a : {m.Redraw1, m.InFilled1, m.GraticuleAuto, m.GraticuleDisplay, m.GraticuleFormatDMS,
                       m.CurPosFormatDMS, m.BoxShapeChange1, m.ZoomLevelOverlay, m.NauticalMiles1, m.Toolbar1, m.Caption1})
        EXPECT_TRUE(a->isChecked()) << a->objectName().toStdString();
    EXPECT_FALSE(m.Outline1->isChecked() || m.CurPosDisplay->isChecked() || map.LatLonPos->isVisible());
    EXPECT_TRUE(!map.Timer1->isActive() && map.Timer1->interval() == 250);

    // No themes: nothing to order, view, key, zoom or query; the plot greyed Redraw.
    for (QAction* a : {m.Order1, m.Select1, m.Info1, m.Keys1->menuAction(), m.View1->menuAction(),
                       m.Zoom1->menuAction(), m.Redraw1, m.Query1})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_FALSE(frm->Button("DSOrderSpdBtn")->isEnabled());
    for (QToolButton* b : frm->MapButtons()) EXPECT_FALSE(b->isHidden()) << b->objectName().toStdString();
    for (const char* b : {"FileSaveSpdBtn", "PageSetUpSpdBtn", "PrintSpdBtn", "PrintSetUpSpdBtn"})
        EXPECT_TRUE(frm->Button(b)->isEnabled()) << b;
    EXPECT_TRUE(frm->Button("LandInfillSpdBtn")->isChecked() && frm->Button("GridAutoSpdBtn")->isChecked() &&
                frm->Button("GraticuleDMSSpdBtn")->isChecked());
}

TEST_F(MapWindowTest, OpenDrawsTheThemesAndLeavesOutTheCoastlineWhenAThemeBringsItsOwn)
{
    const std::string path = WriteMap("Harbour.MDF", {"Squares"}, {"Queries"}, 9);
    frm->OpenMapFile(path);
    Settle();
    TMapFrm* map = Map();
    ASSERT_NE(map, nullptr);
    // The caption is the file's name; the whole path is the Window menu's entry for the map.
    EXPECT_EQ(map->windowTitle(), "Harbour.MDF");
    EXPECT_EQ(map->Menu.WindowPath1->text().toStdString(), path);
    EXPECT_EQ(map->Filename, path);
    EXPECT_EQ(At(*map, 53, -13), kRed);                                          // the square
    EXPECT_EQ(At(*map, 45, -13), kSea);
    const int level = LandFillLevel(CvVars::CoastResolution, static_cast<uint16_t>(map->height()), map->MDF->GetMainLatRange());
    EXPECT_EQ(At(*map, 45, BandCentre(level, kBands)), kLandFill);                 // the coastline
    // The map's settings: decimal graticule labels, a spacing code with no item, the box shape.
    EXPECT_TRUE(map->Menu.GraticuleFormatDEC->isChecked() && frm->Button("GraticuleDDSpdBtn")->isChecked());
    for (int i = 1; i <= 7; ++i) EXPECT_FALSE(map->Menu.Spacing(i)->isChecked());
    EXPECT_FALSE(frm->Button("GridAutoSpdBtn")->isChecked());
    EXPECT_TRUE(map->Menu.BoxShapeFixed1->isChecked() && !map->Menu.GraticuleDisplay->isChecked());
    // A base map and one overlay that answers queries.
    EXPECT_TRUE(map->Menu.Order1->isEnabled() && map->Menu.Info1->isEnabled() && map->Menu.Zoom1->menuAction()->isEnabled());
    EXPECT_FALSE(map->Menu.Select1->isEnabled() || frm->Button("NextOverlaySpdBtn")->isEnabled());
    EXPECT_TRUE(frm->MenuBarEntries()[6]->isEnabled());

    // A base map that brings its own coastline: no standard coastline.
    const std::string own = WriteMap("Own.MDF", {"Own coast", "Squares"}, {});
    frm->OpenMapFile(own);
    Settle();
    map = Map();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(At(*map, 53, -13), kRed);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(At(*map, 45, BandCentre(i, kBands)), kSea) << "level " << i;
    EXPECT_FALSE(frm->MenuBarEntries()[6]->isEnabled());
}

TEST_F(MapWindowTest, AMapDefinitionThatCannotBeLoadedIsToldAndTheOpenMapStays)
{
    TMapFrm& open = NewMap();
    const std::string path = dir.Write("Broken.MDF", "[Map Definition]\r\nGrid_Scale=300\r\n");
    frm->OpenMapFile(path);
    Settle();
    ASSERT_EQ(Map(), &open);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].kind, MsgKind::Error);
    EXPECT_NE(sink.messages[0].text.find("Grid_Scale"), std::string::npos);
    EXPECT_TRUE(Map()->windowTitle() == "Map Window" && Map()->Filename.empty());
    EXPECT_EQ(Map()->MDF->GetMinLat(), 45.0);
}

TEST_F(MapWindowTest, DraggingTheRightEdgeKeepsTheScaleAndTheWestAndMovingDoesNotPlot)
{
    TMapFrm& map = NewMap();
    map.resize(600, 400);
    Settle();
    const Box before = Extents(map);
    const double perDegree = map.width() / map.MDF->GetMainLonRange();
    Mark(map);

    map.resize(700, 400);
    Settle();
    EXPECT_TRUE(Plotted(map));
    EXPECT_EQ(map.Picture().width(), 700);
    const Box after = Extents(map);
    ExpectSame(after, {before.minLat, before.maxLat, before.minLon, before.maxLon + 100 / perDegree});
    EXPECT_EQ(map.MDF->ZoomDepth(), 1u);

    // A move without resize does not plot; the moved window is the reference of the next resize.
    Mark(map);
    const QPoint to = map.pos() + QPoint(30, 20);
    map.move(to);
    Settle();
    EXPECT_FALSE(Plotted(map));
    EXPECT_TRUE(map.MDF->GetWindowLeft() == to.x() && map.MDF->GetOldWindowTop() == to.y());
    ExpectSame(Extents(map), after);
}

TEST_F(MapWindowTest, ALeftEdgeDragReportedInTwoPartsKeepsTheEastAndTheScale)
{
    TMapFrm& map = NewMap();
    map.setGeometry(map.x() + 100, map.y() + 40, 600, 400);
    Settle();
    const Box before = Extents(map);
    const double perDegree = map.width() / map.MDF->GetMainLonRange();
    const QPoint at = map.pos();

    // The window system reports the new size first and the new place apart, both well within
    // the time the window waits for its geometry to settle.
    map.GeometryTimer()->setInterval(60000);
    map.resize(660, 400);
    QApplication::processEvents();
    map.move(at - QPoint(60, 0));
    QApplication::processEvents();
    Settle();
    ExpectSame(Extents(map), {before.minLat, before.maxLat, before.minLon - 60 / perDegree, before.maxLon});
}

TEST_F(MapWindowTest, MaximisingThenRestoringReturnsToTheSameExtents)
{
    TMapFrm& map = NewMap();
    map.setGeometry(map.x() + 40, map.y() + 60, 500, 300);
    Settle();
    const Box before = Extents(map);
    const double perDegree = map.width() / map.MDF->GetMainLonRange();
    const size_t depth = map.MDF->ZoomDepth();

    map.showMaximized();
    Settle();
    ASSERT_TRUE(map.isMaximized());
    EXPECT_EQ(map.Tag, kSizingMaximised);
    EXPECT_EQ(map.MDF->ZoomDepth(), depth + 1);
    EXPECT_GT(map.width(), 500);
    EXPECT_NEAR(map.width() / map.MDF->GetMainLonRange(), perDegree, 1e-6);
    EXPECT_LT(map.MDF->GetMinLon(), before.minLon);

    map.showNormal();
    Settle();
    EXPECT_EQ(map.Tag, kSizingNormal);
    EXPECT_EQ(map.MDF->ZoomDepth(), depth);
    EXPECT_EQ(map.size(), QSize(500, 300));
    ExpectSame(Extents(map), before);
}

TEST_F(MapWindowTest, TheTransformsScaleTheExtentsOntoThePicture)
{
    TMapFrm& map = NewMap();
    map.resize(400, 300);
    Settle();
    ASSERT_EQ(map.ClientWidth(), 400);
    map.MDF->SetMinLat(40), map.MDF->SetMaxLat(60);
    map.MDF->SetMinLon(-20), map.MDF->SetMaxLon(20);   // 10 pixels a degree across

    EXPECT_EQ(map.LatToScreen(40), 300);
    EXPECT_EQ(map.LatToScreen(60), 0);
    EXPECT_EQ(map.LonToScreen(-20), 0);
    EXPECT_EQ(map.ScreenToLat(0), 60);
    EXPECT_EQ(map.ScreenToLon(200), 0);
    // Half a pixel goes to the even neighbour: 2.5 to 2, 12.5 to 12, 7.5 to 8.
    EXPECT_EQ(map.LonToScreen(-19.75), 2);
    EXPECT_EQ(map.LonToScreen(-18.75), 12);
    EXPECT_EQ(map.LonToScreen(-19.25), 8);
}

TEST_F(MapWindowTest, KeysMoveWithTheMouseAndFollowTheirCommands)
{
    frm->OpenMapFile(WriteMap("Keys.MDF", {"Squares"}, {"Queries"}));
    Settle();
    TMapFrm* map = Map();
    ASSERT_NE(map, nullptr);
    const int w = map->ClientWidth(), h = map->ClientHeight();
    auto px = [map](int x, int y) { return FromQColor(QColor(map->Picture().pixel(x, y))); };
    auto plotted = [map](int x, int y) {
        return FromQColor(QColor(dynamic_cast<const QtPicture&>(*map->FullMap).Image().pixel(x, y)));
    };
    // The base key in the top right corner, the overlay key in the bottom right one: each
    // framed by a black, a raised and a sunken ring, under a silver caption bar.
    const Rect b = map->BaseKeyPos, o = map->OverlayKeyPos;
    ASSERT_TRUE(b.right == w - 1 && b.top == 0 && o.right == w - 1 && o.bottom == h - 1);
    EXPECT_EQ(px(b.right, 8), clBlack);
    EXPECT_EQ(px(b.right - 1, 8), clSilver);
    EXPECT_EQ(px(b.right - 2, 8), clWhite);
    EXPECT_EQ(px(b.left + 1, 8), clWhite);
    EXPECT_EQ(px(b.left + 3, 4), clSilver);
    EXPECT_EQ(px(o.left, o.bottom), clBlack);
    EXPECT_TRUE(frm->Button("BaseKeySpdBtn")->isChecked() && frm->Button("OverlayKeySpdBtn")->isChecked());
    EXPECT_FALSE(map->NeedToSave);

    // Pressed inside the overlay key and released in the top left quarter: the key goes there
    // and the map comes back where it stood.
    QTest::mousePress(map->Image1, Qt::LeftButton, {}, QPoint(o.left + 5, o.top + 5));
    // On its way the key's outline follows the mouse, inverted over the map.
    const QPoint to(w / 4, h / 4);
    QTest::mouseMove(map->Image1, to);
    const int outlineLeft = o.left + to.x() - (o.left + 5), outlineTop = o.top + to.y() - (o.top + 5);
    EXPECT_EQ(px(outlineLeft, outlineTop + 3), ~plotted(outlineLeft, outlineTop + 3) & 0xFFFFFF);
    EXPECT_EQ(px(outlineLeft + 1, outlineTop + 3), plotted(outlineLeft + 1, outlineTop + 3));
    QTest::mouseRelease(map->Image1, Qt::LeftButton, {}, to);
    EXPECT_TRUE(map->NeedToSave);
    EXPECT_EQ(map->MDF->OverlayPos, kTopLeft);
    EXPECT_TRUE(map->OverlayKeyPos.left == 0 && map->OverlayKeyPos.top == 0);
    EXPECT_EQ(px(0, 8), clBlack);
    EXPECT_EQ(px(o.left, o.bottom), plotted(o.left, o.bottom));
    EXPECT_EQ(map->KeyMove, NoMove);

    // The tool bar button hides the base key, the menu item shows it again; both are stored.
    frm->Button("BaseKeySpdBtn")->click();
    EXPECT_FALSE(map->Menu.BaseMapKey->isChecked() || map->MDF->BaseKey_Displayed);
    EXPECT_FALSE(frm->Button("BaseKeySpdBtn")->isChecked());
    EXPECT_EQ(px(b.right, 8), plotted(b.right, 8));
    map->Menu.BaseMapKey->trigger();
    EXPECT_TRUE(map->Menu.BaseMapKey->isChecked() && map->MDF->BaseKey_Displayed);
    EXPECT_EQ(px(b.right, 8), clBlack);

    // The graticule comes back with the keys, one pixel row for the 50 N parallel.
    map->MDF->Grid_Displayed = true;
    map->Menu.Caption1->trigger();   // the caption off: keys one row lower
    EXPECT_FALSE(map->MDF->KeyCaption);
    const int y = h - static_cast<int>(Round(h / 20.0 * 10 + 0.000001)), x = map->LonToScreen(-5.5);
    EXPECT_EQ(px(x, y), map->MDF->Grid_Colour);
    EXPECT_EQ(px(x, y + 1), plotted(x, y + 1));

    // Key colours through the colour dialog, preset with the present colour.
    const Colour before = map->MDF->KeyBkColour;
    dialogs.colourAnswers.push_back({DialogOutcome::Ok, 0x00FFFF});
    map->Menu.KeyBackground->trigger();
    ASSERT_FALSE(dialogs.colourRequests.empty());
    EXPECT_EQ(dialogs.colourRequests.back(), before);
    EXPECT_EQ(map->MDF->KeyBkColour, 0x00FFFFu);
    EXPECT_EQ(px(map->BaseKeyPos.left + 3, 4), 0x00FFFFu);
    dialogs.colourAnswers.push_back({DialogOutcome::Failed, 0});
    frm->Button("KeyColourSpdBtn")->click();
    EXPECT_TRUE(sink.Contains("Unable to load Colour dialog"));
}

// A message box lets window events through: one shown while a key is drawn must not let a
// resize replace the picture under the drawing. The resize waits and is then plotted.
TEST_F(MapWindowTest, AResizeDuringAKeyWarningWaitsForTheKeysToBeDrawn)
{
    struct ResizingSink : RecordingMessageSink {
        std::function<void()> duringWarning;
        MsgResult Show(MsgKind kind, const std::string& text, MsgButtons buttons) override
        {
            if (duringWarning) std::exchange(duringWarning, nullptr)();
            return RecordingMessageSink::Show(kind, text, buttons);
        }
    } boxes;
    InstallMapWindowFactory(boxes);
    frm->OpenMapFile(WriteMap("Keys.MDF", {"Squares"}, {"Queries"}));
    Settle();
    TMapFrm* map = Map();
    ASSERT_NE(map, nullptr);
    // The overlay key's one item stands at an order beyond its count: every drawing of the
    // key says "Display Order in Key not found.".
    map->MDF->OverlayMAS.First()->Key->NextKD->Display_Order = 2;
    const Rect o = map->OverlayKeyPos;
    const QSize before = map->Picture().size(), after = before - QSize(60, 40);

    // While the warning is up the window is resized (as a window manager may do it) and the
    // resize is taken up at once if the window lets it.
    bool pictureKept = false;
    auto resizeDuringWarning = [&](QSize to) {
        pictureKept = false;
        boxes.duringWarning = [&, to] {
            const QSize drawnOn = map->Picture().size();
            map->resize(to);
            QApplication::processEvents();
            if (map->GeometryPending()) map->GeometrySettled();
            pictureKept = map->Picture().size() == drawnOn;
        };
    };
    resizeDuringWarning(after);
    QTest::mousePress(map->Image1, Qt::LeftButton, {}, QPoint(o.left + 5, o.top + 5));
    QTest::mouseRelease(map->Image1, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_TRUE(pictureKept);
    EXPECT_EQ(map->MDF->OverlayPos, kTopLeft);
    Settle();
    EXPECT_EQ(map->Picture().size(), after);   // plotted at its new size once the keys were drawn
    EXPECT_EQ(map->OverlayKeyPos.left, 0);
    EXPECT_TRUE(boxes.Contains(kKeyNotFound));

    // The same for the caption switched off from the menu and a key colour.
    resizeDuringWarning(before);
    map->Menu.Caption1->trigger();
    EXPECT_TRUE(pictureKept);
    Settle();
    EXPECT_EQ(map->Picture().size(), before);
    resizeDuringWarning(after);
    dialogs.colourAnswers.push_back({DialogOutcome::Ok, 0x00FFFF});
    map->Menu.KeyColour->trigger();
    EXPECT_TRUE(pictureKept);
    Settle();
    EXPECT_EQ(map->Picture().size(), after);

    // The window speaks through this test's sink: it closes, asking nothing, while that lives.
    map->NeedToSave = false;
    map->CloseWindow();
    Settle();
}

TEST_F(MapWindowTest, RedrawCopyAndClose)
{
    TMapFrm& map = NewMap();
    QPointer<TMapFrm> window(&map);

    // "&Redraw", enabled by a change of settings, plots and greys itself again.
    map.SetRedrawEnabled(true);
    EXPECT_TRUE(frm->MenuBarEntries()[5]->isEnabled());
    Mark(map);
    frm->MenuBarEntries()[5]->trigger();
    EXPECT_TRUE(Plotted(map));
    EXPECT_FALSE(frm->MenuBarEntries()[5]->isEnabled());

    frm->CopyToClipboard1->trigger();
    EXPECT_EQ(QApplication::clipboard()->image(), map.Picture());

    frm->Close1Click();
    Settle();
    EXPECT_EQ(MapFrm, nullptr);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(frm->Tag, kTagNone);
    EXPECT_EQ(frm->MenuBarMenus(), (QList<QMenu*>{frm->File1, frm->Window1, frm->Edit1, frm->Help1}));
    for (QToolButton* b : frm->MapButtons()) EXPECT_TRUE(b->isHidden()) << b->objectName().toStdString();
    for (const char* b : {"FileSaveSpdBtn", "PageSetUpSpdBtn", "PrintSpdBtn", "PrintSetUpSpdBtn"})
        EXPECT_FALSE(frm->Button(b)->isEnabled()) << b;
}

} // namespace
