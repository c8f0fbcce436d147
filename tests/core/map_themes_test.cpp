// The data set commands on a map definition: taking over the data set list window's choice,
// the order of the map definition dialog, stepping through the overlays and the information
// page of a theme; themes written by our own master file and data list writers.
#include "TestUtil.h"
#include "catalogue/writers/DataListWriter.h"
#include "catalogue/writers/MasterFileWriter.h"
#include "mapdef/MDFStruct.h"
#include "mapdef/MapThemes.h"
#include "mapdef/ScreenMetrics.h"
#include "platform/CvVars.h"
#include "platform/MessageSink.h"

#include <gtest/gtest.h>

using namespace corvane;
using corvane::test::TempDir;

namespace {

using Titles = std::vector<std::string>;

class MapThemesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CvVars::Reset();
        CvVars::CDROM = dir.Path();
        CvVars::DatalistFile = dir / "Misc/MainMenu.Dat";
        std::vector<DataListEntry> entries;
        for (const char* t : {"A", "B", "C", "D"}) {
            MASStruct mas;
            mas.TextFileName = std::make_unique<std::string>(std::string("CDROM:\\Info\\") + t + ".Txt");
            dir.Write(std::string("Themes/") + t + ".MAS", WriteMasterFile(mas));
            entries.push_back({1, t, 1, std::string("CDROM:\\Themes\\") + t + ".MAS"});
        }
        entries.push_back({1, "Intro", 0, "CDROM:\\Info\\Intro.Txt"});
        dir.Write("Misc/MainMenu.Dat", WriteDataList(entries));
        screen.workArea = {0, 0, 1024, 740};
        screen.mainWindowBottom = 100;
        mdf = TMDFStruct::Create("", screen, sink).MDF;
    }
    void TearDown() override { CvVars::Reset(); }

    static MASInfoList Entry(const std::string& t) { return {t, "CDROM:\\Themes\\" + t + ".MAS"}; }
    void Add(MASList& list, const Titles& titles)
    {
        for (const auto& t : titles) list.Append(LoadTheme(Entry(t).MASFile, t, false, sink));
    }
    static Titles Of(const MASList& list)
    {
        Titles r;
        for (const MASStruct* m : list) r.push_back(*m->Title);
        return r;
    }

    TempDir dir;
    FixedScreenMetrics screen;
    RecordingMessageSink sink;
    std::unique_ptr<TMDFStruct> mdf;
};

} // namespace

TEST_F(MapThemesTest, TheDatasetListChoiceIsTakenOverListByList)
{
    struct Case {
        const char* what;
        Titles overlays, chosen, expected;
        bool firstChanged;
    };
    const Case cases[] = {
        {"second of three removed", {"A", "B", "C"}, {"A", "C"}, {"A", "C"}, false},
        {"first removed", {"A", "B", "C"}, {"B", "C"}, {"B", "C"}, true},
        {"one added after the others", {"A"}, {"A", "D"}, {"A", "D"}, false},
        {"all removed", {"A", "B"}, {}, {}, true},
        {"first added to a map without overlays", {}, {"B", "A"}, {"B", "A"}, true},
    };
    for (const Case& c : cases) {
        mdf->OverlayMAS.Clear();
        Add(mdf->OverlayMAS, c.overlays);
        std::vector<MASInfoList> bm, om, text;
        for (const auto& t : c.chosen) om.push_back(Entry(t));
        const ThemeListChange r = ReconcileThemes(*mdf, bm, om, text, sink);
        EXPECT_EQ(Of(mdf->OverlayMAS), c.expected) << c.what;
        EXPECT_EQ(r.FirstOverlayChanged, c.firstChanged) << c.what;
        EXPECT_EQ(r.Changed, c.overlays != c.expected) << c.what;
        EXPECT_FALSE(r.BaseRemoved || r.Stopped) << c.what;
        EXPECT_TRUE(om.empty()) << c.what;
    }
    // The new overlays were read from their master files.
    ASSERT_TRUE(mdf->OverlayMAS.First()->TextFileName);
    EXPECT_EQ(*mdf->OverlayMAS.First()->TextFileName, "CDROM:\\Info\\B.Txt");
    EXPECT_TRUE(sink.messages.empty());

    // Base maps are only kept or removed; the window's new base entries are not added.
    Add(mdf->NextMAS, {"A", "B"});
    std::vector<MASInfoList> bm{Entry("B"), Entry("C")}, om{Entry("B"), Entry("A")}, text{{"(Text) Intro", "CDROM:\\Info\\Intro.Txt"}};
    const ThemeListChange r = ReconcileThemes(*mdf, bm, om, text, sink);
    EXPECT_EQ(Of(mdf->NextMAS), Titles{"B"});
    EXPECT_TRUE(r.BaseRemoved && r.Changed);
    EXPECT_FALSE(r.FirstOverlayChanged);
    // A text page is appended without a file test; it is its own information page.
    ASSERT_EQ(Of(mdf->TextMAS), Titles{"(Text) Intro"});
    EXPECT_EQ(InfoFileOf("(Text) Intro", mdf->TextMAS), dir.Path() + "\\Info\\Intro.Txt");
}

