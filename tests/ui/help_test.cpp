// F1 on the viewer running the sample atlas's North Sea map: on menu items of both windows, in
// the dialogs and in the map's modes it opens the page of what is in front; every help context
// the live windows carry leads to a page and anchor that exist.
#include "MainWindowHarness.h"
#include "ModalDialog.h"
#include "TestUtil.h"
#include "app/AboutBox.h"
#include "app/HelpWindow.h"
#include "dialogs/DatasetListfrm.h"
#include "dialogs/GeographicSearch.h"
#include "dialogs/MapDefinition.h"
#include "dialogs/StylePickers.h"
#include "help/HelpPages.h"
#include "platform/CvVars.h"

#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;

namespace {

class HelpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CvVars::Reset();
        window.Start(SourceDir() + "/atlas", dir / "corvane.ini");
        window.frm->OpenMapFile(SourceDir() + "/atlas/Maps/NorthSea.MDF");
        MainWindowHarness::Settle();
        ASSERT_NE(MainWindowHarness::Map(), nullptr);
        HelpWindow::Instance().close();
    }
    void TearDown() override
    {
        HelpWindow::Instance().close();
        window.Stop();
    }

    // F1 pressed in w; the page the help window then shows ("" when it stays closed).
    static std::string F1(QWidget* w)
    {
        HelpWindow::Instance().close();
        QTest::keyClick(w, Qt::Key_F1);
        if (!HelpWindow::Instance().isVisible()) return {};
        const QUrl url = HelpWindow::Instance().Source();
        return (url.fileName() + (url.hasFragment() ? "#" + url.fragment() : QString())).toStdString();
    }
    // F1 on an item of a menu opened as the user opens it.
    static std::string F1OnItem(QMenu* menu, QAction* item)
    {
        menu->popup(QPoint(10, 10));
        menu->setActiveAction(item);
        const std::string page = F1(menu);
        EXPECT_FALSE(menu->isVisible());   // the menu closes for the page
        return page;
    }

    TempDir dir;
    MainWindowHarness window;
};

} // namespace

TEST_F(HelpTest, F1OnAMenuItemOpensThePageOfThatItemInBothWindows)
{
    TMainFrm& frm = *window.frm;
    TMapFrm& map = *MainWindowHarness::Map();
    EXPECT_EQ(F1OnItem(frm.File1, frm.Open1), "file.html#open");
    EXPECT_EQ(F1OnItem(frm.File1, frm.Print1), "file.html#print");
    EXPECT_EQ(F1OnItem(frm.Help1, frm.Welcome1), "welcome.html");
    EXPECT_EQ(F1OnItem(map.Menu.Zoom1, map.Menu.Reposition), "zoom.html#reposition");
    EXPECT_EQ(F1OnItem(map.Menu.Dataset1, map.Menu.Subset1), "subset.html");
    EXPECT_EQ(F1OnItem(map.Menu.View1, map.Menu.Source1), "view.html#source");
    // An item without a page of its own: the page of the nearest menu that has one.
    EXPECT_EQ(F1OnItem(map.Menu.GraticuleSpacing, map.Menu.Graticule5), "display.html#graticule");
    EXPECT_EQ(F1OnItem(map.Menu.Keys1, map.Menu.Caption1), "display.html#keys");
    // Redraw and Query are commands of the menu bar itself.
    frm.menuBar()->setActiveAction(map.Menu.Query1);
    EXPECT_EQ(F1(frm.menuBar()), "query.html");
    frm.menuBar()->setActiveAction(nullptr);
}

