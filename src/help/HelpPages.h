#pragma once
// The manual as data: its pages are plain HTML files, the help contexts of the menus, dialogs
// and map modes are numbers that a small text file maps to a page and an anchor, and the help
// window's contents, index and search are read from the pages themselves. Everything here works
// on the bytes of the pages (UTF-8) and knows nothing of windows.
#include <map>
#include <string>
#include <vector>

namespace corvane {

// The help contexts beyond those of the menus: the windows, dialogs and moments that have no
// menu item of their own.
constexpr int kHelpMainWindow = 9000;      // the main window and its tool bar
constexpr int kHelpMapWindow = 9001;       // the map window with no mode on
constexpr int kHelpMoveKey = 9002;         // a key being dragged to another corner
constexpr int kHelpHelpWindow = 9003;      // the help window itself
constexpr int kHelpAboutBox = 9004;        // Help, About
constexpr int kHelpReopenLastMap = 9005;   // Window, Reopen Last Map at Start
constexpr int kHelpFillStyles = 9010;      // the style pickers
constexpr int kHelpLineStyles = 9011;
constexpr int kHelpSymbolStyles = 9012;
constexpr int kHelpColourDialog = 9020;    // the standard dialogs
constexpr int kHelpFontDialog = 9021;

// "page.html#anchor" split in two; the anchor is empty when there is none.
struct HelpTarget {
    std::string page, anchor;
};
HelpTarget SplitHelpTarget(const std::string& target);

// The help contexts file: one "NUMBER TARGET" a line ("5001 zoom.html#in"); blank lines and
// lines starting with "#" are skipped. A line that is not of that form, or that gives a number
// a second time, is told in errors (with its line number) and left out.
struct HelpContextMap {
    std::map<int, std::string> targets;
    std::vector<std::string> errors;
};
HelpContextMap ParseHelpContexts(const std::string& text);

// ---- reading the pages -----------------------------------------------------------------------
// The text of the page's <title>.
std::string HelpPageTitle(const std::string& html);
// Every anchor a link can name: the id of any element and the name of an <a>.
std::vector<std::string> HelpAnchors(const std::string& html);
// The links of a page in order: <a href> with the link's text, and <img src> (text empty).
struct HelpLink {
    std::string href, text;
    bool image = false;
};
std::vector<HelpLink> HelpLinks(const std::string& html);
// The body's text: tags left out, entities decoded, white space run together.
std::string HelpPlainText(const std::string& html);

// A page cut at its headings (h1 to h4): the section's anchor (the heading's id, or an anchor
// standing just before it or inside it), its heading and its text. Text before the first
// heading is a section of its own titled with the page's title.
struct HelpSection {
    std::string page, anchor, title, text;
};
std::vector<HelpSection> HelpSections(const std::string& page, const std::string& html);

// The contents page's links with their depth in its nested lists (0 outside any list, 1 in the
// outermost).
struct HelpContentsEntry {
    int depth = 0;
    std::string href, text;
};
std::vector<HelpContentsEntry> HelpContentsEntries(const std::string& html);

// Full-text search: the sections that hold every word of the query (in any case, a word
// matching the start of a longer one: "zoom" finds "zooming"), best first: a word in the heading
// counts most, then how often the words occur. At most `limit` indexes into sections.
std::vector<size_t> SearchHelp(const std::vector<HelpSection>& sections, const std::string& query, size_t limit = 60);

// Links between the pages that lead nowhere: a page or picture that is not among the files, or
// an anchor the page does not have. Links with a scheme ("https:", "mailto:") are left alone.
// pages: file name -> HTML; otherFiles: the other files beside them (pictures, style sheets).
std::vector<std::string> BrokenHelpLinks(const std::map<std::string, std::string>& pages,
                                         const std::vector<std::string>& otherFiles);

} // namespace corvane
