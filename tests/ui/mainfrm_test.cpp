#include "TestUtil.h"
#include "app/AboutBox.h"
#include "app/AppPictures.h"
#include "app/CvSplash.h"
#include "app/HelpWindow.h"
#include "app/MainFrm.h"
#include "app/PrintSplash.h"
#include "help/HelpPages.h"
#include "layers/FillStyle.h"
#include "platform/CdromMounts.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/DialogService.h"
#include "platform/MessageSink.h"
#include "platform/PageSetup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

using namespace corvane;
using corvane::test::ReadFile;
using corvane::test::TempDir;

namespace {

// A map window that records what the main window asks of it.
class FakeMap : public MapWindowApi {
public:
    std::vector<std::string> calls;
    bool refuseClose = false;
    QWidget* Widget() override { return nullptr; }
    void Redraw() override { calls.push_back("Redraw"); }
    void CloseWindow() override
    {
        calls.push_back("Close");
        if (!refuseClose && MapFrm == this) {
            MapFrm = nullptr;
            if (MainFrm) MainFrm->Tag = kTagNone;
        }
    }
    void EndDistanceMeasurement() override { calls.push_back("EndDistance"); }
    void Save1Click() override { calls.push_back("Save"); }
    void SaveAs1Click() override { calls.push_back("SaveAs"); }
    void Print1Click() override { calls.push_back("Print"); }
    void PrintSetUp1Click() override { calls.push_back("PrintSetUp"); }
    void CopyToClipboard1Click() override { calls.push_back("Copy"); }
    void DatasetListClick() override { calls.push_back("DatasetList"); }
    void Order1Click() override { calls.push_back("Order"); }
    void Select1Click() override { calls.push_back("Select"); }
    void Previous1Click() override { calls.push_back("Previous"); }
    void Next1Click() override { calls.push_back("Next"); }
    void LandStyleClick() override { calls.push_back("LandStyle"); }
    void BackgroundClick() override { calls.push_back("Background"); }
    void BaseMapKeyClick() override { calls.push_back("BaseKey"); }
    void OverlayMapKeyClick() override { calls.push_back("OverlayKey"); }
    void GraticuleDisplayClick() override { calls.push_back("GratDisplay"); }
    void GraticuleAutoClick() override { calls.push_back("GratAuto"); }
    void IncGratFontSize() override { calls.push_back("Inc"); }
    void DecGratFontSize() override { calls.push_back("Dec"); }
    void GraticuleFormatDMSClick() override { calls.push_back("DMS"); }
    void GraticuleFormatDECClick() override { calls.push_back("DEC"); }
    void Info1Click() override { calls.push_back("Info"); }
    void Source1Click() override { calls.push_back("Source"); }
    void FillColour1Click() override { calls.push_back("FillColour"); }
    void OutlineColour1Click() override { calls.push_back("OutlineColour"); }
    void KeyColourClick() override { calls.push_back("KeyColour"); }
    void KeyBackgroundClick() override { calls.push_back("KeyBackground"); }
    void GraticuleColourClick() override { calls.push_back("GratColour"); }
    void FractionDegreesClick() override { calls.push_back("Frac"); }
    void Graticule1Click() override { calls.push_back("Grat1"); }
    void Graticule2Click() override { calls.push_back("Grat2"); }
    void Graticule5Click() override { calls.push_back("Grat5"); }
    void Graticule10Click() override { calls.push_back("Grat10"); }
    void Graticule20Click() override { calls.push_back("Grat20"); }
};

class MainFrmTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CvVars::Reset();
        ClearDriveRoots();
        dir.Write("atlas/Misc/MainMenu.Dat", "Atlas\r\n");
        settings = std::make_unique<SettingsStore>(dir / "cfg/corvane.ini");
        MainFrmServices s;
        s.settings = settings.get();
        s.dialogs = &dialogs;
        s.sink = &sink;
        s.mounts = &mounts;
        s.overrides.cdrom = dir / "atlas";
        frm = std::make_unique<TMainFrm>(s);
    }
    void TearDown() override
    {
        MapFrm = nullptr;
        SetMapWindowFactory(nullptr);
        frm.reset();
        CvVars::Reset();
        UseWindowsBrushes = true;
    }
    // Installs a fake map window as the active child.
    FakeMap& OpenFakeMap()
    {
        map = std::make_unique<FakeMap>();
        MapFrm = map.get();
        frm->Tag = kTagMapWindow;
        return *map;
    }

    TempDir dir;
    std::unique_ptr<SettingsStore> settings;
    ScriptedDialogService dialogs;
    RecordingMessageSink sink;
    FixedCdromProvider mounts{{}};
    std::unique_ptr<TMainFrm> frm;
    std::unique_ptr<FakeMap> map;
};

