// The "&Display" commands, the style pickers and the data subset dialog on the offscreen
// platform: the real map window opened on a small atlas written by our own writers, driven by
// its menu items, the main window's buttons and Qt Test mouse events.
#include "MainWindowHarness.h"
#include "ModalDialog.h"
#include "e2e/AtlasFixture.h"
#include "dialogs/MapDefinition.h"
#include "dialogs/StylePickers.h"
#include "display/PickerLayout.h"
#include "layers/FillStyle.h"
#include "mapwindow/Subset.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

using namespace corvane;
using namespace corvane::test;

namespace {

Colour Pixel(const QImage& image, int x, int y) { return FromQColor(QColor(image.pixel(x, y))); }
Colour Pixel(const PickerImage* image, int x, int y) { return Pixel(image->Picture(), x, y); }

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CvVars::Reset();
        UseWindowsBrushes = true;
        SubsetForm_Colour = OldColour = 0xC0C0C0;
        WriteCoastlines(dir);
        WriteSquare(dir, "Themes/Square.POL", 5, 5, 8, 8);
        dir.Write("Themes/Squares.MAS", ThemeText({{8, false, {{"CDROM:\\Themes\\Square.POL", 0}}}}, 12));
        WriteDataListOf(dir, {{"Squares", "Themes\\Squares.MAS"}});
        window.Start(dir.Path(), dir / "cfg/corvane.ini");
        std::string text = MapText({20, 1, {"Squares"}, {}});
        text.replace(text.find("BaseKey_Displayed=0"), 19, "BaseKey_Displayed=1\r\nGrid_Scale=3");
        window.frm->OpenMapFile(dir.Write("Map.MDF", text));
        Settle();
        map = MainWindowHarness::Map();
        ASSERT_NE(map, nullptr);
        ASSERT_FALSE(map->Menu.Redraw1->isEnabled());
    }
    void TearDown() override
    {
        window.Stop();
        UseWindowsBrushes = true;
    }
    static void Settle() { MainWindowHarness::Settle(); }
    Colour At(double lat, double lon) const { return Pixel(map->Picture(), map->LonToScreen(lon), map->LatToScreen(lat)); }
    QToolButton* Button(const char* name) const { return window.frm->Button(name); }

    TempDir dir;
    MainWindowHarness window;
    ScriptedDialogService& dialogs = window.dialogs;
    TMapFrm* map = nullptr;
    const double landLon = BandCentre(1);   // the land of the coastline drawn at this scale
};

} // namespace

TEST_F(DisplayTest, LandItemsSwapAndColoursWaitForRedraw)
{
    ASSERT_EQ(At(0, landLon), kLandFill);
    const Picture* full = map->FullMap.get();

    map->Menu.InFilled1->trigger();   // already checked: the items swap all the same
    EXPECT_TRUE(!map->Menu.InFilled1->isChecked() && map->Menu.Outline1->isChecked());
    EXPECT_TRUE(Button("LandOutlineSpdBtn")->isChecked() && !Button("LandInfillSpdBtn")->isChecked());
    EXPECT_EQ(map->MDF->Land_Plot_Style, 0);
    EXPECT_TRUE(map->Menu.Redraw1->isEnabled() && map->NeedToSave);
    EXPECT_EQ(map->FullMap.get(), full);   // nothing replotted
    Button("LandInfillSpdBtn")->click();
    EXPECT_TRUE(map->Menu.InFilled1->isChecked() && !map->Menu.Outline1->isChecked());
    EXPECT_EQ(map->MDF->Land_Plot_Style, 1);

    // The fill colour through the colour dialog, preset with the present colour.
    dialogs.colourAnswers.push_back({DialogOutcome::Ok, 0x00FFFF});
    Button("FillColourSpdBtn")->click();
    EXPECT_EQ(dialogs.colourRequests.back(), kLandFill);
    EXPECT_EQ(map->MDF->Land_Plot_Fill_Colour, 0x00FFFFu);
    EXPECT_EQ(At(0, landLon), kLandFill);   // the old colour until Redraw
    EXPECT_EQ(map->FullMap.get(), full);
    map->Menu.Redraw1->trigger();
    Settle();
    EXPECT_EQ(At(0, landLon), 0x00FFFFu);
    EXPECT_FALSE(map->Menu.Redraw1->isEnabled());

    // A dialog that cannot be shown says so and keeps the colour.
    dialogs.colourAnswers.push_back({DialogOutcome::Failed, 0});
    map->Menu.ViewBackground->trigger();
    EXPECT_TRUE(window.sink.Contains("Unable to load Colour dialog"));
    EXPECT_EQ(map->MDF->BackgroundColour, kSea);
}

