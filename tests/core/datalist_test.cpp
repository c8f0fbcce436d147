#include "CatalogueFixtures.h"
#include "catalogue/DataList.h"
#include "catalogue/DatasetList.h"
#include "platform/MessageSink.h"

#include <gtest/gtest.h>

#include <random>

using namespace corvane;
using corvane::test::TempDir;

namespace {

class DataListTest : public ::testing::Test {
protected:
    void SetUp() override { CvVars::Reset(); }
    void TearDown() override { CvVars::Reset(); }
    std::vector<std::string> Titles(const std::vector<int>& nodes, const DataListTree& t)
    {
        std::vector<std::string> r;
        for (int i : nodes) r.push_back(t.Nodes[static_cast<size_t>(i)].Title);
        return r;
    }
    TempDir dir;
    RecordingMessageSink sink;
};

} // namespace

TEST_F(DataListTest, TreeFollowsTheLevels)
{
    const std::string longTitle(100, 'T');
    const std::string longFile = "CDROM:\\" + std::string(90, 'f');
    const std::string text = WriteDataList({{1, "Physical   ", 1, "XXXX"},
                                            {2, "Bathymetry", 1, "CDROM:\\B.MAS"},
                                            {2, "Introduction", 0, "CDROM:\\I.MAS"},
                                            {1, "Biology", 1, "XXXX"},
                                            {2, longTitle, 0, longFile}}) +
                             "\r\n  \r\n";
    DataListTree t = ParseDataListTree(text, "MainMenu.Dat", sink);
    EXPECT_TRUE(sink.messages.empty());
    ASSERT_EQ(t.Nodes.size(), 5u);   // the blank lines at the end add nothing
    EXPECT_EQ(Titles(t.Roots, t), (std::vector<std::string>{"Physical", "Biology"}));
    EXPECT_EQ(Titles(t.Nodes[0].Children, t), (std::vector<std::string>{"Bathymetry", "(Text) Introduction"}));
    ASSERT_EQ(t.Nodes[3].Children.size(), 1u);
    const DataListNode& last = t.Nodes[4];
    EXPECT_EQ(last.Title, "(Text) " + std::string(80, 'T'));   // the prefixed title is cut to 87
    EXPECT_EQ(last.FileStr, longFile.substr(0, 80));
    EXPECT_EQ(t.Nodes[1].FileStr, "CDROM:\\B.MAS");
}

TEST_F(DataListTest, DamagedDataListsKeepTheEntriesBefore)
{
    // A level more than one deeper still makes a child of the entry before: a valid list, so
    // no message.
    DataListTree t = ParseDataListTree("1 A\r\n1 XXXX\r\n3 B\r\n1 b\r\n2 C\r\n1 c\r\n1 D\r\n1 d\r\n", "L", sink);
    EXPECT_TRUE(sink.messages.empty());
    ASSERT_EQ(t.Nodes.size(), 4u);
    EXPECT_EQ(t.Nodes[1].Parent, 0);
    EXPECT_EQ(t.Nodes[2].Parent, 0);   // level 2 after 3 closes the deeper branch
    EXPECT_EQ(t.Roots.size(), 2u);

    sink.Clear();
    t = ParseDataListTree("1 A\r\n1 XXXX\r\nx B\r\n1 b\r\n", "L", sink);
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"Error in L : invalid number 'x' at line 3."});
    EXPECT_EQ(t.Nodes.size(), 1u);
    sink.Clear();
    t = ParseDataListTree("1 A\r\n1 XXXX\r\n2 B\r\n", "L", sink);   // an entry without its file line
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"Error in L : unexpected end of file at line 4."});

    // Deep nesting and garbage stay bounded.
    std::string deep;
    for (int i = 1; i < 5000; ++i) deep += std::to_string(i) + " n\r\n1 f\r\n";
    t = ParseDataListTree(deep, "L", sink);
    EXPECT_EQ(t.Nodes.size(), 4999u);
    std::mt19937 rng(7);
    std::string garbage(1u << 20, ' ');
    for (char& c : garbage) c = "0123456789 \r\nab"[rng() % 15];
    sink.Clear();
    ParseDataListTree(garbage, "L", sink);
    EXPECT_LE(sink.messages.size(), 2u);
}

TEST_F(DataListTest, TitleLookup)
{
    dir.Write("Misc/MainMenu.Dat", WriteDataList({{1, "Depth  ", 1, "CDROM:\\A.MAS"},
                                                  {1, "depth", 1, "CDROM:\\B.MAS"},
                                                  {2, "Guide", 0, "CDROM:\\G.MAS"}}));
    CvVars::DatalistFile = dir.Path() + "\\MISC\\MAINMENU.DAT";
    std::string f = "stale";
    ReadDataListFile("DEPTH", f, sink);
    EXPECT_EQ(f, "CDROM:\\A.MAS");   // without regard to case; the first of two equal titles
    ReadDataListFile("(Text) guide", f, sink);
    EXPECT_EQ(f, "CDROM:\\G.MAS");
    ReadDataListFile("Guide", f, sink);
    EXPECT_EQ(f, "");
    EXPECT_TRUE(sink.messages.empty());

    CvVars::DatalistFile = dir.Path() + "\\Misc\\None.Dat";
    ReadDataListFile("Depth", f, sink);
    EXPECT_EQ(f, "");
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"There is a problem opening file " + dir.Path() + "/Misc/None.Dat."});
    EXPECT_EQ(sink.messages[0].kind, MsgKind::Warning);
    EXPECT_TRUE(ReadDataListTree(sink).Nodes.empty());
}