struct ExpectedButton {
    const char* name;
    int row, left;
    const char* hint;
    int group;
    bool down, allowAllUp, hidden, disabled;
};

const ExpectedButton kExpectedButtons[] = {
    {"FileNewSpdBtn", 1, 4, "New File", 0, false, false, false, false},
    {"FileOpenSpdBtn", 1, 30, "Open File", 0, false, false, false, false},
    {"FileSaveSpdBtn", 1, 56, "Save File", 0, false, false, false, true},
    {"PageSetUpSpdBtn", 1, 88, "Set Page Margins", 0, false, false, false, true},
    {"PrintSpdBtn", 1, 114, "Print", 0, false, false, false, true},
    {"PrintSetUpSpdBtn", 1, 140, "Printer Setup", 0, false, false, false, true},
    {"DSListSpdBtn", 1, 184, "Dataset List", 0, false, false, true, false},
    {"DSOrderSpdBtn", 1, 214, "Dataset Order", 0, false, false, true, false},
    {"SelectOverlaySpdBtn", 1, 240, "Select Overlay", 0, false, false, true, false},
    {"PreviousOverlaySpdBtn", 1, 266, "Previous Overlay", 0, false, false, true, false},
    {"NextOverlaySpdBtn", 1, 292, "Next Overlay", 0, false, false, true, false},
    {"LandInfillSpdBtn", 1, 324, "Infilled Coastline", 1, true, false, true, false},
    {"LandOutlineSpdBtn", 1, 350, "Outline Coastline", 1, false, false, true, false},
    {"BackgroundSpdBtn", 1, 376, "Background Colour for maps ", 0, false, false, true, false},
    {"BaseKeySpdBtn", 1, 406, "Base Key", 6, false, true, true, false},
    {"OverlayKeySpdBtn", 1, 432, "Overlay Key", 5, false, true, true, false},
    {"GridDisplaySpdBtn", 1, 464, "Graticule  : Toggle the display", 3, true, true, true, false},
    {"GridAutoSpdBtn", 1, 496, "Graticule : Auto ", 2, true, false, true, false},
    {"GratFontIncSpdBtn", 1, 530, "Increase the graticule font size", 0, false, false, true, false},
    {"GratFontDecSpdBtn", 1, 556, "Decrease the graticule font size", 0, false, false, true, false},
    {"GraticuleDMSSpdBtn", 1, 596, "Graticule : Degrees Minutes Seconds", 4, false, false, true, false},
    {"GraticuleDDSpdBtn", 1, 622, "Graticule : Decimal Degrees", 4, false, false, true, false},
    {"ViewInfoSpdBtn", 2, 214, "View Information Page", 0, false, false, true, false},
    {"SourceSpdBtn", 2, 240, "Source of Datasets", 0, false, false, true, false},
    {"FillColourSpdBtn", 2, 324, "Infilled Coastline Colour", 0, false, false, true, false},
    {"OutlineColourSpdBtn", 2, 350, "Outline Coastline Colour", 0, false, false, true, false},
    {"KeyColourSpdBtn", 2, 406, "Key : Text Colour", 0, false, false, true, false},
    {"KeyBkGrndSpdBtn", 2, 432, "Key : Background Colour", 0, false, false, true, false},
    {"GridColourSpdBtn", 2, 464, "Graticule : Colour", 0, false, false, true, false},
    {"GridFracSpdBtn", 2, 496, "Graticule : Fractional", 2, false, false, true, false},
    {"Grid1SpdBtn", 2, 518, "Graticule : 1 Degree", 2, false, false, true, false},
    {"Grid2SpdBtn", 2, 544, "Graticule : 2 Degrees", 2, false, false, true, false},
    {"Grid5SpdBtn", 2, 570, "Graticule : 5 Degrees", 2, false, false, true, false},
    {"Grid10SpdBtn", 2, 596, "Graticule : 10 Degrees", 2, false, false, true, false},
    {"Grid20SpdBtn", 2, 622, "Graticule : 20 Degrees", 2, false, false, true, false},
};