TEST_F(DisplayTest, TheGraticuleIsDrawnAndTakenAwayOverTheSavedMapWithTheKeysOnTop)
{
    const int row = map->LatToScreen(5), col = map->LonToScreen(-4.5);   // on the parallel of 5 N
    const Rect key = map->BaseKeyPos;
    ASSERT_GT(key.Width(), 0);
    const Colour keyFrame = Pixel(map->Picture(), key.left, key.top + 5);
    ASSERT_EQ(Pixel(map->Picture(), col, row), kSea);
    const Picture* full = map->FullMap.get();

    Button("GridDisplaySpdBtn")->click();
    EXPECT_TRUE(map->MDF->Grid_Displayed && map->Menu.GraticuleDisplay->isChecked());
    EXPECT_EQ(Pixel(map->Picture(), col, row), map->MDF->Grid_Colour);
    map->Menu.GraticuleDisplay->trigger();   // off again
    EXPECT_FALSE(map->MDF->Grid_Displayed || Button("GridDisplaySpdBtn")->isChecked());
    EXPECT_EQ(Pixel(map->Picture(), col, row), kSea);
    EXPECT_EQ(map->BaseKeyPos, key);   // the key drawn again where it was
    EXPECT_EQ(Pixel(map->Picture(), key.left, key.top + 5), keyFrame);
    EXPECT_EQ(map->FullMap.get(), full);
    EXPECT_FALSE(map->Menu.Redraw1->isEnabled());

    // "&5 Degrees": that item alone checked, its button pressed; the 5 N line stays, 6 N goes.
    map->Menu.GraticuleDisplay->trigger();
    const int row6 = map->LatToScreen(6);
    ASSERT_EQ(Pixel(map->Picture(), col, row6), map->MDF->Grid_Colour);
    map->Menu.Graticule5->trigger();
    EXPECT_EQ(map->MDF->Grid_Scale, 5);
    for (int i = 1; i <= 7; ++i) EXPECT_EQ(map->Menu.Spacing(i)->isChecked(), i == 5) << i;
    EXPECT_TRUE(Button("Grid5SpdBtn")->isChecked() && !Button("Grid1SpdBtn")->isChecked());
    EXPECT_EQ(Pixel(map->Picture(), col, row6), kSea);
    EXPECT_EQ(Pixel(map->Picture(), col, row), map->MDF->Grid_Colour);

    // The colour and the line style (through the line picker) redraw the graticule at once.
    dialogs.colourAnswers.push_back({DialogOutcome::Ok, 0xFF00FF});
    Button("GridColourSpdBtn")->click();
    EXPECT_EQ(Pixel(map->Picture(), col, row), 0xFF00FFu);
    WhenShown<TfrmLineStyle>([](TfrmLineStyle& d) {
        EXPECT_EQ(d.AbsSelected, 0);   // Grid_Style 1 is solid
        QTest::mouseDClick(d.Image[5], Qt::LeftButton, {}, QPoint(20, 10));
    });
    map->Menu.GraticuleStyle->trigger();
    EXPECT_EQ(map->MDF->Grid_Style, 6);
    EXPECT_EQ(Pixel(map->Picture(), col, row), kSea);
    EXPECT_EQ(map->FullMap.get(), full);

    // Saved with the map.
    EXPECT_TRUE(map->NeedToSave);
    map->Save1Click();
    EXPECT_FALSE(map->NeedToSave);
    FixedScreenMetrics screen;
    const MDFLoadResult saved = TMDFStruct::Create(map->Filename, screen, window.sink);
    ASSERT_TRUE(saved);
    EXPECT_TRUE(saved.MDF->Grid_Displayed);
    EXPECT_EQ(saved.MDF->Grid_Scale, 5);
    EXPECT_EQ(saved.MDF->Grid_Style, 6);
    EXPECT_EQ(saved.MDF->Grid_Colour, 0xFF00FFu);
}

