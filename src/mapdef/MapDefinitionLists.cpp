#include "mapdef/MapDefinitionLists.h"

#include <algorithm>

namespace corvane {

std::vector<std::string> MapDefList::Titles() const
{
    std::vector<std::string> t;
    for (const MapDefItem& i : Items) t.push_back(i.Title);
    return t;
}

std::vector<std::string> MapDefList::SelectedTitles() const
{
    std::vector<std::string> t;
    for (const MapDefItem& i : Items)
        if (i.Selected) t.push_back(i.Title);
    return t;
}

void MapDefList::Select(int Index)
{
    const bool inside = Index >= 0 && Index < Count();
    if (!MultiSelect || !inside)
        for (MapDefItem& i : Items) i.Selected = i.Selected && MultiSelect;
    ItemIndex = inside ? Index : -1;
    if (inside) Items[static_cast<size_t>(Index)].Selected = true;
}

void MapDefList::Clear()
{
    Items.clear();
    ItemIndex = -1;
}

MapDefModeInfo ModeInfo(int Tag)
{
    switch (Tag) {
    case OrderMode:
        return {"Order of Display of the Maps", 2002, true, false, true, true, false};
    case SubsetMode:
        return {"Select Map Subset", 2006, true, false, false, false, true};
    case SelectOverlayMode:
        return {"Select Map Overlay", 2003, false, false, false, false, true};
    default:
        return {"Information about the Map Datasets", 3001, true, true, false, false, true};
    }
}

int DragScrollStep(int pointerRow, int topRow, int fullyVisibleRows, int count)
{
    if (pointerRow == topRow && topRow > 0) return -1;
    if (pointerRow == topRow + fullyVisibleRows && pointerRow < count) return 1;
    return 0;
}

int DragTargetRow(int y, int clientHeight, int rowHeight, int topRow, int count)
{
    if (y == -1) y = 0;
    if (y == clientHeight) y = clientHeight - 1;
    if (y < 0 || rowHeight <= 0) return std::clamp(topRow, 0, count);
    return std::min(topRow + y / rowHeight, count);
}

void MapDefinitionLists::Fill(MapDefListId id, const std::vector<std::pair<std::string, MASStruct*>>& items)
{
    MapDefList& l = Lists[id];
    l.Clear();
    for (const auto& [title, object] : items) l.Items.push_back({title, object, false});
}

void MapDefinitionLists::SetButtons()
{
    IncludeEnabled = IncAllEnabled = !Lists[BaseListId].Items.empty();
    ExcludeEnabled = ExAllEnabled = !Lists[OverlayListId].Items.empty();
}

int MapDefinitionLists::GetFirstSelection(MapDefListId id) const
{
    const MapDefList& l = Lists[id];
    for (int i = 0; i < l.Count(); ++i)
        if (l.Items[static_cast<size_t>(i)].Selected) return i;
    return -1;
}

void MapDefinitionLists::SetItem(MapDefListId id, int Index)
{
    MapDefList& l = Lists[id];
    Focused = id;
    if (Index == -1) Index = 0;
    if (Index > l.Count() - 1) Index = l.Count() - 1;
    l.Select(Index);
    SetButtons();
}

void MapDefinitionLists::MoveSelected(MapDefListId From, MapDefListId To)
{
    std::vector<MapDefItem>& from = Lists[From].Items;
    MapDefList& to = Lists[To];
    for (size_t i = 0; i < from.size();) {
        if (!from[i].Selected) {
            ++i;
            continue;
        }
        to.Items.push_back({from[i].Title, from[i].Object, false});
        from.erase(from.begin() + static_cast<std::ptrdiff_t>(i));
    }
    Lists[From].ItemIndex = -1;
    SetButtons();
}

void MapDefinitionLists::IncludeBtnClick()
{
    const int first = GetFirstSelection(BaseListId);
    MoveSelected(BaseListId, OverlayListId);
    SetItem(BaseListId, first);
}

void MapDefinitionLists::ExcludeBtnClick()
{
    const int first = GetFirstSelection(OverlayListId);
    MoveSelected(OverlayListId, BaseListId);
    SetItem(OverlayListId, first);
}

void MapDefinitionLists::MoveAll(MapDefListId From, MapDefListId To)
{
    for (MapDefItem& i : Lists[From].Items) Lists[To].Items.push_back({i.Title, i.Object, false});
    Lists[From].Clear();
    SetItem(From, 0);
}

void MapDefinitionLists::IncAllBtnClick() { MoveAll(BaseListId, OverlayListId); }

void MapDefinitionLists::ExcAllBtnClick() { MoveAll(OverlayListId, BaseListId); }

void MapDefinitionLists::DropItem(MapDefListId From, int iItem, MapDefListId To, int Row)
{
    std::vector<MapDefItem>& from = Lists[From].Items;
    if (iItem < 0 || iItem >= static_cast<int>(from.size())) return;
    MapDefItem moved{from[static_cast<size_t>(iItem)].Title, from[static_cast<size_t>(iItem)].Object, false};
    std::vector<MapDefItem>& to = Lists[To].Items;
    const int at = std::clamp(Row, 0, static_cast<int>(to.size()));
    to.insert(to.begin() + at, moved);
    // Within one list the old entry has moved down by one when the new one went in above it.
    const int old = From == To && at <= iItem ? iItem + 1 : iItem;
    from.erase(from.begin() + old);
    const int now = From == To && old < at ? at - 1 : at;

    MapDefList& target = Lists[To];
    for (MapDefItem& i : target.Items) i.Selected = false;
    target.Select(now);
    if (From != To) Lists[From].ItemIndex = std::min(Lists[From].ItemIndex, Lists[From].Count() - 1);
    SetButtons();
}

void MapDefinitionLists::EnterList(MapDefListId id, bool textListShown)
{
    if (!textListShown) return;
    for (int other = BaseListId; other <= TextListId; ++other)
        if (other != id) {
            Lists[other].ItemIndex = -1;
            for (MapDefItem& i : Lists[other].Items) i.Selected = false;
        }
}

} // namespace corvane
