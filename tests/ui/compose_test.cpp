// Composing a map through the real map window on the offscreen platform: the data set list,
// the map definition dialog in its modes, stepping through the overlays, information pages.
#include "MainWindowHarness.h"
#include "ModalDialog.h"
#include "app/EditFrm.h"
#include "dialogs/DatasetListfrm.h"
#include "dialogs/MapDefinition.h"
#include "e2e/AtlasFixture.h"
#include "mapdef/MapThemes.h"
#include "text/SourceTable.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>


#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;

namespace {

using Titles = std::vector<std::string>;

class ComposeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CvVars::Reset();
        WriteCoastlines(dir, {30, 80, -40, 40, 2, 4, 2});
        WriteSquare(dir, "Themes/Square.POL", 1, -2, 3, 2);
        std::vector<DataListEntry> entries{{1, "Themes", 1, "XXXX"}, {1, "Intro", 0, "CDROM:\\Info\\Intro.Txt"}};
        for (const char* t : {"Squares", "Queries", "Third"}) {
            const int type = std::string(t) == "Queries" ? 7 : 8;
            dir.Write(std::string("Themes/") + t + ".MAS",
                      ThemeText({{type, false, {{"CDROM:\\Themes\\Square.POL", 0}}}}, 12));
            entries.insert(entries.end() - 1, {2, t, 1, std::string("CDROM:\\Themes\\") + t + ".MAS"});
        }
        dir.Write("Misc/MainMenu.Dat", WriteDataList(entries));
        dir.Write("Info/Intro.Txt", "\r\n   Harbour guide\r\nThe ~harbours~ of the coast.\r\n");
        window.Start(dir.Path(), dir / "cfg/corvane.ini");
        InstallTextViewerFactories();
    }
    void TearDown() override
    {
        window.Stop();
        SetTextViewerFactory(nullptr);
        SetSourceViewerFactory(nullptr);
    }
    TMapFrm& Open(const TestMap& m)
    {
        frm().OpenMapFile(dir.Write("m.MDF", MapText(m) + "[Text]\r\nTitle1=(Text) Intro\r\n"));
        MainWindowHarness::Settle();
        return *MainWindowHarness::Map();
    }
    TMainFrm& frm() { return *window.frm; }
    static Titles Of(const MASList& l)
    {
        Titles r;
        for (const MASStruct* m : l) r.push_back(*m->Title);
        return r;
    }
    static QPoint Row(QListWidget* l, int i) { return l->visualItemRect(l->item(i)).center(); }
    static void Mark(TMapFrm& map) { map.ImageCanvas()->SetPixel(0, 0, 0x123456); }
    static bool Plotted(const TMapFrm& map) { return map.Picture().pixel(0, 0) != qRgb(0x56, 0x34, 0x12); }

    TempDir dir;
    MainWindowHarness window;
};

} // namespace

TEST_F(ComposeTest, ANewMapBuiltFromTheListOrderedSteppedAndSaved)
{
    frm().New1Click();
    MainWindowHarness::Settle();
    TMapFrm& map = *MainWindowHarness::Map();
    EXPECT_FALSE(map.Menu.Order1->isEnabled());
    WhenShown<TDatasetListfrm>([](TDatasetListfrm& d) {
        for (int node : {1, 2, 3}) d.AddDataSet(node);
        d.OkBtn->click();
    });
    map.DatasetListClick();
    EXPECT_EQ(Of(map.MDF->OverlayMAS), (Titles{"Squares", "Queries", "Third"}));
    EXPECT_TRUE(map.NeedToSave && map.Menu.Next1->isEnabled() && map.Menu.Order1->isEnabled());
    EXPECT_FALSE(map.Menu.Query1->isEnabled());   // the first overlay answers no query
    // The view is fitted to the first overlay's area, and the overlay drawn.
    EXPECT_EQ(map.MDF->GetMinLat(), -5.0);
    EXPECT_EQ(map.MDF->GetMaxLon(), 5.0);
    EXPECT_EQ(FromQColor(QColor(map.Picture().pixel(map.LonToScreen(-0.7), map.LatToScreen(2.3)))), DOSColour[12]);

    // Order: the selected first overlay goes to the base maps with "<".
    WhenShown<TMapDefinition>([](TMapDefinition& d) {
        EXPECT_EQ(d.windowTitle(), "Order of Display of the Maps");
        EXPECT_EQ(d.property("helpContext").toInt(), 2002);
        EXPECT_FALSE(d.IncludeBtn->isEnabled());
        QTest::mouseClick(d.OverlaymapList->viewport(), Qt::LeftButton, {}, Row(d.OverlaymapList, 0));
        QTest::mouseClick(d.ExcludeBtn, Qt::LeftButton);
        EXPECT_TRUE(d.IncludeBtn->isEnabled());
        d.OKBtn->click();
    });
    map.Order1Click();
    EXPECT_EQ(Of(map.MDF->NextMAS), Titles{"Squares"});
    EXPECT_EQ(Of(map.MDF->OverlayMAS), (Titles{"Queries", "Third"}));
    EXPECT_TRUE(map.Menu.Query1->isEnabled());

    map.Next1Click();
    EXPECT_EQ(Of(map.MDF->OverlayMAS), (Titles{"Third", "Queries"}));
    EXPECT_FALSE(map.Menu.Query1->isEnabled());
    map.Previous1Click();
    EXPECT_EQ(Of(map.MDF->OverlayMAS), (Titles{"Queries", "Third"}));

    window.dialogs.saveAnswers.push_back({DialogOutcome::Ok, dir / "new"});
    frm().Save1->trigger();
    EXPECT_FALSE(map.NeedToSave);
    frm().OpenMapFile(dir / "new.MDF");
    MainWindowHarness::Settle();
    TMapFrm& back = *MainWindowHarness::Map();
    EXPECT_EQ(Of(back.MDF->NextMAS), Titles{"Squares"});
    EXPECT_EQ(Of(back.MDF->OverlayMAS), (Titles{"Queries", "Third"}));
}

