#pragma once
// What the data set list window does, without the window: the data list tree, the three
// lists of chosen themes (base maps, overlays, text pages), the lines of the chosen list box
// and the state of the "&Add" and "&Remove" buttons. The window (TDatasetListfrm) turns
// events into these calls and shows the result.
#include "catalogue/DataList.h"

#include <string>
#include <vector>

namespace corvane {

class MessageSink;

// One chosen theme.
struct MASInfoList {
    std::string Title;     // at most 255 characters
    std::string MASFile;   // the file the data list names for Title ("CDROM:" not replaced)
};

class DatasetListModel {
public:
    explicit DatasetListModel(MessageSink& sink) : sink_(sink) {}

    // Reads the data list file into Tree, then fills BMList, OMList and TextList (and the
    // chosen lines, in that order) from the titles of the map's base, overlay and text
    // themes, each with the file ReadDataListFile gives for it.
    void Load(const std::vector<std::string>& baseTitles, const std::vector<std::string>& overlayTitles,
              const std::vector<std::string>& textTitles);

    // Searches BMList, then OMList, then TextList for an entry whose Title equals Title
    // exactly; sets Current (index in its list) and BaseMapList (0 base, 1 overlay, 2 text).
    bool DS_Selected(const std::string& Title);

    // Sets AddEnabled and RemoveEnabled for the selected node (no node: unchanged).
    void CheckBtns(int node);
    // Adds a leaf node's theme: to TextList for a "(Text)" title, else to OMList; nothing for
    // a heading ("XXXX"), a missing or empty file (with a message) or a theme already chosen.
    void DoAdd(int node);
    // A leaf: DoAdd; a node with children: DoAdd on each direct leaf child. Returns whether the
    // node has children (the window then runs its tree click handling).
    bool AddDataSet(int node);
    // Removes a leaf node's theme from its list and every chosen line equal to its title.
    void DoSub(int node);

    enum class Removed { Nothing, ChosenLines, Leaf, Children };
    // With selected chosen lines (indices into Chosen): removes them and their themes.
    // Otherwise removes the selected node (a leaf, or each direct leaf child). Then CheckBtns.
    Removed DeleteDataSets(const std::vector<int>& selectedRows, int node);

    // Empties the tree and the lists.
    void FreeDataPtr();

    std::vector<MASInfoList>& ListOf(int which) { return which == 0 ? BMList : which == 1 ? OMList : TextList; }

    DataListTree Tree;
    std::vector<MASInfoList> BMList, OMList, TextList;
    std::vector<std::string> Chosen;   // the lines of the chosen list box
    int Current = -1;                  // set by DS_Selected; -1 when nothing was found
    int BaseMapList = 0;
    bool AddEnabled = false;
    bool RemoveEnabled = true;

private:
    bool IsNode(int node) const { return node >= 0 && static_cast<size_t>(node) < Tree.Nodes.size(); }
    void Unlink(const std::string& Title);   // removes the entry DS_Selected finds, if any
    MessageSink& sink_;
};

} // namespace corvane
