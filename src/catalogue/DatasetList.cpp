#include "catalogue/DatasetList.h"

#include "platform/ByteSource.h"
#include "platform/DataPath.h"
#include "platform/MessageSink.h"

#include <algorithm>

namespace corvane {

void DatasetListModel::Load(const std::vector<std::string>& baseTitles, const std::vector<std::string>& overlayTitles,
                            const std::vector<std::string>& textTitles)
{
    Tree = ReadDataListTree(sink_);
    const std::vector<std::string>* kinds[3] = {&baseTitles, &overlayTitles, &textTitles};
    for (int k = 0; k < 3; ++k)
        for (const std::string& title : *kinds[k]) {
            MASInfoList e{title, {}};
            ReadDataListFile(title, e.MASFile, sink_);
            ListOf(k).push_back(std::move(e));
            Chosen.push_back(title);
        }
}

bool DatasetListModel::DS_Selected(const std::string& Title)
{
    for (int k = 0; k < 3; ++k) {
        const std::vector<MASInfoList>& list = ListOf(k);
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i].Title == Title) {
                Current = static_cast<int>(i);
                BaseMapList = k;
                return true;
            }
    }
    Current = -1;
    return false;
}

void DatasetListModel::Unlink(const std::string& Title)
{
    if (!DS_Selected(Title)) return;
    std::vector<MASInfoList>& list = ListOf(BaseMapList);
    list.erase(list.begin() + Current);
    Current = -1;
}

void DatasetListModel::CheckBtns(int node)
{
    if (!IsNode(node)) return;
    const DataListNode& n = Tree.Nodes[static_cast<size_t>(node)];
    if (n.Children.empty()) {
        bool chosen = DS_Selected(n.Title);
        AddEnabled = !chosen;
        RemoveEnabled = chosen;
        return;
    }
    int notChosen = 0, chosen = 0;
    for (int c : n.Children) {
        if (Tree.HasChildren(c)) continue;
        if (DS_Selected(Tree.Nodes[static_cast<size_t>(c)].Title)) ++chosen;
        else ++notChosen;
    }
    AddEnabled = notChosen > 0;
    RemoveEnabled = chosen > 0;
}

void DatasetListModel::DoAdd(int node)
{
    if (!IsNode(node)) return;
    const DataListNode& n = Tree.Nodes[static_cast<size_t>(node)];
    const std::string path = ConvFileStr(n.FileStr, sink_);
    if (path.empty()) return;
    std::unique_ptr<ByteSource> src = OpenDataFile(path);
    if (!src || src->Size() <= 0) {
        sink_.Info("The item " + n.Title + " using file " + NativePath(path) + " is non-existent or empty !");
        return;
    }
    if (!DS_Selected(n.Title)) {
        MASInfoList e{n.Title, {}};
        Chosen.push_back(n.Title);
        ReadDataListFile(n.Title, e.MASFile, sink_);
        (n.Title.compare(0, 6, "(Text)") == 0 ? TextList : OMList).push_back(std::move(e));
    }
    AddEnabled = false;
    RemoveEnabled = true;
}

bool DatasetListModel::AddDataSet(int node)
{
    if (!IsNode(node)) return false;
    if (!Tree.HasChildren(node)) {
        DoAdd(node);
        return false;
    }
    const std::vector<int> children = Tree.Nodes[static_cast<size_t>(node)].Children;
    for (int c : children)
        if (!Tree.HasChildren(c)) DoAdd(c);
    return true;
}

void DatasetListModel::DoSub(int node)
{
    if (!IsNode(node)) return;
    const std::string title = Tree.Nodes[static_cast<size_t>(node)].Title;
    Unlink(title);
    Chosen.erase(std::remove(Chosen.begin(), Chosen.end(), title), Chosen.end());
}

DatasetListModel::Removed DatasetListModel::DeleteDataSets(const std::vector<int>& selectedRows, int node)
{
    Removed what = Removed::Nothing;
    std::vector<int> rows;
    for (int r : selectedRows)
        if (r >= 0 && static_cast<size_t>(r) < Chosen.size()) rows.push_back(r);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (!rows.empty()) {
        for (int r : rows) Unlink(Chosen[static_cast<size_t>(r)]);
        for (auto it = rows.rbegin(); it != rows.rend(); ++it) Chosen.erase(Chosen.begin() + *it);
        what = Removed::ChosenLines;
    } else if (IsNode(node)) {
        if (!Tree.HasChildren(node)) {
            DoSub(node);
            what = Removed::Leaf;
        } else {
            for (int c : Tree.Nodes[static_cast<size_t>(node)].Children)
                if (!Tree.HasChildren(c)) DoSub(c);
            what = Removed::Children;
        }
    }
    CheckBtns(node);
    return what;
}

void DatasetListModel::FreeDataPtr()
{
    Tree = DataListTree();
    BMList.clear();
    OMList.clear();
    TextList.clear();
    Chosen.clear();
    Current = -1;
}

} // namespace corvane
