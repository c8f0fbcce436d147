#pragma once
// The data list file: the atlas's table of contents, a tree of headings and themes, each
// theme naming its master file (or, for text pages, its text file).
//
// Layout: entries of two lines each. The title line is a level number of one digit, a blank
// and the title; the file line is a type number of one digit, a blank and the file (a path,
// usually beginning with "CDROM:", or "XXXX" for a heading without a file). Type 0 marks a
// text page, whose title gets the prefix "(Text) ".
#include <string>
#include <unordered_map>
#include <vector>

namespace corvane {

class MessageSink;

// Finds the first entry of the data list file (CvVars::DatalistFile, after the "CDROM:" rule
// was applied to it at start-up) whose title equals Title without regard to case, and puts
// its file into sFile (no "CDROM:" rule applied; empty when not found). Text pages match with
// the prefix "(Text) ". An unreadable file gives the warning
// "There is a problem opening file " + DatalistFile + "." and an empty sFile.
void ReadDataListFile(const std::string& Title, std::string& sFile, MessageSink& sink);

// The title lookup of ReadDataListFile over a data list read once, for callers that look up
// many titles (loading a map definition).
class DataListTitles {
public:
    // Reads CvVars::DatalistFile; an unreadable file gives the warning of ReadDataListFile,
    // false, and no titles. A file without one usable entry (a title line and a file line
    // each beginning with its number) is damaged: the warning "Error in " + the file +
    // " : it holds no usable entry.", and false.
    bool Load(MessageSink& sink);
    // Takes the entries of the text of a data list; returns the number of usable entries.
    size_t Parse(const std::string& text);
    // The file of the first entry whose title equals Title without regard to case (no
    // "CDROM:" rule applied); empty when there is none.
    std::string Find(const std::string& Title) const;

private:
    std::unordered_map<std::string, std::string> files_;   // upper-cased title -> file
};

// One entry of the data list as the data set list window shows it.
struct DataListNode {
    std::string Title;     // at most 87 characters, with "(Text) " in front for type 0
    int Level = 0;         // as read
    int Type = 0;          // 0 = text page
    std::string FileStr;   // at most 80 characters, as read
    int Parent = -1;       // index in DataListTree::Nodes; -1 for a top node
    std::vector<int> Children;
};

// The data list as a tree. Nodes are kept in file order, so a parent comes before its
// children; the tree holds no pointers and may be copied.
struct DataListTree {
    std::vector<DataListNode> Nodes;
    std::vector<int> Roots;
    bool HasChildren(int i) const { return !Nodes[static_cast<size_t>(i)].Children.empty(); }
};

// Reads the data list file CvVars::DatalistFile into a tree: an entry whose level is greater
// than the previous entry's is its child, an equal level is a sibling, a smaller level closes
// the deeper branches (levels 1, 2, 2, 1, 2 give two top nodes with two and one children;
// levels 1, 3, 2 give one top node with two children). An unreadable file gives the warning
// "There is a problem opening file " + DatalistFile + "." and an empty tree; a damaged one a
// warning and the entries before the damage; one without any entry (empty, or garbage from
// its first line) "Error in " + the file + " : it holds no usable entry.".
DataListTree ReadDataListTree(MessageSink& sink);
// The same from the text of a data list; fileLabel names it in messages.
DataListTree ParseDataListTree(const std::string& text, const std::string& fileLabel, MessageSink& sink);

// Turns a tree node's file string into the path to open: "XXXX" gives an empty result; the
// text after the first "." is dropped and the "CDROM:" rule applied; then an initialisation
// file (S + "I*", giving S + "INI", with the information "Use of user defined Initialisation
// files is currently not implemented " + path for any other such file), or S + "INI", or
// S + "MAS"; when none exists, the information S + "MAS file does not exist" and an empty
// result.
std::string ConvFileStr(const std::string& S, MessageSink& sink);

} // namespace corvane