struct ExpectedItem {
    const char* caption;
    const char* name;   // empty for a separator
    int helpContext;
};

void ExpectMenu(const QMenu* menu, const std::vector<ExpectedItem>& items)
{
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), static_cast<int>(items.size())) << menu->title().toStdString();
    for (size_t i = 0; i < items.size(); ++i) {
        const QAction* a = actions[static_cast<int>(i)];
        if (std::string(items[i].caption) == "-") {
            EXPECT_TRUE(a->isSeparator()) << i;
            continue;
        }
        EXPECT_EQ(a->text().toStdString(), items[i].caption);
        EXPECT_EQ(a->objectName().toStdString(), items[i].name);
        EXPECT_EQ(a->property("helpContext").toInt(), items[i].helpContext) << items[i].name;
    }
}

void SendDoubleClick(QWidget* w, QPoint at)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &dbl);
}

} // namespace

TEST_F(MainFrmTest, MenusCarryTheirCaptionsNamesGroupsAndHelpContexts)
{
    EXPECT_EQ(frm->windowTitle(), "Corvane");
    QList<QMenu*> bar = frm->MenuBarMenus();
    ASSERT_EQ(bar.size(), 4);
    EXPECT_EQ(bar[0]->title(), "&File");
    EXPECT_EQ(bar[1]->title(), "&Window");
    EXPECT_EQ(bar[2]->title(), "&Edit");   // after Window: the map window's menus keep their positions
    EXPECT_EQ(bar[3]->title(), "&Help");
    EXPECT_EQ(bar[0]->property("groupIndex").toInt(), 0);
    EXPECT_EQ(bar[1]->property("groupIndex").toInt(), 5);
    EXPECT_EQ(bar[2]->property("groupIndex").toInt(), 7);
    EXPECT_EQ(bar[3]->property("groupIndex").toInt(), 10);
    EXPECT_EQ(bar[0]->property("helpContext").toInt(), 1000);
    EXPECT_EQ(bar[1]->property("helpContext").toInt(), 8000);
    EXPECT_EQ(bar[3]->property("helpContext").toInt(), 1);
    ExpectMenu(bar[0], {{"&New", "New1", 1001},
                        {"&Open...", "Open1", 1002},
                        {"&Close", "Close1", 0},
                        {"&Save", "Save1", 1004},
                        {"Save  &As...", "SaveAs1", 1005},
                        {"&Export...", "Export1", 0},
                        {"-", "", 0},
                        {"Pa&ge Setup", "PageSetup1", 1006},
                        {"&Print...", "Print1", 1007},
                        {"Print Set&up", "PrintSetUp1", 1008},
                        {"Copy To Clip&board", "CopyToClipboard1", 1009},
                        {"-", "", 0},
                        {"E&xit", "Exit1", 1010}});
    ExpectMenu(bar[1], {{"&Toolbar", "Toolbar1", 0},
                        {"Use &Standard Brushes", "UseStandardBrushes1", 0},
                        {"&Reopen Last Map at Start", "ReopenLastMap1", kHelpReopenLastMap}});
    ExpectMenu(bar[2], {{"&Find...", "Find1", 8501}});
    EXPECT_EQ(frm->Find1->shortcut(), QKeySequence(QKeySequence::Find));
    ExpectMenu(bar[3], {{"&Welcome", "Welcome1", 1}, {"&Contents", "Contents1", 0}, {"&About", "About1", 0}});
    EXPECT_FALSE(frm->Close1->isVisible());
    EXPECT_TRUE(frm->Toolbar1->isChecked());
    EXPECT_TRUE(frm->UseStandardBrushes1->isChecked());

    // Every help context leads to a page that exists.
    for (int context : {1, 1000, 1001, 1002, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 8000}) {
        QString page = HelpPageForContext(context);
        ASSERT_FALSE(page.isEmpty()) << context;
        HelpWindow::Instance();   // registers the pages
        EXPECT_TRUE(QFile::exists(":" + QUrl(page).path())) << context;
    }
    EXPECT_TRUE(HelpWindow::Instance().ShowTopic("iWelcome"));
    EXPECT_TRUE(HelpWindow::Instance().toPlainText().contains("Welcome to Corvane"));
    HelpWindow::Instance().close();
}