TEST_F(MapThemesTest, AMissingMasterFileStopsAndKeepsWhatWasAddedBefore)
{
    Add(mdf->OverlayMAS, {"A"});
    Add(mdf->TextMAS, {"B"});
    std::vector<MASInfoList> bm, om{Entry("A"), Entry("C"), {"Lost", "CDROM:\\Themes\\Lost.MAS"}, Entry("D")}, text;
    const ThemeListChange r = ReconcileThemes(*mdf, bm, om, text, sink);
    EXPECT_TRUE(r.Stopped && r.Changed);
    EXPECT_FALSE(r.FirstOverlayChanged);
    EXPECT_EQ(Of(mdf->OverlayMAS), (Titles{"A", "C"}));
    EXPECT_EQ(sink.Texts(), Titles{"Unable to find the file : " + dir.Path() + "\\Themes\\Lost.MAS"});
    // The text pages are left as they were, though the window's list held none.
    EXPECT_EQ(Of(mdf->TextMAS), Titles{"B"});
}

TEST_F(MapThemesTest, OrderOverlaysAndInformationPages)
{
    Add(mdf->NextMAS, {"A", "B"});
    Add(mdf->OverlayMAS, {"C", "D"});
    const MASStruct* c = mdf->OverlayMAS.First();
    ReorderThemes(*mdf, {"D", "A"}, {"B", "C"});
    EXPECT_EQ(Of(mdf->NextMAS), (Titles{"D", "A"}));
    EXPECT_EQ(Of(mdf->OverlayMAS), (Titles{"B", "C"}));
    EXPECT_EQ(mdf->OverlayMAS.Last(), c);   // the themes themselves moved

    // Everything to the overlays leaves no base map; a theme neither list names goes.
    ReorderThemes(*mdf, {}, {"A", "B", "C"});
    EXPECT_TRUE(mdf->NextMAS.Empty());
    EXPECT_EQ(Of(mdf->OverlayMAS), (Titles{"A", "B", "C"}));

    EXPECT_FALSE(BringOverlayToFront(*mdf, "A"));
    EXPECT_FALSE(BringOverlayToFront(*mdf, "Z"));
    EXPECT_TRUE(BringOverlayToFront(*mdf, "C"));
    EXPECT_EQ(Of(mdf->OverlayMAS), (Titles{"C", "A", "B"}));
    ReorderThemes(*mdf, {"A"}, {"B"});
    EXPECT_FALSE(NextOverlay(*mdf));   // one overlay: nothing to step through

    // Information pages: the first theme of exactly that title.
    mdf->NextMAS.Append(std::make_unique<MASStruct>());   // no title, no page
    EXPECT_EQ(InfoFileOf("A", mdf->NextMAS), dir.Path() + "\\Info\\A.Txt");
    EXPECT_EQ(InfoFileOf("a", mdf->NextMAS), "");   // titles match exactly
    EXPECT_EQ(InfoFileOf("Z", mdf->NextMAS), "");
}