TEST_F(ComposeTest, TheListRedrawsOnlyWhenTheDrawnOverlayChanges)
{
    TMapFrm& map = Open({20, 1, {}, {"Squares", "Queries", "Third"}});
    struct Step {
        const char* what;
        int removeLine;   // line of the chosen list to remove (-1 none)
        int addNode;      // node of the tree to add (-1 none)
        Titles overlays;
        bool plotted;
    };
    // The chosen list holds the overlays, then the text page.
    const Step steps[] = {
        {"second removed", 1, -1, {"Squares", "Third"}, false},
        {"first removed", 0, -1, {"Third"}, true},
        {"one added", -1, 1, {"Third", "Squares"}, false},
    };
    for (const Step& s : steps) {
        Mark(map);
        WhenShown<TDatasetListfrm>([&s](TDatasetListfrm& d) {
            if (s.removeLine >= 0) {
                d.lbSelected->item(s.removeLine)->setSelected(true);
                d.DeleteDataSets();
            }
            if (s.addNode >= 0) d.AddDataSet(s.addNode);
            d.OkBtn->click();
        });
        map.DatasetListClick();
        EXPECT_EQ(Of(map.MDF->OverlayMAS), s.overlays) << s.what;
        EXPECT_EQ(Plotted(map), s.plotted) << s.what;
    }
}

TEST_F(ComposeTest, ZoomLevelFixedKeepsTheViewWhenTheOverlayChanges)
{
    TMapFrm& map = Open({20, 1, {}, {"Squares", "Queries"}});
    for (bool fixed : {true, false}) {
        map.MDF->Zoom_Level_Fixed = fixed;
        map.MDF->NewZoom(0, 100, 600, 500, -2, -1, 2, 1, WindowPriority);
        const size_t depth = map.MDF->ZoomDepth();
        const double minLon = map.MDF->GetMinLon();
        map.Next1Click();
        EXPECT_EQ(map.MDF->ZoomDepth(), fixed ? depth : 1u);
        EXPECT_EQ(map.MDF->GetMinLon(), fixed ? minLon : -5.0);   // the overlay's full extent
    }
}