TEST_F(MainFrmTest, ToolButtonsStandWhereTheTableSaysWithTheirHintsGroupsAndStates)
{
    EXPECT_EQ(frm->ToolBar->height(), 60);
    int count = 0;
    for (const ExpectedButton& e : kExpectedButtons) {
        QToolButton* b = frm->Button(e.name);
        ASSERT_NE(b, nullptr) << e.name;
        ++count;
        EXPECT_EQ(b->geometry(), QRect(e.left, e.row == 1 ? 4 : 30, 26, 26)) << e.name;
        EXPECT_EQ(b->toolTip().toStdString(), e.hint) << e.name;
        EXPECT_EQ(b->property("groupIndex").toInt(), e.group) << e.name;
        EXPECT_EQ(b->property("allowAllUp").toBool(), e.allowAllUp) << e.name;
        EXPECT_EQ(b->isChecked(), e.down) << e.name;
        EXPECT_EQ(b->isHidden(), e.hidden) << e.name;
        EXPECT_EQ(b->isEnabled(), !e.disabled) << e.name;
    }
    EXPECT_EQ(frm->ToolBar->findChildren<QToolButton*>().size(), count);
    // The hints show while the map window, not the main window, is active.
    EXPECT_TRUE(frm->testAttribute(Qt::WA_AlwaysShowToolTips));
    EXPECT_EQ(frm->Button("GratFontIncSpdBtn")->text(), "+");
    EXPECT_EQ(frm->Button("GratFontDecSpdBtn")->text(), "-");

    // Radio groups keep one button down; groups that may be up toggle.
    frm->SetMapButtonsVisible(true);
    frm->Button("Grid5SpdBtn")->click();
    EXPECT_TRUE(frm->Button("Grid5SpdBtn")->isChecked());
    EXPECT_FALSE(frm->Button("GridAutoSpdBtn")->isChecked());
    frm->Button("Grid5SpdBtn")->click();
    EXPECT_TRUE(frm->Button("Grid5SpdBtn")->isChecked());
    frm->Button("LandOutlineSpdBtn")->click();
    EXPECT_FALSE(frm->Button("LandInfillSpdBtn")->isChecked());
    frm->Button("GridDisplaySpdBtn")->click();
    EXPECT_FALSE(frm->Button("GridDisplaySpdBtn")->isChecked());
    frm->Button("BaseKeySpdBtn")->click();
    EXPECT_TRUE(frm->Button("BaseKeySpdBtn")->isChecked());
    frm->Button("GraticuleDDSpdBtn")->click();
    EXPECT_TRUE(frm->Button("GraticuleDDSpdBtn")->isChecked());
    EXPECT_FALSE(frm->Button("GraticuleDMSSpdBtn")->isChecked());
    frm->SetMapButtonsVisible(false);
    EXPECT_TRUE(frm->Button("Grid20SpdBtn")->isHidden());
    EXPECT_FALSE(frm->Button("FileOpenSpdBtn")->isHidden());
}

TEST_F(MainFrmTest, ButtonsForwardToTheMapWindowEndingDistanceMeasurementFirst)
{
    // Without a map window nothing happens.
    frm->SetMapButtonsVisible(true);
    frm->Button("DSListSpdBtn")->click();
    FakeMap& m = OpenFakeMap();
    frm->Button("DSListSpdBtn")->click();
    frm->Button("Grid10SpdBtn")->click();
    frm->Button("BackgroundSpdBtn")->click();
    frm->Button("LandOutlineSpdBtn")->click();
    EXPECT_EQ(m.calls, (std::vector<std::string>{"EndDistance", "DatasetList", "EndDistance", "Grat10", "Background",
                                                 "EndDistance", "LandStyle"}));
    m.calls.clear();
    frm->Save1->trigger();
    frm->Print1->trigger();
    frm->CopyToClipboard1->trigger();
    frm->Help1Popup();
    EXPECT_EQ(m.calls, (std::vector<std::string>{"EndDistance", "Save", "Print", "EndDistance", "Copy", "EndDistance"}));
}

TEST_F(MainFrmTest, TheFileMenuFollowsTheMapWindow)
{
    frm->File1Popup();
    for (QAction* a : {frm->Close1, frm->Save1, frm->SaveAs1, frm->PageSetup1, frm->Print1, frm->PrintSetUp1})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_TRUE(frm->New1->isEnabled());
    EXPECT_TRUE(frm->CopyToClipboard1->isEnabled());
    OpenFakeMap();
    frm->File1Popup();
    // (The hidden Close item cannot be chosen from the menu either way.)
    for (QAction* a : {frm->Save1, frm->SaveAs1, frm->PageSetup1, frm->Print1, frm->PrintSetUp1})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
}

