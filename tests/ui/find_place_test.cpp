// The place search of the viewer on the sample atlas: "brest" typed in the main window's
// field, chosen from the list, opens a map centred on Brest with its theme added, answers with
// the town's record while its symbol flashes, and Zoom, Previous returns to the view before.
#include "MainWindowHarness.h"
#include "app/FindField.h"
#include "mapwindow/QueryForm.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace corvane;
using namespace corvane::test;

TEST(FindPlaceTest, BrestTypedAndChosenIsShownCentredAndFlashingAndZoomPreviousReturns)
{
    TempDir dir;
    ::setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
    CvVars::Reset();
    MainWindowHarness window;
    window.Start(SourceDir() + "/atlas", dir / "corvane.ini");
    ASSERT_EQ(MapFrm, nullptr);

    FindField* find = window.frm->Find;
    ASSERT_NE(find, nullptr);
    QTest::keyClicks(find->Edit, "brest");
    // The index is read on a thread of its own; the list follows what is read.
    QTRY_VERIFY_WITH_TIMEOUT(find->ListComplete(), 60000);
    ASSERT_FALSE(find->Shown().empty());
    ASSERT_EQ(find->Shown().front().name, "Brest");
    QAbstractItemView* list = find->Matches->popup();
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(list->model()->index(0, 1).data().toString().toStdString(),
              "Coastal towns, " + find->Shown().front().kind);
    EXPECT_EQ(list->model()->index(0, 2).data().toString().toStdString(), "48\xC2\xB0" "23'N 4\xC2\xB0" "29'W");
    const Place brest = find->Shown().front();

    // The new map has no themes: the towns are added; the record is answered as a click on
    // the town's symbol would be, which flashes meanwhile.
    window.sink.answers = {MsgResult::Yes};
    std::vector<std::string> report;
    bool flashing = false;
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [&, poll] {
        if (!QueryForm || !QueryForm->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        QTest::qWait(600);
        TMapFrm* map = MainWindowHarness::Map();
        flashing = map && map->Timer1->isActive() && map->ChkQuery == EndQuery && map->Timer1Tag == 4;
        report = QueryForm->ReportLines();
        QueryForm->CloseBtn->click();
    });
    poll->start(5);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 0)).center());
    MainWindowHarness::Settle();
    TMapFrm* map = MainWindowHarness::Map();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(window.sink.Texts(), std::vector<std::string>{"The theme Coastal towns is not on the map. Do you want to add it ?"});
    ASSERT_TRUE(map->MDF->OverlayMAS.First());
    EXPECT_EQ(*map->MDF->OverlayMAS.First()->Title, "Coastal towns");
    EXPECT_TRUE(flashing);
    ASSERT_FALSE(report.empty());
    EXPECT_NE(report.front().find("Brest"), std::string::npos) << report.front();

    // Centred on Brest at the widest view that draws its name.
    EXPECT_NEAR((map->MDF->GetMinLat() + map->MDF->GetMaxLat()) / 2, brest.lat, 0.01);
    EXPECT_NEAR((map->MDF->GetMinLon() + map->MDF->GetMaxLon()) / 2, brest.lon, 0.01);
    EXPECT_EQ(std::lround(map->ClientWidth() / map->MDF->GetMainLonRange()), brest.trigger);
    ASSERT_NE(map->MDF->Main_Plot()->Prev, nullptr);
    const MapListRec before = *map->MDF->Main_Plot()->Prev;

    emit map->Menu.Zoom1->aboutToShow();
    ASSERT_TRUE(map->Menu.ZoomOutPrevious->isEnabled());
    map->Menu.ZoomOutPrevious->trigger();
    MainWindowHarness::Settle();
    EXPECT_DOUBLE_EQ(map->MDF->GetMinLat(), before.MinLat);
    EXPECT_DOUBLE_EQ(map->MDF->GetMaxLon(), before.MaxLon);
    window.Stop();
}