TEST_F(DisplayTest, ButtonsThatPutTheMapBackEndTheZoomBoxFirst)
{
    // The tool bar's buttons open no menu: the box goes before the map is put back, and a
    // later mouse move draws no half box over it.
    const QImage before = map->Picture().copy();
    for (const char* button : {"GridDisplaySpdBtn", "BaseKeySpdBtn"}) {
        map->Menu.ZoomIn->trigger();
        QTest::mouseClick(map->Image1, Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseMove(map->Image1, QPoint(200, 180));
        ASSERT_EQ(map->ChkZoom, EndZoom);
        Button(button)->click();
        Button(button)->click();
        QTest::mouseMove(map->Image1, QPoint(230, 200));
        EXPECT_EQ(map->ChkZoom, NoZoom) << button;
        EXPECT_EQ(map->Picture(), before) << button;
    }
}

TEST_F(DisplayTest, FormatAndTextSizeRedrawOnlyWhenTheLabelsChange)
{
    map->Menu.GraticuleDisplay->trigger();
    map->ImageCanvas()->SetPixel(200, 200, 0x123456);   // an overlay refresh paints over it
    auto refreshed = [&] { return Pixel(map->Picture(), 200, 200) != 0x123456; };

    map->NeedToSave = false;
    Button("GraticuleDDSpdBtn")->click();   // 1-degree lines: the labels read the same
    EXPECT_TRUE(!map->MDF->Grid_Format && map->Menu.GraticuleFormatDEC->isChecked() && map->NeedToSave);
    EXPECT_FALSE(refreshed());
    map->Menu.FractionDegrees->trigger();
    map->ImageCanvas()->SetPixel(200, 200, 0x123456);
    map->Menu.GraticuleFormatDMS->trigger();
    EXPECT_TRUE(map->MDF->Grid_Format && !map->Menu.GraticuleFormatDEC->isChecked());
    EXPECT_TRUE(Button("GraticuleDMSSpdBtn")->isChecked());
    EXPECT_TRUE(refreshed());

    CvVars::Graticule_FontSize = 1;
    map->ImageCanvas()->SetPixel(200, 200, 0x123456);
    Button("GratFontDecSpdBtn")->click();
    EXPECT_EQ(CvVars::Graticule_FontSize, 1);
    EXPECT_FALSE(refreshed());
    map->Menu.Increase1->trigger();
    EXPECT_EQ(CvVars::Graticule_FontSize, 2);
    EXPECT_TRUE(refreshed());

    // The hidden resolution items still move the coastline resolution.
    EXPECT_FALSE(map->Menu.IncreaseResolution1->isVisible() || map->Menu.DecreaseResolution1->isVisible());
    map->Menu.IncreaseResolution1->trigger();
    EXPECT_EQ(CvVars::CoastResolution, 0);
    EXPECT_TRUE(map->Menu.Redraw1->isEnabled());
}

TEST_F(DisplayTest, TheReadOutsLookFollowsItsItems)
{
    map->Menu.CurPosDisplay->trigger();
    EXPECT_TRUE(map->LatLonPos->isVisible() && map->LatLonPos->autoFillBackground());
    dialogs.colourAnswers = {{DialogOutcome::Ok, 0x0000FF}, {DialogOutcome::Ok, 0x00FF00}};
    map->Menu.CurPosTextColour->trigger();
    map->Menu.CurPosBkgrdColour->trigger();
    EXPECT_EQ(FromQColor(map->LatLonPos->palette().color(QPalette::WindowText)), 0x0000FFu);
    EXPECT_EQ(FromQColor(map->LatLonPos->palette().color(QPalette::Window)), 0x00FF00u);
    map->Menu.CurPosOverlay->trigger();
    EXPECT_TRUE(map->Menu.CurPosOverlay->isChecked());
    EXPECT_FALSE(map->LatLonPos->autoFillBackground() || map->Menu.CurPosBkgrdColour->isEnabled());
}

TEST(StylePickers, FillSamplesArePaintedWithTheMapsBrushesAndPreselected)
{
    UseWindowsBrushes = false;
    {
        TfrmFillStyle d(nullptr, 0x00FF00);
        EXPECT_TRUE(d.CorvaneGroup->isVisibleTo(&d));
        // Pattern 2 (one column in four set) in red on the map's green; standard 17 solid red.
        for (int x = 1; x < 9; ++x)
            EXPECT_EQ(Pixel(d.Image(2), x, 5), (rncBrush[2][5] >> (7 - x % 8)) & 1 ? 0x0000FFu : 0x00FF00u) << x;
        EXPECT_EQ(Pixel(d.Image(17), 24, 24), 0x0000FFu);
        EXPECT_EQ(Pixel(d.Image(17), 0, 24), 0u);   // the sample's black border
        EXPECT_EQ(d.Image(10)->geometry(), QRect(80, 84, 48, 48));
        EXPECT_FALSE(UseWindowsBrushes);
    }
    UseWindowsBrushes = true;
    TfrmFillStyle d(nullptr, 0x0000FF);   // a red map: samples in the face colour
    EXPECT_EQ(Pixel(d.Image(17), 24, 24), PickerFaceColour(&d));
    EXPECT_TRUE(UseWindowsBrushes);
    EXPECT_EQ(d.Image(5), nullptr);
    d.bsSelected = 5;
    WhenShown<TfrmFillStyle>([](TfrmFillStyle& f) {
        EXPECT_EQ(f.bsSelected, 21);
        EXPECT_FALSE(f.CorvaneGroup->isVisible());
        QTest::mouseDClick(f.Image(19), Qt::LeftButton, {}, QPoint(10, 10));
    });
    EXPECT_TRUE(d.Execute());
    EXPECT_EQ(d.bsSelected, 19);
}

TEST(StylePickers, SymbolsSitInTheirCellsAndCancelKeepsTheSelection)
{
    TfrmSymbolStyle d(nullptr);
    const QImage& img = d.SymbolImage->Picture();
    EXPECT_EQ(img.size(), QSize(192, 200));
    // The filled circles (codes 1..4) and filled squares (9..12) are red at their centres; the
    // open circles (5..8) are not.
    for (int code : {1, 4, 9, 12}) EXPECT_EQ(Pixel(img, SymbolCentre(code).x, SymbolCentre(code).y), 0x0000FFu) << code;
    EXPECT_NE(Pixel(img, SymbolCentre(8).x, SymbolCentre(8).y), 0x0000FFu);
    EXPECT_EQ(Pixel(img, 48, 10), Pixel(img, 0, 0));   // cell edges stay clear

    d.SymbolNumber = 7;
    WhenShown<TfrmSymbolStyle>([](TfrmSymbolStyle& s) {
        EXPECT_TRUE(s.X1 == 96 && s.Y1 == 20 && s.X2 == 144 && s.Y2 == 40);   // the cell of code 7
        QTest::mouseClick(s.SymbolImage, Qt::LeftButton, {}, QPoint(100, 45));
        EXPECT_EQ(s.SymbolNumber, 11);
        s.CancelBtn->click();
    });
    EXPECT_FALSE(d.Execute());
}

namespace {

// The subset dialog on the map's base key (chosen in the map definition dialog), acted on by
// act; OK or Cancel as act leaves it.
void RunSubset(TMapFrm* map, std::function<void(TSubset&)> act)
{
    WhenShown<TMapDefinition>([act](TMapDefinition& d) {
        EXPECT_EQ(d.windowTitle(), "Select Map Subset");
        QListWidget* list = d.BasemapList;
        WhenShown<TSubset>(act);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    });
    map->Menu.Subset1->trigger();
}

QPoint RowPoint(const TSubset& d, int row, int x = 20) { return {x, row * d.RowHeight() + d.RowHeight() / 2}; }

} // namespace

TEST_F(DisplayTest, SubsetHidingAnItemRedrawsOnlyTheKeys)
{
    const KeyStruct& key = *map->MDF->NextMAS.First()->Key;
    const Rect before = map->BaseKeyPos;
    const Picture* full = map->FullMap.get();
    RunSubset(map, [](TSubset& d) {
        EXPECT_EQ(d.KeyMemo->Rows()[0], "Visible");
        EXPECT_EQ(d.windowTitle(), "Data Subset : ");
        QTest::mouseClick(d.KeyMemo, Qt::LeftButton, {}, RowPoint(d, 0));
        EXPECT_EQ(d.KeyMemo->Rows()[0], "Hidden");
        // The overlay look of the box: drawn in the item's colour on the dialog colour.
        EXPECT_EQ(Pixel(d.ForegroundImage, 20, d.RowHeight() / 2), DOSColour[12]);
        d.OKBtn->click();
    });
    EXPECT_TRUE(key.NextKD->Hidden && key.NextKD->Active);
    EXPECT_FALSE(map->Menu.Redraw1->isEnabled() || map->MDF->Changed);
    EXPECT_TRUE(map->NeedToSave);
    EXPECT_EQ(map->FullMap.get(), full);
    EXPECT_LT(map->BaseKeyPos.Height(), before.Height());   // one row fewer
}

TEST_F(DisplayTest, SubsetColourAndStyleChangesMarkRedrawAndCancelRestoresEverything)
{
    KeyStruct& key = *map->MDF->NextMAS.First()->Key;
    // Cancel: nothing changes in the key, and the dialog colour chosen goes back.
    dialogs.colourAnswers = {{DialogOutcome::Ok, 0x00FFFF}, {DialogOutcome::Ok, 0x808080}};
    RunSubset(map, [](TSubset& d) {
        QTest::mouseClick(d.StatusMemo, Qt::LeftButton, {}, RowPoint(d, 0));
        QTest::mouseClick(d.ForegroundImage, Qt::LeftButton, {}, RowPoint(d, 0));
        QTest::mouseClick(d.Panel1, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_EQ(SubsetForm_Colour, 0x808080u);
        EXPECT_EQ(Pixel(d.ForegroundImage, 20, d.RowHeight() / 2), 0x00FFFFu);
        d.CancelBtn->click();
    });
    EXPECT_TRUE(key.NextKD->Active && key.NextKD->Top_Colour == DOSColour[12]);
    EXPECT_EQ(SubsetForm_Colour, 0xC0C0C0u);
    EXPECT_FALSE(map->Menu.Redraw1->isEnabled() || map->NeedToSave);

    // A box restyled through the fill picker, a line item through the line picker: clear is 6.
    key.NextKD->Entry_Type = 1;
    RunSubset(map, [](TSubset& d) {
        WhenShown<TfrmLineStyle>([](TfrmLineStyle& l) {
            EXPECT_EQ(l.AbsSelected, 0);   // style 1 is solid
            QTest::mouseDClick(l.Image[5], Qt::LeftButton, {}, QPoint(20, 10));
        });
        QTest::mouseClick(d.BackgroundImage, Qt::RightButton, {}, RowPoint(d, 0));
        d.OKBtn->click();
    });
    EXPECT_EQ(key.NextKD->Bottom_Style, 6);
    EXPECT_TRUE(map->Menu.Redraw1->isEnabled() && map->MDF->Changed && map->NeedToSave);
}

TEST_F(DisplayTest, FileNewStartsFromTheLookKeptWithUseAsDefaultLook)
{
    // None kept: a new map has the black sea of a new map definition.
    window.frm->New1Click();
    Settle();
    map = MainWindowHarness::Map();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->MDF->BackgroundColour, clBlack);
    EXPECT_FALSE(map->MDF->Halo);

    // The look of this map kept: its background, graticule colour and halo.
    const Colour sea = 0xF5E7D3, grid = 0x907A5F;
    map->MDF->BackgroundColour = sea;
    map->MDF->Grid_Colour = grid;
    map->MDF->Halo = true;
    map->Menu.UseAsDefaultLook1->trigger();
    EXPECT_EQ(SettingsStore(dir / "cfg/corvane.ini").ReadString("Default Look", "BackgroundColour", ""),
              std::to_string(sea));

    window.frm->New1Click();
    Settle();
    map = MainWindowHarness::Map();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->MDF->BackgroundColour, sea);
    EXPECT_EQ(map->MDF->Grid_Colour, grid);
    EXPECT_TRUE(map->MDF->Halo);
    EXPECT_TRUE(map->Menu.Halo1->isChecked());
    EXPECT_EQ(Pixel(map->Picture(), 2, map->Picture().height() / 2), sea);   // the sea off the coast
}
