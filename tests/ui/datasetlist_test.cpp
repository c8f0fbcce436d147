// The data set list window driven by keys and the mouse on the offscreen platform.
#include "CatalogueFixtures.h"
#include "dialogs/DatasetListfrm.h"
#include "platform/MessageSink.h"

#include <QFrame>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace corvane;
using corvane::test::TempDir;

TEST(DatasetListLayout, ResizeSplitterAndPlacement)
{
    const DatasetListGeometry g = LayoutDatasetList(785, 700);
    const int half = (700 - 25 - 10 - 32) / 2;
    EXPECT_EQ(g.Tree, QRect(0, 0, 785, half));
    EXPECT_EQ(g.Slider, QRect(0, half, 785, 10));
    EXPECT_EQ(g.List, QRect(0, half + 10, 785, half));
    EXPECT_EQ(g.Cancel, QRect(785 - 16 - 75, 700 - 16 - 25, 75, 25));
    EXPECT_EQ(g.Ok.right() + 1 + 16, g.Cancel.x());

    // The splitter follows the pointer while its bottom stays above the buttons' band.
    const int limit = 700 - 25 - 32;   // the splitter's bottom must stay above this
    EXPECT_EQ(DragSliderTop(limit - 11, 1, 600, 700), limit - 11);
    EXPECT_EQ(DragSliderTop(limit - 12, 1, 600, 700), limit - 11);
    EXPECT_EQ(DragSliderTop(300, -50, 0, 700), 300);   // the pointer above the client area

    EXPECT_EQ(DatasetListWindowRect(500, 40, 1000, 1024), QRect(1024 - 785, 40, 785, 960));
    EXPECT_EQ(DatasetListWindowRect(10, 40, 1000, 600).left(), 0);
    EXPECT_EQ(DatasetListWindowRect(10, 900, 950, 1024).height(), 120);
}

namespace {

class DatasetListWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        CvVars::Reset();
        test::WriteSmallAtlas(dir);
        form = std::make_unique<TDatasetListfrm>(nullptr, std::vector<std::string>{"Bathymetry"},
                                                 std::vector<std::string>{}, std::vector<std::string>{},
                                                 DatasetListPlacement{0, 700, 0}, sink);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override
    {
        form.reset();
        CvVars::Reset();
    }
    QTreeWidgetItem* Item(const char* top, int child = -1)
    {
        auto found = form->Outline1->findItems(top, Qt::MatchExactly);
        if (found.isEmpty()) return nullptr;
        return child < 0 ? found.front() : found.front()->child(child);
    }
    QPoint At(QTreeWidgetItem* item) { return form->Outline1->visualItemRect(item).center(); }
    void Click(QTreeWidgetItem* item) { QTest::mouseClick(form->Outline1->viewport(), Qt::LeftButton, {}, At(item)); }
    std::vector<std::string> Lines()
    {
        std::vector<std::string> r;
        for (int i = 0; i < form->lbSelected->count(); ++i) r.push_back(form->lbSelected->item(i)->text().toStdString());
        return r;
    }

    TempDir dir;
    RecordingMessageSink sink;
    std::unique_ptr<TDatasetListfrm> form;
};

} // namespace

TEST_F(DatasetListWindow, OpensWithTheTreeAndTheChosenThemes)
{
    EXPECT_EQ(form->windowTitle(), "Dataset List");
    EXPECT_EQ(form->width(), 785);
    EXPECT_EQ(form->height(), 700);
    for (QObject* o : {static_cast<QObject*>(form.get()), static_cast<QObject*>(form->Outline1),
                       static_cast<QObject*>(form->Slider), static_cast<QObject*>(form->lbSelected)})
        EXPECT_EQ(o->property("helpContext").toInt(), 2001);
    EXPECT_EQ(form->Outline1->topLevelItemCount(), 2);
    EXPECT_EQ(Item("Biology")->childCount(), 3);
    EXPECT_EQ(Item("Biology", 1)->text(0), "(Text) Introduction");
    EXPECT_EQ(Lines(), std::vector<std::string>{"Bathymetry"});
    EXPECT_FALSE(form->AddBtn->isEnabled());
    EXPECT_TRUE(form->RemoveBtn->isEnabled());
    EXPECT_TRUE(form->HelpBtn->isHidden());
}

