// The viewer in the desktop, on the offscreen platform with the real map window: the maps
// opened last across two runs, map files dropped on the windows, the caption of message boxes,
// and a dark theme that the windows follow while the map keeps its own colours.
#include "TestUtil.h"
#include "app/AppPictures.h"
#include "app/MainFrm.h"
#include "app/Startup.h"
#include "e2e/AtlasFixture.h"
#include "mapwindow/MapFrm.h"
#include "platform/CdromMounts.h"
#include "platform/CvVars.h"
#include "platform/DialogService.h"
#include "platform/MessageSink.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtMessageSink.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstdio>

using namespace corvane;
using namespace corvane::test;

namespace {

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CvVars::Reset();
        WriteCoastlines(dir);
        WriteDataListOf(dir, {});
        north = dir.Write("maps/North & South.MDF", MapText({20, 1, {}, {}}));
        west = dir.Write("maps/West.mdf", MapText({10, 1, {}, {}}));
        InstallMapWindowFactory(sink);
    }
    void TearDown() override
    {
        Quit();
        SetMapWindowFactory(nullptr);
        CvVars::Reset();
    }

    // A run of the viewer: a main window on the settings file.
    void Start()
    {
        settings = std::make_unique<SettingsStore>(dir / "cfg/corvane.ini");
        frm = std::make_unique<TMainFrm>(MainFrmServices{settings.get(), &dialogs, &sink, &mounts, {dir.Path(), {}}, {}});
        frm->show();
        Settle();
    }
    void Quit()
    {
        if (MapFrm) MapFrm->CloseWindow();
        Settle();
        frm.reset();
        settings.reset();
    }
    static void Settle()
    {
        for (int i = 0; i < 4; ++i) {
            QApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            if (auto* map = dynamic_cast<TMapFrm*>(MapFrm); map && map->GeometryPending()) map->GeometrySettled();
        }
    }
    QStringList RecentCaptions() const
    {
        QStringList out;
        for (QAction* a : frm->RecentFileItems()) out << a->text();
        return out;
    }
    std::string OpenMap() const { return MapFrm ? MapFrm->MapFileName() : std::string("(none)"); }

    // Drags the files onto a widget and drops them; whether the drop was taken.
    static bool Drop(QWidget* target, const QList<QUrl>& urls)
    {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        Settle();
        return drop.isAccepted();
    }

    TempDir dir;
    std::string north, west;
    std::unique_ptr<SettingsStore> settings;
    ScriptedDialogService dialogs;
    RecordingMessageSink sink;
    FixedCdromProvider mounts{{}};
    std::unique_ptr<TMainFrm> frm;
};

TEST_F(DesktopTest, TheMapsOpenedLastStayInTheFileMenuAcrossRunsAndGoneOnesAreDropped)
{
    Start();
    EXPECT_TRUE(frm->RecentFileItems().isEmpty());
    const int ownItems = frm->File1->actions().size();
    frm->OpenMapFile(north);
    Settle();
    frm->OpenMapFile(west);
    Settle();
    frm->OpenMapFile(north);   // opened again: back at the top, listed once
    Settle();
    // A file the map window cannot load is not offered again.
    const std::string broken = dir.Write("maps/Broken.MDF", "[Map Definition]\r\nGrid_Scale=999\r\n");
    frm->OpenMapFile(broken);
    Settle();
    EXPECT_EQ(RecentCaptions(), QStringList({QString::fromStdString("&1 " + dir.Path() + "/maps/North && South.MDF"),
                                             QString::fromStdString("&2 " + west)}));
    // After the menu's own items, before a separator and Exit, which stays the last item;
    // the own items keep their order.
    const QList<QAction*> all = frm->File1->actions();
    ASSERT_EQ(all.size(), ownItems + 3);
    EXPECT_EQ(all.last(), frm->Exit1);
    EXPECT_TRUE(all[ownItems - 2]->isSeparator());
    EXPECT_EQ(all[ownItems - 1]->objectName(), "RecentFile1");
    EXPECT_EQ(all[ownItems]->objectName(), "RecentFile2");
    EXPECT_TRUE(all[ownItems + 1]->isSeparator());
    QList<QAction*> own = all;
    for (QAction* a : frm->RecentFileItems()) own.removeOne(a);
    own.removeAt(ownItems - 1);   // the recent list's own separator
    EXPECT_EQ(own.size(), ownItems);
    EXPECT_EQ(own.last(), frm->Exit1);
    Quit();

    Start();
    ASSERT_EQ(frm->RecentMaps().Files(), (std::vector<std::string>{north, west}));
    std::remove(north.c_str());
    sink.Clear();
    frm->RecentFileItems()[0]->trigger();
    Settle();
    EXPECT_EQ(sink.Texts(),
              std::vector<std::string>{"The map definition file " + north + " no longer exists; it is taken off the list."});
    EXPECT_EQ(frm->RecentMaps().Files(), std::vector<std::string>{west});
    EXPECT_EQ(frm->File1->actions().size(), ownItems + 2);

    frm->RecentFileItems()[0]->trigger();
    Settle();
    EXPECT_EQ(OpenMap(), west);
    Quit();
    SettingsStore stored(dir / "cfg/corvane.ini");
    EXPECT_EQ(stored.ReadString("Recent Files", "File1", ""), west);
    EXPECT_FALSE(stored.Ini().ValueExists("Recent Files", "File2"));
}

