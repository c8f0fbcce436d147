// The manual's pages as they are bundled and installed: no link leads nowhere, every help
// context names a page and an anchor that exist, every file is bundled; and the reading of the
// pages that the help window's contents, index and search rest on.
#include "TestUtil.h"
#include "help/HelpPages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

using namespace corvane;
using corvane::test::ReadFile;
using corvane::test::SourceDir;

namespace {

struct HelpFiles {
    std::map<std::string, std::string> pages;
    std::vector<std::string> others;
};

HelpFiles ReadHelpFiles()
{
    HelpFiles out;
    for (const auto& e : std::filesystem::directory_iterator(SourceDir() + "/resources/help")) {
        const std::string name = e.path().filename().string();
        if (e.path().extension() == ".html")
            out.pages[name] = ReadFile(e.path().string());
        else
            out.others.push_back(name);
    }
    return out;
}

} // namespace

TEST(HelpPagesTest, EveryLinkAndEveryHelpContextLeadsToAPageAndAnchorThatExistAndEveryFileIsBundled)
{
    const HelpFiles files = ReadHelpFiles();
    ASSERT_GT(files.pages.size(), 10u);
    for (const std::string& broken : BrokenHelpLinks(files.pages, files.others)) ADD_FAILURE() << broken;

    const HelpContextMap contexts = ParseHelpContexts(ReadFile(SourceDir() + "/resources/help/contexts.txt"));
    for (const std::string& e : contexts.errors) ADD_FAILURE() << "contexts.txt " << e;
    for (int context : {1, 1000, 2001, 4006, 5001, 7000, 8000, kHelpMapWindow, kHelpMoveKey, kHelpFillStyles})
        EXPECT_TRUE(contexts.targets.count(context)) << context;
    for (const auto& [context, target] : contexts.targets) {
        const HelpTarget t = SplitHelpTarget(target);
        auto page = files.pages.find(t.page);
        ASSERT_NE(page, files.pages.end()) << context << " " << target;
        const std::vector<std::string> anchors = HelpAnchors(page->second);
        if (!t.anchor.empty()) {
            EXPECT_NE(std::find(anchors.begin(), anchors.end(), t.anchor), anchors.end()) << context << " " << target;
        }
    }

    // The help window reads the pages from the program's resources: each file is listed there.
    const std::string qrc = ReadFile(SourceDir() + "/resources/help.qrc");
    std::set<std::string> bundled;
    const std::regex file(R"(<file[^>]*>help/([^<]+)</file>)");
    for (auto it = std::sregex_iterator(qrc.begin(), qrc.end(), file); it != std::sregex_iterator(); ++it)
        bundled.insert((*it)[1]);
    for (const auto& [name, html] : files.pages) EXPECT_TRUE(bundled.count(name)) << name << " is not bundled";
    for (const std::string& name : files.others) EXPECT_TRUE(bundled.count(name)) << name << " is not bundled";

    // A broken link is found: a missing page, a missing anchor, a missing picture.
    const std::vector<std::string> broken = BrokenHelpLinks(
        {{"a.html", R"(<a href="b.html#x">b</a> <a href="#top">top</a> <img src="p.png"> <a href="https://x.org/">x</a>)"},
         {"b.html", R"(<h2><a name="y"></a>Y</h2>)"}},
        {});
    EXPECT_EQ(broken.size(), 3u);
}

TEST(HelpPagesTest, SectionsContentsAndSearchReadThePages)
{
    const std::string page = R"(<html><head><title>The Zoom menu</title><style>h1 { x }</style></head><body>
<h1>The Zoom menu</h1><p>Zooming &amp; moving the map.</p>
<h2><a name="in"></a>In</h2><p>Click one corner, then the other; a box follows.</p>
<h2 id="previous">Previous</h2><p>Goes back &rsaquo; one step.</p>
<ul><li><a href="zoom.html#in">In</a><ul><li><a href="zoom.html#wheel">The wheel</a></li></ul></li></ul>
</body></html>)";
    const std::vector<HelpSection> s = HelpSections("zoom.html", page);
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0].title, "The Zoom menu");
    EXPECT_EQ(s[0].text, "Zooming & moving the map.");
    EXPECT_EQ(s[1].anchor, "in");
    EXPECT_EQ(s[1].title, "In");
    EXPECT_EQ(s[2].anchor, "previous");
    EXPECT_EQ(s[2].text.find("Goes back \u203A one step."), 0u);
    EXPECT_EQ(HelpPageTitle(page), "The Zoom menu");

    const std::vector<HelpContentsEntry> contents = HelpContentsEntries(page);
    ASSERT_EQ(contents.size(), 2u);
    EXPECT_EQ(contents[0].depth, 1);
    EXPECT_EQ(contents[1].depth, 2);
    EXPECT_EQ(contents[1].text, "The wheel");

    // Every word must be there, in any case, a word finding longer ones it starts; a word of
    // the heading counts most.
    EXPECT_EQ(SearchHelp(s, "ZOOM"), (std::vector<size_t>{0}));
    EXPECT_EQ(SearchHelp(s, "box corner"), (std::vector<size_t>{1}));
    EXPECT_EQ(SearchHelp(s, "box previous"), (std::vector<size_t>{}));
    EXPECT_EQ(SearchHelp(s, "in"), (std::vector<size_t>{1, 2}));   // "In", then "wheel"/"in" of the list
    EXPECT_TRUE(SearchHelp(s, "  ").empty());
}