TEST_F(DatasetListWindow, KeysAndDoubleClicksAddAndRemove)
{
    Click(Item("Physical"));   // opens the heading
    ASSERT_TRUE(Item("Physical")->isExpanded());
    EXPECT_TRUE(form->AddBtn->isEnabled());   // Currents is not chosen yet
    Click(Item("Physical", 1));
    EXPECT_TRUE(form->AddBtn->isEnabled());
    EXPECT_FALSE(form->RemoveBtn->isEnabled());

    QTest::keyClick(form->Outline1, Qt::Key_Insert);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Bathymetry", "Currents"}));
    ASSERT_EQ(form->OMList().size(), 1u);
    EXPECT_EQ(form->OMList()[0].MASFile, "CDROM:\\Themes\\Currents.MAS");
    EXPECT_FALSE(form->AddBtn->isEnabled());
    EXPECT_TRUE(form->RemoveBtn->isEnabled());

    // A double-click on a chosen theme removes it; Insert on a button adds it again.
    QTest::mouseDClick(form->Outline1->viewport(), Qt::LeftButton, {}, At(Item("Physical", 1)));
    QTest::mouseRelease(form->Outline1->viewport(), Qt::LeftButton, {}, At(Item("Physical", 1)));
    EXPECT_TRUE(form->OMList().empty());
    EXPECT_EQ(Lines(), std::vector<std::string>{"Bathymetry"});
    QTest::keyClick(form->RemoveBtn, Qt::Key_Insert);
    EXPECT_EQ(form->OMList().size(), 1u);

    // Delete on a selected chosen line removes the base map from BMList.
    QTest::mouseClick(form->lbSelected->viewport(), Qt::LeftButton, {},
                      form->lbSelected->visualItemRect(form->lbSelected->item(0)).center());
    EXPECT_TRUE(form->RemoveBtn->isEnabled());
    QTest::keyClick(form->lbSelected, Qt::Key_Delete);
    EXPECT_TRUE(form->BMList().empty());
    EXPECT_EQ(Lines(), std::vector<std::string>{"Currents"});

    // Insert on a heading adds its leaves: Seabirds' file is empty, Plankton's missing.
    Click(Item("Biology"));
    QTest::keyClick(form->Outline1, Qt::Key_Insert);
    ASSERT_EQ(form->TextList().size(), 1u);
    EXPECT_EQ(form->TextList()[0].Title, "(Text) Introduction");
    EXPECT_EQ(sink.messages.size(), 2u);
    EXPECT_FALSE(Item("Biology")->isExpanded());   // the click handling ran again after adding
}

TEST_F(DatasetListWindow, DragAndDropBetweenTreeAndList)
{
    Click(Item("Physical"));
    Click(Item("Physical", 1));
    QWidget* tv = form->Outline1->viewport();
    const QPoint start = At(Item("Physical", 1));
    const QPoint overList = tv->mapFrom(form.get(), form->lbSelected->geometry().center());
    QTest::mousePress(tv, Qt::LeftButton, {}, start);
    QTest::mouseMove(tv, start + QPoint(0, 30));
    QTest::mouseMove(tv, overList);
    QTest::mouseRelease(tv, Qt::LeftButton, {}, overList);
    ASSERT_EQ(form->OMList().size(), 1u);
    EXPECT_EQ(form->OMList()[0].Title, "Currents");
    EXPECT_EQ(form->Outline1->currentItem(), Item("Physical", 1));   // the drag did not move the selection

    // A drop elsewhere (on the buttons) is refused.
    QWidget* lv = form->lbSelected->viewport();
    const QPoint line = form->lbSelected->visualItemRect(form->lbSelected->item(1)).center();
    QTest::mousePress(lv, Qt::LeftButton, {}, line);
    const QPoint overButtons = lv->mapFrom(form.get(), form->OkBtn->geometry().center());
    QTest::mouseMove(lv, overButtons);
    QTest::mouseRelease(lv, Qt::LeftButton, {}, overButtons);
    EXPECT_EQ(form->OMList().size(), 1u);

    // Dragging the chosen line onto the tree removes it.
    QTest::mousePress(lv, Qt::LeftButton, {}, line);
    const QPoint overTree = lv->mapFrom(form.get(), form->Outline1->geometry().center());
    QTest::mouseMove(lv, line + QPoint(0, -20));
    QTest::mouseMove(lv, overTree);
    QTest::mouseRelease(lv, Qt::LeftButton, {}, overTree);
    EXPECT_TRUE(form->OMList().empty());
    EXPECT_EQ(Lines(), std::vector<std::string>{"Bathymetry"});
}

TEST_F(DatasetListWindow, SplitterSharesTheHeight)
{
    const int top = form->Slider->y();
    QTest::mousePress(form->Slider, Qt::LeftButton, {}, QPoint(50, 5));
    QTest::mouseMove(form->Slider, QPoint(50, -95));
    QTest::mouseRelease(form->Slider, Qt::LeftButton, {}, QPoint(50, -95));
    EXPECT_EQ(form->Slider->y(), top - 100);
    EXPECT_EQ(form->Outline1->height(), top - 100);
    EXPECT_EQ(form->lbSelected->y(), top - 90);
    EXPECT_EQ(form->lbSelected->height(), form->height() - 25 - (top - 100) - 32 - 10);
    form->resize(600, 500);   // a resize shares the height in halves again
    EXPECT_EQ(form->Outline1->height(), (500 - 25 - 10 - 32) / 2);
    EXPECT_EQ(form->CancelBtn->geometry().right(), 600 - 16 - 1);
}