TEST_F(MainFrmTest, NewAndOpenReplaceTheMapWindowUnlessItRefusesToClose)
{
    int created = 0;
    SetMapWindowFactory([&](TMainFrm& owner) -> MapWindowApi* {
        ++created;
        map = std::make_unique<FakeMap>();
        owner.Tag = kTagMapWindow;
        return map.get();
    });
    frm->MapFilename = "old.mdf";
    frm->New1Click();
    EXPECT_EQ(created, 1);
    EXPECT_EQ(MapFrm, map.get());
    EXPECT_TRUE(frm->MapFilename.empty());
    EXPECT_EQ(map->calls, (std::vector<std::string>{"Redraw"}));

    map->refuseClose = true;
    frm->New1Click();
    EXPECT_EQ(created, 1);
    map->refuseClose = false;

    dir.Write("maps/Harbour.MDF", "[Map Definition]\r\n");
    CvVars::DefaultDir = dir / "maps";
    dialogs.openAnswers.push_back({DialogOutcome::Ok, dir / "maps/Harbour.MDF"});
    frm->Open1Click();
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    const FileDialogRequest& r = dialogs.openRequests[0];
    EXPECT_EQ(r.title, "Open Map Definition File");
    EXPECT_EQ(r.filter, "Map Files (*.MDF)|*.mdf| All Files (*.*) | *.*");
    EXPECT_EQ(r.defaultExt, "MDF");
    EXPECT_EQ(r.initialDir, dir / "maps");
    EXPECT_TRUE(r.fileName.empty());
    EXPECT_TRUE(r.fileMustExist && r.pathMustExist && r.hideReadOnly);
    EXPECT_EQ(created, 2);
    EXPECT_EQ(frm->MapFilename, dir / "maps/Harbour.MDF");
    EXPECT_EQ(CvVars::DefaultDir, dir / "maps/");

    // The file chosen last is offered again; a dialog that cannot be shown is reported.
    dialogs.openAnswers.push_back({DialogOutcome::Failed, ""});
    frm->Open1Click();
    EXPECT_EQ(dialogs.openRequests[1].fileName, dir / "maps/Harbour.MDF");
    EXPECT_TRUE(sink.Contains("Unable to load Open dialog"));
    EXPECT_EQ(created, 2);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainFrmTest, HidingTheToolBarShrinksTheWindowByItsHeight)
{
    frm->show();
    QApplication::processEvents();
    const int tall = frm->height();
    frm->Toolbar1->trigger();
    EXPECT_FALSE(frm->Toolbar1->isChecked());
    EXPECT_TRUE(frm->ToolBar->isHidden());
    EXPECT_EQ(frm->height(), tall - 60);
    EXPECT_EQ(frm->minimumHeight(), tall - 60);
    EXPECT_EQ(frm->maximumHeight(), tall - 60);
    frm->Toolbar1->trigger();
    EXPECT_EQ(frm->height(), tall);
    EXPECT_FALSE(frm->ToolBar->isHidden());

    MainWindowLimits l = MainWindowSizeLimits(1280, 4, 4, 22, 20, 60, true);
    EXPECT_EQ(l.maxWidth, 1288);
    EXPECT_EQ(l.minWidth, 640);
    EXPECT_EQ(l.height, 22 + 8 + 20 + 60);
    EXPECT_EQ(MainWindowSizeLimits(1280, 4, 4, 22, 20, 60, false).height, 50);
}