TEST_F(HelpTest, F1InADialogOpensItsPage)
{
    TMapFrm& map = *MainWindowHarness::Map();
    std::string page;
    auto answer = [&page](QDialog& d) {
        page = F1(d.focusWidget() ? d.focusWidget() : &d);
        // The dialog does not block the help window, which stays when the dialog goes.
        EXPECT_EQ(HelpWindow::Instance().parentWidget(), &d);
        d.reject();
        EXPECT_TRUE(HelpWindow::Instance().isVisible());
        EXPECT_EQ(HelpWindow::Instance().parentWidget(), nullptr);
    };
    WhenShown<TMapDefinition>(answer);
    map.Order1Click();
    EXPECT_EQ(page, "dataset.html#order");
    WhenShown<TMapDefinition>(answer);
    map.Subset1Click();
    EXPECT_EQ(page, "subset.html");
    WhenShown<TGeographicSearch>(answer);
    map.Exact1Click();
    EXPECT_EQ(page, "zoom.html#exact");
    // In the data set list F1 reaches no control of the tree: it opens the window's page.
    WhenShown<TDatasetListfrm>([&page](TDatasetListfrm& d) {
        page = F1(d.Outline1);
        d.reject();
    });
    map.DatasetListClick();
    EXPECT_EQ(page, "datasetlist.html");

    TfrmLineStyle line(&map);
    EXPECT_EQ(F1(&line), "styles.html#line");
    TAboutBox about(&map);
    EXPECT_EQ(F1(&about), "help.html#about");
    EXPECT_EQ(F1(window.frm.get()), "mainwindow.html");
}

TEST_F(HelpTest, F1OnTheMapOpensThePageOfTheModeItIsIn)
{
    TMapFrm& map = *MainWindowHarness::Map();
    EXPECT_EQ(F1(map.Image1), "mapwindow.html");
    map.ZoomInClick();
    EXPECT_EQ(F1(map.Image1), "zoom.html#in");
    map.CheckDraw();
    map.RepositionClick();
    EXPECT_EQ(F1(map.Image1), "zoom.html#reposition");
    map.CheckDraw();
    ASSERT_TRUE(map.Menu.Query1->isEnabled());
    map.Query1Click();
    EXPECT_EQ(F1(map.Image1), "query.html");
    map.CheckDraw();
    map.Distance1Click();
    EXPECT_EQ(F1(&map), "distance.html");
    map.CheckDraw();
    map.WhereAmIClick();
    EXPECT_EQ(F1(map.Image1), "zoom.html#whereami");
    QTest::keyClick(map.Image1, Qt::Key_Escape);
    EXPECT_FALSE(CvVars::bWhereAmI);
    EXPECT_EQ(F1(map.Image1), "mapwindow.html");
}

TEST_F(HelpTest, EveryHelpContextOfTheLiveWindowsLeadsToAPageAndAnchorThatExist)
{
    TMapFrm& map = *MainWindowHarness::Map();
    TfrmFillStyle fill(&map, 0);
    TfrmLineStyle line(&map);
    TfrmSymbolStyle symbol(&map);
    TAboutBox about(&map);
    std::set<int> contexts;
    for (QObject* root : std::initializer_list<QObject*>{window.frm.get(), &map, &fill, &line, &symbol, &about,
                                                         &HelpWindow::Instance()}) {
        QList<QObject*> objects = root->findChildren<QObject*>();
        objects << root;
        for (QObject* o : objects)
            if (int c = o->property("helpContext").toInt(); c > 0) contexts.insert(c);
    }
    for (int mode : {5001, 5007, 5008, 7000, 4006, kHelpMoveKey, kHelpMapWindow}) contexts.insert(mode);
    EXPECT_GE(contexts.size(), 45u);
    for (int c : contexts) {
        const QString page = HelpPageForContext(c);
        EXPECT_FALSE(page.isEmpty()) << "help context " << c << " has no page";
        EXPECT_TRUE(HelpPageExists(page)) << "help context " << c << ": " << page.toStdString();
    }

    // The contents, the index and the search of the help window are filled from the pages.
    HelpWindow& help = HelpWindow::Instance();
    EXPECT_GT(help.ContentsTree->topLevelItemCount(), 8);
    EXPECT_GT(help.IndexList->count(), 100);
    help.IndexField->setText("where am");
    QTest::keyClick(help.IndexField, Qt::Key_Return);
    EXPECT_EQ(help.Source().fragment(), "whereami");
    help.SearchField->setText("hemisphere LETTER");
    ASSERT_GT(help.SearchResults->count(), 0);
    EXPECT_EQ(help.SearchResults->item(0)->data(Qt::UserRole).toUrl(), QUrl("qrc:/help/zoom.html#exact"));
}