TEST_F(ComposeTest, DialogModesDoubleClicksDragAndInformation)
{
    TMapFrm& map = Open({20, 1, {"Squares"}, {"Queries", "Third"}});
    // Ordering: a double-click only beeps; dragging the second overlay onto the first swaps them.
    WhenShown<TMapDefinition>([&](TMapDefinition& d) {
        QTest::mouseDClick(d.OverlaymapList->viewport(), Qt::LeftButton, {}, Row(d.OverlaymapList, 0));
        QTest::mouseRelease(d.OverlaymapList->viewport(), Qt::LeftButton, {}, Row(d.OverlaymapList, 0));
        EXPECT_EQ(window.sink.beeps, 1);
        EXPECT_TRUE(d.isVisible());
        QWidget* v = d.OverlaymapList->viewport();
        QTest::mousePress(v, Qt::LeftButton, {}, Row(d.OverlaymapList, 1));
        QTest::mouseMove(v, Row(d.OverlaymapList, 1) + QPoint(0, -12));
        QTest::mouseMove(v, Row(d.OverlaymapList, 0));
        QTest::mouseRelease(v, Qt::LeftButton, {}, Row(d.OverlaymapList, 0));
        EXPECT_EQ(d.Titles(OverlayListId), (Titles{"Third", "Queries"}));
        d.OKBtn->click();
    });
    map.Order1Click();
    EXPECT_EQ(Of(map.MDF->OverlayMAS), (Titles{"Third", "Queries"}));

    // Selecting an overlay: the overlay list alone, across the width; a double-click confirms.
    WhenShown<TMapDefinition>([](TMapDefinition& d) {
        EXPECT_EQ(d.windowTitle(), "Select Map Overlay");
        EXPECT_TRUE(d.BasemapList->isHidden() && d.ExcludeBtn->isHidden());
        EXPECT_EQ(d.OverlaymapList->width(), d.width() - 32);
        QTest::mouseDClick(d.OverlaymapList->viewport(), Qt::LeftButton, {}, Row(d.OverlaymapList, 1));
    });
    map.Select1Click();
    EXPECT_EQ(Of(map.MDF->OverlayMAS), (Titles{"Queries", "Third"}));

    // Information: three lists, one selection among them; OK opens the page in the viewer.
    window.dialogs.fontAnswers.push_back({DialogOutcome::Failed, {}});
    WhenShown<TMapDefinition>([&](TMapDefinition& d) {
        EXPECT_EQ(d.property("helpContext").toInt(), 3001);
        EXPECT_TRUE(d.TextList->isVisible() && d.TextLabel->isVisible());
        EXPECT_EQ(d.TextList->geometry().bottom(), d.OverlaymapList->geometry().bottom());
        // A list is entered when it takes the focus, which a window gets only once the window
        // system has made it active: on a busy machine that comes after the dialog is shown.
        EXPECT_TRUE(QTest::qWaitForWindowActive(&d));
        QTest::mouseClick(d.FontBtn, Qt::LeftButton);
        EXPECT_TRUE(window.sink.Contains("Unable to load Font dialog"));
        QTest::mouseClick(d.BasemapList->viewport(), Qt::LeftButton, {}, Row(d.BasemapList, 0));
        QTest::mouseClick(d.TextList->viewport(), Qt::LeftButton, {}, Row(d.TextList, 0));
        EXPECT_TRUE(d.SelectedTitles(BaseListId).empty());
        d.OKBtn->click();
    });
    map.Info1Click();
    auto* page = dynamic_cast<TEditFrm*>(EditFrm);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->Filename, dir / "Info/Intro.Txt");
    EXPECT_EQ(page->windowTitle(), "Harbour guide");
    EXPECT_TRUE(MapDefinition->TextList->isHidden());

    // The source table: a line for each theme, base maps first.
    map.Source1Click();
    auto* sources = dynamic_cast<TEditFrm*>(SourceEdit);
    ASSERT_NE(sources, nullptr);
    EXPECT_EQ(sources->windowTitle(), kSourceTableCaption);
    const Titles lines = sources->PageLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_TRUE(lines[0] == kSourceTableHeading && lines[1].find("Squares") != std::string::npos);

    // The subset dialog's choice of a theme.
    WhenShown<TMapDefinition>([](TMapDefinition& d) {
        EXPECT_EQ(d.windowTitle(), "Select Map Subset");
        QTest::mouseDClick(d.BasemapList->viewport(), Qt::LeftButton, {}, Row(d.BasemapList, 0));
    });
    EXPECT_EQ(MapDefinition->SelectMapSubset(*map.MDF), map.MDF->NextMAS.First());
    // The theme double-clicked is the one chosen, though a base map was selected before it.
    WhenShown<TMapDefinition>([](TMapDefinition& d) {
        QTest::mouseClick(d.BasemapList->viewport(), Qt::LeftButton, {}, Row(d.BasemapList, 0));
        QTest::mouseDClick(d.OverlaymapList->viewport(), Qt::LeftButton, {}, Row(d.OverlaymapList, 1));
    });
    EXPECT_EQ(MapDefinition->SelectMapSubset(*map.MDF), map.MDF->OverlayMAS.Last());
}