TEST_F(MainFrmTest, ClosingWritesBackTheToolBarAndFolderOnlyWhenChanged)
{
    frm->close();
    EXPECT_EQ(settings->Writes(), 0);
    EXPECT_EQ(ReadFile(dir / "cfg/corvane.ini"), "");

    // A double click on the bare tool bar chooses its colour; one on a button does not.
    dialogs.colourAnswers.push_back({DialogOutcome::Ok, 0x00336699});
    SendDoubleClick(frm->ToolBar, QPoint(10, 10));   // on FileNewSpdBtn
    EXPECT_TRUE(dialogs.colourRequests.empty());
    SendDoubleClick(frm->ToolBar, QPoint(700, 40));
    ASSERT_EQ(dialogs.colourRequests.size(), 1u);
    EXPECT_EQ(frm->MouseX, 700);
    EXPECT_EQ(frm->MouseY, 40);
    EXPECT_EQ(frm->ToolBarColour(), 0x00336699u);
    dialogs.colourAnswers.push_back({DialogOutcome::Failed, 0});
    SendDoubleClick(frm->ToolBar, QPoint(700, 40));
    EXPECT_TRUE(sink.Contains("Unable to load Color dialog"));
    EXPECT_EQ(frm->ToolBarColour(), 0x00336699u);

    frm->Toolbar1->trigger();
    CvVars::DefaultDir = "/home/u/maps/";
    frm->close();
    const std::string text = ReadFile(dir / "cfg/corvane.ini");
    EXPECT_NE(text.find("Show=0"), std::string::npos) << text;
    EXPECT_NE(text.find("Colour=$00336699"), std::string::npos) << text;
    EXPECT_NE(text.find("Directory=/home/u/maps/"), std::string::npos) << text;
    // The data location is never written on closing.
    EXPECT_EQ(text.find("CDROM"), std::string::npos) << text;
}

TEST_F(MainFrmTest, AMapWindowThatRefusesKeepsTheMainWindowOpen)
{
    FakeMap& m = OpenFakeMap();
    m.refuseClose = true;
    frm->show();
    EXPECT_FALSE(frm->close());
    EXPECT_TRUE(frm->isVisible());
    frm->Exit1Click();
    EXPECT_TRUE(frm->isVisible());
    m.refuseClose = false;
    frm->Exit1Click();
    EXPECT_FALSE(frm->isVisible());
    EXPECT_EQ(MapFrm, nullptr);
}

TEST_F(MainFrmTest, PageSetupMarginsStick)
{
    GeneralPageSetUp().Reset();
    GeneralPageSetUp().SetMetricSource(nullptr);
    PageSetupDialogValues v;
    v.left = 500;
    v.top = 750;
    v.right = 1250;
    v.bottom = 2000;
    dialogs.pageSetupAnswers.push_back({DialogOutcome::Ok, v});
    frm->PageSetup1->trigger();
    EXPECT_DOUBLE_EQ(GeneralPageSetUp().GetLeftMargin_Inch(), 0.5);
    EXPECT_DOUBLE_EQ(GeneralPageSetUp().GetBottomMargin_Inch(), 2.0);
    frm->Button("PageSetUpSpdBtn")->setEnabled(true);
    frm->Button("PageSetUpSpdBtn")->click();
    ASSERT_EQ(dialogs.pageSetupRequests.size(), 2u);
    EXPECT_EQ(dialogs.pageSetupRequests[1].left, 500);
    EXPECT_EQ(dialogs.pageSetupRequests[1].top, 750);
    EXPECT_EQ(dialogs.pageSetupRequests[1].right, 1250);
    EXPECT_DOUBLE_EQ(GeneralPageSetUp().GetLeftMargin_Inch(), 0.5);   // cancelled: unchanged
    GeneralPageSetUp().Reset();
}

TEST_F(MainFrmTest, StandardBrushesAndMenuMerging)
{
    FakeMap& m = OpenFakeMap();
    frm->UseStandardBrushes1->trigger();
    EXPECT_FALSE(UseWindowsBrushes);
    EXPECT_FALSE(frm->UseStandardBrushes1->isChecked());
    EXPECT_EQ(m.calls, (std::vector<std::string>{"Redraw"}));
    UseWindowsBrushes = true;
    frm->Window1Popup();
    EXPECT_TRUE(frm->UseStandardBrushes1->isChecked());

    QMenu dataset("&Dataset"), view("&View"), display("&Display");
    dataset.setProperty("groupIndex", 2);
    view.setProperty("groupIndex", 5);
    display.setProperty("groupIndex", 5);
    frm->MergeMenus({&dataset, &view, &display});
    QList<QMenu*> bar = frm->MenuBarMenus();
    EXPECT_EQ(bar, (QList<QMenu*>{frm->File1, &dataset, &view, &display, frm->Edit1, frm->Help1}));
    frm->MergeMenus({});
    EXPECT_EQ(frm->MenuBarMenus(), (QList<QMenu*>{frm->File1, frm->Window1, frm->Edit1, frm->Help1}));
}