// A map saved under a new name is offered again under that name.
TEST_F(DesktopTest, AMapSavedAsANewFileTopsTheRecentMaps)
{
    Start();
    frm->OpenMapFile(west);
    Settle();
    const std::string copy = dir / "maps/Copy.MDF";
    dialogs.saveAnswers.push_back({DialogOutcome::Ok, copy});
    ASSERT_TRUE(MapFrm);
    MapFrm->SaveAs1Click();
    Settle();
    EXPECT_EQ(OpenMap(), copy);
    EXPECT_EQ(frm->RecentMaps().Files(), (std::vector<std::string>{copy, west}));
    // A save that is cancelled changes nothing.
    dialogs.saveAnswers.push_back({DialogOutcome::Cancel, {}});
    MapFrm->SaveAs1Click();
    EXPECT_EQ(frm->RecentMaps().Files(), (std::vector<std::string>{copy, west}));
    Quit();
}

TEST_F(DesktopTest, AMapFileDroppedOnTheMainWindowOrTheMapWindowOpens)
{
    Start();
    const std::string text = dir.Write("notes.txt", "not a map");
    EXPECT_FALSE(Drop(frm.get(), {QUrl::fromLocalFile(QString::fromStdString(text))}));
    EXPECT_FALSE(Drop(frm.get(), {QUrl("https://example.org/West.MDF")}));
    EXPECT_TRUE(Drop(frm.get(), {QUrl::fromLocalFile(QString::fromStdString(text)),
                                 QUrl::fromLocalFile(QString::fromStdString(west))}));
    EXPECT_EQ(OpenMap(), west);
    ASSERT_TRUE(MapFrm && MapFrm->Widget());
    EXPECT_TRUE(Drop(MapFrm->Widget(), {QUrl::fromLocalFile(QString::fromStdString(north))}));
    EXPECT_EQ(OpenMap(), north);
    EXPECT_EQ(frm->RecentMaps().Files(), (std::vector<std::string>{north, west}));
}

TEST(DesktopMessages, MessageBoxesAreCaptionedWithTheProgramsNameAndNameFilesInTheirOwnLetters)
{
    QtMessageSink sink;
    sink.SetTitle(kApplicationTitle);
    QString caption, text;
    QTimer::singleShot(0, [&caption, &text] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            caption = box->windowTitle();
            text = box->text();
            box->accept();
        }
    });
    // A file name of the file system (UTF-8) and a degree sign of a data file (Windows-1252).
    sink.Info("/home/j\xC3\xBCrgen/Karten/Nordsee.MDF at 54\xB0N");
    EXPECT_EQ(caption, "Corvane");
    EXPECT_EQ(text, QString::fromUtf8("/home/j\u00fcrgen/Karten/Nordsee.MDF at 54\u00b0N"));
}

// A dark palette as a dark desktop theme gives it, with the Fusion style.
QPalette DarkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    p.setColor(QPalette::WindowText, QColor(0xe0, 0xe0, 0xe0));
    p.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    p.setColor(QPalette::Text, QColor(0xe0, 0xe0, 0xe0));
    p.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    p.setColor(QPalette::ButtonText, QColor(0xe0, 0xe0, 0xe0));
    return p;
}

TEST_F(DesktopTest, ADarkThemeRulesTheWindowsButNotTheMapsColours)
{
    const QPalette before = QApplication::palette();
    QStyle* const oldStyle = QApplication::style();
    const QString oldStyleName = oldStyle->name();
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setPalette(DarkPalette());
    Start();
    frm->OpenMapFile(west);
    Settle();

    // The tool bar takes the theme's button face, its glyphs a light ink.
    const QImage bar = frm->ToolBar->grab().toImage();
    EXPECT_EQ(QColor(bar.pixel(bar.width() - 3, 2)), QColor(0x35, 0x35, 0x35));
    EXPECT_EQ(frm->ToolBar->palette().color(QPalette::ButtonText), GlyphInk(QColor(0x35, 0x35, 0x35)));
    EXPECT_GT(GlyphInk(QColor(0x35, 0x35, 0x35)).lightness(), 200);
    EXPECT_LT(GlyphInk(QColor(0xf0, 0xf0, 0xf0)).lightness(), 60);
    // The map keeps the colours of its definition.
    auto* map = dynamic_cast<TMapFrm*>(MapFrm);
    ASSERT_NE(map, nullptr);
    const QImage shown = map->Image1->grab().toImage();
    auto at = [&](double lat, double lon) {
        return FromQColor(QColor(shown.pixel(map->LonToScreen(lon), map->LatToScreen(lat))));
    };
    EXPECT_EQ(at(4, 4), kSea);
    EXPECT_EQ(at(4, BandCentre(2)), kLandFill);

    // Back to a light theme: the bar follows at once.
    QApplication::setPalette(before);
    Settle();
    const QImage light = frm->ToolBar->grab().toImage();
    EXPECT_EQ(QColor(light.pixel(light.width() - 3, 2)), before.color(QPalette::Button));
    Quit();
    QApplication::setStyle(oldStyleName);
}

} // namespace