TEST_F(DataListTest, ConvFileStrFindsMasterAndInitialisationFiles)
{
    CvVars::CDROM = dir.Path();
    dir.Write("themes/depth.mas", "1");
    EXPECT_EQ(ConvFileStr("XXXX", sink), "");
    EXPECT_EQ(ConvFileStr("CDROM:\\Themes\\Depth.Old.xyz", sink), dir.Path() + "\\Themes\\Depth.MAS");
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(ConvFileStr("cdrom:\\Themes\\Sea.MAS", sink), "");
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{dir.Path() + "/themes/Sea.MAS file does not exist"});
    EXPECT_EQ(sink.messages[0].kind, MsgKind::Information);

    sink.Clear();
    dir.Write("themes/depth.ini", "1");
    EXPECT_EQ(ConvFileStr("CDROM:\\Themes\\Depth.MAS", sink), dir.Path() + "\\Themes\\Depth.INI");
    EXPECT_TRUE(sink.messages.empty());
    // A user-defined initialisation file beside the standard one.
    dir.Write("themes/depth.iz", "1");
    EXPECT_EQ(ConvFileStr("CDROM:\\Themes\\Depth.MAS", sink), dir.Path() + "\\Themes\\depth.INI");
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"Use of user defined Initialisation files is currently not implemented " +
                                                     dir.Path() + "/themes/depth.iz"});
}

TEST_F(DataListTest, ChoosingThemes)
{
    test::WriteSmallAtlas(dir);
    DatasetListModel m(sink);
    m.Load({"Bathymetry", "Lost Theme"}, {}, {"(Text) Introduction"});
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(m.Chosen, (std::vector<std::string>{"Bathymetry", "Lost Theme", "(Text) Introduction"}));
    EXPECT_EQ(m.BMList[0].MASFile, "CDROM:\\Themes\\Bathy.MAS");
    EXPECT_EQ(m.BMList[1].MASFile, "");
    EXPECT_EQ(m.TextList[0].MASFile, "CDROM:\\Text\\Intro.MAS");
    const int physical = 0, currents = 2, biology = 3, birds = 4, intro = 5;

    // Buttons: a heading counts its direct leaf children that are chosen and not chosen.
    m.CheckBtns(physical);
    EXPECT_TRUE(m.AddEnabled);
    EXPECT_TRUE(m.RemoveEnabled);
    EXPECT_FALSE(m.DS_Selected("bathymetry"));   // exact, case-sensitive
    EXPECT_TRUE(m.DS_Selected("(Text) Introduction"));
    EXPECT_EQ(m.BaseMapList, 2);

    // Adding a heading adds its leaf children as overlays; a chosen one is not added twice.
    EXPECT_TRUE(m.AddDataSet(physical));
    ASSERT_EQ(m.OMList.size(), 1u);
    EXPECT_EQ(m.OMList[0].Title, "Currents");
    EXPECT_EQ(m.OMList[0].MASFile, "CDROM:\\Themes\\Currents.MAS");
    m.DoAdd(currents);
    EXPECT_EQ(m.OMList.size(), 1u);
    EXPECT_FALSE(m.AddEnabled);
    EXPECT_TRUE(sink.messages.empty());

    // An empty master file, a missing one, and a text page.
    m.AddDataSet(biology);
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{
                                "The item Seabirds using file " + dir.Path() + "/Themes/Birds.MAS is non-existent or empty !",
                                dir.Path() + "/Themes/Plankton.MAS file does not exist"}));
    EXPECT_EQ(m.OMList.size(), 1u);
    m.DoSub(intro);
    EXPECT_TRUE(m.TextList.empty());
    m.DoAdd(intro);
    ASSERT_EQ(m.TextList.size(), 1u);
    EXPECT_EQ(m.Chosen.back(), "(Text) Introduction");

    // Removing chosen lines removes their themes, a base map included.
    m.Chosen.push_back("Currents");   // a second line with the same title
    EXPECT_EQ(m.DeleteDataSets({0, 1, 99}, birds), DatasetListModel::Removed::ChosenLines);
    EXPECT_TRUE(m.BMList.empty());
    EXPECT_EQ(m.Chosen, (std::vector<std::string>{"Currents", "(Text) Introduction", "Currents"}));
    EXPECT_EQ(m.DeleteDataSets({}, currents), DatasetListModel::Removed::Leaf);
    EXPECT_TRUE(m.OMList.empty());
    EXPECT_EQ(m.Chosen, std::vector<std::string>{"(Text) Introduction"});
    EXPECT_TRUE(m.AddEnabled);   // CheckBtns for Currents, no longer chosen
    EXPECT_EQ(m.DeleteDataSets({}, biology), DatasetListModel::Removed::Children);
    EXPECT_TRUE(m.Chosen.empty());
    EXPECT_FALSE(m.RemoveEnabled);
}