TEST_F(MainFrmTest, F1InAMergedMenuOrItsSubmenuShowsHelp)
{
    QMenu display("&Display");
    display.setProperty("groupIndex", 5);
    display.setProperty("helpContext", 4000);
    QMenu* land = display.addMenu("&Land");
    land->setProperty("helpContext", 4001);
    frm->MergeMenus({&display});
    for (QMenu* m : {&display, land}) {
        HelpWindow::Instance().close();
        QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QApplication::sendEvent(m, &f1);
        EXPECT_TRUE(HelpWindow::Instance().isVisible()) << m->title().toStdString();
    }
    HelpWindow::Instance().close();
    frm->MergeMenus({});
}

TEST(StartUp, AMissingDataListEndsTheProgramWithoutAMessage)
{
    CvVars::Reset();
    TempDir dir;
    SettingsStore settings;
    ScriptedDialogService dialogs;
    RecordingMessageSink sink;
    FixedCdromProvider mounts({dir.Path()});
    MainFrmServices s{&settings, &dialogs, &sink, &mounts, {}, {}};
    TMainFrm frm(s);
    EXPECT_TRUE(frm.TerminateRequested());
    EXPECT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_TRUE(CursorRegistered(crZoom) && CursorRegistered(crReposition) && CursorRegistered(crQuery) &&
                CursorRegistered(crHALV) && CursorRegistered(crDistance));
    EXPECT_FALSE(CursorPicture("Zoom").isNull());
    EXPECT_TRUE(CursorPicture("Nothing").isNull());
    CvVars::Reset();
}

TEST(AboutBox, TheVKeyOnOkTogglesTheFullForm)
{
    TAboutBox box;
    EXPECT_EQ(box.windowTitle(), "About");
    EXPECT_EQ(box.width(), 358);
    EXPECT_EQ(box.ProductName->text(), "Corvane");
    EXPECT_EQ(box.Version->text(), "Version 3.01b");
    EXPECT_EQ(box.Company->text(), "Halvern");
    EXPECT_FALSE(box.FullForm());
    EXPECT_TRUE(box.OS->isHidden());
    const int shortHeight = box.height();
    EXPECT_EQ(box.OKButton->geometry().top(), box.Panel1->geometry().bottom() + 1 + 10);
    EXPECT_EQ(shortHeight, box.OKButton->geometry().bottom() + 1 + 10);
    EXPECT_GT(box.Memo1->geometry().bottom(), 0);
    EXPECT_LE(box.Panel1->geometry().top() + box.Memo1->geometry().bottom(), box.Panel1->geometry().bottom());

    // The box opens with the key on its OK button: V pressed at once toggles the form.
    box.show();
    box.activateWindow();
    QApplication::processEvents();
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QKeyEvent v(QEvent::KeyPress, Qt::Key_V, Qt::NoModifier, "v");
    QApplication::sendEvent(QApplication::focusWidget(), &v);
    EXPECT_TRUE(box.FullForm());
    EXPECT_FALSE(box.OS->isHidden());
    EXPECT_FALSE(box.Bevel1->isHidden());
    EXPECT_GT(box.height(), shortHeight);
    EXPECT_EQ(box.Panel1->height(), box.PhysMem->geometry().bottom() + 1 + 10);
    EXPECT_TRUE(box.OS->text().startsWith(" "));
    EXPECT_TRUE(box.PhysMem->text().endsWith(" KB"));
    EXPECT_GT(PhysicalMemoryKB(), 0u);
    QKeyEvent V(QEvent::KeyPress, Qt::Key_V, Qt::ShiftModifier, "V");
    QApplication::sendEvent(box.OKButton, &V);
    EXPECT_FALSE(box.FullForm());
    EXPECT_EQ(box.height(), shortHeight);
}

TEST(PrintSplash, CancelAbortsThroughItsCallbackAndDestroyingClearsTheGlobal)
{
    int cancels = 0;
    auto* form = new TPrintSplashForm([&] { ++cancels; });
    EXPECT_EQ(PrintSplashForm, form);
    EXPECT_EQ(form->size(), QSize(359, 209));
    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(form->CancelButton->text(), "&Cancel");
    form->CancelButton->click();
    EXPECT_EQ(cancels, 1);
    delete form;
    EXPECT_EQ(PrintSplashForm, nullptr);
}

TEST(Splash, ABorderlessWindowWithAOneSecondCounter)
{
    TCvSplash splash;
    EXPECT_EQ(splash.size(), QSize(623, 474));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(splash.I, 0);
    EXPECT_EQ(splash.Timer1->interval(), 1000);
    EXPECT_TRUE(splash.Timer1->isActive());
}
